#include "ModelTestHelpers.h"
#include "TablePlotModel.h"

#include <MeasurementUnit.h>
#include <VRXSeriesData.h>
#include <VRXSingleChannelDataModel.h>

#include <QtCore/QLoggingCategory>
#include <QtTest/QAbstractItemModelTester>
#include <cmath>
#include <memory>

using namespace Corvid_Qt;
using corvid_test::Follower;
using corvid_test::SignalLog;

const double kNaN = std::numeric_limits<double>::quiet_NaN();

class TestSingleChannelDataModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<const Units::MeasurementUnit *>("const Corvid_Qt::Units::MeasurementUnit*"); }

    void eachOperationAnnouncesWhatChanged_data()
    {
        // "+n": n samples at the next timestamps, "@t": one at timestamp t, "u": UpdateView(),
        // "on"/"off": auto-update, "c": Clear(), "C": a listener clears it as rows are removed;
        // what follows "|" is logged.
        QTest::addColumn<int>("capacity");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("log");
        QTest::addColumn<QVector<double>>("timestamps");
        using Times = QVector<double>;
        const QString fresh = "aboutToReset; reset; aboutToInsert 1-1 rows=1; inserted 1-1 rows=2";
        QTest::newRow("repeated timestamp dropped, earlier one kept")
            << 10 << "+2 | @2 @1.5" << "aboutToInsert 3-3 rows=3; inserted 3-3 rows=4" << Times{1, 2, 1.5};
        QTest::newRow("timestamp 0 starts afresh, every time") << 10 << "+2 | @0 @0" << fresh + "; " + fresh << Times{0};
        QTest::newRow("full buffer removes row 1, then inserts the new last row")
            << 3 << "+3 | +1" << "aboutToRemove 1-1 rows=4; removed 1-1 rows=3; aboutToInsert 3-3 rows=3; inserted 3-3 rows=4"
            << Times{2, 3, 4};
        QTest::newRow("auto-update off publishes in one batch")
            << 20 << "off | +10 u u" << "aboutToInsert 1-10 rows=1; inserted 1-10 rows=11" << Times{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
        QTest::newRow("unpublished samples wrap silently")
            << 5 << "off | +12 u" << "aboutToInsert 1-5 rows=1; inserted 1-5 rows=6" << Times{8, 9, 10, 11, 12};
        QStringList drain;
        for (int rows = 6; rows > 1; --rows)
            drain << QStringLiteral("aboutToRemove 1-1 rows=%1; removed 1-1 rows=%2").arg(rows).arg(rows - 1);
        QTest::newRow("shown rows drain while auto-update is off, and no further")
            << 5 << "+5 off | +15 u" << drain.join("; ") + "; aboutToInsert 1-5 rows=1; inserted 1-5 rows=6" << Times{16, 17, 18, 19, 20};
        QTest::newRow("auto-update on publishes held rows with the next sample")
            << 5 << "off +2 on | +1" << "aboutToInsert 1-3 rows=1; inserted 1-3 rows=4" << Times{1, 2, 3};
        QTest::newRow("... also when full and partly unseen")
            << 5 << "off +2 on +1 off +2 on | +1"
            << "aboutToRemove 1-1 rows=4; removed 1-1 rows=3; aboutToInsert 3-5 rows=3; inserted 3-5 rows=6" << Times{2, 3, 4, 5, 6};
        QTest::newRow("clear") << 5 << "+3 | c" << "aboutToReset; reset" << Times{};
        QTest::newRow("cleared between the removal and the insertion of a full buffer")
            << 3 << "+3 | C +1" << "aboutToRemove 1-1 rows=4; removed 1-1 rows=3; aboutToReset; reset" << Times{};
        QTest::newRow("timestamps that are not finite dropped")
            << 10 << "+2 | @nan @inf @-inf +1 @nan" << "aboutToInsert 3-3 rows=3; inserted 3-3 rows=4" << Times{1, 2, 3};
        QTest::newRow("... also by a full buffer") << 3 << "+3 | @nan @-inf" << "" << Times{1, 2, 3};
        QTest::newRow("... and held back by none") << 5 << "+1 off | @inf u" << "" << Times{1};
    }

    void eachOperationAnnouncesWhatChanged()
    {
        QFETCH(int, capacity);
        QFETCH(QString, script);
        VRXSingleChannelDataModel m(capacity);
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        Follower follower(&m, 0);
        std::unique_ptr<SignalLog> log;
        int t = 1;
        for (const QString &op : script.split(' ')) {
            if (op == "|")
                log = std::make_unique<SignalLog>(&m);
            else if (op.startsWith('+'))
                for (int i = op.mid(1).toInt(); i > 0; --i, ++t)
                    m.AddData(t, 10.0 * t);
            else if (op.startsWith('@'))
                m.AddData(op.mid(1).toDouble(), 1.0);
            else if (op == "u" || op == "c")
                op == "u" ? m.UpdateView() : m.Clear();
            else if (op == "C")
                QObject::connect(&m, &QAbstractItemModel::rowsRemoved, &m, [&m]() { m.Clear(); });
            else
                m.setAutoUpdate(op == "on");
        }
        QTEST(log->text, "log");
        QTEST(follower.actual(), "timestamps");
        QCOMPARE(follower.seen(), follower.actual());
        QVERIFY(std::isnan(m.doubleData(m.rowCount(), 1))); // nothing beyond the published rows
        QVERIFY(!m.index(m.rowCount(), 0).isValid());
    }

    void droppedTimestampsLogOneLinePerBurst()
    {
        static int lines = 0;
        lines = 0;
        QLoggingCategory::setFilterRules(QStringLiteral("corvid.qt.models.debug=true"));
        const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &) {
            lines += type == QtDebugMsg && qstrcmp(context.category, "corvid.qt.models") == 0;
        });
        VRXSingleChannelDataModel m(10);
        for (double t : {kNaN, kNaN, qInf(), 1.0, 2.0, -qInf(), kNaN, 3.0})
            m.AddData(t, 1.0);
        qInstallMessageHandler(previous);
        QLoggingCategory::setFilterRules(QString());
        QCOMPARE(lines, 2);
    }

    void unitsScaleWhatIsShownAndTheHeaderNamesAndChecksTheChannel()
    {
        Units::mA milliamps;
        VRXSingleChannelDataModel m;
        QSignalSpy units(&m, &VRXAbstractDeviceDataModel::unitsChanged);
        SignalLog log(&m);
        m.SetUnits(&milliamps); // no rows to repaint
        m.AddData(12.3416, 0.002);
        m.AddData(13.0, 0.004);
        m.SetUnits(&VRXAbstractDeviceDataModel::defaultUnits);
        QVERIFY(m.setData(m.index(0, 1), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(m.setData(m.index(0, 1), Qt::Unchecked, Qt::CheckStateRole)); // no change, no signal
        QVERIFY(!m.setData(m.index(1, 1), Qt::Checked, Qt::CheckStateRole) && !m.setData(m.index(0, 1), true, Qt::EditRole));
        m.setChannelName(QStringLiteral("I7"));
        m.setChannelName(QStringLiteral("I7"));
        QCOMPARE(log.text, QString("aboutToInsert 1-1 rows=1; inserted 1-1 rows=2; aboutToInsert 2-2 rows=2; inserted 2-2 rows=3; "
                                   "dataChanged 1,1-2,1; dataChanged 0,1-0,1; dataChanged 0,1-0,1; header 1-1"));
        QCOMPARE(units.count(), 2);
        QCOMPARE(m.headerData(1, Qt::Horizontal).toString(), QStringLiteral("I7"));
        m.setChannelName(QString());
        QCOMPARE(m.index(0, 1).data().toString(), QStringLiteral("1"));
        m.SetUnits(&milliamps);
        QCOMPARE(m.doubleData(1, 1), 2.0);
        QCOMPARE(m.doubleData(1, 0), 12.3416);
        QCOMPARE(m.index(1, 1).data().toString(), QString("2.000e+00"));
        QCOMPARE(m.index(1, 1).data(DataRole).toDouble(), 2.0);
    }

    void seriesCoverRequestedRowsAndBoundsSkipNaN()
    {
        VRXSingleChannelDataModel rows;
        for (int i = 1; i <= 10; ++i)
            rows.AddData(i, i * 2);
        // (start, end) -> size: to the end, rows 1..5, past the end, from row 4, start past the end
        const int cases[][3] = {{1, -1, 10}, {1, 5, 5}, {1, 20, 10}, {4, 0, 7}, {12, -1, 0}};
        for (const auto &c : cases) {
            std::unique_ptr<QwtSeriesData<QPointF>> series(rows.seriesData(1, c[0], c[1]));
            QCOMPARE(int(series->size()), c[2]);
            QVERIFY(c[2] == 0 || series->sample(0) == QPointF(c[0], c[0] * 2));
        }
        // Values that are not finite count for nothing, first of all included;
        // bounds are kept once valid and recomputed after a scale change.
        const auto own = [](QwtSeriesData<QPointF> *series) {
            return std::unique_ptr<VRXSeriesData>(static_cast<VRXSeriesData *>(series));
        };
        VRXSingleChannelDataModel m, wild;
        for (double v : {1.0, kNaN, 3.0})
            m.AddData(m.rowCount() - 1, v);
        for (double v : {qInf(), 1.0, -qInf(), 5.0, 2.0, -qInf()})
            wild.AddData(wild.rowCount(), v);
        const auto series = own(m.seriesData(1, 1, -1));
        QCOMPARE(series->boundingRect(), QRectF(0.0, 1.0, 2.0, 2.0));
        QCOMPARE(own(wild.seriesData(1, 1, -1))->boundingRect(), QRectF(2.0, 1.0, 3.0, 4.0));
        m.AddData(3.0, 100.0);
        QCOMPARE(series->boundingRect(), QRectF(0.0, 1.0, 2.0, 2.0));
        series->setScale(10.0);
        QCOMPARE(series->boundingRect(), QRectF(0.0, 0.1, 3.0, 9.9));

        // Times are shared only between series over the same rows.
        const auto first = own(rows.seriesData(1, 1, 8)), same = own(rows.seriesData(1, 1, 8));
        const auto later = own(rows.seriesData(1, 3, -1)), shorter = own(rows.seriesData(1, 1, 5));
        for (VRXSeriesData *other : {same.get(), later.get(), shorter.get()}) {
            const size_t rowsAsked = other->size();
            other->shareTimes(*first);
            for (size_t i = 0; i < rowsAsked; ++i) {
                const double row = other->startRow() + int(i);
                QCOMPARE(QPointF(other->xData()[i], other->yData()[i]), QPointF(row, 2 * row));
            }
            QCOMPARE(other->size(), rowsAsked);
        }
        QCOMPARE(same->xData(), first->xData());

        // Series sharing the times of one whose samples are all finite take
        // its time extent, but one with a NaN still leaves out that time.
        corvid_test::TablePlotModel table(5, 4);
        table.setData(table.index(4, 2), kNaN);
        const auto finite = own(table.seriesData(1, 1, -1)), gappy = own(table.seriesData(2, 1, -1));
        const auto alsoFinite = own(table.seriesData(3, 1, -1));
        gappy->shareTimes(*finite);
        alsoFinite->shareTimes(*finite);
        QCOMPARE(finite->boundingRect(), QRectF(100, 101, 300, 300));
        QCOMPARE(gappy->boundingRect(), QRectF(100, 102, 200, 200));
        QCOMPARE(alsoFinite->boundingRect(), QRectF(100, 103, 300, 300));
    }

    void savedLinesKeepEveryDigit_data()
    {
        QTest::addColumn<double>("timestamp");
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("line");
        const auto row = [](const char *name, double t, double v, const char *line) { QTest::newRow(name) << t << v << QByteArray(line); };
        // Six significant digits made 1.000001e-6 A into 1e-06.
        row("seventh digit", 1.0, 1.000001e-6, "1.000000000,1.000001e-06,");
        row("all 17 digits", 2.0, 0.1 + 0.2, "2.000000000,0.30000000000000004,");
        row("epoch time", 1700000000.123456789, -2.5e-15, "1700000000.123456717,-2.5e-15,");
        row("tiny", 3.0, 4.9406564584124654e-324, "3.000000000,5e-324,");
        row("huge", 4.0, 1.7976931348623157e308, "4.000000000,1.7976931348623157e+308,");
        row("decimal below 1e-4", 6.0, 0.00012, "6.000000000,0.00012,");
        row("scientific below", 7.0, -1e-5, "7.000000000,-1e-05,");
        row("zeros kept", 8.0, 120000.0, "8.000000000,120000,");
        row("zeros folded", 9.0, 1.2e7, "9.000000000,1.2e+07,");
        row("tiny timestamp, zero", 1e-10, 0.0, "0.000000000,0,");
        row("negative timestamp, a third", -8.0, 1.0 / 3.0, "-8.000000000,0.3333333333333333,");
        row("NaN", 6.0, kNaN, "6.000000000,nan,");
        row("infinity", 7.0, -qInf(), "7.000000000,-inf,");
    }

    // Values are written as stored, in base units, and held-back rows not at all;
    // the file replaces a longer one whole.
    void savedLinesKeepEveryDigit()
    {
        QFETCH(double, timestamp);
        QFETCH(double, value);
        QFETCH(QByteArray, line);
        QTemporaryDir dir;
        const QString path = dir.filePath("data.csv");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write(QByteArray(200, 'x') + '\n') > 0);
        old.close();
        VRXSingleChannelDataModel m;
        m.AddData(timestamp, value);
        m.setAutoUpdate(false);
        m.AddData(timestamp + 1, 9.0);
        Units::mA milliamps;
        m.SetUnits(&milliamps);
        QVERIFY(m.SaveDataToFile(path));
        QCOMPARE(corvid_test::readFile(path), "timestamp(s),channel_1,\n" + line + '\n');
        if (std::isfinite(value))
            QCOMPARE(line.split(',').at(1).toDouble(), value);
    }

    void failedSaveReturnsFalseAndKeepsTheOldFile_data() { corvid_test::saveFailureRows(); }

    void failedSaveReturnsFalseAndKeepsTheOldFile()
    {
        VRXSingleChannelDataModel m;
        for (int i = 1; i <= 2000; ++i)
            m.AddData(i, i);
        corvid_test::checkSaveFails(m);
    }
};

QTEST_MAIN(TestSingleChannelDataModel)
#include "tst_singlechanneldatamodel.moc"
