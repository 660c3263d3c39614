#ifndef CORVID_QT_CACHEDLABELMARKER_P_H
#define CORVID_QT_CACHEDLABELMARKER_P_H

#include "corvid_qt_export.h"

#include <QtGui/QFont>
#include <QtGui/QImage>

#include <qwt_plot_marker.h>
#include <qwt_scale_map.h>
#include <qwt_text.h>

namespace Corvid_Qt {

// A vertical-line marker that keeps its label as an image. Shaping and
// drawing the statistics text is the dearest part of a plot pass, and the
// text changes far less often than the plot is painted. Exported, though
// private, so that the tests can read where a label was drawn.
class CORVID_QT_EXPORT CachedLabelMarker : public QwtPlotMarker
{
public:
    /// Where the label overlaps the label of `other` on the same plot, it
    /// goes below it instead. Not owned; null for none.
    void setAvoidedMarker(const CachedLabelMarker *other) { m_avoided = other; }
    /// The label's place for a line at `pos`, before any avoiding.
    QRectF labelRect(const QRectF &canvasRect, const QPointF &pos, const QSizeF &size) const;
    /// Where the label went on the canvas in the last paint.
    QRectF drawnLabelRect() const { return m_drawnRect; }

    void draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
              const QRectF &canvasRect) const override;

protected:
    void drawLabel(QPainter *painter, const QRectF &canvasRect, const QPointF &pos) const override;

private:
    const CachedLabelMarker *m_avoided = nullptr;
    mutable QwtScaleMap m_xMap;
    mutable QwtScaleMap m_yMap;
    mutable QRectF m_drawnRect;
    mutable QwtText m_text;
    mutable QFont m_font;
    mutable QSizeF m_size;
    mutable qreal m_ratio = 0.0;
    mutable QPointF m_fraction;
    mutable QImage m_image;
};

} // namespace Corvid_Qt

#endif
