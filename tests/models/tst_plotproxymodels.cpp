#include "ModelTestHelpers.h"
#include "TablePlotModel.h"

#include <MeasurementUnit.h>
#include <VRXAveragingProxyModel.h>
#include <VRXSingleChannelDataModel.h>
#include <VRXZeroingProxyModel.h>

#include <QtCore/QItemSelection>
#include <QtCore/QRandomGenerator>
#include <QtTest/QAbstractItemModelTester>
#include <cmath>
#include <memory>

using namespace Corvid_Qt;
using corvid_test::Follower;
using corvid_test::SignalLog;
using corvid_test::TablePlotModel;
using Change = std::function<void(TablePlotModel &)>;
Q_DECLARE_METATYPE(Change)

namespace {

/// Doubles every value, so that reads through the proxy's own doubleData
/// show; its hooks note themselves in a log.
class HookedProxy : public VRXPlotProxyModel
{
public:
    SignalLog *log = nullptr;
    double doubleData(int row, int column) const override { return 2.0 * sourcePlotModel()->doubleData(row, column); }

protected:
    void sourceRowsInserted(const QModelIndex &parent, int first, int last) override
    {
        note(QStringLiteral("hook inserted %1-%2 rows=%3").arg(first).arg(last).arg(rowCount()), parent);
    }
    void sourceRowsRemoved(const QModelIndex &parent, int first, int last) override
    {
        note(QStringLiteral("hook removed %1-%2").arg(first).arg(last), parent);
    }
    void sourceModelReset() override { note(QStringLiteral("hook reset")); }
    void sourceDataChanged(const QModelIndex &tl, const QModelIndex &br) override
    {
        QVERIFY(tl.model() == this && br.model() == this);
        note(QStringLiteral("hook dataChanged %1,%2-%3,%4").arg(tl.row()).arg(tl.column()).arg(br.row()).arg(br.column()));
    }

private:
    void note(const QString &text, const QModelIndex &parent = QModelIndex())
    {
        QVERIFY(!parent.isValid() || parent.model() == sourceModel()); // the source's parent, as received
        if (log)
            log->add(text);
    }
};

std::unique_ptr<VRXPlotProxyModel> makeProxy(const QByteArray &kind)
{
    if (kind == "averaging")
        return std::make_unique<VRXAveragingProxyModel>();
    if (kind == "zeroing")
        return std::make_unique<VRXZeroingProxyModel>();
    return std::make_unique<HookedProxy>();
}

/// What a user changes: the averaging length, or zeroing on (n > 1) and off.
void transform(VRXPlotProxyModel *proxy, int n)
{
    if (auto *averaging = qobject_cast<VRXAveragingProxyModel *>(proxy))
        averaging->setAveraging(n);
    else if (auto *zeroing = qobject_cast<VRXZeroingProxyModel *>(proxy))
        n > 1 ? zeroing->zeroNow() : zeroing->zeroClear();
}

template <class Model>
QVector<double> column(const Model &m, int c)
{
    QVector<double> v;
    for (int r = 1; r < m.rowCount(); ++r)
        v << m.doubleData(r, c);
    return v;
}

/// The moving average written out plainly.
QVector<double> ema(const QVector<double> &x, int n)
{
    QVector<double> y;
    for (int i = 0; i < x.size(); ++i)
        y << (i == 0 ? x[i] : ((1.0 - 1.0 / n) * y.last()) + (1.0 / n * x[i]));
    return y;
}

/// A header row, then rows of time and two channels.
std::unique_ptr<TablePlotModel> twoChannels(const QVector<QVector<double>> &rows)
{
    auto table = std::make_unique<TablePlotModel>(1, 3);
    for (const QVector<double> &row : rows)
        table->append(row);
    return table;
}

} // namespace

class TestPlotProxyModels : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<QList<QPersistentModelIndex>>();
        qRegisterMetaType<QAbstractItemModel::LayoutChangeHint>();
        qRegisterMetaType<Qt::Orientation>();
    }

    // The identity proxy base, through a subclass that logs its hooks.

    void sourcesComeAndGoWithOneResetAroundTheHook()
    {
        HookedProxy proxy;
        SignalLog log(&proxy);
        proxy.log = &log;
        QStandardItemModel plain(3, 3);
        auto *first = new TablePlotModel(2, 2);
        proxy.setSourceModel(&plain); // no plot data: refused
        proxy.setSourceModel(first);
        proxy.setSourceModel(first);
        proxy.setSourceModel(&plain);
        proxy.setSourceModel(nullptr);
        QCOMPARE(log.text, QString("aboutToReset; hook reset; reset"));
        QCOMPARE(proxy.sourcePlotModel(), static_cast<VRXAbstractPlotDataModel *>(first));

        TablePlotModel second(5, 3);
        proxy.setSourceModel(&second);
        log.text.clear();
        first->append({1, 2});
        delete first; // no longer followed
        QVERIFY(log.text.isEmpty());
        proxy.setSourceModel(first = new TablePlotModel(5, 3));
        log.text.clear();
        delete first;
        QCOMPARE(log.text, QString("aboutToReset; hook reset; reset"));
        QCOMPARE(proxy.columnCount(), 0);
        QVERIFY(!proxy.index(0, 0).isValid());
        proxy.Clear();
        QVERIFY(!proxy.SaveDataToFile("x.csv"));
    }

    void mappingSelectionAndMatchAreTheIdentity()
    {
        TablePlotModel table(5, 3);
        HookedProxy proxy;
        proxy.setSourceModel(&table);
        QCOMPARE(proxy.index(4, 2).data(), table.index(4, 2).data());
        QCOMPARE(proxy.mapToSource(proxy.index(4, 2)), table.index(4, 2));
        QCOMPARE(proxy.mapFromSource(table.index(4, 2)), proxy.index(4, 2));
        QVERIFY(!proxy.index(0, 0, proxy.index(1, 1)).isValid());
        const QItemSelection selection(proxy.index(1, 1), proxy.index(3, 2));
        QCOMPARE(proxy.mapSelectionToSource(selection), QItemSelection(table.index(1, 1), table.index(3, 2)));
        QCOMPARE(proxy.mapSelectionFromSource(QItemSelection(table.index(1, 1), table.index(3, 2))), selection);
        QCOMPARE(proxy.match(proxy.index(0, 1), Qt::DisplayRole, 301, 1, Qt::MatchExactly), QModelIndexList{proxy.index(3, 1)});
    }

    void plotDataAndEditsReachTheSource()
    {
        TablePlotModel table(4, 3);
        HookedProxy proxy;
        proxy.setSourceModel(&table);
        QCOMPARE(proxy.PlotWidthHintPoints(), 77);
        QCOMPARE(proxy.PlotWidthHint(), 1.5);
        QCOMPARE(proxy.xUnits(), table.xUnits());
        QCOMPARE(proxy.MaxBufferSize(), 1234);
        QVERIFY(proxy.SaveDataToFile("somewhere.csv"));
        QCOMPARE(table.savedTo, QString("somewhere.csv"));
        std::unique_ptr<QwtSeriesData<QPointF>> series(proxy.seriesData(2, 1, 3)); // over the proxy's own values
        QCOMPARE(series->sample(1), QPointF(2.0 * 200.0, 2.0 * 202.0));
        QVERIFY(proxy.insertRows(1, 2) && proxy.removeRows(0, 1));
        QVERIFY(proxy.insertColumns(3, 2) && proxy.removeColumns(0, 1));
        QCOMPARE(QSize(table.columnCount(), table.rowCount()), QSize(4, 5));
    }

    void hooksRunBeforeTheProxyCompletesAChange()
    {
        VRXSingleChannelDataModel device(3);
        HookedProxy proxy;
        proxy.setSourceModel(&device);
        SignalLog log(&proxy);
        proxy.log = &log;
        for (int i = 1; i <= 4; ++i)
            device.AddData(i, i);
        QVERIFY(log.text.startsWith("aboutToInsert 1-1 rows=1; hook inserted 1-1 rows=2; inserted 1-1 rows=2;"));
        QVERIFY(log.text.endsWith("aboutToInsert 3-3 rows=4; aboutToRemove 1-1 rows=4; hook removed 1-1; removed 1-1 rows=3; "
                                  "hook inserted 3-3 rows=4; inserted 3-3 rows=4"));
        TablePlotModel table(5, 3);
        proxy.setSourceModel(&table);
        log.text.clear();
        table.setData(table.index(3, 1), 5.0);
        QCOMPARE(log.text, QString("hook dataChanged 3,1-3,1; dataChanged 3,1-3,1"));
    }

    void structureChangesAreForwarded_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<QByteArray>("signal");
        QTest::addColumn<QList<int>>("numbers");
        QTest::newRow("insert rows") << Change([](TablePlotModel &t) { t.insertRows(2, 2); })
                                     << QByteArray(SIGNAL(rowsInserted(QModelIndex, int, int))) << QList<int>{2, 3};
        QTest::newRow("remove rows") << Change([](TablePlotModel &t) { t.removeRows(1, 2); })
                                     << QByteArray(SIGNAL(rowsRemoved(QModelIndex, int, int))) << QList<int>{1, 2};
        QTest::newRow("move rows") << Change([](TablePlotModel &t) { t.moveRows({}, 0, 2, {}, 4); })
                                   << QByteArray(SIGNAL(rowsMoved(QModelIndex, int, int, QModelIndex, int))) << QList<int>{0, 1, 4};
        QTest::newRow("insert columns") << Change([](TablePlotModel &t) { t.insertColumns(1, 1); })
                                        << QByteArray(SIGNAL(columnsInserted(QModelIndex, int, int))) << QList<int>{1, 1};
        QTest::newRow("remove columns") << Change([](TablePlotModel &t) { t.removeColumns(0, 2); })
                                        << QByteArray(SIGNAL(columnsRemoved(QModelIndex, int, int))) << QList<int>{0, 1};
        QTest::newRow("move columns") << Change([](TablePlotModel &t) { t.moveColumns({}, 0, 1, {}, 3); })
                                      << QByteArray(SIGNAL(columnsMoved(QModelIndex, int, int, QModelIndex, int)))
                                      << QList<int>{0, 0, 3};
        QTest::newRow("header") << Change([](TablePlotModel &t) { t.setHeaderData(2, Qt::Horizontal, "x"); })
                                << QByteArray(SIGNAL(headerDataChanged(Qt::Orientation, int, int)))
                                << QList<int>{Qt::Horizontal, 2, 2};
    }

    void structureChangesAreForwarded()
    {
        QFETCH(Change, change);
        QFETCH(QByteArray, signal);
        TablePlotModel table(5, 3);
        HookedProxy proxy;
        proxy.setSourceModel(&table);
        QAbstractItemModelTester tester(&proxy);
        QSignalSpy spy(&proxy, signal.constData());
        change(table);
        QCOMPARE(spy.count(), 1);
        QList<int> numbers;
        for (const QVariant &argument : spy.takeFirst()) {
            if (argument.userType() != qMetaTypeId<QModelIndex>())
                numbers << argument.toInt();
            QVERIFY(!argument.value<QModelIndex>().isValid());
        }
        QTEST(numbers, "numbers");
        for (int r = 0; r < table.rowCount(); ++r)
            QCOMPARE(proxy.index(r, table.columnCount() - 1).data(), table.index(r, table.columnCount() - 1).data());
    }

    void persistentIndexesFollowASourceSort()
    {
        TablePlotModel table(5, 3);
        HookedProxy proxy;
        proxy.setSourceModel(&table);
        QAbstractItemModelTester tester(&proxy);
        QSignalSpy changed(&proxy, &QAbstractItemModel::layoutChanged);
        const QPersistentModelIndex first(proxy.index(0, 1));
        const QPersistentModelIndex third(proxy.index(2, 2));
        table.sort(1, Qt::DescendingOrder);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(first.row(), 4);
        QCOMPARE(first.data().toInt(), 1);
        QCOMPARE(third.row(), 2);
        QCOMPARE(third.data().toInt(), 202);
    }

    // Averaging

    void averagesTheDocumentedCases_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<bool>("milliamps"); // unit set afterwards
        QTest::addColumn<QVector<double>>("input");
        QTest::addColumn<QVector<double>>("expected");
        const double inf = std::numeric_limits<double>::infinity();
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("N=10") << 10 << false << QVector<double>{0, 10, 10} << QVector<double>{0, 1, 1.9};
        QTest::newRow("N=10, recomputed in mA") << 10 << true << QVector<double>{0, 0.01, 0.01} << QVector<double>{0, 1, 1.9};
        QTest::newRow("N=1 is the source") << 1 << false << QVector<double>{3, -2, nan, inf} << QVector<double>{3, -2, nan, inf};
        QTest::newRow("non-finite readings leave the average alone")
            << 2 << false << QVector<double>{nan, 4, nan, 8, inf, 10} << QVector<double>{nan, 4, 4, 6, 6, 8};
    }

    void averagesTheDocumentedCases()
    {
        QFETCH(int, n);
        QFETCH(bool, milliamps);
        QFETCH(QVector<double>, input);
        QFETCH(QVector<double>, expected);
        Units::mA mA;
        VRXSingleChannelDataModel device;
        VRXAveragingProxyModel proxy;
        proxy.setSourceModel(&device);
        for (int i = 0; i < input.size(); ++i)
            device.AddData(i + 1, input[i]);
        SignalLog log(&proxy);
        proxy.setAveraging(0);
        proxy.setAveraging(-4);
        QVERIFY(log.text.isEmpty()); // ignored
        proxy.setAveraging(n);
        QCOMPARE(log.text, QString("aboutToReset; reset"));
        Follower follower(&proxy, 1);
        if (milliamps) {
            device.SetUnits(&mA);
            QCOMPARE(follower.seen(), follower.actual());
        }
        const QVector<double> smoothed = column(proxy, 1);
        QCOMPARE(smoothed.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QVERIFY(smoothed[i] == expected[i] || (std::isnan(smoothed[i]) && std::isnan(expected[i])));
    }

    void averageContinuesAcrossWrapAround()
    {
        VRXSingleChannelDataModel device(50);
        VRXAveragingProxyModel proxy;
        proxy.setSourceModel(&device);
        proxy.setAveraging(7);
        QRandomGenerator rng(7);
        QVector<double> all;
        for (int i = 1; i <= 180; ++i) {
            all << rng.generateDouble() * 100.0;
            device.AddData(i, all.last());
            // Over the whole history, not just over what the buffer still holds.
            QCOMPARE(column(proxy, 1), ema(all, 7).mid(qMax(0, all.size() - 50)));
        }
    }

    void averageFollowsEverySourceChange_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<int>("dropped"); // oldest rows removed: the rows that stay keep their history
        static Units::mA milliamps;
        QTest::newRow("edit") << Change([](TablePlotModel &t) { t.setData(t.index(5, 1), 1000.0); }) << 0;
        QTest::newRow("remove oldest") << Change([](TablePlotModel &t) { t.removeRows(1, 3); }) << 3;
        QTest::newRow("remove middle") << Change([](TablePlotModel &t) { t.removeRows(4, 2); }) << 0;
        QTest::newRow("insert middle") << Change([](TablePlotModel &t) { t.insertRows(6, 3); }) << 0;
        QTest::newRow("append") << Change([](TablePlotModel &t) { t.append({12, 1, 2, 3}); }) << 0;
        QTest::newRow("move rows") << Change([](TablePlotModel &t) { t.moveRows({}, 2, 2, {}, 9); }) << 0;
        QTest::newRow("sort") << Change([](TablePlotModel &t) { t.sort(2); }) << 0;
        QTest::newRow("insert column") << Change([](TablePlotModel &t) { t.insertColumns(2, 1); }) << 0;
        QTest::newRow("remove column") << Change([](TablePlotModel &t) { t.removeColumns(1, 1); }) << 0;
        QTest::newRow("move column") << Change([](TablePlotModel &t) { t.moveColumns({}, 1, 1, {}, 4); }) << 0;
        QTest::newRow("units") << Change([](TablePlotModel &t) { t.setUnits(&milliamps); }) << 0;
        QTest::newRow("clear") << Change([](TablePlotModel &t) { t.Clear(); }) << 0;
    }

    void averageFollowsEverySourceChange()
    {
        QFETCH(Change, change);
        QFETCH(int, dropped);
        TablePlotModel table(12, 4);
        table.setData(table.index(3, 2), -50.0);
        VRXAveragingProxyModel proxy, fresh;
        proxy.setSourceModel(&table);
        proxy.setAveraging(3);
        QAbstractItemModelTester tester(&proxy);
        QVector<QVector<double>> before;
        for (int c = 0; c < table.columnCount(); ++c)
            before << column(proxy, c);
        change(table);
        fresh.setSourceModel(&table);
        fresh.setAveraging(3);
        QCOMPARE(proxy.columnCount(), table.columnCount());
        for (int c = 0; c < table.columnCount(); ++c)
            QCOMPARE(column(proxy, c), dropped ? before[c].mid(dropped) : column(fresh, c));
    }

    // Zeroing

    void zeroNowSubtractsTheNewestValuesUntilCleared()
    {
        VRXZeroingProxyModel unsourced;
        SignalLog quiet(&unsourced);
        unsourced.zeroNow();
        QVERIFY(!unsourced.isZeroing() && quiet.text.isEmpty());

        auto table = twoChannels({{1, 3, 4}, {2, 5, 7}});
        VRXZeroingProxyModel proxy;
        proxy.setSourceModel(table.get());
        SignalLog log(&proxy);
        proxy.zeroNow();
        table->append({3, 6.0, 7.5});
        QCOMPARE(column(proxy, 1), QVector<double>({-2, 0, 1}));
        QCOMPARE(column(proxy, 2), QVector<double>({-3, 0, 0.5}));
        QCOMPARE(column(proxy, 0), column(*table, 0));
        QCOMPARE(proxy.doubleData(0, 2), table->doubleData(0, 2));
        proxy.zeroClear();
        QCOMPARE(log.text, QString("aboutToReset; reset; aboutToInsert 3-3 rows=3; inserted 3-3 rows=4; aboutToReset; reset"));
        QCOMPARE(column(proxy, 1), column(*table, 1));
        QCOMPARE(proxy.zeroes(), QVector<double>({5, 7}));
        proxy.zeroNow();
        table->append({4, 10, 10});
        proxy.zeroNow(); // from the raw values, also while zeroing is on
        QCOMPARE(proxy.zeroes(), QVector<double>({10, 10}));
    }

    void zeroesAreTakenRawAndScaledAtEveryRead()
    {
        Units::MeasurementUnit thousand(1000.0, "kilo-less", 1.0);
        VRXSingleChannelDataModel device;
        VRXZeroingProxyModel proxy;
        proxy.setSourceModel(&device);
        proxy.zeroNow();
        QCOMPARE(proxy.zeroes(), QVector<double>({0.0})); // no data: not the header row's column number
        device.AddData(1, 0.005);
        device.AddData(2, std::numeric_limits<double>::quiet_NaN());
        proxy.zeroNow(); // the newest finite value
        device.SetUnits(&thousand);
        device.AddData(3, 0.006);
        QCOMPARE(proxy.zeroes(), QVector<double>({0.005}));
        QVERIFY(qAbs(proxy.doubleData(3, 1) - 1.0) < 1e-9);
        QVERIFY(qAbs(proxy.doubleData(1, 1)) < 1e-12);
    }

    void zeroingStaysOnlyWhileTheChannelsStay()
    {
        VRXSingleChannelDataModel device;
        VRXZeroingProxyModel proxy;
        proxy.setSourceModel(&device);
        device.AddData(1, 4.0);
        proxy.zeroNow();
        device.Clear();
        device.AddData(1, 5.0);
        QCOMPARE(proxy.doubleData(1, 1), 1.0);

        auto table = twoChannels({{1, 3, 4}, {2, 5, 7}});
        proxy.setSourceModel(table.get());
        QVERIFY(!proxy.isZeroing());
        QAbstractItemModelTester tester(&proxy);
        Follower follower(&proxy, 1);
        proxy.zeroNow();
        table->moveColumns({}, 1, 1, {}, 3);
        QVERIFY(!proxy.isZeroing());
        QCOMPARE(follower.seen(), follower.actual());
        proxy.zeroNow();
        table->insertColumns(1, 1);
        QVERIFY(!proxy.isZeroing());
        QCOMPARE(proxy.zeroes().size(), 3);
    }

    // Both transforming proxies, and the base under them

    void cellsShowTransformedValuesTheRestComesFromTheSource_data()
    {
        QTest::addColumn<QByteArray>("kind");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("shown");
        QTest::newRow("averaging") << QByteArray("averaging") << 3 << "2.250e+00"; // 1, 1.5, 2.25 mA
        QTest::newRow("zeroing") << QByteArray("zeroing") << 1 << "-2.000e+00"; // 1 - 3 mA
    }

    void cellsShowTransformedValuesTheRestComesFromTheSource()
    {
        QFETCH(QByteArray, kind);
        QFETCH(int, row);
        QFETCH(QString, shown);
        Units::mA milliamps;
        VRXSingleChannelDataModel device;
        device.SetUnits(&milliamps);
        auto proxy = makeProxy(kind);
        proxy->setSourceModel(&device);
        for (int i = 1; i <= 3; ++i)
            device.AddData(i, 0.001 * i);
        transform(proxy.get(), 2);
        const QModelIndex cell = proxy->index(row, 1);
        QCOMPARE(cell.data().toString(), shown);
        QCOMPARE(cell.data(Qt::ToolTipRole).toString(), shown + " mA");
        QCOMPARE(cell.data(DataRole).toDouble(), shown.toDouble());
        QCOMPARE(cell.data(Qt::FontRole), device.index(row, 1).data(Qt::FontRole));
        for (const QModelIndex &other : {proxy->index(0, 1), proxy->index(row, 0)})
            for (int role : {int(Qt::DisplayRole), int(Qt::ToolTipRole), int(Qt::CheckStateRole), int(DataRole)})
                QCOMPARE(other.data(role), device.index(other.row(), other.column()).data(role));
        QCOMPARE(proxy->doubleData(row, 0), device.doubleData(row, 0));
    }

    void clearAndSaveReachTheBottomOfTheChain_data()
    {
        QTest::addColumn<QByteArray>("kind");
        for (const char *kind : {"plain", "averaging", "zeroing"})
            QTest::newRow(kind) << QByteArray(kind);
    }

    void clearAndSaveReachTheBottomOfTheChain()
    {
        QFETCH(QByteArray, kind);
        QTemporaryDir dir;
        VRXSingleChannelDataModel device;
        auto proxy = makeProxy(kind);
        proxy->setSourceModel(&device);
        for (int i = 1; i <= 5; ++i)
            device.AddData(i, i * 0.5);
        transform(proxy.get(), 10);
        QVERIFY(device.SaveDataToFile(dir.filePath("device.csv")));
        QVERIFY(proxy->SaveDataToFile(dir.filePath("proxy.csv")));
        QCOMPARE(corvid_test::readFile(dir.filePath("proxy.csv")), corvid_test::readFile(dir.filePath("device.csv")));
        SignalLog log(proxy.get());
        proxy->Clear();
        QCOMPARE(log.text, QString("aboutToReset; reset"));
        QCOMPARE(device.rowCount(), 1);
    }

    void modelTesterWhileDataFlows_data() { clearAndSaveReachTheBottomOfTheChain_data(); }

    void modelTesterWhileDataFlows()
    {
        QFETCH(QByteArray, kind);
        Units::uA microamps;
        VRXSingleChannelDataModel device(60);
        auto proxy = makeProxy(kind);
        proxy->setSourceModel(&device);
        corvid_test::SequentialAdapter adapter(proxy.get());
        QAbstractItemModelTester tester(&adapter);
        Follower follower(proxy.get(), 1);
        for (int i = 1; i <= 200; ++i) {
            device.AddData(i, 1e-6 * (i % 17));
            if (i % 30 == 0)
                transform(proxy.get(), i % 60 ? 10 : 1);
            if (i == 70)
                device.SetUnits(&microamps);
            if (i == 80)
                QVERIFY(proxy->setData(proxy->index(0, 1), Qt::Unchecked, Qt::CheckStateRole));
            if (i == 100 || i == 180)
                device.setAutoUpdate(i == 180);
            if (i % 20 == 0)
                device.UpdateView();
            if (i == 150)
                proxy->Clear();
        }
        QVERIFY(!device.isChannelEnabled(1));
        QCOMPARE(follower.seen(), follower.actual());
    }
};

QTEST_MAIN(TestPlotProxyModels)
#include "tst_plotproxymodels.moc"
