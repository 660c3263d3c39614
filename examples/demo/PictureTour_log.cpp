#include "PictureTour.h"

#include "DemoActions.h"
#include "ScopePanelPage.h"
#include "SimulatedCurrentReader.h"
#include "SimulatedProfileMonitor.h"

#include <QtWidgets/QDockWidget>

void PictureTour::logPanel()
{
    auto *page = visit<ScopePanelPage>("log");
    if (!page)
        return;
    // Ten seconds of the reader at once: two timeouts with their dropped
    // frames and the overranges of the strongest pulses; then the monitor
    // through its change to the higher range and back, and a reconnect.
    page->reader()->replay(10.0);
    for (double t = 4.5; t < 8.6; t += 0.5)
        page->monitor()->addFrame(t);
    page->setSimulationRunning(true);
    m_window.resizeDocks({m_window.logDock()}, {360}, Qt::Vertical);
    DemoActions::settle();
    const QString file = path(QStringLiteral("panel"), QStringLiteral(".png"));
    if (m_window.logDock()->grab().save(file))
        m_files << file;
}
