#ifndef CORVID_TESTS_MODELTESTHELPERS_H
#define CORVID_TESTS_MODELTESTHELPERS_H

// Shared by the model suites: a signal log, a sequential view of a model for
// QAbstractItemModelTester, a follower that rebuilds the table from the
// announcements alone, and devices that fail on purpose.

#include <QtCore/QAbstractItemModel>
#include <QtCore/QIODevice>
#include <QtCore/QSaveFile>
#include <QtCore/QStringList>
#include <QtCore/QVector>
#include <functional>

namespace corvid_test {

/// Records the structure signals of a model as text, with the row count the
/// model reports at the moment of each signal.
class SignalLog
{
public:
    explicit SignalLog(QAbstractItemModel *model)
    {
        QObject *ctx = &m_context;
        auto rows = [model](const char *name, int first, int last) {
            return QStringLiteral("%1 %2-%3 rows=%4").arg(QLatin1String(name)).arg(first).arg(last).arg(model->rowCount());
        };
        QObject::connect(model, &QAbstractItemModel::rowsAboutToBeInserted, ctx,
                         [=](const QModelIndex &, int f, int l) { entries << rows("aboutToInsert", f, l); });
        QObject::connect(model, &QAbstractItemModel::rowsInserted, ctx,
                         [=](const QModelIndex &, int f, int l) { entries << rows("inserted", f, l); });
        QObject::connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, ctx,
                         [=](const QModelIndex &, int f, int l) { entries << rows("aboutToRemove", f, l); });
        QObject::connect(model, &QAbstractItemModel::rowsRemoved, ctx,
                         [=](const QModelIndex &, int f, int l) { entries << rows("removed", f, l); });
        QObject::connect(model, &QAbstractItemModel::modelAboutToBeReset, ctx,
                         [=]() { entries << QStringLiteral("aboutToReset"); });
        QObject::connect(model, &QAbstractItemModel::modelReset, ctx,
                         [=]() { entries << QStringLiteral("reset"); });
        QObject::connect(model, &QAbstractItemModel::dataChanged, ctx,
                         [=](const QModelIndex &tl, const QModelIndex &br) {
                             entries << QStringLiteral("dataChanged %1,%2-%3,%4")
                                            .arg(tl.row()).arg(tl.column()).arg(br.row()).arg(br.column());
                         });
    }
    QStringList entries;

private:
    QObject m_context; // disconnects everything when the log goes
};

/**
 * The same table as its source, with every row insertion announced once the
 * source has completed it. A full device model announces its new last row
 * around the removal of row 1 (about-to-insert, about-to-remove, removed,
 * inserted); QAbstractItemModelTester requires each change to finish before
 * the next begins. This hides that nesting, and one more difference: device
 * models give the root index ItemIsEnabled, where the tester wants no flags
 * (or only ItemIsDropEnabled) there.
 */
class SequentialAdapter : public QAbstractItemModel
{
public:
    explicit SequentialAdapter(QAbstractItemModel *source)
        : m_source(source)
    {
        connect(source, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex &, int f, int l) {
            m_hidden = l - f + 1;
            beginInsertRows(QModelIndex(), f, l);
            m_hidden = 0;
            endInsertRows();
        });
        connect(source, &QAbstractItemModel::rowsAboutToBeRemoved, this,
                [this](const QModelIndex &, int f, int l) { beginRemoveRows(QModelIndex(), f, l); });
        connect(source, &QAbstractItemModel::rowsRemoved, this, [this]() { endRemoveRows(); });
        connect(source, &QAbstractItemModel::columnsAboutToBeInserted, this,
                [this](const QModelIndex &, int f, int l) { beginInsertColumns(QModelIndex(), f, l); });
        connect(source, &QAbstractItemModel::columnsInserted, this, [this]() { endInsertColumns(); });
        connect(source, &QAbstractItemModel::columnsAboutToBeRemoved, this,
                [this](const QModelIndex &, int f, int l) { beginRemoveColumns(QModelIndex(), f, l); });
        connect(source, &QAbstractItemModel::columnsRemoved, this, [this]() { endRemoveColumns(); });
        connect(source, &QAbstractItemModel::modelAboutToBeReset, this, [this]() { beginResetModel(); });
        connect(source, &QAbstractItemModel::modelReset, this, [this]() { endResetModel(); });
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
        return parent.isValid() ? 0 : m_source->rowCount() - m_hidden;
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_source->columnCount();
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        return m_source->data(m_source->index(index.row(), index.column()), role);
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        return m_source->headerData(section, orientation, role);
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        if (!index.isValid())
            return m_source->flags(QModelIndex()) & Qt::ItemIsDropEnabled;
        return m_source->flags(m_source->index(index.row(), index.column()));
    }

private:
    QAbstractItemModel *m_source;
    int m_hidden = 0;
};

/**
 * Rebuilds one column of a flat model (as read by `read`) from its announcements only,
 * as a view would: inserted rows are read when announced, removed rows are
 * dropped, a reset reads everything. check() compares with the model.
 */
class Follower
{
public:
    Follower(QAbstractItemModel *model, std::function<double(int row)> read)
        : m_model(model)
        , m_read(std::move(read))
    {
        reload();
        QObject::connect(model, &QAbstractItemModel::rowsInserted, &m_context, [this](const QModelIndex &, int f, int l) {
            QVector<double> fresh;
            for (int r = f; r <= l; ++r)
                fresh << m_read(r);
            // A nested announcement (insertion begun before a removal) is
            // completed after it, so the insertion row is taken as seen now.
            const int at = qMin(f - 1, m_rows.size());
            for (int i = 0; i < fresh.size(); ++i)
                m_rows.insert(at + i, fresh[i]);
        });
        QObject::connect(model, &QAbstractItemModel::rowsRemoved, &m_context,
                         [this](const QModelIndex &, int f, int l) { m_rows.remove(f - 1, l - f + 1); });
        QObject::connect(model, &QAbstractItemModel::modelReset, &m_context, [this]() { reload(); });
        QObject::connect(model, &QAbstractItemModel::dataChanged, &m_context,
                         [this](const QModelIndex &tl, const QModelIndex &br) {
                             for (int r = qMax(tl.row(), 1); r <= br.row() && r - 1 < m_rows.size(); ++r)
                                 m_rows[r - 1] = m_read(r);
                         });
    }

    void reload()
    {
        m_rows.clear();
        for (int r = 1; r < m_model->rowCount(); ++r)
            m_rows << m_read(r);
    }

    /// The rows as the announcements left them, and as the model has them now.
    QVector<double> seen() const { return m_rows; }
    QVector<double> actual() const
    {
        QVector<double> rows;
        for (int r = 1; r < m_model->rowCount(); ++r)
            rows << m_read(r);
        return rows;
    }

private:
    QAbstractItemModel *m_model;
    std::function<double(int)> m_read;
    QVector<double> m_rows;
    QObject m_context;
};

/// A device that accepts `limit` bytes and then fails every write.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(qint64 limit)
        : m_limit(limit)
    {
        open(QIODevice::WriteOnly);
    }
    QByteArray written;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 len) override
    {
        if (written.size() + len > m_limit)
            return -1;
        written.append(data, int(len));
        return len;
    }

private:
    qint64 m_limit;
};

/// A save file whose writes fail once `limit` bytes have gone through, or
/// that runs `midway` at its first write (to break the commit).
class FailingSaveFile : public QSaveFile
{
public:
    FailingSaveFile(const QString &name, qint64 limit)
        : QSaveFile(name)
        , m_limit(limit)
    {
    }
    std::function<void()> midway;

protected:
    qint64 writeData(const char *data, qint64 len) override
    {
        if (midway) {
            midway();
            midway = nullptr;
        }
        if (m_count + len > m_limit)
            return -1;
        m_count += len;
        return QSaveFile::writeData(data, len);
    }

private:
    qint64 m_limit;
    qint64 m_count = 0;
};

} // namespace corvid_test

#endif
