#include "VRXAveragingProxyModel.h"

#include "CircularBufferRange_p.h"
#include "MeasurementUnit.h"
#include "UnitsRelay_p.h"

#include <boost/circular_buffer.hpp>
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace Corvid_Qt {

class VRXAveragingProxyModelPrivate
{
    Q_DECLARE_PUBLIC(VRXAveragingProxyModel)

public:
    typedef std::vector<boost::circular_buffer<double>> data_array_t;

    explicit VRXAveragingProxyModelPrivate(VRXAveragingProxyModel *q)
        : q_ptr(q)
    {
    }

    int channelCount() const { return int(yData.size()); }
    bool holds(int row, int column) const
    {
        return row >= 1 && column >= 1 && column <= channelCount() && size_t(row) <= yData[size_t(column - 1)].size();
    }
    void updateChannel(int column, int firstRow, int lastRow);
    void updateAll(int firstRow);
    void rebuild();

    VRXAveragingProxyModel *const q_ptr;
    data_array_t yData;
    int averaging = 1;
    VRXAbstractPlotDataModel *vrxModel = nullptr;
};

void VRXAveragingProxyModelPrivate::updateChannel(int column, int firstRow, int lastRow)
{
    boost::circular_buffer<double> &y = yData[size_t(column - 1)];
    const size_t rows = size_t(qMax(lastRow, 0));
    if (y.size() > rows)
        y.erase_end(y.size() - rows);
    if (y.capacity() < rows)
        y.set_capacity(rows);
    // Each value depends on the one before, so a gap is filled from its start.
    const int first = qBound(1, firstRow, int(y.size()) + 1);
    if (first > lastRow)
        return;

    auto store = [&y](int row, double value) {
        if (size_t(row) <= y.size())
            y[size_t(row - 1)] = value;
        else
            y.push_back(value);
    };
    const double a = 1.0 / double(averaging);
    double previous = first > 1 ? y[size_t(first - 2)] : std::numeric_limits<double>::quiet_NaN();
    for (int r = first; r <= lastRow; ++r) {
        const double x = vrxModel->doubleData(r, column);
        double value;
        if (!std::isfinite(previous))
            value = x; // the first row, or nothing finite yet: start here
        else if (!std::isfinite(x))
            value = previous; // one bad reading must not end the average for good
        else
            value = ((1.0 - a) * previous) + (a * x);
        store(r, value);
        previous = value;
    }
}

void VRXAveragingProxyModelPrivate::updateAll(int firstRow)
{
    Q_Q(VRXAveragingProxyModel);
    if (!vrxModel || !q->sourceModel())
        return;
    const int lastRow = q->sourceModel()->rowCount() - 1;
    for (int c = 1; c <= channelCount(); ++c)
        updateChannel(c, firstRow, lastRow);
}

void VRXAveragingProxyModelPrivate::rebuild()
{
    Q_Q(VRXAveragingProxyModel);
    vrxModel = q->sourcePlotModel();
    const QAbstractItemModel *source = q->sourceModel();
    // At N = 1 nothing is stored: every value is the source's own, read
    // through (a copy would double the memory of a panel of full channels).
    const int channels = (vrxModel && source && averaging > 1) ? qMax(source->columnCount() - 1, 0) : 0;
    // Buffers are emptied, not freed: a reset of the source (its Clear())
    // must not cost a new allocation of the whole history.
    yData.resize(size_t(channels));
    if (channels == 0)
        data_array_t().swap(yData);
    if (channels == 0)
        return;
    const size_t capacity = size_t(qMax(vrxModel->MaxBufferSize(), 0));
    for (boost::circular_buffer<double> &y : yData) {
        y.clear();
        if (y.capacity() != capacity)
            y.set_capacity(capacity);
    }
    updateAll(1);
}

VRXAveragingProxyModel::VRXAveragingProxyModel(QObject *parent)
    : VRXPlotProxyModel(parent)
    , d_ptr(new VRXAveragingProxyModelPrivate(this))
{
    // Rows in a new order or channels in new columns need the whole history
    // again. Connected before any view, so views read the new values.
    Q_D(VRXAveragingProxyModel);
    auto rebuild = [d]() { d->rebuild(); };
    connect(this, &QAbstractItemModel::rowsMoved, this, rebuild);
    connect(this, &QAbstractItemModel::columnsInserted, this, rebuild);
    connect(this, &QAbstractItemModel::columnsRemoved, this, rebuild);
    connect(this, &QAbstractItemModel::columnsMoved, this, rebuild);
    connect(this, &QAbstractItemModel::layoutChanged, this, rebuild);
}

VRXAveragingProxyModel::~VRXAveragingProxyModel() = default;

int VRXAveragingProxyModel::averaging() const
{
    Q_D(const VRXAveragingProxyModel);
    return d->averaging;
}

void VRXAveragingProxyModel::setAveraging(int averaging)
{
    Q_D(VRXAveragingProxyModel);
    if (averaging < 1)
        return;
    beginResetModel();
    d->averaging = averaging;
    d->rebuild();
    endResetModel();
}

QVariant VRXAveragingProxyModel::data(const QModelIndex &index, int role) const
{
    Q_ASSERT(!index.isValid() || index.model() == this);
    Q_D(const VRXAveragingProxyModel);
    if (d->holds(index.row(), index.column())) {
        const double v = d->yData[size_t(index.column() - 1)][size_t(index.row() - 1)];
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return shownUnits(units()).formatUnscaled(v);
        case Qt::ToolTipRole:
            return shownUnits(units()).formatSuffixUnscaled(v);
        case DataRole:
            return v;
        default:
            break;
        }
    }
    return VRXPlotProxyModel::data(index, role);
}

double VRXAveragingProxyModel::doubleData(int row, int column) const
{
    Q_D(const VRXAveragingProxyModel);
    if (d->holds(row, column))
        return d->yData[size_t(column - 1)][size_t(row - 1)];
    return d->vrxModel ? d->vrxModel->doubleData(row, column) : std::numeric_limits<double>::quiet_NaN();
}

void VRXAveragingProxyModel::doubleDataRange(int column, int firstRow, int count, double *values) const
{
    Q_D(const VRXAveragingProxyModel);
    const auto forward = [d](int column, int firstRow, int count, double *values) {
        if (count <= 0)
            return;
        if (d->vrxModel)
            d->vrxModel->doubleDataRange(column, firstRow, count, values);
        else
            std::fill(values, values + count, std::numeric_limits<double>::quiet_NaN());
    };
    const int lastRow = firstRow + count - 1;
    const int held = column >= 1 && column <= d->channelCount() ? int(d->yData[size_t(column - 1)].size()) : 0;
    const int from = std::max(firstRow, 1), to = std::min(lastRow, held);
    if (from > to) {
        forward(column, firstRow, count, values);
        return;
    }
    forward(column, firstRow, from - firstRow, values);
    const boost::circular_buffer<double> &y = d->yData[size_t(column - 1)];
    copyCircularRange(y, size_t(from - 1), size_t(to - from + 1), values + (from - firstRow));
    forward(column, to + 1, lastRow - to, values + (to + 1 - firstRow));
}

void VRXAveragingProxyModel::Clear()
{
    Q_D(VRXAveragingProxyModel);
    // The source's own reset reaches this proxy and empties the buffers, so
    // views see one reset, not one inside another.
    if (d->vrxModel) {
        d->vrxModel->Clear();
        return;
    }
    beginResetModel();
    for (boost::circular_buffer<double> &y : d->yData)
        y.clear();
    endResetModel();
}

VRXAveragingProxyModel::DataFileWriter VRXAveragingProxyModel::dataFileWriter() const
{
    Q_D(const VRXAveragingProxyModel);
    return d->vrxModel ? d->vrxModel->dataFileWriter() : DataFileWriter();
}

bool VRXAveragingProxyModel::SaveDataToFile(const QString &fileName) const
{
    Q_D(const VRXAveragingProxyModel);
    return d->vrxModel && d->vrxModel->SaveDataToFile(fileName);
}

bool VRXAveragingProxyModel::SavePixelatedDataToFile(const QString &fileName, float discriminator, bool invertx,
                                                     bool inverty) const
{
    Q_D(const VRXAveragingProxyModel);
    return d->vrxModel && d->vrxModel->SavePixelatedDataToFile(fileName, discriminator, invertx, inverty);
}

void VRXAveragingProxyModel::sourceRowsInserted(const QModelIndex &parent, int startRow, int endRow)
{
    Q_UNUSED(endRow);
    Q_D(VRXAveragingProxyModel);
    if (!parent.isValid())
        d->updateAll(startRow);
}

void VRXAveragingProxyModel::sourceRowsRemoved(const QModelIndex &parent, int startRow, int endRow)
{
    Q_D(VRXAveragingProxyModel);
    if (parent.isValid() || endRow < startRow)
        return;
    const int first = qMax(startRow, 1);
    for (boost::circular_buffer<double> &y : d->yData) {
        const size_t from = size_t(first - 1);
        if (from >= y.size())
            continue;
        const size_t count = qMin(size_t(endRow - first + 1), y.size() - from);
        if (from == 0)
            y.erase_begin(count);
        else
            y.erase(y.begin() + std::ptrdiff_t(from), y.begin() + std::ptrdiff_t(from + count));
    }
    // Dropping the oldest rows keeps every later value; anywhere else the
    // rows after the gap follow a new predecessor.
    if (first > 1)
        d->updateAll(first);
}

void VRXAveragingProxyModel::sourceModelReset()
{
    Q_D(VRXAveragingProxyModel);
    d->rebuild();
}

void VRXAveragingProxyModel::sourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    Q_D(VRXAveragingProxyModel);
    // A change confined to the header row (a channel switched on or off)
    // leaves every value as it is.
    if (!topLeft.isValid() || !bottomRight.isValid() || bottomRight.row() < 1 || !d->vrxModel)
        return;
    const int lastRow = sourceModel()->rowCount() - 1;
    const int firstColumn = qMax(topLeft.column(), 1);
    const int lastColumn = qMin(bottomRight.column(), d->channelCount());
    for (int c = firstColumn; c <= lastColumn; ++c)
        d->updateChannel(c, qMax(topLeft.row(), 1), lastRow);
    // Each average follows from the one before it: the rows after the
    // changed ones changed as well.
    if (firstColumn <= lastColumn && bottomRight.row() < lastRow)
        emit dataChanged(index(bottomRight.row() + 1, firstColumn), index(lastRow, lastColumn));
}

} // namespace Corvid_Qt
