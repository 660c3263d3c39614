#include "Background.h"

#include <QtGui/QPainter>

namespace Corvid_Qt {

Background::Background()
    : QwtPlotItem(QwtText(QString()))
{
    setZ(0.0);
}

int Background::rtti() const
{
    return QwtPlotItem::Rtti_PlotUserItem;
}

void Background::draw(QPainter *painter, const QwtScaleMap &, const QwtScaleMap &,
                      const QRectF &canvasRect) const
{
    painter->fillRect(canvasRect, Qt::black);
}

} // namespace Corvid_Qt
