#ifndef CORVID_TESTS_MODELTESTHELPERS_H
#define CORVID_TESTS_MODELTESTHELPERS_H

// Shared by the model suites: a signal log, a sequential view of a model for
// QAbstractItemModelTester, a follower that rebuilds one column from the
// announcements alone, and saves that fail on purpose.

#include <QtCore/QAbstractItemModel>
#include <QtCore/QDir>
#include <QtCore/QSaveFile>
#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>
#include <functional>
#include <limits>
#include <sys/stat.h>
#include <utility>

namespace corvid_test {

/// Records the change signals of a model as "; "-separated text, with the row
/// count the model reports at the moment of each insertion or removal.
class SignalLog
{
public:
    explicit SignalLog(QAbstractItemModel *model)
    {
        using M = QAbstractItemModel;
        auto span = [this, model](const char *name) {
            return [this, model, name](const QModelIndex &, int f, int l) {
                add(QStringLiteral("%1 %2-%3 rows=%4").arg(QLatin1String(name)).arg(f).arg(l).arg(model->rowCount()));
            };
        };
        auto moved = [this](const char *name) {
            return [this, name](const QModelIndex &, int f, int l, const QModelIndex &, int to) {
                add(QStringLiteral("%1 %2-%3 to %4").arg(QLatin1String(name)).arg(f).arg(l).arg(to));
            };
        };
        QObject::connect(model, &M::rowsAboutToBeInserted, &m_context, span("aboutToInsert"));
        QObject::connect(model, &M::rowsInserted, &m_context, span("inserted"));
        QObject::connect(model, &M::rowsAboutToBeRemoved, &m_context, span("aboutToRemove"));
        QObject::connect(model, &M::rowsRemoved, &m_context, span("removed"));
        QObject::connect(model, &M::columnsInserted, &m_context, span("columnsInserted"));
        QObject::connect(model, &M::columnsRemoved, &m_context, span("columnsRemoved"));
        QObject::connect(model, &M::rowsMoved, &m_context, moved("rowsMoved"));
        QObject::connect(model, &M::columnsMoved, &m_context, moved("columnsMoved"));
        QObject::connect(model, &M::modelAboutToBeReset, &m_context, [this]() { add("aboutToReset"); });
        QObject::connect(model, &M::modelReset, &m_context, [this]() { add("reset"); });
        QObject::connect(model, &M::layoutChanged, &m_context, [this](const QList<QPersistentModelIndex> &, M::LayoutChangeHint hint) {
            add(QStringLiteral("layoutChanged %1").arg(hint));
        });
        QObject::connect(model, &M::headerDataChanged, &m_context,
                         [this](Qt::Orientation, int f, int l) { add(QStringLiteral("header %1-%2").arg(f).arg(l)); });
        QObject::connect(model, &M::dataChanged, &m_context, [this](const QModelIndex &tl, const QModelIndex &br) {
            add(QStringLiteral("dataChanged %1,%2-%3,%4").arg(tl.row()).arg(tl.column()).arg(br.row()).arg(br.column()));
        });
    }
    void add(const QString &entry) { text += (text.isEmpty() ? "" : "; ") + entry; }
    QString text;

private:
    QObject m_context; // disconnects everything when the log goes
};

/**
 * The same table as its source, for QAbstractItemModelTester: each row
 * insertion is announced once the source has completed it (a full device
 * model nests its new last row around the removal of row 1, where the tester
 * wants one change at a time), and the root has no flags but ItemIsDropEnabled
 * (device models give it ItemIsEnabled). With labelRows, the time column names
 * each data row by the announcement that brought it in: that of a merged
 * table moves up when its source drops a sample, not when the table announces
 * the removal, and the labels let the tester check the rows' identity instead.
 */
class SequentialAdapter : public QAbstractItemModel
{
public:
    explicit SequentialAdapter(QAbstractItemModel *source, bool labelRows = false)
        : m_source(source)
        , m_labelRows(labelRows)
    {
        renumber();
        connect(source, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex &, int f, int l) {
            m_hidden = l - f + 1;
            beginInsertRows(QModelIndex(), f, l);
            m_hidden = 0;
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
    int rowCount(const QModelIndex &parent = QModelIndex()) const override { return parent.isValid() ? 0 : m_source->rowCount() - m_hidden; }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override { return parent.isValid() ? 0 : m_source->columnCount(); }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (m_labelRows && index.column() == 0 && index.row() >= 1 && role == Qt::DisplayRole)
            return QStringLiteral("row %1").arg(m_ids.value(index.row() - 1, -1));
        return m_source->data(m_source->index(index.row(), index.column()), role);
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return m_source->flags(m_source->index(index.row(), index.column())) & (index.isValid() ? ~0 : Qt::ItemIsDropEnabled);
    }

private:
    void renumber()
    {
        m_ids.clear();
        for (int r = 1; r < m_source->rowCount(); ++r)
            m_ids << m_next++;
    }

    QAbstractItemModel *m_source;
    bool m_labelRows;
    int m_hidden = 0;
    QVector<int> m_ids;
    int m_next = 0;
};

/// Rebuilds one column of a plot-data model from its announcements only, as a
/// view would: inserted rows are read when announced, removed rows dropped,
/// changed cells of the column read again, a reset reads everything.
class Follower
{
public:
    template <class Model>
    Follower(Model *model, int column)
        : m_model(model)
        , m_read([model, column](int row) { return model->doubleData(row, column); })
    {
        m_rows = actual();
        QObject::connect(model, &QAbstractItemModel::rowsInserted, &m_context, [this](const QModelIndex &, int f, int l) {
            // A nested announcement (insertion begun before a removal) is
            // completed after it, so the insertion row is taken as seen now.
            const int at = qMin(f - 1, m_rows.size());
            for (int r = f; r <= l; ++r)
                m_rows.insert(at + r - f, m_read(r));
        });
        QObject::connect(model, &QAbstractItemModel::rowsRemoved, &m_context,
                         [this](const QModelIndex &, int f, int l) { m_rows.remove(f - 1, l - f + 1); });
        QObject::connect(model, &QAbstractItemModel::modelReset, &m_context, [this]() { m_rows = actual(); });
        QObject::connect(model, &QAbstractItemModel::dataChanged, &m_context,
                         [this, column](const QModelIndex &tl, const QModelIndex &br) {
                             if (tl.column() > column || br.column() < column)
                                 return;
                             for (int r = qMax(tl.row(), 1); r <= br.row() && r - 1 < m_rows.size(); ++r)
                                 m_rows[r - 1] = m_read(r);
                         });
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
    const QAbstractItemModel *m_model;
    std::function<double(int)> m_read;
    QVector<double> m_rows;
    QObject m_context;
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
        if (midway)
            std::exchange(midway, nullptr)();
        if (m_count + len > m_limit)
            return -1;
        m_count += len;
        return QSaveFile::writeData(data, len);
    }

private:
    qint64 m_limit;
    qint64 m_count = 0;
};

/// Rows for a _data function: targets that cannot be opened, and save files
/// that fail after `limit` bytes (-1: save by name; -2: the commit fails).
inline void saveFailureRows()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<qint64>("limit");
    QTest::newRow("empty name") << QString() << qint64(-1);
    QTest::newRow("missing folder") << "missing/new.csv" << qint64(-1);
    QTest::newRow("path is a folder") << "folder" << qint64(-1);
    QTest::newRow("path is a pipe") << "pipe" << qint64(-1);
    QTest::newRow("write fails at once") << "old.csv" << qint64(0);
    QTest::newRow("write fails in the header") << "old.csv" << qint64(10);
    QTest::newRow("write fails later") << "old.csv" << qint64(20000);
    QTest::newRow("commit fails") << "folder/new.csv" << qint64(-2);
}

/// One row of saveFailureRows(): the save returns false, the old file keeps
/// its contents and nothing is left behind. Tests run as root, so failures
/// come from the paths and the device, not from permissions.
template <class Model>
void checkSaveFails(const Model &model)
{
    QFETCH(QString, target);
    QFETCH(qint64, limit);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    QCOMPARE(mkfifo(QFile::encodeName(dir.filePath("pipe")).constData(), 0600), 0);
    QFile old(dir.filePath("old.csv"));
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old contents\n") == 13);
    old.close();
    if (limit == -1) {
        QVERIFY(!model.SaveDataToFile(target.isEmpty() ? QString() : dir.filePath(target)));
    } else {
        FailingSaveFile file(dir.filePath(target), limit == -2 ? std::numeric_limits<qint64>::max() : limit);
        if (limit == -2) // the folder goes while the new file is written
            file.midway = [&dir]() { QDir(dir.filePath("folder")).removeRecursively(); };
        QVERIFY(!model.SaveDataToFile(file));
    }
    QVERIFY(!model.SaveDataToDevice(nullptr));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old contents\n"));
    QStringList left = {"folder", "old.csv", "pipe"};
    if (limit == -2)
        left.removeFirst();
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot), left);
    QVERIFY(!QFileInfo(dir.filePath("pipe")).isFile());
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace corvid_test

#endif
