#include "VRXSeriesData.h"

#include "VRXAbstractPlotDataModel.h"

#include <QtCore/QAbstractItemModel>
#include <algorithm>
#include <cmath>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Corvid_Qt {

VRXSeriesData::VRXSeriesData(const VRXAbstractPlotDataModel &model, int column, int startRow, int endRow)
    : m_model(model)
    , m_column(column)
    , m_startRow(startRow)
    , m_endRow(endRow)
    , m_scale(1.0)
{
}

namespace {

// Columns are left uninitialised: doubleDataRange() writes every element,
// and clearing a full buffer's column per curve and pass costs more than
// drawing it.
std::unique_ptr<double[]> newColumn(int n)
{
    return std::unique_ptr<double[]>(new double[size_t(std::max(n, 1))]);
}

struct Extent {
    double xLow, xHigh, yLow, yHigh;
    bool allFinite;
};

// Lowest and highest x and y of the samples whose coordinates are both
// finite (infinities where there are none), one at a time.
Extent finiteExtentOneByOne(const double *x, const double *y, int n)
{
    const double big = std::numeric_limits<double>::max();
    const double inf = std::numeric_limits<double>::infinity();
    Extent e{inf, -inf, inf, -inf, true};
    for (int i = 0; i < n; ++i) {
        if (std::abs(x[i]) <= big && std::abs(y[i]) <= big) {
            e.xLow = std::min(e.xLow, x[i]);
            e.xHigh = std::max(e.xHigh, x[i]);
            e.yLow = std::min(e.yLow, y[i]);
            e.yHigh = std::max(e.yHigh, y[i]);
        } else {
            e.allFinite = false;
        }
    }
    return e;
}

// The same, assuming first that every sample is finite: plain minima and
// maxima, and a flag that says whether the assumption held. Only a series
// with a NaN or an infinity is read again one sample at a time.
Extent finiteExtent(const double *x, const double *y, int n)
{
#if defined(__SSE2__)
    const double inf = std::numeric_limits<double>::infinity();
    const __m128d zero = _mm_setzero_pd();
    __m128d xLow = _mm_set1_pd(inf), xHigh = _mm_set1_pd(-inf);
    __m128d yLow = xLow, yHigh = xHigh;
    // v - v is 0 exactly when v is finite; a sum of such differences is 0
    // exactly when all of them are.
    __m128d sum = zero;
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128d x0 = _mm_loadu_pd(x + i), x1 = _mm_loadu_pd(x + i + 2);
        const __m128d y0 = _mm_loadu_pd(y + i), y1 = _mm_loadu_pd(y + i + 2);
        xLow = _mm_min_pd(xLow, _mm_min_pd(x0, x1));
        xHigh = _mm_max_pd(xHigh, _mm_max_pd(x0, x1));
        yLow = _mm_min_pd(yLow, _mm_min_pd(y0, y1));
        yHigh = _mm_max_pd(yHigh, _mm_max_pd(y0, y1));
        sum = _mm_add_pd(sum, _mm_add_pd(_mm_add_pd(_mm_sub_pd(x0, x0), _mm_sub_pd(x1, x1)),
                                         _mm_add_pd(_mm_sub_pd(y0, y0), _mm_sub_pd(y1, y1))));
    }
    if (_mm_movemask_pd(_mm_cmpeq_pd(sum, zero)) != 3)
        return finiteExtentOneByOne(x, y, n);
    const auto low = [](__m128d v) { return _mm_cvtsd_f64(_mm_min_sd(v, _mm_unpackhi_pd(v, v))); };
    const auto high = [](__m128d v) { return _mm_cvtsd_f64(_mm_max_sd(v, _mm_unpackhi_pd(v, v))); };
    const Extent head{low(xLow), high(xHigh), low(yLow), high(yHigh), true};
    if (i == n)
        return head;
    const Extent tail = finiteExtentOneByOne(x + i, y + i, n - i);
    if (!(tail.xLow <= tail.xHigh))
        return Extent{head.xLow, head.xHigh, head.yLow, head.yHigh, tail.allFinite};
    return Extent{std::min(head.xLow, tail.xLow), std::max(head.xHigh, tail.xHigh), std::min(head.yLow, tail.yLow),
                  std::max(head.yHigh, tail.yHigh), tail.allFinite};
#else
    return finiteExtentOneByOne(x, y, n);
#endif
}

// The lowest and highest of n values, and whether every one is finite;
// the x fields are left empty.
Extent valueExtent(const double *y, int n)
{
    const double inf = std::numeric_limits<double>::infinity();
    Extent e{inf, -inf, inf, -inf, true};
    int i = 0;
#if defined(__SSE2__)
    if (n >= 4) {
        const __m128d zero = _mm_setzero_pd();
        __m128d low = _mm_set1_pd(inf), high = _mm_set1_pd(-inf), sum = zero;
        for (; i + 4 <= n; i += 4) {
            const __m128d a = _mm_loadu_pd(y + i), b = _mm_loadu_pd(y + i + 2);
            low = _mm_min_pd(low, _mm_min_pd(a, b));
            high = _mm_max_pd(high, _mm_max_pd(a, b));
            sum = _mm_add_pd(sum, _mm_add_pd(_mm_sub_pd(a, a), _mm_sub_pd(b, b)));
        }
        if (_mm_movemask_pd(_mm_cmpeq_pd(sum, zero)) != 3) {
            e.allFinite = false;
            return e;
        }
        e.yLow = _mm_cvtsd_f64(_mm_min_sd(low, _mm_unpackhi_pd(low, low)));
        e.yHigh = _mm_cvtsd_f64(_mm_max_sd(high, _mm_unpackhi_pd(high, high)));
    }
#endif
    const double big = std::numeric_limits<double>::max();
    for (; i < n; ++i) {
        if (!(std::abs(y[i]) <= big)) {
            e.allFinite = false;
            return e;
        }
        e.yLow = std::min(e.yLow, y[i]);
        e.yHigh = std::max(e.yHigh, y[i]);
    }
    return e;
}

} // namespace

VRXSeriesData::~VRXSeriesData() = default;

void VRXSeriesData::setScale(double scale)
{
    m_scale = scale;
    d_boundingRect = QRectF(0.0, 0.0, 0.0, 0.0);
    m_samples.clear();
    m_x.reset();
    m_timeExtent.reset();
    m_y.reset();
    m_count = 0;
    m_loaded = false;
}

size_t VRXSeriesData::size() const
{
    if (m_loaded)
        return size_t(m_count);
    const auto *itemModel = dynamic_cast<const QAbstractItemModel *>(&m_model);
    if (!itemModel)
        return 0;
    int n = itemModel->rowCount();
    if (m_endRow >= m_startRow && n > m_endRow)
        n = m_endRow + 1;
    return n > m_startRow ? size_t(n - m_startRow) : 0;
}

void VRXSeriesData::shareTimes(const VRXSeriesData &other)
{
    if (&other == this || &other.m_model != &m_model || other.m_startRow != m_startRow || m_loaded
        || other.size() != size())
        return;
    other.loadTimes();
    m_x = other.m_x;
    m_timeExtent = other.m_timeExtent;
    m_count = other.m_count;
}

void VRXSeriesData::loadTimes() const
{
    if (m_x)
        return;
    m_count = int(size());
    m_x = newColumn(m_count);
    m_timeExtent = std::make_shared<TimeExtent>();
    m_model.doubleDataRange(0, m_startRow, m_count, m_x.get());
}

void VRXSeriesData::load() const
{
    if (m_loaded)
        return;
    loadTimes();
    const int n = m_count;
    m_y = newColumn(n);
    m_model.doubleDataRange(m_column, m_startRow, n, m_y.get());
    const double *x = m_x.get();
    const double *y = m_y.get();
    // Only samples finite in both coordinates count; without one, the
    // rectangle is the first sample's point.
    TimeExtent &times = *m_timeExtent;
    Extent e;
    if (times.known) {
        const Extent values = valueExtent(y, n);
        e = values.allFinite ? Extent{times.low, times.high, values.yLow, values.yHigh, true} : finiteExtent(x, y, n);
    } else {
        e = finiteExtent(x, y, n);
        if (e.allFinite && n > 0)
            times = TimeExtent{true, e.xLow, e.xHigh};
    }
    m_allFinite = e.allFinite;
    if (e.xLow <= e.xHigh)
        m_rawBounds = QRectF(e.xLow, e.yLow, e.xHigh - e.xLow, e.yHigh - e.yLow);
    else
        m_rawBounds = QRectF(n > 0 && std::isfinite(x[0]) ? x[0] : 0.0,
                             n > 0 && std::isfinite(y[0]) ? y[0] : 0.0, 0.0, 0.0);
    m_loaded = true;
}

const double *VRXSeriesData::xData() const
{
    load();
    return m_x.get();
}

const double *VRXSeriesData::yData() const
{
    load();
    return m_y.get();
}

QRectF VRXSeriesData::bounds(const QPointF *points, int n, double scale)
{
    const double big = std::numeric_limits<double>::max();
    bool found = false;
    double left = 0.0, right = 0.0, top = 0.0, bottom = 0.0;
    for (int i = 0; i < n; ++i) {
        const double px = points[i].x();
        const double py = scale == 1.0 ? points[i].y() : points[i].y() / scale;
        if (!(std::abs(px) <= big && std::abs(py) <= big))
            continue;
        left = found ? std::min(left, px) : px;
        right = found ? std::max(right, px) : px;
        top = found ? std::min(top, py) : py;
        bottom = found ? std::max(bottom, py) : py;
        found = true;
    }
    if (!found && n > 0) {
        left = std::isfinite(points[0].x()) ? points[0].x() : 0.0;
        top = std::isfinite(points[0].y() / scale) ? points[0].y() / scale : 0.0;
        right = left;
        bottom = top;
    }
    return QRectF(left, top, right - left, bottom - top);
}

QPointF VRXSeriesData::sample(size_t i) const
{
    if (m_loaded)
        return QPointF(m_x[i], m_y[i] / m_scale);
    const int row = m_startRow + int(i);
    const double y = m_model.doubleData(row, m_column) / m_scale;
    const double x = m_model.doubleData(row, 0);
    return QPointF(x, y);
}

QVector<QPointF> VRXSeriesData::samples() const
{
    load();
    if (m_samples.isEmpty() && m_count > 0) {
        m_samples.resize(m_count);
        QPointF *out = m_samples.data();
        for (int i = 0; i < m_count; ++i)
            out[i] = QPointF(m_x[i], m_scale == 1.0 ? m_y[i] : m_y[i] / m_scale);
    }
    return m_samples;
}

QRectF VRXSeriesData::boundingRect() const
{
    if (d_boundingRect.width() > 0.0 && d_boundingRect.height() > 0.0)
        return d_boundingRect;
    const size_t n = size();
    if (n == 0)
        return d_boundingRect;
    load();
    d_boundingRect = m_scale == 1.0 ? m_rawBounds : bounds(samples().constData(), int(n), 1.0);
    return d_boundingRect;
}

} // namespace Corvid_Qt
