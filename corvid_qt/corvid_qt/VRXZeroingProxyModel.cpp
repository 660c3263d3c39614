#include "VRXZeroingProxyModel.h"

#include "MeasurementUnit.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Corvid_Qt {

VRXZeroingProxyModel::VRXZeroingProxyModel(QObject *parent)
    : VRXPlotProxyModel(parent)
    , m_zeroing(false)
    , m_vrxModel(nullptr)
{
    // Connected before any view, so views already read the new values.
    connect(this, &QAbstractItemModel::columnsInserted, this, &VRXZeroingProxyModel::channelsMoved);
    connect(this, &QAbstractItemModel::columnsRemoved, this, &VRXZeroingProxyModel::channelsMoved);
    connect(this, &QAbstractItemModel::columnsMoved, this, &VRXZeroingProxyModel::channelsMoved);
}

VRXZeroingProxyModel::~VRXZeroingProxyModel() = default;

void VRXZeroingProxyModel::zeroNow()
{
    const QAbstractItemModel *source = sourceModel();
    if (!source || !m_vrxModel)
        return;
    beginResetModel();
    const int channels = qMax(source->columnCount() - 1, 0);
    m_zeroes.fill(0.0, channels);
    const int lastRow = source->rowCount() - 1;
    for (int c = 1; c <= channels; ++c) {
        // Row 0 is the header and never a reading; a glitch in the newest
        // sample must not turn every later value into NaN.
        for (int r = lastRow; r >= 1; --r) {
            const double v = m_vrxModel->doubleData(r, c);
            if (std::isfinite(v)) {
                m_zeroes[c - 1] = units()->unscale(v);
                break;
            }
        }
    }
    m_zeroing = true;
    endResetModel();
}

void VRXZeroingProxyModel::zeroClear()
{
    beginResetModel();
    m_zeroing = false;
    endResetModel();
}

double VRXZeroingProxyModel::doubleData(int row, int column) const
{
    if (!m_vrxModel)
        return std::numeric_limits<double>::quiet_NaN();
    const double v = m_vrxModel->doubleData(row, column);
    return subtracts(row, column) ? v - units()->scale(m_zeroes[column - 1]) : v;
}

void VRXZeroingProxyModel::doubleDataRange(int column, int firstRow, int count, double *values) const
{
    if (!m_vrxModel) {
        std::fill(values, values + std::max(count, 0), std::numeric_limits<double>::quiet_NaN());
        return;
    }
    m_vrxModel->doubleDataRange(column, firstRow, count, values);
    if (!subtracts(1, column))
        return;
    const double zero = units()->scale(m_zeroes[column - 1]);
    for (int k = std::max(1 - firstRow, 0); k < count; ++k)
        values[k] -= zero;
}

QVariant VRXZeroingProxyModel::data(const QModelIndex &index, int role) const
{
    Q_ASSERT(!index.isValid() || index.model() == this);
    if (index.isValid() && subtracts(index.row(), index.column())) {
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return units()->formatUnscaled(doubleData(index.row(), index.column()));
        case Qt::ToolTipRole:
            return units()->formatSuffixUnscaled(doubleData(index.row(), index.column()));
        case DataRole:
            return doubleData(index.row(), index.column());
        default:
            break;
        }
    }
    return VRXPlotProxyModel::data(index, role);
}

void VRXZeroingProxyModel::channelsMoved()
{
    // The zeroes no longer belong to the channels in their columns.
    m_zeroes.resize(qMax(columnCount() - 1, 0));
    if (!m_zeroing)
        return;
    m_zeroing = false;
    if (rowCount() > 1 && columnCount() > 1)
        emit dataChanged(index(1, 1), index(rowCount() - 1, columnCount() - 1));
}

void VRXZeroingProxyModel::sourceModelReset()
{
    m_vrxModel = sourcePlotModel();
    const QAbstractItemModel *source = sourceModel();
    const int columns = (source && m_vrxModel) ? source->columnCount() : 0;
    if (columns > 0 && columns - 1 == m_zeroes.size())
        return;
    m_zeroes.resize(qMax(columns - 1, 0));
    m_zeroing = false;
}

} // namespace Corvid_Qt
