#include "VRXSeriesData.h"

#include "VRXAbstractPlotDataModel.h"

#include <QtCore/QAbstractItemModel>
#include <cmath>
#include <vector>
#include <limits>

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

// Sample buffers of series that are gone, for the next pass to reuse: a new
// 1.6 MB buffer per curve and pass would fault in fresh pages every time.
std::vector<QVector<QPointF>> &sparedBuffers()
{
    thread_local std::vector<QVector<QPointF>> spared;
    return spared;
}

} // namespace

VRXSeriesData::~VRXSeriesData()
{
    auto &spared = sparedBuffers();
    if (m_samples.isDetached() && m_samples.capacity() >= 4096 && spared.size() < 32)
        spared.push_back(std::move(m_samples));
}

void VRXSeriesData::setScale(double scale)
{
    m_scale = scale;
    d_boundingRect = QRectF(0.0, 0.0, 0.0, 0.0);
    m_samples.clear();
    m_loaded = false;
}

size_t VRXSeriesData::size() const
{
    if (m_loaded)
        return size_t(m_samples.size());
    const auto *itemModel = dynamic_cast<const QAbstractItemModel *>(&m_model);
    if (!itemModel)
        return 0;
    int n = itemModel->rowCount();
    if (m_endRow >= m_startRow && n > m_endRow)
        n = m_endRow + 1;
    return n > m_startRow ? size_t(n - m_startRow) : 0;
}

void VRXSeriesData::load() const
{
    if (m_loaded)
        return;
    const int n = int(size());
    // Kept between calls: a pass over full buffers would otherwise fault in
    // fresh pages for every curve.
    thread_local std::vector<double> x, y;
    x.resize(size_t(n));
    y.resize(size_t(n));
    m_model.doubleDataRange(0, m_startRow, n, x.data());
    m_model.doubleDataRange(m_column, m_startRow, n, y.data());
    auto &spared = sparedBuffers();
    if (m_samples.capacity() < n && !spared.empty()) {
        m_samples = std::move(spared.back());
        spared.pop_back();
    }
    m_samples.resize(n);
    QPointF *out = m_samples.data();
    // The bounds come with the copy: the samples are in registers anyway.
    const double big = std::numeric_limits<double>::max();
    double left = 0.0, right = 0.0, top = 0.0, bottom = 0.0;
    if (n > 0) {
        left = right = std::isfinite(x[0]) ? x[0] : 0.0;
        top = bottom = std::isfinite(y[0]) ? y[0] : 0.0;
    }
    for (int i = 0; i < n; ++i) {
        const double px = x[size_t(i)], py = y[size_t(i)];
        out[i] = QPointF(px, py);
        const bool ok = std::abs(px) <= big && std::abs(py) <= big;
        left = ok && px < left ? px : left;
        right = ok && px > right ? px : right;
        top = ok && py < top ? py : top;
        bottom = ok && py > bottom ? py : bottom;
    }
    m_rawBounds = QRectF(left, top, right - left, bottom - top);
    m_loaded = true;
}

QRectF VRXSeriesData::bounds(const QPointF *points, int n, double scale)
{
    const double big = std::numeric_limits<double>::max();
    const QPointF first(points[0].x(), points[0].y() / scale);
    double left = std::isfinite(first.x()) ? first.x() : 0.0;
    double top = std::isfinite(first.y()) ? first.y() : 0.0;
    double right = left;
    double bottom = top;
    for (int i = 0; i < n; ++i) {
        const double px = points[i].x();
        const double py = scale == 1.0 ? points[i].y() : points[i].y() / scale;
        // Without branches: a full buffer is mostly finite samples.
        const bool ok = std::abs(px) <= big && std::abs(py) <= big;
        left = ok && px < left ? px : left;
        right = ok && px > right ? px : right;
        top = ok && py < top ? py : top;
        bottom = ok && py > bottom ? py : bottom;
    }
    return QRectF(left, top, right - left, bottom - top);
}

QPointF VRXSeriesData::sample(size_t i) const
{
    if (m_loaded) {
        const QPointF &p = m_samples.at(int(i));
        return QPointF(p.x(), p.y() / m_scale);
    }
    const int row = m_startRow + int(i);
    const double y = m_model.doubleData(row, m_column) / m_scale;
    const double x = m_model.doubleData(row, 0);
    return QPointF(x, y);
}

QVector<QPointF> VRXSeriesData::samples() const
{
    load();
    if (m_scale == 1.0)
        return m_samples;
    QVector<QPointF> scaled(m_samples);
    for (QPointF &p : scaled)
        p.ry() /= m_scale;
    return scaled;
}

QRectF VRXSeriesData::boundingRect() const
{
    if (d_boundingRect.width() > 0.0 && d_boundingRect.height() > 0.0)
        return d_boundingRect;
    const size_t n = size();
    if (n == 0)
        return d_boundingRect;
    load();
    d_boundingRect = m_scale == 1.0 ? m_rawBounds : bounds(m_samples.constData(), m_samples.size(), m_scale);
    return d_boundingRect;
}

} // namespace Corvid_Qt
