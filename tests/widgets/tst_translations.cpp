// The German translation: the compiled resource, installing and removing it,
// and widgets following a language change at run time.
#include <MeasurementUnit.h>
#include <Resources.h>
#include <SpotMapWidget.h>
#include <Translations.h>
#include <VRXScope.h>
#include <VRXScopePlotView.h>
#include <VRXSingleChannelDataModel.h>
#include <VRXSpectrogram.h>
#include <VRXStatisticsSetupPage.h>
#include <VRX_StatisticsHistogramItem.h>

#include <QtCore/QFile>
#include <QtCore/QTranslator>
#include <QtTest/QtTest>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QToolButton>
#include <qwt_plot.h>
#include <qwt_text.h>

#include <memory>

using namespace Corvid_Qt;

namespace {

const QLocale kGerman(QLocale::German, QLocale::Germany);

template <typename T>
T *child(QObject *parent, const char *name)
{
    T *found = parent->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

/// Installs the German translation for its lifetime, as a host's language
/// menu would, and delivers the resulting language change events.
class German
{
public:
    German()
        : m_translator(installTranslator(kGerman))
    {
        QCoreApplication::sendPostedEvents();
    }
    ~German()
    {
        m_translator.reset();
        QCoreApplication::sendPostedEvents();
    }
    bool installed() const { return bool(m_translator); }

private:
    std::unique_ptr<QTranslator> m_translator;
};

/// The texts of a scope panel that a user reads, in one list.
QStringList panelTexts(VRXScope &scope)
{
    auto *tabs = child<QTabBar>(&scope, "modeSelect");
    auto *averaging = child<QComboBox>(&scope, "averagingCombo");
    auto *scale = child<QComboBox>(&scope, "scaleYCombo");
    QwtPlot *plot = scope.plotView()->findChild<QwtPlot *>();
    return {child<QToolButton>(&scope, "saveButton")->text(),
            child<QToolButton>(&scope, "zeroButton")->toolTip(),
            tabs->tabText(0),
            tabs->tabText(tabs->count() - 1),
            averaging->itemText(1),
            scale->itemText(9),
            child<QLabel>(&scope, "bufferSizeLabel")->text(),
            plot->axisTitle(QwtPlot::xBottom).text()};
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void resourceLoads();
    void installTranslator_data();
    void installTranslator();
    void textsOutsideWidgets_data();
    void textsOutsideWidgets();
    void scopePanelFollowsLanguage();
    void absoluteScaleKeepsItsChoice();
    void setupPageFollowsLanguage();
    void spectrogramKeepsItsState();
    void spotMapKeepsHostTexts();
};

void TestTranslations::resourceLoads()
{
    const QString file = translationsPath() + QStringLiteral("/corvid_qt_de.qm");
    QVERIFY(QFile::exists(file));
    QTranslator translator;
    QVERIFY(translator.load(file));
    QVERIFY(!translator.isEmpty());
    QCOMPARE(translator.translate("VRXScope", "Save"), QStringLiteral("Speichern"));
    QCOMPARE(translator.translate("Corvid_Qt::VRXScopePlotView", "Channel"), QStringLiteral("Kanal"));
}

void TestTranslations::installTranslator_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<bool>("installed");
    QTest::newRow("de_DE") << kGerman << true;
    QTest::newRow("de_AT falls back to de") << QLocale(QLocale::German, QLocale::Austria) << true;
    QTest::newRow("en_US is the source") << QLocale(QLocale::English, QLocale::UnitedStates) << false;
    QTest::newRow("fr_FR has none") << QLocale(QLocale::French, QLocale::France) << false;
}

void TestTranslations::installTranslator()
{
    QFETCH(QLocale, locale);
    QFETCH(bool, installed);
    std::unique_ptr<QTranslator> translator(Corvid_Qt::installTranslator(locale));
    QCOMPARE(bool(translator), installed);
    if (!translator) {
        QCOMPARE(QCoreApplication::translate("VRXScope", "Save"), QStringLiteral("Save"));
        return;
    }
    QCOMPARE(translator->parent(), QCoreApplication::instance());
    QCOMPARE(QCoreApplication::translate("VRXScope", "Save"), QStringLiteral("Speichern"));
    translator.reset();
    QCOMPARE(QCoreApplication::translate("VRXScope", "Save"), QStringLiteral("Save"));
}

void TestTranslations::textsOutsideWidgets_data()
{
    QTest::addColumn<int>("what");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("german");
    // The micro sign goes into the translated pattern.
    QTest::newRow("unit with micro sign") << 0 << QString::fromUtf8("Current (\u00b5A)")
                                          << QString::fromUtf8("Strom (\u00b5A)");
    QTest::newRow("unit") << 1 << "Dose Rate (MU/s)" << "Dosisleistung (MU/s)";
    QTest::newRow("estimator error") << 2 << "Peak on edge." << "Maximum am Rand.";
    QTest::newRow("state tool tip") << 3 << "error: timeout" << QString::fromUtf8("Fehler: Zeit\u00fcberschreitung");
    QTest::newRow("host text is left alone") << 4 << "beam on" << "beam on";
}

void TestTranslations::textsOutsideWidgets()
{
    QFETCH(int, what);
    QFETCH(QString, english);
    QFETCH(QString, german);
    auto text = [what]() -> QString {
        switch (what) {
        case 0:
            return std::unique_ptr<Units::MeasurementUnit>(Units::MeasurementUnit::fromType(Units::Units_uA))
                ->description();
        case 1:
            return std::unique_ptr<Units::MeasurementUnit>(Units::MeasurementUnit::fromType(Units::Units_MU_per_s))
                ->description();
        case 2:
            return VRX_StatisticsHistogramItem::errorText(VRX_StatisticsHistogramItem::Gaussian::ErrorPeakEdge);
        case 3:
            return resource::translatedToolTip(resource::kTimeoutErrorConditionToolTip);
        default:
            return resource::translatedToolTip(QStringLiteral("beam on"));
        }
    };
    QCOMPARE(text(), english);
    {
        German language;
        QCOMPARE(text(), german);
    }
    QCOMPARE(text(), english);
}

void TestTranslations::scopePanelFollowsLanguage()
{
    VRXSingleChannelDataModel host;
    for (int i = 0; i < 5; ++i)
        host.AddData(0.1 * i, 1.0 + i);
    VRXScope scope;
    scope.setModel(&host);
    scope.setSplitEnabled(true);
    scope.SetPlotMode(VRXScope::HistogramPlotMode);
    auto *averaging = child<QComboBox>(&scope, "averagingCombo");
    auto *scale = child<QComboBox>(&scope, "scaleYCombo");
    averaging->setCurrentIndex(2);
    scale->setCurrentIndex(3);
    // Shown, so that a plot pass writes the sample count.
    scope.show();
    QVERIFY(QTest::qWaitForWindowExposed(&scope));
    QCoreApplication::processEvents();

    const QStringList english{"Save", "Subtract current values from all data.", "Strip", "Split",
                              "10x Avg", "0.5%", "5 Samples", "Channel"};
    QCOMPARE(panelTexts(scope), english);
    {
        German german;
        QVERIFY(german.installed());
        QCOMPARE(panelTexts(scope),
                 QStringList({"Speichern", "Aktuelle Werte von allen Daten abziehen.", "Verlauf", "Geteilt",
                              "10x Mittel", "0,5 %", "5 Werte", "Kanal"}));
        // Renaming entries chooses nothing.
        QCOMPARE(averaging->currentIndex(), 2);
        QCOMPARE(scale->currentIndex(), 3);
        QCOMPARE(child<QTabBar>(&scope, "modeSelect")->currentIndex(), int(VRXScope::HistogramPlotMode));
    }
    QCOMPARE(panelTexts(scope), english);
}

void TestTranslations::absoluteScaleKeepsItsChoice()
{
    VRXSingleChannelDataModel host;
    host.AddData(0.0, 1.0);
    VRXScope scope;
    scope.setModel(&host);
    scope.SetYScaleMode(VRXScope::_PlotScaleAbsolute);
    auto *scale = child<QComboBox>(&scope, "scaleYCombo");
    scale->setCurrentIndex(scale->findText(QStringLiteral(".05")));
    QwtPlot *plot = scope.plotView()->findChild<QwtPlot *>();
    auto range = [plot]() {
        plot->updateAxes();
        const QwtInterval interval = plot->axisInterval(QwtPlot::yLeft);
        return QPair<double, double>(interval.minValue(), interval.maxValue());
    };
    QCOMPARE(range(), qMakePair(-0.05, 0.05));

    German german;
    QCOMPARE(scale->currentText(), QStringLiteral(".05"));
    QCOMPARE(scale->itemText(0), QStringLiteral("Auto"));
    QCOMPARE(range(), qMakePair(-0.05, 0.05));
}

void TestTranslations::setupPageFollowsLanguage()
{
    VRXStatisticsSetupPage page;
    auto texts = [&page]() {
        return QStringList{page.windowTitle(), child<QGroupBox>(&page, "CoGCBox")->title()};
    };
    QCOMPARE(texts(), QStringList({"Data Analysis", "Center of Gravity"}));
    {
        German german;
        QCOMPARE(texts(), QStringList({"Datenanalyse", "Schwerpunkt"}));
    }
    QCOMPARE(texts(), QStringList({"Data Analysis", "Center of Gravity"}));
}

void TestTranslations::spectrogramKeepsItsState()
{
    VRXSpectrogram spectrogram;
    auto *fold = child<QPushButton>(&spectrogram, "pushButton_hideSpectrogram");
    fold->click();
    QCOMPARE(fold->text(), QStringLiteral(">>"));
    {
        German german;
        QCOMPARE(child<QLabel>(&spectrogram, "label_valid")->text(), QStringLiteral("Keine Daten"));
        // The fold button's arrow is its state: the next click must unfold.
        QCOMPARE(fold->text(), QStringLiteral(">>"));
        fold->click();
        QCOMPARE(fold->text(), QStringLiteral("<<"));
        QVERIFY(!child<QWidget>(&spectrogram, "frame")->isHidden());
    }
    QCOMPARE(child<QLabel>(&spectrogram, "label_valid")->text(), QStringLiteral("No Data"));
}

void TestTranslations::spotMapKeepsHostTexts()
{
    SpotMapWidget map;
    map.setTitle(QStringLiteral("Layer 7"));
    map.setDoseValue(QStringLiteral("1.5"));
    German german;
    QCOMPARE(child<QLabel>(&map, "titleLabel")->text(), QStringLiteral("Layer 7"));
    QCOMPARE(child<QLabel>(&map, "dose_value")->text(), QStringLiteral("1.5"));
    QCOMPARE(child<QLabel>(&map, "dose_label")->text(), QStringLiteral("Dosis (Gp):"));
}

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
