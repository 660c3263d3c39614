#ifndef CORVID_TESTS_FAKEDEVICEMODEL_H
#define CORVID_TESTS_FAKEDEVICEMODEL_H

// A device model for the view suites and the histogram benchmark: rows of a
// time and channel values (whole frames or column blocks), the fits a device
// computed from Fit0Column0 on, and a full buffer that rolls its oldest row
// out in a device's signal order. It counts the curve series asked of it.

#include <MeasurementUnit.h>
#include <VRXAbstractDeviceDataModel.h>

#include <QtCore/QVector>
#include <cmath>
#include <limits>

class FakeDeviceModel : public Corvid_Qt::VRXAbstractDeviceDataModel
{
public:
    /// Channel c of row i (from 0) reads c * 10 + i, at time 0.01 (i + 1).
    explicit FakeDeviceModel(int channels, int rows = 0) : m_channels(channels) { fill(rows); }

    double hintWidth = 0.0;
    mutable int seriesRequests = 0;

    void addFrame(double time, const QVector<double> &values, const QVector<double> &fits = {})
    {
        beginInsertRows(QModelIndex(), rowCount(), rowCount());
        m_rows.append({time, values, fits});
        endInsertRows();
    }
    /// columns[0] holds the times, columns[c] channel c (missing ones read 0).
    void append(const QVector<QVector<double>> &columns)
    {
        const int n = columns[0].size();
        beginInsertRows(QModelIndex(), rowCount(), rowCount() + n - 1);
        for (int i = 0; i < n; ++i) {
            Row row{columns[0][i], QVector<double>(m_channels, 0.0), {}};
            for (int c = 1; c <= m_channels && c < columns.size(); ++c)
                row.values[c - 1] = columns[c][i];
            m_rows.append(row);
        }
        endInsertRows();
    }
    /// n more rows, continuing the times t0 + i * dt.
    void fill(int n, double t0 = 0.01, double dt = 0.01)
    {
        if (n <= 0)
            return;
        QVector<QVector<double>> columns(m_channels + 1);
        for (int i = m_rows.size(); i < m_rows.size() + n; ++i)
            for (int c = 0; c <= m_channels; ++c)
                columns[c].append(c == 0 ? t0 + i * dt : c * 10.0 + i);
        append(columns);
    }
    /// Drops the oldest row, then appends one, as a full device model does.
    void rollRow(double time, double value)
    {
        beginRemoveRows(QModelIndex(), 1, 1);
        m_rows.removeFirst();
        endRemoveRows();
        beginInsertRows(QModelIndex(), rowCount(), rowCount());
        m_rows.append({time, QVector<double>(m_channels, value), {}});
        endInsertRows();
    }
    void setValue(int row, int column, double v)
    {
        (column == 0 ? m_rows[row - 1].time : m_rows[row - 1].values[column - 1]) = v;
        emit dataChanged(index(row, column), index(row, column));
    }
    void setXUnits(const Corvid_Qt::Units::MeasurementUnit *xUnits) { _xUnits = xUnits; }
    /// One more channel, announced as a column insertion, read like the others.
    void addChannel()
    {
        beginInsertColumns(QModelIndex(), m_channels + 1, m_channels + 1);
        ++m_channels;
        for (int i = 0; i < m_rows.size(); ++i)
            m_rows[i].values.append(m_channels * 10.0 + i);
        endInsertColumns();
    }
    void removeLastChannel()
    {
        beginRemoveColumns(QModelIndex(), m_channels, m_channels);
        --m_channels;
        for (Row &row : m_rows)
            row.values.removeLast();
        endRemoveColumns();
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
    double PlotWidthHint() const override { return hintWidth; }
    void Clear() override
    {
        beginResetModel();
        m_rows.clear();
        endResetModel();
    }
    /// Outside the data rows a cell reads its column number.
    double doubleData(int row, int column) const override
    {
        if (row < 1 || row >= rowCount())
            return column;
        const Row &r = m_rows[row - 1];
        const double nan = std::numeric_limits<double>::quiet_NaN();
        if (column == 0)
            return r.time;
        if (column >= Corvid_Qt::Fit0Column0)
            return r.fits.value(column - Corvid_Qt::Fit0Column0, nan);
        const double v = r.values.value(column - 1, nan);
        return units() ? units()->scale(v) : v;
    }
    QwtSeriesData<QPointF> *seriesData(int column, int startRow, int endRow) const override
    {
        ++seriesRequests;
        return VRXAbstractDeviceDataModel::seriesData(column, startRow, endRow);
    }
    QVariant deviceSpecificData(const QModelIndex &index, int role) const override
    {
        if (role == Corvid_Qt::DataRole)
            return doubleData(index.row(), index.column());
        if (role != Qt::DisplayRole && role != Qt::EditRole)
            return QVariant();
        return QString::number(index.row() == 0 ? index.column() : doubleData(index.row(), index.column()));
    }

private:
    struct Row {
        double time;
        QVector<double> values, fits;
    };
    int m_channels;
    QVector<Row> m_rows;
};

/// Channel values of a Gaussian beam over `channels` channels, numbered from 1.
inline QVector<double> gaussianProfile(int channels, double centre, double sigma, double height, double floor = 0.0)
{
    QVector<double> v(channels);
    for (int i = 0; i < channels; ++i)
        v[i] = floor + height * std::exp(-(i + 1 - centre) * (i + 1 - centre) / (2 * sigma * sigma));
    return v;
}

#endif
