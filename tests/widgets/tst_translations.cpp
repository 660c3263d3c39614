// The German translation: the compiled resource, installing and removing it,
// and widgets following a language change at run time.
#include <MeasurementUnit.h>
#include <Resources.h>
#include <Translations.h>
#include <VRXScope.h>
#include <VRXScopePlotView.h>
#include <VRXSingleChannelDataModel.h>
#include <VRXSpectrogram.h>
#include <VRXStatisticsSetupPage.h>
#include <VRX_StatisticsHistogramItem.h>

#include <QtCore/QTranslator>
#include <QtTest/QtTest>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QToolButton>
#include <qwt_plot.h>
#include <qwt_text.h>

#include <functional>
#include <memory>

using namespace Corvid_Qt;
using Text = std::function<QString()>;
using UnitPtr = std::unique_ptr<Units::MeasurementUnit>;
Q_DECLARE_METATYPE(Text)

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
struct German {
    std::unique_ptr<QTranslator> translator{installTranslator(kGerman)};
    German() { QCoreApplication::sendPostedEvents(); }
    ~German()
    {
        translator.reset();
        QCoreApplication::sendPostedEvents();
    }
};

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    // Style sheets take the colour without its alpha, which they would misread.
    void styleSheetsWriteRgbOnly()
    {
        QCOMPARE(resource::rgbStyleSheetFromColor(QColor(255, 0, 0, 128)), QStringLiteral("rgb( 255,0,0)"));
        QCOMPARE(resource::colorRgbStyleSheetFromColor(resource::kWarningConditionColor),
                 QStringLiteral("color: rgb( 250,220,80);"));
    }

    void textsOutsideWidgets_data()
    {
        QTest::addColumn<Text>("text");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("german");
        // The micro sign goes into the translated pattern.
        QTest::newRow("unit with micro sign")
            << Text([] { return UnitPtr(Units::MeasurementUnit::fromType(Units::Units_uA))->description(); })
            << QString::fromUtf8("Current (\u00b5A)") << QString::fromUtf8("Strom (\u00b5A)");
        QTest::newRow("estimator error")
            << Text([] { return VRX_StatisticsHistogramItem::errorText(VRX_StatisticsHistogramItem::Gaussian::ErrorPeakEdge); })
            << "Peak on edge." << "Maximum am Rand.";
        QTest::newRow("state tool tip") << Text([] { return resource::translatedToolTip(resource::kTimeoutErrorConditionToolTip); })
                                        << "error: timeout" << QString::fromUtf8("Fehler: Zeit\u00fcberschreitung");
        QTest::newRow("host text is left alone") << Text([] { return resource::translatedToolTip(QStringLiteral("beam on")); })
                                                 << "beam on" << "beam on";
    }

    void textsOutsideWidgets()
    {
        QFETCH(Text, text);
        QFETCH(QString, english);
        QFETCH(QString, german);
        QCOMPARE(text(), english);
        {
            German language;
            QCOMPARE(text(), german);
        }
        QCOMPARE(text(), english);
        // Without a translation for the language nothing is installed.
        QVERIFY(!std::unique_ptr<QTranslator>(installTranslator(QLocale(QLocale::French, QLocale::France))));
    }

    // Panels and forms follow the language but keep their state: renaming
    // entries chooses nothing, and the spectrogram's fold arrow is its state,
    // so the next click must unfold.
    void widgetsFollowLanguageButKeepTheirState()
    {
        VRXSingleChannelDataModel host;
        for (int i = 0; i < 5; ++i)
            host.AddData(0.1 * i, 1.0 + i);
        VRXScope scope;
        scope.setModel(&host);
        scope.setSplitEnabled(true);
        scope.SetPlotMode(VRXScope::HistogramPlotMode);
        auto *tabs = child<QTabBar>(&scope, "modeSelect");
        auto *averaging = child<QComboBox>(&scope, "averagingCombo");
        auto *scale = child<QComboBox>(&scope, "scaleYCombo");
        averaging->setCurrentIndex(2);
        scale->setCurrentIndex(3);
        // Shown, so that a plot pass writes the sample count.
        scope.show();
        QVERIFY(QTest::qWaitForWindowExposed(&scope));
        QCoreApplication::processEvents();
        VRXStatisticsSetupPage page;
        VRXSpectrogram spectrogram;
        auto *fold = child<QPushButton>(&spectrogram, "pushButton_hideSpectrogram");
        fold->click();
        // The texts a user reads, in one list.
        const auto texts = [&]() {
            return QStringList{child<QToolButton>(&scope, "saveButton")->text(),
                               child<QToolButton>(&scope, "zeroButton")->toolTip(),
                               tabs->tabText(0),
                               tabs->tabText(tabs->count() - 1),
                               averaging->itemText(1),
                               scale->itemText(9),
                               child<QLabel>(&scope, "bufferSizeLabel")->text(),
                               scope.plotView()->findChild<QwtPlot *>()->axisTitle(QwtPlot::xBottom).text(),
                               page.windowTitle(),
                               child<QLabel>(&spectrogram, "label_valid")->text(),
                               fold->text()};
        };
        const QStringList english{"Save", "Subtract current values from all data.", "Strip", "Split",
                                  "10x Avg", "0.5%", "5 Samples", "Channel",
                                  "Data Analysis", "No Data", ">>"};
        QCOMPARE(texts(), english);
        {
            German german;
            QCOMPARE(texts(), QStringList({"Speichern", "Aktuelle Werte von allen Daten abziehen.", "Verlauf", "Geteilt",
                                           "10x Mittel", "0,5 %", "5 Werte", "Kanal",
                                           "Datenanalyse", "Keine Daten", ">>"}));
            QCOMPARE(averaging->currentIndex(), 2);
            QCOMPARE(scale->currentIndex(), 3);
            QCOMPARE(tabs->currentIndex(), int(VRXScope::HistogramPlotMode));
            fold->click();
            QCOMPARE(fold->text(), QStringLiteral("<<"));
            QVERIFY(!child<QWidget>(&spectrogram, "frame")->isHidden());
            fold->click();
        }
        QCOMPARE(texts(), english);
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
