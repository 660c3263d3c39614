#include "ModelTestHelpers.h"
#include "TablePlotModel.h"

#include <MeasurementUnit.h>
#include <VRXAveragingProxyModel.h>
#include <VRXSingleChannelDataModel.h>

#include <QtCore/QFile>
#include <QtCore/QRandomGenerator>
#include <QtCore/QTemporaryDir>
#include <QtTest/QAbstractItemModelTester>
#include <QtTest/QtTest>

using namespace Corvid_Qt;
using corvid_test::Follower;
using corvid_test::SequentialAdapter;
using corvid_test::SignalLog;
using corvid_test::TablePlotModel;

namespace {

/// The moving average written out plainly.
QVector<double> ema(const QVector<double> &x, int n)
{
    QVector<double> y;
    const double a = 1.0 / n;
    for (int i = 0; i < x.size(); ++i)
        y << (i == 0 || n == 1 ? x[i] : ((1.0 - a) * y.last()) + (a * x[i]));
    return y;
}

QVector<double> column(const VRXAbstractPlotDataModel &m, int c, int rows)
{
    QVector<double> v;
    for (int r = 1; r < rows; ++r)
        v << m.doubleData(r, c);
    return v;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestAveragingProxyModel : public QObject
{
    Q_OBJECT

private slots:
    void smoothsTheDocumentedCases_data();
    void smoothsTheDocumentedCases();
    void newSamplesContinueTheAverageAcrossWrapAround();
    void setAveragingIgnoresBelowOneAndResetsOnce();
    void unitChangeRecomputesInTheNewUnit();
    void cellsShowSmoothedValuesAndTheRestComesFromTheSource();
    void clearEmptiesTheSourceWithOneReset();
    void savesTheUnsmoothedSourceFile();
    void sourceChangesGiveWhatAFreshProxyComputes_data();
    void sourceChangesGiveWhatAFreshProxyComputes();
    void modelTesterWhileDataFlows();
};

void TestAveragingProxyModel::smoothsTheDocumentedCases_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QVector<double>>("input");
    QTest::addColumn<QVector<double>>("expected");
    QTest::newRow("N=10") << 10 << QVector<double>{0, 10, 10} << QVector<double>{0, 1, 1.9};
    QTest::newRow("N=1 is the source") << 1 << QVector<double>{3, -2, 7e-9} << QVector<double>{3, -2, 7e-9};
    QTest::newRow("N=2") << 2 << QVector<double>{4, 8, 0} << QVector<double>{4, 6, 3};
}

void TestAveragingProxyModel::smoothsTheDocumentedCases()
{
    QFETCH(int, n);
    QFETCH(QVector<double>, input);
    QFETCH(QVector<double>, expected);
    VRXSingleChannelDataModel device;
    VRXAveragingProxyModel proxy;
    proxy.setSourceModel(&device);
    proxy.setAveraging(n);
    for (int i = 0; i < input.size(); ++i)
        device.AddData(i + 1, input[i]);
    for (int r = 1; r <= expected.size(); ++r)
        QCOMPARE(proxy.doubleData(r, 1), expected[r - 1]);
    QCOMPARE(proxy.averaging(), n);
}

void TestAveragingProxyModel::newSamplesContinueTheAverageAcrossWrapAround()
{
    const int capacity = 50;
    VRXSingleChannelDataModel device(capacity);
    VRXAveragingProxyModel proxy;
    proxy.setSourceModel(&device);
    proxy.setAveraging(7);
    QRandomGenerator rng(7);
    QVector<double> all;
    for (int i = 1; i <= 180; ++i) {
        all << rng.generateDouble() * 100.0;
        device.AddData(i, all.last());
        // Row 1 keeps the value it had as row 2: smoothed over the whole
        // history, not just over what the buffer still holds.
        const QVector<double> expected = ema(all, 7).mid(qMax(0, all.size() - capacity));
        QCOMPARE(column(proxy, 1, proxy.rowCount()), expected);
    }
    QCOMPARE(proxy.rowCount(), capacity + 1);
}

void TestAveragingProxyModel::setAveragingIgnoresBelowOneAndResetsOnce()
{
    VRXSingleChannelDataModel device;
    VRXAveragingProxyModel proxy;
    proxy.setSourceModel(&device);
    for (int i = 1; i <= 20; ++i)
        device.AddData(i, i % 3);
    SignalLog log(&proxy);
    proxy.setAveraging(0);
    proxy.setAveraging(-4);
    QVERIFY(log.entries.isEmpty());
    QCOMPARE(proxy.averaging(), 1);
    proxy.setAveraging(100);
    QCOMPARE(log.entries, QStringList({"aboutToReset", "reset"}));
    QCOMPARE(column(proxy, 1, 21), ema(column(device, 1, 21), 100));
    proxy.setAveraging(1);
    QCOMPARE(column(proxy, 1, 21), column(device, 1, 21));
}

void TestAveragingProxyModel::unitChangeRecomputesInTheNewUnit()
{
    Units::mA milliamps;
    VRXSingleChannelDataModel device;
    VRXAveragingProxyModel proxy;
    proxy.setSourceModel(&device);
    proxy.setAveraging(10);
    device.AddData(1, 0.0);
    device.AddData(2, 0.010);
    device.AddData(3, 0.010);
    Follower follower(&proxy, [&proxy](int r) { return proxy.doubleData(r, 1); });
    device.SetUnits(&milliamps);
    QCOMPARE(column(proxy, 1, 4), QVector<double>({0.0, 1.0, 1.9}));
    QCOMPARE(follower.seen(), follower.actual());
}

void TestAveragingProxyModel::cellsShowSmoothedValuesAndTheRestComesFromTheSource()
{
    Units::mA milliamps;
    VRXSingleChannelDataModel device;
    device.SetUnits(&milliamps);
    VRXAveragingProxyModel proxy;
    proxy.setSourceModel(&device);
    proxy.setAveraging(2);
    for (int i = 1; i <= 5; ++i)
        device.AddData(i, 0.001 * i);
    // 1, 1.5, 2.25 (mA)
    const QModelIndex third = proxy.index(3, 1);
    QCOMPARE(third.data().toString(), milliamps.formatUnscaled(2.25));
    QCOMPARE(third.data(Qt::EditRole).toString(), QString("2.250e+00"));
    QCOMPARE(third.data(Qt::ToolTipRole).toString(), QString("2.250e+00 mA"));
    QCOMPARE(third.data(DataRole).toDouble(), 2.25);
    QCOMPARE(third.data(Qt::ForegroundRole), device.index(3, 1).data(Qt::ForegroundRole));
    QCOMPARE(third.data(Qt::FontRole), device.index(3, 1).data(Qt::FontRole));
    for (const QModelIndex &cell : {proxy.index(0, 1), proxy.index(3, 0), proxy.index(0, 0)})
        for (int role : {int(Qt::DisplayRole), int(Qt::ToolTipRole), int(Qt::CheckStateRole), int(DataRole)})
            QCOMPARE(cell.data(role), device.index(cell.row(), cell.column()).data(role));
    QCOMPARE(proxy.doubleData(0, 1), device.doubleData(0, 1));
    QCOMPARE(proxy.doubleData(5, 0), device.doubleData(5, 0));
    QCOMPARE(proxy.headerData(1, Qt::Horizontal), device.headerData(1, Qt::Horizontal));
}

void TestAveragingProxyModel::clearEmptiesTheSourceWithOneReset()
{
    VRXSingleChannelDataModel device;
    VRXAveragingProxyModel proxy;
    proxy.setSourceModel(&device);
    proxy.setAveraging(10);
    for (int i = 1; i <= 5; ++i)
        device.AddData(i, 100);
    SignalLog log(&proxy);
    proxy.Clear();
    QCOMPARE(log.entries, QStringList({"aboutToReset", "reset"}));
    QCOMPARE(device.rowCount(), 1);
    QCOMPARE(proxy.rowCount(), 1);
    device.AddData(1, 4.0);
    QCOMPARE(proxy.doubleData(1, 1), 4.0);

    VRXAveragingProxyModel alone;
    QSignalSpy resets(&alone, &QAbstractItemModel::modelReset);
    alone.Clear();
    QCOMPARE(resets.count(), 1);
}

void TestAveragingProxyModel::savesTheUnsmoothedSourceFile()
{
    QTemporaryDir dir;
    VRXSingleChannelDataModel device;
    VRXAveragingProxyModel proxy;
    proxy.setSourceModel(&device);
    proxy.setAveraging(10);
    for (int i = 1; i <= 5; ++i)
        device.AddData(i, i * 0.5);
    QVERIFY(device.SaveDataToFile(dir.filePath("device.csv")));
    QVERIFY(proxy.SaveDataToFile(dir.filePath("proxy.csv")));
    QCOMPARE(readFile(dir.filePath("proxy.csv")), readFile(dir.filePath("device.csv")));
    QVERIFY(!proxy.SavePixelatedDataToFile(dir.filePath("p.csv"), 0.5f, false, true));
}

enum SourceChange { EditRow, RemoveOldest, RemoveMiddle, InsertMiddle, AppendRows, MoveRows, SortRows,
                    InsertColumn, RemoveColumn, MoveColumn, ChangeUnits, ClearTable };
Q_DECLARE_METATYPE(SourceChange)

void TestAveragingProxyModel::sourceChangesGiveWhatAFreshProxyComputes_data()
{
    QTest::addColumn<SourceChange>("change");
    QTest::newRow("edit") << EditRow;
    QTest::newRow("remove oldest") << RemoveOldest;
    QTest::newRow("remove middle") << RemoveMiddle;
    QTest::newRow("insert middle") << InsertMiddle;
    QTest::newRow("append") << AppendRows;
    QTest::newRow("move rows") << MoveRows;
    QTest::newRow("sort") << SortRows;
    QTest::newRow("insert column") << InsertColumn;
    QTest::newRow("remove column") << RemoveColumn;
    QTest::newRow("move column") << MoveColumn;
    QTest::newRow("units") << ChangeUnits;
    QTest::newRow("clear") << ClearTable;
}

void TestAveragingProxyModel::sourceChangesGiveWhatAFreshProxyComputes()
{
    QFETCH(SourceChange, change);
    Units::mA milliamps;
    TablePlotModel table(12, 4);
    table.setData(table.index(3, 2), -50.0, Qt::EditRole);
    VRXAveragingProxyModel proxy;
    proxy.setSourceModel(&table);
    proxy.setAveraging(3);
    QAbstractItemModelTester tester(&proxy);
    QVector<QVector<double>> before;
    for (int c = 0; c < table.columnCount(); ++c)
        before << column(proxy, c, table.rowCount());

    switch (change) {
    case EditRow: table.setData(table.index(5, 1), 1000.0, Qt::EditRole); break;
    case RemoveOldest: table.removeRows(1, 3, QModelIndex()); break;
    case RemoveMiddle: table.removeRows(4, 2, QModelIndex()); break;
    case InsertMiddle: table.insertRows(6, 3, QModelIndex()); break;
    case AppendRows: table.appendRow({12, 1, 2, 3}); table.appendRow({13, -1, -2, -3}); break;
    case MoveRows: table.moveRows(QModelIndex(), 2, 2, QModelIndex(), 9); break;
    case SortRows: table.sort(2, Qt::AscendingOrder); break;
    case InsertColumn: table.insertColumns(2, 1, QModelIndex()); break;
    case RemoveColumn: table.removeColumns(1, 1, QModelIndex()); break;
    case MoveColumn: table.moveColumns(QModelIndex(), 1, 1, QModelIndex(), 4); break;
    case ChangeUnits: table.setUnits(&milliamps); break;
    case ClearTable: table.Clear(); break;
    }

    VRXAveragingProxyModel fresh;
    fresh.setSourceModel(&table);
    fresh.setAveraging(3);
    QCOMPARE(proxy.rowCount(), table.rowCount());
    QCOMPARE(proxy.columnCount(), table.columnCount());
    for (int c = 0; c < table.columnCount(); ++c) {
        // Dropping the oldest rows keeps the history in the rows that stay.
        const QVector<double> expected = change == RemoveOldest ? before[c].mid(3) : column(fresh, c, table.rowCount());
        QCOMPARE(column(proxy, c, table.rowCount()), expected);
    }
}

void TestAveragingProxyModel::modelTesterWhileDataFlows()
{
    Units::uA microamps;
    VRXSingleChannelDataModel device(60);
    VRXAveragingProxyModel proxy;
    proxy.setSourceModel(&device);
    SequentialAdapter adapter(&proxy);
    QAbstractItemModelTester tester(&adapter);
    Follower follower(&proxy, [&proxy](int r) { return proxy.doubleData(r, 1); });
    for (int i = 1; i <= 150; ++i) {
        device.AddData(i, 1e-6 * (i % 17));
        if (i == 40)
            proxy.setAveraging(10);
        if (i == 70)
            device.SetUnits(&microamps);
        if (i == 100)
            device.setAutoUpdate(false);
        if (i % 20 == 0)
            device.UpdateView();
    }
    QCOMPARE(follower.seen(), follower.actual());
    proxy.Clear();
    device.setAutoUpdate(true);
    device.AddData(1, 1);
    QCOMPARE(follower.seen(), follower.actual());
}

QTEST_MAIN(TestAveragingProxyModel)
#include "tst_averagingproxymodel.moc"
