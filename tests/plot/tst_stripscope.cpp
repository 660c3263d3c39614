// The strip and scope passes: windows, scroll bar, sweeps, markers with
// their labels and statistics.

#include "PlotViewProbe.h"
#include "TestPlotModel.h"

#include <MeasurementUnit.h>
#include <VRXSeriesData.h>

#include <QtTest/QtTest>

#include <cmath>
#include <limits>

using namespace Corvid_Qt;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

struct ShownView {
    TestPlotModel model;
    PlotViewProbe view;

    explicit ShownView(int channels, int rows)
        : model(channels)
    {
        model.fill(rows);
        view.setModel(&model);
        view.show();
        static_cast<void>(QTest::qWaitForWindowExposed(&view));
        PlotViewProbe::settle();
    }

    double time(int row) const { return model.doubleData(row, 0); }

    /// One paint of the canvas, and so one pass, now.
    void paint() { view.qwtPlot()->canvas()->repaint(); }

    QwtPlotCurve *curve(int channel) const { return view.curve(QStringLiteral("Channel %1").arg(channel - 1)); }
};

bool near(double a, double b, double tolerance = 1e-9)
{
    return std::abs(a - b) <= tolerance;
}

} // namespace

class tst_StripScope : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void stripWindowWhileFilling();
    void stripWindowFollowsAndScrollsBack();
    void stripWidthHint();
    void stripFollowsARollingBuffer();
    void stripScrollsLongBuffersInCoarserUnits();

    void scopeCatchesUpOneSweepPerPaint();
    void scopeSweepsSurviveDroppedRows();
    void scopeRefreshDrawsTheLastSweepAgain();
    void scopeWithoutDataClearsLabels();

    void markerLabelsAndStatistics();
    void statisticsOnlyOnATimeAxis();
    void labelAlignment_data();
    void labelAlignment();
    void nearestCurveAndTheHintOfMarker1();
    void hiddenChannelIsNeverChosen();
    void markerWithoutASampleTakesTheMarkersAway();

    void normalizeAndClipping_data();
    void normalizeAndClipping();
    void axisTitles();

    void nonFiniteTimesAndValues();
    void timesSteppingBackAreScannedInOrder();
};

void tst_StripScope::stripWindowWhileFilling()
{
    ShownView shown(2, 100);
    const double d = (shown.time(100) - shown.time(1)) / 100.0;
    QVERIFY(near(shown.view.xLow(), shown.time(1) - 156 * d));
    QCOMPARE(shown.view.xHigh(), shown.time(100));
    QScrollBar *bar = shown.view.horizontalScrollBar();
    QVERIFY(bar->maximum() <= 0);
    QCOMPARE(bar->value(), bar->maximum());
    QVERIFY(!bar->isVisible());
    QCOMPARE(int(shown.curve(1)->dataSize()), 100);
}

void tst_StripScope::stripWindowFollowsAndScrollsBack()
{
    ShownView shown(1, 1000);
    const double t1 = shown.time(1);
    const double tn = shown.time(1000);
    QCOMPARE(shown.view.xLow(), shown.time(745));
    QCOMPARE(shown.view.xHigh(), tn);
    // The lines run one sample past the left edge.
    QCOMPARE(int(shown.curve(1)->dataSize()), 1000 - 744 + 1);
    QCOMPARE(shown.curve(1)->sample(0).x(), shown.time(744));

    QScrollBar *bar = shown.view.horizontalScrollBar();
    QVERIFY(bar->isVisible());
    const double width = tn - shown.time(745);
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), qRound((tn - t1 - width) * 100000.0));
    QCOMPARE(bar->pageStep(), int(width * 100000.0));
    QCOMPARE(bar->singleStep(), qRound(width * 100000.0 / 256));
    QCOMPARE(bar->value(), bar->maximum());

    // Dragged to the start: the window starts at the first sample ...
    bar->setValue(0);
    PlotViewProbe::settle();
    const double d = (tn - t1) / 1000.0;
    QCOMPARE(shown.view.xLow(), t1);
    QVERIFY(near(shown.view.xHigh(), t1 + d * 256));
    QCOMPARE(shown.curve(1)->sample(0).x(), t1);
    // ... and the lines stop one sample past the right edge.
    const QwtPlotCurve *curve = shown.curve(1);
    QVERIFY(curve->sample(curve->dataSize() - 1).x() > shown.view.xHigh());
    QVERIFY(curve->sample(curve->dataSize() - 2).x() <= shown.view.xHigh());

    // ... and stays there while data arrives.
    shown.model.fill(50);
    PlotViewProbe::settle();
    QCOMPARE(bar->value(), 0);
    QCOMPARE(shown.view.xLow(), t1);

    // Back at the end it follows again.
    bar->setValue(bar->maximum());
    PlotViewProbe::settle();
    shown.model.fill(10);
    PlotViewProbe::settle();
    QCOMPARE(shown.view.xHigh(), shown.time(1060));
    QCOMPARE(bar->value(), bar->maximum());
}

void tst_StripScope::stripWidthHint()
{
    ShownView shown(1, 1000);
    shown.model.hintWidth = 0.5;
    shown.model.fill(1);
    PlotViewProbe::settle();
    QCOMPARE(shown.view.xHigh(), shown.time(1001));
    QVERIFY(near(shown.view.xLow(), shown.time(1001) - 0.5));

    shown.view.horizontalScrollBar()->setValue(100000);
    PlotViewProbe::settle();
    QVERIFY(near(shown.view.xLow(), shown.time(1) + 1.0));
    QVERIFY(near(shown.view.xHigh(), shown.time(1) + 1.5));
}

void tst_StripScope::stripFollowsARollingBuffer()
{
    ShownView shown(1, 1000);
    for (int i = 0; i < 30; ++i)
        shown.model.rollRow(20.0 + i * 0.01, {1.0});
    PlotViewProbe::settle();
    QCOMPARE(shown.model.rowCount(), 1001);
    QCOMPARE(shown.view.xHigh(), 20.0 + 29 * 0.01);
    QCOMPARE(shown.view.xLow(), shown.time(1000 - 256 + 1));
    // The markers look rows up in the rolled buffer.
    shown.view.SelectPoint1(QPointF(20.095, 0.0));
    PlotViewProbe::settle();
    QCOMPARE(shown.view.plotMarker(0)->xValue(), 20.0 + 10 * 0.01);
    QVERIFY(shown.view.markerText(0).endsWith(QStringLiteral("\n1")));
}

void tst_StripScope::stripScrollsLongBuffersInCoarserUnits()
{
    // 1000 samples an hour apart: 3.6e6 s would overflow scroll units of 1e-5 s.
    TestPlotModel model(1);
    model.fill(1000, 3600.0, 3600.0);
    PlotViewProbe view;
    view.setModel(&model);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    PlotViewProbe::settle();
    QScrollBar *bar = view.horizontalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QVERIFY(bar->maximum() <= 1000000000);
    QCOMPARE(view.xLow(), model.doubleData(745, 0));

    bar->setValue(bar->maximum() / 2);
    PlotViewProbe::settle();
    const double start = model.doubleData(1, 0) + (model.doubleData(1000, 0) - model.doubleData(1, 0)
                                                   - (model.doubleData(1000, 0) - model.doubleData(745, 0))) / 2;
    QVERIFY2(std::abs(view.xLow() - start) < 3600.0, qPrintable(QString::number(view.xLow())));
}

void tst_StripScope::scopeCatchesUpOneSweepPerPaint()
{
    ShownView shown(2, 600);
    shown.view.SetPlotMode(VRXScopePlotView::ScopePlotMode);
    shown.paint();
    QCOMPARE(int(shown.curve(1)->dataSize()), 256);
    QCOMPARE(shown.curve(1)->sample(0).x(), shown.time(1));
    QCOMPARE(shown.view.xLow(), shown.time(1));
    QCOMPARE(shown.view.xHigh(), shown.time(256));

    // The first pass asked for the next sweep.
    shown.paint();
    QCOMPARE(shown.curve(1)->sample(0).x(), shown.time(257));
    QCOMPARE(shown.view.xHigh(), shown.time(512));

    // Rows 513 .. 600 are not a full sweep: the last one stays.
    shown.model.seriesRequests = 0;
    shown.paint();
    QCOMPARE(shown.model.seriesRequests, 0);
    QCOMPARE(shown.view.xLow(), shown.time(257));
    PlotViewProbe::settle();
    QCOMPARE(shown.model.seriesRequests, 0);

    // 168 more rows complete it.
    shown.model.fill(168);
    PlotViewProbe::settle();
    QCOMPARE(shown.view.xLow(), shown.time(513));
    QCOMPARE(shown.view.xHigh(), shown.time(768));
}

void tst_StripScope::scopeSweepsSurviveDroppedRows()
{
    ShownView shown(1, 600);
    shown.view.SetPlotMode(VRXScopePlotView::ScopePlotMode);
    PlotViewProbe::settle();
    QCOMPARE(shown.view.xHigh(), shown.time(512));
    const double lastDrawn = shown.time(512);

    // A full buffer drops its oldest row with every new one.
    for (int i = 0; i < 170; ++i)
        shown.model.rollRow(100.0 + i, {2.0});
    PlotViewProbe::settle();
    // The next sweep starts right after the last one drawn.
    QCOMPARE(shown.view.xLow(), shown.model.doubleData(343, 0));
    QCOMPARE(shown.model.doubleData(342, 0), lastDrawn);
}

void tst_StripScope::scopeRefreshDrawsTheLastSweepAgain()
{
    ShownView shown(1, 300);
    shown.view.SetPlotMode(VRXScopePlotView::ScopePlotMode);
    PlotViewProbe::settle();
    QCOMPARE(shown.view.xLow(), shown.time(1));
    shown.model.fill(256);
    PlotViewProbe::settle();
    QCOMPARE(shown.view.xLow(), shown.time(257));

    shown.model.seriesRequests = 0;
    shown.view.RequestReplotRefresh();
    PlotViewProbe::settle();
    QCOMPARE(shown.model.seriesRequests, 1);
    QCOMPARE(shown.view.xLow(), shown.time(257));
}

void tst_StripScope::scopeWithoutDataClearsLabels()
{
    ShownView shown(1, 300);
    shown.view.SetPlotMode(VRXScopePlotView::ScopePlotMode);
    shown.view.SelectPoint1(QPointF(shown.time(10), 0.0));
    PlotViewProbe::settle();
    QVERIFY(!shown.view.markerText(0).isEmpty());
    shown.model.Clear();
    PlotViewProbe::settle();
    QVERIFY(shown.view.attachedCurves().isEmpty());
    QVERIFY(shown.view.markerText(0).isEmpty());
    QVERIFY(shown.view.markerText(1).isEmpty());
}

void tst_StripScope::markerLabelsAndStatistics()
{
    // 300 rows: the window is rows 45 .. 300; channel 1 reads 10 + row - 1.
    ShownView shown(1, 300);
    shown.view.SelectPoint1(QPointF(0.495, 0.0));
    shown.view.SelectPoint2(QPointF(0.505, 0.0));
    PlotViewProbe::settle();
    QVERIFY(shown.view.markerShown(0));
    QVERIFY(shown.view.markerShown(1));
    QCOMPARE(shown.view.markerText(0), QStringLiteral("Time (seconds): 5.000e-01\nChannel 1\n59"));
    QCOMPARE(shown.view.markerText(1), QStringLiteral("Time (seconds): 5.100e-01\nChannel 1\n60\n"
                                                      "   Period:  1.000e-02 s\n"
                                                      "Frequency: 1.000e+02 Hz\n"
                                                      "      Sum:          119\n"
                                                      "     Mean:         59.5\n"
                                                      "      RMS:      59.5021\n"
                                                      " Std. Dev:     0.707107"));
    const QwtText label = shown.view.plotMarker(1)->label();
    QCOMPARE(label.color(), QColor(255, 255, 200, 255));
    QCOMPARE(label.backgroundBrush().color(), QColor(40, 40, 40, 130));
    QCOMPARE(label.font().family(), QStringLiteral("Monospace"));
    QCOMPARE(label.font().pointSize(), 9);
    QCOMPARE(shown.view.plotMarker(0)->linePen().color(), QColor(Qt::cyan));

    // The statistics span the rows between the markers, whichever is left.
    shown.view.SelectPoint1(QPointF(0.535, 0.0));
    PlotViewProbe::settle();
    QVERIFY(shown.view.markerText(1).contains(QStringLiteral("\n      Sum:          246\n")));
    QVERIFY(shown.view.markerText(1).contains(QStringLiteral("\n     Mean:         61.5\n")));
}

void tst_StripScope::statisticsOnlyOnATimeAxis()
{
    ShownView shown(1, 300);
    const Units::Hz rate;
    shown.model.setXUnits(&rate);
    shown.view.SelectPoint1(QPointF(0.495, 0.0));
    shown.view.SelectPoint2(QPointF(0.505, 0.0));
    PlotViewProbe::settle();
    QCOMPARE(shown.view.markerText(1), QStringLiteral("Rate (Hz): 5.100e-01\nChannel 1\n60"));
    QCOMPARE(shown.view.qwtPlot()->axisTitle(QwtPlot::xBottom).text(), QStringLiteral("Rate (Hz)"));
    shown.model.setXUnits(&VRXAbstractDeviceDataModel::defaultXUnits);
}

void tst_StripScope::labelAlignment_data()
{
    QTest::addColumn<double>("x0");
    QTest::addColumn<double>("x1");
    QTest::addColumn<int>("align0");
    QTest::addColumn<int>("align1");
    // Window 0.45 .. 3.0: the rightmost quarter starts at 2.3625, a quarter
    // of the width is 0.6375.
    const int right = Qt::AlignRight | Qt::AlignTop;
    const int left = Qt::AlignLeft | Qt::AlignTop;
    QTest::newRow("far apart") << 0.5 << 1.5 << right << right;
    QTest::newRow("close, 0 left of 1") << 0.5 << 0.6 << left << right;
    QTest::newRow("close, 1 left of 0") << 0.6 << 0.5 << right << left;
    QTest::newRow("same place") << 0.5 << 0.5 << left << right;
    QTest::newRow("both in the last quarter") << 2.5 << 2.9 << left << left;
    QTest::newRow("far, one in the last quarter") << 0.5 << 2.9 << right << left;
}

void tst_StripScope::labelAlignment()
{
    QFETCH(double, x0);
    QFETCH(double, x1);
    QFETCH(int, align0);
    QFETCH(int, align1);
    ShownView shown(1, 300);
    shown.view.SelectPoint1(QPointF(x0 - 0.001, 0.0));
    shown.view.SelectPoint2(QPointF(x1 - 0.001, 0.0));
    PlotViewProbe::settle();
    QCOMPARE(int(shown.view.plotMarker(0)->labelAlignment()), align0);
    QCOMPARE(int(shown.view.plotMarker(1)->labelAlignment()), align1);
}

void tst_StripScope::nearestCurveAndTheHintOfMarker1()
{
    // At row 50 the channels read 59, 69 and 79.
    ShownView shown(3, 300);
    shown.view.SelectPoint1(QPointF(0.495, 70.0));
    shown.view.SelectPoint2(QPointF(0.595, 100.0));
    PlotViewProbe::settle();
    QCOMPARE(shown.view.plotMarker(0)->yValue(), 69.0);
    QVERIFY(shown.view.markerText(0).contains(QStringLiteral("Channel 2\n69")));
    // Marker 1, clicked nearest channel 3, measures on marker 0's channel.
    QCOMPARE(shown.view.plotMarker(1)->yValue(), 79.0);
    QVERIFY(shown.view.markerText(1).contains(QStringLiteral("Channel 2\n79")));
    QVERIFY(shown.view.selectionModel()->isColumnSelected(2, QModelIndex()));
    QCOMPARE(shown.view.plotMarker(0)->linePen().color(), QColor(Qt::green));

    // Equal distance: the lower column stays.
    shown.view.SelectPoint1(QPointF(0.495, 64.0));
    PlotViewProbe::settle();
    QVERIFY(shown.view.markerText(0).contains(QStringLiteral("Channel 1\n59")));

    // The selection made by the pass binds the channel for later passes,
    // even when another curve passes closer to the marker.
    shown.model.setValue(50, 1, 500.0);
    PlotViewProbe::settle();
    QVERIFY(shown.view.markerText(0).contains(QStringLiteral("Channel 1\n500")));
}

void tst_StripScope::hiddenChannelIsNeverChosen()
{
    ShownView shown(3, 300);
    shown.model.names = QStringList{QStringLiteral("I1"), QStringLiteral("I2"), QStringLiteral("I3")};
    QVERIFY(shown.model.setData(shown.model.index(0, 2), Qt::Unchecked, Qt::CheckStateRole));
    shown.view.SelectPoint1(QPointF(0.495, 69.0));
    PlotViewProbe::settle();
    QCOMPARE(shown.view.attachedCurves().size(), 2);
    QVERIFY(!shown.view.curve(QStringLiteral("Channel 1")));
    QVERIFY(shown.view.markerText(0).contains(QStringLiteral("Channel I1\n59")));

    // Bound to the hidden channel by a selection, the marker measures nothing.
    shown.view.selectionModel()->select(shown.model.index(0, 2),
                                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Columns);
    PlotViewProbe::settle();
    QVERIFY(!shown.view.markerText(0).contains(QStringLiteral("I2")));
    QVERIFY(shown.view.markerText(0).endsWith(QStringLiteral("\n0")));
}

void tst_StripScope::markerWithoutASampleTakesTheMarkersAway()
{
    ShownView shown(1, 100);
    // The newest sample lies at 1.0; nothing is at or after 5.0.
    shown.view.SelectPoint1(QPointF(0.5, 0.0));
    shown.view.SelectPoint2(QPointF(0.6, 0.0));
    PlotViewProbe::settle();
    QVERIFY(shown.view.markerShown(0));
    shown.view.SelectPoint1(QPointF(5.0, 0.0));
    PlotViewProbe::settle();
    QVERIFY(!shown.view.markerShown(0));
    QVERIFY(!shown.view.markerShown(1));
    QVERIFY(!shown.view.selectionModel()->hasSelection());
    QVERIFY(!shown.view.markerText(1).contains(QStringLiteral("Period")));
}

void tst_StripScope::normalizeAndClipping_data()
{
    QTest::addColumn<int>("scale");
    QTest::addColumn<bool>("clip");
    QTest::addColumn<double>("peak");
    QTest::newRow("auto") << int(VRXScopePlotView::PlotScaleAuto) << false << 309.0;
    QTest::newRow("normalize") << int(VRXScopePlotView::PlotScaleNormalize) << false << 1.0;
    QTest::newRow("100") << int(VRXScopePlotView::PlotScale100) << false << 309.0;
    QTest::newRow("50") << int(VRXScopePlotView::PlotScale50) << true << 309.0;
    QTest::newRow("0.01") << int(VRXScopePlotView::PlotScale0_01) << true << 309.0;
}

void tst_StripScope::normalizeAndClipping()
{
    QFETCH(int, scale);
    QFETCH(bool, clip);
    QFETCH(double, peak);
    ShownView shown(1, 300);
    shown.view.SetYScaleMode(scale);
    PlotViewProbe::settle();
    QwtPlotCurve *curve = shown.curve(1);
    QCOMPARE(curve->testPaintAttribute(QwtPlotCurve::ClipPolygons), clip);
    QCOMPARE(curve->sample(curve->dataSize() - 1).y(), peak);
    QCOMPARE(shown.view.qwtPlot()->axisTitle(QwtPlot::yLeft).text(),
             scale == VRXScopePlotView::PlotScaleNormalize ? QStringLiteral("Relative Value") : QStringLiteral("A"));
}

void tst_StripScope::axisTitles()
{
    ShownView shown(1, 50);
    QwtPlot *plot = shown.view.qwtPlot();
    QCOMPARE(plot->axisTitle(QwtPlot::xBottom).text(), QStringLiteral("Time (seconds)"));
    QVERIFY(plot->axisTitle(QwtPlot::xBottom).font().bold());
    QCOMPARE(plot->axisTitle(QwtPlot::xBottom).font().pointSize(), 8);
    QCOMPARE(plot->axisTitle(QwtPlot::yLeft).font().pointSize(), 10);
    const Units::mA milliamps;
    shown.model.SetUnits(&milliamps);
    PlotViewProbe::settle();
    QCOMPARE(plot->axisTitle(QwtPlot::yLeft).text(), QStringLiteral("Current (mA)"));
    shown.model.SetUnits(nullptr);
    PlotViewProbe::settle();
    QCOMPARE(plot->axisTitle(QwtPlot::yLeft).text(), QStringLiteral("Number"));
    shown.model.SetUnits(&VRXAbstractDeviceDataModel::defaultUnits);
}

void tst_StripScope::nonFiniteTimesAndValues()
{
    ShownView shown(2, 300);
    shown.model.setValue(290, 1, kNaN);
    shown.model.setValue(291, 2, std::numeric_limits<double>::infinity());
    shown.model.setTime(150, kNaN);
    shown.view.SelectPoint1(QPointF(2.895, 0.0));
    PlotViewProbe::settle();
    QCOMPARE(shown.view.xHigh(), shown.time(300));
    QCOMPARE(shown.view.attachedCurves().size(), 2);
    QVERIFY(!shown.view.grab().isNull());

    // The newest time not finite: no window, nothing drawn, nothing crashes.
    shown.model.appendRow(kNaN, {1.0, 2.0});
    PlotViewProbe::settle();
    QVERIFY(shown.view.attachedCurves().isEmpty());
    QVERIFY(!shown.view.grab().isNull());

    shown.view.SetPlotMode(VRXScopePlotView::ScopePlotMode);
    shown.model.fill(600);
    PlotViewProbe::settle();
    QVERIFY(!shown.view.grab().isNull());
}

void tst_StripScope::timesSteppingBackAreScannedInOrder()
{
    // Times 1..5, then back to 1.5..5.5: the first sample at or after 2.2 is
    // row 3 (time 3), which a search that takes the times as sorted could miss.
    TestPlotModel model(1);
    model.append({1, 2, 3, 4, 5, 1.5, 2.5, 3.5, 4.5, 5.5}, {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}});
    PlotViewProbe view;
    view.setModel(&model);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.SelectPoint1(QPointF(4.7, 0.0));
    PlotViewProbe::settle();
    QCOMPARE(view.plotMarker(0)->xValue(), 5.0);
    QVERIFY(view.markerText(0).endsWith(QStringLiteral("\n5")));

    // Once the step back has left the buffer, the rest is in order again.
    for (int i = 0; i < 6; ++i)
        model.rollRow(6.0 + i, {20.0 + i});
    view.SelectPoint1(QPointF(7.5, 0.0));
    PlotViewProbe::settle();
    QCOMPARE(view.plotMarker(0)->xValue(), 8.0);
    QVERIFY(view.markerText(0).endsWith(QStringLiteral("\n22")));
}

QTEST_MAIN(tst_StripScope)
#include "tst_stripscope.moc"
