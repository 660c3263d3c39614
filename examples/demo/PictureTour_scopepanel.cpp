#include "PictureTour.h"

#include "DemoActions.h"

#include "ScopePanelPage.h"
#include "SimulatedCurrentReader.h"
#include "SimulatedProfileMonitor.h"

#include <VRXMultichannelProxyModel.h>
#include <VRXScope.h>
#include <VRXScopePlotView.h>
#include <VRXSingleChannelDataModel.h>
#include <VRXSpectrogram.h>

#include <QtWidgets/QCheckBox>

#include <QtWidgets/QComboBox>
#include <QtWidgets/QToolButton>

#include <cmath>
#include <memory>
#include <vector>

using Corvid_Qt::VRXScope;
using Corvid_Qt::VRXScopePlotView;

using namespace DemoActions;

void PictureTour::scopePanel()
{
    auto *page = visit<ScopePanelPage>("scope-panel");
    if (!page)
        return;
    VRXScope *reader = page->readerScope();

    // The current reader: a fixed 4.5 s with a pause inside the strip.
    page->instrumentSelector()->setCurrentIndex(0);
    page->reader()->replay(4.5);
    const struct {
        VRXScope::PlotMode mode;
        const char *suffix;
    } modes[] = {{VRXScope::StripPlotMode, "reader-strip"},
                 {VRXScope::ScopePlotMode, "reader-scope"},
                 {VRXScope::HistogramPlotMode, "reader-histogram"}};
    for (const auto &m : modes) {
        reader->SetPlotMode(m.mode);
        grab(QLatin1String(m.suffix));
    }

    // The Y scale families, in strip mode. The absolute lists cannot be
    // left again, so the percentages come first.
    reader->SetPlotMode(VRXScope::StripPlotMode);
    choose(reader, "scaleYCombo", QStringLiteral("50%"));
    reader->SetPositiveOnly(true);
    grab(QStringLiteral("reader-y-percent"));

    choose(reader, "averagingCombo", QStringLiteral("10x Avg"));
    control<QToolButton>(reader, "zeroButton")->click();
    grab(QStringLiteral("reader-averaged-zeroed"));
    control<QToolButton>(reader, "clearZeroButton")->click();
    choose(reader, "averagingCombo", QStringLiteral("No Avg"));

    reader->SetYScaleMode(VRXScope::_PlotScaleAbsolute);
    choose(reader, "scaleYCombo", QStringLiteral("5"));
    grab(QStringLiteral("reader-y-absolute"));
    reader->SetYScaleMode(VRXScope::_PlotScaleAbsolutePositive);
    choose(reader, "scaleYCombo", QStringLiteral("5"));
    grab(QStringLiteral("reader-y-absolute-positive"));
    reader->SetYScaleMode(VRXScope::_PlotScaleAutoOnly);
    grab(QStringLiteral("reader-y-auto-only"));

    keep(saveThroughPanel(reader, path(QStringLiteral("reader"), QStringLiteral(".csv"))));

    // The profile monitor: 6.5 s of frames, ending with the second peak.
    VRXScope *monitor = page->monitorScope();
    page->instrumentSelector()->setCurrentIndex(1);
    page->replayMonitor(6.5);
    monitor->SetPlotMode(VRXScope::HistogramPlotMode);
    grab(QStringLiteral("monitor-histogram"));
    monitor->SetPlotMode(VRXScope::StripPlotMode);
    grab(QStringLiteral("monitor-strip"));
    monitor->SetPlotMode(VRXScope::HistogramPlotMode);

    keep(saveThroughPanel(monitor, path(QStringLiteral("monitor"), QStringLiteral(".csv"))));

    // The same monitor in a panel of its own where a host has little room:
    // 640 x 400, full statistics in histogram mode.
    {
        VRXScope small;
        small.setModel(page->monitor());
        small.plotView()->enableHistogramItem(VRXScopePlotView::CoGHistogramItemType, 2, {0, 0.1, 3}, true);
        small.plotView()->enableHistogramItem(VRXScopePlotView::RegressionHistogramItemType, 2,
                                              {0.1, 1024, 1e-15, 1e-14, 2, 5}, true);
        small.SetPlotMode(VRXScope::HistogramPlotMode);
        small.resize(640, 400);
        small.show();
        page->monitor()->addFrame(6.5);
        grabAlone(&small, QStringLiteral("panel-640x400"));
        small.SetPlotMode(VRXScope::StripPlotMode);
        grabAlone(&small, QStringLiteral("panel-640x400-strip"));
    }

    // Eight beams over 128 channels, each with the Gaussian fit's full
    // statistics and the centre of gravity, on a 1200 px wide profile.
    {
        const int channels = 128, peaks = 8;
        std::vector<std::unique_ptr<Corvid_Qt::VRXSingleChannelDataModel>> strips;
        Corvid_Qt::VRXMultichannelProxyModel profile;
        for (int c = 0; c < channels; ++c) {
            strips.push_back(std::make_unique<Corvid_Qt::VRXSingleChannelDataModel>());
            profile.addSourceModel(strips.back().get());
        }
        VRXScopePlotView view;
        view.setModel(&profile);
        view.SetPlotMode(VRXScopePlotView::HistogramPlotMode);
        view.enableHistogramItem(VRXScopePlotView::RegressionHistogramItemType, peaks,
                                 {0.1, 1024, 1e-15, 1e-14, 2, 5}, true);
        view.enableHistogramItem(VRXScopePlotView::CoGHistogramItemType, peaks, {0, 0.1, 3}, true);
        view.resize(1200, 1000);
        view.show();
        for (int c = 0; c < channels; ++c) {
            double value = 0.05e-9;
            for (int p = 0; p < peaks; ++p) {
                const double d = c - (16.0 * p + 7.5 + 0.4 * std::sin(p));
                value += (0.6 + 0.08 * p) * 1e-9 * std::exp(-d * d / (2 * 1.8 * 1.8));
            }
            strips[size_t(c)]->AddData(1.0, value);
        }
        grabAlone(&view, QStringLiteral("eight-peaks-full-statistics"));
    }

    // The pixelated chamber on the 2D tab: the beam with its ellipse and
    // displacement arrow, smoothed, in grey and in colour.
    page->instrumentSelector()->setCurrentIndex(2);
    settle();
    Corvid_Qt::VRXSpectrogram *image = page->spectrogram();
    control<QCheckBox>(image, "checkBox_ellipse")->setChecked(true);
    control<QCheckBox>(image, "checkBox_arrow")->setChecked(true);
    control<QCheckBox>(image, "checkBox_smoothing")->setChecked(true);
    auto feedFrames = [&](double from) {
        // Each frame waits for the display's refresh tick, as a live feed would.
        for (int i = 0; i < 20; ++i) {
            image->update();
            page->feedChamber(from + 0.1 * i);
        }
    };
    feedFrames(20.0);
    grab(QStringLiteral("chamber-2d-grey"));
    choose(image, "comboBox_color", QStringLiteral("Color"));
    feedFrames(22.0);
    grab(QStringLiteral("chamber-2d-colour"));
    keep(saveThroughPanel(page->chamberScope(), path(QStringLiteral("chamber"), QStringLiteral(".csv"))));
    page->instrumentSelector()->setCurrentIndex(0);
}
