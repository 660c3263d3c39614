#include "RasterPlotCanvas_p.h"

#include <QtGui/QPainter>
#include <qwt_plot.h>
#include <QtGui/QPixmap>

namespace Corvid_Qt {

RasterPlotCanvas::RasterPlotCanvas(QwtPlot *plot)
    : QwtPlotCanvas(plot)
{
}

void RasterPlotCanvas::paintEvent(QPaintEvent *event)
{
    const QPixmap *store = backingStore();
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    // Styled and rounded canvases take Qwt's own way.
    if (store && testPaintAttribute(BackingStore) && store->size() != pixels && !pixels.isEmpty()
        && !testAttribute(Qt::WA_StyledBackground) && borderRadius() <= 0.0) {
        QImage image(pixels, QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        {
            QPainter painter(&image);
            const QRect all(QPoint(0, 0), size());
            const QBrush fill = palette().brush(backgroundRole());
            if (!(autoFillBackground() && fill.isOpaque()))
                painter.fillRect(all, palette().brush(QPalette::Window));
            if (autoFillBackground())
                painter.fillRect(all, fill);
            if (QwtPlot *owner = plot()) {
                painter.save();
                painter.setClipRect(contentsRect(), Qt::IntersectClip);
                owner->drawCanvas(&painter);
                painter.restore();
            }
            if (frameWidth() > 0)
                drawBorder(&painter);
        }
        // Qwt keeps the store and decides when it is stale; it is only
        // handed out const.
        *const_cast<QPixmap *>(store) = QPixmap::fromImage(std::move(image));
    }
    QwtPlotCanvas::paintEvent(event);
}

} // namespace Corvid_Qt
