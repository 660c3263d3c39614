#include "ModelTestHelpers.h"

#include <VRXAveragingProxyModel.h>
#include <VRXMultichannelProxyModel.h>
#include <VRXScope.h>
#include <VRXScopePlotView.h>
#include <VRXSingleChannelDataModel.h>
#include <VRXSpectrogram.h>
#include <VRXZeroingProxyModel.h>

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtGui/QImage>
#include <QtGui/QStandardItemModel>
#include <QtTest/QAbstractItemModelTester>
#include <QtTest/QtTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QToolButton>
#include <qwt_plot.h>
#include <qwt_scale_div.h>

#include <functional>
#include <memory>

using namespace Corvid_Qt;

namespace {

template <typename T>
T *part(VRXScope &scope, const char *name)
{
    T *widget = scope.findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("the scope has no %s", name);
    return widget;
}

QStringList comboTexts(QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

QStringList tabTexts(QTabBar *tabs)
{
    QStringList texts;
    for (int i = 0; i < tabs->count(); ++i)
        texts << tabs->tabText(i);
    return texts;
}

/// The left axis as the view set it.
QPair<double, double> yRange(VRXScope &scope)
{
    auto *plot = scope.plotView()->findChild<QwtPlot *>(QStringLiteral("qwtPlot"));
    plot->updateAxes();
    const QwtScaleDiv &div = plot->axisScaleDiv(QwtPlot::yLeft);
    return {div.lowerBound(), div.upperBound()};
}

int modeOfTab(const QString &text)
{
    static const QStringList texts{"Strip", "Scope", "Histogram", "2D", "Position", "Split"};
    return texts.indexOf(text);
}

const QStringList kScaleTexts{"Auto", "Normalize", "100%", "50%", "20%", "10%", "5%", "2%",
                              "1%", "0.5%", "0.2%", "0.1%", "0.05%", "0.02%", "0.01%"};
const QStringList kManualTexts{"Auto", "100000000", "10000000", "1000000", "250000", "100000",
                               "50000", "20000", "10000", "5000", "2000", "1000", "500", "100",
                               "50", "20", "5", "1", ".1", ".05", ".01", ".001", ".0001"};

/// A single-channel device that records which writer the panel called.
class RecordingModel : public VRXSingleChannelDataModel
{
public:
    struct PixelatedCall {
        QString name;
        float discriminator;
        bool invertX, invertY;
    };
    mutable QStringList plainCalls;
    mutable QVector<PixelatedCall> pixelatedCalls;

    bool SaveDataToFile(const QString &fileName) const override
    {
        plainCalls << fileName;
        return VRXSingleChannelDataModel::SaveDataToFile(fileName);
    }
    bool SavePixelatedDataToFile(const QString &fileName, float discriminator, bool invertX,
                                 bool invertY) const override
    {
        pixelatedCalls.append({fileName, discriminator, invertX, invertY});
        return true;
    }
};

/// Stands in for the save dialog and the warning box.
struct DialogScript {
    QStringList answers;  // file names returned in turn; "" is a cancel
    QStringList dirs;     // start directories asked with
    QStringList captions, filters;
    QVector<QFileDialog::Options> options;
    QStringList reports;  // "title|text" per warning

    void attach(VRXScope &scope)
    {
        scope.setSaveFileNameProvider(
            [this](const QString &caption, const QString &dir, const QString &filter, QFileDialog::Options o) {
                captions << caption;
                dirs << dir;
                filters << filter;
                options << o;
                return answers.isEmpty() ? QString() : answers.takeFirst();
            });
        scope.setSaveErrorReporter(
            [this](const QString &title, const QString &text) { reports << title + QLatin1Char('|') + text; });
    }
};

void addSamples(VRXSingleChannelDataModel &model, int n, double value = 1.0)
{
    const int first = model.rowCount();
    for (int i = 0; i < n; ++i)
        model.AddData(0.01 * (first + i), value + i);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// Runs `handle` on the first modal widget that opens; a dialog that never
/// opens or is not handled is closed after a few seconds so nothing hangs.
class ModalHandler : public QObject
{
public:
    explicit ModalHandler(std::function<bool(QWidget *)> handle)
        : m_handle(std::move(handle))
    {
        m_clock.start();
        connect(&m_timer, &QTimer::timeout, this, [this]() {
            QWidget *modal = QApplication::activeModalWidget();
            if (modal && !handled && m_handle(modal)) {
                handled = true;
                m_timer.stop();
            } else if (m_clock.elapsed() > 5000) {
                m_timer.stop();
                if (modal)
                    modal->close();
            }
        });
        m_timer.start(20);
    }
    bool handled = false;

private:
    std::function<bool(QWidget *)> m_handle;
    QTimer m_timer;
    QElapsedTimer m_clock;
};

} // namespace

class TestVRXScope : public QObject
{
    Q_OBJECT

private slots:
    void formHoldsEveryControl_data();
    void formHoldsEveryControl();
    void confButtonShowsTheConfigurationRow();
    void buttonsShowTextWithoutAnIconTheme();
    void buttonsTakeTheirIconsFromTheTheme();

    void scaleComboFollowsTheScaleMode_data();
    void scaleComboFollowsTheScaleMode();
    void scaleModesOutsideOneToThreeAreIgnored_data();
    void scaleModesOutsideOneToThreeAreIgnored();
    void positiveOnlyButtonIsEnabledForFixedPercentagesOnly_data();
    void positiveOnlyButtonIsEnabledForFixedPercentagesOnly();
    void absoluteEntriesSetSymmetricLimits();
    void absolutePositiveEntriesStartAtZero();
    void setRangeRescalesOnlyWhenTheRangeChanges();
    void setPositiveOnlyActsOnlyWhileTheButtonIsShown();

    void averagingEntryReachesTheProxy_data();
    void averagingEntryReachesTheProxy();

    void zeroNowIgnoresAHeaderOnlyModel();
    void zeroNowAndZeroClearShowTheirState();
    void zeroStateEndsWithTheModelOrItsChannels();

    void modeTabsSelectTheViewsModes();
    void enabling2DAddsAndSelectsItsTab();
    void remainingExtraTabsKeepTheirModes_data();
    void remainingExtraTabsKeepTheirModes();
    void removingAnExtraTabKeepsTheShownModeRight();
    void setPlotModeSelectsTheTabOfThatMode();
    void modeChosenBeforeTheModelIsApplied();

    void clearEmptiesTheHostsBuffer();
    void modelWithoutPlotInterfaceLeavesTheViewEmpty();
    void sampleLabelCountsTheBuffer();
    void hostModelMayDieFirst();
    void chainPassesTheModelTesterWhileDriven();

    void saveWritesTheChosenFile();
    void cancelledOrBlankSaveWritesNothing_data();
    void cancelledOrBlankSaveWritesNothing();
    void failedSaveWarnsAndKeepsTheData();
    void saveWithoutModelAsksNothing();
    void save2DUsesThePixelatedWriter();
    void realDialogsAreShownWithoutHooks();
};

// ---------------------------------------------------------------------------
// Form

void TestVRXScope::formHoldsEveryControl_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");

    QTest::newRow("plotView") << "plotView" << "Corvid_Qt::VRXScopePlotView" << "" << "";
    QTest::newRow("confWidget") << "confWidget" << "QWidget" << "" << "";
    QTest::newRow("derivativeButton") << "derivativeButton" << "QCheckBox" << "d/dx" << "Display derivative data.";
    QTest::newRow("confButton") << "confButton" << "QToolButton" << "..." << "";
    QTest::newRow("scaleYWidget") << "scaleYWidget" << "QWidget" << "" << "";
    QTest::newRow("label") << "label" << "QLabel" << "Y:" << "";
    QTest::newRow("scaleYCombo") << "scaleYCombo" << "QComboBox" << "" << "Set the range of the Y axis.";
    QTest::newRow("positiveOnlyButton") << "positiveOnlyButton" << "QToolButton" << "+" << "Set the Y axis to start at 0.";
    QTest::newRow("avgWidget") << "avgWidget" << "QWidget" << "" << "";
    QTest::newRow("averagingCombo") << "averagingCombo" << "QComboBox" << "" << "Apply running average to all data.";
    QTest::newRow("zeroWidget") << "zeroWidget" << "QWidget" << "" << "";
    QTest::newRow("zeroButton") << "zeroButton" << "QToolButton" << "Zero" << "Subtract current values from all data.";
    QTest::newRow("clearZeroButton") << "clearZeroButton" << "QToolButton" << "*" << "Undo zero subtraction.";
    QTest::newRow("modeSelect") << "modeSelect" << "QTabBar" << "" << "";
    QTest::newRow("bufferSizeLabel") << "bufferSizeLabel" << "QLabel" << "0 Samples"
                                     << "Number of data samples collected, up to 100000.";
    QTest::newRow("clearButton") << "clearButton" << "QToolButton" << "Clear" << "Clear the data buffer.";
    QTest::newRow("saveButton") << "saveButton" << "QToolButton" << "Save" << "Save the data buffer to a file.";
}

void TestVRXScope::formHoldsEveryControl()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, text);
    QFETCH(QString, toolTip);

    VRXScope scope;
    QCOMPARE(scope.objectName(), QStringLiteral("VRXScope"));
    QCOMPARE(scope.size(), QSize(728, 512));
    QCOMPARE(scope.windowTitle(), QStringLiteral("Form"));

    QWidget *widget = scope.findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), className);
    QCOMPARE(widget->toolTip(), toolTip);
    if (text == QLatin1String("*"))
        return; // depends on the icon theme, see the icon tests
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        QCOMPARE(button->text(), text);
    else if (auto *label = qobject_cast<QLabel *>(widget))
        QCOMPARE(label->text(), text);
}

void TestVRXScope::confButtonShowsTheConfigurationRow()
{
    VRXScope scope;
    auto *conf = part<QToolButton>(scope, "confButton");
    auto *confWidget = part<QWidget>(scope, "confWidget");
    auto *derivative = part<QCheckBox>(scope, "derivativeButton");
    auto *tabs = part<QTabBar>(scope, "modeSelect");

    QVERIFY(conf->isCheckable());
    QVERIFY(derivative->isCheckable());
    QVERIFY(!derivative->isEnabled());
    QVERIFY(confWidget->isHidden());
    conf->setChecked(true);
    QVERIFY(!confWidget->isHidden());
    conf->setChecked(false);
    QVERIFY(confWidget->isHidden());

    QCOMPARE(part<QLabel>(scope, "label")->buddy(), part<QComboBox>(scope, "scaleYCombo"));
    QCOMPARE(tabTexts(tabs), QStringList({"Strip", "Scope", "Histogram"}));
    QCOMPARE(tabs->shape(), QTabBar::TriangularSouth);
    QCOMPARE(tabs->minimumWidth(), 50);
    QCOMPARE(scope.plotView()->frameShape(), QFrame::NoFrame);

    VRXSingleChannelDataModel host;
    scope.setModel(&host);
    QVERIFY(conf->isHidden());
    QVERIFY(derivative->isHidden());
}

void TestVRXScope::buttonsShowTextWithoutAnIconTheme()
{
    // A theme folder without icons and no other search path: nothing resolves.
    QTemporaryDir themes;
    QDir(themes.path()).mkpath(QStringLiteral("bare"));
    QFile index(themes.filePath(QStringLiteral("bare/index.theme")));
    QVERIFY(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=bare\nDirectories=16x16\n\n[16x16]\nSize=16\nType=Fixed\n");
    index.close();
    const QStringList oldPaths = QIcon::themeSearchPaths();
    const QString oldTheme = QIcon::themeName();
    QIcon::setThemeSearchPaths({themes.path()});
    QIcon::setThemeName(QStringLiteral("bare"));

    {
        VRXScope scope;
        for (const char *name : {"confButton", "positiveOnlyButton", "zeroButton", "clearZeroButton",
                                 "clearButton", "saveButton"}) {
            auto *button = part<QToolButton>(scope, name);
            QVERIFY2(button->icon().isNull(), qPrintable(button->objectName()));
            QVERIFY2(!button->text().isEmpty(), qPrintable(button->objectName()));
        }
        // Still fully usable: the undo button works without its icon.
        VRXSingleChannelDataModel host;
        addSamples(host, 3);
        scope.setModel(&host);
        part<QToolButton>(scope, "zeroButton")->click();
        QVERIFY(part<QToolButton>(scope, "clearZeroButton")->isEnabled());
        part<QToolButton>(scope, "clearZeroButton")->click();
        QVERIFY(!part<QToolButton>(scope, "clearZeroButton")->isEnabled());
    }

    QIcon::setThemeSearchPaths(oldPaths);
    QIcon::setThemeName(oldTheme);
}

void TestVRXScope::buttonsTakeTheirIconsFromTheTheme()
{
    const QMap<QString, QString> iconNames{
        {"confButton", "configure"},
        {"zeroButton", "align-vertical-bottom-out"},
        {"clearZeroButton", "edit-clear-locationbar-rtl"},
        {"clearButton", "edit-clear"},
        {"saveButton", "document-save"},
    };
    QTemporaryDir themes;
    QDir(themes.path()).mkpath(QStringLiteral("full/16x16"));
    QFile index(themes.filePath(QStringLiteral("full/index.theme")));
    QVERIFY(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=full\nDirectories=16x16\n\n[16x16]\nSize=16\nType=Fixed\n");
    index.close();
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::red);
    for (const QString &icon : iconNames)
        QVERIFY(image.save(themes.filePath(QStringLiteral("full/16x16/%1.png").arg(icon))));
    const QStringList oldPaths = QIcon::themeSearchPaths();
    const QString oldTheme = QIcon::themeName();
    QIcon::setThemeSearchPaths({themes.path()});
    QIcon::setThemeName(QStringLiteral("full"));

    {
        VRXScope scope;
        for (auto it = iconNames.begin(); it != iconNames.end(); ++it) {
            auto *button = part<QToolButton>(scope, qPrintable(it.key()));
            QVERIFY2(!button->icon().isNull(), qPrintable(it.key()));
            QCOMPARE(button->icon().name(), it.value());
        }
        QCOMPARE(part<QToolButton>(scope, "clearZeroButton")->text(), QString());
        QCOMPARE(part<QToolButton>(scope, "zeroButton")->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    }

    QIcon::setThemeSearchPaths(oldPaths);
    QIcon::setThemeName(oldTheme);
}

// ---------------------------------------------------------------------------
// Y scale

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

    VRXScope scope;
    if (mode >= 0)
        scope.SetYScaleMode(mode);
    auto *combo = part<QComboBox>(scope, "scaleYCombo");
    QCOMPARE(comboTexts(combo), entries);
    QCOMPARE(combo->currentIndex(), 0);
    QCOMPARE(part<QToolButton>(scope, "positiveOnlyButton")->isVisibleTo(&scope), plusShown);
    // Every list starts at "Auto", which the view takes as autoscale.
    QCOMPARE(scope.plotView()->yScaleMode(), int(VRXScopePlotView::PlotScaleAuto));
    QCOMPARE(scope.plotView()->positiveOnly(), viewPositiveOnly);
    QVERIFY(!part<QToolButton>(scope, "positiveOnlyButton")->isEnabled());
}

void TestVRXScope::scaleModesOutsideOneToThreeAreIgnored_data()
{
    QTest::addColumn<int>("ignored");
    QTest::newRow("0") << 0;
    QTest::newRow("4") << 4;
    QTest::newRow("-1") << -1;
}

void TestVRXScope::scaleModesOutsideOneToThreeAreIgnored()
{
    QFETCH(int, ignored);
    VRXScope scope;
    auto *combo = part<QComboBox>(scope, "scaleYCombo");
    scope.SetYScaleMode(ignored);
    QCOMPARE(comboTexts(combo), kScaleTexts);

    scope.SetYScaleMode(VRXScope::_PlotScaleAbsolute);
    combo->setCurrentIndex(kManualTexts.indexOf(".1"));
    scope.SetYScaleMode(ignored);
    QCOMPARE(comboTexts(combo), kManualTexts);
    QCOMPARE(combo->currentText(), QStringLiteral(".1"));
    // Still read as absolute limits, so the mode was kept as well.
    combo->setCurrentIndex(kManualTexts.indexOf("20"));
    QCOMPARE(yRange(scope), qMakePair(-20.0, 20.0));
}

void TestVRXScope::positiveOnlyButtonIsEnabledForFixedPercentagesOnly_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < kScaleTexts.size(); ++i)
        QTest::newRow(qPrintable(kScaleTexts[i])) << i;
}

void TestVRXScope::positiveOnlyButtonIsEnabledForFixedPercentagesOnly()
{
    QFETCH(int, index);
    VRXScope scope;
    auto *combo = part<QComboBox>(scope, "scaleYCombo");
    auto *plus = part<QToolButton>(scope, "positiveOnlyButton");
    combo->setCurrentIndex(index == 0 ? 1 : 0); // make the next choice a change
    combo->setCurrentIndex(index);
    QCOMPARE(plus->isEnabled(), index > 1);
    QCOMPARE(scope.plotView()->yScaleMode(), index);
}

void TestVRXScope::absoluteEntriesSetSymmetricLimits()
{
    VRXScope scope;
    auto *combo = part<QComboBox>(scope, "scaleYCombo");
    auto *plus = part<QToolButton>(scope, "positiveOnlyButton");
    scope.SetYScaleMode(VRXScope::_PlotScaleAbsolute);

    combo->setCurrentIndex(kManualTexts.indexOf(".05"));
    QCOMPARE(scope.plotView()->yScaleMode(), int(VRXScopePlotView::PlotScale100));
    QCOMPARE(yRange(scope), qMakePair(-0.05, 0.05));
    QVERIFY(plus->isEnabled());

    combo->setCurrentIndex(kManualTexts.indexOf("250000"));
    QCOMPARE(yRange(scope), qMakePair(-250000.0, 250000.0));

    combo->setCurrentIndex(0);
    QCOMPARE(scope.plotView()->yScaleMode(), int(VRXScopePlotView::PlotScaleAuto));
    QVERIFY(!plus->isEnabled());
}

void TestVRXScope::absolutePositiveEntriesStartAtZero()
{
    VRXScope scope;
    auto *combo = part<QComboBox>(scope, "scaleYCombo");
    scope.SetYScaleMode(VRXScope::_PlotScaleAbsolutePositive);
    combo->setCurrentIndex(kManualTexts.indexOf("1000"));
    QCOMPARE(scope.plotView()->yScaleMode(), int(VRXScopePlotView::PlotScale100));
    QVERIFY(scope.plotView()->positiveOnly());
    QCOMPARE(yRange(scope), qMakePair(0.0, 1000.0));
    QVERIFY(!part<QToolButton>(scope, "positiveOnlyButton")->isEnabled());

    // Back to symmetric limits: the shown "+" button rules the view again.
    scope.SetYScaleMode(VRXScope::_PlotScaleAbsolute);
    combo->setCurrentIndex(kManualTexts.indexOf("1000"));
    QVERIFY(!scope.plotView()->positiveOnly());
    QCOMPARE(yRange(scope), qMakePair(-1000.0, 1000.0));
}

void TestVRXScope::setRangeRescalesOnlyWhenTheRangeChanges()
{
    VRXScope scope;
    auto *combo = part<QComboBox>(scope, "scaleYCombo");
    combo->setCurrentIndex(VRXScopePlotView::PlotScale10);
    QCOMPARE(yRange(scope), qMakePair(-0.1, 0.1)); // default range -1 .. 1

    scope.SetRange(-2.0, 4.0);
    QCOMPARE(yRange(scope), qMakePair(-0.2, 0.4));
    QCOMPARE(scope.plotView()->yScaleMode(), int(VRXScopePlotView::PlotScale10));

    // The same range again changes nothing the user set in between.
    scope.plotView()->SetYScaleMode(VRXScopePlotView::PlotScaleAuto);
    scope.SetRange(-2.0, 4.0);
    QCOMPARE(scope.plotView()->yScaleMode(), int(VRXScopePlotView::PlotScaleAuto));

    // Absolute limits come from the combo box, whatever range the device reports.
    scope.SetYScaleMode(VRXScope::_PlotScaleAbsolute);
    combo->setCurrentIndex(kManualTexts.indexOf(".05"));
    scope.SetRange(-3.0, 3.0);
    QCOMPARE(scope.plotView()->yScaleMode(), int(VRXScopePlotView::PlotScale100));
    QCOMPARE(yRange(scope), qMakePair(-0.05, 0.05));
}

void TestVRXScope::setPositiveOnlyActsOnlyWhileTheButtonIsShown()
{
    VRXScope scope; // never shown: the host sets it up before showing
    auto *plus = part<QToolButton>(scope, "positiveOnlyButton");
    part<QComboBox>(scope, "scaleYCombo")->setCurrentIndex(VRXScopePlotView::PlotScale100);

    scope.SetPositiveOnly(true);
    QVERIFY(plus->isChecked());
    QVERIFY(scope.plotView()->positiveOnly());
    QCOMPARE(yRange(scope), qMakePair(-0.1, 1.0));
    scope.SetPositiveOnly(false);
    QVERIFY(!scope.plotView()->positiveOnly());

    scope.SetYScaleMode(VRXScope::_PlotScaleAutoOnly);
    scope.SetPositiveOnly(true);
    QVERIFY(!plus->isChecked());
    QVERIFY(!scope.plotView()->positiveOnly());
}

// ---------------------------------------------------------------------------
// Averaging

void TestVRXScope::averagingEntryReachesTheProxy_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("count");
    QTest::newRow("No Avg") << "No Avg" << 1;
    QTest::newRow("10x Avg") << "10x Avg" << 10;
    QTest::newRow("100x Avg") << "100x Avg" << 100;
    QTest::newRow("1000x Avg") << "1000x Avg" << 1000;
}

void TestVRXScope::averagingEntryReachesTheProxy()
{
    QFETCH(QString, entry);
    QFETCH(int, count);

    VRXScope scope;
    VRXSingleChannelDataModel host;
    host.AddData(0.0, 0.0);
    host.AddData(0.1, 100.0);
    scope.setModel(&host);

    auto *combo = part<QComboBox>(scope, "averagingCombo");
    QCOMPARE(comboTexts(combo), QStringList({"No Avg", "10x Avg", "100x Avg", "1000x Avg"}));
    combo->setCurrentIndex(combo->findText(entry));

    auto *zeroing = qobject_cast<QAbstractProxyModel *>(scope.topLevelModel());
    QVERIFY(zeroing);
    auto *averaging = qobject_cast<VRXAveragingProxyModel *>(zeroing->sourceModel());
    QVERIFY(averaging);
    QCOMPARE(averaging->averaging(), count);
    // What the view reads: the step 0 -> 100 smoothed over `count` samples.
    QCOMPARE(dynamic_cast<VRXAbstractPlotDataModel *>(scope.topLevelModel())->doubleData(2, 1), 100.0 / count);
}

// ---------------------------------------------------------------------------
// Zeroing

void TestVRXScope::zeroNowIgnoresAHeaderOnlyModel()
{
    VRXScope scope;
    VRXSingleChannelDataModel host;
    scope.setModel(&host);
    QCOMPARE(host.rowCount(), 1);

    QSignalSpy resets(scope.topLevelModel(), &QAbstractItemModel::modelReset);
    part<QToolButton>(scope, "zeroButton")->click();
    QCOMPARE(resets.count(), 0);
    QVERIFY(!part<QToolButton>(scope, "clearZeroButton")->isEnabled());
    QCOMPARE(part<QWidget>(scope, "zeroWidget")->styleSheet(), QString());
    QVERIFY(!qobject_cast<VRXZeroingProxyModel *>(scope.topLevelModel())->isZeroing());

    // Without any model the button does nothing either.
    VRXScope bare;
    part<QToolButton>(bare, "zeroButton")->click();
    QVERIFY(!part<QToolButton>(bare, "clearZeroButton")->isEnabled());
}

void TestVRXScope::zeroNowAndZeroClearShowTheirState()
{
    VRXScope scope;
    VRXSingleChannelDataModel host;
    host.AddData(0.0, 5.0);
    host.AddData(0.1, 7.0);
    scope.setModel(&host);
    auto *top = dynamic_cast<VRXAbstractPlotDataModel *>(scope.topLevelModel());
    auto *zero = part<QToolButton>(scope, "zeroButton");
    auto *clearZero = part<QToolButton>(scope, "clearZeroButton");
    auto *zeroWidget = part<QWidget>(scope, "zeroWidget");
    QVERIFY(!clearZero->isEnabled());

    zero->click();
    QVERIFY(clearZero->isEnabled());
    QCOMPARE(zeroWidget->styleSheet(), QStringLiteral("background-color:#88ff8a;"));
    QCOMPARE(top->doubleData(2, 1), 0.0);
    QCOMPARE(top->doubleData(1, 1), -2.0);

    clearZero->click();
    QVERIFY(!clearZero->isEnabled());
    QCOMPARE(zeroWidget->styleSheet(), QString());
    QCOMPARE(top->doubleData(2, 1), 7.0);
}

void TestVRXScope::zeroStateEndsWithTheModelOrItsChannels()
{
    VRXScope scope;
    auto *clearZero = part<QToolButton>(scope, "clearZeroButton");
    auto *zeroWidget = part<QWidget>(scope, "zeroWidget");
    auto *zeroing = qobject_cast<VRXZeroingProxyModel *>(scope.topLevelModel());

    // Another device's zero means nothing for the new one.
    VRXSingleChannelDataModel first, second;
    addSamples(first, 3, 10.0);
    addSamples(second, 3, 20.0);
    scope.setModel(&first);
    part<QToolButton>(scope, "zeroButton")->click();
    QVERIFY(zeroing->isZeroing());
    scope.setModel(&second);
    QVERIFY(!zeroing->isZeroing());
    QVERIFY(!clearZero->isEnabled());
    QCOMPARE(zeroWidget->styleSheet(), QString());

    // The proxy ends zeroing when the channels change; the panel follows.
    VRXMultichannelProxyModel merged;
    merged.addSourceModel(&first);
    scope.setModel(&merged);
    part<QToolButton>(scope, "zeroButton")->click();
    QVERIFY(clearZero->isEnabled());
    merged.addSourceModel(&second);
    QVERIFY(!zeroing->isZeroing());
    QVERIFY(!clearZero->isEnabled());
    QCOMPARE(zeroWidget->styleSheet(), QString());
}

// ---------------------------------------------------------------------------
// Mode tabs

void TestVRXScope::modeTabsSelectTheViewsModes()
{
    VRXScope scope;
    VRXSingleChannelDataModel host;
    addSamples(host, 5);
    scope.setModel(&host);
    auto *tabs = part<QTabBar>(scope, "modeSelect");
    for (int tab : {1, 2, 0}) {
        tabs->setCurrentIndex(tab);
        QCOMPARE(int(scope.plotView()->plotMode()), tab);
    }
}

void TestVRXScope::enabling2DAddsAndSelectsItsTab()
{
    VRXScope scope;
    VRXSingleChannelDataModel host;
    addSamples(host, 5);
    scope.setModel(&host);
    auto *tabs = part<QTabBar>(scope, "modeSelect");
    VRXScopePlotView *view = scope.plotView();

    QTest::ignoreMessage(QtDebugMsg, "setPixelatedEnabled");
    scope.setPixelatedEnabled(true);
    QCOMPARE(tabTexts(tabs), QStringList({"Strip", "Scope", "Histogram", "2D"}));
    QCOMPARE(tabs->currentIndex(), 3);
    QCOMPARE(view->plotMode(), VRXScopePlotView::SpectrogramPlotMode);
    QVERIFY(view->pixelated());
    QVERIFY(!view->spectrogram()->isHidden());

    scope.setPixelatedEnabled(true); // no second tab
    QCOMPARE(tabs->count(), 4);

    scope.setPixelatedEnabled(false);
    QCOMPARE(tabTexts(tabs), QStringList({"Strip", "Scope", "Histogram"}));
    QVERIFY(!view->pixelated());
    QVERIFY(view->spectrogram()->isHidden());
    QCOMPARE(int(view->plotMode()), tabs->currentIndex());

    // Position and split tabs are added without being selected.
    tabs->setCurrentIndex(1);
    scope.setPositionEnabled(true);
    scope.setSplitEnabled(true);
    QCOMPARE(tabTexts(tabs), QStringList({"Strip", "Scope", "Histogram", "Position", "Split"}));
    QCOMPARE(tabs->currentIndex(), 1);
    QCOMPARE(view->plotMode(), VRXScopePlotView::ScopePlotMode);
}

void TestVRXScope::remainingExtraTabsKeepTheirModes_data()
{
    QTest::addColumn<QStringList>("removed");
    QTest::newRow("2D") << QStringList{"2D"};
    QTest::newRow("Position") << QStringList{"Position"};
    QTest::newRow("Split") << QStringList{"Split"};
    QTest::newRow("2D and Position") << QStringList{"2D", "Position"};
    QTest::newRow("2D, then added again") << QStringList{"2D", "+2D"};
    QTest::newRow("Position, then added again") << QStringList{"Position", "+Position"};
}

void TestVRXScope::remainingExtraTabsKeepTheirModes()
{
    QFETCH(QStringList, removed);

    VRXScope scope;
    VRXSingleChannelDataModel host;
    addSamples(host, 5);
    scope.setModel(&host);
    auto *tabs = part<QTabBar>(scope, "modeSelect");
    const QMap<QString, std::function<void(bool)>> enable{
        {"2D", [&](bool on) { scope.setPixelatedEnabled(on); }},
        {"Position", [&](bool on) { scope.setPositionEnabled(on); }},
        {"Split", [&](bool on) { scope.setSplitEnabled(on); }},
    };
    for (const char *name : {"2D", "Position", "Split"})
        enable[QLatin1String(name)](true);
    tabs->setCurrentIndex(0);
    for (const QString &step : removed) {
        if (step.startsWith(QLatin1Char('+')))
            enable[step.mid(1)](true);
        else
            enable[step](false);
    }

    for (int tab = tabs->count() - 1; tab >= 0; --tab) {
        tabs->setCurrentIndex(tab);
        QCOMPARE(int(scope.plotView()->plotMode()), modeOfTab(tabs->tabText(tab)));
    }
}

void TestVRXScope::removingAnExtraTabKeepsTheShownModeRight()
{
    VRXScope scope;
    VRXSingleChannelDataModel host;
    addSamples(host, 5);
    scope.setModel(&host);
    auto *tabs = part<QTabBar>(scope, "modeSelect");
    scope.setPositionEnabled(true);
    scope.setPixelatedEnabled(true);
    scope.setSplitEnabled(true);
    QCOMPARE(tabTexts(tabs), QStringList({"Strip", "Scope", "Histogram", "Position", "2D", "Split"}));

    // A tab before the current one goes: the current tab moves, its mode stays.
    tabs->setCurrentIndex(4);
    QCOMPARE(scope.plotView()->plotMode(), VRXScopePlotView::SpectrogramPlotMode);
    scope.setPositionEnabled(false);
    QCOMPARE(tabs->tabText(tabs->currentIndex()), QStringLiteral("2D"));
    QCOMPARE(scope.plotView()->plotMode(), VRXScopePlotView::SpectrogramPlotMode);
    scope.setPositionEnabled(true);

    // The current tab goes: the view shows the tab that takes its place.
    tabs->setCurrentIndex(5);
    QCOMPARE(scope.plotView()->plotMode(), VRXScopePlotView::PositionPlotMode);
    scope.setPositionEnabled(false);
    QCOMPARE(int(scope.plotView()->plotMode()), modeOfTab(tabs->tabText(tabs->currentIndex())));
    QVERIFY(scope.plotView()->plotMode() != VRXScopePlotView::PositionPlotMode);

    tabs->setCurrentIndex(tabs->count() - 1);
    QCOMPARE(scope.plotView()->plotMode(), VRXScopePlotView::SplitPlotMode);
    scope.setSplitEnabled(false);
    QCOMPARE(int(scope.plotView()->plotMode()), modeOfTab(tabs->tabText(tabs->currentIndex())));
}

void TestVRXScope::setPlotModeSelectsTheTabOfThatMode()
{
    VRXScope scope;
    VRXSingleChannelDataModel host;
    addSamples(host, 5);
    scope.setModel(&host);
    auto *tabs = part<QTabBar>(scope, "modeSelect");
    scope.setPositionEnabled(true); // tab 3 is "Position", there is no "2D" tab

    scope.SetPlotMode(VRXScope::HistogramPlotMode);
    QCOMPARE(tabs->currentIndex(), 2);
    QCOMPARE(scope.plotView()->plotMode(), VRXScopePlotView::HistogramPlotMode);

    scope.SetPlotMode(VRXScope::PositionPlotMode);
    QCOMPARE(tabs->tabText(tabs->currentIndex()), QStringLiteral("Position"));
    QCOMPARE(scope.plotView()->plotMode(), VRXScopePlotView::PositionPlotMode);

    // No tab of its own: the view shows it, no other tab is taken for it.
    scope.SetPlotMode(VRXScope::SpectrogramPlotMode);
    QCOMPARE(scope.plotView()->plotMode(), VRXScopePlotView::SpectrogramPlotMode);
    QCOMPARE(tabs->tabText(tabs->currentIndex()), QStringLiteral("Position"));
}

void TestVRXScope::modeChosenBeforeTheModelIsApplied()
{
    VRXScope scope;
    scope.SetPlotMode(VRXScope::ScopePlotMode);
    QCOMPARE(part<QTabBar>(scope, "modeSelect")->currentIndex(), 1);
    VRXSingleChannelDataModel host;
    scope.setModel(&host);
    QCOMPARE(scope.plotView()->plotMode(), VRXScopePlotView::ScopePlotMode);
}

// ---------------------------------------------------------------------------
// Model handling

void TestVRXScope::clearEmptiesTheHostsBuffer()
{
    VRXScope scope;
    VRXSingleChannelDataModel host;
    addSamples(host, 10);
    scope.setModel(&host);
    QCOMPARE(scope.baseModel(), &host);
    part<QToolButton>(scope, "clearButton")->click();
    QCOMPARE(host.rowCount(), 1);
    QCOMPARE(scope.topLevelModel()->rowCount(), 1);

    // A panel without a model leaves its former model alone.
    addSamples(host, 4);
    scope.setModel(nullptr);
    QCOMPARE(scope.baseModel(), nullptr);
    QCOMPARE(scope.plotView()->model(), nullptr);
    part<QToolButton>(scope, "clearButton")->click();
    QCOMPARE(host.rowCount(), 5);
}

void TestVRXScope::modelWithoutPlotInterfaceLeavesTheViewEmpty()
{
    VRXScope scope;
    QStandardItemModel plain(4, 2);
    DialogScript dialogs;
    dialogs.answers << QStringLiteral("/tmp/never-written.csv");
    dialogs.attach(scope);

    scope.setModel(&plain);
    QCOMPARE(scope.baseModel(), &plain);
    QCOMPARE(scope.plotView()->model(), nullptr);
    part<QToolButton>(scope, "zeroButton")->click();
    part<QToolButton>(scope, "saveButton")->click();
    part<QToolButton>(scope, "clearButton")->click();
    QVERIFY(dialogs.captions.isEmpty());
    QVERIFY(!part<QToolButton>(scope, "clearZeroButton")->isEnabled());
    QCOMPARE(plain.rowCount(), 4);
}

void TestVRXScope::sampleLabelCountsTheBuffer()
{
    VRXScope scope;
    VRXSingleChannelDataModel host;
    scope.setModel(&host);
    scope.show();
    QVERIFY(QTest::qWaitForWindowExposed(&scope));
    addSamples(host, 12);
    QTRY_COMPARE(part<QLabel>(scope, "bufferSizeLabel")->text(), QStringLiteral("12 Samples"));
    part<QToolButton>(scope, "clearButton")->click();
    QTRY_COMPARE(part<QLabel>(scope, "bufferSizeLabel")->text(), QStringLiteral("0 Samples"));
}

void TestVRXScope::hostModelMayDieFirst()
{
    VRXScope scope;
    DialogScript dialogs;
    dialogs.answers << QStringLiteral("/tmp/never-written.csv");
    dialogs.attach(scope);
    scope.show();
    {
        VRXSingleChannelDataModel host;
        addSamples(host, 20);
        scope.setModel(&host);
        part<QToolButton>(scope, "zeroButton")->click();
        QCoreApplication::processEvents();
    }
    QCOMPARE(scope.baseModel(), nullptr);
    for (const char *button : {"zeroButton", "clearZeroButton", "clearButton", "saveButton"})
        part<QToolButton>(scope, button)->click();
    part<QTabBar>(scope, "modeSelect")->setCurrentIndex(2);
    QCoreApplication::processEvents();
    QVERIFY(dialogs.captions.isEmpty());

    // And the other way round: the host outlives its panel.
    VRXSingleChannelDataModel host;
    {
        VRXScope shortLived;
        shortLived.setModel(&host);
        addSamples(host, 3);
    }
    addSamples(host, 3);
    QCOMPARE(host.rowCount(), 7);
}

void TestVRXScope::chainPassesTheModelTesterWhileDriven()
{
    VRXScope scope;
    VRXSingleChannelDataModel host(80);
    scope.setModel(&host);
    corvid_test::SequentialAdapter adapter(scope.topLevelModel());
    QAbstractItemModelTester tester(&adapter);
    auto *averaging = part<QComboBox>(scope, "averagingCombo");
    for (int i = 1; i <= 200; ++i) {
        host.AddData(0.01 * i, double(i % 17));
        if (i == 30)
            averaging->setCurrentIndex(2);
        if (i == 60 || i == 150)
            part<QToolButton>(scope, "zeroButton")->click();
        if (i == 100)
            part<QToolButton>(scope, "clearZeroButton")->click();
        if (i == 120)
            part<QToolButton>(scope, "clearButton")->click();
        if (i == 170)
            averaging->setCurrentIndex(0);
    }
    QCOMPARE(scope.topLevelModel()->rowCount(), 81);
}

// ---------------------------------------------------------------------------
// Saving

void TestVRXScope::saveWritesTheChosenFile()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("run1.csv"));
    VRXScope scope;
    VRXSingleChannelDataModel host;
    addSamples(host, 3);
    scope.setModel(&host);
    DialogScript dialogs;
    dialogs.answers << file << QString();
    dialogs.attach(scope);

    part<QToolButton>(scope, "saveButton")->click();
    QCOMPARE(dialogs.captions, QStringList{"Save Data File"});
    QCOMPARE(dialogs.filters, QStringList{"CSV File (*.csv)"});
    QCOMPARE(dialogs.dirs, QStringList{QString()});
    QCOMPARE(dialogs.options.value(0), QFileDialog::Options(QFileDialog::DontResolveSymlinks));
    QVERIFY(dialogs.reports.isEmpty());

    const QList<QByteArray> lines = readFile(file).split('\n');
    QCOMPARE(lines.value(0), QByteArray("timestamp(s),channel_1,"));
    QCOMPARE(lines.value(3), QByteArray("0.030000000,3,"));
    QCOMPARE(host.rowCount(), 4);

    // The next dialog opens where the last file went.
    part<QToolButton>(scope, "saveButton")->click();
    QCOMPARE(dialogs.dirs.value(1), dir.path());
}

void TestVRXScope::cancelledOrBlankSaveWritesNothing_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("cancelled") << QString();
    QTest::newRow("blank") << QStringLiteral("   ");
}

void TestVRXScope::cancelledOrBlankSaveWritesNothing()
{
    QFETCH(QString, answer);
    QTemporaryDir dir;
    VRXScope scope;
    VRXSingleChannelDataModel host;
    addSamples(host, 3);
    scope.setModel(&host);
    DialogScript dialogs;
    dialogs.answers << answer;
    dialogs.attach(scope);
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(dir.path());

    part<QToolButton>(scope, "saveButton")->click();
    QDir::setCurrent(cwd);
    QCOMPARE(dialogs.captions.size(), 1);
    QVERIFY(dialogs.reports.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    QCOMPARE(host.rowCount(), 4);
}

void TestVRXScope::failedSaveWarnsAndKeepsTheData()
{
    QTemporaryDir dir;
    VRXScope scope;
    VRXSingleChannelDataModel host;
    addSamples(host, 5);
    scope.setModel(&host);
    DialogScript dialogs;
    const QString good = dir.filePath(QStringLiteral("retry.csv"));
    dialogs.answers << dir.filePath(QStringLiteral("no-such-folder/run.csv")) << good;
    dialogs.attach(scope);

    part<QToolButton>(scope, "saveButton")->click();
    QCOMPARE(dialogs.reports, QStringList{"Save Data|Error saving data file."});
    QCOMPARE(host.rowCount(), 6);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("no-such-folder"))));

    part<QToolButton>(scope, "saveButton")->click();
    QCOMPARE(dialogs.reports.size(), 1);
    QCOMPARE(readFile(good).count('\n'), 6);
}

void TestVRXScope::saveWithoutModelAsksNothing()
{
    VRXScope scope;
    DialogScript dialogs;
    dialogs.attach(scope);
    part<QToolButton>(scope, "saveButton")->click();
    QVERIFY(dialogs.captions.isEmpty());
    QVERIFY(dialogs.reports.isEmpty());
}

void TestVRXScope::save2DUsesThePixelatedWriter()
{
    QTemporaryDir dir;
    VRXScope scope;
    RecordingModel host;
    addSamples(host, 2);
    scope.setModel(&host);
    DialogScript dialogs;
    const QString padded = dir.filePath(QStringLiteral("frames.csv "));
    const QString plain = dir.filePath(QStringLiteral("plain.csv"));
    dialogs.answers << padded << plain;
    dialogs.attach(scope);

    scope.setPixelatedEnabled(true);
    part<QToolButton>(scope, "saveButton")->click();
    QCOMPARE(host.pixelatedCalls.size(), 1);
    QCOMPARE(host.pixelatedCalls[0].name, padded); // passed as chosen, untrimmed
    const VRXSpectrogram *spectrogram = scope.plotView()->spectrogram();
    QCOMPARE(host.pixelatedCalls[0].discriminator, spectrogram->getDiscriminator());
    QCOMPARE(host.pixelatedCalls[0].invertX, spectrogram->getXinverted());
    QCOMPARE(host.pixelatedCalls[0].invertY, spectrogram->getYinverted());
    QVERIFY(host.plainCalls.isEmpty());

    scope.setPixelatedEnabled(false);
    part<QToolButton>(scope, "saveButton")->click();
    QCOMPARE(host.plainCalls, QStringList{plain});
    QCOMPARE(host.pixelatedCalls.size(), 1);
    QVERIFY(dialogs.reports.isEmpty());
}

void TestVRXScope::realDialogsAreShownWithoutHooks()
{
    QTemporaryDir dir;
    VRXScope scope;
    VRXSingleChannelDataModel host;
    addSamples(host, 3);
    scope.setModel(&host);
    scope.show();
    const QString file = dir.filePath(QStringLiteral("picked.csv"));

    // The file dialog, cancelled: nothing is written.
    {
        QString title;
        QStringList filters;
        bool saving = false, keepsLinks = false;
        ModalHandler handler([&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            if (!dialog)
                return false;
            title = dialog->windowTitle();
            saving = dialog->acceptMode() == QFileDialog::AcceptSave;
            keepsLinks = dialog->testOption(QFileDialog::DontResolveSymlinks);
            filters = dialog->nameFilters();
            dialog->reject();
            return true;
        });
        part<QToolButton>(scope, "saveButton")->click();
        QVERIFY(handler.handled);
        QCOMPARE(title, QStringLiteral("Save Data File"));
        QVERIFY(saving);
        QVERIFY(keepsLinks);
        QCOMPARE(filters, QStringList{"CSV File (*.csv)"});
        QVERIFY(!QFile::exists(file));
    }

    // The file dialog, accepted.
    {
        ModalHandler handler([&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            if (!dialog)
                return false;
            // Typed as a user would: selectFile() leaves a focused name field alone.
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            if (!name)
                return false;
            name->setText(file);
            static_cast<QDialog *>(dialog)->accept();
            return true;
        });
        part<QToolButton>(scope, "saveButton")->click();
        QVERIFY(handler.handled);
        QCOMPARE(readFile(file).count('\n'), 4);
    }

    // The warning box of a failed save.
    {
        scope.setSaveFileNameProvider([&](const QString &, const QString &, const QString &, QFileDialog::Options) {
            return dir.filePath(QStringLiteral("missing/x.csv"));
        });
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        ModalHandler handler([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            if (!box)
                return false;
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->standardButtons();
            box->button(QMessageBox::Ok)->click();
            return true;
        });
        part<QToolButton>(scope, "saveButton")->click();
        QVERIFY(handler.handled);
        QCOMPARE(title, QStringLiteral("Save Data"));
        QCOMPARE(text, QStringLiteral("Error saving data file."));
        QCOMPARE(icon, QMessageBox::Warning);
        QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(host.rowCount(), 4);
    }
}

QTEST_MAIN(TestVRXScope)
#include "tst_vrxscope.moc"
