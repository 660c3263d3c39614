#include "VRXDiscontinuousPlotCurve.h"

#include "VRXSeriesData.h"

#include <qwt_clipper.h>
#include <qwt_painter.h>
#include <qwt_point_mapper.h>
#include <qwt_scale_map.h>

#include <QtGui/QPainter>

#include <algorithm>
#include <cmath>

namespace Corvid_Qt {

namespace {

const double kMaxGapPixels = 100.0;

bool isFinite(const QPointF &p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

QVector<QPointF> copySamples(const QwtSeriesData<QPointF> &series, int from, int to)
{
    QVector<QPointF> samples(to - from + 1);
    for (int i = from; i <= to; ++i)
        samples[i - from] = series.sample(size_t(i));
    return samples;
}

} // namespace

VRXDiscontinuousPlotCurve::VRXDiscontinuousPlotCurve(const QString &title)
    : QwtPlotCurve(title)
{
}

void VRXDiscontinuousPlotCurve::setDecimationDensity(double samplesPerColumn)
{
    if (std::isnan(samplesPerColumn) || samplesPerColumn == m_decimationDensity)
        return;
    m_decimationDensity = std::max(samplesPerColumn, 0.0);
    itemChanged();
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
    if (from > to)
        return;

    // Samples may come through a chain of models: read each one once and
    // draw the runs from the copy. Model series read whole keep their own.
    const auto *modelSeries = dynamic_cast<const VRXSeriesData *>(series);
    const bool whole = modelSeries && from == 0 && to == int(series->size()) - 1;
    const QVector<QPointF> samples = whole ? modelSeries->samples() : copySamples(*series, from, to);
    if (spansDraw(painter) && drawSpans(painter, xMap, yMap, canvasRect, samples.constData(), samples.size()))
        return;
    const QwtPointSeriesData copy(samples);

    const int last = to - from;
    int i = 0;
    while (i <= last && !isFinite(samples[i]))
        ++i;
    int start = i;
    double limit = kMaxGapPixels;
    double x = i <= last ? xMap.transform(samples[i].x()) : 0.0;
    while (i <= last) {
        if (i == last) {
            drawRun(painter, xMap, yMap, canvasRect, copy, from, start, i);
            break;
        }
        if (!isFinite(samples[i + 1])) {
            drawRun(painter, xMap, yMap, canvasRect, copy, from, start, i);
            i += 2;
            while (i <= last && !isFinite(samples[i]))
                ++i;
            start = i;
            limit = kMaxGapPixels;
            if (i <= last)
                x = xMap.transform(samples[i].x());
            continue;
        }
        const double next = xMap.transform(samples[i + 1].x());
        const double dx = next - x;
        x = next;
        if (dx < 0.0 || dx > limit) {
            drawRun(painter, xMap, yMap, canvasRect, copy, from, start, i);
            start = i + 1;
            limit = kMaxGapPixels;
        } else {
            limit = std::min(2.0 * dx, kMaxGapPixels);
        }
        ++i;
    }
}

void VRXDiscontinuousPlotCurve::drawRun(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                                        const QRectF &canvasRect, const QwtPointSeriesData &copy, int offset,
                                        int first, int last) const
{
    if (last - first <= 1) {
        QwtPlotCurve::drawDots(painter, xMap, yMap, canvasRect, first + offset, last + offset);
        return;
    }
    // What QwtPlotCurve::drawLines does for an unfilled, unfitted curve,
    // from the copy instead of the series.
    const bool fitted = testCurveAttribute(Fitted) && curveFitter();
    const bool filled = brush().style() != Qt::NoBrush && brush().color().alpha() > 0;
    if (fitted || filled) {
        QwtPlotCurve::drawLines(painter, xMap, yMap, canvasRect, first + offset, last + offset);
        return;
    }
    QwtPointMapper mapper;
    mapper.setFlag(QwtPointMapper::RoundPoints, QwtPainter::roundingAlignment(painter));
    mapper.setFlag(QwtPointMapper::WeedOutPoints, testPaintAttribute(FilterPoints));
    mapper.setBoundingRect(canvasRect);
    QPolygonF polyline = mapper.toPolygonF(xMap, yMap, &copy, first, last);
    if (testPaintAttribute(ClipPolygons)) {
        const qreal pw = std::max(qreal(1.0), painter->pen().widthF());
        polyline = QwtClipper::clipPolygonF(canvasRect.adjusted(-pw, -pw, pw, pw), polyline);
    }
    QwtPainter::drawPolyline(painter, polyline);
}

bool VRXDiscontinuousPlotCurve::spansDraw(const QPainter *painter) const
{
    const bool fitted = testCurveAttribute(Fitted) && curveFitter();
    const bool filled = brush().style() != Qt::NoBrush && brush().color().alpha() > 0;
    return !fitted && !filled && std::isfinite(m_decimationDensity) && painter->pen().style() == Qt::SolidLine &&
           painter->transform().type() <= QTransform::TxTranslate;
}

bool VRXDiscontinuousPlotCurve::drawSpans(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                                          const QRectF &canvasRect, const QPointF *samples, int count) const
{
    const QPen pen = painter->pen();
    const int width = std::max(1, int(std::lround(pen.widthF())));
    const int grow = (width - 1) / 2;
    // Far-off samples are pinned just outside the canvas: they still pull a
    // span to its edge, and the pixel numbers stay small.
    const double margin = width + 2.0;
    const double left = canvasRect.left() - margin, right = canvasRect.right() + margin;
    const double top = canvasRect.top() - margin, bottom = canvasRect.bottom() + margin;
    // Rounds half up like std::floor(v + 0.5), without a library call:
    // truncation is flooring once the value is made positive.
    const double shift = 1 << 30;
    const auto pixel = [shift](double v, double low, double high) {
        return int(qBound(low, v, high) + (0.5 + shift)) - int(shift);
    };
    const int firstColumn = pixel(left, left, right) + 1, lastColumn = pixel(right, left, right) - 1;

    QVector<QRect> &spans = m_spans;
    spans.resize(0);
    const auto flush = [&](int column, int low, int high) {
        if (column >= firstColumn && column <= lastColumn)
            spans.append(QRect(column - grow, low - grow, width, high - low + width));
    };

    // One walk does the run splitting of drawLines() and the reduction to
    // columns: a run's first column reaches back to nothing.
    int finite = 0;
    double xLow = 0.0, xHigh = 0.0;
    bool inRun = false;
    double limit = kMaxGapPixels, previousX = 0.0;
    int column = 0, low = 0, high = 0, lastY = 0;
    for (int i = 0; i < count; ++i) {
        const QPointF &p = samples[i];
        if (!isFinite(p)) {
            if (inRun)
                flush(column, low, high);
            inRun = false;
            continue;
        }
        const double px = xMap.transform(p.x());
        if (inRun) {
            const double dx = px - previousX;
            if (dx < 0.0 || dx > limit) {
                flush(column, low, high);
                inRun = false;
            } else {
                limit = std::min(2.0 * dx, kMaxGapPixels);
            }
        }
        previousX = px;
        const int c = pixel(px, left, right);
        const int y = pixel(yMap.transform(p.y()), top, bottom);
        if (!inRun) {
            inRun = true;
            limit = kMaxGapPixels;
            column = c;
            low = high = y;
        } else if (c != column) {
            flush(column, low, high);
            column = c;
            low = std::min(lastY, y);
            high = std::max(lastY, y);
        } else {
            low = std::min(low, y);
            high = std::max(high, y);
        }
        lastY = y;
        xLow = finite == 0 ? px : std::min(xLow, px);
        xHigh = finite == 0 ? px : std::max(xHigh, px);
        ++finite;
    }
    if (inRun)
        flush(column, low, high);
    if (finite == 0 || finite <= m_decimationDensity * (xHigh - xLow + 1.0))
        return false;

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(Qt::NoPen);
    painter->setBrush(pen.brush());
    painter->drawRects(spans.constData(), spans.size());
    painter->restore();
    return true;
}

} // namespace Corvid_Qt
