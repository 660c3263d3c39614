#include <VRX_CoGHistogramItem.h>
#include <VRX_GaussabolaHistogramItem.h>
#include <VRX_HistogramItemAxisWidget.h>
#include <VRX_PrecalculatedFitHistogramItem.h>
#include <VRX_RegressionHistogramItem.h>

#include <QtTest/QtTest>
#include <QtWidgets/QLabel>
#include <cmath>
#include <limits>
#include <memory>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_widget.h>
#include <qwt_symbol.h>

using namespace Corvid_Qt;
typedef VRX_StatisticsHistogramItem::Gaussian Gaussian;

namespace {

const QChar kMu(0x03bc), kSigma(0x03c3), kChi(0x03c7), kSquared(0x00b2);

QVector<float> gaussian(int n, double mean, double sigma, double height, double floor = 0.0)
{
    QVector<float> v(n);
    for (int i = 0; i < n; ++i)
        v[i] = float(floor + height * std::exp(-(i - mean) * (i - mean) / (2 * sigma * sigma)));
    return v;
}

enum ItemType { CoG, Gaussabola, Regression, Device };

VRX_StatisticsHistogramItem *makeItem(int type, VRX_HistogramItemAxisWidget *strip, bool full)
{
    switch (type) {
    case CoG: {
        auto *item = new VRX_CoGHistogramItem(strip, full);
        item->setMode(VRX_CoGHistogramItem::Filtered, 0.1);
        return item;
    }
    case Gaussabola:
        return new VRX_GaussabolaHistogramItem(strip, full);
    case Regression: {
        auto *item = new VRX_RegressionHistogramItem(strip, full);
        item->setOptions(Gaussian::Regression::Options(0.1f, 1024, 1e-15f, 1e-14f, 2));
        item->setChiWindow(5);
        return item;
    }
    default:
        return new VRX_PrecalculatedFitHistogramItem(strip, full);
    }
}

// A device fit for the 20-channel profile of good(): centre 9.3, sigma 2.
QVector<float> deviceStats(float confidence)
{
    return {9.3f, 2.0f, 100.0f, 0.0f, confidence};
}

QVector<float> good()
{
    return gaussian(20, 9.3, 2.0, 100.0, 0.5);
}

QwtScaleDiv stripDiv(VRX_HistogramItemAxisWidget &strip)
{
    return strip.axisWidget()->scaleDraw()->scaleDiv();
}

QString stripLabel(VRX_HistogramItemAxisWidget &strip, double value)
{
    return strip.axisWidget()->scaleDraw()->label(value).text();
}

int newlines(const QString &s)
{
    return s.count(QLatin1Char('\n'));
}

} // namespace

class TestHistogramItems : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void errorTextPerCode_data();
    void errorTextPerCode();
    void deviceFitFailures_data();
    void deviceFitFailures();
    void deviceFitReadsItsFiveStats();
    void tooFewChannelsForGaussabola();
    void regressionNeedsThreeChannelsOverThreshold();
    void failedFitShowsMiddleOfRegionAtZero();

    void panelsAreEquallyTall_data();
    void panelsAreEquallyTall();
    void shortLabelText();
    void fullLabelTexts_data();
    void fullLabelTexts();
    void chiSquareQualityClampedAtZero();

    void energyInterpolation_data();
    void energyInterpolation();
    void energyLine();
    void centreOfGravityHasNoEnergyLine();

    void tickLayoutAfterFitAndFailure();
    void curveSpansRegionInQuarterChannels();
    void stripLabelsItemPanelOnItsTickOnly();
    void firstRegionClearsTheStrip();
    void detachRemovesText();
    void attachBeforePrepareChangesNothing();
    void windowedCentreOfGravity();

    void badFramesShowErrorsAndRecover_data();
    void badFramesShowErrorsAndRecover();

    void lookOfPlotItemsAndStrip_data();
    void lookOfPlotItemsAndStrip();

private:
    std::unique_ptr<QwtPlot> m_plot;
    std::unique_ptr<VRX_HistogramItemAxisWidget> m_strip;
};

void TestHistogramItems::init()
{
    m_plot.reset(new QwtPlot);
    m_plot->setAxisScale(QwtPlot::xBottom, 0.5, 20.5);
    m_plot->updateAxes();
    m_plot->resize(600, 300);
    m_strip.reset(new VRX_HistogramItemAxisWidget(m_plot.get()));
}

void TestHistogramItems::cleanup()
{
    m_strip.reset();
    m_plot.reset();
}

void TestHistogramItems::errorTextPerCode_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << 0 << QString();
    QTest::newRow("-1") << -1 << "Not enough channels.";
    QTest::newRow("-2") << -2 << "Peak below threshold.";
    QTest::newRow("-3") << -3 << "Peak on edge.";
    QTest::newRow("-4") << -4 << "Signal below threshold.";
    QTest::newRow("-5") << -5 << "Not enough peak channels.";
    QTest::newRow("-6") << -6 << "Noise above threshold.";
    QTest::newRow("-7") << -7 << "Regression failed.";
    QTest::newRow("-8") << -8 << "Regression failed.";
    QTest::newRow("-9") << -9 << QString();
    QTest::newRow("1") << 1 << QString();
}

void TestHistogramItems::errorTextPerCode()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(VRX_StatisticsHistogramItem::errorText(code), text);
}

void TestHistogramItems::deviceFitFailures_data()
{
    QTest::addColumn<float>("confidence");
    QTest::addColumn<QString>("message");
    QTest::newRow("zero") << 0.0f << "Fit failed.";
    QTest::newRow("-3") << -3.0f << "Peak on edge.";
    QTest::newRow("-2.6 rounds to -3") << -2.6f << "Peak on edge.";
    QTest::newRow("-2.4 rounds to -2") << -2.4f << "Peak below threshold.";
    QTest::newRow("-7") << -7.0f << "Regression failed.";
    QTest::newRow("-0.3 rounds to no code") << -0.3f << "Fit failed.";
    QTest::newRow("unknown code") << -42.0f << "Fit failed.";
    QTest::newRow("NaN") << std::numeric_limits<float>::quiet_NaN() << "Fit failed.";
    QTest::newRow("-inf") << -std::numeric_limits<float>::infinity() << "Fit failed.";
}

void TestHistogramItems::deviceFitFailures()
{
    QFETCH(float, confidence);
    QFETCH(QString, message);
    VRX_PrecalculatedFitHistogramItem item(m_strip.get(), false);
    QVERIFY(item.prepare(0, good(), 20, deviceStats(confidence)));
    QCOMPARE(item.errorMessage(), message);
    QCOMPARE(item.label().text(), QStringLiteral("<pre>Fit error: %1\n\n</pre>").arg(message));
    QCOMPARE(item.position(), 10.0f);
}

void TestHistogramItems::deviceFitReadsItsFiveStats()
{
    VRX_PrecalculatedFitHistogramItem item(m_strip.get(), false);
    QCOMPARE(item.numStats(), 5);
    QVERIFY(item.prepare(40, good(), 100, deviceStats(87.25f)));
    QVERIFY(item.errorMessage().isEmpty());
    QCOMPARE(item.position(), 9.3f + 1 + 40);
    QCOMPARE(item.distribution()->standard_deviation(), 2.0f);
    QCOMPARE(item.confidence(), 87.25f);
    // The curve is the device's Gaussian: its amplitude at the centre.
    QCOMPARE(item.marker().yValue(), 100.0);
    // A NaN centre with a positive confidence cannot be drawn.
    QVERIFY(item.prepare(0, good(), 20, {std::numeric_limits<float>::quiet_NaN(), 2.0f, 100.0f, 0.0f, 50.0f}));
    QCOMPARE(item.errorMessage(), QStringLiteral("Fit failed."));
    // Too few stats count as a failed fit.
    QVERIFY(item.prepare(0, good(), 20, {9.3f, 2.0f}));
    QCOMPARE(item.errorMessage(), QStringLiteral("Fit failed."));
}

void TestHistogramItems::tooFewChannelsForGaussabola()
{
    VRX_GaussabolaHistogramItem item(m_strip.get(), false);
    QVERIFY(!item.prepare(6, {1.0f, 2.0f}, 20, {}));
    QCOMPARE(item.errorMessage(), QStringLiteral("Not enough channels."));
    QCOMPARE(item.position(), 7.0f);
}

void TestHistogramItems::regressionNeedsThreeChannelsOverThreshold()
{
    VRX_RegressionHistogramItem item(m_strip.get(), false);
    item.setOptions(Gaussian::Regression::Options(0.5f, 1024, 1e-15f, 1e-14f, 2));
    QVERIFY(!item.prepare(0, {0, 1, 2, 10, 9, 2, 1, 0}, 8, {}));
    QCOMPARE(item.errorMessage(), QStringLiteral("Not enough peak channels."));
    QCOMPARE(item.label().text(), QStringLiteral("<pre>Fit error: Not enough peak channels.\n\n</pre>"));
}

void TestHistogramItems::failedFitShowsMiddleOfRegionAtZero()
{
    VRX_GaussabolaHistogramItem item(m_strip.get(), false);
    QVERIFY(item.prepare(0, good(), 20, {}));
    QVERIFY(item.peak() > 0);
    QVERIFY(!item.prepare(10, {5, 4, 3, 2, 1}, 20, {})); // peak on the edge
    QCOMPARE(item.position(), 12.0f);
    QCOMPARE(item.marker().value(), QPointF(12, 0));
    QCOMPARE(item.peak(), 0.0f);
    const QwtSeriesData<QPointF> *data = item.curve().data();
    QVERIFY(data->size() > 0);
    for (size_t i = 0; i < data->size(); ++i)
        QCOMPARE(data->sample(i).y(), 0.0);
}

void TestHistogramItems::panelsAreEquallyTall_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("full");
    QTest::addColumn<int>("lines");
    QTest::newRow("cog short") << int(CoG) << false << 2;
    QTest::newRow("cog full") << int(CoG) << true << 4;
    QTest::newRow("gaussabola short") << int(Gaussabola) << false << 2;
    QTest::newRow("gaussabola full") << int(Gaussabola) << true << 7;
    QTest::newRow("regression short") << int(Regression) << false << 2;
    QTest::newRow("regression full") << int(Regression) << true << 7;
    QTest::newRow("device short") << int(Device) << false << 2;
    QTest::newRow("device full") << int(Device) << true << 5;
}

void TestHistogramItems::panelsAreEquallyTall()
{
    QFETCH(int, type);
    QFETCH(bool, full);
    QFETCH(int, lines);
    std::unique_ptr<VRX_StatisticsHistogramItem> item(makeItem(type, m_strip.get(), full));

    // N/A: the extra lines pad it to the height of the statistics.
    const QString na = item->label().text();
    QVERIFY2(na.startsWith(QLatin1String("<pre>N/A\n")), qPrintable(na));
    QCOMPARE(newlines(na), lines);

    item->prepare(0, good(), 20, deviceStats(90));
    const QString stats = item->label().text();
    QVERIFY2(item->errorMessage().isEmpty(), qPrintable(item->errorMessage()));
    QCOMPARE(newlines(stats), lines);

    item->prepare(0, QVector<float>(20, 0.0f), 20, deviceStats(-4));
    const QString error = item->label().text();
    QVERIFY2(!item->errorMessage().isEmpty(), qPrintable(error));
    QCOMPARE(newlines(error), lines);
    QCOMPARE(error, QStringLiteral("<pre>%1: %2\n%3</pre>")
                        .arg(type == CoG ? "Error" : "Fit error", item->errorMessage(), QString(lines - 1, '\n')));
}

void TestHistogramItems::shortLabelText()
{
    for (int type : {CoG, Gaussabola, Regression, Device}) {
        std::unique_ptr<VRX_StatisticsHistogramItem> item(makeItem(type, m_strip.get(), false));
        QVERIFY(item->prepare(100, good(), 256, deviceStats(90)));
        const QString expected = QStringLiteral("<pre>Position (%1): <b>%2</b>\nStd. Dev (%3): %4\n</pre>")
                                     .arg(kMu)
                                     .arg(QString::number(double(item->position()), 'g', 6))
                                     .arg(kSigma)
                                     .arg(QString::number(double(item->distribution()->standard_deviation()), 'g', 6));
        QCOMPARE(item->label().text(), expected);
        QVERIFY(qAbs(item->position() - 110.3f) < 0.3f);
    }
}

void TestHistogramItems::fullLabelTexts_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("pattern");
    // The panels as documented, with every number a regular expression.
    const QString num = QStringLiteral("(-?[0-9.]+(?:e[-+][0-9]+)?)");
    const QString sci = QStringLiteral("(-?[0-9]\\.[0-9]{3}e[-+][0-9]{2})");
    const QString pct = QStringLiteral("([0-9]+\\.[0-9])");
    const QString m = QRegularExpression::escape(QString(kMu)), s = QRegularExpression::escape(QString(kSigma));
    const QString c2 = QRegularExpression::escape(QString(kChi) + kSquared);
    QTest::newRow("cog") << int(CoG)
                         << QStringLiteral("<pre>Position \\(%1\\): <b>%3</b>\\nStd\\. Dev \\(%2\\): %3\\n"
                                           "    Skewness: %3\\n    Kurtosis: %3\\n</pre>")
                                .arg(m, s, num);
    QTest::newRow("gaussabola")
        << int(Gaussabola)
        << QStringLiteral("<pre>Position \\(%1\\): <b>%3</b>\\nStd\\. Dev \\(%2\\): %3\\n        Peak: %4\\n"
                          "    Integral: %4\\n         SNR: %3\\nNoise Std\\. Dev \\(%2\\): %4\\n          %5: %6%\\n</pre>")
               .arg(m, s, num, sci, c2, pct);
    QTest::newRow("regression")
        << int(Regression)
        << QStringLiteral("<pre>      Position \\(%1\\): <b>%3</b>\\n      Std\\. Dev \\(%2\\): %3\\n              Peak: %4\\n"
                          "          Integral: %4\\n               SNR: %3\\nNoise Std\\. Dev \\(%2\\): %4\\n"
                          "                %5: %6%\\n</pre>")
               .arg(m, s, num, sci, c2, pct);
    QTest::newRow("device")
        << int(Device)
        << QStringLiteral("<pre>      Position \\(%1\\): <b>%3</b>\\n      Std\\. Dev \\(%2\\): %3\\n               SNR: %3\\n"
                          "Noise Std\\. Dev \\(%2\\): %4\\n                %5: (87\\.2|87\\.3)%\\n</pre>")
               .arg(m, s, num, sci, c2);
}

void TestHistogramItems::fullLabelTexts()
{
    QFETCH(int, type);
    QFETCH(QString, pattern);
    std::unique_ptr<VRX_StatisticsHistogramItem> item(makeItem(type, m_strip.get(), true));
    QVERIFY(item->prepare(0, good(), 20, deviceStats(87.25f)));
    const QString text = item->label().text();
    const QRegularExpressionMatch match = QRegularExpression(QLatin1Char('^') + pattern + QLatin1Char('$')).match(text);
    QVERIFY2(match.hasMatch(), qPrintable(text));
    QCOMPARE(match.captured(1), QString::number(double(item->position()), 'g', 6));
    if (type != CoG) {
        // Sampled Gaussian: the fits find centre and width.
        QVERIFY(qAbs(match.captured(1).toDouble() - 10.3) < 0.05);
        QVERIFY(qAbs(match.captured(2).toDouble() - 2.0) < 0.05);
    }
    if (type == Gaussabola || type == Regression) {
        QVERIFY(qAbs(match.captured(3).toDouble() - 100.5) < 2); // peak height
        QVERIFY(match.captured(match.lastCapturedIndex()).toDouble() > 90.0); // good chi-square quality
    }
}

void TestHistogramItems::chiSquareQualityClampedAtZero()
{
    // A narrow peak among high channels: the residuals sum far above 1.
    VRX_GaussabolaHistogramItem item(m_strip.get(), true);
    item.setChiWindow(5);
    QVERIFY(item.prepare(0, {9, 9, 9, 9, 1, 10, 1, 9, 9, 9, 9}, 11, {}));
    QVERIFY2(item.label().text().endsWith(QString(kChi) + kSquared + QStringLiteral(": 0.0%\n</pre>")),
             qPrintable(item.label().text()));
}

void TestHistogramItems::energyInterpolation_data()
{
    QTest::addColumn<double>("position");
    QTest::addColumn<bool>("known");
    QTest::addColumn<double>("energy");
    QTest::newRow("first channel") << 1.0 << true << 100.0;
    QTest::newRow("between 2 and 3") << 2.25 << true << 112.5;
    QTest::newRow("last channel") << 5.0 << true << 140.0;
    QTest::newRow("left of the table") << -3.0 << true << 100.0;
    QTest::newRow("right of the table") << 80.0 << true << 140.0;
    QTest::newRow("infinite") << qInf() << true << 140.0;
    QTest::newRow("NaN") << qQNaN() << false << 0.0;
}

void TestHistogramItems::energyInterpolation()
{
    QFETCH(double, position);
    QFETCH(bool, known);
    QFETCH(double, energy);
    const std::vector<double> table{100, 110, 120, 130, 140};
    double e = 0;
    QCOMPARE(VRX_StatisticsHistogramItem::interpolateEnergy(table, position, &e), known);
    if (known)
        QCOMPARE(e, energy);
    QVERIFY(!VRX_StatisticsHistogramItem::interpolateEnergy(std::vector<double>(), 3.0, &e));
}

void TestHistogramItems::energyLine()
{
    std::vector<double> table(20);
    for (int i = 0; i < 20; ++i)
        table[i] = 50.0 + 2.0 * i; // channel k + 1 at 50 + 2k MeV
    std::vector<double> empty;
    VRX_RegressionHistogramItem item(m_strip.get(), false);
    item.setOptions(Gaussian::Regression::Options(0.1f, 1024, 1e-15f, 1e-14f, 2));
    item.upload_MLFC_calibration_table(&table);
    QVERIFY(!item.label().text().contains(QLatin1String("Energy")));
    item.toggle_MLFC(true);
    QCOMPARE(item.label().text(), QStringLiteral("<pre>N/A\n\n</pre>\nEnergy (MeV): N/A"));

    QVERIFY(item.prepare(0, good(), 20, {}));
    const QString text = item.label().text();
    const QString suffix = QStringLiteral("</pre>\nEnergy (MeV): ");
    QVERIFY2(text.contains(suffix), qPrintable(text));
    const double energy = text.mid(text.indexOf(suffix) + suffix.size()).toDouble();
    QVERIFY(qAbs(energy - (50.0 + 2.0 * (item.position() - 1))) < 1e-3);

    item.upload_MLFC_calibration_table(&empty);
    QVERIFY(item.label().text().endsWith(QLatin1String("\nEnergy (MeV): N/A")));

    QVERIFY(!item.prepare(0, {1, 1}, 20, {}));
    QCOMPARE(item.label().text(), QStringLiteral("<pre>Fit error: Not enough channels.\n\n</pre>"));

    item.toggle_MLFC(false);
    QVERIFY(item.prepare(0, good(), 20, {}));
    QVERIFY(!item.label().text().contains(QLatin1String("Energy")));
}

void TestHistogramItems::centreOfGravityHasNoEnergyLine()
{
    std::vector<double> table(20, 7.0);
    VRX_CoGHistogramItem item(m_strip.get(), false);
    item.upload_MLFC_calibration_table(&table);
    item.toggle_MLFC(true);
    QVERIFY(item.prepare(0, good(), 20, {}));
    QVERIFY(!item.label().text().contains(QLatin1String("Energy")));
}

void TestHistogramItems::tickLayoutAfterFitAndFailure()
{
    VRX_GaussabolaHistogramItem item(m_strip.get(), false);
    QVERIFY(item.prepare(0, good(), 20, {}));
    const double p = item.position(), s = item.distribution()->standard_deviation();
    QCOMPARE(item.scaleDiv().interval(), QwtInterval(0, 20));
    QCOMPARE(item.scaleDiv().ticks(QwtScaleDiv::MajorTick), QList<double>({p}));
    QCOMPARE(item.scaleDiv().ticks(QwtScaleDiv::MediumTick), QList<double>({p - s, p + s}));
    QCOMPARE(item.scaleDiv().ticks(QwtScaleDiv::MinorTick), QList<double>({p - 3 * s, p + 3 * s}));

    QVERIFY(!item.prepare(4, {1, 1}, 20, {}));
    QCOMPARE(item.scaleDiv().ticks(QwtScaleDiv::MajorTick), QList<double>({5.0}));
    QVERIFY(item.scaleDiv().ticks(QwtScaleDiv::MediumTick).isEmpty());
    QVERIFY(item.scaleDiv().ticks(QwtScaleDiv::MinorTick).isEmpty());
}

void TestHistogramItems::curveSpansRegionInQuarterChannels()
{
    VRX_RegressionHistogramItem item(m_strip.get(), false);
    item.setOptions(Gaussian::Regression::Options(0.1f, 1024, 1e-15f, 1e-14f, 2));
    QVERIFY(item.prepare(20, good(), 40, {}));
    const QwtSeriesData<QPointF> *data = item.curve().data();
    // x = k / 4 for 4 start + 1 <= k < 4 (start + N): over the region only.
    QCOMPARE(int(data->size()), 4 * 20 - 1);
    QCOMPARE(data->sample(0).x(), 81 / 4.0);
    QCOMPARE(data->sample(data->size() - 1).x(), 159 / 4.0);
    // Its highest sample lies at the fitted centre, plotted channel 30.3.
    size_t top = 0;
    for (size_t i = 1; i < data->size(); ++i)
        if (data->sample(i).y() > data->sample(top).y())
            top = i;
    QVERIFY(qAbs(data->sample(top).x() - 30.3) <= 0.125);
    QCOMPARE(item.marker().value(), QPointF(item.position(), item.peak()));
}

void TestHistogramItems::stripLabelsItemPanelOnItsTickOnly()
{
    VRX_CoGHistogramItem item(m_strip.get(), false);
    QVERIFY(item.prepare(0, good(), 20, {}));
    item.attach(m_plot.get());
    const double p = item.position();
    QCOMPARE(stripLabel(*m_strip, p), item.label().text());
    QCOMPARE(stripLabel(*m_strip, p * (1 + 1e-13)), item.label().text());
    QCOMPARE(stripLabel(*m_strip, p + 1e-6), QString::number(p + 1e-6, 'g', 6));
    QCOMPARE(stripLabel(*m_strip, 3.5), QStringLiteral("3.5"));
    // The item's ticks are on the plot's bottom interval.
    QCOMPARE(stripDiv(*m_strip).interval(), QwtInterval(0.5, 20.5));
    QVERIFY(m_strip->isVisibleTo(nullptr) || !m_strip->isHidden());
}

void TestHistogramItems::firstRegionClearsTheStrip()
{
    VRX_RegressionHistogramItem first(m_strip.get(), false), second(m_strip.get(), false);
    first.setOptions(Gaussian::Regression::Options(0.1f, 1024, 1e-15f, 1e-14f, 2));
    second.setOptions(first.options());
    const QVector<float> half = gaussian(10, 4.0, 1.2, 50.0, 0.5);
    QVERIFY(first.prepare(0, half, 20, {}));
    QVERIFY(second.prepare(10, half, 20, {}));
    QVERIFY(first.clearsScale());
    QVERIFY(!second.clearsScale());

    first.attach(m_plot.get());
    second.attach(m_plot.get());
    const QList<double> majors = stripDiv(*m_strip).ticks(QwtScaleDiv::MajorTick);
    QCOMPARE(majors, QList<double>({double(first.position()), double(second.position())}));
    QCOMPARE(stripDiv(*m_strip).ticks(QwtScaleDiv::MediumTick).size(), 4);
    QCOMPARE(stripLabel(*m_strip, first.position()), first.label().text());
    QCOMPARE(stripLabel(*m_strip, second.position()), second.label().text());

    // Attached again after the others, the first region's item starts over.
    first.attach(m_plot.get());
    QCOMPARE(stripDiv(*m_strip).ticks(QwtScaleDiv::MajorTick), QList<double>({double(first.position())}));
    QCOMPARE(stripLabel(*m_strip, second.position()), QString::number(second.position(), 'g', 6));
}

void TestHistogramItems::detachRemovesText()
{
    VRX_GaussabolaHistogramItem item(m_strip.get(), false);
    QVERIFY(item.prepare(0, good(), 20, {}));
    item.attach(m_plot.get());
    QCOMPARE(item.curve().plot(), m_plot.get());
    QCOMPARE(item.marker().plot(), m_plot.get());
    item.detach();
    QVERIFY(!item.curve().plot());
    QVERIFY(!item.marker().plot());
    QCOMPARE(stripLabel(*m_strip, item.position()), QString::number(item.position(), 'g', 6));
    {
        // A deleted item leaves the strip too.
        VRX_CoGHistogramItem other(m_strip.get(), false);
        QVERIFY(other.prepare(0, good(), 20, {}));
        other.attach(m_plot.get());
    }
    QCOMPARE(stripLabel(*m_strip, 10.3), QStringLiteral("10.3"));
}

void TestHistogramItems::attachBeforePrepareChangesNothing()
{
    VRX_GaussabolaHistogramItem item(m_strip.get(), false);
    const QwtScaleDraw *before = m_strip->axisWidget()->scaleDraw();
    item.attach(m_plot.get());
    QVERIFY(!item.curve().plot());
    QVERIFY(!item.marker().plot());
    QCOMPARE(m_strip->axisWidget()->scaleDraw(), before);
    QVERIFY(!dynamic_cast<const VRX_StatisticsHistogramItem::ScaleDraw *>(before));
}

void TestHistogramItems::windowedCentreOfGravity()
{
    // A far-away second peak pulls the full-range centre but not the window.
    QVector<float> v = gaussian(30, 8.0, 1.5, 100.0);
    v[25] = 60;
    VRX_CoGHistogramItem item(nullptr, false);
    item.setMode(VRX_CoGHistogramItem::Windowed, 4.5); // rounds to 5
    QVERIFY(item.prepare(0, v, 30, {}));
    QVERIFY(qAbs(item.position() - 9.0f) < 0.01f);
    item.setMode(VRX_CoGHistogramItem::Filtered, 0.0);
    QVERIFY(item.prepare(0, v, 30, {}));
    QVERIFY(item.position() > 10.0f);
}

void TestHistogramItems::badFramesShowErrorsAndRecover_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QVector<float>>("frame");
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    QVector<float> withNan = good(), withInf = good(), huge(20, 3e38f);
    withNan[9] = nan;
    withInf[3] = inf;
    const QList<QPair<const char *, QVector<float>>> frames = {
        {"NaN channel", withNan},     {"inf channel", withInf}, {"all NaN", QVector<float>(20, nan)},
        {"all zero", QVector<float>(20, 0.0f)}, {"single channel", {5.0f}},  {"empty", {}},
        {"overflowing sum", huge},
    };
    const char *names[] = {"cog", "gaussabola", "regression"};
    for (int type : {CoG, Gaussabola, Regression})
        for (const auto &f : frames)
            QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(names[type], f.first))) << type << f.second;
}

void TestHistogramItems::badFramesShowErrorsAndRecover()
{
    QFETCH(int, type);
    QFETCH(QVector<float>, frame);
    std::unique_ptr<VRX_StatisticsHistogramItem> item(makeItem(type, m_strip.get(), true));
    const bool ok = item->prepare(0, frame, 20, {});
    item->attach(m_plot.get());
    const QString text = item->label().text();
    QVERIFY(!text.isEmpty());
    if (!ok) {
        QVERIFY2(!item->errorMessage().isEmpty(), qPrintable(text));
        QVERIFY(std::isfinite(item->position()));
    } else {
        // A fit that survived a bad channel (taken as 0) has a finite centre.
        QVERIFY2(std::isfinite(item->position()), qPrintable(text));
        QVERIFY2(!text.contains(QLatin1String("<b>nan")), qPrintable(text));
    }
    m_strip->grab(); // paints the strip with the panel

    QVERIFY(item->prepare(0, good(), 20, {}));
    item->attach(m_plot.get());
    QVERIFY(item->errorMessage().isEmpty());
    QVERIFY(qAbs(item->position() - 10.3f) < 0.3f);
}

void TestHistogramItems::lookOfPlotItemsAndStrip_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("background");
    QTest::newRow("cog") << int(CoG) << QColor(Qt::green) << "Center of Gravity" << "rgb(113,255,113)";
    QTest::newRow("gaussabola") << int(Gaussabola) << QColor(Qt::cyan) << "Gaussabola Fit" << "rgb(112,255,255)";
    QTest::newRow("regression") << int(Regression) << QColor(Qt::magenta) << "Gaussian Fit" << "rgb(255,171,251)";
    QTest::newRow("device") << int(Device) << QColor(123, 127, 255) << "Gaussian Fit (Device)" << "rgb(123,167,255)";
}

void TestHistogramItems::lookOfPlotItemsAndStrip()
{
    QFETCH(int, type);
    QFETCH(QColor, color);
    QFETCH(QString, title);
    QFETCH(QString, background);
    std::unique_ptr<VRX_StatisticsHistogramItem> item(makeItem(type, m_strip.get(), false));
    QCOMPARE(item->color(), color);
    QCOMPARE(m_strip->titleLabel()->text(), title);
    QCOMPARE(m_strip->styleSheet(),
             QStringLiteral("background-color: %1;margin: 0px;padding: 0px;border: none;").arg(background));

    const QwtPlotMarker *marker = nullptr;
    const QwtPlotCurve *curve = nullptr;
    if (auto *i = dynamic_cast<VRX_CoGHistogramItem *>(item.get()))
        marker = &i->marker();
    if (auto *i = dynamic_cast<VRX_GaussabolaHistogramItem *>(item.get()))
        marker = &i->marker(), curve = &i->curve();
    if (auto *i = dynamic_cast<VRX_RegressionHistogramItem *>(item.get()))
        marker = &i->marker(), curve = &i->curve();
    if (auto *i = dynamic_cast<VRX_PrecalculatedFitHistogramItem *>(item.get()))
        marker = &i->marker(), curve = &i->curve();
    QVERIFY(marker);
    QCOMPARE(marker->lineStyle(), QwtPlotMarker::VLine);
    QCOMPARE(marker->linePen(), QPen(color, 0, Qt::DashDotLine, Qt::SquareCap, Qt::BevelJoin));
    QCOMPARE(marker->labelAlignment(), Qt::AlignRight | Qt::AlignTop);
    QCOMPARE(marker->spacing(), 12);
    QCOMPARE(marker->symbol()->style(), QwtSymbol::Diamond);
    QCOMPARE(marker->symbol()->size(), QSize(5, 5));
    QCOMPARE(marker->symbol()->brush().color(), QColor(Qt::yellow));
    QCOMPARE(marker->symbol()->pen().color(), QColor(Qt::yellow));
    QCOMPARE(bool(curve), type != CoG);
    if (curve) {
        QCOMPARE(curve->title().text(), QStringLiteral("Gaussian Fit"));
        QCOMPARE(curve->pen(), QPen(color, 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    }
}

QTEST_MAIN(TestHistogramItems)
#include "tst_histogramitems.moc"
