#include "PictureTour.h"

#include "DemoActions.h"

#include "ScopePanelPage.h"
#include "SimulatedCurrentReader.h"
#include "SimulatedProfileMonitor.h"

#include <VRXScope.h>

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
    page->instrumentSelector()->setCurrentIndex(0);
}
