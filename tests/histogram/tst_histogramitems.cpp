#include <VRX_CoGHistogramItem.h>
#include <VRX_GaussabolaHistogramItem.h>
#include <VRX_PrecalculatedFitHistogramItem.h>
#include <VRX_RegressionHistogramItem.h>

#include <QtTest/QtTest>
#include <cmath>
#include <memory>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_widget.h>

using namespace Corvid_Qt;
typedef VRX_StatisticsHistogramItem Item;

namespace {

const Item::Gaussian::Regression::Options kRegression(0.1f, 1024, 1e-15f, 1e-14f, 2);
enum ItemType { CoG, Gaussabola, Regression, Device };

QVector<float> gaussian(int n, double mean, double sigma, double height, double floor)
{
    QVector<float> v(n);
    for (int i = 0; i < n; ++i)
        v[i] = float(floor + height * std::exp(-(i - mean) * (i - mean) / (2 * sigma * sigma)));
    return v;
}

// 20 channels with a Gaussian at index 9.3 (plotted 10.3), sigma 2, and the device fit of it.
QVector<float> good() { return gaussian(20, 9.3, 2.0, 100.0, 0.5); }
QVector<float> deviceStats(float confidence) { return {9.3f, 2.0f, 100.0f, 0.0f, confidence}; }
QString number(double v) { return QString::number(v, 'g', 6); }

Item *makeItem(int type, VRX_HistogramItemAxisWidget *strip, bool full)
{
    if (type == CoG)
        return new VRX_CoGHistogramItem(strip, full);
    if (type == Regression) {
        auto *item = new VRX_RegressionHistogramItem(strip, full);
        item->setOptions(kRegression);
        return item;
    }
    if (type == Gaussabola)
        return new VRX_GaussabolaHistogramItem(strip, full);
    return new VRX_PrecalculatedFitHistogramItem(strip, full);
}

} // namespace

class TestHistogramItems : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_plot.reset(new QwtPlot);
        m_plot->setAxisScale(QwtPlot::xBottom, 0.5, 20.5);
        m_plot->updateAxes();
        m_strip.reset(new VRX_HistogramItemAxisWidget(m_plot.get()));
    }
    void cleanup() { m_strip.reset(), m_plot.reset(); }

    void errorTextsAndRoundedDeviceCodes_data()
    {
        QTest::addColumn<float>("code");
        QTest::addColumn<QString>("text");
        const char *texts[] = {"", "Not enough channels.", "Peak below threshold.", "Peak on edge.",
                               "Signal below threshold.", "Not enough peak channels.", "Noise above threshold.",
                               "Regression failed.", "Regression failed.", ""};
        for (int code = 0; code >= -9; --code)
            QTest::newRow(qPrintable(QString::number(code))) << float(code) << QString(texts[-code]);
        QTest::newRow("-2.6 rounds to -3") << -2.6f << "Peak on edge.";
        QTest::newRow("-2.4 rounds to -2") << -2.4f << "Peak below threshold.";
        QTest::newRow("-0.3 rounds to 0") << -0.3f << QString();
        QTest::newRow("NaN") << float(qQNaN()) << QString();
    }

    void errorTextsAndRoundedDeviceCodes()
    {
        QFETCH(float, code);
        QFETCH(QString, text);
        // A device confidence of zero or below is a failed fit: its code's text, else a plain failure.
        VRX_PrecalculatedFitHistogramItem item(m_strip.get(), false);
        QVERIFY(item.prepare(0, good(), 20, deviceStats(code)));
        const QString message = text.isEmpty() ? QStringLiteral("Fit failed.") : text;
        QCOMPARE(item.errorMessage(), message);
        QCOMPARE(item.position(), 10.0f);
    }

    void failedFitSitsInTheMiddleOfItsRegionAtZero_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("start");
        QTest::addColumn<QVector<float>>("values");
        QTest::addColumn<QString>("message");
        QTest::newRow("gaussabola, two channels") << int(Gaussabola) << 6 << QVector<float>{1, 2}
                                                  << "Not enough channels.";
        QTest::newRow("gaussabola, peak on edge") << int(Gaussabola) << 10 << QVector<float>{5, 4, 3, 2, 1}
                                                  << "Peak on edge.";
        const float nan = qQNaN(), inf = qInf();
        QTest::newRow("gaussabola, NaN at the peak") << int(Gaussabola) << 2 << QVector<float>{1, 3, 6, nan, 6, 3, 1}
                                                     << "Not enough peak channels.";
        QTest::newRow("gaussabola, NaN beside the peak") << int(Gaussabola) << 2 << QVector<float>{1, 3, nan, 9, 5, 2, 1}
                                                         << "Not enough peak channels.";
        QTest::newRow("gaussabola, infinite peak") << int(Gaussabola) << 2 << QVector<float>{1, 3, 5, inf, 5, 3, 1}
                                                   << "Not enough peak channels.";
        QTest::newRow("gaussabola, -inf neighbours") << int(Gaussabola) << 2 << QVector<float>{1, 3, -inf, 9, -inf, 3, 1}
                                                     << "Not enough peak channels.";
        QTest::newRow("regression, one channel over threshold")
            << int(Regression) << 0 << QVector<float>{0, 0, 0.5, 10, 0.5, 0, 0} << "Not enough peak channels.";
        QTest::newRow("regression, empty") << int(Regression) << 4 << QVector<float>{} << "Not enough channels.";
        QTest::newRow("cog, empty") << int(CoG) << 4 << QVector<float>{} << "Not enough channels.";
    }

    void failedFitSitsInTheMiddleOfItsRegionAtZero()
    {
        QFETCH(int, type);
        QFETCH(int, start);
        QFETCH(QVector<float>, values);
        std::unique_ptr<Item> item(makeItem(type, m_strip.get(), false));
        QVERIFY(item->prepare(0, good(), 20, {})); // a good fit first: nothing of it may remain
        QVERIFY(!item->prepare(start, values, 20, {}));
        QTEST(item->errorMessage(), "message");
        const double middle = start + values.size() / 2;
        QCOMPARE(item->position(), float(middle));
        QCOMPARE(item->scaleDiv().ticks(QwtScaleDiv::MajorTick), QList<double>({middle}));
        QVERIFY(item->scaleDiv().ticks(QwtScaleDiv::MediumTick).isEmpty() && item->scaleDiv().ticks(QwtScaleDiv::MinorTick).isEmpty());
        item->attach(m_plot.get());
        const QwtPlotItemList markers = m_plot->itemList(QwtPlotItem::Rtti_PlotMarker);
        QVERIFY(markers.size() == 1 && static_cast<QwtPlotMarker *>(markers[0])->value() == QPointF(middle, 0));
        for (QwtPlotItem *curve : m_plot->itemList(QwtPlotItem::Rtti_PlotCurve))
            for (size_t i = 0; i < static_cast<QwtPlotCurve *>(curve)->dataSize(); ++i)
                QCOMPARE(static_cast<QwtPlotCurve *>(curve)->sample(i).y(), 0.0);
    }

    void fittedCurveAndTicksCoverTheRegion()
    {
        VRX_RegressionHistogramItem item(m_strip.get(), false);
        item.setOptions(kRegression);
        QVERIFY(item.prepare(20, good(), 40, {}));
        const QwtPlotCurve &curve = item.curve();
        // x = k / 4 for 4 start + 1 <= k < 4 (start + N): over the region only.
        QCOMPARE(int(curve.dataSize()), 4 * 20 - 1);
        QCOMPARE(curve.sample(0).x(), 81 / 4.0);
        QCOMPARE(curve.sample(curve.dataSize() - 1).x(), 159 / 4.0);
        size_t top = 0;
        for (size_t i = 1; i < curve.dataSize(); ++i)
            top = curve.sample(i).y() > curve.sample(top).y() ? i : top;
        QVERIFY(qAbs(curve.sample(top).x() - 30.3) <= 0.125);
        QCOMPARE(item.marker().value(), QPointF(item.position(), item.peak()));
        // Major tick on the centre, medium at one sigma, minor at three.
        const double p = item.position(), s = item.distribution()->standard_deviation();
        QCOMPARE(item.scaleDiv().interval(), QwtInterval(0, 40));
        QCOMPARE(item.scaleDiv().ticks(QwtScaleDiv::MajorTick), QList<double>({p}));
        QCOMPARE(item.scaleDiv().ticks(QwtScaleDiv::MediumTick), QList<double>({p - s, p + s}));
        QCOMPARE(item.scaleDiv().ticks(QwtScaleDiv::MinorTick), QList<double>({p - 3 * s, p + 3 * s}));
    }

    void panelTextsAreEquallyTall_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("full");
        // The panels as shown; numbers are captures: # any, @ scientific, $ a percentage.
        QTest::addColumn<QString>("panel");
        const QString brief = QString::fromUtf8("<pre>Position (μ): <b>#</b>\nStd. Dev (σ): #\n");
        const QString wide = QString::fromUtf8("<pre>      Position (μ): <b>#</b>\n      Std. Dev (σ): #\n");
        const QString full[] = {
            brief + "    Skewness: #\n    Kurtosis: #\n</pre>",
            brief + QString::fromUtf8("        Peak: @\n    Integral: @\n         SNR: #\nNoise Std. Dev (σ): @\n"
                                      "          χ²: $%\n</pre>"),
            wide + QString::fromUtf8("              Peak: @\n          Integral: @\n               SNR: #\n"
                                     "Noise Std. Dev (σ): @\n                χ²: $%\n</pre>"),
            wide + QString::fromUtf8("               SNR: #\nNoise Std. Dev (σ): @\n                χ²: $%\n</pre>"),
        };
        const char *names[] = {"cog", "gaussabola", "regression", "device"};
        for (int type : {CoG, Gaussabola, Regression, Device}) {
            QTest::newRow(qPrintable(QStringLiteral("%1 short").arg(names[type]))) << type << false << brief + "</pre>";
            QTest::newRow(qPrintable(QStringLiteral("%1 full").arg(names[type]))) << type << true << full[type];
        }
    }

    void panelTextsAreEquallyTall()
    {
        QFETCH(int, type);
        QFETCH(bool, full);
        QFETCH(QString, panel);
        std::unique_ptr<Item> item(makeItem(type, m_strip.get(), full));
        // N/A and errors are padded with empty lines to the height of the statistics.
        const QString padding(panel.count(QLatin1Char('\n')) - 1, QLatin1Char('\n'));
        QCOMPARE(item->label().text(), QStringLiteral("<pre>N/A\n%1</pre>").arg(padding));

        QVERIFY(item->prepare(0, good(), 20, deviceStats(87.25f)));
        const QString text = item->label().text();
        const QString pattern = QRegularExpression::escape(panel)
                                    .replace(QLatin1String("\\#"), QLatin1String("(-?[0-9.]+(?:e[-+][0-9]+)?)"))
                                    .replace(QLatin1String("\\@"), QLatin1String("(-?[0-9]\\.[0-9]{3}e[-+][0-9]{2})"))
                                    .replace(QLatin1String("\\$"), QLatin1String("([0-9]+\\.[0-9])"));
        const QRegularExpressionMatch match = QRegularExpression(QLatin1Char('^') + pattern + QLatin1Char('$')).match(text);
        QVERIFY2(match.hasMatch(), qPrintable(text));
        QCOMPARE(match.captured(1), number(item->position()));
        QCOMPARE(match.captured(2), number(item->distribution()->standard_deviation()));
        const double quality = match.captured(match.lastCapturedIndex()).toDouble();
        if (type != CoG) { // the fits find the sampled Gaussian
            QVERIFY(qAbs(item->position() - 10.3f) < 0.05f);
            QVERIFY(qAbs(item->distribution()->standard_deviation() - 2.0f) < 0.05f);
            QVERIFY(!full || (type == Device ? qAbs(quality - 87.25) < 0.06 : quality > 90.0)); // chi-square quality
        }
        if (full && (type == Gaussabola || type == Regression))
            QVERIFY(qAbs(match.captured(3).toDouble() - 100.5) < 2); // peak height

        item->prepare(0, QVector<float>(20, 0.0f), 20, deviceStats(-4));
        QVERIFY(!item->errorMessage().isEmpty());
        const QString prefix = type == CoG ? QStringLiteral("Error") : QStringLiteral("Fit error");
        QCOMPARE(item->label().text(), QStringLiteral("<pre>%1: %2\n%3</pre>").arg(prefix, item->errorMessage(), padding));
    }

    void chiSquareQualityClampedAtZero()
    {
        // A narrow peak among high channels: the residuals sum far above 1.
        VRX_GaussabolaHistogramItem item(m_strip.get(), true);
        item.setChiWindow(5);
        QVERIFY(item.prepare(0, {9, 9, 9, 9, 1, 10, 1, 9, 9, 9, 9}, 11, {}));
        QVERIFY2(item.label().text().endsWith(QString::fromUtf8("χ²: 0.0%\n</pre>")), qPrintable(item.label().text()));
    }

    void undefinedNoiseFiguresReadNA_data()
    {
        QTest::addColumn<QVector<float>>("values");
        QTest::addColumn<QVector<float>>("stats");
        QTest::addColumn<QString>("snr");
        QTest::addColumn<QString>("noise");
        // Mean 9.5, sigma 0.1: 3 sigma reach from 9.2 to 9.8, no channel at all.
        QTest::newRow("no channel within 3 sigma") << good() << QVector<float>{9.5f, 0.1f, 100.0f, 0.0f, 90.0f} << "N/A"
                                                   << "#";
        QVector<float> noisy = good();
        noisy[1] = 3e38f; // its square overflows
        QTest::newRow("infinite noise") << noisy << deviceStats(90.0f) << "#" << "N/A";
        QTest::newRow("defined") << good() << deviceStats(90.0f) << "#" << "#";
        // 3 sigma over the whole profile, or all of it but one channel: no
        // deviation can be measured (the estimator says SNR 1, noise 0).
        QTest::newRow("no noise channel") << good() << QVector<float>{9.5f, 4.0f, 100.0f, 0.0f, 90.0f} << "N/A" << "N/A";
        QTest::newRow("one noise channel") << good() << QVector<float>{10.0f, 3.0f, 100.0f, 0.0f, 90.0f} << "N/A"
                                           << "N/A";
        QTest::newRow("two noise channels") << good() << QVector<float>{10.5f, 3.0f, 100.0f, 0.0f, 90.0f} << "#" << "#";
    }

    void undefinedNoiseFiguresReadNA()
    {
        QFETCH(QVector<float>, values);
        QFETCH(QVector<float>, stats);
        QFETCH(QString, snr);
        QFETCH(QString, noise);
        VRX_PrecalculatedFitHistogramItem item(m_strip.get(), true);
        QVERIFY(item.prepare(0, values, 20, stats));
        const QString text = item.label().text(), finite = QStringLiteral("-?[0-9.]+(?:e[-+][0-9]+)?");
        const QString figures = QString::fromUtf8("SNR: %1\nNoise Std\\. Dev \\(σ\\): %2\n")
                                    .arg(snr == "#" ? finite : snr, noise == "#" ? finite : noise);
        QVERIFY2(QRegularExpression(figures).match(text).hasMatch(), qPrintable(text));
    }

    void energyIsInterpolatedAndClampedToTheTable()
    {
        const std::vector<double> table{100, 110, 120, 130, 140};
        double e = 0;
        // Positions are channel numbers from 1; outside the table the end values hold.
        for (const QPointF &c : {QPointF(1, 100), QPointF(2.25, 112.5), QPointF(5, 140), QPointF(-3, 100), QPointF(80, 140)}) {
            QVERIFY(Item::interpolateEnergy(table, c.x(), &e));
            QCOMPARE(e, c.y());
        }
        QVERIFY(!Item::interpolateEnergy(table, qQNaN(), &e) && !Item::interpolateEnergy({}, 2.0, &e));
    }

    void stripShowsPanelsOfAttachedItemsOnTheirTicks()
    {
        VRX_RegressionHistogramItem first(m_strip.get(), false), second(m_strip.get(), false);
        first.setOptions(kRegression);
        second.setOptions(kRegression);
        // Before its first frame an item puts nothing anywhere.
        const QwtScaleDraw *plain = m_strip->axisWidget()->scaleDraw();
        first.attach(m_plot.get());
        QVERIFY(!first.curve().plot() && !first.marker().plot());
        QCOMPARE(m_strip->axisWidget()->scaleDraw(), plain);

        const QVector<float> half = gaussian(10, 4.0, 1.2, 50.0, 0.5);
        QVERIFY(first.prepare(0, half, 20, {}) && second.prepare(10, half, 20, {}));
        QVERIFY(first.clearsScale() && !second.clearsScale());
        first.attach(m_plot.get());
        second.attach(m_plot.get());
        QVERIFY(first.curve().plot() == m_plot.get() && first.marker().plot() == m_plot.get());
        const double a = first.position(), b = second.position();
        const QwtScaleDiv div = m_strip->axisWidget()->scaleDraw()->scaleDiv();
        QCOMPARE(div.interval(), QwtInterval(0.5, 20.5)); // the plot's bottom axis
        QCOMPARE(stripTicks(), QList<double>({a, b}));
        QCOMPARE(div.ticks(QwtScaleDiv::MediumTick).size(), 4);
        QCOMPARE(stripLabel(a), first.label().text());
        QCOMPARE(stripLabel(a * (1 + 1e-13)), first.label().text());
        QCOMPARE(stripLabel(b), second.label().text());
        QCOMPARE(stripLabel(a + 1e-6), number(a + 1e-6));

        // Detached or deleted, an item takes its panel along.
        first.detach();
        QVERIFY(!first.curve().plot() && !first.marker().plot());
        QCOMPARE(stripLabel(a), number(a));
        double c = 0;
        {
            VRX_CoGHistogramItem other(m_strip.get(), false);
            QVERIFY(other.prepare(0, good(), 20, {}));
            other.attach(m_plot.get());
            c = other.position();
            QCOMPARE(stripLabel(c), other.label().text());
        }
        QCOMPARE(stripLabel(c), number(c));
    }

private:
    QString stripLabel(double value) const { return m_strip->axisWidget()->scaleDraw()->label(value).text(); }
    QList<double> stripTicks() const
    {
        return m_strip->axisWidget()->scaleDraw()->scaleDiv().ticks(QwtScaleDiv::MajorTick);
    }

    std::unique_ptr<QwtPlot> m_plot;
    std::unique_ptr<VRX_HistogramItemAxisWidget> m_strip;
};

QTEST_MAIN(TestHistogramItems)
#include "tst_histogramitems.moc"
