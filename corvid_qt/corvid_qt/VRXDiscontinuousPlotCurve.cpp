#include "VRXDiscontinuousPlotCurve.h"

#include "RasterFill_p.h"
#include "VRXSeriesData.h"

#include <qwt_clipper.h>
#include <qwt_painter.h>
#include <qwt_point_mapper.h>
#include <qwt_scale_map.h>

#include <QtGui/QImage>
#include <QtGui/QPaintEngine>
#include <QtGui/QPainter>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <type_traits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#define CORVID_SPAN_BLOCKS 1
#endif

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

// Pixel columns and rows a span walk maps samples into.
struct SpanGrid {
    double left = 0.0, right = 0.0, top = 0.0, bottom = 0.0;
    int firstColumn = 0, lastColumn = -1, grow = 0, width = 1;

    // Rounds half up like std::floor(v + 0.5), without a library call:
    // truncation is flooring once the value is made positive.
    static constexpr double shift = 1 << 30;
    static int pixel(double v, double low, double high)
    {
        return int(qBound(low, v, high) + (0.5 + shift)) - int(shift);
    }
};

// The spacing rule of a run, shared by every way of drawing one: a step
// back, or more than twice the step before (at most kMaxGapPixels), ends
// it; any other step sets the next limit.
bool continuesRun(double dx, double &limit)
{
    if (dx < 0.0 || dx > limit)
        return false;
    limit = std::min(2.0 * dx, kMaxGapPixels);
    return true;
}

// The pixel column of v (a position already rounded and shifted by
// SpanGrid::shift), and where the next column starts.
int columnOf(double v, double &columnEnd)
{
    const int column = int(v) - int(SpanGrid::shift);
    columnEnd = column + SpanGrid::shift + 1.0;
    return column;
}

struct SpanWalk {
    int finite = 0;
    double xLow = 0.0, xHigh = 0.0;
};

// QwtScaleMap::transform() for a map without a transformation, the same
// arithmetic with the pointer test taken out of the loop.
struct LinearMap {
    double p1 = 0.0, s1 = 0.0, cnv = 1.0;
    LinearMap() = default;
    explicit LinearMap(const QwtScaleMap &map)
        : p1(map.p1()), s1(map.s1()), cnv(map.s1() != map.s2() ? (map.p2() - map.p1()) / (map.s2() - map.s1()) : 1.0)
    {
    }
    double operator()(double s) const { return p1 + (s - s1) * cnv; }
};

struct ScaleMap {
    const QwtScaleMap &map;
    explicit ScaleMap(const QwtScaleMap &m)
        : map(m)
    {
    }
    double operator()(double s) const { return map.transform(s); }
};

// Where a span walk reads its samples from. Columns can also be read in
// blocks, two samples to a register.
struct Points {
    static constexpr bool blocks = false;
    const QPointF *points;
    double x(int i) const { return points[i].x(); }
    double y(int i) const { return points[i].y(); }
};

struct Columns {
    static constexpr bool blocks = true;
    const double *xs, *ys;
    double x(int i) const { return xs[i]; }
    double y(int i) const { return ys[i]; }
#ifdef CORVID_SPAN_BLOCKS
    template <int N>
    void load(int i, __m128d (&x)[N], __m128d (&y)[N]) const
    {
        for (int k = 0; k < N; ++k) {
            x[k] = _mm_loadu_pd(xs + i + 2 * k);
            y[k] = _mm_loadu_pd(ys + i + 2 * k);
        }
    }
#endif
};

struct ScaledColumns {
    static constexpr bool blocks = true;
    const double *xs, *ys;
    double scale;
    double x(int i) const { return xs[i]; }
    double y(int i) const { return ys[i] / scale; }
#ifdef CORVID_SPAN_BLOCKS
    template <int N>
    void load(int i, __m128d (&x)[N], __m128d (&y)[N]) const
    {
        const __m128d by = _mm_set1_pd(scale);
        for (int k = 0; k < N; ++k) {
            x[k] = _mm_loadu_pd(xs + i + 2 * k);
            y[k] = _mm_div_pd(_mm_loadu_pd(ys + i + 2 * k), by);
        }
    }
#endif
};

// A column's lowest and highest value, before mapping.
struct ColumnExtent {
    int column;
    double low, high;
};

// Room for one extent per sample and one more, kept for the next walk.
ColumnExtent *extentBuffer(int count)
{
    thread_local std::vector<ColumnExtent> buffer;
    if (buffer.size() < size_t(count) + 1)
        buffer.resize(size_t(count) + 1);
    return buffer.data();
}

// Mapping is monotonic: a column's lowest and highest value give its span's
// ends.
template <typename YMap>
void appendSpans(const YMap yMap, const SpanGrid &grid, const ColumnExtent *from, const ColumnExtent *to,
                 QVector<QRect> &spans)
{
    for (const ColumnExtent *e = from; e != to; ++e) {
        if (e->column < grid.firstColumn || e->column > grid.lastColumn)
            continue;
        const int a = SpanGrid::pixel(yMap(e->low), grid.top, grid.bottom);
        const int b = SpanGrid::pixel(yMap(e->high), grid.top, grid.bottom);
        const int low = std::min(a, b), high = std::max(a, b);
        spans.append(QRect(e->column - grid.grow, low - grid.grow, grid.width, high - low + grid.width));
    }
}

// One walk does the run splitting of drawLines() and the reduction to
// columns: each column's span reaches back to the previous column's last
// value, and a run's first column reaches back to nothing; within a run x
// only grows, so its ends give the x extent.
template <int Pairs = 4, typename XMap, typename YMap, typename Samples>
SpanWalk reduceToSpans(const XMap xMap, const YMap yMap, const SpanGrid grid, const Samples samples, int count,
                       QVector<QRect> &spans)
{
    // The walk calls nothing: each column's extent goes to a buffer with a
    // place for every sample, so its state stays in registers. Spans are
    // made from the buffer afterwards.
    ColumnExtent *const extents = extentBuffer(count);
    ColumnExtent *out = extents;

    const double big = std::numeric_limits<double>::max();
    const double shift = SpanGrid::shift;
    int finite = 0;
    double xLow = 0.0, xHigh = 0.0;
    bool inRun = false;
    double limit = kMaxGapPixels, previousX = 0.0;
    int column = 0;
    double columnEnd = 0.0;
    double yLow = 0.0, yHigh = 0.0, lastY = 0.0;
#ifdef CORVID_SPAN_BLOCKS
    int single = 0;
    constexpr bool blocks = Samples::blocks && std::is_same<XMap, LinearMap>::value;
    LinearMap linear;
    if constexpr (blocks)
        linear = xMap;
    const __m128d p1 = _mm_set1_pd(linear.p1), s1 = _mm_set1_pd(linear.s1), cnv = _mm_set1_pd(linear.cnv);
    const __m128d zero = _mm_setzero_pd(), most = _mm_set1_pd(kMaxGapPixels);
    const __m128d infinity = _mm_set1_pd(std::numeric_limits<double>::infinity());
#endif
    for (int i = 0; i < count; ++i) {
#ifdef CORVID_SPAN_BLOCKS
        if constexpr (blocks) {
            // At full width a column holds dozens of samples: a block of
            // them that are finite, keep to the run's spacing and end in the
            // current column only moves its extent. Anything else (a column
            // change, a gap, a NaN) goes the one-by-one way below for the
            // block's length, so the same arithmetic decides every case.
            bool took = false;
            __m128d low = infinity, high = -infinity;
            while (inRun && i >= single && i + 2 * Pairs <= count) {
                __m128d xs[Pairs], ys[Pairs], px[Pairs], capped[Pairs];
                samples.load(i, xs, ys);
                __m128d ok = _mm_cmpeq_pd(zero, zero);
                for (int k = 0; k < Pairs; ++k) {
                    px[k] = _mm_add_pd(p1, _mm_mul_pd(_mm_sub_pd(xs[k], s1), cnv));
                    // Each sample against the one before it, and the limit
                    // that one left: the first against the walk's state.
                    const __m128d before = k == 0 ? _mm_unpacklo_pd(_mm_set_sd(previousX), px[0])
                                                  : _mm_shuffle_pd(px[k - 1], px[k], 1);
                    const __m128d dx = _mm_sub_pd(px[k], before);
                    capped[k] = _mm_min_pd(_mm_add_pd(dx, dx), most);
                    const __m128d limits = k == 0 ? _mm_unpacklo_pd(_mm_set_sd(limit), capped[0])
                                                  : _mm_shuffle_pd(capped[k - 1], capped[k], 1);
                    const __m128d spaced = _mm_and_pd(_mm_cmpge_pd(dx, zero), _mm_cmple_pd(dx, limits));
                    ok = _mm_and_pd(ok, _mm_and_pd(spaced, _mm_cmpeq_pd(_mm_sub_pd(ys[k], ys[k]), zero)));
                }
                const double lastX = _mm_cvtsd_f64(_mm_unpackhi_pd(px[Pairs - 1], px[Pairs - 1]));
                const double v = qBound(grid.left, lastX, grid.right) + (0.5 + shift);
                if (_mm_movemask_pd(ok) != 3 || !(v < columnEnd)) {
                    single = i + 2 * Pairs;
                    break;
                }
                for (int k = 0; k < Pairs; ++k) {
                    low = _mm_min_pd(low, ys[k]);
                    high = _mm_max_pd(high, ys[k]);
                }
                previousX = lastX;
                lastY = _mm_cvtsd_f64(_mm_unpackhi_pd(ys[Pairs - 1], ys[Pairs - 1]));
                limit = _mm_cvtsd_f64(_mm_unpackhi_pd(capped[Pairs - 1], capped[Pairs - 1]));
                finite += 2 * Pairs;
                i += 2 * Pairs;
                took = true;
            }
            if (took) {
                yLow = std::min(yLow, _mm_cvtsd_f64(_mm_min_sd(low, _mm_unpackhi_pd(low, low))));
                yHigh = std::max(yHigh, _mm_cvtsd_f64(_mm_max_sd(high, _mm_unpackhi_pd(high, high))));
            }
            if (i >= count)
                break;
        }
#endif
        const double x = samples.x(i), y = samples.y(i);
        if (!(std::abs(x) <= big && std::abs(y) <= big)) {
            if (inRun) {
                *out++ = {column, yLow, yHigh};
                xHigh = std::max(xHigh, previousX);
                inRun = false;
            }
            continue;
        }
        const double px = xMap(x);
        if (inRun) {
            if (!continuesRun(px - previousX, limit)) {
                *out++ = {column, yLow, yHigh};
                xHigh = std::max(xHigh, previousX);
                inRun = false;
            }
        }
        // SpanGrid::pixel() without the conversion: within a run x only
        // grows, so the column changes once v reaches the next whole number.
        const double v = qBound(grid.left, px, grid.right) + (0.5 + shift);
        if (!inRun) {
            inRun = true;
            limit = kMaxGapPixels;
            column = columnOf(v, columnEnd);
            yLow = yHigh = y;
            xLow = finite == 0 ? px : std::min(xLow, px);
            xHigh = finite == 0 ? px : xHigh;
        } else if (v >= columnEnd) {
            *out++ = {column, yLow, yHigh};
            column = columnOf(v, columnEnd);
            yLow = std::min(lastY, y);
            yHigh = std::max(lastY, y);
        } else {
            yLow = std::min(yLow, y);
            yHigh = std::max(yHigh, y);
        }
        previousX = px;
        lastY = y;
        ++finite;
    }
    if (inRun) {
        *out++ = {column, yLow, yHigh};
        xHigh = std::max(xHigh, previousX);
    }

    appendSpans(yMap, grid, extents, out, spans);
    SpanWalk walk;
    walk.finite = finite;
    walk.xLow = xLow;
    walk.xHigh = xHigh;
    return walk;
}

// Writes opaque spans straight into the image a raster painter paints on
// (an image, or a raster pixmap such as the canvas's backing store), when
// that is what the painter would do: the raster engine fills a one-pixel
// column row by row, several times slower. Anything it cannot match here (a
// pattern, translucency, a scale, a clip that is no rectangle) is left to
// the painter.
bool fillSpansInPlace(QPainter *painter, const QVector<QRect> &spans, const QPen &pen)
{
    if (pen.brush().style() != Qt::SolidPattern || pen.color().alpha() != 255)
        return false;
    QPoint found;
    QImage *image = imageForDirectWrites(painter, &found);
    if (!image)
        return false;
    // A copy whose address is never taken, so that the pixel writes below
    // need not be assumed to change it.
    const QPoint offset = found;

    QRect clip = image->rect();
    if (painter->hasClipping()) {
        const QRegion region = painter->clipRegion();
        if (region.rectCount() > 1)
            return false;
        clip &= region.boundingRect().translated(offset);
    }
    const QRegion system = painter->paintEngine()->systemClip();
    if (!system.isEmpty()) {
        if (system.rectCount() > 1)
            return false;
        clip &= system.boundingRect();
    }

    // The engine holds the image's pixels from begin(); write where it
    // writes, without detaching.
    auto *pixels = const_cast<uchar *>(image->constBits());
    const qsizetype stride = image->bytesPerLine();
    const QRgb value = pen.color().rgba();
    thread_local QVector<QRect> clipped;
    clipped.resize(0);
    int top = std::numeric_limits<int>::max(), bottom = std::numeric_limits<int>::min();
    for (const QRect &span : spans) {
        const QRect r = span.translated(offset) & clip;
        if (r.isEmpty())
            continue;
        clipped.append(r);
        top = std::min(top, r.top());
        bottom = std::max(bottom, r.bottom());
    }
    // Tall columns written whole touch a new page with every row; bands of
    // rows keep the pages written to few enough for the address cache.
    const int band = 32;
    for (int bandTop = top; bandTop <= bottom; bandTop += band) {
        const int bandBottom = bandTop + band - 1;
        for (const QRect &r : qAsConst(clipped)) {
            const int from = std::max(r.top(), bandTop), to = std::min(r.bottom(), bandBottom);
            uchar *line = pixels + from * stride + r.left() * qsizetype(sizeof(QRgb));
            if (r.width() == 1) {
                for (int y = from; y <= to; ++y, line += stride)
                    *reinterpret_cast<QRgb *>(line) = value;
            } else {
                for (int y = from; y <= to; ++y, line += stride)
                    std::fill_n(reinterpret_cast<QRgb *>(line), r.width(), value);
            }
        }
    }
    return true;
}

// The x side of a span walk over finite samples: where each pixel column
// starts and where the spacing breaks a run. It depends only on the times,
// the x map and the grid, so the curves of one pass, which share their
// times, work it out once. The walk's own arithmetic decides every step.
struct TimeSegments {
    struct Segment {
        int first;
        int column;
        bool runStart;
    };
    // Expires with the times it was made from, even if new times come to
    // lie at the same address.
    std::weak_ptr<double[]> times;
    const double *xs = nullptr;
    int count = 0;
    double p1 = 0.0, s1 = 0.0, cnv = 0.0, left = 0.0, right = 0.0;
    std::vector<Segment> segments;
    double xLow = 0.0, xHigh = 0.0;

    bool madeFrom(const std::shared_ptr<double[]> &t, int n, const LinearMap &map, const SpanGrid &grid) const
    {
        return !times.expired() && xs == t.get() && count == n && p1 == map.p1 && s1 == map.s1 && cnv == map.cnv
               && left == grid.left && right == grid.right;
    }
};

const TimeSegments &timeSegments(const std::shared_ptr<double[]> &times, int count, const LinearMap xMap,
                                 const SpanGrid &grid)
{
    thread_local TimeSegments cache;
    if (cache.madeFrom(times, count, xMap, grid))
        return cache;
    TimeSegments &t = cache;
    t.times = times;
    t.xs = times.get();
    t.count = count;
    t.p1 = xMap.p1;
    t.s1 = xMap.s1;
    t.cnv = xMap.cnv;
    t.left = grid.left;
    t.right = grid.right;
    t.segments.clear();

    const double shift = SpanGrid::shift;
    bool inRun = false;
    double limit = kMaxGapPixels, previousX = 0.0, columnEnd = 0.0;
    for (int i = 0; i < count; ++i) {
        const double px = xMap(t.xs[i]);
        if (inRun) {
            if (!continuesRun(px - previousX, limit)) {
                t.xHigh = std::max(t.xHigh, previousX);
                inRun = false;
            }
        }
        const double v = qBound(grid.left, px, grid.right) + (0.5 + shift);
        if (!inRun) {
            inRun = true;
            limit = kMaxGapPixels;
            t.segments.push_back({i, columnOf(v, columnEnd), true});
            t.xLow = i == 0 ? px : std::min(t.xLow, px);
            t.xHigh = i == 0 ? px : t.xHigh;
        } else if (v >= columnEnd) {
            t.segments.push_back({i, columnOf(v, columnEnd), false});
        }
        previousX = px;
    }
    if (inRun)
        t.xHigh = std::max(t.xHigh, previousX);
    return t;
}

// Lowest and highest of n >= 1 values.
std::pair<double, double> rangeExtent(const double *y, int n)
{
    int i = 0;
    double low = y[0], high = y[0];
#ifdef CORVID_SPAN_BLOCKS
    if (n >= 8) {
        __m128d l0 = _mm_loadu_pd(y), l1 = _mm_loadu_pd(y + 2), h0 = l0, h1 = l1;
        for (i = 4; i + 4 <= n; i += 4) {
            const __m128d a = _mm_loadu_pd(y + i), b = _mm_loadu_pd(y + i + 2);
            l0 = _mm_min_pd(l0, a);
            l1 = _mm_min_pd(l1, b);
            h0 = _mm_max_pd(h0, a);
            h1 = _mm_max_pd(h1, b);
        }
        const __m128d l = _mm_min_pd(l0, l1), h = _mm_max_pd(h0, h1);
        low = _mm_cvtsd_f64(_mm_min_sd(l, _mm_unpackhi_pd(l, l)));
        high = _mm_cvtsd_f64(_mm_max_sd(h, _mm_unpackhi_pd(h, h)));
    }
#endif
    for (; i < n; ++i) {
        low = std::min(low, y[i]);
        high = std::max(high, y[i]);
    }
    return {low, high};
}

// The walk for curves whose samples are all finite and whose times are
// shared: the columns come from the times' segments, and each curve only
// takes the extent of its values over each segment, reaching back to the
// value before it within a run. Values are divided by a positive or
// negative scale after the extent is taken: division keeps order.
template <typename YMap>
SpanWalk reduceSegmentsToSpans(const TimeSegments &time, const YMap yMap, const SpanGrid &grid, const double *ys,
                               double scale, QVector<QRect> &spans)
{
    const std::vector<TimeSegments::Segment> &segments = time.segments;
    ColumnExtent *const extents = extentBuffer(int(segments.size()));
    ColumnExtent *out = extents;
    const size_t n = segments.size();
    for (size_t k = 0; k < n; ++k) {
        const int first = segments[k].first;
        const int end = k + 1 < n ? segments[k + 1].first : time.count;
        auto e = rangeExtent(ys + first, end - first);
        if (!segments[k].runStart) {
            e.first = std::min(e.first, ys[first - 1]);
            e.second = std::max(e.second, ys[first - 1]);
        }
        if (scale != 1.0) {
            e.first /= scale;
            e.second /= scale;
            if (scale < 0.0)
                std::swap(e.first, e.second);
        }
        *out++ = {segments[k].column, e.first, e.second};
    }
    appendSpans(yMap, grid, extents, out, spans);
    SpanWalk walk;
    walk.finite = time.count;
    walk.xLow = time.xLow;
    walk.xHigh = time.xHigh;
    return walk;
}

} // namespace

// Samples as points, or as the columns of a model series (y divided by
// scale). A series whose samples are all finite also brings its times'
// storage, so that curves sharing them share their x side.
struct VRXDiscontinuousPlotCurve::SpanSource {
    const QPointF *points;
    const double *x, *y;
    double scale;
    int count;
    const std::shared_ptr<double[]> *finiteTimes = nullptr;
};

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
    const bool spans = spansDraw(painter);
    if (whole && spans) {
        SpanSource columns{nullptr, modelSeries->xData(), modelSeries->yData(), modelSeries->scale(),
                           int(series->size())};
        // Scaled values must stay finite too for the walk to take them all.
        const double scale = modelSeries->scale();
        const QRectF &raw = modelSeries->m_rawBounds;
        if (modelSeries->m_allFinite && columns.count > 0 && scale != 0.0 && std::isfinite(raw.top() / scale)
            && std::isfinite(raw.bottom() / scale))
            columns.finiteTimes = &modelSeries->m_x;
        if (drawSpans(painter, xMap, yMap, canvasRect, columns))
            return;
    }
    const QVector<QPointF> samples = whole ? modelSeries->samples() : copySamples(*series, from, to);
    const SpanSource points{samples.constData(), nullptr, nullptr, 1.0, samples.size()};
    if (!whole && spans && drawSpans(painter, xMap, yMap, canvasRect, points))
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
        if (!continuesRun(dx, limit)) {
            drawRun(painter, xMap, yMap, canvasRect, copy, from, start, i);
            start = i + 1;
            limit = kMaxGapPixels;
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
                                          const QRectF &canvasRect, const SpanSource &source) const
{
    const QPen pen = painter->pen();
    const int width = std::max(1, int(std::lround(pen.widthF())));
    SpanGrid grid;
    grid.grow = (width - 1) / 2;
    grid.width = width;
    // Far-off samples are pinned just outside the canvas: they still pull a
    // span to its edge, and the pixel numbers stay small.
    const double margin = width + 2.0;
    grid.left = canvasRect.left() - margin;
    grid.right = canvasRect.right() + margin;
    grid.top = canvasRect.top() - margin;
    grid.bottom = canvasRect.bottom() + margin;
    grid.firstColumn = grid.pixel(grid.left, grid.left, grid.right) + 1;
    grid.lastColumn = grid.pixel(grid.right, grid.left, grid.right) - 1;

    m_spans.resize(0);
    const bool linear = !xMap.transformation() && !yMap.transformation();
    // Blocks of eight pay off from about 32 samples per column; sparser
    // curves change column too often and take blocks of four.
    const bool dense = source.count >= 32 * (grid.lastColumn - grid.firstColumn + 1);
    SpanWalk walk;
    if (source.finiteTimes && linear) {
        const TimeSegments &time = timeSegments(*source.finiteTimes, source.count, LinearMap(xMap), grid);
        walk = reduceSegmentsToSpans(time, LinearMap(yMap), grid, source.y, source.scale, m_spans);
    } else if (source.points) {
        const Points points{source.points};
        walk = linear ? reduceToSpans(LinearMap(xMap), LinearMap(yMap), grid, points, source.count, m_spans)
                      : reduceToSpans(ScaleMap(xMap), ScaleMap(yMap), grid, points, source.count, m_spans);
    } else if (source.scale == 1.0) {
        const Columns columns{source.x, source.y};
        walk = !linear ? reduceToSpans(ScaleMap(xMap), ScaleMap(yMap), grid, columns, source.count, m_spans)
               : dense ? reduceToSpans<4>(LinearMap(xMap), LinearMap(yMap), grid, columns, source.count, m_spans)
                       : reduceToSpans<2>(LinearMap(xMap), LinearMap(yMap), grid, columns, source.count, m_spans);
    } else {
        const ScaledColumns columns{source.x, source.y, source.scale};
        walk = !linear ? reduceToSpans(ScaleMap(xMap), ScaleMap(yMap), grid, columns, source.count, m_spans)
               : dense ? reduceToSpans<4>(LinearMap(xMap), LinearMap(yMap), grid, columns, source.count, m_spans)
                       : reduceToSpans<2>(LinearMap(xMap), LinearMap(yMap), grid, columns, source.count, m_spans);
    }
    if (walk.finite == 0 || walk.finite <= m_decimationDensity * (walk.xHigh - walk.xLow + 1.0))
        return false;

    if (fillSpansInPlace(painter, m_spans, pen))
        return true;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(Qt::NoPen);
    painter->setBrush(pen.brush());
    painter->drawRects(m_spans.constData(), m_spans.size());
    painter->restore();
    return true;
}

} // namespace Corvid_Qt
