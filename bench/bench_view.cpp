// The scope plot view on the usual chain: eight single-channel models of
// 100000 samples merged, averaged and zeroed, rendered at 1200 x 600.
//
//  strip / scope  one plot pass and the paint that carries it, against the
//                 floor (the same visible points as bare drawPolyline calls
//                 from polygons prepared in advance) and against the usual
//                 Qwt way (each window copied into a QPolygonF, setSamples,
//                 replot), both rendering the same widget size.
//  view_adddata   AddData with the view attached and visible, painting at
//                 60 Hz, against the same chain without a view.
//  burst          10000 samples per channel between two paints.
#include "BenchHarness.h"

#include <VRXAveragingProxyModel.h>
#include <VRXMultichannelProxyModel.h>
#include <VRXPlotColors.h>
#include <VRXScopePlotView.h>
#include <VRXSingleChannelDataModel.h>
#include <VRXZeroingProxyModel.h>

#include <QtCore/QElapsedTimer>
#include <chrono>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>

#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_scale_map.h>

#include <cmath>
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

// The same points, mapped once, drawn with nothing else.
struct Floor {
    std::vector<QPolygonF> polygons;

    Floor(const VRXAbstractPlotDataModel &model, int firstRow, int lastRow, double xLow, double xHigh)
    {
        double yLow = 1e300, yHigh = -1e300;
        for (int c = 1; c <= kChannels; ++c) {
            for (int r = firstRow; r <= lastRow; ++r) {
                yLow = std::min(yLow, model.doubleData(r, c));
                yHigh = std::max(yHigh, model.doubleData(r, c));
            }
        }
        QwtScaleMap xMap, yMap;
        xMap.setScaleInterval(xLow, xHigh);
        xMap.setPaintInterval(0, kSize.width());
        yMap.setScaleInterval(yLow, yHigh);
        yMap.setPaintInterval(kSize.height(), 0);
        for (int c = 1; c <= kChannels; ++c) {
            QPolygonF polygon;
            for (int r = firstRow; r <= lastRow; ++r)
                polygon.append(QPointF(xMap.transform(model.doubleData(r, 0)), yMap.transform(model.doubleData(r, c))));
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

// Seconds per call of each of the three, measured in turns so that a busy
// machine slows all of them alike; the best turn of each counts.
template <typename A, typename B, typename C>
void bestInTurns(A &&a, B &&b, C &&c, double &sa, double &sb, double &sc)
{
    const int batch = 10;
    sa = sb = sc = 1e300;
    a();
    b();
    c();
    for (int turn = 0; turn < 25; ++turn) {
        corvid_bench::Clock::time_point t0 = corvid_bench::Clock::now();
        for (int i = 0; i < batch; ++i)
            a();
        corvid_bench::Clock::time_point t1 = corvid_bench::Clock::now();
        for (int i = 0; i < batch; ++i)
            b();
        corvid_bench::Clock::time_point t2 = corvid_bench::Clock::now();
        for (int i = 0; i < batch; ++i)
            c();
        corvid_bench::Clock::time_point t3 = corvid_bench::Clock::now();
        sa = std::min(sa, std::chrono::duration<double>(t1 - t0).count() / batch);
        sb = std::min(sb, std::chrono::duration<double>(t2 - t1).count() / batch);
        sc = std::min(sc, std::chrono::duration<double>(t3 - t2).count() / batch);
    }
}

void passCase(const char *name, BenchView &view, const Chain &chain, bool scope)
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

    // The rows the pass drew, read back from its first curve.
    QwtPlot *plot = view.qwtPlot();
    const QwtPlotItemList curves = plot->itemList(QwtPlotItem::Rtti_PlotCurve);
    const auto *curve = static_cast<const QwtPlotCurve *>(curves.first());
    const QwtScaleDiv &div = plot->axisScaleDiv(QwtPlot::xBottom);
    const double xLow = div.lowerBound(), xHigh = div.upperBound();
    const int rows = chain.zeroed.rowCount() - 1;
    int firstRow = 1;
    while (firstRow < rows && chain.zeroed.doubleData(firstRow, 0) < curve->sample(0).x())
        ++firstRow;
    const int lastRow = firstRow + int(curve->dataSize()) - 1;

    QwtWay qwt;
    QImage qwtImage(kSize, QImage::Format_ARGB32_Premultiplied);
    const Floor floor(chain.zeroed, firstRow, lastRow, xLow, xHigh);
    QImage floorImage(kSize, QImage::Format_ARGB32_Premultiplied);

    double viewSeconds, qwtSeconds, floorSeconds;
    bestInTurns(pass, [&] { qwt.draw(chain.zeroed, firstRow, lastRow, xLow, xHigh, qwtImage); },
                [&] { floor.draw(floorImage); }, viewSeconds, qwtSeconds, floorSeconds);

    char line[200];
    std::snprintf(line, sizeof line, "%s ratio_to_floor=%.2f ratio_to_qwt=%.2f ms=%.3f points=%d qwt_to_floor=%.2f",
                  name, viewSeconds / floorSeconds, viewSeconds / qwtSeconds, viewSeconds * 1e3,
                  lastRow - firstRow + 1, qwtSeconds / floorSeconds);
    corvid_bench::report(line);
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

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);

    // (a) One pass over full buffers.
    {
        Chain chain;
        chain.add(kSamples);
        BenchView view;
        view.setModel(&chain.zeroed);
        view.show();
        settle();
        const double t0 = chain.zeroed.doubleData(kSamples - 200, 0);
        view.SelectPoint1(QPointF(t0, 0.0));
        view.SelectPoint2(QPointF(t0 + 0.05, 0.0));
        settle();
        passCase("strip", view, chain, false);
        // The scope draws one sweep per paint from the first row on; let it
        // catch up with the buffer, then each pass draws the newest sweep.
        view.SetPlotMode(VRXScopePlotView::ScopePlotMode);
        double last = -1.0;
        for (int i = 0; i < kSamples / 256 + 10; ++i) {
            QCoreApplication::processEvents();
            last = view.qwtPlot()->axisScaleDiv(QwtPlot::xBottom).upperBound();
        }
        corvid_bench::keep(last);
        passCase("scope", view, chain, true);
    }

    // (b) AddData throughput, and (c) a burst between two paints.
    {
        const int steps = 40000;
        Chain bare;
        bare.add(1000);
        const double bareSeconds = feed(bare, steps);

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
        const long before = view.counter.paints;
        const double viewSeconds = feed(chain, steps);
        const long passes = view.counter.paints - before;
        char line[160];
        std::snprintf(line, sizeof line, "view_adddata ratio=%.2f passes_per_s=%.1f us_per_step=%.2f bare_us_per_step=%.2f",
                      viewSeconds / bareSeconds, passes / viewSeconds, viewSeconds / steps * 1e6,
                      bareSeconds / steps * 1e6);
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
