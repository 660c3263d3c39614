#ifndef CORVID_TESTS_MODELTESTHELPERS_H
#define CORVID_TESTS_MODELTESTHELPERS_H

// Shared by the model suites: a signal log, a follower that rebuilds one
// column from the announcements alone, and saves that fail on purpose.

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
            for (int r = f; r <= l; ++r)
                m_rows.insert(r - 1, m_read(r));
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
