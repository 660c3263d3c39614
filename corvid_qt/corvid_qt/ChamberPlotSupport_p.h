#ifndef CORVID_QT_CHAMBERPLOTSUPPORT_P_H
#define CORVID_QT_CHAMBERPLOTSUPPORT_P_H

#include <qwt_plot_item.h>

class QwtPlot;

namespace Corvid_Qt {

/// Run-time type of the library's own plot items.
constexpr int kChamberItemRtti = QwtPlotItem::Rtti_PlotUserItem;

/// The fraction of the full range that a PlotScales index stands for; 1 for
/// the automatic entries and any unknown index.
double chamberScaleFactor(int index);

/// Fixed limits min..max with ten steps, or the automatic scale when autoscale.
void setChamberAxis(QwtPlot *plot, int axis, bool autoscale, double min, double max);

} // namespace Corvid_Qt

#endif
