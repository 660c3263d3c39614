#include "CachedLabelMarker_p.h"

#include <QtGui/QPainter>
#include <QtGui/QPen>

#include <cmath>

namespace Corvid_Qt {

void CachedLabelMarker::draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                             const QRectF &canvasRect) const
{
    m_xMap = xMap;
    m_yMap = yMap;
    QwtPlotMarker::draw(painter, xMap, yMap, canvasRect);
}

QRectF CachedLabelMarker::labelRect(const QRectF &canvasRect, const QPointF &pos, const QSizeF &size) const
{
    // Placed as QwtPlotMarker places the label of a vertical line: the
    // vertical alignment is relative to the canvas.
    Qt::Alignment align = labelAlignment();
    QPointF at = pos;
    if (align & Qt::AlignTop) {
        at.setY(canvasRect.top());
        align = (align & ~Qt::AlignTop) | Qt::AlignBottom;
    } else if (align & Qt::AlignBottom) {
        at.setY(canvasRect.bottom() - 1);
        align = (align & ~Qt::AlignBottom) | Qt::AlignTop;
    } else {
        at.setY(canvasRect.center().y());
    }
    qreal offset = linePen().widthF() / 2.0;
    if (offset == 0.0)
        offset = 0.5;
    offset += spacing();
    if (align & Qt::AlignLeft)
        at.rx() -= offset + size.width();
    else if (align & Qt::AlignRight)
        at.rx() += offset;
    else
        at.rx() -= size.width() / 2;
    if (align & Qt::AlignTop)
        at.ry() -= offset + size.height();
    else if (align & Qt::AlignBottom)
        at.ry() += offset;
    else
        at.ry() -= size.height() / 2;
    return QRectF(at, size);
}

void CachedLabelMarker::drawLabel(QPainter *painter, const QRectF &canvasRect, const QPointF &pos) const
{
    m_drawnRect = QRectF();
    const QwtText text = label();
    if (text.isEmpty())
        return;
    if (lineStyle() != VLine || labelOrientation() != Qt::Horizontal) {
        QwtPlotMarker::drawLabel(painter, canvasRect, pos);
        return;
    }

    const bool sameText = text == m_text && painter->font() == m_font;
    if (!sameText) {
        m_text = text;
        m_font = painter->font();
        m_size = text.textSize(m_font);
        m_image = QImage();
    }
    const QSizeF size = m_size;
    QRectF rect = labelRect(canvasRect, pos, size);
    // Two markers close together would print their labels over each other.
    const CachedLabelMarker *other = m_avoided;
    if (other && other != this && other->plot() == plot() && other->isVisible() && other->lineStyle() == VLine
        && other->labelOrientation() == Qt::Horizontal) {
        const QwtText otherText = other->label();
        if (!otherText.isEmpty()) {
            const QPointF otherPos(m_xMap.transform(other->xValue()), m_yMap.transform(other->yValue()));
            const QRectF taken = other->labelRect(canvasRect, otherPos, otherText.textSize(painter->font()));
            if (rect.intersects(taken))
                rect.moveTop(taken.bottom() + 2);
        }
    }
    m_drawnRect = rect;
    const QPointF at = rect.topLeft();

    // The image holds the label at the same offset from the pixel grid
    // as it has on the canvas, so that it comes out exactly as drawn
    // directly; a marker that moves by whole pixels keeps it.
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QPointF device = at * ratio;
    const QPointF whole(std::floor(device.x()), std::floor(device.y()));
    const QPointF fraction = device - whole;
    if (m_image.isNull() || ratio != m_ratio || fraction != m_fraction) {
        m_ratio = ratio;
        m_fraction = fraction;
        const QSize pixels(int(std::ceil(fraction.x() + size.width() * ratio)) + 1,
                           int(std::ceil(fraction.y() + size.height() * ratio)) + 1);
        m_image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        m_image.setDevicePixelRatio(ratio);
        m_image.fill(Qt::transparent);
        QPainter imagePainter(&m_image);
        imagePainter.setFont(m_font);
        imagePainter.setRenderHints(painter->renderHints());
        m_text.draw(&imagePainter, QRectF(fraction / ratio, size));
    }
    painter->drawImage(whole / ratio, m_image);
}

} // namespace Corvid_Qt
