#include "VRXDiscontinuousPlotCurve.h"

#include <qwt_scale_map.h>

#include <algorithm>
#include <cmath>

namespace Corvid_Qt {

namespace {

const double kMaxGapPixels = 100.0;

bool isFinite(const QPointF &p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

} // namespace

VRXDiscontinuousPlotCurve::VRXDiscontinuousPlotCurve(const QString &title)
    : QwtPlotCurve(title)
{
}

void VRXDiscontinuousPlotCurve::drawCurve(QPainter *painter, int style, const QwtScaleMap &xMap,
                                          const QwtScaleMap &yMap, const QRectF &canvasRect,
                                          int from, int to) const
{
    if (style == Lines)
        drawLines(painter, xMap, yMap, canvasRect, from, to);
    else
        QwtPlotCurve::drawCurve(painter, style, xMap, yMap, canvasRect, from, to);
}

void VRXDiscontinuousPlotCurve::drawLines(QPainter *painter, const QwtScaleMap &xMap,
                                          const QwtScaleMap &yMap, const QRectF &canvasRect,
                                          int from, int to) const
{
    const QwtSeriesData<QPointF> *series = data();
    if (!series || from > to)
        return;
    to = std::min(to, int(series->size()) - 1);
    from = std::max(from, 0);

    // Each sample is read once; the base class reads the drawn runs again.
    int i = from;
    QPointF current;
    while (i <= to && !isFinite(current = series->sample(size_t(i))))
        ++i;
    int start = i;
    double limit = kMaxGapPixels;
    while (i <= to) {
        if (i == to) {
            drawRun(painter, xMap, yMap, canvasRect, start, i);
            break;
        }
        const QPointF next = series->sample(size_t(i + 1));
        if (!isFinite(next)) {
            drawRun(painter, xMap, yMap, canvasRect, start, i);
            i += 2;
            while (i <= to && !isFinite(current = series->sample(size_t(i))))
                ++i;
            start = i;
            limit = kMaxGapPixels;
            continue;
        }
        const double dx = xMap.transform(next.x()) - xMap.transform(current.x());
        if (dx < 0.0 || dx > limit) {
            drawRun(painter, xMap, yMap, canvasRect, start, i);
            start = i + 1;
            limit = kMaxGapPixels;
        } else {
            limit = std::min(2.0 * dx, kMaxGapPixels);
        }
        current = next;
        ++i;
    }
}

void VRXDiscontinuousPlotCurve::drawRun(QPainter *painter, const QwtScaleMap &xMap,
                                        const QwtScaleMap &yMap, const QRectF &canvasRect,
                                        int first, int last) const
{
    if (last - first <= 1)
        QwtPlotCurve::drawDots(painter, xMap, yMap, canvasRect, first, last);
    else
        QwtPlotCurve::drawLines(painter, xMap, yMap, canvasRect, first, last);
}

} // namespace Corvid_Qt
