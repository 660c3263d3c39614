#include "FakeDeviceModel.h"
#include "ModelTestHelpers.h"

#include <VRXAveragingProxyModel.h>
#include <VRXMultichannelProxyModel.h>
#include <VRXScope.h>
#include <VRXScopePlotView.h>
#include <VRXSingleChannelDataModel.h>
#include <VRXSpectrogram.h>
#include <VRXZeroingProxyModel.h>
#include <VRX_HistogramItemAxisWidget.h>

#include <QtCore/QTemporaryDir>
#include <cmath>
#include <QtGui/QStandardItemModel>
#include <QtTest/QAbstractItemModelTester>
#include <QtTest/QtTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLayout>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QToolButton>
#include <qwt_plot.h>
#include <qwt_scale_div.h>
#include <qwt_scale_widget.h>

using namespace Corvid_Qt;

namespace {

const QStringList kScaleTexts{"Auto", "Normalize", "100%", "50%", "20%", "10%", "5%", "2%",
                              "1%", "0.5%", "0.2%", "0.1%", "0.05%", "0.02%", "0.01%"};
const QStringList kManualTexts{"Auto", "100000000", "10000000", "1000000", "250000", "100000",
                               "50000", "20000", "10000", "5000", "2000", "1000", "500", "100",
                               "50", "20", "5", "1", ".1", ".05", ".01", ".001", ".0001"};
const QStringList kTabModes{"Strip", "Scope", "Histogram", "2D", "Position", "Split"};

void addSamples(VRXSingleChannelDataModel &model, int n)
{
    const int first = model.rowCount();
    for (int i = 0; i < n; ++i)
        model.AddData(0.01 * (first + i), 1.0 + first + i);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList texts(QComboBox *combo)
{
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
        list << combo->itemText(i);
    return list;
}

QStringList texts(QTabBar *tabs)
{
    QStringList list;
    for (int i = 0; i < tabs->count(); ++i)
        list << tabs->tabText(i);
    return list;
}

/// A panel over a single-channel host, its controls found by form name, and
/// its dialogs answered by script (file names in turn, "" a cancel).
struct Panel {
    VRXScope scope;
    VRXSingleChannelDataModel host;
    QStringList answers, dirs, reports;

    explicit Panel(int samples = 5, bool withModel = true)
    {
        addSamples(host, samples);
        if (withModel)
            scope.setModel(&host);
        scope.setSaveFileNameProvider([this](const QString &caption, const QString &dir, const QString &filter,
                                             QFileDialog::Options options) {
            dirs << dir;
            if (caption != "Save Data File" || filter != "CSV File (*.csv)"
                || options != QFileDialog::DontResolveSymlinks)
                reports << "bad dialog: " + caption + filter;
            return answers.isEmpty() ? QString() : answers.takeFirst();
        });
        scope.setSaveErrorReporter([this](const QString &title, const QString &text) { reports << title + '|' + text; });
    }

    template <typename T = QWidget>
    T *ui(const char *name)
    {
        // The plot view's chamber displays carry forms of their own.
        const QWidget *view = scope.findChild<Corvid_Qt::VRXScopePlotView *>();
        for (T *w : scope.findChildren<T *>(QLatin1String(name)))
            if (w == view || !view->isAncestorOf(w))
                return w;
        qFatal("the scope has no %s", name);
        return nullptr;
    }
    QComboBox *combo(const char *name) { return ui<QComboBox>(name); }
    QTabBar *tabs() { return ui<QTabBar>("modeSelect"); }
    // A save writes beside the event loop; a click returns once the file is done.
    void click(const char *name)
    {
        ui<QToolButton>(name)->click();
        QVERIFY(QTest::qWaitFor([this] { return !scope.isSaving(); }, 10000));
    }
    void choose(const char *comboName, const QString &entry) { combo(comboName)->setCurrentIndex(combo(comboName)->findText(entry)); }
    VRXScopePlotView *view() { return scope.plotView(); }
    int mode() { return view()->plotMode(); }
    VRXAbstractPlotDataModel *top() { return dynamic_cast<VRXAbstractPlotDataModel *>(scope.topLevelModel()); }
    VRXZeroingProxyModel *zeroing() { return qobject_cast<VRXZeroingProxyModel *>(scope.topLevelModel()); }

    /// The left axis as the view set it.
    QPair<double, double> yRange()
    {
        auto *plot = view()->findChild<QwtPlot *>(QStringLiteral("qwtPlot"));
        plot->updateAxes();
        return {plot->axisScaleDiv(QwtPlot::yLeft).lowerBound(), plot->axisScaleDiv(QwtPlot::yLeft).upperBound()};
    }
    bool zeroShown() { return ui<QToolButton>("clearZeroButton")->isEnabled() && !ui("zeroWidget")->styleSheet().isEmpty(); }
};

/// Runs `handle` on the modal widget that opens next; closes it after a few
/// seconds when `handle` does not, so nothing hangs.
class ModalHandler : public QObject
{
public:
    explicit ModalHandler(std::function<bool(QWidget *)> handle)
    {
        QElapsedTimer clock;
        clock.start();
        connect(&m_timer, &QTimer::timeout, this, [this, handle, clock]() {
            QWidget *modal = QApplication::activeModalWidget();
            if ((modal && handle(modal)) || clock.elapsed() > 5000) {
                handled = clock.elapsed() <= 5000;
                m_timer.stop();
                if (!handled && modal)
                    modal->close();
            }
        });
        m_timer.start(20);
    }
    bool handled = false;

private:
    QTimer m_timer;
};

} // namespace

class TestVRXScope : public QObject
{
    Q_OBJECT

private slots:
    void formHoldsTheControlsHostsFind();

    void scaleComboFollowsTheScaleMode_data();
    void scaleComboFollowsTheScaleMode();
    void positiveOnlyButtonIsEnabledForFixedPercentagesOnly();
    void absoluteEntriesSetTheLimits();

    void averagingEntryReachesTheProxy_data();
    void averagingEntryReachesTheProxy();
    void zeroNowAndZeroClearShowTheirState();
    void zeroStateEndsWithTheModelOrItsChannels();

    void remainingExtraTabsKeepTheirModes_data();
    void remainingExtraTabsKeepTheirModes();
    void removingAnExtraTabKeepsTheShownModeRight();
    void setPlotModeSelectsTheTabOfThatMode();

    void clearEmptiesTheHostsBuffer();
    void modelWithoutPlotInterfaceLeavesTheViewEmpty();
    void hostModelMayDieFirst();
    void chainPassesTheModelTesterWhileDriven();
    void selectionOfTheBaseModelIsShared();

    void saveWritesTheChosenFile();
    void saveAddsTheSuffixToABareName_data();
    void saveAddsTheSuffixToABareName();
    void failedSaveWarnsAndKeepsTheData();
    void saveWritesTheBufferOfTheClickBesideNewSamples();
    void deletedPanelFinishesItsFile();
    void save2DUsesThePixelatedWriter();
    void realDialogsAreShownWithoutHooks();

    void panelFitsWhereHostsPutIt_data();
    void panelFitsWhereHostsPutIt();
};

void TestVRXScope::formHoldsTheControlsHostsFind()
{
    Panel p(0, false);
    const QList<QPair<const char *, const char *>> controls{
        {"plotView", "Corvid_Qt::VRXScopePlotView"}, {"derivativeButton", "QCheckBox"}, {"confButton", "QToolButton"},
        {"scaleYCombo", "QComboBox"}, {"positiveOnlyButton", "QToolButton"}, {"averagingCombo", "QComboBox"},
        {"zeroWidget", "QWidget"}, {"zeroButton", "QToolButton"}, {"clearZeroButton", "QToolButton"},
        {"modeSelect", "QTabBar"}, {"bufferSizeLabel", "QLabel"}, {"clearButton", "QToolButton"},
        {"saveButton", "QToolButton"}, {"confWidget", "QWidget"}};
    for (const auto &control : controls)
        QCOMPARE(p.ui(control.first)->metaObject()->className(), control.second);
    QCOMPARE(p.scope.objectName(), QStringLiteral("VRXScope"));
    QCOMPARE(p.ui<QLabel>("bufferSizeLabel")->text(), QStringLiteral("0 Samples"));
    QCOMPARE(texts(p.tabs()), QStringList({"Strip", "Scope", "Histogram"}));
    QVERIFY(!p.ui<QCheckBox>("derivativeButton")->isEnabled());
    // The configuration row follows its button, until a model hides both.
    QVERIFY(p.ui("confWidget")->isHidden());
    p.ui<QToolButton>("confButton")->setChecked(true);
    QVERIFY(!p.ui("confWidget")->isHidden());
    p.scope.setModel(&p.host);
    QVERIFY(p.ui("confButton")->isHidden() && p.ui("derivativeButton")->isHidden());
}

void TestVRXScope::scaleComboFollowsTheScaleMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<bool>("plusShown");
    QTest::addColumn<bool>("viewPositiveOnly");
    QTest::newRow("normal (construction)") << -1 << kScaleTexts << true << false;
    QTest::newRow("auto only") << 1 << QStringList{"Auto"} << false << false;
    QTest::newRow("absolute") << 2 << kManualTexts << true << false;
    QTest::newRow("absolute positive") << 3 << kManualTexts << false << true;
}

void TestVRXScope::scaleComboFollowsTheScaleMode()
{
    QFETCH(int, mode);
    QFETCH(QStringList, entries);
    QFETCH(bool, plusShown);
    QFETCH(bool, viewPositiveOnly);

    Panel p;
    if (mode >= 0)
        p.scope.SetYScaleMode(mode);
    QCOMPARE(texts(p.combo("scaleYCombo")), entries);
    QCOMPARE(p.combo("scaleYCombo")->currentIndex(), 0);
    QCOMPARE(p.ui("positiveOnlyButton")->isVisibleTo(&p.scope), plusShown);
    // Every list starts at "Auto": autoscale, and no "+" for it.
    QVERIFY(!p.ui("positiveOnlyButton")->isEnabled());
    QCOMPARE(p.view()->yScaleMode(), int(VRXScopePlotView::PlotScaleAuto));
    QCOMPARE(p.view()->positiveOnly(), viewPositiveOnly);
}

void TestVRXScope::positiveOnlyButtonIsEnabledForFixedPercentagesOnly()
{
    Panel p;
    for (int index = kScaleTexts.size() - 1; index >= 0; --index) {
        p.combo("scaleYCombo")->setCurrentIndex(index);
        if (index == 5)
            p.ui<QToolButton>("positiveOnlyButton")->setChecked(true);
        QCOMPARE(p.ui("positiveOnlyButton")->isEnabled(), index > 1);
        QCOMPARE(p.view()->yScaleMode(), index);
        // "Normalize" turns "+" off: normalised values go down to -1.
        QCOMPARE(p.view()->positiveOnly(), index >= 2 && index <= 5);
        QCOMPARE(p.ui<QToolButton>("positiveOnlyButton")->isChecked(), index >= 2 && index <= 5);
    }
}

void TestVRXScope::absoluteEntriesSetTheLimits()
{
    Panel p;
    p.choose("scaleYCombo", "10%");
    p.scope.SetRange(-2.0, 4.0);
    QCOMPARE(p.yRange(), qMakePair(-0.2, 0.4));
    p.scope.SetYScaleMode(VRXScope::_PlotScaleAbsolute);
    p.choose("scaleYCombo", ".05");
    p.scope.SetRange(-3.0, 3.0); // limits come from the combo box, whatever the device reports
    QCOMPARE(p.view()->yScaleMode(), int(VRXScopePlotView::PlotScale100));
    QCOMPARE(p.yRange(), qMakePair(-0.05, 0.05));
    QVERIFY(p.ui("positiveOnlyButton")->isEnabled());
    for (int ignored : {0, 4, -1})
        p.scope.SetYScaleMode(ignored);
    QCOMPARE(p.combo("scaleYCombo")->currentText(), QStringLiteral(".05"));
    p.choose("scaleYCombo", "Auto");
    QCOMPARE(p.view()->yScaleMode(), int(VRXScopePlotView::PlotScaleAuto));
    QVERIFY(!p.ui("positiveOnlyButton")->isEnabled());

    p.scope.SetYScaleMode(VRXScope::_PlotScaleAbsolutePositive);
    p.choose("scaleYCombo", "1000");
    QCOMPARE(p.yRange(), qMakePair(0.0, 1000.0));
    QVERIFY(!p.ui("positiveOnlyButton")->isEnabled());
    // Back to symmetric limits: the shown, unchecked "+" rules the view again.
    p.scope.SetYScaleMode(VRXScope::_PlotScaleAbsolute);
    p.choose("scaleYCombo", "1000");
    QVERIFY(!p.view()->positiveOnly());
    QCOMPARE(p.yRange(), qMakePair(-1000.0, 1000.0));
    // Without the "+" shown, positive-only is not taken.
    p.scope.SetYScaleMode(VRXScope::_PlotScaleAutoOnly);
    p.scope.SetPositiveOnly(true);
    QVERIFY(!p.view()->positiveOnly());
}

void TestVRXScope::averagingEntryReachesTheProxy_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("No Avg") << 1;
    QTest::newRow("10x Avg") << 10;
    QTest::newRow("100x Avg") << 100;
    QTest::newRow("1000x Avg") << 1000;
}

void TestVRXScope::averagingEntryReachesTheProxy()
{
    QFETCH(int, count);
    Panel p(0);
    p.host.AddData(0.0, 0.0);
    p.host.AddData(0.1, 100.0);
    QCOMPARE(texts(p.combo("averagingCombo")), QStringList({"No Avg", "10x Avg", "100x Avg", "1000x Avg"}));
    p.choose("averagingCombo", QTest::currentDataTag());

    auto *averaging = qobject_cast<VRXAveragingProxyModel *>(p.zeroing()->sourceModel());
    QVERIFY(averaging);
    QCOMPARE(averaging->averaging(), count);
    // What the view reads: the step 0 -> 100 smoothed over `count` samples.
    QCOMPARE(p.top()->doubleData(2, 1), 100.0 / count);
}

void TestVRXScope::zeroNowAndZeroClearShowTheirState()
{
    const QPalette before = QApplication::palette();
    QPalette dark = before; // light text, as a dark application theme has it
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        dark.setColor(role, Qt::white);
    dark.setColor(QPalette::Button, QColor(40, 40, 40));
    QApplication::setPalette(dark);
    const auto restore = qScopeGuard([&before] { QApplication::setPalette(before); });
    Panel p(0);
    p.click("zeroButton"); // the header row alone: nothing to zero
    QVERIFY(!p.zeroShown() && !p.zeroing()->isZeroing());
    p.host.AddData(0.0, 5.0);
    p.host.AddData(0.1, 7.0);
    p.click("zeroButton");
    QVERIFY(p.zeroShown());
    const auto luminance = [](const QColor &c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    for (const char *name : {"zeroButton", "clearZeroButton"}) { // readable text on the indicator's green
        QWidget *button = p.ui(name);
        button->ensurePolished();
        const double text = luminance(button->palette().color(QPalette::ButtonText));
        const double green = luminance(QColor(0x88, 0xff, 0x8a));
        QVERIFY2((std::max(text, green) + 0.05) / (std::min(text, green) + 0.05) >= 4.5, name);
    }
    QCOMPARE(p.top()->doubleData(1, 1), -2.0);
    QCOMPARE(p.top()->doubleData(2, 1), 0.0);
    p.click("clearZeroButton");
    QVERIFY(!p.zeroShown());
    QCOMPARE(p.top()->doubleData(2, 1), 7.0);
}

void TestVRXScope::zeroStateEndsWithTheModelOrItsChannels()
{
    Panel p;
    VRXSingleChannelDataModel other;
    addSamples(other, 3);
    // Another device's zero means nothing for the new one.
    p.click("zeroButton");
    p.scope.setModel(&other);
    QVERIFY(!p.zeroing()->isZeroing());
    QVERIFY(!p.zeroShown());

    // The proxy ends zeroing when the channels change; the panel follows.
    VRXMultichannelProxyModel merged;
    merged.addSourceModel(&p.host);
    p.scope.setModel(&merged);
    p.click("zeroButton");
    QVERIFY(p.zeroShown());
    merged.addSourceModel(&other);
    QVERIFY(!p.zeroing()->isZeroing());
    QVERIFY(!p.zeroShown());
}

void TestVRXScope::remainingExtraTabsKeepTheirModes_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("2D") << QStringList{"-2D"};
    QTest::newRow("Position") << QStringList{"-Position"};
    QTest::newRow("Split") << QStringList{"-Split"};
    QTest::newRow("2D and Position") << QStringList{"-2D", "-Position"};
    QTest::newRow("2D, then added again") << QStringList{"-2D", "+2D"};
    QTest::newRow("Position, then added again") << QStringList{"-Position", "+Position"};
}

void TestVRXScope::remainingExtraTabsKeepTheirModes()
{
    QFETCH(QStringList, steps);
    Panel p;
    auto set = [&](const QString &tab, bool on) {
        if (tab == "2D")
            p.scope.setPixelatedEnabled(on);
        else if (tab == "Position")
            p.scope.setPositionEnabled(on);
        else
            p.scope.setSplitEnabled(on);
    };
    for (const char *tab : {"2D", "Position", "Split"})
        set(tab, true);
    p.tabs()->setCurrentIndex(0);
    for (const QString &step : steps)
        set(step.mid(1), step[0] == '+');

    for (int tab = p.tabs()->count() - 1; tab >= 0; --tab) {
        p.tabs()->setCurrentIndex(tab);
        QCOMPARE(p.mode(), kTabModes.indexOf(p.tabs()->tabText(tab)));
    }
}

void TestVRXScope::removingAnExtraTabKeepsTheShownModeRight()
{
    Panel p;
    p.scope.setPositionEnabled(true); // added without being selected
    QCOMPARE(p.mode(), int(VRXScopePlotView::StripPlotMode));
    p.scope.setPixelatedEnabled(true); // added and selected
    QCOMPARE(p.mode(), int(VRXScopePlotView::SpectrogramPlotMode));
    QVERIFY(p.view()->pixelated() && !p.view()->spectrogram()->isHidden());
    p.scope.setSplitEnabled(true);
    QCOMPARE(texts(p.tabs()), QStringList({"Strip", "Scope", "Histogram", "Position", "2D", "Split"}));

    // A tab before the current one goes: the current tab moves, its mode stays.
    p.tabs()->setCurrentIndex(4);
    p.scope.setPositionEnabled(false);
    QCOMPARE(p.tabs()->tabText(p.tabs()->currentIndex()), QStringLiteral("2D"));
    QCOMPARE(p.mode(), int(VRXScopePlotView::SpectrogramPlotMode));

    // The current tab goes: the view shows the tab that takes its place.
    p.scope.setPositionEnabled(true);
    p.tabs()->setCurrentIndex(5);
    p.scope.setPositionEnabled(false);
    QCOMPARE(p.mode(), kTabModes.indexOf(p.tabs()->tabText(p.tabs()->currentIndex())));
    QVERIFY(p.mode() != VRXScopePlotView::PositionPlotMode);
}

void TestVRXScope::setPlotModeSelectsTheTabOfThatMode()
{
    Panel p(0, false);
    // Chosen before there is a model: the view takes it with the model.
    p.scope.SetPlotMode(VRXScope::ScopePlotMode);
    QCOMPARE(p.tabs()->currentIndex(), 1);
    p.scope.setModel(&p.host);
    QCOMPARE(p.mode(), int(VRXScopePlotView::ScopePlotMode));

    p.scope.setPositionEnabled(true); // tab 3 is "Position", there is no "2D" tab
    p.scope.SetPlotMode(VRXScope::PositionPlotMode);
    QCOMPARE(p.tabs()->tabText(p.tabs()->currentIndex()), QStringLiteral("Position"));
    QCOMPARE(p.mode(), int(VRXScopePlotView::PositionPlotMode));
    // Without a tab of its own the view shows it; no other tab stands in.
    p.scope.SetPlotMode(VRXScope::SpectrogramPlotMode);
    QCOMPARE(p.mode(), int(VRXScopePlotView::SpectrogramPlotMode));
    QCOMPARE(p.tabs()->tabText(p.tabs()->currentIndex()), QStringLiteral("Position"));
    p.scope.SetPlotMode(VRXScope::HistogramPlotMode);
    QCOMPARE(p.tabs()->currentIndex(), 2);
}

void TestVRXScope::clearEmptiesTheHostsBuffer()
{
    Panel p(10);
    QCOMPARE(p.scope.baseModel(), &p.host);
    p.click("clearButton");
    QCOMPARE(p.host.rowCount(), 1);
    QCOMPARE(p.scope.topLevelModel()->rowCount(), 1);

    // A panel without a model leaves its former model alone.
    addSamples(p.host, 4);
    p.scope.setModel(nullptr);
    QCOMPARE(p.view()->model(), nullptr);
    p.click("clearButton");
    QCOMPARE(p.host.rowCount(), 5);
}

void TestVRXScope::modelWithoutPlotInterfaceLeavesTheViewEmpty()
{
    Panel p;
    p.answers << "/tmp/never-written.csv";
    QStandardItemModel plain(4, 2);
    p.scope.setModel(&plain);
    QCOMPARE(p.scope.baseModel(), &plain);
    QCOMPARE(p.view()->model(), nullptr);
    for (const char *button : {"zeroButton", "saveButton", "clearButton"})
        p.click(button);
    QVERIFY(p.dirs.isEmpty());
    QVERIFY(!p.zeroShown());
    QCOMPARE(p.host.rowCount(), 6); // the former model, still behind the proxy
}

void TestVRXScope::hostModelMayDieFirst()
{
    Panel p(0, false);
    p.scope.show();
    {
        VRXSingleChannelDataModel host;
        addSamples(host, 20);
        p.scope.setModel(&host);
        p.click("zeroButton");
        QCoreApplication::processEvents();
    }
    QCOMPARE(p.scope.baseModel(), nullptr);
    for (const char *button : {"zeroButton", "clearZeroButton", "clearButton", "saveButton"})
        p.click(button);
    p.tabs()->setCurrentIndex(2);
    QCoreApplication::processEvents();
    QVERIFY(p.dirs.isEmpty());

    // And the other way round: the host outlives its panel.
    VRXSingleChannelDataModel host;
    {
        VRXScope shortLived;
        shortLived.setModel(&host);
    }
    addSamples(host, 3);
    QCOMPARE(host.rowCount(), 4);
}

void TestVRXScope::selectionOfTheBaseModelIsShared()
{
    Panel p(20);
    QItemSelectionModel hostSelection(p.scope.baseModel());
    p.scope.setSelectionModel(&hostSelection); // no warning, no refusal
    QItemSelectionModel *viewSelection = p.view()->selectionModel();
    QCOMPARE(viewSelection->model(), p.scope.topLevelModel());
    // The host's choice reaches the view, cell for cell ...
    hostSelection.setCurrentIndex(p.host.index(7, 1), QItemSelectionModel::ClearAndSelect);
    QCOMPARE(viewSelection->currentIndex(), p.scope.topLevelModel()->index(7, 1));
    QVERIFY(viewSelection->isSelected(p.scope.topLevelModel()->index(7, 1)));
    // ... and the view's reaches the host, with no echo either way.
    viewSelection->select(p.scope.topLevelModel()->index(0, 1),
                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Columns);
    QVERIFY(hostSelection.isColumnSelected(1, QModelIndex()));
    QVERIFY(!hostSelection.isSelected(p.host.index(7, 0)));
    hostSelection.clearSelection();
    QVERIFY(!viewSelection->hasSelection());
    // One of the view's own model is taken as it is.
    QItemSelectionModel shared(p.scope.topLevelModel());
    p.scope.setSelectionModel(&shared);
    QCOMPARE(p.view()->selectionModel(), &shared);
}

void TestVRXScope::chainPassesTheModelTesterWhileDriven()
{
    VRXScope scope;
    VRXSingleChannelDataModel host(80);
    scope.setModel(&host);
    QAbstractItemModelTester tester(scope.topLevelModel());
    auto *averaging = scope.findChild<QComboBox *>(QStringLiteral("averagingCombo"));
    auto click = [&](const char *name) { scope.findChild<QToolButton *>(QLatin1String(name))->click(); };
    for (int i = 1; i <= 200; ++i) {
        host.AddData(0.01 * i, double(i % 17));
        if (i == 30 || i == 170)
            averaging->setCurrentIndex(i == 30 ? 2 : 0);
        if (i == 60 || i == 150)
            click("zeroButton");
        if (i == 100)
            click("clearZeroButton");
        if (i == 120)
            click("clearButton");
    }
    QCOMPARE(scope.topLevelModel()->rowCount(), 81);
}

void TestVRXScope::saveWritesTheChosenFile()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("run1.csv"));
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(dir.path()); // where a blank name would end up
    Panel p(3);
    p.answers << QString() << QStringLiteral("   ") << file;
    for (int i = 0; i < 3; ++i)
        p.click("saveButton");
    QDir::setCurrent(cwd);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"run1.csv"});
    QVERIFY(p.reports.isEmpty());
    const QList<QByteArray> lines = readFile(file).split('\n');
    QCOMPARE(lines.value(0), QByteArray("timestamp(s),channel_1,"));
    QCOMPARE(lines.value(3), QByteArray("0.030000000,4,"));
    // The next dialog opens where the last file went.
    p.click("saveButton");
    QCOMPARE(p.dirs.size(), 4);
    QCOMPARE(p.dirs.last(), dir.path());
}

void TestVRXScope::saveAddsTheSuffixToABareName_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("bare") << "run" << "run.csv";
    QTest::newRow("trailing dot") << "run." << "run.csv";
    QTest::newRow("dotted folder") << "v1.2/run" << "v1.2/run.csv";
    QTest::newRow("csv kept") << "run.csv" << "run.csv";
    QTest::newRow("other suffix kept") << "run.txt" << "run.txt";
}

void TestVRXScope::saveAddsTheSuffixToABareName()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("v1.2")));
    Panel p(2);
    p.answers << dir.filePath(chosen);
    p.click("saveButton");
    QVERIFY(p.reports.isEmpty());
    QVERIFY(QFileInfo(dir.filePath(written)).isFile());
    QCOMPARE(readFile(dir.filePath(written)).count('\n'), 3);
    if (chosen != written)
        QVERIFY(!QFileInfo::exists(dir.filePath(chosen)) || QFileInfo(dir.filePath(chosen)).isDir());
}

void TestVRXScope::failedSaveWarnsAndKeepsTheData()
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("retry.csv"));
    Panel p(5);
    p.answers << dir.filePath(QStringLiteral("no-such-folder/run.csv")) << good;
    p.click("saveButton");
    QCOMPARE(p.reports, QStringList{"Save Data|Error saving data file."});
    QCOMPARE(p.host.rowCount(), 6);

    p.click("saveButton");
    QCOMPARE(p.reports.size(), 1);
    QCOMPARE(readFile(good).count('\n'), 6);
}

void TestVRXScope::saveWritesTheBufferOfTheClickBesideNewSamples()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("run.csv"));
    Panel p(3);
    p.answers << file << dir.filePath(QStringLiteral("second.csv"));
    QSignalSpy saved(&p.scope, &VRXScope::dataSaved);
    auto *button = p.ui<QToolButton>("saveButton");
    button->click(); // not Panel::click: that waits for the file
    QVERIFY(p.scope.isSaving());
    QVERIFY(!button->isEnabled());
    addSamples(p.host, 4); // readings keep arriving while the file is written
    button->click();
    QCOMPARE(p.dirs.size(), 1); // no second dialog while one file is open

    QVERIFY(saved.wait(10000));
    QCOMPARE(saved.size(), 1);
    QCOMPARE(saved.at(0).at(0).toString(), file);
    QCOMPARE(saved.at(0).at(1).toBool(), true);
    QVERIFY(!p.scope.isSaving());
    QVERIFY(button->isEnabled());
    QCOMPARE(readFile(file).count('\n'), 4); // the header and the three samples of the click
    QVERIFY(p.reports.isEmpty());
}

void TestVRXScope::deletedPanelFinishesItsFile()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("big.csv"));
    VRXSingleChannelDataModel host;
    addSamples(host, 50000);
    auto scope = std::make_unique<VRXScope>();
    scope->setModel(&host);
    scope->setSaveFileNameProvider([&](const QString &, const QString &, const QString &, QFileDialog::Options) { return file; });
    scope->findChild<QToolButton *>(QStringLiteral("saveButton"))->click();
    QVERIFY(scope->isSaving());
    scope.reset();
    QCOMPARE(readFile(file).count('\n'), 50001);
}

void TestVRXScope::save2DUsesThePixelatedWriter()
{
    struct Recording : VRXSingleChannelDataModel {
        mutable QStringList plain, pixelated;
        bool SaveDataToFile(const QString &name) const override
        {
            plain << name;
            return true;
        }
        // Without a data writer the panel saves through SaveDataToFile().
        DataFileWriter dataFileWriter() const override { return {}; }
        bool SavePixelatedDataToFile(const QString &name, float d, bool x, bool y) const override
        {
            pixelated << QStringLiteral("%1|%2|%3|%4").arg(name).arg(d).arg(x).arg(y);
            return true;
        }
    } host;
    Panel p(0, false);
    addSamples(host, 2);
    p.scope.setModel(&host);
    p.answers << "frames.csv " << "plain.csv";

    p.scope.setPixelatedEnabled(true);
    p.click("saveButton");
    const VRXSpectrogram *s = p.view()->spectrogram();
    // Passed as chosen, untrimmed, with the spectrogram's settings.
    QCOMPARE(host.pixelated, QStringList{QStringLiteral("frames.csv |%1|%2|%3")
                                             .arg(s->getDiscriminator()).arg(s->getXinverted()).arg(s->getYinverted())});
    QVERIFY(host.plain.isEmpty());

    p.scope.setPixelatedEnabled(false);
    p.click("saveButton");
    QCOMPARE(host.plain, QStringList{"plain.csv"});
    QCOMPARE(host.pixelated.size(), 1);
}

void TestVRXScope::realDialogsAreShownWithoutHooks()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("picked.csv"));
    Panel p(3);
    p.scope.setSaveFileNameProvider(nullptr);
    p.scope.setSaveErrorReporter(nullptr);
    p.scope.show();
    QStringList seen;
    ModalHandler dialog([&](QWidget *modal) {
        auto *files = qobject_cast<QFileDialog *>(modal);
        auto *name = modal->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (!files || !name)
            return false;
        seen << files->windowTitle() << files->nameFilters() << files->defaultSuffix();
        name->setText(file); // typed: selectFile() leaves a focused field alone
        static_cast<QDialog *>(files)->accept();
        return true;
    });
    p.click("saveButton");
    QVERIFY(dialog.handled);
    QCOMPARE(seen, QStringList({"Save Data File", "CSV File (*.csv)", "csv"}));
    QCOMPARE(readFile(file).count('\n'), 4);

    p.scope.setSaveFileNameProvider([&](const QString &, const QString &, const QString &, QFileDialog::Options) {
        return dir.filePath(QStringLiteral("missing/x.csv"));
    });
    ModalHandler warning([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (box)
            seen << box->windowTitle() << box->text();
        return box && (box->button(QMessageBox::Ok)->click(), true);
    });
    p.click("saveButton");
    QVERIFY(warning.handled);
    QCOMPARE(seen.mid(3), QStringList({"Save Data", "Error saving data file."}));
}

void TestVRXScope::panelFitsWhereHostsPutIt_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("extraTabs");
    QTest::newRow("640 x 400 histogram") << QSize(640, 400) << int(VRXScope::HistogramPlotMode) << true;
    QTest::newRow("640 x 400 strip") << QSize(640, 400) << int(VRXScope::StripPlotMode) << true;
    QTest::newRow("400 px dock") << QSize(400, 500) << int(VRXScope::HistogramPlotMode) << false;
    QTest::newRow("1920 x 1080") << QSize(1920, 1080) << int(VRXScope::HistogramPlotMode) << true;
}

namespace {

int widestWord(const QFontMetrics &metrics, const QString &text)
{
    int widest = 0;
    for (const QString &word : text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        widest = qMax(widest, metrics.horizontalAdvance(word));
    return widest;
}

QRect rectIn(const QWidget *w, const QWidget *ancestor)
{
    return QRect(w->mapTo(ancestor, QPoint(0, 0)), w->size());
}

} // namespace

// Every control, tab text, strip title and axis title whole and in place,
// from a narrow dock to a full screen.
void TestVRXScope::panelFitsWhereHostsPutIt()
{
    QFETCH(QSize, size);
    QFETCH(int, mode);
    QFETCH(bool, extraTabs);
    FakeDeviceModel host(32);
    Panel p(0, false);
    p.scope.setModel(&host);
    // The three modes every panel has fit a 400 px dock.
    QVERIFY(p.scope.minimumSizeHint().width() <= 400);
    p.scope.setPositionEnabled(extraTabs);
    p.scope.setSplitEnabled(extraTabs);
    p.view()->enableHistogramItem(VRXScopePlotView::GaussabolaHistogramItemType, 2, {}, true);
    p.view()->enableHistogramItem(VRXScopePlotView::RegressionHistogramItemType, 2, {0.1, 1024, 1e-15, 1e-14, 2, 5}, true);
    p.view()->enableHistogramItem(VRXScopePlotView::CoGHistogramItemType, 2, {}, true);
    p.scope.SetPlotMode(VRXScope::PlotMode(mode));
    p.scope.resize(size);
    p.scope.show();
    QVERIFY(QTest::qWaitForWindowExposed(&p.scope));
    for (int f = 0; f < 20; ++f) {
        QVector<double> v = gaussianProfile(32, 7.3, 1.5, 20, 0.5), b = gaussianProfile(32, 24.6, 2, 12);
        for (int c = 0; c < 32; ++c)
            v[c] += b[c];
        host.addFrame(0.05 * f, v);
    }
    QTRY_VERIFY(!p.view()->histogramAxisWidget(VRXScopePlotView::GaussabolaHistogramItemType)->isHidden()
                || mode != VRXScope::HistogramPlotMode);
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
    QCOMPARE(p.scope.size(), size);

    // The controls: inside the panel, none over another, every tab text whole.
    QList<QWidget *> controls;
    for (const char *name : {"scaleYWidget", "avgWidget", "zeroWidget", "modeSelect", "bufferSizeLabel",
                             "clearButton", "saveButton"})
        controls << p.ui(name);
    for (int i = 0; i < controls.size(); ++i) {
        const QRect r = rectIn(controls[i], &p.scope);
        QVERIFY2(p.scope.rect().contains(r), controls[i]->objectName().toLatin1());
        QVERIFY2(controls[i]->width() >= controls[i]->minimumSizeHint().width(), controls[i]->objectName().toLatin1());
        for (int j = 0; j < i; ++j)
            QVERIFY2(!r.intersects(rectIn(controls[j], &p.scope)),
                     (controls[i]->objectName() + " " + controls[j]->objectName()).toLatin1());
    }
    QTabBar *tabs = p.tabs();
    QCOMPARE(tabs->count(), extraTabs ? 5 : 3);
    for (int i = 0; i < tabs->count(); ++i) {
        QVERIFY(tabs->rect().contains(tabs->tabRect(i)));
        QVERIFY2(tabs->tabRect(i).width() >= tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)),
                 qPrintable(tabs->tabText(i)));
    }
    for (const QToolButton *arrow : tabs->findChildren<QToolButton *>())
        QVERIFY(!arrow->isVisible());

    // The plot keeps room to be read, and its axis titles fit their axes.
    QwtPlot *plot = p.view()->findChild<QwtPlot *>(QStringLiteral("qwtPlot"));
    // (Three strips of full statistics in a narrow dock: short panels on two rows.)
    QVERIFY2(plot->canvas()->height() >= (size.width() > 400 ? 100 : 60),
             qPrintable(QString::number(plot->canvas()->height())));
    for (int axis : {int(QwtPlot::yLeft), int(QwtPlot::xBottom)}) {
        const QwtScaleWidget *widget = plot->axisWidget(axis);
        const QwtText title = widget->title();
        const int length = axis == QwtPlot::yLeft ? widget->height() : widget->width();
        const QFontMetrics metrics(title.font());
        QVERIFY2(widestWord(metrics, title.text()) <= length, qPrintable(title.text()));
        if (metrics.horizontalAdvance(title.text()) > length) // wrapped into lines, none cut
            QVERIFY2(title.renderFlags() & Qt::TextWordWrap, qPrintable(title.text()));
    }

    // Each statistics strip's title whole beside its scale.
    if (mode == VRXScope::HistogramPlotMode) {
        for (int type : {VRXScopePlotView::GaussabolaHistogramItemType, VRXScopePlotView::RegressionHistogramItemType,
                         VRXScopePlotView::CoGHistogramItemType}) {
            const VRX_HistogramItemAxisWidget *strip =
                p.view()->histogramAxisWidget(VRXScopePlotView::HistogramItemTypes(type));
            QVERIFY(strip->isVisible());
            const QLabel *title = strip->titleLabel();
            QVERIFY2(widestWord(title->fontMetrics(), title->text()) <= title->contentsRect().width(),
                     qPrintable(title->text()));
            QVERIFY2(title->heightForWidth(title->width()) <= strip->height(), qPrintable(title->text()));
            QVERIFY(title->geometry().right() < strip->axisWidget()->geometry().left() + 1);
        }
        // Drawn whole: the title's text pixels keep clear of both edges of its label.
        const VRX_HistogramItemAxisWidget *strip = p.view()->histogramAxisWidget(VRXScopePlotView::GaussabolaHistogramItemType);
        const QImage image = strip->titleLabel()->grab().toImage();
        int left = image.width(), right = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 100) {
                    left = qMin(left, x);
                    right = qMax(right, x);
                }
        QVERIFY2(right >= 0 && left >= 1 && right <= image.width() - 2,
                 qPrintable(QStringLiteral("%1..%2 of %3").arg(left).arg(right).arg(image.width())));
    }
}

QTEST_MAIN(TestVRXScope)
#include "tst_vrxscope.moc"
