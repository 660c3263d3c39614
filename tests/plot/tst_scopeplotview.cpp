// The plot view: time index, coalesced passes, modes, Y scales, the strip window and its scroll
// bar, scope sweeps, markers with labels, statistics and selection, and a scope display's chain.

#include "ViewProbe.h"

#include <PlotTimeIndex_p.h>

#include <ChannelNameDraw.h>
#include <ChannelNumberDraw.h>
#include <VRXAveragingProxyModel.h>
#include <VRXMultichannelProxyModel.h>
#include <VRXPlotColors.h>
#include <VRXSingleChannelDataModel.h>
#include <VRXZeroingProxyModel.h>

#include <QtGui/QStandardItemModel>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLayout>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QTableView>
#include <qwt_scale_map.h>
#include <qwt_symbol.h>

#include <cmath>

using namespace Corvid_Qt;

namespace {

// Wall-clock labels read the local time; the expected texts are in UTC.
const bool kUtc = qputenv("TZ", "UTC");

const double kNaN = qQNaN();
const int kRight = Qt::AlignRight | Qt::AlignTop;
const int kLeft = Qt::AlignLeft | Qt::AlignTop;
const int kStrip = VRXScopePlotView::StripPlotMode, kScope = VRXScopePlotView::ScopePlotMode;

bool near(double a, double b, double tolerance = 1e-9)
{
    return std::abs(a - b) <= tolerance;
}

template<class Draw> bool xAxisDrawIs(const ViewProbe &view)
{
    return dynamic_cast<const Draw *>(view.qwtPlot()->axisScaleDraw(QwtPlot::xBottom)) != nullptr;
}

// Times for the view's time index: row 0 is the header, rows 1..n hold them.
struct Buffer {
    QVector<double> times;
    int lastRow() const { return times.size(); }
    double operator()(int row) const { return times.at(row - 1); }
};

// The channel's colour on the canvas within `reach` pixels above or below (x, y).
bool channelDrawnAt(const ViewProbe &view, const QImage &image, double x, double y, int channel, int reach)
{
    const int px = qRound(view.qwtPlot()->canvasMap(QwtPlot::xBottom).transform(x));
    const int py = qRound(view.qwtPlot()->canvasMap(QwtPlot::yLeft).transform(y));
    for (int dy = -reach; dy <= reach; ++dy)
        if (image.pixelColor(px, qBound(0, py + dy, image.height() - 1)) == VRXPlotColors::forChannel(channel))
            return true;
    return false;
}

} // namespace

class tst_ScopePlotView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void timeIndexFindsTheBoundRow_data()
    {
        QTest::addColumn<QVector<double>>("times");
        QTest::addColumn<double>("t");
        QTest::addColumn<int>("atOrAfter");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("sorted");
        const QVector<double> sorted{1, 2, 2, 2, 5, 8};
        QTest::newRow("before the first") << sorted << 0.0 << 1 << 1 << true;
        QTest::newRow("on the first") << sorted << 1.0 << 1 << 2 << true;
        QTest::newRow("on a run of equal times") << sorted << 2.0 << 2 << 5 << true;
        QTest::newRow("between two times") << sorted << 3.0 << 5 << 5 << true;
        QTest::newRow("on the last") << sorted << 8.0 << 6 << -1 << true;
        QTest::newRow("past the last") << sorted << 9.0 << -1 << -1 << true;
        QTest::newRow("NaN is never reached") << sorted << kNaN << -1 << -1 << true;
        QTest::newRow("one row") << QVector<double>{4} << 4.0 << 1 << -1 << true;
        QTest::newRow("no rows") << QVector<double>{} << 4.0 << -1 << -1 << true;
        // Out of order, the first row from the front at the bound wins.
        QTest::newRow("step back") << QVector<double>{1, 6, 3, 7} << 5.0 << 2 << 2 << false;
        QTest::newRow("step back, later row") << QVector<double>{1, 6, 3, 7} << 6.5 << 4 << 4 << false;
        QTest::newRow("NaN in the buffer") << QVector<double>{1, kNaN, 3, 4} << 3.0 << 3 << 4 << false;
    }
    void timeIndexFindsTheBoundRow()
    {
        QFETCH(QVector<double>, times);
        QFETCH(double, t);
        const Buffer buffer{times};
        PlotTimeIndex index;
        QTEST(index.firstRow(PlotTimeIndex::AtOrAfter, t, buffer.lastRow(), buffer), "atOrAfter");
        QTEST(index.firstRow(PlotTimeIndex::After, t, buffer.lastRow(), buffer), "after");
        if (buffer.lastRow() > 0)
            QTEST(index.sorted(buffer.lastRow(), buffer), "sorted");
    }

    void timeIndexFollowsBufferChanges()
    {
        Buffer buffer{{1, 2, 3, 4, 5}};
        PlotTimeIndex index;
        QVERIFY(index.sorted(5, buffer));
        QCOMPARE(index.checkedRows(), 5);

        // A new row earlier than its predecessor turns the search into a scan.
        buffer.times << 0.5;
        QVERIFY(!index.sorted(6, buffer));
        QCOMPARE(index.firstRow(PlotTimeIndex::AtOrAfter, 0.0, 6, buffer), 1);

        // Dropping the oldest rows keeps the step back, at its new row.
        buffer.times.remove(0, 2);
        index.removeRows(1, 2);
        QCOMPARE(index.checkedRows(), 4);
        QVERIFY(!index.sorted(4, buffer));

        // Rewriting the rows from the step back on clears it.
        buffer.times[3] = 9;
        index.invalidateFrom(4);
        QVERIFY(index.sorted(4, buffer));
        QCOMPARE(index.firstRow(PlotTimeIndex::After, 5.0, 4, buffer), 4);

        // Rows gone without notice: the index starts over.
        buffer.times.resize(2);
        index.forgetRowsAfter(2);
        QCOMPARE(index.checkedRows(), 0);
        QVERIFY(index.sorted(2, buffer));

        // A changed row inside the checked ones is checked again, against the row before it.
        buffer.times[1] = 1;
        index.invalidateFrom(2);
        QVERIFY(!index.sorted(2, buffer));
    }

    void modelsAndModes()
    {
        ViewProbe view;
        view.SetPlotMode(kScope);
        QCOMPARE(view.plotMode(), kStrip);
        QStandardItemModel plain(5, 3);
        view.setModel(&plain);
        QCOMPARE(view.model(), nullptr);

        // Each mode shows its widget alone among the modes' and the four
        // statistics strips'; a strip window of 256 in 300 rows needs the bar.
        auto *model = new FakeDeviceModel(3, 300);
        view.showWith(model);
        const char *widgets[] = {"qwtPlot", "qwtPlot", "qwtPlot", "VRXSpectrogram", "VRXPositionPlot", "VRXSplitPlot"};
        for (int mode : {1, 3, 0, 4, 5, 2}) {
            view.SetPlotMode(mode);
            ViewProbe::settle();
            QCOMPARE(int(view.plotMode()), mode);
            QLayout *layout = view.viewport()->layout();
            for (int i = 0; i < layout->count(); ++i)
                QCOMPARE(layout->itemAt(i)->widget()->isVisible(), layout->itemAt(i)->widget()->objectName() == widgets[mode]);
            QCOMPARE(view.horizontalScrollBar()->isVisible(), mode == kStrip);
            QCOMPARE(view.curveCount(), mode == VRXScopePlotView::HistogramPlotMode ? 0 : 3);
        }
        view.SetPlotMode(6);
        view.SetPlotMode(-1);
        QCOMPARE(view.plotMode(), VRXScopePlotView::HistogramPlotMode);
        // The curves read the model; they go with it.
        delete model;
        QCOMPARE(view.curveCount(), 0);
        view.Plot();

        // The stored mode is applied to the next model; up to eight channels
        // are lettered on an axis from 0.5 to n + 0.5.
        FakeDeviceModel other(3);
        view.setModel(&other);
        QCOMPARE(view.plotMode(), VRXScopePlotView::HistogramPlotMode);
        QVERIFY(xAxisDrawIs<ChannelNameDraw>(view));
        QCOMPARE(view.axis(QwtPlot::xBottom).lowerBound(), 0.5);
        QCOMPARE(view.axis(QwtPlot::xBottom).upperBound(), 3.5);
        QCOMPARE(view.qwtPlot()->axisTitle(QwtPlot::xBottom).text(), QStringLiteral("Channel"));
    }

    void modelSignalsBeforeAPaintCostOnePass_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("insert");
        QTest::addColumn<bool>("hidden"); // until after the signals and a Plot() call
        QTest::newRow("strip, dataChanged") << kStrip << false << false;
        QTest::newRow("strip, insertions") << kStrip << true << false;
        QTest::newRow("strip, hidden") << kStrip << true << true;
        // 3 x 100 rows complete one more sweep of 256.
        QTest::newRow("scope, insertions") << kScope << true << false;
    }
    void modelSignalsBeforeAPaintCostOnePass()
    {
        QFETCH(int, mode);
        QFETCH(bool, insert);
        QFETCH(bool, hidden);
        ShownView shown(4, 300);
        shown.view.SetPlotMode(mode);
        ViewProbe::settle();
        shown.view.setVisible(!hidden);
        shown.model.seriesRequests = 0;
        const int paints = shown.view.canvasPaints();
        for (int i = 0; i < 3; ++i)
            insert ? shown.model.fill(100) : shown.model.setValue(5, 2, i);
        if (hidden)
            shown.view.Plot();
        QCOMPARE(shown.model.seriesRequests, 0);
        shown.view.show();
        ViewProbe::settle();
        QCOMPARE(shown.view.canvasPaints(), paints + 1);
        QCOMPARE(shown.model.seriesRequests, 4);
    }

    void yScales_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("positiveOnly");
        QTest::addColumn<double>("low"); // NaN: autoscale
        QTest::addColumn<double>("high");
        // The range is -2 .. 4.
        const double factors[] = {1.0, 0.5, 0.2, 0.1, 0.05, 0.02, 0.01, 0.005, 0.002, 0.001, 0.0005, 0.0002, 0.0001};
        for (bool positive : {false, true}) {
            const QByteArray suffix = positive ? " positive" : "";
            QTest::newRow("auto" + suffix) << 0 << positive << kNaN << kNaN;
            QTest::newRow("normalize" + suffix) << 1 << positive << (positive ? -0.1 : -1.0) << 1.0;
            for (int mode = 2; mode <= 14; ++mode)
                QTest::newRow(QByteArray::number(mode) + suffix)
                    << mode << positive << (positive ? -0.2 : -2.0) * factors[mode - 2] << 4.0 * factors[mode - 2];
            QTest::newRow("15 is auto" + suffix) << 15 << positive << kNaN << kNaN;
            QTest::newRow("-1 is auto" + suffix) << -1 << positive << kNaN << kNaN;
        }
    }
    void yScales()
    {
        QFETCH(int, mode);
        QFETCH(bool, positiveOnly);
        QFETCH(double, low);
        QFETCH(double, high);
        ShownView shown(1, 300); // reads 10 .. 309
        QVERIFY(shown.view.SetRange(-2.0, 4.0));
        QVERIFY(!shown.view.SetRange(-2.0, 4.0));
        // Setting positive-only afterwards applies the scale again.
        shown.view.SetYScaleMode(mode);
        shown.view.SetPositiveOnly(positiveOnly);
        ViewProbe::settle();
        QCOMPARE(shown.view.qwtPlot()->axisAutoScale(QwtPlot::yLeft), bool(std::isnan(low)));
        if (!std::isnan(low)) {
            QVERIFY(qFuzzyCompare(shown.view.axis(QwtPlot::yLeft).lowerBound(), low));
            QVERIFY(qFuzzyCompare(shown.view.axis(QwtPlot::yLeft).upperBound(), high));
        }
        // Normalized curves peak at 1; fixed scales from 50 down clip.
        const bool normalize = mode == VRXScopePlotView::PlotScaleNormalize;
        QwtPlotCurve *curve = shown.view.curve(1);
        QCOMPARE(curve->sample(curve->dataSize() - 1).y(), normalize ? 1.0 : 309.0);
        QCOMPARE(curve->testPaintAttribute(QwtPlotCurve::ClipPolygons), !std::isnan(low) && mode >= 3);
        QCOMPARE(shown.view.qwtPlot()->axisTitle(QwtPlot::yLeft).text(), normalize ? "Relative Value" : "A");
    }

    void stripWindowFillsFollowsAndScrollsBack()
    {
        // While filling, the newest sample stands at the right edge of a window
        // 256 samples wide and there is nothing to scroll.
        ShownView shown(1, 100);
        QScrollBar *bar = shown.view.horizontalScrollBar();
        const auto fill = [&](int n, double t0 = 0.01, double dt = 0.01) { shown.model.fill(n, t0, dt), ViewProbe::settle(); };
        const auto scroll = [&](int value) { bar->setValue(value), ViewProbe::settle(); };
        QVERIFY(near(shown.view.xLow(), shown.time(1) - 156 * (shown.time(100) - shown.time(1)) / 100.0));
        QCOMPARE(shown.view.xHigh(), shown.time(100));
        QVERIFY(bar->maximum() <= 0 && bar->value() == bar->maximum() && !bar->isVisible());

        // Then it follows; the lines run one sample past the left edge.
        fill(900);
        const double t1 = shown.time(1), tn = shown.time(1000), width = tn - shown.time(745);
        QCOMPARE(shown.view.xLow(), shown.time(745));
        QCOMPARE(shown.view.xHigh(), tn);
        const QwtPlotCurve *curve = shown.view.curve(1);
        QCOMPARE(int(curve->dataSize()), 1000 - 744 + 1);
        QCOMPARE(curve->sample(0).x(), shown.time(744));
        QVERIFY(bar->isVisible() && bar->minimum() == 0 && bar->value() == bar->maximum());
        QCOMPARE(bar->maximum(), qRound((tn - t1 - width) * 100000.0));
        QCOMPARE(bar->pageStep(), int(width * 100000.0));
        QCOMPARE(bar->singleStep(), qRound(width * 100000.0 / 256));

        // EnsureVisible, the header row and invalid indexes never scroll; the
        // other hints place row 300 (3.00 s) in a window 256 mean spacings wide.
        shown.view.scrollTo(shown.model.index(300, 1), QAbstractItemView::EnsureVisible);
        shown.view.scrollTo(shown.model.index(0, 1), QAbstractItemView::PositionAtTop);
        shown.view.scrollTo(QModelIndex(), QAbstractItemView::PositionAtTop);
        ViewProbe::settle();
        QCOMPARE(shown.view.xLow(), shown.time(745));
        const double back = (tn - t1) / 1000.0 * 256.0;
        const std::pair<QAbstractItemView::ScrollHint, double> hints[] = {{QAbstractItemView::PositionAtTop, 3.0},
            {QAbstractItemView::PositionAtBottom, 3.0 - back}, {QAbstractItemView::PositionAtCenter, 3.0 - back / 2}};
        for (const auto &hint : hints) {
            shown.view.scrollTo(shown.model.index(300, 1), hint.first);
            ViewProbe::settle();
            QVERIFY2(near(shown.view.xLow(), hint.second, 2e-5), qPrintable(QString::number(shown.view.xLow(), 'g', 10)));
            QVERIFY(near(shown.view.xHigh(), hint.second + back, 2e-5));
            QCOMPARE(shown.view.horizontalOffset(), bar->value());
        }

        // At the start the lines stop one sample past the right edge, and the
        // window stays while data arrives.
        scroll(0);
        QCOMPARE(shown.view.xLow(), t1);
        QVERIFY(near(shown.view.xHigh(), t1 + back));
        QCOMPARE(curve->sample(0).x(), t1);
        QVERIFY(curve->sample(curve->dataSize() - 1).x() > shown.view.xHigh());
        QVERIFY(curve->sample(curve->dataSize() - 2).x() <= shown.view.xHigh());
        fill(50);
        QCOMPARE(bar->value(), 0);
        QCOMPARE(shown.view.xLow(), t1);

        // Back at the end it follows again.
        scroll(bar->maximum());
        fill(10);
        QCOMPARE(shown.view.xHigh(), shown.time(1060));
        QCOMPARE(bar->value(), bar->maximum());

        // A width hint from the model sets the window in seconds.
        shown.model.hintWidth = 0.5;
        fill(1);
        QVERIFY(near(shown.view.xLow(), shown.time(1061) - 0.5));
        scroll(100000);
        QVERIFY(near(shown.view.xLow(), t1 + 1.0) && near(shown.view.xHigh(), t1 + 1.5));

        // Samples an hour apart: 1e-5 s scroll units would overflow an int, so
        // the bar counts in coarser ones.
        shown.model.hintWidth = 0.0;
        fill(1000, 3600.0, 3600.0);
        scroll(bar->maximum());
        const double following = shown.view.xLow();
        QVERIFY(bar->maximum() > 0 && bar->maximum() <= 1000000000 && following > 3600.0);
        scroll(bar->maximum() / 2);
        QVERIFY2(std::abs(shown.view.xLow() - (t1 + following) / 2) < 3600.0, qPrintable(QString::number(shown.view.xLow())));

        // Outside strip mode the hints do nothing.
        shown.view.SetPlotMode(kScope);
        const int value = bar->value();
        shown.view.scrollTo(shown.model.index(900, 1), QAbstractItemView::PositionAtTop);
        QCOMPARE(bar->value(), value);
        QCOMPARE(shown.view.horizontalOffset(), 0);
    }

    void scopeCatchesUpOneSweepPerPaint()
    {
        ShownView shown(2, 600);
        shown.view.SetPlotMode(kScope);
        shown.paint();
        const auto sweepShown = [&](int first) {
            return shown.view.xLow() == shown.time(first) && shown.view.xHigh() == shown.time(first + 255);
        };
        // Entering scope mode on a long run starts at its newest complete sweep.
        QCOMPARE(int(shown.view.curve(1)->dataSize()), 256);
        QVERIFY(sweepShown(345));
        QCOMPARE(shown.view.curve(2)->sample(255).y(), 20.0 + 599);

        // Rows 601 .. 700 are not a full sweep: the last one stays.
        shown.model.fill(100);
        shown.model.seriesRequests = 0;
        shown.paint();
        ViewProbe::settle();
        QCOMPARE(shown.model.seriesRequests, 0);
        QVERIFY(sweepShown(345));

        // Two sweeps complete at once are drawn in order, one per paint; the
        // first pass asks for the next.
        shown.model.fill(412);
        shown.paint();
        QVERIFY(sweepShown(601));
        ViewProbe::settle();
        QVERIFY(sweepShown(857));
        shown.model.seriesRequests = 0;
        shown.view.RequestReplotRefresh();
        ViewProbe::settle();
        QCOMPARE(shown.model.seriesRequests, 2);
        QVERIFY(sweepShown(857));

        // A model reset that brings a run with it: its newest sweep as well.
        shown.model.Clear();
        shown.model.fill(600);
        ViewProbe::settle();
        QVERIFY(sweepShown(345));

        // A full buffer drops its oldest row with every new one; the next sweep
        // starts right after the last one drawn.
        for (int i = 0; i < 256; ++i)
            shown.model.rollRow(100.0 + i, 2.0);
        ViewProbe::settle();
        QCOMPARE(shown.view.xLow(), 100.0);
        QCOMPARE(shown.view.xHigh(), 355.0);
    }

    void markers_data()
    {
        // Three channels, 300 rows from 0.01 s: the window is 0.45 .. 3.0 s,
        // labels turn left in its last quarter, from 2.3625 s; at 0.50 s (row 50)
        // the channels read 59, 69 and 79. A marker snaps to the next sample and
        // takes the channel nearest the click, the lower on a tie, skipping
        // hidden ones; marker 1 measures on marker 0's channel.
        QTest::addColumn<QPointF>("click0");
        QTest::addColumn<QPointF>("click1");
        QTest::addColumn<int>("hidden");
        QTest::addColumn<bool>("rate"); // an x axis that is not time, no y units
        QTest::addColumn<QString>("text0"); // contained in the label
        QTest::addColumn<QString>("text1");
        QTest::addColumn<int>("align0");
        QTest::addColumn<int>("align1");
        QTest::newRow("statistics 0.01 s apart")
            << QPointF(0.495, 60) << QPointF(0.505, 0) << 0 << false << "Time (seconds): 5.000e-01\nChannel 1\n59"
            << "Time (seconds): 5.100e-01\nChannel 1\n60\n   Period:  1.000e-02 s\nFrequency: 1.000e+02 Hz\n"
               "      Sum:          119\n     Mean:         59.5\n      RMS:      59.5021\n Std. Dev:     0.707107"
            << kLeft << kRight;
        QTest::newRow("statistics with marker 1 left") << QPointF(0.535, 60) << QPointF(0.505, 0) << 0 << false
            << "Channel 1\n63" << "\n      Sum:          246\n     Mean:         61.5\n" << kRight << kLeft;
        QTest::newRow("nearest curve") << QPointF(0.495, 70) << QPointF(0.595, 100) << 0 << false << "Channel 2\n69"
                                       << "Channel 2\n79" << kLeft << kRight;
        // Both on one sample: no frequency to show.
        QTest::newRow("tie takes the lower, one sample") << QPointF(0.495, 64) << QPointF(0.499, 0) << 0 << false
            << "Channel 1\n59" << "Channel 1\n59\n   Period:  0.000e+00 s\nFrequency:          N/A\n" << kLeft << kRight;
        QTest::newRow("hidden channel is never chosen") << QPointF(0.495, 69) << QPointF(1.999, 69) << 2 << false
            << "Channel 1\n59" << "Channel 1\n209" << kRight << kRight;
        QTest::newRow("both in the last quarter") << QPointF(2.499, 0) << QPointF(2.899, 0) << 0 << false
            << "Channel 1\n259" << "Channel 1\n299" << kLeft << kLeft;
        QTest::newRow("no statistics off a time axis") << QPointF(0.495, 0) << QPointF(0.505, 0) << 0 << true
            << "Rate (Hz): 5.000e-01\nChannel 1\n59" << "Rate (Hz): 5.100e-01\nChannel 1\n60" << kLeft << kRight;
        QTest::newRow("far, one in the last quarter") << QPointF(0.499, 0) << QPointF(2.899, 0) << 0 << false
            << "Channel 1" << "Channel 1" << kRight << kLeft;
    }
    void markers()
    {
        QFETCH(QPointF, click0);
        QFETCH(QPointF, click1);
        QFETCH(int, hidden);
        QFETCH(bool, rate);
        QFETCH(QString, text0);
        QFETCH(QString, text1);
        const Units::Hz hz;
        ShownView shown(3, 300);
        if (rate) {
            shown.model.setXUnits(&hz);
            shown.model.SetUnits(nullptr);
        }
        if (hidden)
            QVERIFY(shown.model.setData(shown.model.index(0, hidden), Qt::Unchecked, Qt::CheckStateRole));
        shown.view.click(click0, click1);
        QCOMPARE(shown.view.qwtPlot()->axisTitle(QwtPlot::xBottom).text(), rate ? "Rate (Hz)" : "Time (seconds)");
        QCOMPARE(shown.view.qwtPlot()->axisTitle(QwtPlot::yLeft).text(), rate ? "Number" : "A");
        for (int i = 0; i < 2; ++i) {
            const QString text = shown.view.markerText(i);
            QVERIFY(shown.view.markerShown(i));
            QVERIFY2(text.contains(i ? text1 : text0), qPrintable(text));
            // Marker 1 carries the statistics between the two on a time axis.
            QCOMPARE(text.contains(QStringLiteral("Period:")), i == 1 && !rate);
            QTEST(int(shown.view.plotMarker(i)->labelAlignment()), i ? "align1" : "align0");
        }
    }

    void markerLabelsDrawAsQwtDoes()
    {
        // The view's markers keep their labels as images; drawn again from the
        // image they must look as QwtPlotMarker draws them.
        ViewProbe view;
        QwtPlotMarker *cached = view.plotMarker(0).data();
        QwtPlotMarker plain;
        plain.setSymbol(new QwtSymbol(QwtSymbol::Diamond, QBrush(Qt::yellow), QPen(Qt::yellow), QSize(5, 5)));
        plain.setLineStyle(cached->lineStyle());
        QwtText label(QStringLiteral("Time (seconds): 5.100e-01\nChannel 1\n60\n   Period:  1.000e-02 s"));
        label.setColor(VRXPlotColors::kLabelTextColor);
        label.setBackgroundBrush(QBrush(VRXPlotColors::kLabelBackgroundColor));
        label.setFont(QFont(QStringLiteral("Monospace"), 9));
        QwtScaleMap xMap, yMap;
        xMap.setPaintInterval(0.0, 400.0), xMap.setScaleInterval(0.0, 100.0);
        yMap.setPaintInterval(300.0, 0.0), yMap.setScaleInterval(0.0, 20.0);
        // Between pixels, on either side, below the point; wide and cosmetic lines.
        const struct {
            int alignment;
            double x, penWidth;
        } placements[] = {{kRight, 50.13, 1.0}, {kLeft, 49.9, 0.0}, {Qt::AlignHCenter | Qt::AlignBottom, 50.0, 3.0}};
        for (const auto &placement : placements) {
            QImage images[2];
            for (int pass = 0; pass < 3; ++pass) { // the cached one twice: the second draw is from the cache
                QwtPlotMarker *marker = pass ? cached : &plain;
                marker->setLabel(label);
                marker->setLabelAlignment(Qt::Alignment(placement.alignment));
                marker->setValue(placement.x, 10.0);
                marker->setLinePen(QPen(Qt::cyan, placement.penWidth));
                QImage &image = images[pass ? 0 : 1] = QImage(400, 300, QImage::Format_RGB32);
                image.fill(Qt::black);
                QPainter painter(&image);
                marker->draw(&painter, xMap, yMap, QRectF(0, 0, 400, 300));
            }
            int worst = 0;
            for (int y = 0; y < 300; ++y)
                for (int x = 0; x < 400; ++x)
                    for (int shift : {0, 8, 16})
                        worst = std::max(worst, std::abs(int(images[0].pixel(x, y) >> shift & 0xff)
                                                         - int(images[1].pixel(x, y) >> shift & 0xff)));
            // Text blended onto the label background first may differ by rounding.
            QVERIFY2(worst <= 3, qPrintable(QStringLiteral("alignment %1: up to %2").arg(placement.alignment).arg(worst)));
        }
    }

    void sharedSelectionRequestsAPassOwnSelectionDoesNot()
    {
        ShownView shown(3);
        shown.view.click(QPointF(0.195, 0.0), QPointF(0.295, 0.0));
        QItemSelectionModel *selection = shown.view.selectionModel();
        QCOMPARE(selection->currentIndex(), shown.model.index(20, 1));
        QCOMPARE(shown.view.plotMarker(0)->linePen().color(), VRXPlotColors::forChannel(1));

        // That selection, made during the pass, asked for no further pass, also
        // when new rows widen the selected column.
        shown.model.seriesRequests = 0;
        int paints = shown.view.canvasPaints();
        ViewProbe::settle();
        QCOMPARE(shown.view.canvasPaints(), paints);
        shown.model.fill(1);
        ViewProbe::settle();
        QCOMPARE(shown.view.canvasPaints(), paints + 1);
        QCOMPARE(shown.model.seriesRequests, 3);
        QVERIFY(selection->isSelected(shown.model.index(51, 1)));
        // It binds the channel even when another curve passes closer.
        shown.model.setValue(20, 1, 500.0);
        ViewProbe::settle();
        QVERIFY(shown.view.markerText(0).contains(QStringLiteral("Channel 1\n500")));

        // A selection made elsewhere (a table sharing the selection model) binds
        // both markers to its column and asks for one pass.
        shown.model.seriesRequests = 0;
        paints = shown.view.canvasPaints();
        shown.view.selectColumn(3);
        QCOMPARE(shown.model.seriesRequests, 0);
        ViewProbe::settle();
        QCOMPARE(shown.view.canvasPaints(), paints + 1);
        QCOMPARE(shown.model.seriesRequests, 3);
        QVERIFY(shown.view.markerText(0).contains(QStringLiteral("Channel 3\n")));
        QVERIFY(shown.view.markerText(1).contains(QStringLiteral("Channel 3\n")));
        // A rubber band over the plot selects nothing.
        shown.view.setSelection(QRect(1, 2, 3, 4), QItemSelectionModel::ClearAndSelect);
        QVERIFY(selection->isColumnSelected(3, QModelIndex()));
        QCOMPARE(shown.view.indexAt(QPoint(10, 10)), QModelIndex());
    }

    void markersTakenAway()
    {
        ShownView shown(2, 300);
        const auto shownCount = [&] { return int(shown.view.markerShown(0)) + int(shown.view.markerShown(1)); };
        const auto placeBoth = [&] {
            const int last = shown.model.rowCount() - 1;
            shown.view.click(QPointF(shown.time(last - 50), 0.0), QPointF(shown.time(last - 40), 0.0));
            return shownCount();
        };
        // Disabled markers ignore clicks and selections.
        shown.view.enablePlotMarker(false);
        QCOMPARE(placeBoth(), 0);
        shown.view.selectColumn(2);
        QCOMPARE(shownCount(), 0);
        shown.view.enablePlotMarker(true);

        // A full buffer rolling on keeps the markers on their samples; once
        // those rows have rolled out they wait hidden, still selected.
        QCOMPARE(placeBoth(), 2);
        for (int i = 0; i < 290; ++i) {
            shown.model.rollRow(3.005 + i * 0.01, 1.0);
            if (i == 10) {
                ViewProbe::settle();
                QCOMPARE(shownCount(), 2);
            }
        }
        ViewProbe::settle();
        QCOMPARE(shownCount(), 0);
        QVERIFY(shown.view.selectionModel()->isSelected(shown.model.index(1, 1)));

        // Markers clicked past the newest sample or before the oldest wait
        // hidden, bind no channel; the selection stays where it was.
        QCOMPARE(placeBoth(), 2);
        const QModelIndex current = shown.view.selectionModel()->currentIndex();
        shown.view.click(QPointF(50.0, 0.0), QPointF(0.295, 0.0));
        QCOMPARE(shownCount(), 0);
        QVERIFY(!shown.view.markerText(0).contains(QStringLiteral("Time (s)")));
        QCOMPARE(shown.view.selectionModel()->currentIndex(), current);

        // A cleared model leaves no curves and no labels, also in scope mode;
        // with as many channels as before, new data brings the same curves back.
        shown.model.fill(300, 3.1);
        shown.view.SetPlotMode(kScope);
        ViewProbe::settle();
        const double low = shown.view.xLow(), width = shown.view.xHigh() - low; // the sweep on screen
        shown.view.click(QPointF(low + 0.2 * width, 0.0), QPointF(low + 0.3 * width, 0.0));
        QCOMPARE(shownCount(), 2);
        QwtPlotCurve *before = shown.view.curve(1);
        shown.model.Clear();
        ViewProbe::settle();
        QCOMPARE(shown.view.curveCount(), 0);
        QVERIFY(shown.view.markerText(0).isEmpty() && shown.view.markerText(1).isEmpty());
        shown.model.fill(300);
        ViewProbe::settle();
        QCOMPARE(shown.view.curve(1), before);
    }

    // Scrolled out and back, then its channel hidden and shown again.
    void markerWaitsOnItsChannelWhileNotDrawn()
    {
        ShownView shown(3, 1000);
        QTableView host; // a table sharing the view's selection
        host.setModel(&shown.model);
        host.setSelectionModel(shown.view.selectionModel());
        QItemSelectionModel *selection = shown.view.selectionModel();
        shown.view.SelectPoint1(QPointF(8.995, 919.0)); // row 900 of channel 2 reads 919
        ViewProbe::settle();
        // Marker 1, never placed, shows nothing.
        QVERIFY(!shown.view.markerShown(1) && shown.view.markerText(1).isEmpty());
        for (int step = 0; step < 4; ++step) {
            const bool scroll = step < 2, away = step % 2 == 0;
            if (scroll)
                shown.view.horizontalScrollBar()->setValue(away ? 0 : shown.view.horizontalScrollBar()->maximum());
            else
                QVERIFY(shown.model.setData(shown.model.index(0, 2), away ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole));
            ViewProbe::settle();
            shown.paint();
            QCOMPARE(shown.view.markerShown(0), !away);
            QVERIFY(!shown.view.markerShown(1));
            QVERIFY(shown.view.markerText(0).endsWith(QStringLiteral("Channel 2\n919")));
            QCOMPARE(shown.view.plotMarker(0)->linePen().color(), VRXPlotColors::forChannel(2));
            QCOMPARE(selection->currentIndex(), shown.model.index(900, 2));
            QVERIFY(!selection->isColumnSelected(0, QModelIndex()));
        }
    }

    void moreChannelsThanCurves()
    {
        QTest::ignoreMessage(QtWarningMsg, "VRXScopePlotView: the model has 300 channels; the first 256 are drawn as curves");
        ShownView shown(300, 20);
        QCOMPARE(shown.view.curveCount(), 256);
        QVERIFY(shown.model.seriesRequests > 0 && shown.model.seriesRequests % 256 == 0);
        QVERIFY(shown.view.curve(256) && !shown.view.curve(257));

        // A column beyond the curves, selected elsewhere, has no curve to put
        // a marker on, and nothing past the curve table is read.
        shown.view.selectColumn(290);
        ViewProbe::settle();
        QVERIFY(!shown.view.markerShown(0));

        // More channels are numbered; back in a time mode the axis draws plainly.
        shown.view.SetPlotMode(VRXScopePlotView::HistogramPlotMode);
        QVERIFY(xAxisDrawIs<ChannelNumberDraw>(shown.view));
        shown.view.SetPlotMode(kScope);
        QVERIFY(!xAxisDrawIs<ChannelNameDraw>(shown.view) && !xAxisDrawIs<ChannelNumberDraw>(shown.view));
        shown.model.fill(300);
        ViewProbe::settle();
        QCOMPARE(shown.view.curveCount(), 256);
        QVERIFY(!shown.view.grab().isNull());

        // A channel added without a reset is drawn at once.
        ShownView grown(2, 20);
        grown.model.addChannel();
        ViewProbe::settle();
        QVERIFY(grown.view.curve(3));
        QCOMPARE(grown.view.curve(3)->sample(0).y(), 30.0);
        grown.model.removeLastChannel();
        ViewProbe::settle();
        QVERIFY(grown.view.curve(2) && !grown.view.curve(3));
    }

    void clockResetAndOddValuesKeepTheChartGoingForward()
    {
        // 300 samples from 0.01 s, then the device clock starts again at 0.1 s,
        // before the window's start, with channel values from 500 and 600 up.
        ShownView shown(2, 300);
        QVector<QVector<double>> run(3);
        for (int k = 0; k < 100; ++k)
            run[0] << 0.1 + 0.01 * k, run[1] << 500.0 + k, run[2] << 600.0 + k;
        shown.model.append(run);
        ViewProbe::settle();
        const auto curvesDrawn = [&](const char *when) {
            QVERIFY2(shown.view.xLow() < shown.view.xHigh() && near(shown.view.xHigh(), 1.09), when);
            QVERIFY2(!shown.view.qwtPlot()->axisTitle(QwtPlot::xBottom).text().isEmpty(), when);
            // Only the newest run is drawn, in each channel's colour (right of
            // the markers, whose labels turn left).
            QCOMPARE(shown.view.curve(1)->sample(0).x(), 0.1);
            const QImage image = shown.view.qwtPlot()->canvas()->grab().toImage();
            for (int c = 1; c <= 2; ++c)
                QVERIFY2(channelDrawnAt(shown.view, image, 0.95, 400.0 + 100 * c + 85, c, 2), when);
        };
        curvesDrawn("after the reset");
        QCOMPARE(shown.model.rowCount(), 401); // the older samples stay

        // Markers snap within the newest run, not to the run before.
        shown.view.click(QPointF(0.295, 550.0), QPointF(0.795, 550.0));
        QVERIFY(shown.view.markerShown(0) && shown.view.markerShown(1));
        QVERIFY(near(shown.view.plotMarker(0)->xValue(), 0.3));
        // Rows 21..71 of the newest run read 520..570.
        QVERIFY2(shown.view.markerText(1).contains(QStringLiteral("\n      Sum:        27795\n     Mean:          545\n")),
                 qPrintable(shown.view.markerText(1)));

        // Newest times that are not finite leave the window where it was.
        for (double t : {kNaN, qInf(), -qInf()}) {
            shown.model.append({{t}, {1e9}, {1e9}});
            ViewProbe::settle();
            curvesDrawn("after a time that is not finite");
        }
        // Values that are not finite are drawn around; between the markers
        // they leave no statistic to show.
        shown.model.setValue(350, 1, kNaN);
        shown.model.setValue(351, 2, qInf());
        ViewProbe::settle();
        QCOMPARE(shown.view.curveCount(), 2);
        const QString text = shown.view.markerText(1);
        QVERIFY2(text.contains(QStringLiteral("      Sum:          N/A\n     Mean:          N/A\n")), qPrintable(text));
        QVERIFY2(!text.contains(QLatin1String("nan")) && !text.contains(QLatin1String("inf")), qPrintable(text));

        // The times that are not finite then sit amid the rows of scope sweeps
        // and of the strip window.
        for (int mode : {kScope, kStrip}) {
            shown.view.SetPlotMode(mode);
            shown.model.fill(600);
            ViewProbe::settle();
            QVERIFY(shown.view.curveCount() == 2 && !shown.view.grab().isNull());
        }

        // Scope sweeps of a run that repeats an older run's times: markers
        // snap within the sweep.
        ShownView scope(1, 600, kScope);
        QVector<QVector<double>> again(2);
        for (int k = 0; k < 600; ++k)
            again[0] << 0.1 + 0.01 * k, again[1] << 1000.0 + k;
        scope.model.append(again);
        ViewProbe::settle();
        scope.view.click(QPointF(scope.view.xLow() + 0.5, 0.0), QPointF(scope.view.xLow() + 0.8, 0.0));
        QVERIFY(scope.view.markerShown(0) && scope.view.markerShown(1));
    }

    // The view paints the viewport's background itself: around the canvas,
    // under the axes and beside the scroll bar it shows the palette's brush,
    // whatever was in the image before.
    void backgroundAroundTheCanvasIsThePalettes_data()
    {
        QTest::addColumn<QBrush>("brush");
        QTest::newRow("colour") << QBrush(QColor(12, 200, 90));
        QLinearGradient gradient(0, 0, 800, 0);
        gradient.setColorAt(0, Qt::yellow);
        gradient.setColorAt(1, Qt::cyan);
        QTest::newRow("gradient") << QBrush(gradient);
    }
    void backgroundAroundTheCanvasIsThePalettes()
    {
        QFETCH(QBrush, brush);
        ShownView shown(1, 300);
        QPalette palette = shown.view.palette();
        palette.setBrush(QPalette::Window, brush);
        shown.view.setPalette(palette);
        ViewProbe::settle();
        const QColor stale(255, 0, 255);
        // Rendered away from the image's corner, as a child is in its window.
        const QPoint corner(7, 5);
        QImage image(shown.view.size() + QSize(corner.x(), corner.y()), QImage::Format_ARGB32_Premultiplied);
        image.fill(stale);
        shown.view.render(&image, corner);
        const QRect canvas(shown.view.qwtPlot()->canvas()->mapTo(&shown.view, QPoint()),
                           shown.view.qwtPlot()->canvas()->size());
        QVERIFY(canvas.top() >= 2 && canvas.right() + 3 < image.width());
        for (const QPoint &at : {QPoint(canvas.center().x(), canvas.top() - 2), QPoint(canvas.right() + 3, canvas.center().y()),
                                 QPoint(2, canvas.center().y())}) {
            const QColor shownThere = image.pixelColor(at + corner);
            QVERIFY2(shownThere != stale, qPrintable(QStringLiteral("(%1, %2)").arg(at.x()).arg(at.y())));
            if (brush.style() == Qt::SolidPattern)
                QCOMPARE(shownThere, brush.color());
        }
    }

    void scrollHintsPlaceRowsOfTheNewestRun()
    {
        // 1000 samples 10 ms apart, then the clock restarts with 1000 more 1 ms
        // apart: the strip scrolls over the newest run only, so the hints are
        // worked out from its first time and its spacing.
        ShownView shown(1, 1000);
        shown.model.fill(1000, 0.005 - shown.model.rowCount() * 0.001, 0.001);
        ViewProbe::settle();
        QScrollBar *bar = shown.view.horizontalScrollBar();
        const double width = 256 * (shown.time(2000) - shown.time(1001)) / 1000;
        const auto placed = [&](int row, QAbstractItemView::ScrollHint hint, double xLow) {
            shown.view.scrollTo(shown.model.index(row, 1), hint);
            ViewProbe::settle();
            return near(shown.view.xLow(), xLow, 2e-5) && near(shown.view.xHigh(), xLow + width, 2e-5);
        };
        QVERIFY(placed(1500, QAbstractItemView::PositionAtTop, shown.time(1500)));
        QVERIFY(placed(1600, QAbstractItemView::PositionAtBottom, shown.time(1600) - width));
        // A row before the restart is not on the strip's scale.
        const int value = bar->value();
        shown.view.scrollTo(shown.model.index(500, 1), QAbstractItemView::PositionAtTop);
        QCOMPARE(bar->value(), value);
        // Nor does a newest time that is not finite stop the hints.
        shown.model.append({{kNaN}, {1.0}});
        QVERIFY(placed(1200, QAbstractItemView::PositionAtTop, shown.time(1200)));
    }

    void epochTimesReadAsWallClock_data()
    {
        QTest::addColumn<double>("t0");
        QTest::addColumn<double>("dt");
        QTest::addColumn<QString>("tickPattern");
        QTest::addColumn<QString>("markerTime"); // of the sample 101 steps in
        // 1700000000 s is 2023-11-14 22:13:20 UTC; 1700006400 s is midnight.
        QTest::newRow("short span") << 1700000000.0 << 0.01 << "^22:13:2\\d\\.\\d\\d\\d$" << "2023-11-14 22:13:21.010";
        QTest::newRow("long span") << 1700000000.0 << 1.0 << "^22:1\\d:\\d\\d$" << "2023-11-14 22:15:01.000";
        QTest::newRow("across midnight") << 1700006400.0 - 200 << 1.0 << "^\\d\\d:\\d\\d:\\d\\d\\n2023-11-1[45]$"
                                         << "2023-11-14 23:58:21.000";
    }
    void epochTimesReadAsWallClock()
    {
        QFETCH(double, t0);
        QFETCH(double, dt);
        QFETCH(QString, tickPattern);
        QFETCH(QString, markerTime);
        QVERIFY(kUtc);
        FakeDeviceModel model(1);
        model.fill(300, t0, dt);
        ViewProbe view;
        view.showWith(&model);
        QCOMPARE(view.qwtPlot()->axisTitle(QwtPlot::xBottom).text(), QStringLiteral("Time (local)"));
        const QList<double> ticks = view.axis(QwtPlot::xBottom).ticks(QwtScaleDiv::MajorTick);
        QVERIFY(ticks.size() >= 3);
        QStringList texts;
        for (double tick : ticks)
            texts << view.qwtPlot()->axisScaleDraw(QwtPlot::xBottom)->label(tick).text();
        QVERIFY2(texts.filter(QRegularExpression(tickPattern)) == texts, qPrintable(texts.join(QLatin1String(" | "))));
        texts.removeDuplicates();
        QCOMPARE(texts.size(), ticks.size());

        view.click(QPointF(t0 + 100.5 * dt, 60.0), QPointF(t0 + 200.5 * dt, 60.0));
        QVERIFY2(view.markerText(0).startsWith("Time (local): " + markerTime + "\nChannel 1\n"), qPrintable(view.markerText(0)));
        QVERIFY2(view.markerText(1).contains(QStringLiteral("   Period:  %1 s\n").arg(100 * dt, 0, 'e', 3)),
                 qPrintable(view.markerText(1)));

        // Back to relative times: plain labels again.
        model.Clear();
        model.fill(300);
        ViewProbe::settle();
        QCOMPARE(view.qwtPlot()->axisTitle(QwtPlot::xBottom).text(), QStringLiteral("Time (seconds)"));
        QCOMPARE(view.qwtPlot()->axisScaleDraw(QwtPlot::xBottom)->label(2.0).text(), QStringLiteral("2"));

        // Nanoseconds since the epoch passed as seconds lie beyond any date.
        model.Clear();
        model.fill(300, 1.7e18, 1e7);
        view.click(QPointF(1.7e18 + 100.5e7, 60.0), QPointF(1.7e18 + 200.5e7, 60.0));
        QCOMPARE(view.qwtPlot()->axisTitle(QwtPlot::xBottom).text(), QStringLiteral("Time (seconds)"));
        QVERIFY2(view.markerText(0).startsWith("Time (seconds): 1.700e+18\n"), qPrintable(view.markerText(0)));
    }

    void deviationOfASmallSpreadOnALargeOffset()
    {
        // 1e6 ± 1e-4 in turns: the one-pass formula cancels to 0.
        FakeDeviceModel model(1);
        QVector<QVector<double>> columns(2);
        for (int i = 0; i < 10; ++i)
            columns[0] << 0.01 * (i + 1), columns[1] << 1e6 + (i % 2 ? 1e-4 : -1e-4);
        model.append(columns);
        ViewProbe view;
        view.showWith(&model);
        view.click(QPointF(0.005, 1e6), QPointF(0.095, 1e6));
        const QString last = view.markerText(1).split(QLatin1Char('\n')).last();
        QCOMPARE(last.left(10), QStringLiteral(" Std. Dev:"));
        QVERIFY2(std::abs(last.mid(10).toDouble() / (1e-4 * std::sqrt(10.0 / 9.0)) - 1) < 1e-4, qPrintable(last));
    }

    void followsTheModelChain()
    {
        // Single-channel device models merged, averaged and zeroed, as a scope
        // display builds them; merged channels are named after their source.
        VRXSingleChannelDataModel first(500), named(500);
        named.setChannelName(QStringLiteral("I7"));
        VRXMultichannelProxyModel merged;
        merged.addSourceModel(&first);
        merged.addSourceModel(&named);
        VRXAveragingProxyModel averaged;
        averaged.setSourceModel(&merged);
        VRXZeroingProxyModel zeroed;
        zeroed.setSourceModel(&averaged);
        QLabel samples;
        ViewProbe view;
        view.SetBufferSizeLabel(&samples);
        view.showWith(&zeroed);
        for (int i = 1; i <= 800; ++i)
            first.AddData(i * 1e-3, 1.0), named.AddData(i * 1e-3, 2.0);
        ViewProbe::settle();
        // The label counts the samples of the model at the bottom of the chain.
        QCOMPARE(samples.text(), QStringLiteral("500 Samples"));
        view.click(QPointF(0.7005, 2.0), QPointF(0.7105, 0.0));
        QVERIFY(view.markerText(0).endsWith(QStringLiteral("Channel I7\n2")));

        // Without a model there is nothing to count; a deleted label is let go.
        view.setModel(nullptr);
        view.Plot();
        QCOMPARE(samples.text(), QStringLiteral("0 Samples"));
        {
            QLabel gone;
            view.SetBufferSizeLabel(&gone);
        }
        view.Plot();
    }
};

QTEST_MAIN(tst_ScopePlotView)
#include "tst_scopeplotview.moc"
