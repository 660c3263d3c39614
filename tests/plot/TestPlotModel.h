#ifndef CORVID_TESTS_PLOT_TESTPLOTMODEL_H
#define CORVID_TESTS_PLOT_TESTPLOTMODEL_H

// A small multi-channel device model for the plot tests: rows are appended
// with the same signals a device model sends, channels can be hidden and
// renamed, and it counts the curve series the view asks for (one per shown
// channel and plot pass).

#include <MeasurementUnit.h>
#include <VRXAbstractDeviceDataModel.h>
#include <VRXSeriesData.h>

#include <QtCore/QIdentityProxyModel>
#include <QtCore/QVector>

class TestPlotModel : public Corvid_Qt::VRXAbstractDeviceDataModel
{
    Q_OBJECT

public:
    explicit TestPlotModel(int channels, QObject *parent = nullptr)
        : VRXAbstractDeviceDataModel(parent)
        , m_values(channels)
    {
    }

    int hintPoints = 256;
    double hintWidth = 0.0;
    mutable int seriesRequests = 0;
    QStringList names;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override
    {
        if (parent.isValid() || row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
            return QModelIndex();
        return createIndex(row, column);
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_times.size() + 1;
    }

    int NumberOfChannels() const override { return m_values.size(); }
    bool isOverrange(int, int) const override { return false; }
    bool SaveDataToFile(const QString &) const override { return false; }
    int PlotWidthHintPoints() const override { return hintPoints; }
    double PlotWidthHint() const override { return hintWidth; }

    void Clear() override
    {
        beginResetModel();
        m_times.clear();
        for (QVector<double> &channel : m_values)
            channel.clear();
        endResetModel();
    }

    double doubleData(int row, int column) const override
    {
        if (row < 1 || row > m_times.size())
            return column;
        if (column == 0)
            return m_times[row - 1];
        if (column > m_values.size())
            return 0.0;
        const double v = m_values[column - 1][row - 1];
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
        if (index.row() == 0)
            return index.column() - 1 < names.size() ? names[index.column() - 1] : QString::number(index.column());
        return QString::number(doubleData(index.row(), index.column()));
    }

    /// Appends rows; values[c][i] is channel c + 1 at times[i].
    void append(const QVector<double> &times, const QVector<QVector<double>> &values)
    {
        if (times.isEmpty())
            return;
        const int first = m_times.size() + 1;
        beginInsertRows(QModelIndex(), first, first + times.size() - 1);
        m_times += times;
        for (int c = 0; c < m_values.size(); ++c)
            m_values[c] += values.value(c, QVector<double>(times.size(), 0.0));
        endInsertRows();
    }

    void appendRow(double time, const QVector<double> &values)
    {
        QVector<QVector<double>> columns;
        for (double v : values)
            columns.append(QVector<double>{v});
        append({time}, columns);
    }

    /// Appends one row and drops the oldest in the signal order of a full
    /// device buffer: about to insert, about to remove, removed, inserted.
    void rollRow(double time, const QVector<double> &values)
    {
        const int last = m_times.size();
        beginInsertRows(QModelIndex(), last, last);
        beginRemoveRows(QModelIndex(), 1, 1);
        m_times.removeFirst();
        for (QVector<double> &channel : m_values)
            channel.removeFirst();
        endRemoveRows();
        m_times.append(time);
        for (int c = 0; c < m_values.size(); ++c)
            m_values[c].append(values.value(c));
        endInsertRows();
    }

    /// n rows from t0 spaced dt; channel c (1-based) holds c * 10 + row index.
    void fill(int n, double t0 = 0.01, double dt = 0.01)
    {
        QVector<double> times;
        QVector<QVector<double>> values(m_values.size());
        const int first = m_times.size();
        for (int i = 0; i < n; ++i) {
            times.append(t0 + (first + i) * dt);
            for (int c = 0; c < m_values.size(); ++c)
                values[c].append((c + 1) * 10.0 + first + i);
        }
        append(times, values);
    }

    void setTime(int row, double t)
    {
        m_times[row - 1] = t;
        emit dataChanged(index(row, 0), index(row, 0));
    }

    void setXUnits(const Corvid_Qt::Units::MeasurementUnit *xUnits) { _xUnits = xUnits; }

    void setValue(int row, int column, double v)
    {
        m_values[column - 1][row - 1] = v;
        emit dataChanged(index(row, column), index(row, column));
    }

private:
    QVector<double> m_times;
    QVector<QVector<double>> m_values;
};

/// A plain identity proxy that also offers the plot-data interface of its
/// source, for the walk to the root model.
class TestPlotProxy : public QIdentityProxyModel, public Corvid_Qt::VRXAbstractPlotDataModel
{
    Q_OBJECT

public:
    using QIdentityProxyModel::QIdentityProxyModel;

    Corvid_Qt::VRXAbstractPlotDataModel *plotSource() const
    {
        return dynamic_cast<Corvid_Qt::VRXAbstractPlotDataModel *>(sourceModel());
    }
    bool SaveDataToFile(const QString &name) const override { return plotSource()->SaveDataToFile(name); }
    void Clear() override { plotSource()->Clear(); }
    int PlotWidthHintPoints() const override { return plotSource()->PlotWidthHintPoints(); }
    double PlotWidthHint() const override { return plotSource()->PlotWidthHint(); }
    const Corvid_Qt::Units::MeasurementUnit *units() const override { return plotSource()->units(); }
    const Corvid_Qt::Units::MeasurementUnit *xUnits() const override { return plotSource()->xUnits(); }
    double doubleData(int row, int column) const override { return plotSource()->doubleData(row, column); }
    QwtSeriesData<QPointF> *seriesData(int column, int startRow, int endRow) const override
    {
        return new Corvid_Qt::VRXSeriesData(*this, column, startRow, endRow);
    }
    int MaxBufferSize() const override { return plotSource()->MaxBufferSize(); }
};

#endif
