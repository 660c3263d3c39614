#include "VRXSeriesData.h"

#include "VRXAbstractPlotDataModel.h"

#include <QtCore/QAbstractItemModel>
#include <cmath>
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

void VRXSeriesData::setScale(double scale)
{
    m_scale = scale;
    d_boundingRect = QRectF(0.0, 0.0, 0.0, 0.0);
}

size_t VRXSeriesData::size() const
{
    const auto *itemModel = dynamic_cast<const QAbstractItemModel *>(&m_model);
    if (!itemModel)
        return 0;
    int n = itemModel->rowCount();
    if (m_endRow >= m_startRow && n > m_endRow)
        n = m_endRow + 1;
    return n > m_startRow ? size_t(n - m_startRow) : 0;
}

QPointF VRXSeriesData::sample(size_t i) const
{
    const int row = m_startRow + int(i);
    const double y = m_model.doubleData(row, m_column) / m_scale;
    const double x = m_model.doubleData(row, 0);
    return QPointF(x, y);
}

QRectF VRXSeriesData::boundingRect() const
{
    if (d_boundingRect.width() > 0.0 && d_boundingRect.height() > 0.0)
        return d_boundingRect;
    const size_t n = size();
    if (n == 0)
        return d_boundingRect;

    const double big = std::numeric_limits<double>::max();
    const QPointF first = sample(0);
    double left = std::isfinite(first.x()) ? first.x() : 0.0;
    double top = std::isfinite(first.y()) ? first.y() : 0.0;
    double right = left;
    double bottom = top;
    for (size_t i = 0; i < n; ++i) {
        const QPointF p = sample(i);
        if (!(std::abs(p.x()) <= big && std::abs(p.y()) <= big))
            continue;
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    }
    d_boundingRect = QRectF(left, top, right - left, bottom - top);
    return d_boundingRect;
}

} // namespace Corvid_Qt
