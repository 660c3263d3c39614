// The time index of the plot view on its own: rows found by time in sorted
// buffers, in buffers that step back in time, and across buffer changes.
#include <PlotTimeIndex_p.h>

#include <QtTest/QtTest>

#include <cmath>
#include <limits>

using Corvid_Qt::PlotTimeIndex;

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();

// Row 0 is the header; rows 1..n hold the times.
struct Buffer {
    QVector<double> times;
    int lastRow() const { return times.size(); }
    double operator()(int row) const { return times.at(row - 1); }
};

} // namespace

class TestPlotTimeIndex : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void findsTheBoundRow_data();
    void findsTheBoundRow();
    void followsBufferChanges();
};

void TestPlotTimeIndex::findsTheBoundRow_data()
{
    QTest::addColumn<QVector<double>>("times");
    QTest::addColumn<double>("t");
    QTest::addColumn<int>("atOrAfter");
    QTest::addColumn<int>("after");
    QTest::addColumn<bool>("sorted");

    const QVector<double> sorted{1, 2, 2, 2, 5, 8};
    QTest::newRow("before the first") << sorted << 0.0 << 1 << 1 << true;
    QTest::newRow("on the first") << sorted << 1.0 << 1 << 2 << true;
    QTest::newRow("on a run of equal times") << sorted << 2.0 << 2 << 5 << true;
    QTest::newRow("between two times") << sorted << 3.0 << 5 << 5 << true;
    QTest::newRow("on the last") << sorted << 8.0 << 6 << -1 << true;
    QTest::newRow("past the last") << sorted << 9.0 << -1 << -1 << true;
    QTest::newRow("NaN is never reached") << sorted << NaN << -1 << -1 << true;
    QTest::newRow("one row") << QVector<double>{4} << 4.0 << 1 << -1 << true;
    QTest::newRow("no rows") << QVector<double>{} << 4.0 << -1 << -1 << true;
    // Out of order, the first row from the front at the bound wins.
    QTest::newRow("step back") << QVector<double>{1, 6, 3, 7} << 5.0 << 2 << 2 << false;
    QTest::newRow("step back, later row") << QVector<double>{1, 6, 3, 7} << 6.5 << 4 << 4 << false;
    QTest::newRow("NaN in the buffer") << QVector<double>{1, NaN, 3, 4} << 3.0 << 3 << 4 << false;
}

void TestPlotTimeIndex::findsTheBoundRow()
{
    QFETCH(QVector<double>, times);
    QFETCH(double, t);
    QFETCH(int, atOrAfter);
    QFETCH(int, after);
    QFETCH(bool, sorted);

    const Buffer buffer{times};
    PlotTimeIndex index;
    QCOMPARE(index.firstRow(PlotTimeIndex::AtOrAfter, t, buffer.lastRow(), buffer), atOrAfter);
    QCOMPARE(index.firstRow(PlotTimeIndex::After, t, buffer.lastRow(), buffer), after);
    if (buffer.lastRow() > 0)
        QCOMPARE(index.sorted(buffer.lastRow(), buffer), sorted);
}

void TestPlotTimeIndex::followsBufferChanges()
{
    Buffer buffer{{1, 2, 3, 4, 5}};
    PlotTimeIndex index;
    QVERIFY(index.sorted(5, buffer));
    QCOMPARE(index.checkedRows(), 5);

    // A new row earlier than its predecessor turns the search into a scan.
    buffer.times << 0.5;
    QVERIFY(!index.sorted(6, buffer));
    QCOMPARE(index.firstRow(PlotTimeIndex::AtOrAfter, 0.0, 6, buffer), 1);

    // Dropping the oldest rows keeps the step back, at its new row.
    buffer.times.remove(0, 2);
    index.removeRows(1, 2);
    QCOMPARE(index.checkedRows(), 4);
    QVERIFY(!index.sorted(4, buffer));

    // Rewriting the rows from the step back on clears it.
    buffer.times[3] = 9;
    index.invalidateFrom(4);
    QVERIFY(index.sorted(4, buffer));
    QCOMPARE(index.firstRow(PlotTimeIndex::After, 5.0, 4, buffer), 4);

    // Rows gone without notice: the index starts over.
    buffer.times.resize(2);
    index.forgetRowsAfter(2);
    QCOMPARE(index.checkedRows(), 0);
    QVERIFY(index.sorted(2, buffer));

    // A changed row inside the checked ones is checked again.
    buffer.times[0] = 7;
    index.invalidateFrom(1);
    QVERIFY(!index.sorted(2, buffer));
}

QTEST_APPLESS_MAIN(TestPlotTimeIndex)
#include "tst_plottimeindex.moc"
