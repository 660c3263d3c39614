#include "ModelTestHelpers.h"
#include "TableDeviceModel.h"

#include <MeasurementUnit.h>
#include <VRXLatestPlotDataProxyModel.h>
#include <VRXMultichannelProxyModel.h>
#include <VRXPlotColors.h>
#include <VRXSingleChannelDataModel.h>

#include <QtCore/QMimeData>
#include <QtGui/QBrush>
#include <QtGui/QStandardItemModel>
#include <QtTest/QAbstractItemModelTester>
#include <memory>

using namespace Corvid_Qt;
using corvid_test::SignalLog;
using corvid_test::TableDeviceModel;

namespace {

/// A source of three channels with `rows` data rows, under a proxy.
struct Rig
{
    explicit Rig(int rows = 0, int channels = 3)
        : source(channels)
    {
        proxy.setSourceModel(&source);
        for (int i = 1; i <= rows; ++i)
            source.addRow(i, {1.0 * i, 2.0 * i, 3.0 * i});
    }
    TableDeviceModel source;
    VRXLatestPlotDataProxyModel proxy;
};

} // namespace

class TestLatestPlotDataProxyModel : public QObject
{
    Q_OBJECT

private slots:
    void valueColumnShowsTheNewestRowOrNotAvailable()
    {
        Rig rig;
        QCOMPARE(rig.proxy.rowCount(), 3);
        QCOMPARE(rig.proxy.columnCount(), 2);
        for (int r = 0; r < 3; ++r) {
            const QModelIndex value = rig.proxy.index(r, 1);
            QCOMPARE(value.data().toString(), QStringLiteral("N/A"));
            QCOMPARE(value.data(Qt::EditRole).toString(), QStringLiteral("0"));
            QCOMPARE(value.data(DataRole).toDouble(), 0.0);
            QCOMPARE(value.data(Qt::BackgroundRole).value<QBrush>(), QBrush(Qt::black));
            QCOMPARE(value.data(Qt::ForegroundRole).value<QBrush>(), QBrush(QColor(0, 255, 0, 255)));
            QCOMPARE(rig.proxy.index(r, 0).data().toString(), QStringLiteral("Ch%1").arg(r + 1));
            QCOMPARE(rig.proxy.index(r, 0).data(Qt::BackgroundRole).value<QBrush>(),
                     QBrush(VRXPlotColors::forChannel(r + 1).lighter(140)));
        }
        QVERIFY(!rig.proxy.index(3, 0).isValid());
        QCOMPARE(rig.proxy.flags(rig.proxy.index(1, 0)),
                 Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);

        rig.source.addRow(1.0, {1.0, 2.0, 3.0});
        rig.source.addRow(2.0, {0.5, 0.25, 0.125});
        QCOMPARE(rig.proxy.index(0, 1).data().toString(), QStringLiteral("5.000e-01"));
        const QModelIndex newest = rig.source.index(2, 3);
        QCOMPARE(rig.proxy.mapToSource(rig.proxy.index(2, 1)), newest);
        QCOMPARE(rig.proxy.mapFromSource(newest), rig.proxy.index(2, 1));
        QCOMPARE(rig.proxy.mapFromSource(rig.source.index(0, 3)), rig.proxy.index(2, 0));
        QVERIFY(!rig.proxy.mapFromSource(rig.source.index(1, 1)).isValid()); // older rows and time have no place
        QVERIFY(!rig.proxy.mapFromSource(rig.source.index(2, 0)).isValid());
    }

    void refreshSkipsTheEditedRow_data()
    {
        QTest::addColumn<int>("editedRow"); // -1: no edit; -2: a cell of another model
        QTest::addColumn<int>("editedColumn");
        QTest::addColumn<bool>("reset");
        QTest::addColumn<QString>("refreshed");
        QTest::newRow("no edit") << -1 << 1 << false << "dataChanged 0,1-2,1";
        QTest::newRow("first row") << 0 << 1 << false << "dataChanged 1,1-2,1";
        QTest::newRow("middle row") << 1 << 1 << false << "dataChanged 0,1-0,1; dataChanged 2,1-2,1";
        QTest::newRow("last row") << 2 << 1 << false << "dataChanged 0,1-1,1";
        QTest::newRow("caption of the middle row") << 1 << 0 << false << "dataChanged 0,1-0,1; dataChanged 2,1-2,1";
        QTest::newRow("a cell of another model") << -2 << 1 << false << "dataChanged 0,1-2,1";
        QTest::newRow("a source reset ends editing") << 1 << 1 << true << "aboutToReset; reset; dataChanged 0,1-2,1";
    }

    void refreshSkipsTheEditedRow()
    {
        QFETCH(int, editedRow);
        QFETCH(int, editedColumn);
        QFETCH(bool, reset);
        Rig rig(1);
        QStandardItemModel other(3, 2);
        rig.proxy.edit(editedRow == -2 ? other.index(1, 1) : rig.proxy.index(editedRow, editedColumn));
        SignalLog log(&rig.proxy);
        if (reset)
            rig.source.Clear();
        rig.source.addRow(2.0, {4.0, 5.0, 6.0});
        QTEST(log.text, "refreshed");
        log.text.clear();
        rig.proxy.editingFinished();
        rig.source.addRow(3.0, {7.0, 8.0, 9.0});
        QVERIFY(log.text.endsWith("dataChanged 0,1-2,1"));
    }

    void headerCheckBoxSummarisesAndSetsTheChannels_data()
    {
        QTest::addColumn<int>("channels");
        QTest::addColumn<QList<int>>("unchecked"); // rows the user unchecks
        QTest::addColumn<int>("state");
        QTest::newRow("all shown") << 3 << QList<int>{} << int(Qt::Checked);
        QTest::newRow("one hidden") << 3 << QList<int>{1} << int(Qt::PartiallyChecked);
        QTest::newRow("all hidden") << 3 << QList<int>{0, 1, 2} << int(Qt::Unchecked);
        QTest::newRow("one channel, hidden") << 1 << QList<int>{0} << int(Qt::Unchecked);
        QTest::newRow("no channels") << 0 << QList<int>{} << int(Qt::Unchecked);
    }

    void headerCheckBoxSummarisesAndSetsTheChannels()
    {
        QFETCH(int, channels);
        QFETCH(QList<int>, unchecked);
        QFETCH(int, state);
        Rig rig(0, channels);
        for (int row : unchecked) {
            SignalLog log(&rig.proxy);
            QVERIFY(rig.proxy.setData(rig.proxy.index(row, 0), Qt::Unchecked, Qt::CheckStateRole));
            QCOMPARE(log.text, QStringLiteral("dataChanged %1,0-%1,0; header 0-0").arg(row));
            QVERIFY(!rig.source.isChannelEnabled(row + 1));
            QCOMPARE(rig.proxy.index(row, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        }
        QCOMPARE(rig.proxy.headerData(0, Qt::Horizontal, Qt::CheckStateRole).toInt(), state);

        // A click checks all unless all are checked; a partial state checks all too.
        const int click = state == Qt::Checked ? Qt::Unchecked : state == Qt::Unchecked ? Qt::Checked : Qt::PartiallyChecked;
        QVERIFY(rig.proxy.setHeaderData(0, Qt::Horizontal, click, Qt::CheckStateRole));
        for (int c = 1; c <= channels; ++c)
            QCOMPARE(rig.source.isChannelEnabled(c), state != Qt::Checked);
        QVERIFY(!rig.proxy.setHeaderData(1, Qt::Horizontal, click, Qt::CheckStateRole));
        QVERIFY(!rig.proxy.setHeaderData(0, Qt::Vertical, click, Qt::CheckStateRole));
        QVERIFY(!rig.proxy.setHeaderData(0, Qt::Horizontal, "x", Qt::DisplayRole));
        QVERIFY(!rig.proxy.headerData(1, Qt::Horizontal, Qt::CheckStateRole).isValid());
    }

    void sourceChangesReachOnlyHeaderAndNewestRow_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("signals");
        QTest::newRow("older row") << "older" << "";
        QTest::newRow("newest row") << "newest" << "dataChanged 1,1-1,1";
        QTest::newRow("channel hidden") << "check" << "dataChanged 2,0-2,0; header 0-0";
        QTest::newRow("unit of all rows") << "unit" << "header 0-1; dataChanged 0,1-2,1";
    }

    void sourceChangesReachOnlyHeaderAndNewestRow()
    {
        QFETCH(QString, change);
        Rig rig(3);
        SignalLog log(&rig.proxy);
        Units::mA milliamps;
        if (change == "older")
            rig.source.setValue(2, 1, 9.0);
        else if (change == "newest")
            rig.source.setValue(3, 2, 9.0);
        else if (change == "check")
            rig.source.setData(rig.source.index(0, 3), Qt::Unchecked, Qt::CheckStateRole);
        else
            rig.source.SetUnits(&milliamps);
        QTEST(log.text, "signals");
        QCOMPARE(rig.proxy.headerData(1, Qt::Horizontal).toString(), QString(change == "unit" ? "Data (mA)" : "Data (A)"));
        rig.source.SetUnits(&VRXAbstractDeviceDataModel::defaultUnits);
    }

    void mimeDataAndSourcesComingAndGoing()
    {
        Rig rig(1);
        VRXLatestPlotDataProxyModel &proxy = rig.proxy;
        QCOMPARE(proxy.mimeTypes(), QStringList{"application/vnd.text.list"});
        std::unique_ptr<QMimeData> mime(proxy.mimeData({proxy.index(2, 0), QModelIndex(), proxy.index(0, 0)}));
        QDataStream stream(mime->data("application/vnd.text.list"));
        QString first, second;
        stream >> first >> second;
        QCOMPARE(first + second, QString("Ch3Ch1"));
        QVERIFY(stream.atEnd());

        QStandardItemModel plain(2, 3); // no unit to name, no brushes to lighten
        proxy.setSourceModel(&plain);
        QCOMPARE(proxy.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Data"));
        QCOMPARE(proxy.index(0, 0).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::black).lighter(140));
        SignalLog log(&proxy);
        rig.source.addRow(2.0, {1.0, 2.0, 3.0}); // no longer followed
        proxy.setSourceModel(&plain);
        QVERIFY(log.text.isEmpty());
        auto *doomed = new TableDeviceModel(3);
        proxy.setSourceModel(doomed);
        proxy.edit(proxy.index(1, 1));
        delete doomed;
        QCOMPARE(log.text, QString("aboutToReset; reset; aboutToReset; reset"));
        QCOMPARE(proxy.rowCount(), 0);
    }

    void testerOverAChangingMultichannelChain()
    {
        // Three channels merged, their newest values listed: samples in and out
        // of step, full buffers, a cleared channel, one removed and re-added.
        VRXMultichannelProxyModel merged;
        VRXSingleChannelDataModel a(6), b(6), c(6);
        merged.addSourceModel(&a);
        merged.addSourceModel(&b);
        VRXLatestPlotDataProxyModel latest;
        latest.setSourceModel(&merged);
        corvid_test::SequentialAdapter mergedAdapter(&merged, true), latestAdapter(&latest);
        QAbstractItemModelTester mergedTester(&mergedAdapter, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester latestTester(&latestAdapter, QAbstractItemModelTester::FailureReportingMode::QtTest);
        auto checkNewest = [&]() {
            QCOMPARE(latest.rowCount(), merged.columnCount() - 1);
            const int last = merged.rowCount() - 1;
            for (int r = 0; r < latest.rowCount(); ++r)
                QCOMPARE(latest.index(r, 1).data().toString(), last < 1 ? "N/A" : merged.index(last, r + 1).data().toString());
        };
        double t = 1.0;
        for (int i = 0; i < 9; ++i, t += 1.0) {
            a.AddData(t, i);
            b.AddData(t, 10 + i);
        }
        checkNewest();
        merged.addSourceModel(&c);
        for (int i = 0; i < 5; ++i, t += 1.0) {
            c.AddData(t, 20 + i);
            if (i % 2)
                a.AddData(t, 30 + i);
        }
        checkNewest();
        latest.edit(latest.index(1, 1));
        b.AddData(t, 99.0);
        latest.editingFinished();
        QVERIFY(latest.setData(latest.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(!a.isChannelEnabled(1));
        Units::mA milliamps;
        b.SetUnits(&milliamps);
        b.Clear();
        checkNewest();
        merged.removeSourceModel(&a);
        c.AddData(t += 1.0, 1.0);
        merged.insertSourceModel(0, &a, 1);
        merged.Clear();
        checkNewest();
        for (int i = 0; i < 8; ++i, t += 1.0) {
            c.AddData(t, i);
            a.AddData(t, i);
            b.AddData(t, i);
        }
        checkNewest();
        b.SetUnits(&VRXAbstractDeviceDataModel::defaultUnits);
    }
};

QTEST_MAIN(TestLatestPlotDataProxyModel)
#include "tst_latestplotdataproxymodel.moc"
