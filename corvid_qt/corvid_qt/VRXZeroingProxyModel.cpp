#include "VRXZeroingProxyModel.h"

#include "MeasurementUnit.h"
#include "UnitsRelay_p.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Corvid_Qt {

class VRXZeroingProxyModelPrivate
{
    Q_DECLARE_PUBLIC(VRXZeroingProxyModel)

public:
    explicit VRXZeroingProxyModelPrivate(VRXZeroingProxyModel *q)
        : q_ptr(q)
    {
    }

    void channelsMoved();
    bool subtracts(int row, int column) const
    {
        return zeroing && row >= 1 && column >= 1 && column <= zeroes.size();
    }

    VRXZeroingProxyModel *const q_ptr;
    QVector<double> zeroes;
    bool zeroing = false;
    VRXAbstractPlotDataModel *vrxModel = nullptr;
};

void VRXZeroingProxyModelPrivate::channelsMoved()
{
    Q_Q(VRXZeroingProxyModel);
    // The zeroes no longer belong to the channels in their columns.
    zeroes.resize(qMax(q->columnCount() - 1, 0));
    if (!zeroing)
        return;
    zeroing = false;
    if (q->rowCount() > 1 && q->columnCount() > 1)
        emit q->dataChanged(q->index(1, 1), q->index(q->rowCount() - 1, q->columnCount() - 1));
}

VRXZeroingProxyModel::VRXZeroingProxyModel(QObject *parent)
    : VRXPlotProxyModel(parent)
    , d_ptr(new VRXZeroingProxyModelPrivate(this))
{
    Q_D(VRXZeroingProxyModel);
    // Connected before any view, so views already read the new values.
    const auto channelsMoved = [d]() { d->channelsMoved(); };
    connect(this, &QAbstractItemModel::columnsInserted, this, channelsMoved);
    connect(this, &QAbstractItemModel::columnsRemoved, this, channelsMoved);
    connect(this, &QAbstractItemModel::columnsMoved, this, channelsMoved);
}

VRXZeroingProxyModel::~VRXZeroingProxyModel() = default;

bool VRXZeroingProxyModel::isZeroing() const
{
    Q_D(const VRXZeroingProxyModel);
    return d->zeroing;
}

QVector<double> VRXZeroingProxyModel::zeroes() const
{
    Q_D(const VRXZeroingProxyModel);
    return d->zeroes;
}

void VRXZeroingProxyModel::zeroNow()
{
    Q_D(VRXZeroingProxyModel);
    const QAbstractItemModel *source = sourceModel();
    if (!source || !d->vrxModel)
        return;
    beginResetModel();
    const int channels = qMax(source->columnCount() - 1, 0);
    d->zeroes.fill(0.0, channels);
    const int lastRow = source->rowCount() - 1;
    for (int c = 1; c <= channels; ++c) {
        // Row 0 is the header and never a reading; a glitch in the newest
        // sample must not turn every later value into NaN.
        for (int r = lastRow; r >= 1; --r) {
            const double v = d->vrxModel->doubleData(r, c);
            if (std::isfinite(v)) {
                d->zeroes[c - 1] = shownUnits(units()).unscale(v);
                break;
            }
        }
    }
    d->zeroing = true;
    endResetModel();
}

void VRXZeroingProxyModel::zeroClear()
{
    Q_D(VRXZeroingProxyModel);
    beginResetModel();
    d->zeroing = false;
    endResetModel();
}

double VRXZeroingProxyModel::doubleData(int row, int column) const
{
    Q_D(const VRXZeroingProxyModel);
    if (!d->vrxModel)
        return std::numeric_limits<double>::quiet_NaN();
    const double v = d->vrxModel->doubleData(row, column);
    return d->subtracts(row, column) ? v - shownUnits(units()).scale(d->zeroes[column - 1]) : v;
}

void VRXZeroingProxyModel::doubleDataRange(int column, int firstRow, int count, double *values) const
{
    Q_D(const VRXZeroingProxyModel);
    if (!d->vrxModel) {
        std::fill(values, values + std::max(count, 0), std::numeric_limits<double>::quiet_NaN());
        return;
    }
    d->vrxModel->doubleDataRange(column, firstRow, count, values);
    if (!d->subtracts(1, column))
        return;
    const double zero = shownUnits(units()).scale(d->zeroes[column - 1]);
    for (int k = std::max(1 - firstRow, 0); k < count; ++k)
        values[k] -= zero;
}

QVariant VRXZeroingProxyModel::data(const QModelIndex &index, int role) const
{
    Q_D(const VRXZeroingProxyModel);
    Q_ASSERT(!index.isValid() || index.model() == this);
    if (index.isValid() && d->subtracts(index.row(), index.column())) {
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return shownUnits(units()).formatUnscaled(doubleData(index.row(), index.column()));
        case Qt::ToolTipRole:
            return shownUnits(units()).formatSuffixUnscaled(doubleData(index.row(), index.column()));
        case DataRole:
            return doubleData(index.row(), index.column());
        default:
            break;
        }
    }
    return VRXPlotProxyModel::data(index, role);
}

void VRXZeroingProxyModel::sourceModelReset()
{
    Q_D(VRXZeroingProxyModel);
    d->vrxModel = sourcePlotModel();
    const QAbstractItemModel *source = sourceModel();
    const int columns = (source && d->vrxModel) ? source->columnCount() : 0;
    if (columns > 0 && columns - 1 == d->zeroes.size())
        return;
    d->zeroes.resize(qMax(columns - 1, 0));
    d->zeroing = false;
}

} // namespace Corvid_Qt
