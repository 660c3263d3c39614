// The beam-profile mode of the plot view: bars, markers with their
// statistics, the statistics items per peak region and their strips.
#include "ProfileModel.h"

#include <MeasurementUnit.h>
#include <VRXPlotColors.h>
#include <VRXScopePlotView.h>
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
#include <qwt_plot_canvas.h>
#include <qwt_plot_histogram.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_map.h>
#include <qwt_scale_widget.h>

using namespace Corvid_Qt;
typedef VRXScopePlotView View;

namespace {

class Probe : public VRXScopePlotView
{
public:
    Probe() { resize(1000, 700); }
    using VRXScopePlotView::plotMarker;
    using VRXScopePlotView::qwtPlot;
    using VRXScopePlotView::SelectPoint1;
    using VRXScopePlotView::SelectPoint2;

    template <typename T>
    T *item(HistogramItemTypes type, int p) const
    {
        return dynamic_cast<T *>(histogramItems(type).value(p));
    }
    QwtPlotHistogram *bars() const
    {
        const QwtPlotItemList items = qwtPlot()->itemList(QwtPlotItem::Rtti_PlotHistogram);
        return items.isEmpty() ? nullptr : static_cast<QwtPlotHistogram *>(items.first());
    }
    QString stripLabel(HistogramItemTypes type, double value) const
    {
        return histogramAxisWidget(type)->axisWidget()->scaleDraw()->label(value).text();
    }
};

// A shown view on a profile model in histogram mode.
struct Fixture
{
    ProfileModel model;
    Probe view;
    explicit Fixture(int channels)
        : model(channels)
    {
        view.setModel(&model);
        view.SetPlotMode(View::HistogramPlotMode);
        view.show();
        static_cast<void>(QTest::qWaitForWindowExposed(&view));
    }
    /// Lets the view run its pass and lay its strips out.
    void settle()
    {
        for (int i = 0; i < 4; ++i)
            QCoreApplication::processEvents();
    }
    void frame(const QVector<double> &values, const QVector<double> &fits = {})
    {
        model.addFrame(model.rowCount(), values, fits);
        settle();
    }
};

const double kNaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

class TestHistogramMode : public QObject
{
    Q_OBJECT

private slots:
    void tenChannelsFourPeaksLeaveTheLastTwoOut();
    void deviceFitReadsItsColumnsOfTheNewestRow();
    void barsPerChannelHiddenAndNonFiniteAsZero();
    void emptyModelShowsNothing();

    void markerChannelHintWins();
    void markersOnOneChannelHaveNoSpreadPanel();
    void markerStatisticsBetweenTwoChannels();

    void enableAndRemoveItems();
    void centreOfGravityOptions_data();
    void centreOfGravityOptions();
    void gaussabolaAndRegressionOptions();
    void energyCalibrationReachesCurveItemsOnly();

    void stripShowsEachRegionsPanel();
    void stripScaleLinesUpWithTheCanvas();
    void renderedProfileShowsBarsAndFittedCurve();

    void badFramesNeverTakeTheDisplayDown_data();
    void badFramesNeverTakeTheDisplayDown();
};

void TestHistogramMode::tenChannelsFourPeaksLeaveTheLastTwoOut()
{
    Fixture f(10);
    f.view.enableHistogramItem(View::CoGHistogramItemType, 4, {0, 0, 0}, false);
    // Region p is channels 2p + 1 and 2p + 2 with values 1 and 3: centre of
    // gravity 0.75 into the region. Channels 9 and 10 would pull it away.
    f.frame({1, 3, 1, 3, 1, 3, 1, 3, 1000, 1000});
    QCOMPARE(f.view.histogramItems(View::CoGHistogramItemType).size(), 4);
    for (int p = 0; p < 4; ++p) {
        auto *item = f.view.item<VRX_CoGHistogramItem>(View::CoGHistogramItemType, p);
        QVERIFY(item->errorMessage().isEmpty());
        QCOMPARE(int(item->distribution()->size()), 2);
        QCOMPARE(item->position(), 2.0f * p + 1.75f);
        QCOMPARE(item->clearsScale(), p == 0);
    }
}

void TestHistogramMode::deviceFitReadsItsColumnsOfTheNewestRow()
{
    Fixture f(20);
    f.view.enableHistogramItem(View::PrecalculatedFitHistogramItemType, 2, {}, false);
    f.model.addFrame(0, gaussianProfile(20, 5, 1, 10), {1, 1, 1, 0, 50, 1, 1, 1, 0, 50});
    f.frame(gaussianProfile(20, 5, 1, 10), {4.0, 1.5, 10, 0, 80, 3.0, 2.5, 10, 0, -3});
    auto *first = f.view.item<VRX_PrecalculatedFitHistogramItem>(View::PrecalculatedFitHistogramItemType, 0);
    auto *second = f.view.item<VRX_PrecalculatedFitHistogramItem>(View::PrecalculatedFitHistogramItemType, 1);
    QCOMPARE(first->position(), 5.0f);
    QCOMPARE(first->distribution()->standard_deviation(), 1.5f);
    QCOMPARE(first->confidence(), 80.0f);
    QVERIFY(first->errorMessage().isEmpty());
    QCOMPARE(second->confidence(), -3.0f);
    QCOMPARE(second->errorMessage(), QStringLiteral("Peak on edge."));
}

void TestHistogramMode::barsPerChannelHiddenAndNonFiniteAsZero()
{
    Fixture f(6);
    f.model.setData(f.model.index(0, 2), Qt::Unchecked, Qt::CheckStateRole);
    f.frame({1, 2, 3, kNaN, std::numeric_limits<double>::infinity(), 6});
    QwtPlotHistogram *bars = f.view.bars();
    QVERIFY(bars);
    QCOMPARE(int(bars->dataSize()), 6);
    const double expected[] = {1, 0, 3, 0, 0, 6};
    for (int c = 1; c <= 6; ++c) {
        const QwtIntervalSample s = bars->sample(size_t(c - 1));
        QCOMPARE(s.value, expected[c - 1]);
        QCOMPARE(s.interval, QwtInterval(c - 0.5, c + 0.5));
    }
}

void TestHistogramMode::emptyModelShowsNothing()
{
    Fixture f(8);
    f.view.enableHistogramItem(View::RegressionHistogramItemType, 1, {}, false);
    f.frame(gaussianProfile(8, 4, 1, 10));
    QVERIFY(f.view.bars());
    QVERIFY(f.view.histogramAxisWidget(View::RegressionHistogramItemType)->isVisible());
    f.model.Clear();
    f.settle();
    QVERIFY(!f.view.bars());
    QVERIFY(!f.view.plotMarker(0)->plot());
    QVERIFY(!f.view.histogramAxisWidget(View::RegressionHistogramItemType)->isVisible());
    QVERIFY(!f.view.item<VRX_RegressionHistogramItem>(View::RegressionHistogramItemType, 0)->curve().plot());
    // The next frame brings everything back.
    f.frame(gaussianProfile(8, 4, 1, 10));
    QVERIFY(f.view.bars());
    QVERIFY(f.view.histogramAxisWidget(View::RegressionHistogramItemType)->isVisible());
}

void TestHistogramMode::markerChannelHintWins()
{
    Fixture f(10);
    f.frame(gaussianProfile(10, 5, 2, 10));
    f.view.selectionModel()->select(f.model.index(1, 3),
                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Columns);
    f.view.plotMarker(0)->setXValue(8.2);
    f.frame(gaussianProfile(10, 5, 2, 10));
    QCOMPARE(f.view.plotMarker(0)->xValue(), 3.0);
    QCOMPARE(f.view.plotMarker(0)->yValue(), gaussianProfile(10, 5, 2, 10)[2]);
    QVERIFY(f.view.plotMarker(0)->label().text().contains(QLatin1String("\nChannel 3\n")));
}

void TestHistogramMode::markersOnOneChannelHaveNoSpreadPanel()
{
    Fixture f(10);
    f.frame(gaussianProfile(10, 5, 2, 10));
    f.view.SelectPoint1(QPointF(4.2, 1));
    f.view.SelectPoint2(QPointF(3.9, 1));
    f.settle();
    QCOMPARE(f.view.plotMarker(1)->xValue(), 4.0);
    QVERIFY(f.view.plotMarker(0)->plot() && f.view.plotMarker(1)->plot());
    QVERIFY(!f.view.plotMarker(1)->label().text().contains(QLatin1String("Sum:")));
}

void TestHistogramMode::markerStatisticsBetweenTwoChannels()
{
    Fixture f(20);
    QVector<double> v(20);
    for (int c = 0; c < 20; ++c)
        v[c] = (c + 1) * (c + 1); // channel c holds c^2
    f.frame(v);
    f.view.SelectPoint1(QPointF(4.4, 0));
    f.view.SelectPoint2(QPointF(1.6, 0));
    f.settle();

    // Channels 2..4: 4, 9, 16.
    const double n = 3, sum = 29, mean = sum / n;
    const double deviation = std::sqrt(((4 - mean) * (4 - mean) + (9 - mean) * (9 - mean) + (16 - mean) * (16 - mean)) / n);
    const double error = std::sqrt(((16 + 81 + 256) / n - mean * mean) / (n - 1));
    const QString own = QStringLiteral("%1: %2\nChannel 2\n4")
                            .arg(f.model.xUnits()->description(), f.model.xUnits()->format(f.model.doubleData(1, 0)));
    const QString expected = QStringLiteral("%1\n      Sum: %2\n     Mean: %3\n      RMS: %4\n Std. Dev: %5")
                                 .arg(own)
                                 .arg(sum, 12, 'g')
                                 .arg(mean, 12, 'g')
                                 .arg(deviation, 12, 'g')
                                 .arg(error, 12, 'g');
    QCOMPARE(f.view.plotMarker(1)->label().text(), expected);
    QVERIFY(!f.view.plotMarker(0)->label().text().contains(QLatin1String("Sum:")));
    // Two channels apart, under a quarter of 20: the left label turns left.
    QCOMPARE(f.view.plotMarker(1)->labelAlignment(), Qt::AlignLeft | Qt::AlignTop);
    QCOMPARE(f.view.plotMarker(0)->labelAlignment(), Qt::AlignRight | Qt::AlignTop);
    QCOMPARE(f.view.plotMarker(1)->label().color(), VRXPlotColors::kLabelTextColor);
    QCOMPARE(f.view.plotMarker(1)->linePen().color(), VRXPlotColors::forChannel(2));
}

void TestHistogramMode::enableAndRemoveItems()
{
    Fixture f(16);
    VRX_HistogramItemAxisWidget *strip = f.view.histogramAxisWidget(View::CoGHistogramItemType);
    f.view.enableHistogramItem(View::CoGHistogramItemType, 2, {0, 0.1, 3}, true);
    QCOMPARE(f.view.histogramItems(View::CoGHistogramItemType).size(), 2);
    QVERIFY(strip->isVisible());
    QCOMPARE(strip->titleLabel()->text(), QStringLiteral("Center of Gravity"));
    QVERIFY(f.view.item<VRX_CoGHistogramItem>(View::CoGHistogramItemType, 1)->fullStats());
    f.frame(gaussianProfile(16, 4, 1.5, 10));

    f.view.enableHistogramItem(View::CoGHistogramItemType, 0, {}, true);
    QVERIFY(f.view.histogramItems(View::CoGHistogramItemType).isEmpty());
    QVERIFY(!strip->isVisible());
    f.frame(gaussianProfile(16, 4, 1.5, 10));
    QVERIFY(!strip->isVisible());
    QVERIFY(f.view.qwtPlot()->itemList(QwtPlotItem::Rtti_PlotMarker).size() <= 2); // the view's own markers only

    // Not a type: nothing happens.
    f.view.enableHistogramItem(View::NHistogramItemTypes, 3, {}, true);
    QVERIFY(f.view.histogramItems(View::NHistogramItemTypes).isEmpty());
}

void TestHistogramMode::centreOfGravityOptions_data()
{
    QTest::addColumn<QVector<double>>("options");
    QTest::addColumn<int>("mode");
    QTest::addColumn<double>("option");
    QTest::newRow("filtered") << QVector<double>{0, 0.25, 7} << int(VRX_CoGHistogramItem::Filtered) << 0.25;
    QTest::newRow("windowed") << QVector<double>{1, 0.25, 7} << int(VRX_CoGHistogramItem::Windowed) << 7.0;
    QTest::newRow("mode rounds half up") << QVector<double>{0.5, 0.25, 7} << int(VRX_CoGHistogramItem::Windowed) << 7.0;
    QTest::newRow("mode rounds down") << QVector<double>{0.4, 0.25, 7} << int(VRX_CoGHistogramItem::Filtered) << 0.25;
    QTest::newRow("extra ignored") << QVector<double>{0, 0.5, 3, 99} << int(VRX_CoGHistogramItem::Filtered) << 0.5;
    // Shorter vectors: what is missing takes the estimator's defaults.
    QTest::newRow("empty") << QVector<double>{} << int(VRX_CoGHistogramItem::Filtered) << 0.0;
    QTest::newRow("windowed without width") << QVector<double>{1} << int(VRX_CoGHistogramItem::Windowed) << 1.0;
    QTest::newRow("windowed, two values") << QVector<double>{1, 0.3} << int(VRX_CoGHistogramItem::Windowed) << 1.0;
    QTest::newRow("filtered, two values") << QVector<double>{0, 0.3} << int(VRX_CoGHistogramItem::Filtered) << 0.3;
    QTest::newRow("mode not a number") << QVector<double>{kNaN, 0.3, 4} << int(VRX_CoGHistogramItem::Filtered) << 0.3;
}

void TestHistogramMode::centreOfGravityOptions()
{
    QFETCH(QVector<double>, options);
    QFETCH(int, mode);
    QFETCH(double, option);
    Fixture f(12);
    f.view.enableHistogramItem(View::CoGHistogramItemType, 1, options, false);
    auto *item = f.view.item<VRX_CoGHistogramItem>(View::CoGHistogramItemType, 0);
    QCOMPARE(int(item->mode()), mode);
    QCOMPARE(item->option(), option);
    f.frame(gaussianProfile(12, 6.5, 1.5, 10));
    QVERIFY(item->errorMessage().isEmpty());
}

void TestHistogramMode::gaussabolaAndRegressionOptions()
{
    Fixture f(12);
    f.view.enableHistogramItem(View::GaussabolaHistogramItemType, 1, {1, 2}, false);
    auto *gb = f.view.item<VRX_GaussabolaHistogramItem>(View::GaussabolaHistogramItemType, 0);
    QCOMPARE(gb->options().m_peak_threshold, 1e-15f);
    QCOMPARE(gb->options().m_sum_threshold, 1e-14f);
    QCOMPARE(gb->options().m_percent_threshold, 0.98f);
    QCOMPARE(gb->chiWindow(), 5);
    f.view.enableHistogramItem(View::GaussabolaHistogramItemType, 1, {0.5, 2, 0.9, 6.5}, false);
    gb = f.view.item<VRX_GaussabolaHistogramItem>(View::GaussabolaHistogramItemType, 0);
    QCOMPARE(gb->options().m_peak_threshold, 0.5f);
    QCOMPARE(gb->options().m_sum_threshold, 2.0f);
    QCOMPARE(gb->options().m_percent_threshold, 0.9f);
    QCOMPARE(gb->chiWindow(), 7);

    f.view.enableHistogramItem(View::RegressionHistogramItemType, 1, {0.2, 3.9, 1}, false);
    auto *rg = f.view.item<VRX_RegressionHistogramItem>(View::RegressionHistogramItemType, 0);
    QCOMPARE(rg->options().m_signal_threshold_percent, 0.0f);
    QCOMPARE(rg->options().m_max_signal_channels, 1024);
    QCOMPARE(rg->options().m_peak_threshold, 1e-15f);
    QCOMPARE(rg->options().m_sum_threshold, 1e-14f);
    QCOMPARE(rg->options().m_weighting, 2);
    QCOMPARE(rg->chiWindow(), 5);
    f.view.enableHistogramItem(View::RegressionHistogramItemType, 1, {0.2, 3.9, 1, 2, 0.5, 2.5}, false);
    rg = f.view.item<VRX_RegressionHistogramItem>(View::RegressionHistogramItemType, 0);
    QCOMPARE(rg->options().m_signal_threshold_percent, 0.2f);
    QCOMPARE(rg->options().m_max_signal_channels, 3); // truncated
    QCOMPARE(rg->options().m_peak_threshold, 1.0f);
    QCOMPARE(rg->options().m_sum_threshold, 2.0f);
    QCOMPARE(rg->options().m_weighting, 1); // rounded, half up
    QCOMPARE(rg->chiWindow(), 3);
}

void TestHistogramMode::energyCalibrationReachesCurveItemsOnly()
{
    Fixture f(12);
    std::vector<double> table(12, 5.0);
    f.view.enableHistogramItem(View::CoGHistogramItemType, 1, {0, 0.1, 3}, false);
    f.view.enableHistogramItem(View::GaussabolaHistogramItemType, 1, {}, false);
    f.view.enableHistogramItem(View::RegressionHistogramItemType, 1, {}, false);
    f.view.enableHistogramItem(View::PrecalculatedFitHistogramItemType, 1, {}, false);
    f.view.upload_MLFC_calibration_table(&table);
    f.view.toggleMLFC(true);
    f.frame(gaussianProfile(12, 6.5, 1.5, 10), {5.5, 1.5, 10, 0, 90});
    const auto energy = [&](View::HistogramItemTypes type) {
        auto *item = dynamic_cast<VRX_StatisticsHistogramItem *>(f.view.histogramItems(type).value(0));
        return item->label().text().endsWith(QLatin1String("\nEnergy (MeV): 5"));
    };
    QVERIFY(!energy(View::CoGHistogramItemType));
    QVERIFY(energy(View::GaussabolaHistogramItemType));
    QVERIFY(energy(View::RegressionHistogramItemType));
    QVERIFY(energy(View::PrecalculatedFitHistogramItemType));
    // The view remembers neither: new items start without the energy line.
    f.view.enableHistogramItem(View::RegressionHistogramItemType, 1, {}, false);
    f.frame(gaussianProfile(12, 6.5, 1.5, 10), {5.5, 1.5, 10, 0, 90});
    QVERIFY(!energy(View::RegressionHistogramItemType));
    f.view.toggleMLFC(false);
    f.frame(gaussianProfile(12, 6.5, 1.5, 10), {5.5, 1.5, 10, 0, 90});
    QVERIFY(!energy(View::GaussabolaHistogramItemType));
}

void TestHistogramMode::stripShowsEachRegionsPanel()
{
    Fixture f(40);
    f.view.enableHistogramItem(View::RegressionHistogramItemType, 2, {0.1, 1024, 1e-15, 1e-14, 2, 5}, true);
    QVector<double> v = gaussianProfile(40, 8.3, 2, 10, 0.1);
    const QVector<double> second = gaussianProfile(40, 31.6, 1.5, 6);
    for (int c = 0; c < 40; ++c)
        v[c] += second[c];
    f.frame(v);
    auto *a = f.view.item<VRX_RegressionHistogramItem>(View::RegressionHistogramItemType, 0);
    auto *b = f.view.item<VRX_RegressionHistogramItem>(View::RegressionHistogramItemType, 1);
    QVERIFY(qAbs(a->position() - 8.3f) < 0.1f);
    QVERIFY(qAbs(b->position() - 31.6f) < 0.1f);
    QCOMPARE(f.view.stripLabel(View::RegressionHistogramItemType, a->position()), a->label().text());
    QCOMPARE(f.view.stripLabel(View::RegressionHistogramItemType, b->position()), b->label().text());
    QCOMPARE(f.view.stripLabel(View::RegressionHistogramItemType, 20.0), QStringLiteral("20"));
    const QwtScaleDiv div = f.view.histogramAxisWidget(View::RegressionHistogramItemType)->axisWidget()->scaleDraw()->scaleDiv();
    QCOMPARE(div.ticks(QwtScaleDiv::MajorTick).size(), 2);
    QCOMPARE(div.ticks(QwtScaleDiv::MediumTick).size(), 4);
    QCOMPARE(div.interval(), QwtInterval(0.5, 40.5));
    // The strip is as tall as the panels (seven lines of text).
    QVERIFY(f.view.histogramAxisWidget(View::RegressionHistogramItemType)->height()
            >= a->label().textSize(f.view.histogramAxisWidget(View::RegressionHistogramItemType)->axisWidget()->font()).height());
}

void TestHistogramMode::stripScaleLinesUpWithTheCanvas()
{
    Fixture f(30);
    f.view.enableHistogramItem(View::GaussabolaHistogramItemType, 3, {}, true);
    f.frame(gaussianProfile(30, 4.5, 1.2, 10, 0.1));
    f.settle();
    VRX_HistogramItemAxisWidget *strip = f.view.histogramAxisWidget(View::GaussabolaHistogramItemType);
    QwtScaleWidget *scale = strip->axisWidget();
    QWidget *canvas = f.view.qwtPlot()->canvas();
    const QwtScaleMap plotMap = f.view.qwtPlot()->canvasMap(QwtPlot::xBottom);
    const QwtScaleMap stripMap = scale->scaleDraw()->scaleMap();
    for (double x : {1.0, 15.0, 30.0}) {
        const int onCanvas = canvas->mapTo(&f.view, QPoint(qRound(plotMap.transform(x)), 0)).x();
        const int onStrip = scale->mapTo(&f.view, QPoint(qRound(stripMap.transform(x)), 0)).x();
        QVERIFY2(qAbs(onCanvas - onStrip) <= 1, qPrintable(QStringLiteral("%1: %2 vs %3").arg(x).arg(onCanvas).arg(onStrip)));
    }
}

void TestHistogramMode::renderedProfileShowsBarsAndFittedCurve()
{
    Fixture f(16);
    f.view.enableHistogramItem(View::RegressionHistogramItemType, 1, {0.1, 1024, 1e-15, 1e-14, 2, 5}, false);
    const QVector<double> v = gaussianProfile(16, 8.4, 2.0, 10, 1.0);
    f.frame(v);
    const QImage image = f.view.grab().toImage();
    QwtPlot *plot = f.view.qwtPlot();
    QWidget *canvas = plot->canvas();
    const auto toImage = [&](double x, double y) {
        const QPointF p(plot->transform(QwtPlot::xBottom, x), plot->transform(QwtPlot::yLeft, y));
        return canvas->mapTo(&f.view, p.toPoint());
    };
    const auto isBar = [](QRgb c) { return qRed(c) > 150 && qGreen(c) > 150 && qBlue(c) < 80; };
    const auto isCurve = [](QRgb c) { return qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) > 200; };
    // A bar per channel: half way up each bar, a little off its centre line.
    for (int c = 1; c <= 16; ++c) {
        const QPoint p = toImage(c + 0.2, v[c - 1] / 2);
        QVERIFY2(isBar(image.pixel(p)), qPrintable(QStringLiteral("channel %1").arg(c)));
    }
    // The fitted curve passes over the peak, near the top of its bars.
    const QPoint top = toImage(8.4, v[7]);
    int curvePixels = 0;
    for (int dy = -6; dy <= 6; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            curvePixels += isCurve(image.pixel(top + QPoint(dx, dy)));
    QVERIFY(curvePixels > 0);
    // No curve far above the peak.
    const QPoint above = toImage(8.4, 2 * v[7]);
    QVERIFY(!isCurve(image.pixel(above)));
}

void TestHistogramMode::badFramesNeverTakeTheDisplayDown_data()
{
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("peaks");
    QTest::addColumn<QVector<double>>("frame");
    QTest::addColumn<QVector<double>>("fits");
    QVector<double> withNan = gaussianProfile(24, 12, 2, 10, 0.2);
    withNan[11] = kNaN;
    QVector<double> withInf = gaussianProfile(24, 12, 2, 10, 0.2);
    withInf[3] = std::numeric_limits<double>::infinity();
    const QVector<double> goodFits{11, 2, 10, 0, 90};
    QTest::newRow("NaN channel") << 24 << 1 << withNan << goodFits;
    QTest::newRow("infinite channel") << 24 << 1 << withInf << goodFits;
    QTest::newRow("all NaN") << 24 << 1 << QVector<double>(24, kNaN) << goodFits;
    QTest::newRow("all zero") << 24 << 1 << QVector<double>(24, 0.0) << goodFits;
    QTest::newRow("huge values") << 24 << 1 << QVector<double>(24, 1e300) << goodFits;
    QTest::newRow("more peaks than channels") << 24 << 30 << gaussianProfile(24, 12, 2, 10) << goodFits;
    QTest::newRow("device confidence NaN") << 24 << 1 << gaussianProfile(24, 12, 2, 10) << QVector<double>{11, 2, 10, 0, kNaN};
    QTest::newRow("device fit missing") << 24 << 1 << gaussianProfile(24, 12, 2, 10) << QVector<double>{};
    QTest::newRow("device centre NaN") << 24 << 1 << gaussianProfile(24, 12, 2, 10) << QVector<double>{kNaN, 2, 10, 0, 90};
    QTest::newRow("single channel") << 1 << 1 << QVector<double>{5.0} << goodFits;
}

void TestHistogramMode::badFramesNeverTakeTheDisplayDown()
{
    QFETCH(int, channels);
    QFETCH(int, peaks);
    QFETCH(QVector<double>, frame);
    QFETCH(QVector<double>, fits);
    Fixture f(channels);
    for (int type = 0; type < View::NHistogramItemTypes; ++type)
        f.view.enableHistogramItem(View::HistogramItemTypes(type), peaks, {}, true);
    f.view.SelectPoint1(QPointF(2, 0));
    f.view.SelectPoint2(QPointF(channels, 0));
    f.frame(frame, fits);
    static_cast<void>(f.view.grab());
    for (int type = 0; type < View::NHistogramItemTypes; ++type) {
        for (VRX_HistogramItem *i : f.view.histogramItems(View::HistogramItemTypes(type))) {
            auto *item = dynamic_cast<VRX_StatisticsHistogramItem *>(i);
            const QString text = item->label().text();
            QVERIFY(text.startsWith(QLatin1String("<pre>")));
            QVERIFY2(std::isfinite(item->position()), qPrintable(text));
        }
    }

    // The next good frame shows its fits again.
    if (channels < 24)
        return;
    f.view.enableHistogramItem(View::RegressionHistogramItemType, 1, {0.1, 1024, 1e-15, 1e-14, 2, 5}, true);
    f.view.enableHistogramItem(View::PrecalculatedFitHistogramItemType, 1, {}, true);
    f.frame(gaussianProfile(24, 12, 2, 10, 0.2), {11, 2, 10, 0, 90});
    auto *rg = f.view.item<VRX_RegressionHistogramItem>(View::RegressionHistogramItemType, 0);
    auto *dev = f.view.item<VRX_PrecalculatedFitHistogramItem>(View::PrecalculatedFitHistogramItemType, 0);
    QVERIFY2(rg->errorMessage().isEmpty(), qPrintable(rg->errorMessage()));
    QVERIFY(qAbs(rg->position() - 12.0f) < 0.1f);
    QVERIFY(dev->errorMessage().isEmpty());
    QCOMPARE(dev->position(), 12.0f);
}

QTEST_MAIN(TestHistogramMode)
#include "tst_histogrammode.moc"
