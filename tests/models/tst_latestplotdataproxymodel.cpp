#include <MeasurementUnit.h>
#include <VRXLatestPlotDataProxyModel.h>
#include <VRXMultichannelProxyModel.h>
#include <VRXPlotColors.h>
#include <VRXSingleChannelDataModel.h>

#include "MergedTableAdapter.h"
#include "ModelTestHelpers.h"
#include "TableDeviceModel.h"

#include <QtCore/QMimeData>
#include <QtGui/QBrush>
#include <QtGui/QStandardItemModel>
#include <QtTest/QAbstractItemModelTester>
#include <QtTest/QtTest>
#include <memory>

using namespace Corvid_Qt;
using corvid_test::MergedTableAdapter;
using corvid_test::SequentialAdapter;
using corvid_test::TableDeviceModel;

namespace {

// The value-column rows of each dataChanged, as "first-last".
QStringList valueRanges(const QSignalSpy &spy)
{
    QStringList ranges;
    for (const QList<QVariant> &args : spy) {
        const auto tl = args.at(0).value<QModelIndex>();
        const auto br = args.at(1).value<QModelIndex>();
        if (tl.column() == 1 && br.column() == 1)
            ranges << QStringLiteral("%1-%2").arg(tl.row()).arg(br.row());
    }
    return ranges;
}

QStringList readNames(const QByteArray &bytes)
{
    QStringList names;
    QDataStream stream(bytes);
    while (!stream.atEnd()) {
        QString name;
        stream >> name;
        if (stream.status() != QDataStream::Ok)
            break;
        names << name;
    }
    return names;
}

} // namespace

class TestLatestPlotDataProxyModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void emptySourceShowsNotAvailable();
    void valueColumnShowsTheNewestRow();
    void refreshSkipsTheEditedRow_data();
    void refreshSkipsTheEditedRow();
    void sourceResetEndsEditing();
    void checkBoxReachesTheSourceChannel();
    void headerCheckBoxSummarisesChannels_data();
    void headerCheckBoxSummarisesChannels();
    void headerCheckBoxSetsEveryChannel_data();
    void headerCheckBoxSetsEveryChannel();
    void valueHeaderNamesTheSourceUnit();
    void channelColourIsLightened();
    void flagsOfBothColumns();
    void sourceChangesReachOnlyHeaderAndNewestRow_data();
    void sourceChangesReachOnlyHeaderAndNewestRow();
    void mimeDataCarriesCaptionsInOrder();
    void settingTheSameSourceDoesNothing();
    void destroyedSourceLeavesAnEmptyTable();
    void testerOverAChangingMultichannelChain();
};

void TestLatestPlotDataProxyModel::initTestCase()
{
    qRegisterMetaType<Qt::Orientation>();
}

void TestLatestPlotDataProxyModel::emptySourceShowsNotAvailable()
{
    TableDeviceModel source(3);
    VRXLatestPlotDataProxyModel proxy;
    proxy.setSourceModel(&source);

    QCOMPARE(proxy.rowCount(), 3);
    QCOMPARE(proxy.columnCount(), 2);
    for (int r = 0; r < 3; ++r) {
        const QModelIndex value = proxy.index(r, 1);
        QCOMPARE(value.data(Qt::DisplayRole).toString(), QStringLiteral("N/A"));
        QCOMPARE(value.data(Qt::EditRole).toString(), QStringLiteral("0"));
        QCOMPARE(value.data(DataRole).toDouble(), 0.0);
        const auto background = value.data(Qt::BackgroundRole).value<QBrush>();
        QCOMPARE(background.color(), QColor(Qt::black));
        QCOMPARE(background.style(), Qt::SolidPattern);
        QCOMPARE(value.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(0, 255, 0, 255));
        QVERIFY(!value.data(Qt::ToolTipRole).isValid());
        QVERIFY(!value.data(Qt::FontRole).isValid());
        QCOMPARE(proxy.index(r, 0).data().toString(), QStringLiteral("Ch%1").arg(r + 1));
    }
    QVERIFY(!proxy.index(3, 0).isValid());
    QVERIFY(!proxy.index(0, 2).isValid());
}

void TestLatestPlotDataProxyModel::valueColumnShowsTheNewestRow()
{
    TableDeviceModel source(3);
    VRXLatestPlotDataProxyModel proxy;
    proxy.setSourceModel(&source);
    source.addRow(1.0, {1.0, 2.0, 3.0});
    source.addRow(2.0, {0.5, 0.25, 0.125});

    for (int r = 0; r < 3; ++r) {
        const QModelIndex newest = source.index(2, r + 1);
        QCOMPARE(proxy.index(r, 1).data().toString(), newest.data().toString());
        QCOMPARE(proxy.index(r, 1).data(DataRole), newest.data(DataRole));
        QCOMPARE(proxy.mapToSource(proxy.index(r, 1)), newest);
        QCOMPARE(proxy.mapToSource(proxy.index(r, 0)), source.index(0, r + 1));
        QCOMPARE(proxy.mapFromSource(newest), proxy.index(r, 1));
        QCOMPARE(proxy.mapFromSource(source.index(0, r + 1)), proxy.index(r, 0));
    }
    QCOMPARE(proxy.index(0, 1).data().toString(), QStringLiteral("5.000e-01"));
    // Older rows and the time column have no place in the table.
    QVERIFY(!proxy.mapFromSource(source.index(1, 1)).isValid());
    QVERIFY(!proxy.mapFromSource(source.index(2, 0)).isValid());
    QVERIFY(!proxy.mapToSource(QModelIndex()).isValid());
}

void TestLatestPlotDataProxyModel::refreshSkipsTheEditedRow_data()
{
    QTest::addColumn<int>("editedRow");
    QTest::addColumn<int>("editedColumn");
    QTest::addColumn<QStringList>("ranges");

    QTest::newRow("no edit") << -1 << 1 << QStringList{"0-2"};
    QTest::newRow("first row") << 0 << 1 << QStringList{"1-2"};
    QTest::newRow("middle row") << 1 << 1 << QStringList{"0-0", "2-2"};
    QTest::newRow("last row") << 2 << 1 << QStringList{"0-1"};
    QTest::newRow("caption of the middle row") << 1 << 0 << QStringList{"0-0", "2-2"};
}

void TestLatestPlotDataProxyModel::refreshSkipsTheEditedRow()
{
    QFETCH(int, editedRow);
    QFETCH(int, editedColumn);
    QFETCH(QStringList, ranges);

    TableDeviceModel source(3);
    VRXLatestPlotDataProxyModel proxy;
    proxy.setSourceModel(&source);
    source.addRow(1.0, {1.0, 2.0, 3.0});
    proxy.edit(proxy.index(editedRow, editedColumn));

    QSignalSpy changed(&proxy, &QAbstractItemModel::dataChanged);
    source.addRow(2.0, {4.0, 5.0, 6.0});
    QCOMPARE(valueRanges(changed), ranges);

    changed.clear();
    proxy.editingFinished();
    source.addRow(3.0, {7.0, 8.0, 9.0});
    QCOMPARE(valueRanges(changed), QStringList{"0-2"});
}

void TestLatestPlotDataProxyModel::sourceResetEndsEditing()
{
    TableDeviceModel source(3);
    VRXLatestPlotDataProxyModel proxy;
    proxy.setSourceModel(&source);
    source.addRow(1.0, {1.0, 2.0, 3.0});
    proxy.edit(proxy.index(1, 1));

    QSignalSpy aboutToReset(&proxy, &QAbstractItemModel::modelAboutToBeReset);
    QSignalSpy reset(&proxy, &QAbstractItemModel::modelReset);
    source.Clear();
    QCOMPARE(aboutToReset.count(), 1);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(proxy.index(1, 1).data().toString(), QStringLiteral("N/A"));

    QSignalSpy changed(&proxy, &QAbstractItemModel::dataChanged);
    source.addRow(2.0, {4.0, 5.0, 6.0});
    QCOMPARE(valueRanges(changed), QStringList{"0-2"});
    // An index of another model is no edit of this one.
    QStandardItemModel other(3, 2);
    proxy.edit(other.index(1, 1));
    changed.clear();
    source.addRow(3.0, {4.0, 5.0, 6.0});
    QCOMPARE(valueRanges(changed), QStringList{"0-2"});
}

void TestLatestPlotDataProxyModel::checkBoxReachesTheSourceChannel()
{
    TableDeviceModel source(3);
    VRXLatestPlotDataProxyModel proxy;
    proxy.setSourceModel(&source);
    QSignalSpy changed(&proxy, &QAbstractItemModel::dataChanged);
    QSignalSpy header(&proxy, &QAbstractItemModel::headerDataChanged);

    QVERIFY(proxy.setData(proxy.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    QVERIFY(!source.isChannelEnabled(1));
    QVERIFY(source.isChannelEnabled(2));
    QCOMPARE(proxy.index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>(), proxy.index(0, 0));
    QCOMPARE(changed.at(0).at(1).value<QModelIndex>(), proxy.index(0, 0));
    QCOMPARE(header.count(), 1);
    QCOMPARE(header.at(0).at(0).value<Qt::Orientation>(), Qt::Horizontal);
    QCOMPARE(proxy.headerData(0, Qt::Horizontal, Qt::CheckStateRole).toInt(), int(Qt::PartiallyChecked));
}

void TestLatestPlotDataProxyModel::headerCheckBoxSummarisesChannels_data()
{
    QTest::addColumn<int>("channels");
    QTest::addColumn<QList<int>>("disabled");
    QTest::addColumn<int>("state");

    QTest::newRow("all shown") << 3 << QList<int>{} << int(Qt::Checked);
    QTest::newRow("one hidden") << 3 << QList<int>{2} << int(Qt::PartiallyChecked);
    QTest::newRow("all hidden") << 3 << QList<int>{1, 2, 3} << int(Qt::Unchecked);
    QTest::newRow("one channel, hidden") << 1 << QList<int>{1} << int(Qt::Unchecked);
    QTest::newRow("no channels") << 0 << QList<int>{} << int(Qt::Unchecked);
}

void TestLatestPlotDataProxyModel::headerCheckBoxSummarisesChannels()
{
    QFETCH(int, channels);
    QFETCH(QList<int>, disabled);
    QFETCH(int, state);

    TableDeviceModel source(channels);
    for (int column : disabled)
        source.setData(source.index(0, column), Qt::Unchecked, Qt::CheckStateRole);
    VRXLatestPlotDataProxyModel proxy;
    proxy.setSourceModel(&source);
    QCOMPARE(proxy.headerData(0, Qt::Horizontal, Qt::CheckStateRole).toInt(), state);
    QVERIFY(!proxy.headerData(1, Qt::Horizontal, Qt::CheckStateRole).isValid());
}

void TestLatestPlotDataProxyModel::headerCheckBoxSetsEveryChannel_data()
{
    QTest::addColumn<int>("request");
    QTest::addColumn<bool>("shown");

    QTest::newRow("uncheck") << int(Qt::Unchecked) << false;
    QTest::newRow("check") << int(Qt::Checked) << true;
    QTest::newRow("partial click checks") << int(Qt::PartiallyChecked) << true;
}

void TestLatestPlotDataProxyModel::headerCheckBoxSetsEveryChannel()
{
    QFETCH(int, request);
    QFETCH(bool, shown);

    TableDeviceModel source(3);
    source.setData(source.index(0, 2), Qt::Unchecked, Qt::CheckStateRole);
    VRXLatestPlotDataProxyModel proxy;
    proxy.setSourceModel(&source);

    QVERIFY(proxy.setHeaderData(0, Qt::Horizontal, request, Qt::CheckStateRole));
    for (int c = 1; c <= 3; ++c)
        QCOMPARE(source.isChannelEnabled(c), shown);
    QCOMPARE(proxy.headerData(0, Qt::Horizontal, Qt::CheckStateRole).toInt(),
             int(shown ? Qt::Checked : Qt::Unchecked));

    QVERIFY(!proxy.setHeaderData(1, Qt::Horizontal, request, Qt::CheckStateRole));
    QVERIFY(!proxy.setHeaderData(0, Qt::Vertical, request, Qt::CheckStateRole));
    QVERIFY(!proxy.setHeaderData(0, Qt::Horizontal, QStringLiteral("x"), Qt::DisplayRole));
}

void TestLatestPlotDataProxyModel::valueHeaderNamesTheSourceUnit()
{
    TableDeviceModel source(2);
    VRXLatestPlotDataProxyModel proxy;
    proxy.setSourceModel(&source);
    QCOMPARE(proxy.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Channel"));
    QCOMPARE(proxy.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Data (A)"));
    QVERIFY(!proxy.headerData(2, Qt::Horizontal).isValid());
    QVERIFY(!proxy.headerData(0, Qt::Vertical).isValid());
    QCOMPARE(proxy.headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).toInt(), int(Qt::AlignHCenter));
    QVERIFY(!proxy.headerData(1, Qt::Horizontal, Qt::ToolTipRole).isValid());

    QSignalSpy header(&proxy, &QAbstractItemModel::headerDataChanged);
    Units::mA milliamps;
    source.SetUnits(&milliamps);
    QCOMPARE(proxy.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Data (mA)"));
    QCOMPARE(header.count(), 1);
    QCOMPARE(header.at(0).at(1).toInt(), 0);
    QCOMPARE(header.at(0).at(2).toInt(), 1);
    source.SetUnits(&VRXAbstractDeviceDataModel::defaultUnits);

    // A plain item model has no unit to name.
    QStandardItemModel plain(2, 3);
    proxy.setSourceModel(&plain);
    QCOMPARE(proxy.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Data"));
    QCOMPARE(proxy.rowCount(), 2);
    proxy.setSourceModel(nullptr);
    QCOMPARE(proxy.rowCount(), 0);
    QCOMPARE(proxy.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Data"));
}

void TestLatestPlotDataProxyModel::channelColourIsLightened()
{
    TableDeviceModel source(9);
    VRXLatestPlotDataProxyModel proxy;
    proxy.setSourceModel(&source);
    for (int r = 0; r < 9; ++r) {
        const auto brush = proxy.index(r, 0).data(Qt::BackgroundRole).value<QBrush>();
        QCOMPARE(brush.color(), VRXPlotColors::forChannel(r + 1).lighter(140));
        QCOMPARE(brush.style(), Qt::SolidPattern);
    }
    QVERIFY(VRXPlotColors::forChannel(1).lighter(140) != VRXPlotColors::forChannel(1));

    // Without a brush from the source, the default brush's colour is lightened.
    QStandardItemModel plain(1, 2);
    proxy.setSourceModel(&plain);
    QCOMPARE(proxy.index(0, 0).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::black).lighter(140));
}

void TestLatestPlotDataProxyModel::flagsOfBothColumns()
{
    TableDeviceModel source(2);
    VRXLatestPlotDataProxyModel proxy;
    proxy.setSourceModel(&source);
    QCOMPARE(proxy.flags(QModelIndex()), Qt::ItemFlags(Qt::ItemIsEnabled));
    const Qt::ItemFlags caption = Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsUserCheckable
        | Qt::ItemIsEnabled;
    QCOMPARE(proxy.flags(proxy.index(1, 0)), caption);
    QCOMPARE(proxy.flags(proxy.index(1, 1)), source.flags(source.index(0, 2)));
    source.addRow(1.0, {1.0, 2.0});
    QCOMPARE(proxy.flags(proxy.index(1, 0)), caption);
    QCOMPARE(proxy.flags(proxy.index(1, 1)), source.flags(source.index(1, 2)));
}

void TestLatestPlotDataProxyModel::sourceChangesReachOnlyHeaderAndNewestRow_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<int>("headerSignals");

    QTest::newRow("older row") << "older" << QStringList{} << 0;
    QTest::newRow("newest row") << "newest" << QStringList{"1,1-1,1"} << 0;
    QTest::newRow("channel hidden") << "check" << QStringList{"2,0-2,0"} << 1;
    QTest::newRow("unit of all rows") << "unit" << QStringList{"0,1-2,1"} << 1;
}

void TestLatestPlotDataProxyModel::sourceChangesReachOnlyHeaderAndNewestRow()
{
    QFETCH(QString, change);
    QFETCH(QStringList, cells);
    QFETCH(int, headerSignals);

    TableDeviceModel source(3);
    VRXLatestPlotDataProxyModel proxy;
    proxy.setSourceModel(&source);
    for (int i = 1; i <= 3; ++i)
        source.addRow(i, {1.0 * i, 2.0 * i, 3.0 * i});

    QSignalSpy changed(&proxy, &QAbstractItemModel::dataChanged);
    QSignalSpy header(&proxy, &QAbstractItemModel::headerDataChanged);
    Units::mA milliamps;
    if (change == "older")
        source.setValue(2, 1, 9.0);
    else if (change == "newest")
        source.setValue(3, 2, 9.0);
    else if (change == "check")
        source.setData(source.index(0, 3), Qt::Unchecked, Qt::CheckStateRole);
    else
        source.SetUnits(&milliamps);

    QStringList seen;
    for (const QList<QVariant> &args : changed) {
        const auto tl = args.at(0).value<QModelIndex>();
        const auto br = args.at(1).value<QModelIndex>();
        seen << QStringLiteral("%1,%2-%3,%4").arg(tl.row()).arg(tl.column()).arg(br.row()).arg(br.column());
    }
    QCOMPARE(seen, cells);
    QCOMPARE(header.count(), headerSignals);
    if (change == "unit")
        QCOMPARE(proxy.index(0, 1).data().toString(), QStringLiteral("3.000e+03"));
    source.SetUnits(&VRXAbstractDeviceDataModel::defaultUnits);
}

void TestLatestPlotDataProxyModel::mimeDataCarriesCaptionsInOrder()
{
    TableDeviceModel source(3);
    VRXLatestPlotDataProxyModel proxy;
    proxy.setSourceModel(&source);
    QCOMPARE(proxy.mimeTypes(), QStringList{"application/vnd.text.list"});

    std::unique_ptr<QMimeData> mime(proxy.mimeData({proxy.index(2, 0), QModelIndex(), proxy.index(0, 0)}));
    QVERIFY(mime);
    QVERIFY(mime->hasFormat("application/vnd.text.list"));
    QCOMPARE(readNames(mime->data("application/vnd.text.list")), (QStringList{"Ch3", "Ch1"}));

    std::unique_ptr<QMimeData> none(proxy.mimeData({}));
    QVERIFY(none->data("application/vnd.text.list").isEmpty());
}

void TestLatestPlotDataProxyModel::settingTheSameSourceDoesNothing()
{
    TableDeviceModel first(2);
    TableDeviceModel second(4);
    VRXLatestPlotDataProxyModel proxy;
    proxy.setSourceModel(&first);
    QSignalSpy reset(&proxy, &QAbstractItemModel::modelReset);
    proxy.setSourceModel(&first);
    QCOMPARE(reset.count(), 0);

    proxy.setSourceModel(&second);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(proxy.rowCount(), 4);
    QCOMPARE(proxy.sourceModel(), &second);

    QSignalSpy changed(&proxy, &QAbstractItemModel::dataChanged);
    QSignalSpy header(&proxy, &QAbstractItemModel::headerDataChanged);
    first.addRow(1.0, {1.0, 2.0});
    Units::mA milliamps;
    first.SetUnits(&milliamps);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(header.count(), 0);
}

void TestLatestPlotDataProxyModel::destroyedSourceLeavesAnEmptyTable()
{
    auto source = std::make_unique<TableDeviceModel>(3);
    VRXLatestPlotDataProxyModel proxy;
    proxy.setSourceModel(source.get());
    source->addRow(1.0, {1.0, 2.0, 3.0});
    proxy.edit(proxy.index(1, 1));
    QSignalSpy reset(&proxy, &QAbstractItemModel::modelReset);
    source.reset();
    QCOMPARE(reset.count(), 1);
    QCOMPARE(proxy.rowCount(), 0);
    QVERIFY(!proxy.index(0, 1).isValid());
    QCOMPARE(proxy.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Data"));
}

void TestLatestPlotDataProxyModel::testerOverAChangingMultichannelChain()
{
    // Three channels merged, their newest values listed: samples in and out
    // of step, full buffers, a cleared channel, one removed and re-added.
    VRXMultichannelProxyModel merged;
    VRXSingleChannelDataModel a(6), b(6), c(6);
    merged.addSourceModel(&a);
    merged.addSourceModel(&b);
    VRXLatestPlotDataProxyModel latest;
    latest.setSourceModel(&merged);
    // Device tables give the root ItemIsEnabled, which the tester refuses;
    // the merged table's time column follows its first source (see the adapter).
    SequentialAdapter latestAdapter(&latest);
    MergedTableAdapter mergedAdapter(&merged);
    QAbstractItemModelTester mergedTester(&mergedAdapter, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester latestTester(&latestAdapter, QAbstractItemModelTester::FailureReportingMode::QtTest);

    auto checkNewest = [&]() {
        const int last = merged.rowCount() - 1;
        QCOMPARE(latest.rowCount(), merged.columnCount() - 1);
        for (int r = 0; r < latest.rowCount(); ++r) {
            const QString expected = last < 1 ? QStringLiteral("N/A") : merged.index(last, r + 1).data().toString();
            QCOMPARE(latest.index(r, 1).data().toString(), expected);
        }
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
    QCOMPARE(latest.headerData(0, Qt::Horizontal, Qt::CheckStateRole).toInt(), int(Qt::PartiallyChecked));
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

QTEST_MAIN(TestLatestPlotDataProxyModel)
#include "tst_latestplotdataproxymodel.moc"
