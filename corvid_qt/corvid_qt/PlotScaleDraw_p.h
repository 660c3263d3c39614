#ifndef CORVID_QT_PLOTSCALEDRAW_P_H
#define CORVID_QT_PLOTSCALEDRAW_P_H

#include "corvid_qt_export.h"

#include <qwt_scale_draw.h>

namespace Corvid_Qt {

/**
 * The plot view's scale draw: draws what QwtScaleDraw draws, but lays a
 * 1-pixel backbone and ticks on a raster device as filled rectangles.
 * Qt's raster engine strokes a cosmetic line pixel by pixel wherever the
 * clip is not one rectangle, and an axis widget's clip seldom is (the
 * neighbouring axis overlaps its corner): the x backbone alone then cost
 * about 170 µs a repaint. The rectangles cover exactly the pixels the line
 * would. Owned by its scale widget.
 */
class CORVID_QT_EXPORT PlotScaleDraw : public QwtScaleDraw
{
public:
    PlotScaleDraw() = default;

protected:
    void drawBackbone(QPainter *painter) const override;
    void drawTick(QPainter *painter, double value, double len) const override;

private:
    bool fillsLines(const QPainter *painter) const;
};

} // namespace Corvid_Qt

#endif
