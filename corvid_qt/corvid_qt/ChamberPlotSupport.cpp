#include "ChamberPlotSupport_p.h"

#include <qwt_plot.h>

namespace Corvid_Qt {

double chamberScaleFactor(int index)
{
    static const double factors[] = {0.5, 0.2, 0.1, 0.05, 0.02, 0.01, 0.005,
                                     0.002, 0.001, 0.0005, 0.0002, 0.0001};
    const int first = 3;
    const int count = int(sizeof(factors) / sizeof(factors[0]));
    return index >= first && index < first + count ? factors[index - first] : 1.0;
}

void setChamberAxis(QwtPlot *plot, int axis, bool autoscale, double min, double max)
{
    if (autoscale) {
        plot->setAxisAutoScale(axis, true);
        return;
    }
    plot->setAxisAutoScale(axis, false);
    plot->setAxisScale(axis, min, max, (max - min) / 10.0);
}

} // namespace Corvid_Qt
