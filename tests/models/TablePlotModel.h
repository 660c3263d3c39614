#ifndef CORVID_TESTS_TABLEPLOTMODEL_H
#define CORVID_TESTS_TABLEPLOTMODEL_H

// A small editable plot-data table for the proxy suites: it can do every
// structure change (rows and columns inserted, removed and moved, sorting)
// that a device model never does, so that the proxies' forwarding of them
// can be proven.

#include <MeasurementUnit.h>
#include <VRXAbstractDeviceDataModel.h>
#include <VRXAbstractPlotDataModel.h>
#include <VRXSeriesData.h>

#include <QtCore/QAbstractTableModel>
#include <QtCore/QMimeData>
#include <QtCore/QVector>
#include <algorithm>
#include <numeric>

namespace corvid_test {

class TablePlotModel : public QAbstractTableModel, public Corvid_Qt::VRXAbstractPlotDataModel
{
public:
    /// rows x columns cells, cell (r, c) holding r * 100 + c.
    TablePlotModel(int rows, int columns)
        : m_columns(columns)
    {
        for (int r = 0; r < rows; ++r) {
            QVector<double> row;
            for (int c = 0; c < columns; ++c)
                row << r * 100 + c;
            m_cells << row;
        }
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_cells.size();
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_columns;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid())
            return QVariant();
        const double v = m_cells[index.row()][index.column()];
        if (role == Qt::DisplayRole)
            return QString::number(v);
        if (role == Qt::EditRole || role == Corvid_Qt::DataRole)
            return v;
        return QVariant();
    }
    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        if (!index.isValid() || role != Qt::EditRole)
            return false;
        m_cells[index.row()][index.column()] = value.toDouble();
        emit dataChanged(index, index);
        return true;
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable : Qt::NoItemFlags;
    }
    bool insertRows(int row, int count, const QModelIndex &parent) override
    {
        if (parent.isValid() || row < 0 || row > m_cells.size() || count < 1)
            return false;
        beginInsertRows(QModelIndex(), row, row + count - 1);
        for (int i = 0; i < count; ++i)
            m_cells.insert(row, QVector<double>(m_columns, -1.0));
        endInsertRows();
        return true;
    }
    bool removeRows(int row, int count, const QModelIndex &parent) override
    {
        if (parent.isValid() || row < 0 || count < 1 || row + count > m_cells.size())
            return false;
        beginRemoveRows(QModelIndex(), row, row + count - 1);
        m_cells.remove(row, count);
        endRemoveRows();
        return true;
    }
    bool insertColumns(int column, int count, const QModelIndex &parent) override
    {
        if (parent.isValid() || column < 0 || column > m_columns || count < 1)
            return false;
        beginInsertColumns(QModelIndex(), column, column + count - 1);
        for (QVector<double> &row : m_cells)
            row.insert(column, count, -2.0);
        m_columns += count;
        endInsertColumns();
        return true;
    }
    bool removeColumns(int column, int count, const QModelIndex &parent) override
    {
        if (parent.isValid() || column < 0 || count < 1 || column + count > m_columns)
            return false;
        beginRemoveColumns(QModelIndex(), column, column + count - 1);
        for (QVector<double> &row : m_cells)
            row.remove(column, count);
        m_columns -= count;
        endRemoveColumns();
        return true;
    }
    bool moveRows(const QModelIndex &sourceParent, int sourceRow, int count, const QModelIndex &destinationParent,
                  int destinationChild) override
    {
        if (sourceParent.isValid() || destinationParent.isValid()
            || !beginMoveRows(QModelIndex(), sourceRow, sourceRow + count - 1, QModelIndex(), destinationChild))
            return false;
        const QVector<QVector<double>> moved = m_cells.mid(sourceRow, count);
        m_cells.remove(sourceRow, count);
        const int at = destinationChild > sourceRow ? destinationChild - count : destinationChild;
        for (int i = 0; i < count; ++i)
            m_cells.insert(at + i, moved[i]);
        endMoveRows();
        return true;
    }
    bool moveColumns(const QModelIndex &sourceParent, int sourceColumn, int count,
                     const QModelIndex &destinationParent, int destinationChild) override
    {
        if (sourceParent.isValid() || destinationParent.isValid()
            || !beginMoveColumns(QModelIndex(), sourceColumn, sourceColumn + count - 1, QModelIndex(),
                                 destinationChild))
            return false;
        const int at = destinationChild > sourceColumn ? destinationChild - count : destinationChild;
        for (QVector<double> &row : m_cells) {
            const QVector<double> moved = row.mid(sourceColumn, count);
            row.remove(sourceColumn, count);
            for (int i = 0; i < count; ++i)
                row.insert(at + i, moved[i]);
        }
        endMoveColumns();
        return true;
    }
    /// Sorts the rows by one column, carrying persistent indexes along.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override
    {
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        QVector<int> byRow(m_cells.size());
        std::iota(byRow.begin(), byRow.end(), 0);
        std::stable_sort(byRow.begin(), byRow.end(), [&](int a, int b) {
            return order == Qt::AscendingOrder ? m_cells[a][column] < m_cells[b][column]
                                               : m_cells[a][column] > m_cells[b][column];
        });
        QVector<QVector<double>> sorted;
        QVector<int> newRowOf(m_cells.size());
        for (int i = 0; i < byRow.size(); ++i) {
            sorted << m_cells[byRow[i]];
            newRowOf[byRow[i]] = i;
        }
        m_cells = sorted;
        const QModelIndexList old = persistentIndexList();
        QModelIndexList now;
        for (const QModelIndex &index : old)
            now << createIndex(newRowOf[index.row()], index.column());
        changePersistentIndexList(old, now);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }
    bool dropMimeData(const QMimeData *data, Qt::DropAction, int row, int column, const QModelIndex &parent) override
    {
        lastDrop = {row, column, parent.row(), parent.column()};
        return data && data->hasText();
    }

    // Plot-data interface: distinctive answers, so forwarding shows.
    bool SaveDataToFile(const QString &fileName) const override
    {
        savedTo = fileName;
        return !fileName.isEmpty();
    }
    void Clear() override
    {
        beginResetModel();
        m_cells.clear();
        endResetModel();
    }
    int NumberOfChannels() const override { return m_columns - 1; }
    int PlotWidthHintPoints() const override { return 77; }
    double PlotWidthHint() const override { return 1.5; }
    const Corvid_Qt::Units::MeasurementUnit *units() const override { return m_units; }
    /// Like a device model: the new unit applies to every value shown.
    void setUnits(const Corvid_Qt::Units::MeasurementUnit *units)
    {
        m_units = units;
        if (rowCount() > 0 && columnCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }
    /// Appends a row of values, as a device appends a sample.
    void appendRow(const QVector<double> &values)
    {
        beginInsertRows(QModelIndex(), m_cells.size(), m_cells.size());
        QVector<double> row = values;
        row.resize(m_columns);
        m_cells << row;
        endInsertRows();
    }
    const Corvid_Qt::Units::MeasurementUnit *xUnits() const override { return &m_xUnits; }
    double doubleData(int row, int column) const override
    {
        if (row < 0 || row >= m_cells.size() || column < 0 || column >= m_columns)
            return -999.0;
        return m_units->scale(m_cells[row][column]);
    }
    QwtSeriesData<QPointF> *seriesData(int column, int startRow, int endRow) const override
    {
        return new Corvid_Qt::VRXSeriesData(*this, column, startRow, endRow);
    }
    int MaxBufferSize() const override { return 1234; }

    /// Emits dataChanged for one cell without changing it.
    void touch(int row, int column) { emit dataChanged(index(row, column), index(row, column)); }
    void changeHeader(int first, int last) { emit headerDataChanged(Qt::Horizontal, first, last); }

    mutable QString savedTo;
    QVector<int> lastDrop;

private:
    QVector<QVector<double>> m_cells;
    int m_columns;
    const Corvid_Qt::Units::MeasurementUnit *m_units = &Corvid_Qt::VRXAbstractDeviceDataModel::defaultUnits;
    Corvid_Qt::Units::ms m_xUnits;
};

} // namespace corvid_test

#endif
