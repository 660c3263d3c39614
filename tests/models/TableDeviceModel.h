#ifndef CORVID_TESTS_TABLEDEVICEMODEL_H
#define CORVID_TESTS_TABLEDEVICEMODEL_H

// A device model of several channels for the proxy suites: rows are
// appended, edited and cleared by hand, with the announcements a device
// model makes.

#include <MeasurementUnit.h>
#include <VRXAbstractDeviceDataModel.h>

#include <QtCore/QVector>
#include <limits>

namespace corvid_test {

class TableDeviceModel : public Corvid_Qt::VRXAbstractDeviceDataModel
{
public:
    explicit TableDeviceModel(int channels, QObject *parent = nullptr)
        : VRXAbstractDeviceDataModel(parent)
        , m_channels(channels)
    {
    }

    /// Appends one row: a timestamp and one value per channel (base units).
    void addRow(double timestamp, const QVector<double> &values)
    {
        beginInsertRows(QModelIndex(), m_rows.size() + 1, m_rows.size() + 1);
        QVector<double> row{timestamp};
        row += values;
        row.resize(m_channels + 1);
        m_rows << row;
        endInsertRows();
    }

    /// Changes one stored value (data row, channel column) and announces it.
    void setValue(int row, int column, double value)
    {
        m_rows[row - 1][column] = value;
        emit dataChanged(index(row, column), index(row, column));
    }

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override
    {
        return hasIndex(row, column, parent) ? createIndex(row, column) : QModelIndex();
    }
    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_rows.size() + 1;
    }
    int NumberOfChannels() const override { return m_channels; }
    bool isOverrange(int, int) const override { return false; }
    bool SaveDataToFile(const QString &) const override { return false; }
    void Clear() override
    {
        beginResetModel();
        m_rows.clear();
        endResetModel();
    }

    double doubleData(int row, int column) const override
    {
        if (row == 0)
            return column;
        if (row < 1 || row > m_rows.size() || column < 0 || column > m_channels)
            return std::numeric_limits<double>::quiet_NaN();
        const double v = m_rows[row - 1][column];
        return column == 0 ? v : units()->scale(v);
    }

    QVariant deviceSpecificData(const QModelIndex &index, int role) const override
    {
        const int row = index.row();
        const int column = index.column();
        if (row == 0) {
            if (role == Qt::DisplayRole || role == Qt::EditRole)
                return QStringLiteral("Ch%1").arg(column);
            return QVariant();
        }
        const double v = m_rows[row - 1][column];
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return column == 0 ? QString::number(v, 'e', 3) : units()->format(v);
        case Qt::ToolTipRole:
            return column == 0 ? QString::number(v, 'e', 3) : units()->formatSuffix(v);
        case Corvid_Qt::DataRole:
            return doubleData(row, column);
        default:
            return QVariant();
        }
    }

private:
    int m_channels;
    QVector<QVector<double>> m_rows;
};

} // namespace corvid_test

#endif
