#include "ModelTestHelpers.h"

#include <MeasurementUnit.h>
#include <VRXSeriesData.h>
#include <VRXSingleChannelDataModel.h>

#include <QtCore/QBuffer>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QRandomGenerator>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTextStream>
#include <QtTest/QAbstractItemModelTester>
#include <QtTest/QtTest>
#include <cmath>
#include <limits>
#include <memory>

using namespace Corvid_Qt;
using corvid_test::Follower;
using corvid_test::SequentialAdapter;
using corvid_test::SignalLog;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QVector<double> timestampsOf(const VRXSingleChannelDataModel &m)
{
    QVector<double> t;
    for (int r = 1; r < m.rowCount(); ++r)
        t << m.doubleData(r, 0);
    return t;
}

} // namespace

class TestSingleChannelDataModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void repeatedTimestampIsDroppedEarlierOneKept();
    void zeroTimestampStartsAFreshSeries();
    void cellsShowTimeValueAndHeader_data();
    void cellsShowTimeValueAndHeader();
    void doubleDataOutsideTheTableReadsNoBuffer();
    void unitsScaleWhatIsShownNotWhatIsStored();
    void setUnitsAnnouncesDataChangeOnlyWithRows();
    void headerCheckStateTogglesOnlyOnChange();
    void horizontalHeaderComesFromHeaderRow();
    void channelNamePropertyAndWidthHint();

    void fullBufferAnnouncesNewRowAroundRemoval();
    void autoUpdateOffPublishesInOneBatch();
    void unpublishedSamplesWrapSilently();
    void publishedRowsDrainWhileAutoUpdateOff();
    void autoUpdateOnPublishesHeldRowsWithTheNextSample();
    void everyInterleavingKeepsViewsConsistent_data();
    void everyInterleavingKeepsViewsConsistent();
    void modelTesterWhileDataFlows();

    void seriesCoversRequestedRows_data();
    void seriesCoversRequestedRows();
    void seriesBoundsSkipNaN();

    void savedFileMatchesByteForByte();
    void emptyModelSavesHeaderOnly();
    void heldBackRowsAreNotSaved();
    void unopenableTargetsFailAndKeepWhatIsThere_data();
    void unopenableTargetsFailAndKeepWhatIsThere();
    void deviceFailingPartWayFails_data();
    void deviceFailingPartWayFails();
    void failedWriteLeavesOldFileIntact_data();
    void failedWriteLeavesOldFileIntact();
    void failedCommitFails();
};

void TestSingleChannelDataModel::initTestCase()
{
    qRegisterMetaType<const Units::MeasurementUnit *>("const Corvid_Qt::Units::MeasurementUnit*");
}

void TestSingleChannelDataModel::repeatedTimestampIsDroppedEarlierOneKept()
{
    VRXSingleChannelDataModel m;
    QSignalSpy inserted(&m, &QAbstractItemModel::rowsInserted);
    m.AddData(1.0, 5.0);
    m.AddData(2.0, 6.0);
    m.AddData(2.0, 7.0);
    QCOMPARE(m.rowCount(), 3);
    QCOMPARE(inserted.count(), 2);
    QCOMPARE(m.doubleData(2, 1), 6.0);

    m.AddData(1.5, 8.0);
    QCOMPARE(m.rowCount(), 4);
    QCOMPARE(m.doubleData(3, 0), 1.5);
}

void TestSingleChannelDataModel::zeroTimestampStartsAFreshSeries()
{
    VRXSingleChannelDataModel m;
    m.AddData(1.0, 5.0);
    m.AddData(2.0, 6.0);
    SignalLog log(&m);
    m.AddData(0.0, 9.0);
    QCOMPARE(log.entries, QStringList({"aboutToReset", "reset", "aboutToInsert 1-1 rows=1", "inserted 1-1 rows=2"}));
    QCOMPARE(m.rowCount(), 2);
    QCOMPARE(m.doubleData(1, 0), 0.0);
    QCOMPARE(m.doubleData(1, 1), 9.0);

    // A second zero timestamp is a new start too, not a repeat.
    m.AddData(0.0, 3.0);
    QCOMPARE(m.rowCount(), 2);
    QCOMPARE(m.doubleData(1, 1), 3.0);
}

void TestSingleChannelDataModel::cellsShowTimeValueAndHeader_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("corner") << 0 << 0 << int(Qt::DisplayRole) << QVariant("Time (s)");
    QTest::newRow("corner tooltip") << 0 << 0 << int(Qt::ToolTipRole) << QVariant();
    QTest::newRow("header caption") << 0 << 1 << int(Qt::DisplayRole) << QVariant("1");
    QTest::newRow("header tooltip") << 0 << 1 << int(Qt::ToolTipRole) << QVariant();
    QTest::newRow("header check") << 0 << 1 << int(Qt::CheckStateRole) << QVariant(int(Qt::Checked));
    QTest::newRow("time") << 1 << 0 << int(Qt::DisplayRole) << QVariant("1.234e+01");
    QTest::newRow("time edit") << 1 << 0 << int(Qt::EditRole) << QVariant("1.234e+01");
    QTest::newRow("time tooltip") << 1 << 0 << int(Qt::ToolTipRole) << QVariant("1.234e+01");
    QTest::newRow("value") << 1 << 1 << int(Qt::DisplayRole) << QVariant("2.500e-03");
    QTest::newRow("value tooltip") << 1 << 1 << int(Qt::ToolTipRole) << QVariant("2.500e-03 A");
    QTest::newRow("value as double") << 1 << 1 << int(DataRole) << QVariant(0.0025);
    QTest::newRow("time as double") << 1 << 0 << int(DataRole) << QVariant(12.3416);
    QTest::newRow("special role") << 1 << 1 << int(SpecialDataRole) << QVariant();
    QTest::newRow("value check") << 1 << 1 << int(Qt::CheckStateRole) << QVariant();
}

void TestSingleChannelDataModel::cellsShowTimeValueAndHeader()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, role);
    QFETCH(QVariant, expected);

    VRXSingleChannelDataModel m;
    m.AddData(12.3416, 0.0025);
    const QVariant value = m.index(row, column).data(role);
    QCOMPARE(value.isValid(), expected.isValid());
    if (expected.type() == QVariant::Double)
        QCOMPARE(value.toDouble(), expected.toDouble());
    else if (expected.isValid())
        QCOMPARE(value.toString(), expected.toString());
}

void TestSingleChannelDataModel::doubleDataOutsideTheTableReadsNoBuffer()
{
    VRXSingleChannelDataModel m(4);
    QCOMPARE(m.doubleData(0, 0), 0.0);
    QCOMPARE(m.doubleData(0, 1), 1.0);
    QVERIFY(std::isnan(m.doubleData(1, 1)));
    m.setAutoUpdate(false);
    m.AddData(1.0, 2.0);
    // Held back, so not part of the table yet.
    QVERIFY(std::isnan(m.doubleData(1, 1)));
    QVERIFY(std::isnan(m.doubleData(-1, 0)));
    QVERIFY(!m.index(1, 0).isValid());
    QVERIFY(!m.index(0, 2).isValid());
    QVERIFY(!m.index(0, -1).isValid());
    QVERIFY(!m.index(0, 0, m.index(0, 0)).isValid());
    QCOMPARE(m.rowCount(m.index(0, 0)), 0);
    QCOMPARE(m.columnCount(), 2);
}

void TestSingleChannelDataModel::unitsScaleWhatIsShownNotWhatIsStored()
{
    QTemporaryDir dir;
    VRXSingleChannelDataModel m;
    Units::mA milliamps;
    m.AddData(1.0, 0.002);
    m.SetUnits(&milliamps);
    QCOMPARE(m.doubleData(1, 1), 2.0);
    QCOMPARE(m.doubleData(1, 0), 1.0);
    QCOMPARE(m.doubleData(1, Fit0Column0), 2.0);
    QCOMPARE(m.index(1, 1).data().toString(), QString("2.000e+00"));
    const QString path = dir.filePath("ma.csv");
    QVERIFY(m.SaveDataToFile(path));
    QCOMPARE(readFile(path), QByteArray("timestamp(s),channel_1,\n1.000000000,0.002,\n"));
}

void TestSingleChannelDataModel::setUnitsAnnouncesDataChangeOnlyWithRows()
{
    Units::mA milliamps;
    VRXSingleChannelDataModel m;
    QSignalSpy units(&m, &VRXAbstractDeviceDataModel::unitsChanged);
    SignalLog log(&m);
    m.SetUnits(&milliamps);
    QCOMPARE(units.count(), 1);
    QVERIFY(log.entries.isEmpty());

    m.AddData(1.0, 1.0);
    m.AddData(2.0, 1.0);
    log.entries.clear();
    m.SetUnits(&VRXAbstractDeviceDataModel::defaultUnits);
    QCOMPARE(units.count(), 2);
    QCOMPARE(log.entries, QStringList({"dataChanged 1,1-2,1"}));
}

void TestSingleChannelDataModel::headerCheckStateTogglesOnlyOnChange()
{
    VRXSingleChannelDataModel m;
    m.AddData(1.0, 1.0);
    QSignalSpy changed(&m, &QAbstractItemModel::dataChanged);
    QVERIFY(m.setData(m.index(0, 1), Qt::Unchecked, Qt::CheckStateRole));
    QCOMPARE(changed.count(), 1);
    QVERIFY(!m.isChannelEnabled(1));
    QCOMPARE(m.index(0, 1).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QVERIFY(m.setData(m.index(0, 1), Qt::Unchecked, Qt::CheckStateRole));
    QCOMPARE(changed.count(), 1);

    QVERIFY(!m.setData(m.index(0, 1), true, Qt::EditRole));
    QVERIFY(!m.setData(m.index(1, 1), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(!m.setData(m.index(0, 0), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(!m.setData(QModelIndex(), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(changed.count(), 1);
    QVERIFY(m.flags(m.index(0, 1)) & Qt::ItemIsUserCheckable);
    QVERIFY(!(m.flags(m.index(1, 1)) & Qt::ItemIsUserCheckable));
}

void TestSingleChannelDataModel::horizontalHeaderComesFromHeaderRow()
{
    VRXSingleChannelDataModel m;
    QCOMPARE(m.headerData(1, Qt::Horizontal).toString(), m.index(0, 1).data().toString());
    QCOMPARE(m.headerData(0, Qt::Horizontal).toString(), QString("Time (s)"));
    QCOMPARE(m.headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).toInt(), int(Qt::AlignHCenter));
    for (int role : {int(Qt::DisplayRole), int(Qt::TextAlignmentRole), int(Qt::ToolTipRole)})
        QVERIFY(!m.headerData(0, Qt::Vertical, role).isValid());
}

void TestSingleChannelDataModel::channelNamePropertyAndWidthHint()
{
    VRXSingleChannelDataModel m;
    QVERIFY(m.channelName().isEmpty());
    QVERIFY(m.setProperty("channel", QString("IC1")));
    QCOMPARE(m.channelName(), QString("IC1"));
    QCOMPARE(m.property("channel").toString(), QString("IC1"));
    QCOMPARE(m.PlotWidthHintPoints(), 256);
    m.setPlotWidthHintPoints(1000);
    QCOMPARE(m.PlotWidthHintPoints(), 1000);
    m.setPlotWidthHintPoints(0);
    QCOMPARE(m.PlotWidthHintPoints(), 256);
    QCOMPARE(m.MaxBufferSize(), 100000);
    QCOMPARE(m.NumberOfChannels(), 1);
    QCOMPARE(VRXSingleChannelDataModel(0).MaxBufferSize(), 1);
}

void TestSingleChannelDataModel::fullBufferAnnouncesNewRowAroundRemoval()
{
    VRXSingleChannelDataModel m;
    for (int i = 1; i <= 100000; ++i)
        m.AddData(i, -i);
    QCOMPARE(m.rowCount(), 100001);

    SignalLog log(&m);
    Follower follower(&m, [&m](int r) { return m.doubleData(r, 0); });
    m.AddData(100001, -100001);
    QCOMPARE(log.entries, QStringList({"aboutToInsert 100000-100000 rows=100001",
                                       "aboutToRemove 1-1 rows=100001", "removed 1-1 rows=100000",
                                       "inserted 100000-100000 rows=100001"}));
    QCOMPARE(m.rowCount(), 100001);
    QCOMPARE(m.doubleData(1, 0), 2.0);
    QCOMPARE(m.doubleData(1, 1), -2.0);
    QCOMPARE(m.doubleData(100000, 0), 100001.0);
    QVERIFY(follower.seen() == follower.actual());
}

void TestSingleChannelDataModel::autoUpdateOffPublishesInOneBatch()
{
    VRXSingleChannelDataModel m;
    m.setAutoUpdate(false);
    SignalLog log(&m);
    for (int i = 1; i <= 10; ++i)
        m.AddData(i, i);
    QCOMPARE(m.rowCount(), 1);
    QVERIFY(log.entries.isEmpty());
    m.UpdateView();
    QCOMPARE(log.entries, QStringList({"aboutToInsert 1-10 rows=1", "inserted 1-10 rows=11"}));
    m.UpdateView();
    QCOMPARE(log.entries.size(), 2);
    QCOMPARE(m.doubleData(10, 1), 10.0);
}

void TestSingleChannelDataModel::unpublishedSamplesWrapSilently()
{
    VRXSingleChannelDataModel m(5);
    m.setAutoUpdate(false);
    SignalLog log(&m);
    for (int i = 1; i <= 12; ++i)
        m.AddData(i, i);
    QVERIFY(log.entries.isEmpty());
    QCOMPARE(m.rowCount(), 1);
    m.UpdateView();
    QCOMPARE(log.entries, QStringList({"aboutToInsert 1-5 rows=1", "inserted 1-5 rows=6"}));
    QCOMPARE(timestampsOf(m), QVector<double>({8, 9, 10, 11, 12}));
}

void TestSingleChannelDataModel::publishedRowsDrainWhileAutoUpdateOff()
{
    VRXSingleChannelDataModel m(5);
    for (int i = 1; i <= 5; ++i)
        m.AddData(i, i);
    m.setAutoUpdate(false);
    SignalLog log(&m);
    Follower follower(&m, [&m](int r) { return m.doubleData(r, 0); });
    for (int i = 6; i <= 20; ++i) {
        m.AddData(i, i);
        QVERIFY(follower.seen() == follower.actual());
    }
    // Five shown rows, so five removals and no more.
    QCOMPARE(log.entries.filter("removed").size(), 5);
    QCOMPARE(log.entries.filter("insert").size(), 0);
    QCOMPARE(m.rowCount(), 1);
    m.UpdateView();
    QCOMPARE(timestampsOf(m), QVector<double>({16, 17, 18, 19, 20}));
    QVERIFY(follower.seen() == follower.actual());
}

void TestSingleChannelDataModel::autoUpdateOnPublishesHeldRowsWithTheNextSample()
{
    VRXSingleChannelDataModel m(5);
    m.setAutoUpdate(false);
    m.AddData(1, 1);
    m.AddData(2, 2);
    m.setAutoUpdate(true);
    SignalLog log(&m);
    m.AddData(3, 3);
    QCOMPARE(log.entries, QStringList({"aboutToInsert 1-3 rows=1", "inserted 1-3 rows=4"}));

    // Same when the buffer is full and part of it was never shown.
    m.setAutoUpdate(false);
    m.AddData(4, 4);
    m.AddData(5, 5);
    m.setAutoUpdate(true);
    log.entries.clear();
    m.AddData(6, 6);
    QCOMPARE(log.entries, QStringList({"aboutToRemove 1-1 rows=4", "removed 1-1 rows=3",
                                       "aboutToInsert 3-5 rows=3", "inserted 3-5 rows=6"}));
    QCOMPARE(timestampsOf(m), QVector<double>({2, 3, 4, 5, 6}));
}

void TestSingleChannelDataModel::everyInterleavingKeepsViewsConsistent_data()
{
    QTest::addColumn<int>("capacity");
    QTest::addColumn<quint32>("seed");
    for (int capacity : {1, 3, 7})
        for (quint32 seed : {1u, 2u, 3u, 4u})
            QTest::addRow("capacity %d seed %u", capacity, seed) << capacity << seed;
}

void TestSingleChannelDataModel::everyInterleavingKeepsViewsConsistent()
{
    QFETCH(int, capacity);
    QFETCH(quint32, seed);

    VRXSingleChannelDataModel m(capacity);
    SequentialAdapter adapter(&m);
    QAbstractItemModelTester tester(&adapter);
    Follower follower(&m, [&m](int r) { return m.doubleData(r, 0); });

    QRandomGenerator rng(seed);
    QVector<double> accepted; // since the last reset, oldest first
    double t = 1.0;
    for (int step = 0; step < 300; ++step) {
        const int op = int(rng.bounded(20));
        bool published = false;
        if (op < 12) {
            m.AddData(t, t * 10);
            accepted << t;
            t += 1.0;
            published = m.autoUpdate();
        } else if (op == 12) {
            // A repeat of the newest timestamp is dropped.
            const double repeat = t - 1.0;
            const bool taken = accepted.isEmpty() || accepted.last() != repeat;
            m.AddData(repeat, 0.0);
            if (repeat == 0.0)
                accepted = {0.0};
            else if (taken)
                accepted << repeat;
            published = taken && m.autoUpdate();
        } else if (op == 13) {
            m.AddData(0.0, 0.0);
            accepted = {0.0};
            published = m.autoUpdate();
        } else if (op < 17) {
            m.UpdateView();
            published = true;
        } else if (op < 19) {
            m.setAutoUpdate(!m.autoUpdate());
        } else {
            m.Clear();
            accepted.clear();
            published = true;
        }

        const QVector<double> shown = follower.actual();
        QVERIFY2(follower.seen() == shown, qPrintable(QString("step %1").arg(step)));
        QVERIFY(m.rowCount() >= 1 && m.rowCount() <= capacity + 1);
        const QVector<double> window = accepted.mid(qMax(0, accepted.size() - capacity));
        QCOMPARE(shown, window.mid(0, shown.size()));
        if (published)
            QCOMPARE(shown, window);
    }
}

void TestSingleChannelDataModel::modelTesterWhileDataFlows()
{
    Units::uA microamps;
    VRXSingleChannelDataModel m(150);
    SequentialAdapter adapter(&m);
    QAbstractItemModelTester tester(&adapter);
    for (int i = 1; i <= 100; ++i)
        m.AddData(i, 1e-6 * i);
    m.SetUnits(&microamps);
    m.setData(m.index(0, 1), Qt::Unchecked, Qt::CheckStateRole);
    m.setAutoUpdate(false);
    for (int i = 101; i <= 140; ++i)
        m.AddData(i, 1e-6 * i);
    m.UpdateView();
    m.Clear();
    QCOMPARE(m.rowCount(), 1);
    m.setAutoUpdate(true);
    m.AddData(1, 1);
}

void TestSingleChannelDataModel::seriesCoversRequestedRows_data()
{
    QTest::addColumn<int>("startRow");
    QTest::addColumn<int>("endRow");
    QTest::addColumn<int>("size");
    QTest::newRow("to the end") << 1 << -1 << 10;
    QTest::newRow("rows 1 to 5") << 1 << 5 << 5;
    QTest::newRow("past the end") << 1 << 20 << 10;
    QTest::newRow("from row 4") << 4 << 0 << 7;
    QTest::newRow("start past the end") << 12 << -1 << 0;
}

void TestSingleChannelDataModel::seriesCoversRequestedRows()
{
    QFETCH(int, startRow);
    QFETCH(int, endRow);
    QFETCH(int, size);
    VRXSingleChannelDataModel m;
    for (int i = 1; i <= 10; ++i)
        m.AddData(i, i * 2);
    std::unique_ptr<QwtSeriesData<QPointF>> series(m.seriesData(1, startRow, endRow));
    QCOMPARE(int(series->size()), size);
    if (size > 0)
        QCOMPARE(series->sample(0), QPointF(startRow, startRow * 2));
}

void TestSingleChannelDataModel::seriesBoundsSkipNaN()
{
    VRXSingleChannelDataModel m;
    m.AddData(0.0, 1.0);
    m.AddData(1.0, kNaN);
    m.AddData(2.0, 3.0);
    std::unique_ptr<QwtSeriesData<QPointF>> series(m.seriesData(1, 1, -1));
    QCOMPARE(int(series->size()), 3);
    QCOMPARE(series->boundingRect(), QRectF(0.0, 1.0, 2.0, 2.0));

    // Kept once valid, recomputed after a scale change.
    m.AddData(3.0, 100.0);
    QCOMPARE(series->boundingRect(), QRectF(0.0, 1.0, 2.0, 2.0));
    static_cast<VRXSeriesData *>(series.get())->setScale(10.0);
    QCOMPARE(series->boundingRect(), QRectF(0.0, 0.1, 3.0, 9.9));
}

void TestSingleChannelDataModel::savedFileMatchesByteForByte()
{
    QTemporaryDir dir;
    VRXSingleChannelDataModel m;
    const QVector<QPair<double, double>> samples = {
        {1.5, 0.002},           {2.0, 1.5e-10},         {1234567.123456789, 123456789.0},
        {1e-10, -0.0001},       {3.25, 100000.0},       {4.0, 1e6},
        {5.0, 0.0},             {6.0, kNaN},             {7.0, -kInf},
        {-8.0, 1.0 / 3.0},
    };
    for (const auto &s : samples)
        m.AddData(s.first, s.second);
    const QString path = dir.filePath("data.csv");
    QVERIFY(m.SaveDataToFile(path));
    const QByteArray expected = "timestamp(s),channel_1,\n"
                                "1.500000000,0.002,\n"
                                "2.000000000,1.5e-10,\n"
                                "1234567.123456789,1.23457e+08,\n"
                                "0.000000000,-0.0001,\n"
                                "3.250000000,100000,\n"
                                "4.000000000,1e+06,\n"
                                "5.000000000,0,\n"
                                "6.000000000,nan,\n"
                                "7.000000000,-inf,\n"
                                "-8.000000000,0.333333,\n";
    QCOMPARE(readFile(path), expected);

    // The values read as a text stream with default settings writes them.
    QString streamed;
    QTextStream stream(&streamed);
    stream.setRealNumberPrecision(6);
    for (const auto &s : samples)
        if (std::isfinite(s.second))
            stream << s.second << ',';
    stream.flush();
    QString fromFile;
    for (const QByteArray &line : expected.split('\n').mid(1))
        if (!line.isEmpty() && !line.contains("nan") && !line.contains("inf"))
            fromFile += QString::fromLatin1(line.mid(line.indexOf(',') + 1));
    QCOMPARE(fromFile, streamed);
}

void TestSingleChannelDataModel::emptyModelSavesHeaderOnly()
{
    QTemporaryDir dir;
    VRXSingleChannelDataModel m;
    const QString path = dir.filePath("empty.csv");
    QVERIFY(writeFile(path, "old contents that are longer than the header\n"));
    QVERIFY(m.SaveDataToFile(path));
    QCOMPARE(readFile(path), QByteArray("timestamp(s),channel_1,\n"));
}

void TestSingleChannelDataModel::heldBackRowsAreNotSaved()
{
    QTemporaryDir dir;
    VRXSingleChannelDataModel m;
    m.AddData(1.0, 1.0);
    m.setAutoUpdate(false);
    m.AddData(2.0, 2.0);
    const QString path = dir.filePath("held.csv");
    QVERIFY(m.SaveDataToFile(path));
    QCOMPARE(readFile(path), QByteArray("timestamp(s),channel_1,\n1.000000000,1,\n"));
}

void TestSingleChannelDataModel::unopenableTargetsFailAndKeepWhatIsThere_data()
{
    QTest::addColumn<QString>("relativePath");
    QTest::newRow("empty name") << QString();
    QTest::newRow("missing folder") << QString("missing/sub/data.csv");
    QTest::newRow("path is a folder") << QString("folder");
}

void TestSingleChannelDataModel::unopenableTargetsFailAndKeepWhatIsThere()
{
    QFETCH(QString, relativePath);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    QVERIFY(writeFile(dir.filePath("folder/keep.txt"), "keep"));
    VRXSingleChannelDataModel m;
    m.AddData(1.0, 1.0);
    const QString path = relativePath.isEmpty() ? QString() : dir.filePath(relativePath);
    QVERIFY(!m.SaveDataToFile(path));
    QVERIFY(QFileInfo(dir.filePath("folder")).isDir());
    QCOMPARE(readFile(dir.filePath("folder/keep.txt")), QByteArray("keep"));
    QVERIFY(!QFileInfo::exists(dir.filePath("missing")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"folder"}));
}

void TestSingleChannelDataModel::deviceFailingPartWayFails_data()
{
    QTest::addColumn<qint64>("limit");
    QTest::newRow("nothing accepted") << qint64(0);
    QTest::newRow("inside the header") << qint64(10);
    QTest::newRow("after the first chunk") << qint64(70000);
}

void TestSingleChannelDataModel::deviceFailingPartWayFails()
{
    QFETCH(qint64, limit);
    VRXSingleChannelDataModel m;
    for (int i = 1; i <= 5000; ++i)
        m.AddData(i, i);
    corvid_test::FailingDevice device(limit);
    QVERIFY(!m.SaveDataToDevice(&device));

    corvid_test::FailingDevice roomy(std::numeric_limits<qint64>::max());
    QVERIFY(m.SaveDataToDevice(&roomy));
    QVERIFY(roomy.written.size() > 70000);
    QVERIFY(roomy.written.endsWith("5000.000000000,5000,\n"));

    QIODevice *closed = new QBuffer(this);
    QVERIFY(!m.SaveDataToDevice(closed));
    QVERIFY(!m.SaveDataToDevice(nullptr));
}

void TestSingleChannelDataModel::failedWriteLeavesOldFileIntact_data()
{
    deviceFailingPartWayFails_data();
}

void TestSingleChannelDataModel::failedWriteLeavesOldFileIntact()
{
    QFETCH(qint64, limit);
    QTemporaryDir dir;
    const QString path = dir.filePath("data.csv");
    const QByteArray old = "timestamp(s),channel_1,\n1.000000000,42,\n";
    QVERIFY(writeFile(path, old));

    VRXSingleChannelDataModel m;
    for (int i = 1; i <= 5000; ++i)
        m.AddData(i, i);
    {
        corvid_test::FailingSaveFile file(path, limit);
        QVERIFY(!m.SaveDataToFile(file));
    }
    QCOMPARE(readFile(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"data.csv"}));
}

void TestSingleChannelDataModel::failedCommitFails()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("target");
    QVERIFY(QDir(dir.path()).mkdir("target"));
    VRXSingleChannelDataModel m;
    m.AddData(1.0, 1.0);
    corvid_test::FailingSaveFile file(folder + "/data.csv", std::numeric_limits<qint64>::max());
    // The folder disappears while the new file is being written.
    file.midway = [folder]() { QDir(folder).removeRecursively(); };
    QVERIFY(!m.SaveDataToFile(file));
}

QTEST_MAIN(TestSingleChannelDataModel)
#include "tst_singlechanneldatamodel.moc"
