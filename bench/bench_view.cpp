// The scope plot view on the usual chain: eight single-channel models of
// 100000 samples merged, averaged and zeroed, rendered at 1200 x 600.
//
//  strip / scope    one plot pass and the paint that carries it, 256 points
//                   per channel, against the floor and against the usual Qwt
//                   way (each window copied into a QPolygonF, setSamples,
//                   replot), both rendering the same widget size. The floor
//                   is the faster of two ways to put the same points into a
//                   cleared image with nothing else: bare drawPolyline calls
//                   from polygons mapped in advance, or the span floor.
//  strip_wide       the same over 100000 and 10000 points per channel;
//  scope_wide       a scope sweep of 100000 points. Against the span floor:
//                   the same samples mapped and reduced to per-column
//                   min/max spans in advance, written straight into a
//                   cleared QImage. Beside it the parts of a pass the span
//                   floor leaves out, timed alone: frame_ms, the same pass
//                   with every channel hidden (axes, grid, markers, the
//                   blit), and read_ms, reading the drawn rows of every
//                   column through the chain into plain arrays;
//                   ratio_to_pass_floor is against the sum of the three
//                   (strip chart only), and pass_floor_to_qwt and
//                   pass_floor_to_span_floor are that sum's own ratios: no
//                   pass that draws the same frame from the same chain can go
//                   below them.
//  ratio_to_qcustomplot  against QCustomPlot: eight QCPGraphs holding the
//                   same points (fed once, as a host feeding it would keep
//                   them), adaptive sampling on, no antialiasing as ours,
//                   replot and render at the same size.
//  view_adddata     AddData with the view attached and visible, painting at
//                   60 Hz, against the same chain without a view, in
//                   alternating turns; the medians of the turns count.
//  burst            10000 samples per channel between two paints.
//
// Every comparison is timed in interleaved turns within one run, so a busy
// machine slows all sides alike; the best turn of each counts. The passes
// and their rivals are timed in CPU time of the one thread that paints, which
// other processes on a shared machine do not inflate; view_adddata, which
// paints at wall-clock frame times, is timed in wall-clock time.
#include "BenchHarness.h"

#include <VRXAveragingProxyModel.h>
#include <VRXMultichannelProxyModel.h>
#include <VRXPlotColors.h>
#include <VRXScopePlotView.h>
#include <VRXSingleChannelDataModel.h>
#include <VRXZeroingProxyModel.h>

#include <QtCore/QElapsedTimer>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>

#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_scale_map.h>

#ifdef CORVID_BENCH_QCUSTOMPLOT
#include <qcustomplot.h>
#endif

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

using namespace Corvid_Qt;

namespace {

const int kChannels = 8;
const int kSamples = 100000;
const QSize kSize(1200, 600);

double reading(int channel, int i)
{
    const double t = i * 1e-3;
    return 1e-9 * (std::sin(2 * M_PI * (1.0 + channel) * t) + 0.1 * channel + ((i * 7919 + channel * 104729) % 1000) * 1e-4);
}

struct Chain {
    std::vector<std::unique_ptr<VRXSingleChannelDataModel>> models;
    VRXMultichannelProxyModel merged;
    VRXAveragingProxyModel averaged;
    VRXZeroingProxyModel zeroed;

    Chain()
    {
        for (int c = 0; c < kChannels; ++c) {
            models.emplace_back(new VRXSingleChannelDataModel);
            merged.addSourceModel(models.back().get());
        }
        averaged.setSourceModel(&merged);
        zeroed.setSourceModel(&averaged);
        averaged.setAveraging(10);
    }

    int next = 0;
    void add(int steps)
    {
        for (int i = 0; i < steps; ++i, ++next) {
            const double t = 1e-3 * (next + 1);
            for (int c = 0; c < kChannels; ++c)
                models[c]->AddData(t, reading(c, next));
        }
    }
};

// The view with its protected parts in reach, counting the canvas paints
// (each one is a plot pass).
class BenchView : public VRXScopePlotView
{
public:
    BenchView()
    {
        qwtPlot()->canvas()->installEventFilter(&counter);
        resize(kSize);
    }
    using VRXScopePlotView::qwtPlot;
    using VRXScopePlotView::RequestReplot;
    using VRXScopePlotView::RequestReplotRefresh;
    using VRXScopePlotView::SelectPoint1;
    using VRXScopePlotView::SelectPoint2;

    struct Counter : QObject {
        long paints = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                ++paints;
            return false;
        }
    } counter;
};

void settle()
{
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
}

// The usual way with Qwt: a plot like the view's, curves fed by copies.
struct QwtWay {
    QwtPlot plot;
    QwtPlotGrid grid;
    std::vector<std::unique_ptr<QwtPlotCurve>> curves;

    QwtWay()
    {
        plot.setCanvasBackground(Qt::black);
        grid.enableYMin(true);
        grid.setMajorPen(QPen(QColor(88, 88, 88), 0));
        grid.setMinorPen(QPen(QColor(48, 48, 48), 0));
        grid.attach(&plot);
        for (int c = 1; c <= kChannels; ++c) {
            curves.emplace_back(new QwtPlotCurve);
            curves.back()->setPen(QPen(VRXPlotColors::forChannel(c), 1.0));
            curves.back()->attach(&plot);
        }
        plot.resize(kSize);
        plot.show();
    }

    void draw(const VRXAbstractPlotDataModel &model, int firstRow, int lastRow, double xLow, double xHigh,
              QImage &image)
    {
        for (int c = 1; c <= kChannels; ++c) {
            QPolygonF points;
            points.reserve(lastRow - firstRow + 1);
            for (int r = firstRow; r <= lastRow; ++r)
                points.append(QPointF(model.doubleData(r, 0), model.doubleData(r, c)));
            curves[c - 1]->setSamples(points);
        }
        plot.setAxisScale(QwtPlot::xBottom, xLow, xHigh);
        plot.replot();
        plot.render(&image);
    }
};

// The window a pass drew, read back from its first curve.
struct Window {
    int firstRow = 1, lastRow = 0;
    double xLow = 0.0, xHigh = 1.0, yLow = 0.0, yHigh = 1.0;

    int points() const { return lastRow - firstRow + 1; }
};

Window drawnWindow(BenchView &view, const Chain &chain)
{
    QwtPlot *plot = view.qwtPlot();
    const QwtPlotItemList curves = plot->itemList(QwtPlotItem::Rtti_PlotCurve);
    const auto *curve = static_cast<const QwtPlotCurve *>(curves.first());
    Window w;
    w.xLow = plot->axisScaleDiv(QwtPlot::xBottom).lowerBound();
    w.xHigh = plot->axisScaleDiv(QwtPlot::xBottom).upperBound();
    w.yLow = plot->axisScaleDiv(QwtPlot::yLeft).lowerBound();
    w.yHigh = plot->axisScaleDiv(QwtPlot::yLeft).upperBound();
    const int rows = chain.zeroed.rowCount() - 1;
    while (w.firstRow < rows && chain.zeroed.doubleData(w.firstRow, 0) < curve->sample(0).x())
        ++w.firstRow;
    w.lastRow = w.firstRow + int(curve->dataSize()) - 1;
    return w;
}

struct Maps {
    QwtScaleMap x, y;
    explicit Maps(const Window &w)
    {
        x.setScaleInterval(w.xLow, w.xHigh);
        x.setPaintInterval(0, kSize.width() - 1);
        y.setScaleInterval(w.yLow, w.yHigh);
        y.setPaintInterval(kSize.height() - 1, 0);
    }
};

// The same points, mapped once, drawn as bare polylines.
struct PolylineFloor {
    std::vector<QPolygonF> polygons;

    PolylineFloor(const VRXAbstractPlotDataModel &model, const Window &w)
    {
        const Maps maps(w);
        for (int c = 1; c <= kChannels; ++c) {
            QPolygonF polygon;
            for (int r = w.firstRow; r <= w.lastRow; ++r)
                polygon.append(QPointF(maps.x.transform(model.doubleData(r, 0)), maps.y.transform(model.doubleData(r, c))));
            polygons.push_back(polygon);
        }
    }

    void draw(QImage &image) const
    {
        image.fill(Qt::black);
        QPainter painter(&image);
        for (int c = 1; c <= kChannels; ++c) {
            painter.setPen(QPen(VRXPlotColors::forChannel(c), 1.0));
            painter.drawPolyline(polygons[c - 1]);
        }
    }
};

// The same samples reduced in advance to one span per pixel column and
// channel (min to max, joined to the column before), written into the image.
struct SpanFloor {
    struct Span {
        int column, low, high;
    };
    std::vector<std::vector<Span>> spans;

    SpanFloor(const VRXAbstractPlotDataModel &model, const Window &w)
    {
        const Maps maps(w);
        const auto pixel = [](double v, int size) { return qBound(0, int(std::lround(v)), size - 1); };
        for (int c = 1; c <= kChannels; ++c) {
            std::vector<Span> channel;
            int last = -1;
            for (int r = w.firstRow; r <= w.lastRow; ++r) {
                const int x = pixel(maps.x.transform(model.doubleData(r, 0)), kSize.width());
                const int y = pixel(maps.y.transform(model.doubleData(r, c)), kSize.height());
                if (channel.empty() || channel.back().column != x)
                    channel.push_back({x, last < 0 ? y : std::min(last, y), last < 0 ? y : std::max(last, y)});
                Span &s = channel.back();
                s.low = std::min(s.low, y);
                s.high = std::max(s.high, y);
                last = y;
            }
            spans.push_back(channel);
        }
    }

    void draw(QImage &image) const
    {
        image.fill(Qt::black);
        uchar *bits = image.bits();
        const int stride = image.bytesPerLine();
        for (int c = 1; c <= kChannels; ++c) {
            const QRgb ink = VRXPlotColors::forChannel(c).rgba();
            for (const Span &s : spans[c - 1]) {
                for (int y = s.low; y <= s.high; ++y)
                    reinterpret_cast<QRgb *>(bits + y * stride)[s.column] = ink;
            }
        }
    }
};

#ifdef CORVID_BENCH_QCUSTOMPLOT
struct QCustomPlotWay {
    QCustomPlot plot;

    QCustomPlotWay(const VRXAbstractPlotDataModel &model, const Window &w)
    {
        plot.setBackground(Qt::black);
        plot.setNotAntialiasedElements(QCP::aeAll);
        for (int c = 1; c <= kChannels; ++c) {
            QVector<double> keys, values;
            keys.reserve(w.points());
            values.reserve(w.points());
            for (int r = w.firstRow; r <= w.lastRow; ++r) {
                keys.append(model.doubleData(r, 0));
                values.append(model.doubleData(r, c));
            }
            QCPGraph *graph = plot.addGraph();
            graph->setPen(QPen(VRXPlotColors::forChannel(c), 1.0));
            graph->setData(keys, values, true);
        }
        plot.xAxis->setRange(w.xLow, w.xHigh);
        plot.yAxis->setRange(w.yLow, w.yHigh);
        plot.resize(kSize);
        plot.show();
    }

    void draw(QImage &image)
    {
        plot.replot(QCustomPlot::rpQueuedRefresh);
        plot.render(&image);
    }
};
#endif

// CPU seconds per call of each callable, measured in turns so that a busy
// machine slows all of them alike; the best turn of each counts.
std::vector<double> bestInTurns(const std::vector<std::function<void()>> &calls)
{
    std::vector<double> best(calls.size(), 1e300);
    std::vector<int> batch(calls.size(), 1);
    for (size_t k = 0; k < calls.size(); ++k) {
        calls[k]();
        // About 20 ms per batch keeps the clock's grain and the long cases apart.
        const double t0 = corvid_bench::cpuSeconds();
        calls[k]();
        batch[k] = std::max(1, std::min(20, int(0.02 / std::max(corvid_bench::cpuSeconds() - t0, 1e-6))));
    }
    for (int turn = 0; turn < 9; ++turn) {
        for (size_t k = 0; k < calls.size(); ++k) {
            const double t0 = corvid_bench::cpuSeconds();
            for (int i = 0; i < batch[k]; ++i)
                calls[k]();
            best[k] = std::min(best[k], (corvid_bench::cpuSeconds() - t0) / batch[k]);
        }
    }
    return best;
}

struct PassTimes {
    int points = 0;
    double view = 0, qwt = 0, spanFloor = 0, polylineFloor = 0, qcustomplot = 0;
    double frame = 0, read = 0;
};

// Every channel of the chain shown or hidden (a hidden channel has no curve).
void showChannels(const Chain &chain, bool shown)
{
    for (const auto &model : chain.models)
        model->setData(model->index(0, 1), shown ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
}

PassTimes timePass(BenchView &view, const Chain &chain, bool scope, bool withPolyline, bool withPeer,
                   bool withParts = false)
{
    QImage image(kSize, QImage::Format_ARGB32_Premultiplied);
    auto pass = [&] {
        if (scope)
            view.RequestReplotRefresh();
        else
            view.RequestReplot();
        view.render(&image);
    };
    pass();
    const Window w = drawnWindow(view, chain);

    QwtWay qwt;
    QImage qwtImage(kSize, QImage::Format_ARGB32_Premultiplied);
    const SpanFloor spanFloor(chain.zeroed, w);
    QImage floorImage(kSize, QImage::Format_ARGB32_Premultiplied);
    std::vector<std::function<void()>> calls{
        pass, [&] { qwt.draw(chain.zeroed, w.firstRow, w.lastRow, w.xLow, w.xHigh, qwtImage); },
        [&] { spanFloor.draw(floorImage); }};
    std::unique_ptr<PolylineFloor> polylineFloor;
    if (withPolyline) {
        polylineFloor.reset(new PolylineFloor(chain.zeroed, w));
        calls.push_back([&] { polylineFloor->draw(floorImage); });
    }
#ifdef CORVID_BENCH_QCUSTOMPLOT
    std::unique_ptr<QCustomPlotWay> peer;
    if (withPeer) {
        peer.reset(new QCustomPlotWay(chain.zeroed, w));
        calls.push_back([&] { peer->draw(qwtImage); });
    }
#else
    withPeer = false;
#endif
    // The parts of a pass the span floor leaves out: the pass with no curve
    // (axes, grid, markers, the blit), and reading the drawn rows' columns
    // through the chain into plain arrays.
    std::vector<double> columns(size_t(w.points()));
    const size_t partsAt = calls.size();
    if (withParts) {
        calls.push_back([&] {
            showChannels(chain, false);
            pass();
            showChannels(chain, true);
        });
        calls.push_back([&] {
            for (int c = 0; c <= kChannels; ++c)
                chain.zeroed.doubleDataRange(c, w.firstRow, w.points(), columns.data());
        });
    }
    const std::vector<double> s = bestInTurns(calls);
    PassTimes t;
    if (withParts) {
        t.frame = s[partsAt];
        t.read = s[partsAt + 1];
    }
    t.points = w.points();
    t.view = s[0];
    t.qwt = s[1];
    t.spanFloor = s[2];
    t.polylineFloor = withPolyline ? s[3] : 1e300;
    t.qcustomplot = withPeer ? s[partsAt - 1] : std::numeric_limits<double>::quiet_NaN();
    return t;
}

void passCase(const char *name, BenchView &view, const Chain &chain, bool scope)
{
    const PassTimes t = timePass(view, chain, scope, true, !scope);
    const double floor = std::min(t.spanFloor, t.polylineFloor);
    char line[240];
    std::snprintf(line, sizeof line, "%s ratio_to_floor=%.2f ratio_to_qwt=%.2f ms=%.3f points=%d qwt_to_floor=%.2f", name,
                  t.view / floor, t.view / t.qwt, t.view * 1e3, t.points, t.qwt / floor);
    std::string text(line);
    if (!scope) {
        std::snprintf(line, sizeof line, " ratio_to_qcustomplot=%.2f", t.view / t.qcustomplot);
        text += line;
    }
    corvid_bench::report(text);
}

void wideCase(const char *name, BenchView &view, const Chain &chain, bool scope)
{
    // Hiding the channels restarts a scope sweep, so the parts are timed
    // on the strip chart only.
    const PassTimes t = timePass(view, chain, scope, false, !scope, !scope);
    char line[400];
    std::snprintf(line, sizeof line, "%s points=%d ms=%.3f ratio_to_qwt=%.3f ratio_to_span_floor=%.2f", name, t.points,
                  t.view * 1e3, t.view / t.qwt, t.view / t.spanFloor);
    std::string text(line);
    if (!scope) {
        const double passFloor = t.spanFloor + t.frame + t.read;
        std::snprintf(line, sizeof line,
                      " frame_ms=%.3f read_ms=%.3f ratio_to_pass_floor=%.2f pass_floor_to_qwt=%.3f "
                      "pass_floor_to_span_floor=%.2f ratio_to_qcustomplot=%.2f",
                      t.frame * 1e3, t.read * 1e3, t.view / passFloor, passFloor / t.qwt, passFloor / t.spanFloor,
                      t.view / t.qcustomplot);
        text += line;
    }
    corvid_bench::report(text);
}

// Adds `steps` samples to every channel as fast as possible, letting the
// event loop run (and the view paint) every 1/60 s.
double feed(Chain &chain, int steps)
{
    QElapsedTimer clock;
    clock.start();
    qint64 nextFrame = 16667;
    for (int done = 0; done < steps; done += 16) {
        chain.add(16);
        if (clock.nsecsElapsed() / 1000 >= nextFrame) {
            QCoreApplication::processEvents();
            nextFrame += 16667;
        }
    }
    QCoreApplication::processEvents();
    return clock.nsecsElapsed() * 1e-9;
}

void setWidthHint(Chain &chain, int points)
{
    for (const auto &model : chain.models)
        model->setPlotWidthHintPoints(points);
}

// The scope draws one sweep per paint from the first row on; let it catch
// up with the buffer, then each pass draws the newest sweep.
void catchUp(BenchView &view, int sweeps)
{
    double last = -1.0;
    for (int i = 0; i < sweeps + 10; ++i) {
        QCoreApplication::processEvents();
        last = view.qwtPlot()->axisScaleDiv(QwtPlot::xBottom).upperBound();
    }
    corvid_bench::keep(last);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);

    // (a) One pass over full buffers, at the usual width and at full width.
    {
        Chain chain;
        chain.add(kSamples);
        {
            BenchView view;
            view.setModel(&chain.zeroed);
            view.show();
            settle();
            const double t0 = chain.zeroed.doubleData(kSamples - 200, 0);
            view.SelectPoint1(QPointF(t0, 0.0));
            view.SelectPoint2(QPointF(t0 + 0.05, 0.0));
            settle();
            passCase("strip", view, chain, false);
            view.SetPlotMode(VRXScopePlotView::ScopePlotMode);
            catchUp(view, kSamples / 256);
            passCase("scope", view, chain, true);
        }
        for (int points : {kSamples, kSamples / 10}) {
            setWidthHint(chain, points);
            BenchView view;
            view.setModel(&chain.zeroed);
            view.show();
            settle();
            wideCase("strip_wide", view, chain, false);
            if (points == kSamples) {
                view.SetPlotMode(VRXScopePlotView::ScopePlotMode);
                catchUp(view, 2);
                wideCase("scope_wide", view, chain, true);
            }
        }
        setWidthHint(chain, 0);
    }

    // (b) AddData throughput in alternating turns, and (c) a burst between two paints.
    {
        const int steps = 16000;
        const int turns = 6;
        Chain bare;
        bare.add(1000);

        Chain chain;
        chain.add(1000);
        BenchView view;
        QLabel samples;
        view.SetBufferSizeLabel(&samples);
        view.setModel(&chain.zeroed);
        view.show();
        settle();
        view.SelectPoint1(QPointF(0.5, 0.0));
        settle();

        std::vector<double> bareSeconds, viewSeconds;
        long passes = 0;
        feed(bare, steps / 4);
        feed(chain, steps / 4);
        for (int turn = 0; turn < turns; ++turn) {
            bareSeconds.push_back(feed(bare, steps));
            const long before = view.counter.paints;
            viewSeconds.push_back(feed(chain, steps));
            passes += view.counter.paints - before;
        }
        const double bareMedian = median(bareSeconds), viewMedian = median(viewSeconds);
        double viewTotal = 0.0;
        for (double v : viewSeconds)
            viewTotal += v;
        char line[200];
        std::snprintf(line, sizeof line,
                      "view_adddata ratio=%.2f passes_per_s=%.1f us_per_step=%.2f bare_us_per_step=%.2f best_ratio=%.2f turns=%d",
                      viewMedian / bareMedian, passes / viewTotal, viewMedian / steps * 1e6, bareMedian / steps * 1e6,
                      *std::min_element(viewSeconds.begin(), viewSeconds.end()) /
                          *std::min_element(bareSeconds.begin(), bareSeconds.end()),
                      turns);
        corvid_bench::report(line);

        settle();
        const long beforeBurst = view.counter.paints;
        chain.add(10000);
        settle();
        const long burstPasses = view.counter.paints - beforeBurst;
        std::snprintf(line, sizeof line, "burst samples=10000 passes=%ld label=\"%s\"", burstPasses,
                      qPrintable(samples.text()));
        corvid_bench::report(line);
    }
    return 0;
}
