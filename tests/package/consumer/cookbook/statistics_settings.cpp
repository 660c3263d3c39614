// Persist the statistics settings of the beam-profile views.
#include <VRXScopePlotView.h>
#include <VRXStatisticsSetupPage.h>

#include <QtCore/QFileInfo>

using namespace Corvid_Qt;

// The page drives the statistics items of every view added to it and
// writes each change into the host's settings file at once; given the same
// file in the next session, it sets itself and the views up from it.
void persistStatisticsSettings(VRXStatisticsSetupPage *page, VRXScopePlotView *profileView, const QString &file)
{
    page->addPlotView(profileView); // the view must outlive the page
    page->setApplicationSettings(QFileInfo(file), false, true); // no factory reset; create the file
}
