#include "PictureTour.h"

#include "DemoActions.h"

#include "ScopePanelPage.h"
#include "SimulatedCurrentReader.h"
#include "SimulatedProfileMonitor.h"

#include <VRXScope.h>
#include <VRXSpectrogram.h>

#include <QtWidgets/QCheckBox>

#include <QtWidgets/QComboBox>
#include <QtWidgets/QToolButton>

using Corvid_Qt::VRXScope;

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
    page->monitor()->Clear();
    for (int i = 0; i <= 130; ++i)
        page->monitor()->addFrame(0.05 * i);
    monitor->SetPlotMode(VRXScope::HistogramPlotMode);
    grab(QStringLiteral("monitor-histogram"));
    monitor->SetPlotMode(VRXScope::StripPlotMode);
    grab(QStringLiteral("monitor-strip"));
    monitor->SetPlotMode(VRXScope::HistogramPlotMode);

    keep(saveThroughPanel(monitor, path(QStringLiteral("monitor"), QStringLiteral(".csv"))));

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
