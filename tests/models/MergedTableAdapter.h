#ifndef CORVID_TESTS_MERGEDTABLEADAPTER_H
#define CORVID_TESTS_MERGEDTABLEADAPTER_H

// The merged table of a multichannel proxy as QAbstractItemModelTester may
// check it. Sources fed in step do not drop their oldest sample at the same
// moment: the first one to do so drops row 1 of the table, and the time
// column (which comes from the first source in column order) moves up only
// when that source follows. The tester compares the time column across a
// removal at the very moment of it. This adapter mirrors the table one to
// one, except that the time column's text names each data row by the
// announcement that brought it in, so the tester checks the announcements
// and the identity of rows, not the moment a source catches up.

#include <QtCore/QAbstractItemModel>
#include <QtCore/QVector>

namespace corvid_test {

class MergedTableAdapter : public QAbstractItemModel
{
public:
    explicit MergedTableAdapter(QAbstractItemModel *source)
        : m_source(source)
    {
        renumber();
        connect(source, &QAbstractItemModel::rowsAboutToBeInserted, this,
                [this](const QModelIndex &, int f, int l) { beginInsertRows(QModelIndex(), f, l); });
        connect(source, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex &, int f, int l) {
            for (int r = f; r <= l; ++r)
                m_ids.insert(r - 1, m_next++);
            endInsertRows();
        });
        connect(source, &QAbstractItemModel::rowsAboutToBeRemoved, this,
                [this](const QModelIndex &, int f, int l) { beginRemoveRows(QModelIndex(), f, l); });
        connect(source, &QAbstractItemModel::rowsRemoved, this, [this](const QModelIndex &, int f, int l) {
            m_ids.remove(f - 1, l - f + 1);
            endRemoveRows();
        });
        connect(source, &QAbstractItemModel::modelAboutToBeReset, this, [this]() { beginResetModel(); });
        connect(source, &QAbstractItemModel::modelReset, this, [this]() {
            renumber();
            endResetModel();
        });
        connect(source, &QAbstractItemModel::layoutAboutToBeChanged, this, [this]() { emit layoutAboutToBeChanged(); });
        connect(source, &QAbstractItemModel::layoutChanged, this, [this]() { emit layoutChanged(); });
        connect(source, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex &tl, const QModelIndex &br, const QVector<int> &roles) {
                    emit dataChanged(index(tl.row(), tl.column()), index(br.row(), br.column()), roles);
                });
        connect(source, &QAbstractItemModel::headerDataChanged, this, &QAbstractItemModel::headerDataChanged);
    }

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override
    {
        return hasIndex(row, column, parent) ? createIndex(row, column) : QModelIndex();
    }
    QModelIndex parent(const QModelIndex &) const override { return QModelIndex(); }
    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_source->rowCount();
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_source->columnCount();
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (index.column() == 0 && index.row() >= 1 && role == Qt::DisplayRole && index.row() - 1 < m_ids.size())
            return QStringLiteral("row %1").arg(m_ids.at(index.row() - 1));
        return m_source->data(m_source->index(index.row(), index.column()), role);
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        return m_source->headerData(section, orientation, role);
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return m_source->flags(m_source->index(index.row(), index.column()));
    }

private:
    void renumber()
    {
        m_ids.clear();
        for (int r = 1; r < m_source->rowCount(); ++r)
            m_ids << m_next++;
    }

    QAbstractItemModel *m_source;
    QVector<int> m_ids;
    int m_next = 0;
};

} // namespace corvid_test

#endif
