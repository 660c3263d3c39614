#include "ViewProbe.h"

#include <MeasurementUnit.h>
#include <VRXScopePlotView.h>
#include <VRX_CoGHistogramItem.h>
#include <VRX_GaussabolaHistogramItem.h>
#include <VRX_HistogramItemAxisWidget.h>
#include <VRX_PrecalculatedFitHistogramItem.h>
#include <VRX_RegressionHistogramItem.h>
#include <VRXMultichannelProxyModel.h>
#include <VRXSingleChannelDataModel.h>

#include <CachedLabelMarker_p.h>

#include <QtTest/QtTest>
#include <QtWidgets/QToolTip>
#include <qwt_plot.h>
#include <qwt_plot_histogram.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_widget.h>

#include <memory>
#include <vector>

using namespace Corvid_Qt;
typedef VRXScopePlotView View;
typedef VRX_StatisticsHistogramItem Item;

namespace {

const double kNaN = qQNaN();
const QVector<double> kRegressionOptions{0.1, 1024, 1e-15, 1e-14, 2, 5};
const View::HistogramItemTypes kTypes[] = {View::GaussabolaHistogramItemType, View::CoGHistogramItemType,
                                           View::RegressionHistogramItemType, View::PrecalculatedFitHistogramItemType};
const QString kTooWide = QStringLiteral("VRXScopePlotView: the model has 300 channels; the first 256 are drawn as curves");

// A shown view in histogram mode.
struct Probe : ShownView {
    explicit Probe(int channels) : ShownView(channels, 0, View::HistogramPlotMode, QSize(1000, 700)) {}
    /// Every item type, `peaks` of each, the regression with options that fit these profiles.
    void enableAll(int peaks, bool full)
    {
        for (View::HistogramItemTypes type : kTypes)
            view.enableHistogramItem(type, peaks, type == View::RegressionHistogramItemType ? kRegressionOptions
                                                                                            : QVector<double>(), full);
    }
};

} // namespace

class TestHistogramMode : public QObject
{
    Q_OBJECT

private slots:
    void regionsSplitTheChannelsAndReadTheNewestDeviceFits()
    {
        Probe view(10);
        view.view.enableHistogramItem(View::CoGHistogramItemType, 4, {0, 0, 0}, false);
        view.view.enableHistogramItem(View::PrecalculatedFitHistogramItemType, 2, {}, false);
        view.model.addFrame(0, QVector<double>(10, 1.0), {1, 1, 1, 0, 50, 1, 1, 1, 0, 50});
        // Region p is channels 2p + 1 and 2p + 2 with values 1 and 3: centre of
        // gravity 0.75 into the region. Channels 9 and 10 would pull it away.
        view.frame({1, 3, 1, 3, 1, 3, 1, 3, 1000, 1000}, {1.0, 1.5, 10, 0, 80, 3.0, 2.5, 10, 0, -3});
        QCOMPARE(view.view.histogramItems(View::CoGHistogramItemType).size(), 4);
        for (int p = 0; p < 4; ++p) {
            Item *item = view.view.item(View::CoGHistogramItemType, p);
            QVERIFY(item->errorMessage().isEmpty());
            QCOMPARE(int(item->distribution()->size()), 2);
            QCOMPARE(item->position(), 2.0f * p + 1.75f);
            QCOMPARE(item->clearsScale(), p == 0);
        }
        // The device's fits of the two halves, from the statistics columns of the newest row.
        auto *first = dynamic_cast<VRX_PrecalculatedFitHistogramItem *>(view.view.item(View::PrecalculatedFitHistogramItemType));
        QVERIFY(first->errorMessage().isEmpty());
        QCOMPARE(first->position(), 2.0f);
        QCOMPARE(first->distribution()->standard_deviation(), 1.5f);
        QCOMPARE(first->confidence(), 80.0f);
        QCOMPARE(first->marker().yValue(), 10.0); // the device's amplitude
        QCOMPARE(view.view.item(View::PrecalculatedFitHistogramItemType, 1)->errorMessage(), QStringLiteral("Peak on edge."));
    }

    void itemsAndStripsComeAndGo()
    {
        Probe view(16);
        view.enableAll(2, true);
        for (auto type : kTypes)
            QVERIFY(view.view.histogramItems(type).size() == 2 && view.view.item(type, 1)->fullStats());
        // An emptied model takes bars, markers and strips away until its next frame.
        QWidget *strip = view.view.histogramAxisWidget(View::CoGHistogramItemType);
        for (int round = 0; round < 2; ++round) {
            view.frame(gaussianProfile(16, 4, 1.5, 10));
            if (round == 0)
                view.view.SelectPoint1(QPointF(3, 0));
            ViewProbe::settle();
            QVERIFY(view.view.bars() && view.view.plotMarker(0)->plot() && strip->isVisible());
            QCOMPARE(view.view.markerCount(), 2 + 4 * 2);
            view.model.Clear();
            ViewProbe::settle();
            QVERIFY(!view.view.bars() && !view.view.plotMarker(0)->plot() && !strip->isVisible());
            QCOMPARE(view.view.markerCount(), 0);
        }
        view.enableAll(0, true);
        view.frame(gaussianProfile(16, 4, 1.5, 10));
        QVERIFY(view.view.histogramItems(View::CoGHistogramItemType).isEmpty() && !strip->isVisible());
        QCOMPARE(view.view.markerCount(), 2); // the view's own
        view.view.enableHistogramItem(View::NHistogramItemTypes, 3, {}, true); // not a type: ignored
        QVERIFY(view.view.histogramItems(View::NHistogramItemTypes).isEmpty());
    }

    void markersMeasureBetweenTwoChannelsAndKeepTheirLabelsApart()
    {
        ShownView view(20, 0, View::HistogramPlotMode, QSize(640, 300));
        QVector<double> v(20);
        for (int c = 0; c < 20; ++c)
            v[c] = (c + 1) * (c + 1);
        view.frame(v);
        view.view.click(QPointF(4.4, 0), QPointF(1.6, 0));
        // Channels 2..4 hold 4, 9 and 16.
        QVERIFY(view.view.markerText(1).endsWith(QStringLiteral("\nChannel 2\n4\n      Sum:           29\n"
                                                             "     Mean:      9.66667\n      RMS:      4.92161\n"
                                                             " Std. Dev:       3.4801")));
        QVERIFY(!view.view.plotMarker(0)->label().text().contains(QLatin1String("Sum:")));
        // Two channels apart, under a quarter of 20: the left label turns left.
        QCOMPARE(view.view.plotMarker(1)->labelAlignment(), Qt::AlignLeft | Qt::AlignTop);
        QCOMPARE(view.view.plotMarker(0)->labelAlignment(), Qt::AlignRight | Qt::AlignTop);

        // Both on one channel: no spread to show.
        view.view.click(QPointF(4.4, 0), QPointF(3.9, 1));
        QCOMPARE(view.view.plotMarker(1)->xValue(), 4.0);
        QVERIFY(view.view.plotMarker(1)->plot() && !view.view.plotMarker(1)->label().text().contains(QLatin1String("Sum:")));

        // A channel or more apart on this small view: the second label goes below the first.
        view.frame(gaussianProfile(20, 9.5, 3, 10, 1));
        for (const QPointF &second : {QPointF(11, 5), QPointF(9, 5), QPointF(18, 5)}) {
            view.view.click(QPointF(10, 5), second);
            view.paint();
            QVERIFY(view.view.markerShown(0) && view.view.markerShown(1));
            const auto *a = static_cast<const CachedLabelMarker *>(view.view.plotMarker(0).data());
            const auto *b = static_cast<const CachedLabelMarker *>(view.view.plotMarker(1).data());
            const QRectF ra = a->drawnLabelRect(), rb = b->drawnLabelRect();
            QVERIFY(!ra.isEmpty() && !rb.isEmpty());
            QVERIFY2(!ra.intersects(rb), qPrintable(QString::number(second.x())));
            const QRectF canvas = view.view.qwtPlot()->canvas()->contentsRect();
            QVERIFY(canvas.adjusted(-1, -1, 1, 1).contains(rb));
        }

        // A selected channel moves the first marker onto it.
        view.view.selectColumn(3);
        view.frame(v);
        QCOMPARE(view.view.plotMarker(0)->value(), QPointF(3.0, 9.0));
        QVERIFY(view.view.plotMarker(0)->label().text().contains(QLatin1String("\nChannel 3\n")));
    }

    void everyChannelOfAWideProfile()
    {
        // A 300-strip profile merged from single-channel readers: its second
        // region and its beam lie beyond the 256 curves of the time modes.
        std::vector<std::unique_ptr<VRXSingleChannelDataModel>> strips;
        VRXMultichannelProxyModel merged;
        for (int c = 0; c < 300; ++c) {
            strips.emplace_back(new VRXSingleChannelDataModel(8));
            merged.addSourceModel(strips.back().get());
        }
        QVector<double> v = gaussianProfile(300, 280.4, 3, 10, 1.0);
        v[40] = 4.0; // channel 41, in the first region
        for (int c = 0; c < 300; ++c)
            strips[size_t(c)]->AddData(1.0, v[c]);
        QTest::ignoreMessage(QtWarningMsg, qPrintable(kTooWide));
        ViewProbe view(QSize(1000, 700));
        view.enableHistogramItem(View::RegressionHistogramItemType, 2, kRegressionOptions, true);
        // First a narrow profile: the wide one then takes its place.
        FakeDeviceModel narrow(32);
        view.showWith(&narrow, View::HistogramPlotMode);
        view.setModel(&merged);
        ViewProbe::settle();
        QCOMPARE(view.axis(QwtPlot::xBottom).upperBound(), 300.5);
        QCOMPARE(int(view.bars()->dataSize()), 300);
        // Switched off past 256 as below it.
        QVERIFY(merged.setData(merged.index(0, 290), Qt::Unchecked, Qt::CheckStateRole));
        ViewProbe::settle();
        for (int c : {1, 41, 256, 257, 280, 290, 300})
            QCOMPARE(view.bars()->sample(size_t(c - 1)).value, c == 290 ? 0.0 : v[c - 1]);
        Item *beyond = view.item(View::RegressionHistogramItemType, 1);
        QVERIFY2(beyond->errorMessage().isEmpty(), qPrintable(beyond->errorMessage()));
        QVERIFY2(qAbs(beyond->position() - 280.4f) < 0.1f, qPrintable(beyond->label().text()));
        QCOMPARE(int(beyond->distribution()->size()), 150);

        // Markers on channels past 256 stay there, and measure there; a name is printed as it is.
        strips[278]->setChannelName(QStringLiteral("%1"));
        view.click(QPointF(281.2, 0), QPointF(279, 0));
        QCOMPARE(view.plotMarker(0)->value(), QPointF(281.0, v[280]));
        QCOMPARE(view.plotMarker(1)->xValue(), 279.0);
        QVERIFY2(view.markerText(1).contains("Channel %1\n" + QString::number(v[278], 'g', 6) + "\n      Sum: "
                                             + QString::number(v[278] + v[279] + v[280], 'g', 6).rightJustified(12) + "\n"),
                 qPrintable(view.markerText(1)));
    }

    void optionVectorsAndTheirDefaults_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVector<double>>("options");
        // Centre of gravity: mode and option; the fits: thresholds, channel count, weighting, chi-square window.
        QTest::addColumn<QString>("settings");
        const int cog = View::CoGHistogramItemType, gb = View::GaussabolaHistogramItemType;
        const int rg = View::RegressionHistogramItemType;
        QTest::newRow("cog filtered") << cog << QVector<double>{0, 0.25, 7} << "0 0.25";
        QTest::newRow("cog windowed") << cog << QVector<double>{1, 0.25, 7} << "1 7";
        QTest::newRow("cog mode rounds half up") << cog << QVector<double>{0.5, 0.25, 7} << "1 7";
        QTest::newRow("cog mode rounds down") << cog << QVector<double>{0.4, 0.25, 7} << "0 0.25";
        QTest::newRow("cog mode not a number") << cog << QVector<double>{kNaN, 0.3, 4} << "0 0.3";
        // Shorter vectors: what is missing takes the estimator's defaults.
        QTest::newRow("cog empty") << cog << QVector<double>{} << "0 0";
        QTest::newRow("cog windowed without width") << cog << QVector<double>{1} << "1 1";
        QTest::newRow("gaussabola defaults") << gb << QVector<double>{1, 2} << "1e-15 1e-14 0.98 5";
        QTest::newRow("gaussabola given") << gb << QVector<double>{0.5, 2, 0.9, 6.5} << "0.5 2 0.9 7";
        QTest::newRow("regression defaults") << rg << QVector<double>{0.2, 3.9, 1} << "0 1024 1e-15 1e-14 2 5";
        QTest::newRow("regression given, truncated and rounded") << rg << QVector<double>{0.2, 3.9, 1, 2, 0.5, 2.5}
                                                                 << "0.2 3 1 2 1 3";
    }

    void optionVectorsAndTheirDefaults()
    {
        QFETCH(int, type);
        QFETCH(QVector<double>, options);
        Probe view(12);
        view.view.enableHistogramItem(View::HistogramItemTypes(type), 1, options, false);
        Item *item = view.view.item(View::HistogramItemTypes(type));
        QList<double> s;
        if (auto *cog = dynamic_cast<VRX_CoGHistogramItem *>(item))
            s = {double(cog->mode()), cog->option()};
        if (auto *gb = dynamic_cast<VRX_GaussabolaHistogramItem *>(item))
            s = {gb->options().m_peak_threshold, gb->options().m_sum_threshold, gb->options().m_percent_threshold,
                 double(gb->chiWindow())};
        if (auto *rg = dynamic_cast<VRX_RegressionHistogramItem *>(item)) {
            const auto &o = rg->options();
            s = {o.m_signal_threshold_percent, double(o.m_max_signal_channels), o.m_peak_threshold, o.m_sum_threshold,
                 double(o.m_weighting), double(rg->chiWindow())};
        }
        QStringList text;
        for (double v : s)
            text << QString::number(v, 'g', 6);
        QTEST(text.join(QLatin1Char(' ')), "settings");
    }

    void energyLineOnCurveItemsOnly()
    {
        Probe view(12);
        std::vector<double> table{50, 52, 54, 56, 58, 60, 62, 64, 66, 68, 70, 72}; // position k at 48 + 2k MeV
        view.enableAll(1, false);
        view.view.upload_MLFC_calibration_table(&table);
        view.view.toggleMLFC(true);
        const auto energy = [&](View::HistogramItemTypes type) {
            const QStringList parts = view.view.item(type)->label().text().split(QStringLiteral("</pre>\nEnergy (MeV): "));
            return parts.size() == 2 ? parts[1] : QString();
        };
        QCOMPARE(energy(View::GaussabolaHistogramItemType), QStringLiteral("N/A")); // before the first frame
        const QVector<double> profile = gaussianProfile(12, 6.3, 1.5, 10);
        view.frame(profile, {5.5, 1.5, 10, 0, 90});
        QVERIFY(energy(View::CoGHistogramItemType).isEmpty());
        QCOMPARE(energy(View::PrecalculatedFitHistogramItemType), QStringLiteral("61"));
        for (auto type : {View::GaussabolaHistogramItemType, View::RegressionHistogramItemType})
            QVERIFY(qAbs(energy(type).toDouble() - (48.0 + 2.0 * view.view.item(type)->position())) < 1e-3);
        // A failed fit shows its error without an energy.
        view.frame(profile, {5.5, 1.5, 10, 0, -3});
        QCOMPARE(view.view.item(View::PrecalculatedFitHistogramItemType)->label().text(),
                 QStringLiteral("<pre>Fit error: Peak on edge.\n\n</pre>"));
        // The view remembers neither table nor switch: new items start without the line.
        view.view.enableHistogramItem(View::RegressionHistogramItemType, 1, {}, false);
        view.view.toggleMLFC(false);
        view.frame(profile);
        QVERIFY(energy(View::RegressionHistogramItemType).isEmpty() && energy(View::GaussabolaHistogramItemType).isEmpty());
    }

    void renderedProfileWithFitsAndPanelsOnTheStrip()
    {
        Probe view(40);
        view.view.enableHistogramItem(View::RegressionHistogramItemType, 2, kRegressionOptions, true);
        const double peaks[][3] = {{8.3, 2, 10}, {31.6, 1.5, 12}}; // centre, sigma and height over a floor of 1
        QVector<double> v(40, 1.0);
        for (const auto &p : peaks) {
            const QVector<double> g = gaussianProfile(40, p[0], p[1], p[2]);
            for (int c = 0; c < 40; ++c)
                v[c] += g[c];
        }
        view.frame(v);
        ViewProbe::settle();
        Item *a = view.view.item(View::RegressionHistogramItemType, 0), *b = view.view.item(View::RegressionHistogramItemType, 1);
        QVERIFY(qAbs(a->position() - 8.3f) < 0.1f && qAbs(b->position() - 31.6f) < 0.1f);
        VRX_HistogramItemAxisWidget *strip = view.view.histogramAxisWidget(View::RegressionHistogramItemType);
        QwtScaleDraw *draw = strip->axisWidget()->scaleDraw();
        QVERIFY(strip->height() >= a->label().textSize(strip->axisWidget()->font()).height());
        // Two peaks on a wide view: whole panels in the strip's own font, on one row.
        const auto *panels = dynamic_cast<const Item::ScaleDraw *>(draw);
        QVERIFY(panels && !panels->shortPanels() && panels->panelRows() == 1);
        QCOMPARE(panels->panelFont().pointSizeF(), strip->axisWidget()->font().pointSizeF());

        // Each channel straight below its bar on the strip, a bar per channel, the fitted curve over each peak.
        QwtPlot *plot = view.view.qwtPlot();
        const auto onView = [&](double x, double y) {
            const QPointF p(plot->transform(QwtPlot::xBottom, x), plot->transform(QwtPlot::yLeft, y));
            return plot->canvas()->mapTo(&view.view, p.toPoint());
        };
        const QImage image = view.view.grab().toImage();
        const auto isCurve = [](QRgb c) { return qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) > 200; };
        for (int c = 1; c <= 40; ++c) {
            const int onStrip = strip->axisWidget()->mapTo(&view.view, QPoint(qRound(draw->scaleMap().transform(c)), 0)).x();
            QVERIFY2(qAbs(onView(c, 0).x() - onStrip) <= 1, qPrintable(QString::number(c)));
            const QRgb bar = image.pixel(onView(c + 0.2, v[c - 1] / 2));
            QVERIFY2(qRed(bar) > 150 && qGreen(bar) > 150 && qBlue(bar) < 80, qPrintable(QString::number(c)));
        }
        // A channel off the centre, clear of the marker line: the curve near the Gaussian's value, not far above it.
        for (const auto &p : peaks) {
            const double x = p[0] + 1, y = 1 + p[2] * std::exp(-0.5 / (p[1] * p[1]));
            int curvePixels = 0;
            for (double dy = -1; dy <= 1; dy += 0.05)
                curvePixels += isCurve(image.pixel(onView(x, y + dy)));
            QVERIFY(curvePixels > 0);
            QVERIFY(!isCurve(image.pixel(onView(x, y + 2))));
        }
    }

    void badFramesNeverTakeTheDisplayDown_data()
    {
        QTest::addColumn<int>("peaks");
        QTest::addColumn<QVector<double>>("frame");
        QTest::addColumn<QVector<double>>("fits");
        QTest::addColumn<QString>("deviceError");
        const QVector<double> profile = gaussianProfile(24, 12, 2, 10, 0.2), fits{11, 2, 10, 0, 90};
        QVector<double> withNan = profile, withInf = profile;
        withNan[11] = kNaN;
        withInf[3] = qInf();
        QTest::newRow("NaN channel") << 1 << withNan << fits << QString();
        QTest::newRow("infinite channel") << 1 << withInf << fits << QString();
        QTest::newRow("all NaN") << 1 << QVector<double>(24, kNaN) << fits << QString();
        QTest::newRow("all zero") << 1 << QVector<double>(24, 0.0) << fits << QString();
        QTest::newRow("beyond float") << 1 << QVector<double>(24, 1e300) << fits << QString();
        QTest::newRow("sum beyond float") << 1 << QVector<double>(24, 3e38) << fits << QString();
        QTest::newRow("more peaks than channels") << 30 << profile << fits << QString();
        QTest::newRow("device confidence NaN") << 1 << profile << QVector<double>{11, 2, 10, 0, kNaN} << "Fit failed.";
        QTest::newRow("device centre NaN") << 1 << profile << QVector<double>{kNaN, 2, 10, 0, 90} << "Fit failed.";
        QTest::newRow("single channel") << 1 << QVector<double>{5.0} << fits << QString();
    }

    void badFramesNeverTakeTheDisplayDown()
    {
        QFETCH(int, peaks);
        QFETCH(QVector<double>, frame);
        QFETCH(QVector<double>, fits);
        QFETCH(QString, deviceError);
        const int channels = frame.size();
        Probe view(channels);
        view.enableAll(peaks, true);
        view.model.setData(view.model.index(0, 1), Qt::Unchecked, Qt::CheckStateRole);
        view.view.SelectPoint1(QPointF(2, 0));
        view.view.SelectPoint2(QPointF(channels, 0));
        view.frame(frame, fits);
        static_cast<void>(view.view.grab());
        // A bar per channel; a hidden or non-finite channel as zero.
        QCOMPARE(int(view.view.bars()->dataSize()), channels);
        for (int c = 0; c < channels; ++c)
            QCOMPARE(view.view.bars()->sample(size_t(c)).value, c == 0 || !std::isfinite(frame[c]) ? 0.0 : frame[c]);
        // Each panel shows its error or a finite fit.
        for (auto type : kTypes) {
            for (int p = 0; p < peaks; ++p) {
                const Item *item = view.view.item(type, p);
                const QString text = item->label().text();
                QVERIFY2(std::isfinite(item->position()), qPrintable(text));
                if (item->errorMessage().isEmpty())
                    QVERIFY2(!text.contains(QLatin1String("<b>nan")), qPrintable(text));
                else
                    QVERIFY2(text.contains(QStringLiteral("rror: %1\n").arg(item->errorMessage())), qPrintable(text));
            }
        }
        if (!deviceError.isEmpty())
            QCOMPARE(view.view.item(View::PrecalculatedFitHistogramItemType)->errorMessage(), deviceError);
    }

    // Eight peaks with full statistics: every panel of every strip readable,
    // none printed over another. Narrower and narrower: smaller panels, then
    // two rows, then short ones (on more rows where they still meet).
    void manyPanelsNeverOverlap()
    {
        const int channels = 128, peaks = 8;
        Probe view(channels);
        view.enableAll(peaks, true);
        QVector<double> v(channels, 0.5), fits;
        for (int p = 0; p < peaks; ++p) {
            const QVector<double> g = gaussianProfile(channels, 16 * p + 7.6, 1.5, 10 + p);
            for (int c = 0; c < channels; ++c)
                v[c] += g[c];
            fits << 7.6 << 1.5 << 10 + p << 0 << 90;
        }
        int stage = 0;
        for (int width : {2600, 1600, 1200, 900, 500}) {
            view.view.resize(width, 900);
            view.frame(v, fits);
            for (View::HistogramItemTypes type : kTypes) {
                VRX_HistogramItemAxisWidget *strip = view.view.histogramAxisWidget(type);
                QTRY_VERIFY(strip->isVisible());
                QwtScaleWidget *scale = strip->axisWidget();
                const auto *draw = dynamic_cast<const Item::ScaleDraw *>(scale->scaleDraw());
                QVERIFY(draw);
                const QString where = QStringLiteral("%1 px, type %2").arg(width).arg(type);
                QVERIFY2(draw->panelFont().pointSizeF() >= Item::ScaleDraw::minimumPanelPointSize, qPrintable(where));
                QVector<QRectF> rects;
                for (int p = 0; p < peaks; ++p) {
                    Item *item = view.view.item(type, p);
                    QVERIFY2(item->errorMessage().isEmpty(), qPrintable(where + item->errorMessage()));
                    const QRectF r = draw->panelRect(item);
                    QVERIFY2(!r.isEmpty(), qPrintable(where));
                    // Inside the strip, however many rows it has.
                    QVERIFY2(r.top() >= -1 && r.bottom() <= scale->height() + 1, qPrintable(where));
                    for (const QRectF &other : qAsConst(rects))
                        QVERIFY2(!r.intersects(other), qPrintable(where));
                    rects << r;
                    // Short panels keep the full text as a tool tip.
                    const QString tip = draw->panelToolTip(r.center());
                    QCOMPARE(tip, draw->shortPanels() ? item->label().text() : QString());
                }
                const int now = draw->shortPanels() ? 3 : draw->panelRows() > 1 ? 2 : draw->panelFont() != scale->font();
                if (type == View::RegressionHistogramItemType) {
                    QVERIFY2(now >= stage, qPrintable(where)); // never back to a less readable stage
                    stage = now;
                }
            }
        }
        // The narrowest view ends on short panels; their tool tip is shown on request.
        QCOMPARE(stage, 3);
        QwtScaleWidget *scale = view.view.histogramAxisWidget(View::RegressionHistogramItemType)->axisWidget();
        const auto *draw = dynamic_cast<const Item::ScaleDraw *>(scale->scaleDraw());
        Item *item = view.view.item(View::RegressionHistogramItemType, 3);
        const QPoint at = draw->panelRect(item).center().toPoint();
        QHelpEvent help(QEvent::ToolTip, at, scale->mapToGlobal(at));
        QApplication::sendEvent(scale, &help);
        QTRY_COMPARE(QToolTip::text(), item->label().text());
        QToolTip::hideText();
    }

    // The strips widen the left axis for their titles; back in strip mode the
    // plot gets its width back.
    void leftAxisNarrowsAgainWithoutTheStrips()
    {
        ShownView view(16, 0, View::StripPlotMode, QSize(800, 500));
        for (int i = 0; i < 3; ++i)
            view.frame(gaussianProfile(16, 7.5, 1.5, 1, 0));
        const auto canvasLeft = [&] {
            ViewProbe::settle();
            return view.view.qwtPlot()->canvas()->geometry().left();
        };
        const int strip = canvasLeft();
        view.view.SetPlotMode(View::HistogramPlotMode);
        view.view.enableHistogramItem(View::GaussabolaHistogramItemType, 1, {}, true);
        view.frame(gaussianProfile(16, 7.5, 1.5, 1, 0));
        view.paint();
        QVERIFY2(canvasLeft() > strip, "the strip title did not widen the axis: nothing to undo");
        view.view.SetPlotMode(View::StripPlotMode);
        view.paint();
        QCOMPARE(canvasLeft(), strip);
    }
};

QTEST_MAIN(TestHistogramMode)
#include "tst_histogrammode.moc"
