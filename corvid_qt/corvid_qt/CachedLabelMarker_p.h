#ifndef CORVID_QT_CACHEDLABELMARKER_P_H
#define CORVID_QT_CACHEDLABELMARKER_P_H

#include <QtGui/QFont>
#include <QtGui/QImage>

#include <qwt_plot_marker.h>
#include <qwt_text.h>

namespace Corvid_Qt {

// A vertical-line marker that keeps its label as an image. Shaping and
// drawing the statistics text is the dearest part of a plot pass, and the
// text changes far less often than the plot is painted.
class CachedLabelMarker : public QwtPlotMarker
{
protected:
    void drawLabel(QPainter *painter, const QRectF &canvasRect, const QPointF &pos) const override;

private:
    mutable QwtText m_text;
    mutable QFont m_font;
    mutable QSizeF m_size;
    mutable qreal m_ratio = 0.0;
    mutable QPointF m_fraction;
    mutable QImage m_image;
};

} // namespace Corvid_Qt

#endif
