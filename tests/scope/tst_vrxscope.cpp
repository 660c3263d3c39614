// The scope panel: scale, averaging and zero controls, mode tabs, saving,
// the chain of proxies it builds over a host's model, and its layout.

#include "ModelTestHelpers.h"
#include "ViewProbe.h"

#include <VRXMultichannelProxyModel.h>
#include <VRXScope.h>
#include <VRXScopePlotView.h>
#include <VRXSingleChannelDataModel.h>
#include <VRXSpectrogram.h>
#include <VRXZeroingProxyModel.h>
#include <VRX_HistogramItemAxisWidget.h>

#include <QtCore/QDirIterator>
#include <QtCore/QTemporaryDir>
#include <QtGui/QStandardItemModel>
#include <QtTest/QAbstractItemModelTester>
#include <QtTest/QtTest>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QToolButton>
#include <qwt_plot.h>
#include <qwt_scale_div.h>
#include <qwt_scale_widget.h>

using namespace Corvid_Qt;
using corvid_test::readFile;

namespace {

const QStringList kTabModes{"Strip", "Scope", "Histogram", "2D", "Position", "Split"};

void addSamples(VRXSingleChannelDataModel &model, int n)
{
    const int first = model.rowCount();
    for (int i = 0; i < n; ++i)
        model.AddData(0.01 * (first + i), 1.0 + first + i);
}

QStringList tabTexts(QTabBar *tabs)
{
    QStringList list;
    for (int i = 0; i < tabs->count(); ++i)
        list << tabs->tabText(i);
    return list;
}

/// A panel over a single-channel host, its controls found by form name, and
/// its dialogs answered by script (file names in turn, "" a cancel; what the
/// real ones show is checked apart).
struct Panel {
    VRXScope scope;
    VRXSingleChannelDataModel host;
    QStringList answers, dirs, reports;

    explicit Panel(int samples = 5, bool withModel = true, int capacity = VRXSingleChannelDataModel::maxBufferSize)
        : host(capacity)
    {
        addSamples(host, samples);
        if (withModel)
            scope.setModel(&host);
        scope.setSaveFileNameProvider([this](const QString &, const QString &dir, const QString &, QFileDialog::Options) {
            dirs << dir;
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
    QwtPlot *plot() { return view()->findChild<QwtPlot *>(QStringLiteral("qwtPlot")); }

    /// The left axis as the view set it.
    QPair<double, double> yRange()
    {
        plot()->updateAxes();
        return {plot()->axisScaleDiv(QwtPlot::yLeft).lowerBound(), plot()->axisScaleDiv(QwtPlot::yLeft).upperBound()};
    }
    bool zeroShown() { return ui<QToolButton>("clearZeroButton")->isEnabled() && !ui("zeroWidget")->styleSheet().isEmpty(); }
};

/// Runs `open`, handing each modal widget that shows to `handle` until it
/// takes one; one left open after five seconds is closed, so nothing hangs.
bool answerModal(const std::function<void()> &open, const std::function<bool(QWidget *)> &handle)
{
    bool handled = false;
    QElapsedTimer clock;
    clock.start();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && !handled && !(handled = handle(modal)) && clock.elapsed() > 5000)
            modal->close();
    });
    timer.start(20);
    open();
    return handled;
}

int widestWord(const QFontMetrics &metrics, const QString &text)
{
    int widest = 0;
    for (const QString &word : text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        widest = qMax(widest, metrics.horizontalAdvance(word));
    return widest;
}

} // namespace

class TestVRXScope : public QObject
{
    Q_OBJECT

private slots:
    void scaleEntriesSetTheViewsScale()
    {
        Panel p;
        // Every list starts at "Auto": autoscale, and no "+" for it.
        const auto startsAtAuto = [&p](int mode, int entries, bool plusShown, bool positiveOnly) {
            if (mode >= 0)
                p.scope.SetYScaleMode(mode);
            QCOMPARE(p.combo("scaleYCombo")->count(), entries);
            QCOMPARE(p.ui("positiveOnlyButton")->isVisibleTo(&p.scope), plusShown);
            QCOMPARE(p.combo("scaleYCombo")->currentText(), QStringLiteral("Auto"));
            QVERIFY(!p.ui("positiveOnlyButton")->isEnabled());
            QCOMPARE(p.view()->yScaleMode(), int(VRXScopePlotView::PlotScaleAuto));
            QCOMPARE(p.view()->positiveOnly(), positiveOnly);
        };
        startsAtAuto(-1, 15, true, false);
        // In the normal list "+" serves the fixed percentages.
        for (int index = p.combo("scaleYCombo")->count() - 1; index >= 0; --index) {
            p.combo("scaleYCombo")->setCurrentIndex(index);
            if (index == 5)
                p.ui<QToolButton>("positiveOnlyButton")->setChecked(true);
            QCOMPARE(p.ui("positiveOnlyButton")->isEnabled(), index > 1);
            QCOMPARE(p.view()->yScaleMode(), index);
            // "Normalize" turns "+" off: normalised values go down to -1.
            QCOMPARE(p.view()->positiveOnly(), index >= 2 && index <= 5);
        }
        // Without the "+" shown, positive-only is not taken.
        startsAtAuto(VRXScope::_PlotScaleAutoOnly, 1, false, false);
        p.scope.SetPositiveOnly(true);
        QVERIFY(!p.view()->positiveOnly());

        startsAtAuto(VRXScope::_PlotScaleAbsolute, 23, true, false);
        p.choose("scaleYCombo", ".05");
        p.scope.SetRange(-3.0, 3.0); // limits come from the combo box, whatever the device reports
        QCOMPARE(p.view()->yScaleMode(), int(VRXScopePlotView::PlotScale100));
        QCOMPARE(p.yRange(), qMakePair(-0.05, 0.05));
        QVERIFY(p.ui("positiveOnlyButton")->isEnabled());
        for (int ignored : {0, 4, -1})
            p.scope.SetYScaleMode(ignored);
        QCOMPARE(p.combo("scaleYCombo")->currentText(), QStringLiteral(".05"));
        p.choose("scaleYCombo", "Auto");
        startsAtAuto(-1, 23, true, false);

        startsAtAuto(VRXScope::_PlotScaleAbsolutePositive, 23, false, true);
        p.choose("scaleYCombo", "1000");
        QCOMPARE(p.yRange(), qMakePair(0.0, 1000.0));
        QVERIFY(!p.ui("positiveOnlyButton")->isEnabled());
        // Back to symmetric limits: the shown, unchecked "+" rules the view again.
        p.scope.SetYScaleMode(VRXScope::_PlotScaleAbsolute);
        p.choose("scaleYCombo", "1000");
        QVERIFY(!p.view()->positiveOnly());
        QCOMPARE(p.yRange(), qMakePair(-1000.0, 1000.0));
    }

    void averagingEntryReachesTheProxy()
    {
        Panel p(0);
        p.host.AddData(0.0, 0.0);
        p.host.AddData(0.1, 100.0);
        for (int n : {10, 1000, 100, 1}) {
            p.choose("averagingCombo", n > 1 ? QStringLiteral("%1x Avg").arg(n) : QStringLiteral("No Avg"));
            // What the view reads: the step 0 -> 100 smoothed over that many samples.
            QCOMPARE(p.top()->doubleData(2, 1), 100.0 / n);
        }
    }

    void zeroShowsItsStateUntilTheModelOrItsChannelsChange()
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
        // Readable text on the indicator's light green: dark enough for a
        // contrast of 4.5 : 1.
        for (const char *name : {"zeroButton", "clearZeroButton"}) {
            QWidget *button = p.ui(name);
            button->ensurePolished();
            QVERIFY2(button->palette().color(QPalette::ButtonText).lightness() < 90, name);
        }
        QVERIFY(p.zeroing()->isZeroing());
        p.click("clearZeroButton");
        QVERIFY(!p.zeroShown() && !p.zeroing()->isZeroing());

        // Another device's zero means nothing for the new one.
        VRXSingleChannelDataModel other;
        addSamples(other, 3);
        p.click("zeroButton");
        p.scope.setModel(&other);
        QVERIFY(!p.zeroing()->isZeroing() && !p.zeroShown());
        // The proxy ends zeroing when the channels change; the panel follows.
        VRXMultichannelProxyModel merged;
        merged.addSourceModel(&p.host);
        p.scope.setModel(&merged);
        p.click("zeroButton");
        QVERIFY(p.zeroShown());
        merged.addSourceModel(&other);
        QVERIFY(!p.zeroing()->isZeroing() && !p.zeroShown());
        // ... also when a host's model adds a channel without a reset.
        FakeDeviceModel device(1, 5);
        p.scope.setModel(&device);
        p.click("zeroButton");
        device.addChannel();
        QVERIFY(!p.zeroing()->isZeroing() && !p.zeroShown());
    }

    void remainingExtraTabsKeepTheirModes_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("current"); // the tab shown before the steps
        QTest::newRow("2D") << QStringList{"-2D"} << "Strip";
        QTest::newRow("one before the current") << QStringList{"-Position"} << "2D";
        QTest::newRow("the current") << QStringList{"-Position"} << "Position";
        QTest::newRow("the last, current") << QStringList{"-Split"} << "Split";
        QTest::newRow("2D and Position") << QStringList{"-2D", "-Position"} << "Split";
        QTest::newRow("2D, then added again") << QStringList{"-2D", "+2D"} << "2D";
        QTest::newRow("Position, then added again") << QStringList{"-Position", "+Position"} << "Split";
    }
    void remainingExtraTabsKeepTheirModes()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, current);
        Panel p;
        const QMap<QString, void (VRXScope::*)(bool)> setters{{"2D", &VRXScope::setPixelatedEnabled},
            {"Position", &VRXScope::setPositionEnabled}, {"Split", &VRXScope::setSplitEnabled}};
        const auto set = [&](const QString &tab, bool on) { (p.scope.*setters.value(tab))(on); };
        set("Position", true); // added without being selected
        QCOMPARE(p.mode(), int(VRXScopePlotView::StripPlotMode));
        set("2D", true); // added and selected
        QCOMPARE(p.mode(), int(VRXScopePlotView::SpectrogramPlotMode));
        QVERIFY(p.view()->pixelated() && !p.view()->spectrogram()->isHidden());
        set("Split", true);
        QCOMPARE(tabTexts(p.tabs()), QStringList({"Strip", "Scope", "Histogram", "Position", "2D", "Split"}));
        p.tabs()->setCurrentIndex(tabTexts(p.tabs()).indexOf(current));
        for (const QString &step : steps)
            set(step.mid(1), step[0] == '+');
        // The current tab keeps its mode, or the tab taking its place shows its own.
        const QString shown = p.tabs()->tabText(p.tabs()->currentIndex());
        QVERIFY(shown == current || !tabTexts(p.tabs()).contains(current));
        QCOMPARE(p.mode(), kTabModes.indexOf(shown));
        for (int tab = p.tabs()->count() - 1; tab >= 0; --tab) {
            p.tabs()->setCurrentIndex(tab);
            QCOMPARE(p.mode(), kTabModes.indexOf(p.tabs()->tabText(tab)));
        }
    }

    void setPlotModeSelectsTheTabOfThatMode()
    {
        Panel p(0, false);
        // Before there is a model the configuration row follows its button,
        // and a mode chosen is taken by the view with the model, which hides both.
        QVERIFY(p.ui("confWidget")->isHidden());
        p.ui<QToolButton>("confButton")->setChecked(true);
        QVERIFY(!p.ui("confWidget")->isHidden());
        p.scope.SetPlotMode(VRXScope::ScopePlotMode);
        QCOMPARE(p.tabs()->currentIndex(), 1);
        p.scope.setModel(&p.host);
        QCOMPARE(p.mode(), int(VRXScopePlotView::ScopePlotMode));
        QVERIFY(p.ui("confButton")->isHidden() && p.ui("derivativeButton")->isHidden());

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

    void buttonsActOnlyOnALivePlotDataModel()
    {
        Panel p(10);
        QCOMPARE(p.scope.baseModel(), &p.host);
        p.click("clearButton");
        QCOMPARE(p.host.rowCount(), 1);
        QCOMPARE(p.scope.topLevelModel()->rowCount(), 1);

        // A model without the plot-data interface, or none: the view stays empty
        // and the buttons leave the former model, still behind the proxy, alone.
        addSamples(p.host, 4);
        QStandardItemModel plain(4, 2);
        p.answers << "/tmp/never-written.csv";
        for (QAbstractItemModel *model : {static_cast<QAbstractItemModel *>(&plain), static_cast<QAbstractItemModel *>(nullptr)}) {
            p.scope.setModel(model);
            QCOMPARE(p.scope.baseModel(), model);
            QCOMPARE(p.view()->model(), nullptr);
            for (const char *button : {"zeroButton", "saveButton", "clearButton"})
                p.click(button);
            QVERIFY(p.dirs.isEmpty() && !p.zeroShown());
            QCOMPARE(p.host.rowCount(), 5);
        }

        // A host may die before its panel, shown and zeroed ...
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
        // ... or outlive it: what the panel hung on the host must go with it.
        {
            VRXScope shortLived;
            shortLived.setModel(&p.host);
        }
        addSamples(p.host, 3);
        QCOMPARE(p.host.rowCount(), 8);
    }

    void chainPassesTheModelTesterWhileDriven()
    {
        Panel p(0, true, 80);
        QAbstractItemModelTester tester(p.scope.topLevelModel());
        for (int i = 1; i <= 200; ++i) {
            p.host.AddData(0.01 * i, double(i % 17));
            if (i == 30 || i == 170)
                p.combo("averagingCombo")->setCurrentIndex(i == 30 ? 2 : 0);
            if (i == 60 || i == 150)
                p.click("zeroButton");
            if (i == 100)
                p.click("clearZeroButton");
            if (i == 120)
                p.click("clearButton");
        }
        QCOMPARE(p.scope.topLevelModel()->rowCount(), 81);
    }

    // A host may share its table's selection before the panel has a model, or
    // take the model away for a while; the sharing holds once a model is there.
    void selectionOfTheBaseModelIsShared()
    {
        Panel p(20, false);
        QItemSelectionModel hostSelection(&p.host);
        p.scope.setSelectionModel(&hostSelection); // no warning, no refusal
        QAbstractItemModel *top = p.scope.topLevelModel();
        const auto viewSelection = [&p] { return p.view()->selectionModel(); };
        const auto columns = QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Columns;
        for (QAbstractItemModel *model : {&p.host, static_cast<VRXSingleChannelDataModel *>(nullptr), &p.host}) {
            p.scope.setModel(model);
            if (model) {
                // The host's choice reaches the view, cell for cell ...
                hostSelection.setCurrentIndex(p.host.index(7, 1), QItemSelectionModel::ClearAndSelect);
                QCOMPARE(viewSelection()->currentIndex(), top->index(7, 1));
                QVERIFY(viewSelection()->isSelected(top->index(7, 1)));
                hostSelection.clear();
            }
        }
        // ... and the view's reaches the host, with no echo either way.
        viewSelection()->select(top->index(0, 1), columns);
        QVERIFY(hostSelection.isColumnSelected(1, QModelIndex()));
        QVERIFY(!hostSelection.isSelected(p.host.index(7, 0)));
        hostSelection.clearSelection();
        QVERIFY(!viewSelection()->hasSelection());
        // A host's model may go before its selection model; the view's selection then stays its own.
        auto *gone = new VRXSingleChannelDataModel;
        QItemSelectionModel orphaned(gone, nullptr);
        p.scope.setSelectionModel(&orphaned);
        delete gone;
        viewSelection()->select(top->index(0, 1), columns);
        viewSelection()->setCurrentIndex(top->index(3, 1), QItemSelectionModel::NoUpdate);
        QVERIFY(viewSelection()->isColumnSelected(1, QModelIndex()));
        // One whose model went first is not taken, now or later: the view keeps a selection.
        p.scope.setSelectionModel(&orphaned);
        QVERIFY(viewSelection());
        p.scope.setModel(nullptr);
        p.scope.setModel(&p.host);
        QCOMPARE(viewSelection()->model(), top);
        // One of the view's own model is taken as it is.
        QItemSelectionModel shared(top);
        p.scope.setSelectionModel(&shared);
        QCOMPARE(viewSelection(), &shared);
    }

    void saveWritesTheChosenFile_data()
    {
        QTest::addColumn<QString>("chosen"); // in a fresh folder, unless blank
        QTest::addColumn<QString>("written"); // "": no file anywhere
        QTest::addColumn<bool>("fails");
        QTest::newRow("blank") << "   " << "" << false;
        QTest::newRow("bare") << "run" << "run.csv" << false;
        QTest::newRow("trailing dot") << "run." << "run.csv" << false;
        QTest::newRow("dotted folder") << "v1.2/run" << "v1.2/run.csv" << false;
        QTest::newRow("other suffix kept") << "run.txt" << "run.txt" << false;
        QTest::newRow("missing folder") << "missing/run.csv" << "" << true;
    }
    void saveWritesTheChosenFile()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        QFETCH(bool, fails);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("v1.2")));
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(dir.path()); // where a blank name would end up
        const auto back = qScopeGuard([&cwd] { QDir::setCurrent(cwd); });
        Panel p(3);
        p.answers << (chosen.trimmed().isEmpty() ? chosen : dir.filePath(chosen));
        p.click("saveButton");
        QCOMPARE(p.reports, fails ? QStringList{"Save Data|Error saving data file."} : QStringList());
        QStringList files;
        for (QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            files << QDir(dir.path()).relativeFilePath(it.next());
        QCOMPARE(files, written.isEmpty() ? QStringList() : QStringList{written});
        if (written.isEmpty())
            return;
        // The next dialogs open where the last file went, a cancel between them.
        p.click("saveButton");
        p.click("saveButton");
        QCOMPARE(p.dirs.last(), QFileInfo(dir.filePath(written)).path());
    }

    void saveWritesTheBufferOfTheClickBesideNewSamples()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("run.csv"));
        Panel p(3);
        p.answers << file << dir.filePath(QStringLiteral("second.csv"));
        QSignalSpy saved(&p.scope, &VRXScope::dataSaved);
        auto *button = p.ui<QToolButton>("saveButton");
        button->click(); // not Panel::click: that waits for the file
        QVERIFY(p.scope.isSaving() && !button->isEnabled());
        addSamples(p.host, 4); // readings keep arriving while the file is written
        button->click();
        QCOMPARE(p.dirs.size(), 1); // no second dialog while one file is open
        QVERIFY(saved.wait(10000));
        QCOMPARE(saved.size(), 1);
        QCOMPARE(saved.at(0), (QVariantList{file, true}));
        QVERIFY(!p.scope.isSaving() && button->isEnabled());
        QCOMPARE(readFile(file).count('\n'), 4); // the header and the three samples of the click
        QVERIFY(p.reports.isEmpty());

        // A panel deleted while saving finishes its file first.
        auto late = std::make_unique<Panel>(50000);
        late->answers << file;
        late->ui<QToolButton>("saveButton")->click();
        QVERIFY(late->scope.isSaving());
        late.reset();
        QCOMPARE(readFile(file).count('\n'), 50001);
    }

    void save2DUsesThePixelatedWriter()
    {
        struct Recording : VRXSingleChannelDataModel {
            mutable QStringList plain, pixelated;
            bool SaveDataToFile(const QString &name) const override { return (plain << name, true); }
            // Without a data writer the panel saves through SaveDataToFile().
            DataFileWriter dataFileWriter() const override { return {}; }
            bool SavePixelatedDataToFile(const QString &name, float d, bool x, bool y) const override
            {
                return (pixelated << QStringLiteral("%1|%2|%3|%4").arg(name).arg(d).arg(x).arg(y), true);
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

    void realDialogsAreShownWithoutHooks()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("picked.csv"));
        Panel p(3);
        p.scope.setSaveFileNameProvider(nullptr);
        p.scope.setSaveErrorReporter(nullptr);
        p.scope.show();
        QStringList seen;
        QVERIFY(answerModal([&] { p.click("saveButton"); }, [&](QWidget *modal) {
            auto *files = qobject_cast<QFileDialog *>(modal);
            auto *name = modal->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            if (!files || !name)
                return false;
            seen << files->windowTitle() << files->nameFilters() << files->defaultSuffix()
                 << (files->testOption(QFileDialog::DontResolveSymlinks) ? "links kept" : "links resolved");
            name->setText(file); // typed: selectFile() leaves a focused field alone
            return static_cast<QDialog *>(files)->accept(), true;
        }));
        QCOMPARE(readFile(file).count('\n'), 4);

        p.scope.setSaveFileNameProvider([&](const QString &, const QString &, const QString &, QFileDialog::Options) {
            return dir.filePath(QStringLiteral("missing/x.csv"));
        });
        QVERIFY(answerModal([&] { p.click("saveButton"); }, [&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            if (box)
                seen << box->windowTitle() << box->text();
            return box && (box->button(QMessageBox::Ok)->click(), true);
        }));
        QCOMPARE(seen, QStringList({"Save Data File", "CSV File (*.csv)", "csv", "links kept", "Save Data", "Error saving data file."}));
    }

    void panelFitsWhereHostsPutIt_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("extraTabs");
        QTest::newRow("640 x 400 histogram") << QSize(640, 400) << int(VRXScope::HistogramPlotMode) << true;
        QTest::newRow("640 x 400 strip") << QSize(640, 400) << int(VRXScope::StripPlotMode) << true;
        QTest::newRow("400 px dock") << QSize(400, 500) << int(VRXScope::HistogramPlotMode) << false;
        QTest::newRow("1920 x 1080") << QSize(1920, 1080) << int(VRXScope::HistogramPlotMode) << true;
    }
    // Every control, tab text, strip title and axis title whole and in place,
    // from a narrow dock to a full screen.
    void panelFitsWhereHostsPutIt()
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
        const QList<VRXScopePlotView::HistogramItemTypes> strips{VRXScopePlotView::GaussabolaHistogramItemType,
            VRXScopePlotView::RegressionHistogramItemType, VRXScopePlotView::CoGHistogramItemType};
        for (auto type : strips)
            p.view()->enableHistogramItem(type, 2, type == strips[1] ? QVector<double>{0.1, 1024, 1e-15, 1e-14, 2, 5}
                                                                     : QVector<double>{}, true);
        p.scope.SetPlotMode(VRXScope::PlotMode(mode));
        p.scope.resize(size);
        p.scope.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.scope));
        QVector<double> beams = gaussianProfile(32, 7.3, 1.5, 20, 0.5), second = gaussianProfile(32, 24.6, 2, 12);
        for (int c = 0; c < 32; ++c)
            beams[c] += second[c];
        for (int f = 0; f < 20; ++f)
            host.addFrame(0.05 * f, beams);
        QTRY_VERIFY(!p.view()->histogramAxisWidget(strips[0])->isHidden() || mode != VRXScope::HistogramPlotMode);
        ViewProbe::settle();
        QCOMPARE(p.scope.size(), size);

        // The controls: inside the panel, none over another, every tab text whole.
        QList<QRect> placed;
        for (const char *name : {"scaleYWidget", "avgWidget", "zeroWidget", "modeSelect", "bufferSizeLabel",
                                 "clearButton", "saveButton"}) {
            QWidget *control = p.ui(name);
            const QRect r(control->mapTo(&p.scope, QPoint(0, 0)), control->size());
            QVERIFY2(p.scope.rect().contains(r) && control->width() >= control->minimumSizeHint().width(), name);
            for (const QRect &other : qAsConst(placed))
                QVERIFY2(!r.intersects(other), name);
            placed << r;
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
        // (Three strips of full statistics in a narrow dock: short panels on two rows.)
        QVERIFY2(p.plot()->canvas()->height() >= (size.width() > 400 ? 100 : 60),
                 qPrintable(QString::number(p.plot()->canvas()->height())));
        for (int axis : {int(QwtPlot::yLeft), int(QwtPlot::xBottom)}) {
            const QwtScaleWidget *widget = p.plot()->axisWidget(axis);
            const QwtText title = widget->title();
            const int length = axis == QwtPlot::yLeft ? widget->height() : widget->width();
            const QFontMetrics metrics(title.font());
            QVERIFY2(widestWord(metrics, title.text()) <= length, qPrintable(title.text()));
            if (metrics.horizontalAdvance(title.text()) > length) // wrapped into lines, none cut
                QVERIFY2(title.renderFlags() & Qt::TextWordWrap, qPrintable(title.text()));
        }
        if (mode != VRXScope::HistogramPlotMode)
            return;

        // Each statistics strip's title whole beside its scale.
        for (auto type : strips) {
            const VRX_HistogramItemAxisWidget *strip = p.view()->histogramAxisWidget(type);
            QVERIFY(strip->isVisible());
            const QLabel *title = strip->titleLabel();
            QVERIFY2(widestWord(title->fontMetrics(), title->text()) <= title->contentsRect().width(),
                     qPrintable(title->text()));
            QVERIFY2(title->heightForWidth(title->width()) <= strip->height(), qPrintable(title->text()));
            QVERIFY(title->geometry().right() < strip->axisWidget()->geometry().left() + 1);
        }
        // Drawn whole: the title's text pixels keep clear of both edges of its label.
        const QImage image = p.view()->histogramAxisWidget(strips[0])->titleLabel()->grab().toImage();
        int left = image.width(), right = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 100)
                    left = qMin(left, x), right = qMax(right, x);
        QVERIFY2(right >= 0 && left >= 1 && right <= image.width() - 2,
                 qPrintable(QStringLiteral("%1..%2 of %3").arg(left).arg(right).arg(image.width())));
    }
};

QTEST_MAIN(TestVRXScope)
#include "tst_vrxscope.moc"
