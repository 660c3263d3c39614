#include "PlotGrid_p.h"

#include "RasterFill_p.h"

#include <QtCore/QVector>
#include <QtGui/QPainter>

#include <qwt_scale_map.h>

#include <cmath>

namespace Corvid_Qt {

namespace {

bool within(double value, double low, double high)
{
    return (value >= low || qFuzzyCompare(value, low)) && (value <= high || qFuzzyCompare(value, high));
}

// The lines QwtPlotGrid draws across the canvas at `values`: rounded to the
// pixel, from the canvas's first row or column to one short of its last.
// False where one of them is not a plain run of pixels.
bool lineRects(const QRectF &canvas, Qt::Orientation orientation, const QwtScaleMap &map,
               const QList<double> &values, QVector<QRect> *rects)
{
    const double x1 = canvas.left(), x2 = canvas.right() - 1.0;
    const double y1 = canvas.top(), y2 = canvas.bottom() - 1.0;
    for (double v : values) {
        const double at = map.transform(v);
        if (!(std::abs(at) < 1.0e6))
            continue; // far off the canvas, or not a number
        const double pixel = qRound(at);
        QRect rect;
        if (orientation == Qt::Horizontal) {
            if (!within(pixel, y1, y2))
                continue;
            if (!thinLineRect(x1, pixel, x2, pixel, &rect))
                return false;
        } else {
            if (!within(pixel, x1, x2))
                continue;
            if (!thinLineRect(pixel, y1, pixel, y2, &rect))
                return false;
        }
        rects->append(rect);
    }
    return true;
}

} // namespace

void PlotGrid::draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap, const QRectF &canvasRect) const
{
    QPen minor = minorPen();
    minor.setCapStyle(Qt::FlatCap);
    QPen major = majorPen();
    major.setCapStyle(Qt::FlatCap);

    // Minor lines first, then major ones over them, as QwtPlotGrid does; if
    // any line is not a plain run of pixels, all of them are left to it.
    QVector<QRect> minorRects, majorRects;
    bool plain = canvasRect.toAlignedRect() == canvasRect && fillsThinLines(painter, minor)
                 && fillsThinLines(painter, major);
    if (plain && xEnabled() && xMinEnabled()) {
        plain = lineRects(canvasRect, Qt::Vertical, xMap, xScaleDiv().ticks(QwtScaleDiv::MinorTick), &minorRects)
                && lineRects(canvasRect, Qt::Vertical, xMap, xScaleDiv().ticks(QwtScaleDiv::MediumTick), &minorRects);
    }
    if (plain && yEnabled() && yMinEnabled()) {
        plain = lineRects(canvasRect, Qt::Horizontal, yMap, yScaleDiv().ticks(QwtScaleDiv::MinorTick), &minorRects)
                && lineRects(canvasRect, Qt::Horizontal, yMap, yScaleDiv().ticks(QwtScaleDiv::MediumTick), &minorRects);
    }
    if (plain && xEnabled())
        plain = lineRects(canvasRect, Qt::Vertical, xMap, xScaleDiv().ticks(QwtScaleDiv::MajorTick), &majorRects);
    if (plain && yEnabled())
        plain = lineRects(canvasRect, Qt::Horizontal, yMap, yScaleDiv().ticks(QwtScaleDiv::MajorTick), &majorRects);
    if (!plain) {
        QwtPlotGrid::draw(painter, xMap, yMap, canvasRect);
        return;
    }
    for (const QRect &rect : qAsConst(minorRects))
        painter->fillRect(rect, minor.brush());
    for (const QRect &rect : qAsConst(majorRects))
        painter->fillRect(rect, major.brush());
}

} // namespace Corvid_Qt
