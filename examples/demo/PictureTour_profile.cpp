#include "PictureTour.h"

#include "ProfileMonitorPage.h"
#include "SimulatedProfileMonitor.h"

void PictureTour::profileMonitor()
{
    auto *page = visit<ProfileMonitorPage>("beam-profile");
    if (!page)
        return;
    // One beam, then the second peak in the other region.
    page->monitor()->addFrame(2.0);
    grab(QStringLiteral("one-beam"));
    page->monitor()->addFrame(6.5);
    grab(QStringLiteral("second-peak"));
}
