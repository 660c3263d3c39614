// One histogram pass of the plot view over a 256-channel frame, rendered
// off-screen at 1200 x 600: (a) bars and markers only, (b) all four
// statistics item types for 8 peaks with full statistics. The full pass is
// split into the estimators, the panel texts and the rest (drawing); the
// panels are also laid out and drawn with the rich-text engine they replace.
#include "BenchHarness.h"
#include "FakeDeviceModel.h"

#include <PreformattedTextEngine.h>
#include <VRXScopePlotView.h>
#include <VRX_CoGHistogramItem.h>
#include <VRX_GaussabolaHistogramItem.h>
#include <VRX_PrecalculatedFitHistogramItem.h>
#include <VRX_RegressionHistogramItem.h>

#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtCore/QItemSelectionModel>
#include <QtWidgets/QApplication>
#include <memory>
#include <qwt_plot.h>
#include <qwt_text.h>
#include <random>

using namespace Corvid_Qt;

namespace {

const int kChannels = 256;
const int kPeaks = 8;

// Eight beams, one per region, on a noisy pedestal; `phase` moves them so
// that successive frames differ.
QVector<double> frame(double phase, QVector<double> *fits)
{
    std::mt19937 rng(unsigned(phase * 1000));
    std::normal_distribution<double> noise(0.0, 0.02);
    QVector<double> v(kChannels, 0.0);
    fits->clear();
    const int w = kChannels / kPeaks;
    for (int p = 0; p < kPeaks; ++p) {
        const double centre = p * w + w / 2 + 2.0 * std::sin(phase + p);
        const double sigma = 2.5 + 0.5 * std::cos(phase * 0.7 + p);
        const QVector<double> g = gaussianProfile(kChannels, centre, sigma, 10.0 + p);
        for (int c = 0; c < kChannels; ++c)
            v[c] += g[c];
        *fits << centre - 1 - p * w << sigma << 10.0 + p << 0.0 << 95.0;
    }
    for (double &x : v)
        x += 0.1 + noise(rng);
    return v;
}

void enableAll(VRXScopePlotView &view, int peaks)
{
    view.enableHistogramItem(VRXScopePlotView::CoGHistogramItemType, peaks, {0, 0.1, 3}, true);
    view.enableHistogramItem(VRXScopePlotView::GaussabolaHistogramItemType, peaks, {1e-15, 1e-14, 0.98, 5}, true);
    view.enableHistogramItem(VRXScopePlotView::RegressionHistogramItemType, peaks,
                             {0.1, 1024, 1e-15, 1e-14, 2, 5}, true);
    view.enableHistogramItem(VRXScopePlotView::PrecalculatedFitHistogramItemType, peaks, {}, true);
}

// The items of one pass, outside the view, for the split of its cost.
struct Items
{
    std::vector<std::unique_ptr<VRX_StatisticsHistogramItem>> all;
    Items()
    {
        for (int p = 0; p < kPeaks; ++p) {
            auto *cog = new VRX_CoGHistogramItem(nullptr, true);
            cog->setMode(VRX_CoGHistogramItem::Filtered, 0.1);
            auto *gb = new VRX_GaussabolaHistogramItem(nullptr, true);
            gb->setOptions(VRX_StatisticsHistogramItem::Gaussian::Gaussabola::Options(1e-15f, 1e-14f, 0.98f));
            gb->setChiWindow(5);
            auto *rg = new VRX_RegressionHistogramItem(nullptr, true);
            rg->setOptions(VRX_StatisticsHistogramItem::Gaussian::Regression::Options(0.1f, 1024, 1e-15f, 1e-14f, 2));
            rg->setChiWindow(5);
            all.emplace_back(cog);
            all.emplace_back(gb);
            all.emplace_back(rg);
            all.emplace_back(new VRX_PrecalculatedFitHistogramItem(nullptr, true));
        }
    }
    void prepare(const QVector<double> &v, const QVector<double> &fits)
    {
        const int w = kChannels / kPeaks;
        for (std::size_t i = 0; i < all.size(); ++i) {
            const int p = int(i) / 4;
            QVector<float> values(w), stats;
            for (int c = 0; c < w; ++c)
                values[c] = float(v[p * w + c]);
            for (int j = 0; j < all[i]->numStats(); ++j)
                stats << float(fits[5 * p + j]);
            all[i]->prepare(p * w, values, kChannels, stats);
        }
    }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);

    FakeDeviceModel model(kChannels);
    QVector<double> fits;
    model.addFrame(0.0, frame(0.0, &fits), fits);

    VRXScopePlotView view;
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.resize(1200, 600);
    view.setModel(&model);
    view.SetPlotMode(VRXScopePlotView::HistogramPlotMode);
    view.show();
    // Both markers: a selected channel places them, marker 0 on channel 40,
    // marker 1 on channel 1, with the sum and spread between them.
    view.selectionModel()->select(model.index(1, 40),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Columns);

    QImage image(1200, 600, QImage::Format_ARGB32_Premultiplied);
    int tick = 0;
    QVector<double> frames[2], frameFits[2];
    frames[0] = frame(0.3, &frameFits[0]);
    frames[1] = frame(0.9, &frameFits[1]);
    // One pass: a new frame arrives, the view is laid out and rendered.
    // Only layout requests and queued calls are delivered: the widget is not
    // on screen, and its own repaint would draw everything a second time.
    const auto pass = [&] {
        const int k = tick++ & 1;
        model.replaceLastFrame(tick, frames[k], frameFits[k]);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        view.render(&image);
    };
    const auto settle = [&] {
        for (int i = 0; i < 4; ++i)
            pass();
    };

    settle();
    const double bare = corvid_bench::bestSeconds(pass, 30);
    enableAll(view, kPeaks);
    settle();
    const double full = corvid_bench::bestSeconds(pass, 30);
    // The strips share the view with the plot: the plot's size is part of
    // what a full pass costs to draw.
    const QSize canvas = view.findChild<QwtPlot *>()->canvas()->size();

    // The split of the full pass.
    Items items;
    int k = 0;
    const double estimators = corvid_bench::bestSeconds(
        [&] {
            k ^= 1;
            items.prepare(frames[k], frameFits[k]);
        },
        30);
    const QFont font = view.font();
    const double labels = corvid_bench::bestSeconds(
        [&] {
            for (const auto &item : items.all)
                corvid_bench::keep(item->label().textSize(font));
        },
        30);
    // The same panels through the rich-text layout they replace.
    QImage scratch(400, 200, QImage::Format_ARGB32_Premultiplied);
    const auto drawPanels = [&](QwtText::TextFormat format) {
        return corvid_bench::bestSeconds(
            [&] {
                QPainter p(&scratch);
                p.setFont(font);
                for (const auto &item : items.all) {
                    const QwtText text(item->label().text(), format);
                    const QSizeF size = text.textSize(font);
                    text.draw(&p, QRectF(QPointF(0, 0), size));
                }
            },
            30);
    };
    const double richPanels = drawPanels(QwtText::RichText);
    const double fastPanels = drawPanels(PreformattedTextEngine::format);

    char line[256];
    std::snprintf(line, sizeof line, "histogram ms_bare=%.3f ms_full=%.3f ratio=%.2f canvas_full=%dx%d", bare * 1e3,
                  full * 1e3, full / bare, canvas.width(), canvas.height());
    corvid_bench::report(line);
    std::snprintf(line, sizeof line,
                  "histogram_split ms_estimators=%.3f ms_labels=%.3f ms_drawing=%.3f share_estimators=%.2f "
                  "share_labels=%.2f share_drawing=%.2f",
                  estimators * 1e3, labels * 1e3, (full - estimators - labels) * 1e3, estimators / full,
                  labels / full, (full - estimators - labels) / full);
    corvid_bench::report(line);
    std::snprintf(line, sizeof line, "histogram_panels n=%d ms_richtext=%.3f ms_engine=%.3f ratio=%.2f",
                  int(items.all.size()), richPanels * 1e3, fastPanels * 1e3, richPanels / fastPanels);
    corvid_bench::report(line);
    return 0;
}
