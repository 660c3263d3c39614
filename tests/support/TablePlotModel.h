#ifndef CORVID_TESTS_TABLEPLOTMODEL_H
#define CORVID_TESTS_TABLEPLOTMODEL_H

// A small editable plot-data table for the proxy suites: it makes every
// structure change (rows and columns inserted, removed and moved, a sort)
// that a device model never makes, so that the proxies' handling of them can
// be proven. Cell (r, c) starts as r * 100 + c.

#include <MeasurementUnit.h>
#include <VRXAbstractDeviceDataModel.h>
#include <VRXSeriesData.h>

#include <QtGui/QStandardItemModel>

namespace corvid_test {

class TablePlotModel : public QStandardItemModel, public Corvid_Qt::VRXAbstractPlotDataModel
{
public:
    TablePlotModel(int rows, int columns)
        : QStandardItemModel(rows, columns)
    {
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c)
                setData(index(r, c), r * 100 + c);
    }

    /// Appends a row of values, as a device appends a sample.
    void append(const QVector<double> &values)
    {
        QList<QStandardItem *> items;
        for (int c = 0; c < columnCount(); ++c) {
            items << new QStandardItem;
            items.last()->setData(values.value(c), Qt::DisplayRole);
        }
        appendRow(items);
    }
    /// Like a device model: the new unit applies to every value shown.
    void setUnits(const Corvid_Qt::Units::MeasurementUnit *units)
    {
        m_units = units;
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }
    bool moveRows(const QModelIndex &, int from, int count, const QModelIndex &, int to) override
    {
        return move(Qt::Vertical, from, count, to);
    }
    bool moveColumns(const QModelIndex &, int from, int count, const QModelIndex &, int to) override
    {
        return move(Qt::Horizontal, from, count, to);
    }

    // Plot-data interface: distinctive answers, so forwarding shows.
    bool SaveDataToFile(const QString &fileName) const override { return !fileName.isEmpty(); }
    void Clear() override
    {
        beginResetModel();
        blockSignals(true);
        setRowCount(0);
        blockSignals(false);
        endResetModel();
    }
    int NumberOfChannels() const override { return columnCount() - 1; }
    int PlotWidthHintPoints() const override { return 77; }
    double PlotWidthHint() const override { return 1.5; }
    int MaxBufferSize() const override { return 1234; }
    const Corvid_Qt::Units::MeasurementUnit *units() const override { return m_units; }
    const Corvid_Qt::Units::MeasurementUnit *xUnits() const override { return &m_xUnits; }
    double doubleData(int row, int column) const override
    {
        const double held = index(row, column).data().toDouble();
        return m_units ? m_units->scale(held) : held;
    }
    QwtSeriesData<QPointF> *seriesData(int column, int startRow, int endRow) const override
    {
        return new Corvid_Qt::VRXSeriesData(*this, column, startRow, endRow);
    }

private:
    // The items stay where they are and their values move, unannounced,
    // between the announcements of the move.
    bool move(Qt::Orientation along, int from, int count, int to)
    {
        const bool rows = along == Qt::Vertical;
        if (rows ? !beginMoveRows({}, from, from + count - 1, {}, to) : !beginMoveColumns({}, from, from + count - 1, {}, to))
            return false;
        QVector<QVector<QVariant>> lines(rows ? rowCount() : columnCount());
        for (int i = 0; i < lines.size(); ++i)
            for (int j = 0; j < (rows ? columnCount() : rowCount()); ++j)
                lines[i] << (rows ? index(i, j) : index(j, i)).data();
        const QVector<QVector<QVariant>> moved = lines.mid(from, count);
        lines.remove(from, count);
        for (int i = 0; i < count; ++i)
            lines.insert((to > from ? to - count : to) + i, moved[i]);
        blockSignals(true);
        for (int i = 0; i < lines.size(); ++i)
            for (int j = 0; j < lines[i].size(); ++j)
                setData(rows ? index(i, j) : index(j, i), lines[i][j]);
        blockSignals(false);
        rows ? endMoveRows() : endMoveColumns();
        return true;
    }

    const Corvid_Qt::Units::MeasurementUnit *m_units = &Corvid_Qt::VRXAbstractDeviceDataModel::defaultUnits;
    Corvid_Qt::Units::ms m_xUnits;
};

} // namespace corvid_test

#endif
