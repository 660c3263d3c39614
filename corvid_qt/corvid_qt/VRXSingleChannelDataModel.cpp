#include "VRXSingleChannelDataModel.h"

#include "CircularBufferRange_p.h"
#include "CorvidLogging_p.h"
#include "MeasurementUnit.h"
#include "SaveFileWriter_p.h"
#include "UnitsRelay_p.h"

#include <QtCore/QByteArray>
#include <QtCore/QIODevice>
#include <QtCore/QSaveFile>
#include <memory>
#include <vector>
#include <algorithm>
#include <cmath>
#include <limits>

namespace Corvid_Qt {

VRXSingleChannelDataModel::VRXSingleChannelDataModel(QObject *parent)
    : VRXSingleChannelDataModel(maxBufferSize, parent)
{
}

VRXSingleChannelDataModel::VRXSingleChannelDataModel(int capacity, QObject *parent)
    : VRXAbstractDeviceDataModel(parent)
    , m_timestamps(size_t(qMax(capacity, 1)))
    , m_data(size_t(qMax(capacity, 1)))
    , m_dataSize(0)
    , m_plotWidthHint(0)
{
}

VRXSingleChannelDataModel::~VRXSingleChannelDataModel() = default;

QModelIndex VRXSingleChannelDataModel::index(int row, int column, const QModelIndex &parent) const
{
    Q_ASSERT(!parent.isValid() || parent.model() == this);
    if (parent.isValid() || row < 0 || size_t(row) > m_dataSize || column < 0 || column > numChannels)
        return QModelIndex();
    return createIndex(row, column);
}

int VRXSingleChannelDataModel::rowCount(const QModelIndex &parent) const
{
    Q_ASSERT(!parent.isValid() || parent.model() == this);
    return parent.isValid() ? 0 : int(m_dataSize) + 1;
}

QVariant VRXSingleChannelDataModel::deviceSpecificData(const QModelIndex &index, int role) const
{
    Q_ASSERT(!index.isValid() || index.model() == this);
    if (!index.isValid())
        return QVariant();
    const int row = index.row();
    const int column = index.column();
    if (row < 0 || size_t(row) > m_dataSize)
        return QVariant();

    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::ToolTipRole:
        if (row == 0) {
            if (column == 0 || role == Qt::ToolTipRole)
                return QVariant();
            // Tables, marker labels and drags of the channel show its name.
            return m_channelName.isEmpty() ? QString::number(column) : m_channelName;
        }
        if (column == 0)
            return QString::number(m_timestamps[size_t(row - 1)], 'e', 3);
        return role == Qt::ToolTipRole ? shownUnits(units()).formatSuffix(m_data[size_t(row - 1)])
                                       : shownUnits(units()).format(m_data[size_t(row - 1)]);
    case DataRole:
        return doubleData(row, column);
    default:
        return QVariant();
    }
}

bool VRXSingleChannelDataModel::isOverrange(int, int) const
{
    return false;
}

int VRXSingleChannelDataModel::NumberOfChannels() const
{
    return numChannels;
}

double VRXSingleChannelDataModel::doubleData(int row, int column) const
{
    if (row >= 1 && size_t(row) <= m_dataSize) {
        const size_t i = size_t(row - 1);
        return column == TimestampColumn ? m_timestamps[i] : shownUnits(units()).scale(m_data[i]);
    }
    if (row == 0)
        return column == TimestampColumn ? 0.0 : double(column);
    return std::numeric_limits<double>::quiet_NaN();
}

double VRXSingleChannelDataModel::baseValue(int row) const
{
    return row >= 1 && size_t(row) <= m_dataSize ? m_data[size_t(row - 1)] : std::numeric_limits<double>::quiet_NaN();
}

void VRXSingleChannelDataModel::doubleDataRange(int column, int firstRow, int count, double *values) const
{
    int k = 0;
    for (; k < count && firstRow + k < 1; ++k)
        values[k] = doubleData(firstRow + k, column);
    const int end = int(std::min<size_t>(m_dataSize, size_t(std::max(firstRow + count - 1, 0))));
    if (firstRow + k <= end) {
        const int n = end - (firstRow + k) + 1;
        const bool times = column == TimestampColumn;
        copyCircularRange(times ? m_timestamps : m_data, size_t(firstRow + k - 1), size_t(n), values + k);
        if (!times) {
            const Units::MeasurementUnit &u = shownUnits(units());
            for (int i = k; i < k + n; ++i)
                values[i] = u.scale(values[i]);
        }
        k += n;
    }
    for (; k < count; ++k)
        values[k] = std::numeric_limits<double>::quiet_NaN();
}

void VRXSingleChannelDataModel::AddData(double timestamp, double data)
{
    // A reading without a finite time has no place on a time axis nor in a
    // saved file; it is dropped here so that nothing downstream sees it.
    if (!std::isfinite(timestamp)) {
        if (!m_refusingTimestamps) {
            qCDebug(lcCorvidQtModels).nospace() << "VRXSingleChannelDataModel: readings with the timestamp "
                                                << timestamp << " dropped";
            m_refusingTimestamps = true;
        }
        return;
    }
    m_refusingTimestamps = false;

    if (timestamp == 0.0)
        Clear();
    else if (!m_timestamps.empty() && timestamp == m_timestamps.back())
        return;

    const size_t held = m_timestamps.size();
    if (!m_timestamps.full()) {
        if (!_autoUpdate) {
            append(timestamp, data);
            return;
        }
        // Rows held back while auto-update was off go out with this one.
        beginInsertRows(QModelIndex(), int(m_dataSize) + 1, int(held) + 1);
        append(timestamp, data);
        m_dataSize = held + 1;
        endInsertRows();
        return;
    }

    if (_autoUpdate && m_dataSize == held) {
        // Two complete changes, never one inside the other: Qt's views and
        // persistent indexes support no nesting, and a row that keeps its
        // reading must move up with it. Between the two the new sample is
        // already stored but not yet shown, and a listener of the removal
        // may clear the model: the insertion publishes what is held then.
        beginRemoveRows(QModelIndex(), 1, 1);
        append(timestamp, data);
        --m_dataSize;
        endRemoveRows();
        UpdateView();
        return;
    }

    // The dropped sample is announced only if views have seen it as row 1.
    if (m_dataSize > 0) {
        beginRemoveRows(QModelIndex(), 1, 1);
        append(timestamp, data);
        --m_dataSize;
        endRemoveRows();
    } else {
        append(timestamp, data);
    }
    if (_autoUpdate)
        UpdateView();
}

void VRXSingleChannelDataModel::UpdateView()
{
    const size_t held = m_timestamps.size();
    if (m_dataSize >= held)
        return;
    beginInsertRows(QModelIndex(), int(m_dataSize) + 1, int(held));
    m_dataSize = held;
    endInsertRows();
}

void VRXSingleChannelDataModel::Clear()
{
    beginResetModel();
    m_dataSize = 0;
    m_timestamps.clear();
    m_data.clear();
    endResetModel();
}

int VRXSingleChannelDataModel::PlotWidthHintPoints() const
{
    return m_plotWidthHint != 0 ? m_plotWidthHint : VRXAbstractDeviceDataModel::PlotWidthHintPoints();
}

int VRXSingleChannelDataModel::MaxBufferSize() const
{
    return int(m_timestamps.capacity());
}

void VRXSingleChannelDataModel::setPlotWidthHintPoints(int points)
{
    m_plotWidthHint = points;
}

QString VRXSingleChannelDataModel::channelName() const
{
    return m_channelName;
}

void VRXSingleChannelDataModel::setChannelName(const QString &channelName)
{
    if (channelName == m_channelName)
        return;
    m_channelName = channelName;
    emit dataChanged(index(0, 1), index(0, 1), {Qt::DisplayRole, Qt::EditRole});
    emit headerDataChanged(Qt::Horizontal, 1, 1);
}

bool VRXSingleChannelDataModel::SaveDataToFile(const QString &fileName) const
{
    if (fileName.isEmpty())
        return false;
    QSaveFile file(fileName);
    return SaveDataToFile(file);
}

bool VRXSingleChannelDataModel::SaveDataToFile(QSaveFile &file) const
{
    return writeThroughSaveFile(file, [this](QIODevice *device) { return SaveDataToDevice(device); });
}

bool VRXSingleChannelDataModel::SaveDataToDevice(QIODevice *device) const
{
    return dataFileWriter()(device);
}

VRXAbstractPlotDataModel::DataFileWriter VRXSingleChannelDataModel::dataFileWriter() const
{
    const size_t n = std::min(m_dataSize, m_data.size());
    auto times = std::make_shared<const std::vector<double>>(m_timestamps.begin(), m_timestamps.begin() + n);
    auto values = std::make_shared<const std::vector<double>>(m_data.begin(), m_data.begin() + n);
    return [times, values](QIODevice *device) {
        if (!device || !device->isWritable())
            return false;
        QByteArray chunk("timestamp(s),channel_1,\n");
        chunk.reserve(kSaveChunkBytes + 128);
        for (size_t i = 0; i < times->size(); ++i) {
            appendFixed(chunk, (*times)[i], 9);
            chunk += ',';
            // Every digit that was measured: six significant digits turned
            // 1.000001e-6 A into 1e-06. The shortest round-trip text keeps
            // 0.002 and 1.5e-10 as short as before.
            appendShortest(chunk, (*values)[i]);
            chunk += ",\n";
            if (!flushWhenFull(device, chunk))
                return false;
        }
        return flushRest(device, chunk);
    };
}

} // namespace Corvid_Qt
