// Feed a chamber display: the beam's mean position and the strip balance.
#include <VRXPositionPlot.h>
#include <VRXScopePlotView.h>
#include <VRXSplitPlot.h>

using namespace Corvid_Qt;

void setUpChamberDisplays(VRXPositionPlot *position, VRXSplitPlot *split)
{
    position->setXScale(-20.0, 20.0); // mm around the chamber's centre
    position->setYScale(-20.0, 20.0);
    position->setScale(VRXScopePlotView::PlotScale100);

    split->setNumberPlots(2); // X and Y
    split->setXScale(-1.0, 1.0);
    split->setAxisLabel(QStringLiteral("X balance"), 0);
    split->setAxisLabel(QStringLiteral("Y balance"), 1);
}

// Per frame the host computed: the displays redraw on their own timer.
void feedChamberDisplays(VRXPositionPlot *position, VRXSplitPlot *split, double xMm, double yMm, double xBalance,
                         double yBalance)
{
    position->setData(xMm, yMm);
    split->setData(xBalance, yBalance);
}
