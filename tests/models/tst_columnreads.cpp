// A range read through any level of the usual chain gives, value for value,
// what doubleData() gives row by row.

#include <MeasurementUnit.h>
#include <VRXAveragingProxyModel.h>
#include <VRXMultichannelProxyModel.h>
#include <VRXSeriesData.h>
#include <VRXSingleChannelDataModel.h>
#include <VRXZeroingProxyModel.h>

#include <QtTest/QtTest>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

using namespace Corvid_Qt;

namespace {

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

class tst_ColumnReads : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rangeMatchesRowReads_data();
    void rangeMatchesRowReads();
    void seriesReadWholeMatchesRowReads();
    void laggingSourceReadsAsItsRows();
};

void tst_ColumnReads::rangeMatchesRowReads_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("firstRow");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("capacity");
    const char *names[] = {"single", "merged", "averaged", "zeroed"};
    for (int level = 0; level < 4; ++level) {
        const int columns = level == 0 ? 1 : 3;
        for (int column = 0; column <= columns; ++column) {
            const QByteArray at = QByteArray(names[level]) + " column " + QByteArray::number(column);
            QTest::newRow(at + ", all rows") << level << column << 1 << 40 << 100000;
            QTest::newRow(at + ", header and past the end") << level << column << 0 << 45 << 100000;
            QTest::newRow(at + ", before the header") << level << column << -2 << 5 << 100000;
            QTest::newRow(at + ", beyond the end") << level << column << 41 << 3 << 100000;
            // Ranges on either side of the wrap and across it.
            for (int first : {1, 9, 20})
                QTest::newRow(at + ", wrapped from " + QByteArray::number(first)) << level << column << first << 12 << 25;
        }
    }
    QTest::newRow("merged, short source's rows repeat") << 1 << 3 << 5 << 30 << 100000;
    QTest::newRow("zeroed, empty range") << 3 << 2 << 3 << 0 << 100000;
}

void tst_ColumnReads::rangeMatchesRowReads()
{
    QFETCH(int, level);
    QFETCH(int, column);
    QFETCH(int, firstRow);
    QFETCH(int, count);
    QFETCH(int, capacity);
    Chain chain(capacity);
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

void tst_ColumnReads::seriesReadWholeMatchesRowReads()
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

// Full buffers, one a sample ahead: the other's rows sit one lower in the
// merged table until its sample arrives, in range reads as in row reads.
void tst_ColumnReads::laggingSourceReadsAsItsRows()
{
    VRXSingleChannelDataModel ahead(3), behind(3);
    for (int i = 1; i <= 3; ++i) {
        ahead.AddData(i, 10.0 * i);
        behind.AddData(i, 100.0 * i);
    }
    VRXMultichannelProxyModel merged;
    merged.addSourceModel(&ahead);
    merged.addSourceModel(&behind);
    ahead.AddData(4, 40.0);
    const int rows = merged.rowCount() - 1;
    QVERIFY(rows >= 1);
    for (int column = 0; column <= 2; ++column) {
        std::vector<double> values(static_cast<size_t>(rows));
        merged.doubleDataRange(column, 1, rows, values.data());
        for (int r = 1; r <= rows; ++r)
            QVERIFY2(sameBits(values[size_t(r - 1)], merged.doubleData(r, column)),
                     qPrintable(QStringLiteral("column %1 row %2: %3, expected %4")
                                    .arg(column).arg(r).arg(values[size_t(r - 1)]).arg(merged.doubleData(r, column))));
    }
}

QTEST_MAIN(tst_ColumnReads)
#include "tst_columnreads.moc"
