#include "ModelTestHelpers.h"
#include "TablePlotModel.h"

#include <MeasurementUnit.h>
#include <VRXAveragingProxyModel.h>
#include <VRXSeriesData.h>
#include <VRXSingleChannelDataModel.h>
#include <VRXZeroingProxyModel.h>

#include <QtCore/QItemSelection>
#include <QtCore/QRandomGenerator>
#include <QtCore/QSortFilterProxyModel>
#include <QtGui/QStandardItemModel>
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
    // The identity proxy base, through a subclass that logs its hooks: each
    // hook runs inside the change it belongs to, before the proxy completes it.
    void hooksRunInsideEachAnnouncedChange()
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
        QCOMPARE(proxy.sourcePlotModel(), static_cast<VRXAbstractPlotDataModel *>(first));
        TablePlotModel second(5, 3);
        proxy.setSourceModel(&second);
        first->append({1, 2});
        delete first; // no longer followed
        proxy.setSourceModel(first = new TablePlotModel(5, 3));
        delete first;
        QCOMPARE(log.text, QString("aboutToReset; hook reset; reset; ").repeated(4).chopped(2));
        QCOMPARE(proxy.columnCount(), 0);
        proxy.Clear();
        QVERIFY(!proxy.SaveDataToFile("x.csv"));

        VRXSingleChannelDataModel device(3);
        proxy.setSourceModel(&device);
        log.text.clear();
        for (int i = 1; i <= 4; ++i)
            device.AddData(i, i);
        QVERIFY(log.text.startsWith("aboutToInsert 1-1 rows=1; hook inserted 1-1 rows=2; inserted 1-1 rows=2;"));
        QVERIFY(log.text.endsWith("aboutToRemove 1-1 rows=4; hook removed 1-1; removed 1-1 rows=3; "
                                  "aboutToInsert 3-3 rows=3; hook inserted 3-3 rows=4; inserted 3-3 rows=4"));
        proxy.setSourceModel(&second);
        log.text.clear();
        second.setData(second.index(3, 1), 5.0);
        QCOMPARE(log.text, QString("hook dataChanged 3,1-3,1; dataChanged 3,1-3,1"));
        std::unique_ptr<QwtSeriesData<QPointF>> series(proxy.seriesData(2, 1, 3)); // over the proxy's own values
        QCOMPARE(series->sample(1), QPointF(2.0 * 200.0, 2.0 * 202.0));
    }

    // Source changes that a device never makes, seen through all three proxies.

    void everySourceChangeReachesEveryProxy_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<int>("dropped"); // oldest rows removed: the averages that stay keep their history
        static Units::mA milliamps;
        auto row = [](const char *name, Change change, int dropped = 0) { QTest::newRow(name) << change << dropped; };
        row("edit", [](TablePlotModel &t) { t.setData(t.index(5, 1), 1000.0); });
        row("insert rows", [](TablePlotModel &t) { t.insertRows(6, 3); });
        row("append", [](TablePlotModel &t) { t.append({12, 1, 2, 3}); });
        row("remove oldest", [](TablePlotModel &t) { t.removeRows(1, 3); }, 3);
        row("remove middle", [](TablePlotModel &t) { t.removeRows(4, 2); });
        row("move rows", [](TablePlotModel &t) { t.moveRows({}, 2, 2, {}, 9); });
        row("sort", [](TablePlotModel &t) { t.sort(2); });
        row("insert column", [](TablePlotModel &t) { t.insertColumns(2, 1); });
        row("remove column", [](TablePlotModel &t) { t.removeColumns(1, 1); });
        row("move column", [](TablePlotModel &t) { t.moveColumns({}, 1, 1, {}, 4); });
        row("header", [](TablePlotModel &t) { t.setHeaderData(2, Qt::Horizontal, "x"); });
        row("units", [](TablePlotModel &t) { t.setUnits(&milliamps); });
        row("clear", [](TablePlotModel &t) { t.Clear(); });
    }

    void everySourceChangeReachesEveryProxy()
    {
        QFETCH(Change, change);
        QFETCH(int, dropped);
        TablePlotModel table(12, 4);
        table.setData(table.index(3, 2), -50.0);
        HookedProxy plain;
        VRXAveragingProxyModel averaging, fresh;
        VRXZeroingProxyModel zeroing;
        averaging.setAveraging(3);
        std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
        for (VRXPlotProxyModel *proxy : std::initializer_list<VRXPlotProxyModel *>{&plain, &averaging, &zeroing}) {
            proxy->setSourceModel(&table);
            testers.push_back(std::make_unique<QAbstractItemModelTester>(proxy));
        }
        zeroing.zeroNow();
        QVector<QVector<double>> before;
        for (int c = 0; c < table.columnCount(); ++c)
            before << column(averaging, c);
        const QPersistentModelIndex kept(plain.index(6, 3));
        const QVariant keptValue = kept.data();
        SignalLog sent(&table), passed(&plain);
        change(table);

        QVERIFY(!sent.text.isEmpty());
        QCOMPARE(passed.text, sent.text);
        QVERIFY(!kept.isValid() || kept.data() == keptValue); // persistent indexes follow their cells
        fresh.setSourceModel(&table);
        fresh.setAveraging(3);
        for (int c = 0; c < table.columnCount(); ++c)
            QCOMPARE(column(averaging, c), dropped ? before[c].mid(dropped) : column(fresh, c));
        QCOMPARE(zeroing.isZeroing(), !sent.text.contains("columns")); // the channels moved: zeroes no longer apply
    }

    // Averaging

    void averagesTheDocumentedCases_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QVector<double>>("input");
        QTest::addColumn<QVector<double>>("expected");
        const double inf = std::numeric_limits<double>::infinity();
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("N=10") << 10 << QVector<double>{0, 10, 10} << QVector<double>{0, 1, 1.9};
        QTest::newRow("N=1 is the source") << 1 << QVector<double>{3, -2, nan, inf} << QVector<double>{3, -2, nan, inf};
        QTest::newRow("non-finite readings leave the average alone")
            << 2 << QVector<double>{nan, 4, nan, 8, inf, 10} << QVector<double>{nan, 4, 4, 6, 6, 8};
    }

    void averagesTheDocumentedCases()
    {
        QFETCH(int, n);
        QFETCH(QVector<double>, input);
        QFETCH(QVector<double>, expected);
        VRXSingleChannelDataModel device;
        VRXAveragingProxyModel proxy;
        proxy.setSourceModel(&device);
        for (int i = 0; i < input.size(); ++i)
            device.AddData(i + 1, input[i]);
        SignalLog log(&proxy);
        proxy.setAveraging(0);
        proxy.setAveraging(-4); // ignored
        proxy.setAveraging(n);
        QCOMPARE(log.text, QString("aboutToReset; reset"));
        const QVector<double> smoothed = column(proxy, 1);
        QCOMPARE(smoothed.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QVERIFY(smoothed[i] == expected[i] || (std::isnan(smoothed[i]) && std::isnan(expected[i])));
    }

    // Zeroing

    void zeroNowSubtractsTheNewestFiniteSourceValuesUntilCleared()
    {
        VRXZeroingProxyModel proxy;
        SignalLog log(&proxy);
        proxy.zeroNow(); // no source: nothing to zero
        QVERIFY(!proxy.isZeroing() && log.text.isEmpty());
        auto table = twoChannels({{1, 3, 4}, {2, 5, 7}});
        proxy.setSourceModel(table.get());
        log.text.clear();
        proxy.zeroNow();
        table->append({3, 6.0, 7.5});
        QCOMPARE(column(proxy, 1), QVector<double>({-2, 0, 1}));
        QCOMPARE(column(proxy, 2), QVector<double>({-3, 0, 0.5}));
        QCOMPARE(column(proxy, 0), column(*table, 0));
        QCOMPARE(proxy.doubleData(0, 2), table->doubleData(0, 2));
        proxy.zeroClear();
        QCOMPARE(log.text, QString("aboutToReset; reset; aboutToInsert 3-3 rows=3; inserted 3-3 rows=4; aboutToReset; reset"));
        QCOMPARE(column(proxy, 1), column(*table, 1));
        proxy.zeroNow();
        table->append({4, 10, 10});
        proxy.zeroNow(); // from the source's values, also while zeroing is on
        QCOMPARE(proxy.zeroes(), QVector<double>({10, 10}));

        // Other channels end zeroing; zeroes are kept raw and scaled at every read.
        Units::MeasurementUnit thousand(1000.0, "kilo-less", 1.0);
        VRXSingleChannelDataModel device;
        proxy.setSourceModel(&device);
        QVERIFY(!proxy.isZeroing());
        proxy.zeroNow();
        QCOMPARE(proxy.zeroes(), QVector<double>({0.0})); // no data: not the header row's column number
        device.AddData(1, 0.005);
        device.AddData(2, std::numeric_limits<double>::quiet_NaN());
        proxy.zeroNow(); // the newest finite value
        device.SetUnits(&thousand);
        device.AddData(3, 0.006);
        QCOMPARE(proxy.zeroes(), QVector<double>({0.005}));
        QVERIFY(qAbs(proxy.doubleData(3, 1) - 1.0) < 1e-9);
        device.Clear(); // the same channels: zeroing stays
        device.AddData(1, 0.007);
        QVERIFY(qAbs(proxy.doubleData(1, 1) - 2.0) < 1e-9);
    }

    // Both transforming proxies, and the base under them

    void chainUnderTheTesterClearsAndSavesAtTheBottom_data()
    {
        QTest::addColumn<QByteArray>("kind");
        for (const char *kind : {"plain", "averaging", "zeroing"})
            QTest::newRow(kind) << QByteArray(kind);
    }

    void chainUnderTheTesterClearsAndSavesAtTheBottom()
    {
        QFETCH(QByteArray, kind);
        Units::uA microamps;
        VRXSingleChannelDataModel device(60);
        auto proxy = makeProxy(kind);
        proxy->setSourceModel(&device);
        QAbstractItemModelTester tester(proxy.get());
        QSortFilterProxyModel host; // what a host puts between the chain and its table
        host.setSourceModel(proxy.get());
        QAbstractItemModelTester hostTester(&host);
        Follower follower(proxy.get(), 1);
        QPersistentModelIndex newest;
        QVariant reading;
        for (int i = 1; i <= 200; ++i) {
            device.AddData(i, 1e-6 * (i % 17));
            if (i == 61) // the buffer is full: each sample drops row 1, and the newest moves up with its reading
                reading = (newest = host.index(60, 0)).data();
            if (i > 61 && i < 90)
                QVERIFY(newest.row() == 121 - i && newest.data() == reading);
            if (i % 30 == 0)
                transform(proxy.get(), i % 60 ? 1 : 10);
            if (i == 70)
                device.SetUnits(&microamps);
            if (i == 80)
                QVERIFY(proxy->setData(proxy->index(0, 1), Qt::Unchecked, Qt::CheckStateRole));
            if (i == 100 || i == 180)
                device.setAutoUpdate(i == 180);
            if (i % 20 == 0)
                device.UpdateView();
            if (i == 150) {
                SignalLog log(proxy.get());
                proxy->Clear();
                QCOMPARE(log.text, QString("aboutToReset; reset"));
                QCOMPARE(device.rowCount(), 1);
            }
        }
        QVERIFY(!device.isChannelEnabled(1));
        QCOMPARE(follower.seen(), follower.actual());
        for (int r = 1; r < proxy->rowCount(); ++r) { // transformed values shown in the unit; the rest as the source has it
            const double v = proxy->doubleData(r, 1);
            const QModelIndex cell = proxy->index(r, 1), raw = device.index(r, 1);
            QCOMPARE(cell.data().toString(), kind == "plain" ? raw.data().toString() : microamps.formatUnscaled(v));
            QCOMPARE(cell.data(Qt::ToolTipRole), kind == "plain" ? raw.data(Qt::ToolTipRole) : microamps.formatSuffixUnscaled(v));
            QCOMPARE(cell.data(Qt::FontRole), raw.data(Qt::FontRole));
            QCOMPARE(proxy->index(r, 0).data(), device.index(r, 0).data());
        }
        QCOMPARE(proxy->index(0, 1).data(Qt::CheckStateRole), device.index(0, 1).data(Qt::CheckStateRole));
        QTemporaryDir dir; // the untransformed data, as the device writes it
        QVERIFY(device.SaveDataToFile(dir.filePath("device.csv")) && proxy->SaveDataToFile(dir.filePath("proxy.csv")));
        QCOMPARE(corvid_test::readFile(dir.filePath("proxy.csv")), corvid_test::readFile(dir.filePath("device.csv")));
    }
};

QTEST_MAIN(TestPlotProxyModels)
#include "tst_plotproxymodels.moc"
