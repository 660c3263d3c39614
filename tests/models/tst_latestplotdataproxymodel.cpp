#include "ModelTestHelpers.h"

#include <MeasurementUnit.h>
#include <VRXLatestPlotDataProxyModel.h>
#include <VRXMultichannelProxyModel.h>
#include <VRXPlotColors.h>
#include <VRXSingleChannelDataModel.h>

#include <QtCore/QItemSelection>
#include <QtCore/QMimeData>
#include <QtCore/QSet>
#include <QtGui/QBrush>
#include <QtGui/QStandardItemModel>
#include <QtTest/QAbstractItemModelTester>
#include <memory>

using namespace Corvid_Qt;
using corvid_test::SignalLog;

namespace {

/// Single-channel devices named Ch1, Ch2, ... merged, their newest values
/// listed, under QAbstractItemModelTester.
struct Rig
{
    explicit Rig(int channels = 3, int samples = 0)
    {
        for (int c = 0; c < channels; ++c) {
            devices.push_back(std::make_unique<VRXSingleChannelDataModel>(6));
            devices.back()->setChannelName(QStringLiteral("Ch%1").arg(c + 1));
            merged.addSourceModel(devices.back().get());
        }
        proxy.setSourceModel(&merged);
        while (samples-- > 0)
            tick();
    }
    void tick()
    {
        ++t;
        for (size_t c = 0; c < devices.size(); ++c)
            devices[c]->AddData(t, t * (c + 1));
    }
    std::vector<std::unique_ptr<VRXSingleChannelDataModel>> devices;
    VRXMultichannelProxyModel merged;
    VRXLatestPlotDataProxyModel proxy;
    QAbstractItemModelTester tester{&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest};
    int t = 0;
};

} // namespace

class TestLatestPlotDataProxyModel : public QObject
{
    Q_OBJECT

private slots:
    void sourceChangesReachTheNewestRowButNotTheEditedOne_data()
    {
        QTest::addColumn<QPoint>("edited"); // (column, row) of the cell being edited; (-1, -1): none
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("signals");
        const QPoint none(-1, -1), middle(1, 1);
        QTest::newRow("sample") << none << "sample" << "dataChanged 0,1-2,1";
        QTest::newRow("sample, first row edited") << QPoint(1, 0) << "sample" << "dataChanged 1,1-2,1";
        QTest::newRow("sample, middle row edited") << middle << "sample" << "dataChanged 0,1-0,1; dataChanged 2,1-2,1";
        QTest::newRow("sample, last row edited") << QPoint(1, 2) << "sample" << "dataChanged 0,1-1,1";
        QTest::newRow("sample, caption edited") << QPoint(0, 1) << "sample" << "dataChanged 0,1-0,1; dataChanged 2,1-2,1";
        QTest::newRow("sample, a cell of another model edited") << QPoint(-2, 1) << "sample" << "dataChanged 0,1-2,1";
        QTest::newRow("a reset ends editing") << middle << "clear" << "aboutToReset; reset; dataChanged 0,1-2,1";
        QTest::newRow("newest row of one channel") << none << "late sample" << "dataChanged 1,1-1,1";
        QTest::newRow("channel hidden") << none << "hide" << "dataChanged 2,0-2,0; header 0-0";
        QTest::newRow("unit of all rows") << none << "unit" << "header 0-1; dataChanged 0,1-0,1";
    }

    void sourceChangesReachTheNewestRowButNotTheEditedOne()
    {
        QFETCH(QPoint, edited);
        QFETCH(QString, change);
        Rig rig(3, 3);
        rig.devices[1]->setAutoUpdate(false);
        rig.tick(); // the second channel lags a row
        QStandardItemModel other(3, 2);
        rig.proxy.edit(edited.x() == -2 ? other.index(1, 1) : rig.proxy.index(edited.y(), edited.x()));
        SignalLog log(&rig.proxy);
        Units::mA milliamps;
        if (change == "clear")
            rig.merged.Clear();
        if (change == "sample" || change == "clear")
            rig.devices[0]->AddData(rig.t + 1, 1.0);
        else if (change == "late sample")
            rig.devices[1]->UpdateView();
        else if (change == "hide")
            rig.merged.setData(rig.merged.index(0, 3), Qt::Unchecked, Qt::CheckStateRole);
        else
            rig.devices[0]->SetUnits(&milliamps);
        QTEST(log.text, "signals");
        QCOMPARE(rig.proxy.headerData(1, Qt::Horizontal).toString(), QString(change == "unit" ? "Data (mA)" : "Data (A)"));
        rig.devices[0]->SetUnits(&VRXAbstractDeviceDataModel::defaultUnits);
        log.text.clear();
        rig.proxy.editingFinished();
        rig.devices[0]->AddData(rig.t + 2, 1.0);
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
        Rig rig(channels);
        for (int row : unchecked) {
            SignalLog log(&rig.proxy);
            QVERIFY(rig.proxy.setData(rig.proxy.index(row, 0), Qt::Unchecked, Qt::CheckStateRole));
            QCOMPARE(log.text, QStringLiteral("dataChanged %1,0-%1,0; header 0-0").arg(row));
            QVERIFY(!rig.devices[size_t(row)]->isChannelEnabled(1));
            QCOMPARE(rig.proxy.index(row, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        }
        QCOMPARE(rig.proxy.headerData(0, Qt::Horizontal, Qt::CheckStateRole).toInt(), state);
        // A click checks all unless all are checked; a partial state checks all too.
        const int click = state == Qt::Checked ? Qt::Unchecked : state == Qt::Unchecked ? Qt::Checked : Qt::PartiallyChecked;
        QVERIFY(rig.proxy.setHeaderData(0, Qt::Horizontal, click, Qt::CheckStateRole));
        for (const auto &device : rig.devices)
            QCOMPARE(device->isChannelEnabled(1), state != Qt::Checked);
        QVERIFY(!rig.proxy.setHeaderData(1, Qt::Horizontal, click, Qt::CheckStateRole)); // only the channel column has a box
    }

    // The value column reads N/A until a sample comes, then the newest row,
    // and maps to that row alone. A drag carries the names of the given rows
    // in the order given, as a merged table reads them on a drop. Each new
    // source resets the table, and the old one is no longer followed.
    void newestValuesMapAndDragAndSourcesReset()
    {
        Rig rig;
        QCOMPARE(rig.proxy.rowCount(), 3);
        for (int r = 0; r < 3; ++r) {
            QCOMPARE(rig.proxy.index(r, 1).data().toString(), QStringLiteral("N/A"));
            QCOMPARE(rig.proxy.index(r, 1).data(DataRole).toDouble(), 0.0);
            QCOMPARE(rig.proxy.index(r, 0).data(Qt::BackgroundRole).value<QBrush>(),
                     QBrush(VRXPlotColors::forChannel(r + 1).lighter(140)));
        }
        rig.tick();
        rig.tick();
        QCOMPARE(rig.proxy.index(2, 1).data().toString(), QStringLiteral("6.000e+00"));
        const QModelIndex newest = rig.merged.index(2, 3);
        QCOMPARE(rig.proxy.mapToSource(rig.proxy.index(2, 1)), newest);
        QCOMPARE(rig.proxy.mapFromSource(newest), rig.proxy.index(2, 1));
        QCOMPARE(rig.proxy.mapFromSource(rig.merged.index(0, 3)), rig.proxy.index(2, 0));
        QVERIFY(!rig.proxy.mapFromSource(rig.merged.index(1, 1)).isValid()); // older rows and time have no place
        QVERIFY(!rig.proxy.mapFromSource(rig.merged.index(2, 0)).isValid());
        QStandardItemModel other(1, 1);
        other.setData(other.index(0, 0), "foreign");
        std::unique_ptr<QMimeData> mime(rig.proxy.mimeData(
            {rig.proxy.index(2, 0), QModelIndex(), other.index(0, 0), rig.proxy.index(0, 0)}));
        QCOMPARE(rig.proxy.mimeTypes(), mime->formats());
        VRXMultichannelProxyModel target;
        QVERIFY(target.dropMimeData(mime.get(), Qt::CopyAction, -1, -1, QModelIndex()));
        QCOMPARE(target.channelNames(), (QStringList{"Ch3", "Ch1"}));

        QStandardItemModel plain(2, 4);
        rig.proxy.setSourceModel(&plain);
        SignalLog log(&rig.proxy);
        rig.tick();
        rig.proxy.setSourceModel(&plain);
        QVERIFY(log.text.isEmpty());
        plain.insertColumn(1); // the device gains a channel, loses two, then its newest row
        plain.removeColumns(1, 2);
        plain.removeRow(1);
        QCOMPARE(rig.proxy.rowCount(), 2);
        QCOMPARE(log.text, QString("aboutToReset; reset; aboutToReset; reset; dataChanged 0,1-1,1"));
        log.text.clear();
        auto *doomed = new VRXSingleChannelDataModel;
        rig.proxy.setSourceModel(doomed);
        rig.proxy.edit(rig.proxy.index(0, 1));
        delete doomed;
        QCOMPARE(log.text, QString("aboutToReset; reset; aboutToReset; reset"));
        QCOMPARE(rig.proxy.rowCount(), 0);
    }

    void selectionMapsAsEveryCellWould_data()
    {
        QTest::addColumn<int>("samples");
        QTest::addColumn<QRect>("range"); // source columns x..right, rows y..bottom
        // A plot view's whole-column selection, as its plot passes make it.
        QTest::newRow("whole channel column") << 5 << QRect(QPoint(2, 0), QPoint(2, 5));
        QTest::newRow("whole table") << 5 << QRect(QPoint(0, 0), QPoint(3, 5));
        QTest::newRow("header cell") << 5 << QRect(2, 0, 1, 1);
        QTest::newRow("newest cell") << 5 << QRect(3, 5, 1, 1);
        QTest::newRow("older rows only") << 5 << QRect(QPoint(1, 1), QPoint(3, 4));
        QTest::newRow("time column only") << 5 << QRect(QPoint(0, 0), QPoint(0, 5));
        QTest::newRow("newest row without header") << 5 << QRect(QPoint(0, 2), QPoint(3, 5));
        QTest::newRow("no data yet") << 0 << QRect(QPoint(0, 0), QPoint(3, 0));
        QTest::newRow("one sample") << 1 << QRect(QPoint(1, 0), QPoint(2, 1));
    }
    void selectionMapsAsEveryCellWould()
    {
        QFETCH(int, samples);
        QFETCH(QRect, range);
        Rig rig(3, samples);
        const QItemSelection sourceSelection(rig.merged.index(range.top(), range.left()),
                                             rig.merged.index(range.bottom(), range.right()));
        QVERIFY(sourceSelection.first().isValid());
        QSet<QPersistentModelIndex> expected;
        for (const QModelIndex &cell : sourceSelection.indexes())
            if (rig.proxy.mapFromSource(cell).isValid())
                expected.insert(rig.proxy.mapFromSource(cell));
        const QModelIndexList proxyCells = rig.proxy.mapSelectionFromSource(sourceSelection).indexes();
        QCOMPARE(QSet<QPersistentModelIndex>(proxyCells.cbegin(), proxyCells.cend()), expected);
        QCOMPARE(proxyCells.size(), expected.size()); // no cell twice
    }
};

QTEST_MAIN(TestLatestPlotDataProxyModel)
#include "tst_latestplotdataproxymodel.moc"
