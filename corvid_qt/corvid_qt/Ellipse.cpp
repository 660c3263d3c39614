#include "Ellipse.h"

#include <QtCore/QLineF>
#include <QtGui/QPainter>
#include <qwt_scale_map.h>

namespace Corvid_Qt {

namespace {

QPen roundPen(const QColor &color, qreal width)
{
    return QPen(QBrush(color), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

} // namespace

Ellipse::Ellipse()
    : QwtPlotItem(QwtText(QString()))
    , m_rotation(0.0f)
    , m_major(0.0f)
    , m_minor(0.0f)
    , m_x(0.0f)
    , m_y(0.0f)
    , m_ellipse(false)
    , m_arrow(false)
    , m_arrow_scale(1)
    , m_xorigin(0.0)
    , m_yorigin(0.0)
    , m_waiting(false)
    , m_strips(12)
    , m_mmPerStrip(3.8)
{
    setZ(1.0);
}

int Ellipse::rtti() const
{
    return QwtPlotItem::Rtti_PlotUserItem;
}

void Ellipse::draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                   const QRectF &canvasRect) const
{
    const qreal u = canvasRect.width() / 12.0;
    if (m_waiting) {
        painter->setPen(roundPen(Qt::yellow, 2));
        const QPointF topLeft(11 * u, 8), topRight(12 * u - 6, 8);
        const QPointF bottomLeft(11 * u, u), bottomRight(12 * u - 6, u);
        painter->drawLine(topLeft, topRight);
        painter->drawLine(bottomLeft, bottomRight);
        painter->drawLine(topLeft, bottomRight);
        painter->drawLine(bottomLeft, topRight);
    }

    const QPointF centre(xMap.transform(m_x), yMap.transform(m_y));
    // The 24 px round dot, filled directly: stroking a wide point costs far more.
    painter->setPen(Qt::NoPen);
    painter->setBrush(Qt::blue);
    painter->drawEllipse(centre, 12.0, 12.0);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(roundPen(Qt::blue, 2));

    if (m_ellipse) {
        const QRectF rect = QRectF(QPointF(xMap.transform(m_x - m_major), yMap.transform(m_y - m_minor)),
                                   QPointF(xMap.transform(m_x + m_major), yMap.transform(m_y + m_minor)))
                                .normalized();
        painter->save();
        painter->translate(rect.center());
        // Painter angles turn clockwise on a y-down canvas; m_rotation is y-up.
        painter->rotate(-m_rotation);
        painter->translate(-rect.center());
        painter->drawEllipse(rect);
        painter->restore();
    }

    const double ox = m_xorigin != 0.0 ? m_xorigin / m_mmPerStrip : 0.0;
    const double oy = m_yorigin != 0.0 ? m_yorigin / m_mmPerStrip : 0.0;
    const int half = m_strips / 2;
    const QPointF origin(xMap.transform(half + ox), yMap.transform(half - oy));
    painter->drawLine(QPointF(origin.x(), 0), QPointF(origin.x(), canvasRect.height()));
    painter->drawLine(QPointF(0, origin.y()), QPointF(canvasRect.width(), origin.y()));

    if (m_arrow) {
        painter->setPen(roundPen(Qt::green, 4));
        QLineF shaft(origin, centre);
        shaft.setLength(shaft.length() * m_arrow_scale);
        const QPointF tip = shaft.p2();
        const qreal headLength = canvasRect.width() / 48.0;
        QLineF head1 = QLineF::fromPolar(headLength, shaft.angle() + 210.0).translated(tip);
        QLineF head2 = QLineF::fromPolar(headLength, shaft.angle() - 210.0).translated(tip);
        painter->drawLine(shaft);
        painter->drawLine(head1);
        painter->drawLine(head2);
    }
}

} // namespace Corvid_Qt
