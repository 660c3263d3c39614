// The spectrogram with its image canvas at 600 x 600, offscreen.
//
//  spectrogram       one processed frame: the beam calculation, the cell
//                    image, the replot and render of the image and history
//                    plots and the repaint of the number boxes. Baseline: the
//                    same cells as a plain QwtPlotSpectrogram (QwtMatrixRasterData,
//                    the same 5-stop QwtLinearColorMap, bilinear resampling
//                    with smoothing, nearest neighbour without) replotted and
//                    rendered on a 600 x 600 canvas. image_ms is the image
//                    plot's share (cell image, replot, render), compared with
//                    QCustomPlot's QCPColorMap of the same cells on a 600 x 600
//                    axis rect (interpolating with smoothing), replot and render.
//  spectrogram_skip  a frame arriving between two refresh ticks; the floor is
//                    a compare and a return.
//  spectrogram_rate  frames pushed at 1 kHz for 2 s of wall time with the
//                    event loop running; at most one per 100 ms tick may be
//                    processed. Resident memory is read before and after.
#include "BenchHarness.h"

#include <SpectrogramImage_p.h>
#include <SpectrogramPlot.h>
#include <VRXPixelatedChamber.h>
#include <VRXSpectrogram.h>

#include <QtCore/QElapsedTimer>
#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QCheckBox>

#include <qcustomplot.h>
#include <qwt_color_map.h>
#include <qwt_matrix_raster_data.h>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_spectrogram.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

using namespace Corvid_Qt;
using corvid_bench::Clock;

namespace {

const int kSide = 600;
const int kFrames = 16;

/// A beam that drifts and turns from frame to frame.
std::vector<std::vector<float>> pixelatedFrames()
{
    std::vector<std::vector<float>> frames;
    for (int f = 0; f < kFrames; ++f) {
        std::vector<float> frame(128, 0.0f);
        const double bx = 5.0 + 0.1 * f, by = 6.5 - 0.05 * f, a = 0.1 * f;
        for (const corvid::math::ICtoLMMapping *m = corvid::math::_mapping_LM2_LM3; m->q905 != -1; ++m) {
            const double dx = m->x + 0.5 - bx, dy = m->y + 0.5 - by;
            const double u = dx * std::cos(a) + dy * std::sin(a), v = -dx * std::sin(a) + dy * std::cos(a);
            frame[m->q905] = float(1e-9 * std::exp(-u * u / 8.0 - v * v / 3.0));
        }
        frames.push_back(frame);
    }
    return frames;
}

std::vector<std::vector<float>> stripFrames()
{
    std::vector<std::vector<float>> frames;
    for (int f = 0; f < kFrames; ++f) {
        std::vector<float> frame(128, 0.0f);
        for (int i = 0; i < 32; ++i) {
            frame[i] = float(1e-9 * std::exp(-(i - 14.0 - 0.2 * f) * (i - 14.0 - 0.2 * f) / 18.0));
            frame[64 + i] = float(1e-9 * std::exp(-(i - 17.0 + 0.1 * f) * (i - 17.0 + 0.1 * f) / 8.0));
        }
        frames.push_back(frame);
    }
    return frames;
}

void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

/// Fixes `widget`'s size so that `inner` becomes kSide x kSide.
template <class InnerSize>
void fitInner(QWidget *widget, InnerSize inner)
{
    for (int i = 0; i < 4; ++i) {
        settle();
        const QSize extra = widget->size() - inner();
        widget->setFixedSize(QSize(kSide, kSide) + extra);
    }
    settle();
}

/// Median of five batches, milliseconds per call of f(i).
template <typename F>
double msPer(F &&f, int calls = 40)
{
    for (int i = 0; i < 10; ++i)
        f(i);
    std::vector<double> batches;
    for (int b = 0; b < 5; ++b) {
        const auto t0 = Clock::now();
        for (int i = 0; i < calls; ++i)
            f(i);
        batches.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count() / calls);
    }
    std::sort(batches.begin(), batches.end());
    return batches[2];
}

/// Cell values of each frame as the spectrogram shows them.
std::vector<std::vector<double>> cellsOf(VRXSpectrogram &sp, SpectrogramImage *cells,
                                          const std::vector<std::vector<float>> &frames, double &t)
{
    std::vector<std::vector<double>> all;
    for (const auto &frame : frames) {
        sp.update();
        sp.setData(frame.data(), t += 1.0);
        all.push_back(cells->values());
    }
    return all;
}

struct QwtPeer
{
    QwtPlot plot;
    QwtMatrixRasterData *raster = new QwtMatrixRasterData;
    QwtPlotSpectrogram *item = new QwtPlotSpectrogram;

    /// Takes the colour map.
    QwtPeer(int n, bool smoothing, QwtColorMap *colours)
    {
        raster->setInterval(Qt::XAxis, QwtInterval(0, n, QwtInterval::ExcludeMaximum));
        raster->setInterval(Qt::YAxis, QwtInterval(0, n, QwtInterval::ExcludeMaximum));
        raster->setInterval(Qt::ZAxis, QwtInterval(0, 1e-9));
        raster->setResampleMode(smoothing ? QwtMatrixRasterData::BilinearInterpolation
                                          : QwtMatrixRasterData::NearestNeighbour);
        raster->setValueMatrix(QVector<double>(n * n, 0.0), n);
        item->setData(raster);
        item->setColorMap(colours);
        item->attach(&plot);
        plot.setAxisScale(QwtPlot::xBottom, 0, n);
        plot.setAxisScale(QwtPlot::yLeft, n, 0);
        static_cast<QwtPlotCanvas *>(plot.canvas())->setPaintAttribute(QwtPlotCanvas::ImmediatePaint, true);
        plot.show();
        fitInner(&plot, [this]() { return plot.canvas()->contentsRect().size(); });
    }
    void show(const std::vector<double> &cells, int n)
    {
        raster->setValueMatrix(QVector<double>(cells.begin(), cells.end()), n);
        item->itemChanged();
        plot.replot();
    }
};

struct QcpPeer
{
    QCustomPlot plot;
    QCPColorMap *map;

    QcpPeer(int n, bool smoothing)
    {
        map = new QCPColorMap(plot.xAxis, plot.yAxis);
        map->data()->setSize(n, n);
        map->data()->setRange(QCPRange(0.5, n - 0.5), QCPRange(0.5, n - 0.5));
        QCPColorGradient gradient;
        gradient.clearColorStops();
        gradient.setColorStopAt(0.0, Qt::black);
        gradient.setColorStopAt(0.1, Qt::blue);
        gradient.setColorStopAt(0.3, Qt::cyan);
        gradient.setColorStopAt(0.5, Qt::green);
        gradient.setColorStopAt(0.7, Qt::yellow);
        gradient.setColorStopAt(0.9, Qt::red);
        gradient.setColorStopAt(1.0, Qt::red);
        map->setGradient(gradient);
        map->setInterpolate(smoothing);
        map->setDataRange(QCPRange(0, 1e-9));
        plot.xAxis->setRange(0, n);
        plot.yAxis->setRange(0, n);
        plot.yAxis->setRangeReversed(true);
        plot.show();
        fitInner(&plot, [this]() { return plot.axisRect()->rect().size(); });
    }
    void show(const std::vector<double> &cells, int n)
    {
        for (int r = 0; r < n; ++r)
            for (int c = 0; c < n; ++c)
                map->data()->setCell(c, r, cells[std::size_t(r) * n + c]);
        plot.replot(QCustomPlot::rpImmediateRefresh);
    }
};

struct Shown
{
    VRXSpectrogram sp;
    SpectrogramPlot *plot = nullptr;
    SpectrogramImage *cells = nullptr;

    Shown(bool strips, bool smoothing)
    {
        if (strips)
            sp.setK417(true);
        sp.findChild<QComboBox *>("comboBox_color")->setCurrentIndex(1);
        sp.findChild<QCheckBox *>("checkBox_smoothing")->setChecked(smoothing);
        sp.findChild<QCheckBox *>("checkBox_ellipse")->setChecked(true);
        sp.findChild<QCheckBox *>("checkBox_arrow")->setChecked(true);
        sp.resize(1500, 1000);
        sp.show();
        plot = sp.findChild<SpectrogramPlot *>();
        for (QwtPlotItem *item : plot->itemList(QwtPlotItem::Rtti_PlotUserItem))
            if (auto *image = dynamic_cast<SpectrogramImage *>(item))
                cells = image;
        fitInner(plot, [this]() { return plot->canvas()->contentsRect().size(); });
    }
};

void benchFrames(bool strips, bool smoothing)
{
    const auto frames = strips ? stripFrames() : pixelatedFrames();
    const int n = strips ? 32 : 12;
    Shown shown(strips, smoothing);
    double t = 0;
    const auto cells = cellsOf(shown.sp, shown.cells, frames, t);

    const double frameMs = msPer([&](int i) {
        shown.sp.update();
        shown.sp.setData(frames[i % kFrames].data(), t += 1.0);
        QApplication::processEvents();
    });
    const double imageMs = msPer([&](int i) {
        shown.cells->setValues(cells[i % kFrames].data(), n, n);
        shown.plot->replot();
    });
    QwtPeer qwt(n, smoothing, shown.sp.create_colormap()); // the spectrogram's own 5-stop map
    const double qwtMs = msPer([&](int i) { qwt.show(cells[i % kFrames], n); }, 10);
    QcpPeer qcp(n, smoothing);
    const double qcpMs = msPer([&](int i) { qcp.show(cells[i % kFrames], n); });

    corvid_bench::report(QStringLiteral("spectrogram mode=%1 smoothing=%2 ms_frame=%3 ratio_to_qwt=%4 image_ms=%5 "
                                        "ratio_to_qcustomplot=%6")
                             .arg(strips ? "strip" : "pixelated", smoothing ? "on" : "off")
                             .arg(frameMs, 0, 'f', 3)
                             .arg(frameMs / qwtMs, 0, 'f', 3)
                             .arg(imageMs, 0, 'f', 3)
                             .arg(imageMs / qcpMs, 0, 'f', 3)
                             .toStdString());
}

void benchSkip()
{
    const auto frames = pixelatedFrames();
    VRXSpectrogram sp;
    sp.update();
    sp.setData(frames[0].data(), 1.0);
    const long calls = 10000000;
    double best = 1e300;
    for (int r = 0; r < 5; ++r) {
        const auto t0 = Clock::now();
        for (long i = 0; i < calls; ++i)
            sp.setData(frames[i & 15].data(), 2.0 + double(i));
        best = std::min(best, std::chrono::duration<double, std::nano>(Clock::now() - t0).count() / calls);
    }
    corvid_bench::report("spectrogram_skip ns_per_frame=" + QString::number(best, 'f', 2).toStdString());
}

void benchRate()
{
    const auto frames = pixelatedFrames();
    long long before = 0, after = 0;
    int processed = 0, pushed = 0;
    {
        VRXSpectrogram sp;
        sp.show();
        QObject::connect(&sp, &VRXSpectrogram::calcUpdate, [&processed]() { ++processed; });
        QElapsedTimer clock;
        QTimer pusher;
        pusher.setTimerType(Qt::PreciseTimer);
        QEventLoop loop;
        QObject::connect(&pusher, &QTimer::timeout, [&]() {
            const int due = std::min(2000, int(clock.elapsed()));
            for (; pushed < due; ++pushed) {
                // Memory is compared from the first ticks on, once the window has painted.
                if (pushed == 200)
                    before = corvid_bench::residentBytes();
                sp.setData(frames[pushed % kFrames].data(), 1e-3 * (pushed + 1));
            }
            if (pushed >= 2000) {
                after = corvid_bench::residentBytes();
                loop.quit();
            }
        });
        clock.start();
        pusher.start(1);
        loop.exec();
    }
    corvid_bench::report("spectrogram_rate frames=" + std::to_string(pushed)
                         + " seconds=2 processed=" + std::to_string(processed));
    corvid_bench::report("spectrogram_rate_memory rss_delta_kb=" + std::to_string((after - before) / 1024));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // The library's debug lines would flood the output.
    QLoggingCategory::setFilterRules(QStringLiteral("corvid.qt.spectrogram.debug=false"));
    for (bool strips : {false, true})
        for (bool smoothing : {false, true})
            benchFrames(strips, smoothing);
    benchSkip();
    benchRate();
    return 0;
}
