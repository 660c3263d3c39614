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
    explicit TableDeviceModel(int channels)
        : m_channels(channels)
    {
    }

    /// Appends one row: a timestamp and one value per channel (base units).
    void addRow(double timestamp, QVector<double> values)
    {
        beginInsertRows(QModelIndex(), m_rows.size() + 1, m_rows.size() + 1);
        values.prepend(timestamp);
        values.resize(m_channels + 1);
        m_rows << values;
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
    int rowCount(const QModelIndex &parent = QModelIndex()) const override { return parent.isValid() ? 0 : m_rows.size() + 1; }
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
        const bool text = role == Qt::DisplayRole || role == Qt::EditRole;
        if (index.row() == 0)
            return text ? QVariant(QStringLiteral("Ch%1").arg(index.column())) : QVariant();
        const double v = m_rows[index.row() - 1][index.column()];
        if (text || (role == Qt::ToolTipRole && index.column() == 0))
            return index.column() == 0 ? QString::number(v, 'e', 3) : units()->format(v);
        if (role == Qt::ToolTipRole)
            return units()->formatSuffix(v);
        return role == Corvid_Qt::DataRole ? QVariant(doubleData(index.row(), index.column())) : QVariant();
    }

private:
    int m_channels;
    QVector<QVector<double>> m_rows;
};

} // namespace corvid_test

#endif
