#include "ModelTestHelpers.h"
#include "TablePlotModel.h"

#include <MeasurementUnit.h>
#include <VRXAveragingProxyModel.h>
#include <VRXMultichannelProxyModel.h>
#include <VRXSeriesData.h>
#include <VRXSingleChannelDataModel.h>
#include <VRXZeroingProxyModel.h>

#include <QtCore/QSortFilterProxyModel>
#include <QtGui/QStandardItemModel>
#include <QtTest/QAbstractItemModelTester>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

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

// Equal as stored bits, so NaN matches NaN and -0 does not match 0.
bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

struct Chain {
    std::unique_ptr<Units::MeasurementUnit> unit{Units::MeasurementUnit::fromType(Units::Units_nA)};
    VRXSingleChannelDataModel a, b, shortSource;
    VRXMultichannelProxyModel merged;
    VRXAveragingProxyModel averaged;
    VRXZeroingProxyModel zeroed;

    // A capacity below 40 makes the buffers wrap.
    explicit Chain(int capacity = 100000)
        : a(capacity)
        , b(capacity)
        , shortSource(capacity)
    {
        for (VRXSingleChannelDataModel *m : {&a, &b, &shortSource})
            m->SetUnits(unit.get());
        for (int i = 1; i <= 40; ++i) {
            a.AddData(0.001 * i, 1e-9 * std::sin(i * 0.3));
            b.AddData(0.001 * i, i == 17 ? std::numeric_limits<double>::quiet_NaN() : 2e-9 * i);
            if (i <= 12)
                shortSource.AddData(0.001 * i, -3e-9 * i);
        }
        merged.addSourceModel(&a);
        merged.addSourceModel(&b);
        merged.addSourceModel(&shortSource);
        averaged.setSourceModel(&merged);
        averaged.setAveraging(4);
        zeroed.setSourceModel(&averaged);
        zeroed.zeroNow();
    }

    const VRXAbstractPlotDataModel *level(int i) const
    {
        const VRXAbstractPlotDataModel *levels[] = {&a, &merged, &averaged, &zeroed};
        return levels[i];
    }
};

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
        std::vector<std::unique_ptr<Follower>> told; // a view of the averages, told of changed cells
        for (int c = 1; c < table.columnCount(); ++c)
            told.push_back(std::make_unique<Follower>(&averaging, c));
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
        for (const auto &follower : told)
            QVERIFY(!sent.text.startsWith("dataChanged") || follower->seen() == follower->actual());
    }

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

    void zeroNowSubtractsTheNewestFiniteSourceValuesUntilCleared()
    {
        VRXZeroingProxyModel proxy;
        SignalLog log(&proxy);
        proxy.zeroNow(); // no source: nothing to zero
        QVERIFY(!proxy.isZeroing() && log.text.isEmpty());
        TablePlotModel table(1, 3); // a header row, then time and two channels
        table.append({1, 3, 4});
        table.append({2, 5, 7});
        proxy.setSourceModel(&table);
        log.text.clear();
        proxy.zeroNow();
        table.append({3, 6.0, 7.5});
        QCOMPARE(column(proxy, 1), QVector<double>({-2, 0, 1}));
        QCOMPARE(column(proxy, 2), QVector<double>({-3, 0, 0.5}));
        proxy.zeroClear();
        QCOMPARE(log.text, QString("aboutToReset; reset; aboutToInsert 3-3 rows=3; inserted 3-3 rows=4; aboutToReset; reset"));
        QCOMPARE(column(proxy, 1), column(table, 1));
        proxy.zeroNow();
        table.append({4, 10, 10});
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
        device.SetUnits(&thousand);
        proxy.zeroNow(); // the newest finite value
        device.AddData(3, 0.006);
        QCOMPARE(proxy.zeroes(), QVector<double>({0.005}));
        QVERIFY(qAbs(proxy.doubleData(3, 1) - 1.0) < 1e-9);
        device.SetUnits(&VRXAbstractDeviceDataModel::defaultUnits);
        device.Clear(); // the same channels: zeroing stays
        device.AddData(1, 0.007);
        QVERIFY(qAbs(proxy.doubleData(1, 1) - 0.002) < 1e-12);
    }

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
        device.SetUnits(nullptr); // a unit name the host could not look up: values shown as held
        const QModelIndex last = proxy->index(proxy->rowCount() - 1, 1);
        const double held = kind == "plain" ? device.doubleData(last.row(), 1) : proxy->doubleData(last.row(), 1);
        QCOMPARE(last.data().toString(), VRXAbstractDeviceDataModel::defaultUnits.formatUnscaled(held));
        QTemporaryDir dir; // the untransformed data, as the device writes it
        QVERIFY(device.SaveDataToFile(dir.filePath("device.csv")) && proxy->SaveDataToFile(dir.filePath("proxy.csv")));
        QCOMPARE(corvid_test::readFile(dir.filePath("proxy.csv")), corvid_test::readFile(dir.filePath("device.csv")));
    }

    // A range read through any level of the usual chain gives, value for
    // value, what doubleData() gives row by row.

    void rangeMatchesRowReads_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("firstRow");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("capacity");
        QTest::addColumn<bool>("oneAhead");
        const auto row = [](const QByteArray &name, int level, int column, int first, int count, int capacity = 100000,
                            bool oneAhead = false) { QTest::newRow(name) << level << column << first << count << capacity << oneAhead; };
        const char *names[] = {"single", "merged", "averaged", "zeroed"};
        for (int level = 0; level < 4; ++level) {
            for (int column = 0; column <= (level == 0 ? 1 : 3); ++column) {
                const QByteArray at = QByteArray(names[level]) + " column " + QByteArray::number(column);
                row(at + ", all rows", level, column, 1, 40);
                row(at + ", header and past the end", level, column, 0, 45);
                row(at + ", before the header", level, column, -2, 5);
                row(at + ", beyond the end", level, column, 41, 3);
                // Ranges on either side of the wrap and across it.
                for (int first : {1, 9, 20})
                    row(at + ", wrapped from " + QByteArray::number(first), level, column, first, 12, 25);
                // Full buffers, one a sample ahead: the others' rows sit one
                // lower in the merged table until their samples arrive.
                if (level == 1)
                    row(at + ", one source a sample ahead", level, column, 1, 12, 12, true);
            }
        }
        row("merged, short source's rows repeat", 1, 3, 5, 30);
        row("zeroed, empty range", 3, 2, 3, 0);
    }

    void rangeMatchesRowReads()
    {
        QFETCH(int, level);
        QFETCH(int, column);
        QFETCH(int, firstRow);
        QFETCH(int, count);
        QFETCH(int, capacity);
        QFETCH(bool, oneAhead);
        Chain chain(capacity);
        if (oneAhead)
            chain.a.AddData(0.041, 5e-9);
        const VRXAbstractPlotDataModel *model = chain.level(level);
        std::vector<double> values(size_t(count) + 1, 12345.0);
        model->doubleDataRange(column, firstRow, count, values.data());
        for (int k = 0; k < count; ++k) {
            const double expected = model->doubleData(firstRow + k, column);
            QVERIFY2(sameBits(values[size_t(k)], expected),
                     qPrintable(QStringLiteral("row %1: %2, expected %3").arg(firstRow + k).arg(values[size_t(k)]).arg(expected)));
        }
        QCOMPARE(values[size_t(count)], 12345.0);
    }

    void seriesReadWholeMatchesRowReads()
    {
        Chain chain;
        VRXSeriesData series(chain.zeroed, 2, 3, 30);
        const QVector<QPointF> whole = series.samples();
        QCOMPARE(whole.size(), 28);
        for (int i = 0; i < whole.size(); ++i) {
            QVERIFY(sameBits(whole[i].x(), chain.zeroed.doubleData(3 + i, 0)));
            QVERIFY(sameBits(whole[i].y(), chain.zeroed.doubleData(3 + i, 2)));
            QVERIFY(sameBits(series.sample(size_t(i)).y(), whole[i].y()));
        }
        series.setScale(4.0);
        QCOMPARE(series.samples().at(5).y(), chain.zeroed.doubleData(8, 2) / 4.0);
    }
};

QTEST_MAIN(TestPlotProxyModels)
#include "tst_plotproxymodels.moc"
