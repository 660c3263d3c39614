#include "ModelTestHelpers.h"

#include <QScienceSpinBox.h>
#include <VRXApplicationSettings.h>
#include <VRXScopePlotView.h>
#include <VRXStatisticsSetupPage.h>
#include <VRX_CoGHistogramItem.h>
#include <VRX_RegressionHistogramItem.h>

#include <QtTest/QtTest>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>

using namespace Corvid_Qt;
typedef VRXScopePlotView View;

namespace {

const QStringList kKeys = {"display-full-stats", "center-of-gravity", "gaussian-fit-regression",
                           "center-of-gravity-noise-threshold", "center-of-gravity-window", "peaks",
                           "center-of-threshold", "center-of-window", "gaussian-fit-regression-threhold",
                           "gaussian-fit-regression-window", "chi2-window"};

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QStringList s_warnings;

void collectSettingsWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && QByteArray(context.category).startsWith("corvid.qt"))
        s_warnings << message;
}

// A page driving two views, with its signals recorded.
struct Rig
{
    Rig()
        : cogSpy(&page, &VRXStatisticsSetupPage::CoGOptions)
        , regressionSpy(&page, &VRXStatisticsSetupPage::RegressionOptions)
    {
        page.addPlotView(&a);
        page.addPlotView(&b);
    }
    template <typename T>
    T *w(const char *name) { return page.findChild<T *>(name); }
    QGroupBox *group(const char *name) { return w<QGroupBox>(name); }
    QSpinBox *spin(const char *name) { return w<QSpinBox>(name); }
    QComboBox *peaks() { return w<QComboBox>("peaksEdit"); }

    View a, b;
    VRXStatisticsSetupPage page;
    QSignalSpy cogSpy, regressionSpy;
};

} // namespace

class TestStatisticsSetupPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void optionsReachViewsAndSignals_data()
    {
        QTest::addColumn<bool>("cog");
        QTest::addColumn<bool>("regression");
        QTest::addColumn<bool>("window");
        QTest::addColumn<bool>("full");
        QTest::addColumn<int>("peaks");
        QTest::newRow("cog threshold, 1 peak") << true << false << false << false << 1;
        QTest::newRow("cog window, 4 peaks, full") << true << false << true << true << 4;
        QTest::newRow("regression only, 2 peaks") << false << true << false << false << 2;
        QTest::newRow("both, 8 peaks, full") << true << true << true << true << 8;
    }

    void optionsReachViewsAndSignals()
    {
        QFETCH(bool, cog);
        QFETCH(bool, regression);
        QFETCH(bool, window);
        QFETCH(bool, full);
        QFETCH(int, peaks);
        const QString path = m_dir.filePath(QStringLiteral("stored-%1.ini").arg(QTest::currentDataTag()));
        Rig rig;
        {
            View closed; // a display the host closes before the page
            rig.page.addPlotView(&closed);
        }
        rig.page.setApplicationSettings(QFileInfo(path), false, true);
        QSettings reader(path, QSettings::IniFormat);
        QCOMPARE(reader.allKeys().size(), kKeys.size()); // loaded values are stored too, changed or not
        rig.group("CoGCBox")->setChecked(cog);
        rig.group("regressionCBox")->setChecked(regression);
        rig.w<QRadioButton>(window ? "CoGWindowRadio" : "CoGThresholdRadio")->click();
        const int index = QList<int>{1, 2, 4, 8}.indexOf(peaks);
        rig.peaks()->setCurrentIndex(index);
        rig.group("fullStatsCBox")->setChecked(full);
        const char *spins[] = {"CoGThresholdEdit", "CoGWindowEdit", "RegressionThresholdEdit", "RegressionWindowEdit", "Chi2WindowEdit"};
        const int values[] = {30, 7, 20, 9, 11};
        for (int i = 0; i < 5; ++i)
            rig.spin(spins[i])->setValue(values[i]);
        rig.w<QScienceSpinBox>("peakthreshold")->setValue(2e-9);
        // The peak threshold reaches the views only with the next regression change.
        rig.spin("RegressionWindowEdit")->setValue(10);

        for (View *view : {&rig.a, &rig.b}) {
            const auto cogItems = view->histogramItems(View::CoGHistogramItemType);
            const auto regressionItems = view->histogramItems(View::RegressionHistogramItemType);
            QCOMPARE(cogItems.size(), cog ? peaks : 0);
            QCOMPARE(regressionItems.size(), regression ? peaks : 0);
            QVERIFY(view->histogramItems(View::GaussabolaHistogramItemType).isEmpty());
            for (VRX_HistogramItem *item : cogItems) {
                auto *c = dynamic_cast<VRX_CoGHistogramItem *>(item);
                QVERIFY(c && c->fullStats() == full);
                QCOMPARE(c->mode(), window ? VRX_CoGHistogramItem::Windowed : VRX_CoGHistogramItem::Filtered);
            }
            for (VRX_HistogramItem *item : regressionItems) {
                auto *r = dynamic_cast<VRX_RegressionHistogramItem *>(item);
                QVERIFY(r && r->fullStats() == full && r->chiWindow() == 11);
                QCOMPARE(r->options().m_peak_threshold, float(2e-9));
            }
        }
        const QList<QVariant> lastCog = rig.cogSpy.last(), lastRegression = rig.regressionSpy.last();
        QCOMPARE(lastCog.at(0).toBool(), cog);
        const QVector<double> cogOptions{window ? 1.0 : 0.0, 0.3, 7}, regressionOptions{0.2, 10, 2e-9, 1e-15, 2, 11};
        QCOMPARE(lastCog.at(1).value<QVector<double>>(), cog ? cogOptions : QVector<double>());
        QCOMPARE(lastRegression.at(0).toBool(), regression);
        QCOMPARE(lastRegression.at(1).value<QVector<double>>(), regression ? regressionOptions : QVector<double>());
        QCOMPARE(lastCog.at(2).toInt() + lastRegression.at(2).toInt(), 2 * peaks);

        // Every change is stored at once, nothing more: the peak threshold is not stored.
        QStringList stored;
        for (const QString &key : kKeys)
            stored << reader.value("StatisticsSetupPage/" + key).toString();
        const auto text = [](bool on) { return QString(on ? "true" : "false"); };
        QCOMPARE(stored, (QStringList{text(full), text(cog), text(regression), text(!window), text(window),
                                      QString::number(index), "30", "7", "20", "10", "11"}));
        QCOMPARE(reader.allKeys().size(), kKeys.size());
    }

    // Peak controls are enabled while an estimator is on; switching one off
    // removes its items and announces no options. None of it needs a place
    // to store the settings: a plain file where their folder should be is
    // left alone.
    void uncheckingRemovesItemsAndDisablesPeakControls()
    {
        const QString blocker = m_dir.filePath("not-a-folder");
        writeFile(blocker, "x");
        {
            Rig rig;
            rig.page.setApplicationSettings(QFileInfo(blocker + "/settings.xui"), false, true);
            QVERIFY(!rig.peaks()->isEnabled() && !rig.group("fullStatsCBox")->isEnabled());
            rig.peaks()->setCurrentIndex(2);
            rig.group("CoGCBox")->setChecked(true);
            QVERIFY(rig.peaks()->isEnabled() && rig.group("fullStatsCBox")->isEnabled());
            rig.group("CoGCBox")->setChecked(false);
            QVERIFY(!rig.peaks()->isEnabled());
            QVERIFY(rig.a.histogramItems(View::CoGHistogramItemType).isEmpty());
            QVERIFY(rig.b.histogramItems(View::CoGHistogramItemType).isEmpty());
            const QList<QVariant> last = rig.cogSpy.last();
            QVERIFY(!last.at(0).toBool() && last.at(1).value<QVector<double>>().isEmpty() && last.at(2).toInt() == 4);

            rig.page.enable_regression();
            QVERIFY(rig.group("regressionCBox")->isChecked() && rig.peaks()->isEnabled());
            for (const auto &pair : QVector<QPair<int, int>>{{2, 2}, {8, 8}, {3, 1}, {-2, 1}}) {
                rig.page.set_peaks(pair.first);
                QCOMPARE(rig.a.histogramItems(View::RegressionHistogramItemType).size(), pair.second);
                QCOMPARE(rig.regressionSpy.last().at(2).toInt(), pair.second);
            }
        }
        QCOMPARE(corvid_test::readFile(blocker), QByteArray("x"));
    }

    void filesLoadOrStayUntouched_data()
    {
        QTest::addColumn<QByteArray>("content"); // XML when it starts with '<'
        QTest::addColumn<int>("cogItems");
        QTest::addColumn<int>("cogWindow");
        QTest::addColumn<int>("chi2");
        QTest::addColumn<bool>("factory");
        QTest::addColumn<bool>("resetShown");
        QTest::addColumn<bool>("readable");
        const auto row = [](const char *tag, const QByteArray &content, int cogItems, int cogWindow, int chi2,
                            bool factory = false, bool resetShown = false, bool readable = true) {
            QTest::newRow(tag) << content << cogItems << cogWindow << chi2 << factory << resetShown << readable;
        };
        row("ini, 8 peaks", "[StatisticsSetupPage]\ncenter-of-gravity=true\npeaks=3\ncenter-of-window=9\nchi2-window=7\n", 8, 9, 7);
        row("ini, window mode with nothing else changed",
            "[StatisticsSetupPage]\ncenter-of-gravity=true\ncenter-of-gravity-noise-threshold=false\n"
            "center-of-gravity-window=true\npeaks=0\ncenter-of-threshold=15\ncenter-of-window=30\n"
            "gaussian-fit-regression-threhold=15\ngaussian-fit-regression-window=5\nchi2-window=5\n", 1, 30, 5);
        row("ini, missing keys load as 0", "[StatisticsSetupPage]\ncenter-of-gravity=true\n", 1, 1, 1);
        row("ini, wrong types", "[StatisticsSetupPage]\ncenter-of-gravity=yes please\npeaks=eight\ncenter-of-window=2.5\n", 0, 1, 1);
        row("ini, loading the factory group",
            "[FactoryReset]\ncenter-of-gravity=true\npeaks=1\nchi2-window=6\n\n[StatisticsSetupPage]\npeaks=2\n", 2, 1, 6, true, true);
        row("xml",
            "<?xml version=\"1.0\"?>\n<Settings>\n <StatisticsSetupPage>\n  <center-of-gravity>true</center-of-gravity>\n"
            "  <peaks>2</peaks>\n  <center-of-window> 13 </center-of-window>\n </StatisticsSetupPage>\n</Settings>\n",
            4, 13, 1);
        row("xml with factory group",
            "<Settings><FactoryReset><peaks>0</peaks></FactoryReset><StatisticsSetupPage><center-of-gravity>1</center-of-gravity>"
            "<chi2-window>x</chi2-window></StatisticsSetupPage></Settings>",
            1, 1, 1, false, true);
        // Unreadable files: the page shows its defaults and never writes them.
        const auto unreadable = [&row](const char *tag, const QByteArray &content) { row(tag, content, 0, 5, 5, false, false, false); };
        const QByteArray good = "<Settings><StatisticsSetupPage><center-of-gravity>true</center-of-gravity>"
                                "<peaks>3</peaks></StatisticsSetupPage></Settings>";
        unreadable("truncated xml", good.left(good.size() - 20));
        unreadable("entity expansion",
                   "<?xml version=\"1.0\"?><!DOCTYPE Settings [<!ENTITY a \"aaaaaaaaaa\">"
                   "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]>"
                   "<Settings><StatisticsSetupPage><peaks>&b;</peaks></StatisticsSetupPage></Settings>");
        unreadable("external entity",
                   "<?xml version=\"1.0\"?><!DOCTYPE Settings SYSTEM \"file:///etc/passwd\">"
                   "<Settings><peaks>1</peaks></Settings>");
        unreadable("65 levels", "<Settings>" + QByteArray("<a>").repeated(64) + "1" + QByteArray("</a>").repeated(64) + "</Settings>");
        unreadable("other root", "<Config><StatisticsSetupPage/></Config>");
        unreadable("ini, broken section", "[StatisticsSetupPage\ncenter-of-gravity=true\n");
    }

    void filesLoadOrStayUntouched()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, factory);
        QFETCH(bool, readable);
        const QString path = m_dir.filePath(QStringLiteral("load-%1.%2").arg(qHash(QByteArray(QTest::currentDataTag())))
                                                .arg(content.startsWith('<') ? "xui" : "ini"));
        writeFile(path, content);
        {
            Rig rig;
            rig.spin("CoGWindowEdit")->setValue(30);
            s_warnings.clear();
            const QtMessageHandler previous = qInstallMessageHandler(collectSettingsWarnings);
            rig.page.setApplicationSettings(QFileInfo(path), factory, false);
            qInstallMessageHandler(previous);
            QCOMPARE(rig.page.storesSettings(), readable);
            QCOMPARE(s_warnings.size(), readable ? 0 : 1);
            QVERIFY(readable || s_warnings.first().contains(path));
            for (View *view : {&rig.a, &rig.b})
                QTEST(view->histogramItems(View::CoGHistogramItemType).size(), "cogItems");
            QTEST(rig.spin("CoGWindowEdit")->value(), "cogWindow");
            QTEST(rig.spin("Chi2WindowEdit")->value(), "chi2");
            QTEST(rig.w<QPushButton>("factoryResetPushButton")->isVisibleTo(&rig.page), "resetShown");
            // The views compute what the page shows.
            const bool window = rig.w<QRadioButton>("CoGWindowRadio")->isChecked();
            for (VRX_HistogramItem *item : rig.a.histogramItems(View::CoGHistogramItemType))
                QCOMPARE(dynamic_cast<VRX_CoGHistogramItem *>(item)->mode(),
                         window ? VRX_CoGHistogramItem::Windowed : VRX_CoGHistogramItem::Filtered);
            if (readable)
                return;
            rig.group("CoGCBox")->setChecked(true);
            rig.peaks()->setCurrentIndex(2);
            QCOMPARE(rig.a.histogramItems(View::CoGHistogramItemType).size(), 4);
        }
        QCOMPARE(corvid_test::readFile(path), content);
    }

    void factoryResetCopiesIntoTheLiveGroup()
    {
        const QVariantMap values{{"FactoryReset/center-of-gravity", true}, {"FactoryReset/peaks", 1},
                                 {"FactoryReset/center-of-window", 5},      {"FactoryReset/chi2-window", 5},
                                 {"StatisticsSetupPage/peaks", 3},          {"StatisticsSetupPage/center-of-window", 40},
                                 {"StatisticsSetupPage/chi2-window", 5}};
        for (const QString name : {"reset.ini", "reset.xui"}) {
            const QString path = m_dir.filePath(name);
            QFile::remove(path);
            {
                VRXApplicationSettings seed(nullptr, path, false, VRXApplicationSettings::isXmlPath(path));
                for (auto it = values.cbegin(); it != values.cend(); ++it)
                    seed.getSettings()->setValue(it.key(), it.value());
            }
            Rig rig;
            rig.page.setApplicationSettings(QFileInfo(path), false, false);
            QCOMPARE(rig.spin("CoGWindowEdit")->value(), 40);
            QVERIFY(!rig.group("CoGCBox")->isChecked());
            auto *reset = rig.w<QPushButton>("factoryResetPushButton");
            QVERIFY(reset->isVisibleTo(&rig.page));
            reset->click();
            QVERIFY(rig.group("CoGCBox")->isChecked());
            QCOMPARE(rig.spin("CoGWindowEdit")->value(), 5);
            QCOMPARE(rig.a.histogramItems(View::CoGHistogramItemType).size(), 2);

            VRXApplicationSettings check(nullptr, path, false, VRXApplicationSettings::isXmlPath(path));
            for (const QString key : {"center-of-gravity", "peaks", "center-of-window", "chi2-window"})
                QCOMPARE(check.getSettings()->value("StatisticsSetupPage/" + key).toString(),
                         values["FactoryReset/" + key].toString());
            QCOMPARE(check.getSettings()->value("FactoryReset/peaks").toInt(), 1);
        }
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestStatisticsSetupPage)
#include "tst_statisticssetuppage.moc"
