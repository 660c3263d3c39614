#ifndef CORVID_QT_BACKGROUND_H
#define CORVID_QT_BACKGROUND_H

#include "corvid_qt_export.h"

#include <qwt_plot_item.h>

namespace Corvid_Qt {

/**
 * Paints the whole canvas black beneath the chamber plots' items.
 * Owned by the plot it is attached to.
 */
class CORVID_QT_EXPORT Background : public QwtPlotItem
{
public:
    Background();

    int rtti() const override;
    void draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
              const QRectF &canvasRect) const override;
};

} // namespace Corvid_Qt

#endif
