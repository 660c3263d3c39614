#include "ModelTestHelpers.h"
#include "TablePlotModel.h"

#include <MeasurementUnit.h>
#include <VRXZeroingProxyModel.h>
#include <VRXSingleChannelDataModel.h>

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtTest/QAbstractItemModelTester>
#include <QtTest/QtTest>
#include <cmath>
#include <limits>

using namespace Corvid_Qt;
using corvid_test::Follower;
using corvid_test::SequentialAdapter;
using corvid_test::SignalLog;
using corvid_test::TablePlotModel;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// A table whose row 0 is a header row and whose rows 1.. hold time and two channels.
void fillTwoChannels(TablePlotModel &table, const QVector<QVector<double>> &rows)
{
    table.Clear();
    table.appendRow({0, 1, 2});
    for (const QVector<double> &row : rows)
        table.appendRow(row);
}

} // namespace

class TestZeroingProxyModel : public QObject
{
    Q_OBJECT

private slots:
    void zeroNowSubtractsTheNewestValues();
    void zeroStaysRightWhenTheUnitChanges();
    void zeroClearShowsRawValuesAndZeroNowRetakesThem();
    void eachTransitionIsOneReset();
    void sourceResetKeepsZeroingOnlyWithTheSameChannels();
    void columnChangesEndZeroing();
    void zeroNowWithoutDataSubtractsNothing();
    void nonFiniteNewestValueIsNotTakenAsZero();
    void cellsShowZeroedValuesAndTheRestComesFromTheSource();
    void savesTheRawSourceFile();
    void modelTesterWhileDataFlows();
};

void TestZeroingProxyModel::zeroNowSubtractsTheNewestValues()
{
    TablePlotModel table(0, 3);
    fillTwoChannels(table, {{1, 3, 4}, {2, 5, 7}});
    VRXZeroingProxyModel proxy;
    proxy.setSourceModel(&table);
    QVERIFY(!proxy.isZeroing());
    proxy.zeroNow();
    QVERIFY(proxy.isZeroing());
    QCOMPARE(proxy.doubleData(2, 1), 0.0);
    QCOMPARE(proxy.doubleData(2, 2), 0.0);
    QCOMPARE(proxy.doubleData(1, 1), -2.0);
    table.appendRow({3, 6.0, 7.5});
    QCOMPARE(proxy.doubleData(3, 1), 1.0);
    QCOMPARE(proxy.doubleData(3, 2), 0.5);
    QCOMPARE(proxy.doubleData(3, 0), 3.0);
    QCOMPARE(proxy.doubleData(0, 2), table.doubleData(0, 2));
}

void TestZeroingProxyModel::zeroStaysRightWhenTheUnitChanges()
{
    Units::MeasurementUnit thousand(1000.0, "kilo-less", 1.0);
    VRXSingleChannelDataModel device;
    VRXZeroingProxyModel proxy;
    proxy.setSourceModel(&device);
    device.AddData(1, 0.005);
    proxy.zeroNow();
    QCOMPARE(proxy.zeroes(), QVector<double>({0.005}));
    device.SetUnits(&thousand);
    device.AddData(2, 0.006);
    QVERIFY(qAbs(proxy.doubleData(2, 1) - 1.0) < 1e-9);
    QVERIFY(qAbs(proxy.doubleData(1, 1)) < 1e-12);
}

void TestZeroingProxyModel::zeroClearShowsRawValuesAndZeroNowRetakesThem()
{
    VRXSingleChannelDataModel device;
    VRXZeroingProxyModel proxy;
    proxy.setSourceModel(&device);
    device.AddData(1, 2.0);
    proxy.zeroNow();
    device.AddData(2, 3.0);
    proxy.zeroClear();
    QVERIFY(!proxy.isZeroing());
    QCOMPARE(proxy.doubleData(2, 1), 3.0);
    QCOMPARE(proxy.zeroes(), QVector<double>({2.0}));

    // Taken from raw values, also while zeroing is on.
    proxy.zeroNow();
    device.AddData(3, 10.0);
    proxy.zeroNow();
    QCOMPARE(proxy.zeroes(), QVector<double>({10.0}));
    QCOMPARE(proxy.doubleData(3, 1), 0.0);
}

void TestZeroingProxyModel::eachTransitionIsOneReset()
{
    VRXZeroingProxyModel unsourced;
    SignalLog quiet(&unsourced);
    unsourced.zeroNow();
    QVERIFY(quiet.entries.isEmpty());
    QVERIFY(!unsourced.isZeroing());

    VRXSingleChannelDataModel device;
    VRXZeroingProxyModel proxy;
    proxy.setSourceModel(&device);
    device.AddData(1, 1.0);
    SignalLog log(&proxy);
    proxy.zeroNow();
    QCOMPARE(log.entries, QStringList({"aboutToReset", "reset"}));
    proxy.zeroClear();
    QCOMPARE(log.entries.size(), 4);
}

void TestZeroingProxyModel::sourceResetKeepsZeroingOnlyWithTheSameChannels()
{
    VRXSingleChannelDataModel device;
    VRXZeroingProxyModel proxy;
    proxy.setSourceModel(&device);
    device.AddData(1, 4.0);
    proxy.zeroNow();
    device.Clear();
    QVERIFY(proxy.isZeroing());
    device.AddData(1, 5.0);
    QCOMPARE(proxy.doubleData(1, 1), 1.0);

    TablePlotModel twoChannels(0, 3);
    fillTwoChannels(twoChannels, {{1, 3, 4}});
    proxy.setSourceModel(&twoChannels);
    QVERIFY(!proxy.isZeroing());
    QCOMPARE(proxy.zeroes().size(), 2);
    QCOMPARE(proxy.doubleData(1, 2), 4.0);
}

void TestZeroingProxyModel::columnChangesEndZeroing()
{
    TablePlotModel table(0, 3);
    fillTwoChannels(table, {{1, 3, 4}, {2, 5, 7}});
    VRXZeroingProxyModel proxy;
    proxy.setSourceModel(&table);
    QAbstractItemModelTester tester(&proxy);
    proxy.zeroNow();
    Follower follower(&proxy, [&proxy](int r) { return proxy.doubleData(r, 1); });
    table.moveColumns(QModelIndex(), 1, 1, QModelIndex(), 3);
    QVERIFY(!proxy.isZeroing());
    QCOMPARE(proxy.doubleData(2, 1), 7.0);
    QCOMPARE(follower.seen(), follower.actual());

    proxy.zeroNow();
    table.insertColumns(1, 1, QModelIndex());
    QVERIFY(!proxy.isZeroing());
    QCOMPARE(proxy.zeroes().size(), 3);
}

void TestZeroingProxyModel::zeroNowWithoutDataSubtractsNothing()
{
    VRXSingleChannelDataModel device;
    VRXZeroingProxyModel proxy;
    proxy.setSourceModel(&device);
    proxy.zeroNow();
    QVERIFY(proxy.isZeroing());
    // Not the header row's column number.
    QCOMPARE(proxy.zeroes(), QVector<double>({0.0}));
    device.AddData(1, 3.0);
    QCOMPARE(proxy.doubleData(1, 1), 3.0);
}

void TestZeroingProxyModel::nonFiniteNewestValueIsNotTakenAsZero()
{
    VRXSingleChannelDataModel device;
    VRXZeroingProxyModel proxy;
    proxy.setSourceModel(&device);
    device.AddData(1, 2.0);
    device.AddData(2, kNaN);
    proxy.zeroNow();
    QCOMPARE(proxy.zeroes(), QVector<double>({2.0}));
    device.AddData(3, 2.5);
    QCOMPARE(proxy.doubleData(3, 1), 0.5);
    QVERIFY(std::isnan(proxy.doubleData(2, 1)));
}

void TestZeroingProxyModel::cellsShowZeroedValuesAndTheRestComesFromTheSource()
{
    Units::mA milliamps;
    VRXSingleChannelDataModel device;
    device.SetUnits(&milliamps);
    VRXZeroingProxyModel proxy;
    proxy.setSourceModel(&device);
    device.AddData(1, 0.001);
    device.AddData(2, 0.003);

    const QList<int> roles = {Qt::DisplayRole, Qt::EditRole, Qt::ToolTipRole, DataRole, Qt::ForegroundRole,
                              Qt::CheckStateRole, Qt::BackgroundRole};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 2; ++c)
            for (int role : roles)
                QCOMPARE(proxy.index(r, c).data(role), device.index(r, c).data(role));

    proxy.zeroNow();
    const QModelIndex first = proxy.index(1, 1);
    QCOMPARE(first.data().toString(), QString("-2.000e+00"));
    QCOMPARE(first.data(Qt::EditRole).toString(), QString("-2.000e+00"));
    QCOMPARE(first.data(Qt::ToolTipRole).toString(), QString("-2.000e+00 mA"));
    QCOMPARE(first.data(DataRole).toDouble(), -2.0);
    QCOMPARE(first.data(Qt::FontRole), device.index(1, 1).data(Qt::FontRole));
    for (const QModelIndex &cell : {proxy.index(0, 1), proxy.index(2, 0)})
        for (int role : roles)
            QCOMPARE(cell.data(role), device.index(cell.row(), cell.column()).data(role));
}

void TestZeroingProxyModel::savesTheRawSourceFile()
{
    QTemporaryDir dir;
    VRXSingleChannelDataModel device;
    VRXZeroingProxyModel proxy;
    proxy.setSourceModel(&device);
    for (int i = 1; i <= 5; ++i)
        device.AddData(i, i * 0.5);
    proxy.zeroNow();
    QVERIFY(device.SaveDataToFile(dir.filePath("device.csv")));
    QVERIFY(proxy.SaveDataToFile(dir.filePath("proxy.csv")));
    QCOMPARE(readFile(dir.filePath("proxy.csv")), readFile(dir.filePath("device.csv")));
}

void TestZeroingProxyModel::modelTesterWhileDataFlows()
{
    Units::uA microamps;
    VRXSingleChannelDataModel device(60);
    VRXZeroingProxyModel proxy;
    proxy.setSourceModel(&device);
    SequentialAdapter adapter(&proxy);
    QAbstractItemModelTester tester(&adapter);
    Follower follower(&proxy, [&proxy](int r) { return proxy.doubleData(r, 1); });
    for (int i = 1; i <= 150; ++i) {
        device.AddData(i, 1e-6 * (i % 13));
        if (i == 30 || i == 90)
            proxy.zeroNow();
        if (i == 50)
            device.SetUnits(&microamps);
        if (i == 70)
            proxy.zeroClear();
        if (i == 120)
            device.Clear();
    }
    QVERIFY(proxy.isZeroing());
    QCOMPARE(follower.seen(), follower.actual());
}

QTEST_MAIN(TestZeroingProxyModel)
#include "tst_zeroingproxymodel.moc"
