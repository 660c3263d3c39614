#include "ModelTestHelpers.h"
#include "TablePlotModel.h"

#include <MeasurementUnit.h>
#include <VRXPlotProxyModel.h>
#include <VRXSingleChannelDataModel.h>

#include <QtCore/QItemSelection>
#include <QtCore/QMimeData>
#include <QtGui/QStandardItemModel>
#include <QtTest/QAbstractItemModelTester>
#include <QtTest/QtTest>
#include <cmath>
#include <limits>
#include <memory>

using namespace Corvid_Qt;
using corvid_test::SequentialAdapter;
using corvid_test::SignalLog;
using corvid_test::TablePlotModel;

namespace {

/// Doubles every value, so that reads through the proxy's own doubleData show;
/// its hooks write into a log shared with a SignalLog.
class HookedProxy : public VRXPlotProxyModel
{
public:
    QStringList *log = nullptr;

    double doubleData(int row, int column) const override
    {
        const VRXAbstractPlotDataModel *source = sourcePlotModel();
        return source ? 2.0 * source->doubleData(row, column) : std::numeric_limits<double>::quiet_NaN();
    }

protected:
    void sourceRowsInserted(const QModelIndex &parent, int startRow, int endRow) override
    {
        note(QStringLiteral("hook inserted %1-%2 rows=%3").arg(startRow).arg(endRow).arg(rowCount()), parent);
    }
    void sourceRowsRemoved(const QModelIndex &parent, int startRow, int endRow) override
    {
        note(QStringLiteral("hook removed %1-%2").arg(startRow).arg(endRow), parent);
    }
    void sourceModelReset() override
    {
        if (log)
            *log << QStringLiteral("hook reset");
    }
    void sourceDataChanged(const QModelIndex &tl, const QModelIndex &br) override
    {
        Q_ASSERT(tl.model() == this && br.model() == this);
        if (log)
            *log << QStringLiteral("hook dataChanged %1,%2-%3,%4").arg(tl.row()).arg(tl.column()).arg(br.row()).arg(br.column());
    }

private:
    void note(const QString &text, const QModelIndex &parent)
    {
        // The parent handed to the row hooks is the source's, as received.
        Q_ASSERT(!parent.isValid() || parent.model() == sourceModel());
        if (log)
            *log << text;
    }
};

QStringList cellsOf(const QAbstractItemModel &m)
{
    QStringList cells;
    for (int r = 0; r < m.rowCount(); ++r)
        for (int c = 0; c < m.columnCount(); ++c)
            cells << m.index(r, c).data().toString();
    return cells;
}

} // namespace

class TestPlotProxyModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void refusesSourcesWithoutPlotData();
    void settingASourceResetsOnceAroundTheHook();
    void mappingIsTheIdentity();
    void plotDataIsForwardedToTheSource();
    void withoutSourceOnlyMappingAndClearAreDefined();
    void clearReachesTheBottomOfTheChain();
    void rowSignalsRunHooksBeforeCompleting();
    void dataChangedReachesHookThenProxy();
    void structureChangesAreForwarded_data();
    void structureChangesAreForwarded();
    void persistentIndexesFollowASourceSort();
    void selectionAndMatchAreMapped();
    void editsAndDropsReachTheSource();
    void destroyedSourceLeavesAnEmptyProxy();
    void modelTesterOverADeviceChain();
};

void TestPlotProxyModel::initTestCase()
{
    qRegisterMetaType<QList<QPersistentModelIndex>>();
    qRegisterMetaType<QAbstractItemModel::LayoutChangeHint>();
}

void TestPlotProxyModel::refusesSourcesWithoutPlotData()
{
    HookedProxy proxy;
    SignalLog log(&proxy);
    proxy.log = &log.entries;
    QStandardItemModel plain(3, 3);
    proxy.setSourceModel(&plain);
    proxy.setSourceModel(nullptr);
    QVERIFY(log.entries.isEmpty());
    QVERIFY(!proxy.sourceModel());
    QCOMPARE(proxy.columnCount(), 0);

    TablePlotModel table(2, 2);
    proxy.setSourceModel(&table);
    log.entries.clear();
    proxy.setSourceModel(&plain);
    QVERIFY(log.entries.isEmpty());
    QCOMPARE(proxy.sourceModel(), &table);
    QCOMPARE(proxy.sourcePlotModel(), static_cast<VRXAbstractPlotDataModel *>(&table));
}

void TestPlotProxyModel::settingASourceResetsOnceAroundTheHook()
{
    HookedProxy proxy;
    SignalLog log(&proxy);
    proxy.log = &log.entries;
    VRXSingleChannelDataModel first;
    proxy.setSourceModel(&first);
    QCOMPARE(log.entries, QStringList({"aboutToReset", "hook reset", "reset"}));
    proxy.setSourceModel(&first);
    QCOMPARE(log.entries.size(), 3);

    VRXSingleChannelDataModel second;
    proxy.setSourceModel(&second);
    log.entries.clear();
    first.AddData(1.0, 1.0);
    first.Clear();
    QVERIFY(log.entries.isEmpty());
    second.AddData(1.0, 1.0);
    QCOMPARE(log.entries.size(), 3);
}

void TestPlotProxyModel::mappingIsTheIdentity()
{
    TablePlotModel table(5, 3);
    HookedProxy proxy;
    proxy.setSourceModel(&table);
    QCOMPARE(proxy.rowCount(), 5);
    QCOMPARE(proxy.columnCount(), 3);
    for (int r = 0; r < 5; ++r) {
        for (int c = 0; c < 3; ++c) {
            const QModelIndex p = proxy.index(r, c);
            QCOMPARE(proxy.mapToSource(p), table.index(r, c));
            QCOMPARE(proxy.mapFromSource(table.index(r, c)), p);
            QCOMPARE(p.data(), table.index(r, c).data());
            QVERIFY(!p.parent().isValid());
            QCOMPARE(proxy.rowCount(p), 0);
            QVERIFY(!proxy.hasChildren(p));
        }
    }
    QVERIFY(proxy.hasChildren());
    QVERIFY(!proxy.index(5, 0).isValid());
    QVERIFY(!proxy.index(0, 3).isValid());
    QVERIFY(!proxy.index(0, 0, proxy.index(1, 1)).isValid());
    QCOMPARE(proxy.sibling(4, 2, proxy.index(0, 0)), proxy.index(4, 2));
    QVERIFY(!proxy.mapFromSource(QModelIndex()).isValid());
    QVERIFY(!proxy.mapToSource(QModelIndex()).isValid());
    QCOMPARE(proxy.headerData(1, Qt::Horizontal), table.headerData(1, Qt::Horizontal));
    QCOMPARE(proxy.headerData(4, Qt::Vertical), table.headerData(4, Qt::Vertical));
    QCOMPARE(proxy.itemData(proxy.index(2, 1)).value(Qt::DisplayRole), QVariant("201"));
}

void TestPlotProxyModel::plotDataIsForwardedToTheSource()
{
    TablePlotModel table(4, 3);
    HookedProxy proxy;
    proxy.setSourceModel(&table);
    QCOMPARE(proxy.PlotWidthHintPoints(), 77);
    QCOMPARE(proxy.PlotWidthHint(), 1.5);
    QCOMPARE(proxy.units(), table.units());
    QCOMPARE(proxy.xUnits(), table.xUnits());
    QCOMPARE(proxy.MaxBufferSize(), 1234);
    QCOMPARE(proxy.NumberOfChannels(), 1);
    QVERIFY(!proxy.SavePixelatedDataToFile("pixels.csv", 0.5f, false, false));
    QVERIFY(proxy.SaveDataToFile("somewhere.csv"));
    QCOMPARE(table.savedTo, QString("somewhere.csv"));
    QVERIFY(!proxy.SaveDataToFile(QString()));

    // Curves read the proxy's own values, not the source's.
    std::unique_ptr<QwtSeriesData<QPointF>> series(proxy.seriesData(2, 1, 3));
    QCOMPARE(int(series->size()), 3);
    QCOMPARE(series->sample(1), QPointF(2.0 * 200.0, 2.0 * 202.0));
}

void TestPlotProxyModel::withoutSourceOnlyMappingAndClearAreDefined()
{
    HookedProxy proxy;
    QCOMPARE(proxy.columnCount(), 0);
    QCOMPARE(proxy.rowCount(), 0);
    QVERIFY(!proxy.mapToSource(proxy.index(0, 0)).isValid());
    proxy.Clear();
    QVERIFY(!proxy.SaveDataToFile("x.csv"));
    QCOMPARE(proxy.units(), &VRXAbstractDeviceDataModel::defaultUnits);
    QCOMPARE(proxy.MaxBufferSize(), 0);
    QVERIFY(proxy.match(QModelIndex(), Qt::DisplayRole, "1").isEmpty());
}

void TestPlotProxyModel::clearReachesTheBottomOfTheChain()
{
    VRXSingleChannelDataModel device;
    HookedProxy lower, upper;
    lower.setSourceModel(&device);
    upper.setSourceModel(&lower);
    for (int i = 1; i <= 5; ++i)
        device.AddData(i, i);
    QCOMPARE(upper.rowCount(), 6);
    QSignalSpy resets(&upper, &QAbstractItemModel::modelReset);
    upper.Clear();
    QCOMPARE(device.rowCount(), 1);
    QCOMPARE(upper.rowCount(), 1);
    QCOMPARE(resets.count(), 1);
}

void TestPlotProxyModel::rowSignalsRunHooksBeforeCompleting()
{
    VRXSingleChannelDataModel device(3);
    HookedProxy proxy;
    proxy.setSourceModel(&device);
    SignalLog log(&proxy);
    proxy.log = &log.entries;
    for (int i = 1; i <= 3; ++i)
        device.AddData(i, i);
    QCOMPARE(log.entries.mid(0, 3), QStringList({"aboutToInsert 1-1 rows=1", "hook inserted 1-1 rows=2",
                                                 "inserted 1-1 rows=2"}));
    log.entries.clear();
    device.AddData(4, 4);
    QCOMPARE(log.entries, QStringList({"aboutToInsert 3-3 rows=4", "aboutToRemove 1-1 rows=4", "hook removed 1-1",
                                       "removed 1-1 rows=3", "hook inserted 3-3 rows=4", "inserted 3-3 rows=4"}));
}

void TestPlotProxyModel::dataChangedReachesHookThenProxy()
{
    TablePlotModel table(5, 3);
    HookedProxy proxy;
    proxy.setSourceModel(&table);
    SignalLog log(&proxy);
    proxy.log = &log.entries;
    table.touch(3, 1);
    QCOMPARE(log.entries, QStringList({"hook dataChanged 3,1-3,1", "dataChanged 3,1-3,1"}));
}

enum StructureChange { InsertRows, RemoveRows, MoveRowsDown, MoveRowsUp, InsertColumns, RemoveColumns, MoveColumns, HeaderChange };
Q_DECLARE_METATYPE(StructureChange)

void TestPlotProxyModel::structureChangesAreForwarded_data()
{
    QTest::addColumn<StructureChange>("change");
    QTest::addColumn<QByteArray>("signal");
    QTest::addColumn<QVariantList>("arguments");
    auto args = [](std::initializer_list<QVariant> rest) {
        QVariantList list{QVariant::fromValue(QModelIndex())};
        for (const QVariant &v : rest)
            list << v;
        return list;
    };
    auto moveArgs = [](int a, int b, int d) {
        return QVariantList{QVariant::fromValue(QModelIndex()), a, b, QVariant::fromValue(QModelIndex()), d};
    };
    QTest::newRow("insert rows") << InsertRows << QByteArray(SIGNAL(rowsInserted(QModelIndex, int, int))) << args({2, 3});
    QTest::newRow("remove rows") << RemoveRows << QByteArray(SIGNAL(rowsRemoved(QModelIndex, int, int))) << args({1, 2});
    QTest::newRow("move rows down") << MoveRowsDown
                                    << QByteArray(SIGNAL(rowsMoved(QModelIndex, int, int, QModelIndex, int))) << moveArgs(0, 1, 4);
    QTest::newRow("move rows up") << MoveRowsUp
                                  << QByteArray(SIGNAL(rowsMoved(QModelIndex, int, int, QModelIndex, int))) << moveArgs(3, 3, 1);
    QTest::newRow("insert columns") << InsertColumns << QByteArray(SIGNAL(columnsInserted(QModelIndex, int, int))) << args({1, 1});
    QTest::newRow("remove columns") << RemoveColumns << QByteArray(SIGNAL(columnsRemoved(QModelIndex, int, int))) << args({0, 1});
    QTest::newRow("move columns") << MoveColumns
                                  << QByteArray(SIGNAL(columnsMoved(QModelIndex, int, int, QModelIndex, int))) << moveArgs(0, 0, 3);
    QTest::newRow("header") << HeaderChange << QByteArray(SIGNAL(headerDataChanged(Qt::Orientation, int, int)))
                            << QVariantList{QVariant::fromValue(Qt::Horizontal), 1, 2};
}

void TestPlotProxyModel::structureChangesAreForwarded()
{
    QFETCH(StructureChange, change);
    QFETCH(QByteArray, signal);
    QFETCH(QVariantList, arguments);

    TablePlotModel table(5, 3);
    HookedProxy proxy;
    proxy.setSourceModel(&table);
    QAbstractItemModelTester tester(&proxy);
    QSignalSpy sourceSpy(&table, signal.constData());
    QSignalSpy proxySpy(&proxy, signal.constData());
    switch (change) {
    case InsertRows: QVERIFY(table.insertRows(2, 2, QModelIndex())); break;
    case RemoveRows: QVERIFY(table.removeRows(1, 2, QModelIndex())); break;
    case MoveRowsDown: QVERIFY(table.moveRows(QModelIndex(), 0, 2, QModelIndex(), 4)); break;
    case MoveRowsUp: QVERIFY(table.moveRows(QModelIndex(), 3, 1, QModelIndex(), 1)); break;
    case InsertColumns: QVERIFY(table.insertColumns(1, 1, QModelIndex())); break;
    case RemoveColumns: QVERIFY(table.removeColumns(0, 2, QModelIndex())); break;
    case MoveColumns: QVERIFY(table.moveColumns(QModelIndex(), 0, 1, QModelIndex(), 3)); break;
    case HeaderChange: table.changeHeader(1, 2); break;
    }
    QCOMPARE(sourceSpy.count(), 1);
    QCOMPARE(proxySpy.count(), 1);
    const QVariantList got = proxySpy.takeFirst();
    QCOMPARE(got.size(), arguments.size());
    for (int i = 0; i < got.size(); ++i) {
        if (arguments[i].userType() == qMetaTypeId<QModelIndex>())
            QVERIFY(!got[i].value<QModelIndex>().isValid());
        else
            QCOMPARE(got[i].toInt(), arguments[i].toInt());
    }
    QCOMPARE(cellsOf(proxy), cellsOf(table));
}

void TestPlotProxyModel::persistentIndexesFollowASourceSort()
{
    TablePlotModel table(5, 3);
    HookedProxy proxy;
    proxy.setSourceModel(&table);
    QAbstractItemModelTester tester(&proxy);
    QSignalSpy about(&proxy, &QAbstractItemModel::layoutAboutToBeChanged);
    QSignalSpy changed(&proxy, &QAbstractItemModel::layoutChanged);
    const QPersistentModelIndex first(proxy.index(0, 1));
    const QPersistentModelIndex third(proxy.index(2, 2));
    table.sort(1, Qt::DescendingOrder);
    QCOMPARE(about.count(), 1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(1).toInt(), int(QAbstractItemModel::VerticalSortHint));
    QCOMPARE(first.row(), 4);
    QCOMPARE(first.data().toString(), QString("1"));
    QCOMPARE(third.row(), 2);
    QCOMPARE(third.data().toString(), QString("202"));
    QCOMPARE(cellsOf(proxy), cellsOf(table));
}

void TestPlotProxyModel::selectionAndMatchAreMapped()
{
    TablePlotModel table(5, 3);
    HookedProxy proxy;
    proxy.setSourceModel(&table);
    const QItemSelection proxySelection(proxy.index(1, 1), proxy.index(3, 2));
    const QItemSelection sourceSelection = proxy.mapSelectionToSource(proxySelection);
    QCOMPARE(sourceSelection.size(), 1);
    QCOMPARE(sourceSelection.first().topLeft(), table.index(1, 1));
    QCOMPARE(sourceSelection.first().bottomRight(), table.index(3, 2));
    QCOMPARE(proxy.mapSelectionFromSource(sourceSelection), proxySelection);

    const QModelIndexList found = proxy.match(proxy.index(0, 1), Qt::DisplayRole, "301", 1, Qt::MatchExactly);
    QCOMPARE(found, QModelIndexList({proxy.index(3, 1)}));
    QVERIFY(proxy.match(proxy.index(0, 1), Qt::DisplayRole, "nothing").isEmpty());
}

void TestPlotProxyModel::editsAndDropsReachTheSource()
{
    TablePlotModel table(5, 3);
    HookedProxy proxy;
    proxy.setSourceModel(&table);
    QVERIFY(proxy.insertRows(1, 2));
    QCOMPARE(table.rowCount(), 7);
    QVERIFY(proxy.removeRows(0, 3));
    QCOMPARE(table.rowCount(), 4);
    QVERIFY(proxy.insertColumns(3, 1));
    QCOMPARE(table.columnCount(), 4);
    QVERIFY(proxy.removeColumns(0, 1));
    QCOMPARE(table.columnCount(), 3);
    QVERIFY(!proxy.insertRows(0, 1, proxy.index(0, 0)));
    QVERIFY(proxy.setData(proxy.index(1, 1), 42.0));
    QCOMPARE(table.index(1, 1).data().toString(), QString("42"));

    QMimeData mime;
    mime.setText("channel");
    QVERIFY(proxy.dropMimeData(&mime, Qt::CopyAction, 2, 1, proxy.index(0, 0)));
    QCOMPARE(table.lastDrop, QVector<int>({2, 1, 0, 0}));
}

void TestPlotProxyModel::destroyedSourceLeavesAnEmptyProxy()
{
    auto *table = new TablePlotModel(5, 3);
    HookedProxy proxy;
    proxy.setSourceModel(table);
    SignalLog log(&proxy);
    proxy.log = &log.entries;
    delete table;
    QCOMPARE(log.entries, QStringList({"aboutToReset", "hook reset", "reset"}));
    QCOMPARE(proxy.rowCount(), 0);
    QCOMPARE(proxy.columnCount(), 0);
    QVERIFY(!proxy.sourcePlotModel());
    proxy.Clear();
    QVERIFY(!proxy.index(0, 0).isValid());
}

void TestPlotProxyModel::modelTesterOverADeviceChain()
{
    Units::mA milliamps;
    VRXSingleChannelDataModel device(40);
    HookedProxy lower, upper;
    lower.setSourceModel(&device);
    upper.setSourceModel(&lower);
    SequentialAdapter adapter(&upper);
    QAbstractItemModelTester tester(&adapter);
    for (int i = 1; i <= 100; ++i)
        device.AddData(i, 0.001 * i);
    QCOMPARE(upper.rowCount(), 41);
    QCOMPARE(upper.doubleData(1, 1), 4.0 * 0.061);
    device.SetUnits(&milliamps);
    QVERIFY(upper.setData(upper.index(0, 1), Qt::Unchecked, Qt::CheckStateRole));
    QVERIFY(!device.isChannelEnabled(1));
    device.setAutoUpdate(false);
    for (int i = 101; i <= 130; ++i)
        device.AddData(i, 0.001 * i);
    device.UpdateView();
    upper.Clear();
    QCOMPARE(adapter.rowCount(), 1);
}

QTEST_MAIN(TestPlotProxyModel)
#include "tst_plotproxymodel.moc"
