// The plot view's plumbing: models, coalesced plot passes, modes, Y scales,
// markers and the selection, and the item view overrides.

#include "PlotViewProbe.h"
#include "TestPlotModel.h"

#include <ChannelNameDraw.h>
#include <ChannelNumberDraw.h>
#include <VRXPlotColors.h>
#include <VRXPositionPlot.h>
#include <VRXSpectrogram.h>
#include <VRXSplitPlot.h>
#include <VRX_HistogramItemAxisWidget.h>

#include <QtGui/QStandardItemModel>
#include <QtTest/QtTest>
#include <QtWidgets/QLabel>
#include <QtWidgets/QVBoxLayout>

#include <qwt_plot_canvas.h>
#include <qwt_scale_map.h>
#include <qwt_symbol.h>
#include <qwt_scale_widget.h>

using namespace Corvid_Qt;

namespace {

struct ShownView {
    TestPlotModel model;
    PlotViewProbe view;

    explicit ShownView(int channels, int rows = 50)
        : model(channels)
    {
        model.fill(rows);
        view.setModel(&model);
        view.show();
        static_cast<void>(QTest::qWaitForWindowExposed(&view));
        PlotViewProbe::settle();
    }
};

QwtInterval leftAxis(const PlotViewProbe &view)
{
    view.qwtPlot()->updateAxes();
    return view.qwtPlot()->axisScaleDiv(QwtPlot::yLeft).interval();
}

QwtScaleDiv axis(const PlotViewProbe &view, int axisId)
{
    view.qwtPlot()->updateAxes();
    return view.qwtPlot()->axisScaleDiv(axisId);
}

} // namespace

class tst_ScopePlotView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void constructionLayout();
    void metaObjectSlots();

    void plotModelGetsOneCurvePerChannel();
    void plainItemModelIsNoModel();
    void modelDestroyedUnderTheView();
    void resetRebuildsCurvesOnlyWhenChannelsChange();

    void modelSignalsBeforeAPaintCostOnePass_data();
    void modelSignalsBeforeAPaintCostOnePass();
    void hiddenViewWaitsForItsNextPaint();
    void bufferSizeLabelCountsTheRootModel();

    void plotModesShowTheirWidget_data();
    void plotModesShowTheirWidget();
    void outOfRangeModesAndModesWithoutModelAreIgnored();
    void histogramModeChannelAxis_data();
    void histogramModeChannelAxis();

    void yScales_data();
    void yScales();
    void setRangeReportsChanges();

    void clickedMarkersAndDisabledMarkers();
    void sharedSelectionRequestsARefreshOwnSelectionDoesNot();
    void emptySelectionTakesMarkersAway();

    void markerLabelsDrawAsQwtDoes_data();
    void markerLabelsDrawAsQwtDoes();

    void moreChannelsThanCurves();
    void curveColoursFollowPlotColors();

    void scrollToHints_data();
    void scrollToHints();
    void remainingOverrides();
};

void tst_ScopePlotView::constructionLayout()
{
    PlotViewProbe view;
    auto *layout = qobject_cast<QVBoxLayout *>(view.viewport()->layout());
    QVERIFY(layout);
    QCOMPARE(layout->objectName(), QStringLiteral("verticalLayout"));
    QCOMPARE(layout->spacing(), 0);
    QCOMPARE(layout->count(), 8);
    QCOMPARE(layout->itemAt(0)->widget(), static_cast<QWidget *>(view.splitPlot()));
    QCOMPARE(layout->itemAt(1)->widget(), static_cast<QWidget *>(view.positionPlot()));
    QCOMPARE(layout->itemAt(2)->widget(), static_cast<QWidget *>(view.spectrogram()));
    for (int i = 3; i < 7; ++i)
        QVERIFY(qobject_cast<VRX_HistogramItemAxisWidget *>(layout->itemAt(i)->widget()));
    QCOMPARE(layout->itemAt(7)->widget(), static_cast<QWidget *>(view.qwtPlot()));
    QCOMPARE(view.qwtPlot()->objectName(), QStringLiteral("qwtPlot"));
    QCOMPARE(view.viewport()->windowTitle(), QStringLiteral("Plot"));

    QCOMPARE(view.plotMode(), VRXScopePlotView::StripPlotMode);
    QCOMPARE(view.yScaleMode(), int(VRXScopePlotView::PlotScaleAuto));
    QVERIFY(!view.markerShown(0));
    QVERIFY(!view.markerShown(1));
    QVERIFY(view.plotMarker(2).isNull());
}

void tst_ScopePlotView::metaObjectSlots()
{
    const QMetaObject *meta = &VRXScopePlotView::staticMetaObject;
    QStringList names;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        QCOMPARE(meta->method(i).methodType(), QMetaMethod::Slot);
        names << QString::fromLatin1(meta->method(i).methodSignature());
    }
    // dataChanged carries the roles of Qt 5 and its two-argument clone.
    QCOMPARE(names, QStringList({"dataChanged(QModelIndex,QModelIndex,QVector<int>)",
                                 "dataChanged(QModelIndex,QModelIndex)", "rowsInserted(QModelIndex,int,int)",
                                 "rowsAboutToBeRemoved(QModelIndex,int,int)",
                                 "selectionChanged(QItemSelection,QItemSelection)", "doItemsLayout()",
                                 "SetPlotMode(int)", "SetYScaleMode(int)", "SetPositiveOnly(bool)", "Plot()",
                                 "RequestReplot()", "RequestReplotRefresh()", "SelectPoint1(QPointF)",
                                 "SelectPoint2(QPointF)", "scrollTo(int)"}));
    QCOMPARE(meta->propertyCount(), meta->propertyOffset());
}

void tst_ScopePlotView::plotModelGetsOneCurvePerChannel()
{
    ShownView shown(3);
    const QList<QwtPlotCurve *> curves = shown.view.attachedCurves();
    QCOMPARE(curves.size(), 3);
    QVERIFY(shown.view.curve(QStringLiteral("Channel 0")));
    QVERIFY(shown.view.curve(QStringLiteral("Channel 2")));
    QVERIFY(shown.view.curve(QStringLiteral("Channel 0"))->testPaintAttribute(QwtPlotCurve::ClipPolygons) == false);
    QCOMPARE(shown.view.curve(QStringLiteral("Channel 0"))->style(), QwtPlotCurve::Lines);
}

void tst_ScopePlotView::plainItemModelIsNoModel()
{
    ShownView shown(2);
    QStandardItemModel plain(5, 3);
    shown.view.setModel(&plain);
    QCOMPARE(shown.view.model(), nullptr);
    shown.view.SetPlotMode(VRXScopePlotView::ScopePlotMode);
    QCOMPARE(shown.view.plotMode(), VRXScopePlotView::StripPlotMode);
    PlotViewProbe::settle();
    QVERIFY(shown.view.attachedCurves().isEmpty());
    QVERIFY(!shown.view.markerShown(0));
}

void tst_ScopePlotView::modelDestroyedUnderTheView()
{
    PlotViewProbe view;
    auto *model = new TestPlotModel(2);
    model->fill(40);
    view.setModel(model);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    PlotViewProbe::settle();
    QCOMPARE(view.attachedCurves().size(), 2);
    delete model;
    // The curves read the model; they are gone with it.
    QVERIFY(view.attachedCurves().isEmpty());
    view.RequestReplot();
    PlotViewProbe::settle();
    QCOMPARE(view.model(), nullptr);
    QVERIFY(view.attachedCurves().isEmpty());
}

void tst_ScopePlotView::resetRebuildsCurvesOnlyWhenChannelsChange()
{
    ShownView shown(2);
    QwtPlotCurve *before = shown.view.curve(QStringLiteral("Channel 0"));
    shown.model.Clear();
    shown.model.fill(20);
    PlotViewProbe::settle();
    QCOMPARE(shown.view.curve(QStringLiteral("Channel 0")), before);
    QCOMPARE(shown.view.attachedCurves().size(), 2);
}

void tst_ScopePlotView::modelSignalsBeforeAPaintCostOnePass_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("insert");
    QTest::newRow("strip, 3 dataChanged") << int(VRXScopePlotView::StripPlotMode) << 3 << false;
    QTest::newRow("strip, 1000 dataChanged") << int(VRXScopePlotView::StripPlotMode) << 1000 << false;
    QTest::newRow("strip, 3 insertions") << int(VRXScopePlotView::StripPlotMode) << 3 << true;
    // 3 x 100 rows complete one more sweep of 256.
    QTest::newRow("scope, 3 insertions") << int(VRXScopePlotView::ScopePlotMode) << 3 << true;
}

void tst_ScopePlotView::modelSignalsBeforeAPaintCostOnePass()
{
    QFETCH(int, mode);
    QFETCH(int, count);
    QFETCH(bool, insert);
    ShownView shown(4, 300);
    shown.view.SetPlotMode(mode);
    PlotViewProbe::settle();
    shown.model.seriesRequests = 0;
    const int paints = shown.view.canvasPaints();
    for (int i = 0; i < count; ++i) {
        if (insert)
            shown.model.fill(100);
        else
            shown.model.setValue(5, 2, i);
    }
    QCOMPARE(shown.model.seriesRequests, 0);
    PlotViewProbe::settle();
    QCOMPARE(shown.view.canvasPaints(), paints + 1);
    QCOMPARE(shown.model.seriesRequests, 4);
}

void tst_ScopePlotView::hiddenViewWaitsForItsNextPaint()
{
    ShownView shown(2);
    shown.view.hide();
    shown.model.seriesRequests = 0;
    shown.model.fill(10);
    shown.view.Plot();
    QCOMPARE(shown.model.seriesRequests, 0);
    shown.view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shown.view));
    PlotViewProbe::settle();
    QCOMPARE(shown.model.seriesRequests, 2);
    QCOMPARE(shown.view.xHigh(), 0.01 + 59 * 0.01);
}

void tst_ScopePlotView::bufferSizeLabelCountsTheRootModel()
{
    TestPlotModel model(2);
    model.fill(30);
    TestPlotProxy inner;
    inner.setSourceModel(&model);
    TestPlotProxy outer;
    outer.setSourceModel(&inner);
    QLabel label;
    PlotViewProbe view;
    view.SetBufferSizeLabel(&label);
    view.setModel(&outer);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    PlotViewProbe::settle();
    QCOMPARE(label.text(), QStringLiteral("30 Samples"));
    model.fill(12);
    PlotViewProbe::settle();
    QCOMPARE(label.text(), QStringLiteral("42 Samples"));

    // Without a model there is nothing to count; a deleted label is let go.
    view.setModel(nullptr);
    view.Plot();
    QCOMPARE(label.text(), QStringLiteral("0 Samples"));
    {
        QLabel gone;
        view.SetBufferSizeLabel(&gone);
    }
    view.Plot();
}

void tst_ScopePlotView::plotModesShowTheirWidget_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("scrollBar");
    QTest::newRow("strip") << 0 << "qwtPlot" << true;
    QTest::newRow("scope") << 1 << "qwtPlot" << false;
    QTest::newRow("histogram") << 2 << "qwtPlot" << false;
    QTest::newRow("spectrogram") << 3 << "VRXSpectrogram" << false;
    QTest::newRow("position") << 4 << "VRXPositionPlot" << false;
    QTest::newRow("split") << 5 << "VRXSplitPlot" << false;
}

void tst_ScopePlotView::plotModesShowTheirWidget()
{
    QFETCH(int, mode);
    QFETCH(QString, shown);
    QFETCH(bool, scrollBar);
    // 300 rows: a strip window of 256 leaves the scroll bar shown.
    ShownView view(3, 300);
    view.view.SetPlotMode(mode);
    PlotViewProbe::settle();
    QCOMPARE(int(view.view.plotMode()), mode);
    const QList<QWidget *> widgets = {view.view.qwtPlot(), view.view.spectrogram(), view.view.positionPlot(),
                                      view.view.splitPlot()};
    for (QWidget *widget : widgets)
        QCOMPARE(widget->isVisible(), widget->objectName() == shown);
    for (auto *strip : view.view.viewport()->findChildren<VRX_HistogramItemAxisWidget *>())
        QVERIFY(!strip->isVisible());
    QCOMPARE(view.view.horizontalScrollBar()->isVisible(), scrollBar);
    QCOMPARE(view.view.attachedCurves().isEmpty(), mode == VRXScopePlotView::HistogramPlotMode);
}

void tst_ScopePlotView::outOfRangeModesAndModesWithoutModelAreIgnored()
{
    PlotViewProbe view;
    view.SetPlotMode(VRXScopePlotView::ScopePlotMode);
    QCOMPARE(view.plotMode(), VRXScopePlotView::StripPlotMode);

    TestPlotModel model(2);
    model.fill(10);
    view.setModel(&model);
    QCOMPARE(view.plotMode(), VRXScopePlotView::StripPlotMode);
    view.SetPlotMode(VRXScopePlotView::HistogramPlotMode);
    view.SetPlotMode(6);
    view.SetPlotMode(-1);
    QCOMPARE(view.plotMode(), VRXScopePlotView::HistogramPlotMode);

    // The stored mode is applied to the next model.
    TestPlotModel other(3);
    view.setModel(&other);
    QCOMPARE(view.plotMode(), VRXScopePlotView::HistogramPlotMode);
    QCOMPARE(axis(view, QwtPlot::xBottom).upperBound(), 3.5);
}

void tst_ScopePlotView::histogramModeChannelAxis_data()
{
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("interval");
    QTest::newRow("8 letters") << 8 << 0;
    QTest::newRow("9 numbers") << 9 << 1;
    QTest::newRow("64 numbers") << 64 << 2;
    QTest::newRow("128 numbers") << 128 << 4;
}

void tst_ScopePlotView::histogramModeChannelAxis()
{
    QFETCH(int, channels);
    QFETCH(int, interval);
    TestPlotModel model(channels);
    model.fill(3);
    PlotViewProbe view;
    view.setModel(&model);
    view.SetPlotMode(VRXScopePlotView::HistogramPlotMode);
    QwtPlot *plot = view.qwtPlot();
    const QwtAbstractScaleDraw *draw = plot->axisScaleDraw(QwtPlot::xBottom);
    if (interval == 0) {
        QVERIFY(dynamic_cast<const ChannelNameDraw *>(draw));
    } else {
        auto *numbers = dynamic_cast<const ChannelNumberDraw *>(draw);
        QVERIFY(numbers);
        QCOMPARE(numbers->frequency(), interval);
    }
    for (int axisId : {int(QwtPlot::xBottom), int(QwtPlot::xTop)}) {
        QCOMPARE(::axis(view, axisId).lowerBound(), 0.5);
        QCOMPARE(::axis(view, axisId).upperBound(), channels + 0.5);
        QCOMPARE(plot->axisMaxMinor(axisId), 0);
    }
    QCOMPARE(plot->axisTitle(QwtPlot::xBottom).text(), QStringLiteral("Channel"));
    QVERIFY(plot->axisTitle(QwtPlot::xBottom).font().bold());

    // Back in strip mode the time axis gets a plain scale draw.
    view.SetPlotMode(VRXScopePlotView::StripPlotMode);
    QVERIFY(!dynamic_cast<const ChannelNameDraw *>(plot->axisScaleDraw(QwtPlot::xBottom)));
    QVERIFY(!dynamic_cast<const ChannelNumberDraw *>(plot->axisScaleDraw(QwtPlot::xBottom)));
    QCOMPARE(plot->axisMaxMajor(QwtPlot::xBottom), 6);
    QCOMPARE(plot->axisMaxMinor(QwtPlot::xBottom), 10);
}

void tst_ScopePlotView::yScales_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("positiveOnly");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    // Range -2 .. 4; NaN marks autoscale.
    const double factors[] = {1.0, 0.5, 0.2, 0.1, 0.05, 0.02, 0.01, 0.005, 0.002, 0.001, 0.0005, 0.0002, 0.0001};
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (bool positive : {false, true}) {
        const QByteArray suffix = positive ? " positive" : "";
        QTest::newRow("auto" + suffix) << 0 << positive << nan << nan;
        QTest::newRow("normalize" + suffix) << 1 << positive << (positive ? -0.1 : -1.0) << 1.0;
        for (int mode = 2; mode <= 14; ++mode) {
            const double f = factors[mode - 2];
            QTest::newRow(QByteArray::number(mode) + suffix)
                << mode << positive << (positive ? -0.2 : -2.0) * f << 4.0 * f;
        }
        QTest::newRow("15 is auto" + suffix) << 15 << positive << nan << nan;
        QTest::newRow("-1 is auto" + suffix) << -1 << positive << nan << nan;
    }
}

void tst_ScopePlotView::yScales()
{
    QFETCH(int, mode);
    QFETCH(bool, positiveOnly);
    QFETCH(double, low);
    QFETCH(double, high);
    PlotViewProbe view;
    QVERIFY(view.SetRange(-2.0, 4.0));
    // Setting positive-only first applies the scale again with the new range.
    view.SetYScaleMode(mode);
    view.SetPositiveOnly(positiveOnly);
    QCOMPARE(view.yScaleMode(), mode);
    QwtPlot *plot = view.qwtPlot();
    if (std::isnan(low)) {
        QVERIFY(plot->axisAutoScale(QwtPlot::yLeft));
    } else {
        QVERIFY(!plot->axisAutoScale(QwtPlot::yLeft));
        QVERIFY(qFuzzyCompare(leftAxis(view).minValue(), low));
        QVERIFY(qFuzzyCompare(leftAxis(view).maxValue(), high));
    }
}

void tst_ScopePlotView::setRangeReportsChanges()
{
    PlotViewProbe view;
    QVERIFY(!view.SetRange(-1.0, 1.0));
    QVERIFY(view.SetRange(0.0, 5.0));
    QVERIFY(!view.SetRange(0.0, 5.0));
    // Not applied until the scale is set again.
    view.SetYScaleMode(VRXScopePlotView::PlotScale100);
    QCOMPARE(leftAxis(view).maxValue(), 5.0);
}

void tst_ScopePlotView::clickedMarkersAndDisabledMarkers()
{
    ShownView shown(2);
    shown.view.SelectPoint1(QPointF(0.195, 15.0));
    QVERIFY(shown.view.markerShown(0));
    PlotViewProbe::settle();
    // The pass snapped the marker to the next sample (row 20, where channel 1
    // reads 29 and channel 2 39) and chose the curve nearest the click.
    QCOMPARE(shown.view.plotMarker(0)->xValue(), shown.model.doubleData(20, 0));
    QCOMPARE(shown.view.plotMarker(0)->yValue(), 29.0);
    QVERIFY(shown.view.markerText(0).contains(QStringLiteral("Channel 1\n29")));

    shown.view.enablePlotMarker(false);
    QVERIFY(!shown.view.markerShown(0));
    QVERIFY(!shown.view.markerShown(1));
    shown.view.SelectPoint2(QPointF(0.3, 0.0));
    QVERIFY(!shown.view.markerShown(1));
    shown.view.selectionModel()->select(shown.model.index(0, 2),
                                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Columns);
    PlotViewProbe::settle();
    QVERIFY(!shown.view.markerShown(0));

    shown.view.enablePlotMarker(true);
    shown.view.SelectPoint2(QPointF(0.3, 0.0));
    QVERIFY(shown.view.markerShown(1));
}

void tst_ScopePlotView::sharedSelectionRequestsARefreshOwnSelectionDoesNot()
{
    ShownView shown(3);
    shown.view.SelectPoint1(QPointF(0.195, 0.0));
    PlotViewProbe::settle();
    // The pass selected the column of the channel nearest the click.
    QItemSelectionModel *selection = shown.view.selectionModel();
    QVERIFY(selection->isColumnSelected(1, QModelIndex()));
    QCOMPARE(selection->currentIndex(), shown.model.index(20, 1));

    // That selection, made during the pass, asked for no further pass, also
    // when new rows widen the selected column.
    shown.model.seriesRequests = 0;
    int paints = shown.view.canvasPaints();
    PlotViewProbe::settle();
    QCOMPARE(shown.view.canvasPaints(), paints);
    QCOMPARE(shown.model.seriesRequests, 0);
    shown.model.fill(1);
    PlotViewProbe::settle();
    QCOMPARE(shown.view.canvasPaints(), paints + 1);
    QCOMPARE(shown.model.seriesRequests, 3);
    QCOMPARE(selection->selectedColumns().first().column(), 1);
    QVERIFY(selection->isSelected(shown.model.index(51, 1)));
    shown.model.seriesRequests = 0;
    paints = shown.view.canvasPaints();

    // A selection made elsewhere (a table sharing the selection model) binds
    // marker 0 to its column and asks for one pass.
    selection->select(shown.model.index(0, 3), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Columns);
    QCOMPARE(shown.model.seriesRequests, 0);
    PlotViewProbe::settle();
    QCOMPARE(shown.view.canvasPaints(), paints + 1);
    QCOMPARE(shown.model.seriesRequests, 3);
    QVERIFY(shown.view.markerShown(0));
    QVERIFY(shown.view.markerShown(1));
    QVERIFY(shown.view.markerText(0).contains(QStringLiteral("Channel 3\n")));
    // Marker 1 measures on marker 0's channel.
    QVERIFY(shown.view.markerText(1).contains(QStringLiteral("Channel 3\n")));
}

void tst_ScopePlotView::emptySelectionTakesMarkersAway()
{
    ShownView shown(2);
    shown.view.SelectPoint1(QPointF(0.195, 0.0));
    shown.view.SelectPoint2(QPointF(0.295, 0.0));
    PlotViewProbe::settle();
    QVERIFY(shown.view.markerShown(0) && shown.view.markerShown(1));

    // Rows dropped from the front of the selected column leave it selected.
    shown.model.rollRow(10.0, {1.0, 2.0});
    QVERIFY(shown.view.markerShown(0) && shown.view.markerShown(1));

    shown.view.selectionModel()->clearSelection();
    QVERIFY(!shown.view.markerShown(0));
    QVERIFY(!shown.view.markerShown(1));
    // ... and later passes do not bring them back.
    shown.model.fill(5);
    PlotViewProbe::settle();
    QVERIFY(!shown.view.markerShown(0));
}

void tst_ScopePlotView::markerLabelsDrawAsQwtDoes_data()
{
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("x");
    const QString stats = QStringLiteral("Time (seconds): 5.100e-01\nChannel 1\n60\n   Period:  1.000e-02 s");
    QTest::newRow("right top") << int(Qt::AlignRight | Qt::AlignTop) << stats << 50.0;
    QTest::newRow("right top, between pixels") << int(Qt::AlignRight | Qt::AlignTop) << stats << 50.13;
    QTest::newRow("left top") << int(Qt::AlignLeft | Qt::AlignTop) << stats << 50.0;
    QTest::newRow("left top, between pixels") << int(Qt::AlignLeft | Qt::AlignTop) << stats << 49.9;
    QTest::newRow("centre bottom") << int(Qt::AlignHCenter | Qt::AlignBottom) << QStringLiteral("one line") << 50.0;
    QTest::newRow("left centre") << int(Qt::AlignLeft | Qt::AlignVCenter) << stats << 50.0;
}

void tst_ScopePlotView::markerLabelsDrawAsQwtDoes()
{
    // The view's markers keep their labels as images; on the canvas they
    // must look as QwtPlotMarker draws them.
    QFETCH(int, alignment);
    QFETCH(QString, text);
    PlotViewProbe view;
    QwtPlotMarker *cached = view.plotMarker(0).data();
    QwtText label(text, QwtText::PlainText);
    label.setColor(VRXPlotColors::kLabelTextColor);
    label.setBackgroundBrush(QBrush(VRXPlotColors::kLabelBackgroundColor));
    label.setFont(QFont(QStringLiteral("Monospace"), 9));
    cached->setLabel(label);
    cached->setLabelAlignment(Qt::Alignment(alignment));
    QFETCH(double, x);
    cached->setValue(x, 10.0);
    cached->setLinePen(QPen(Qt::cyan, 1.0));

    QwtPlotMarker plain;
    plain.setLineStyle(cached->lineStyle());
    plain.setLabel(label);
    plain.setLabelAlignment(cached->labelAlignment());
    plain.setValue(cached->value());
    plain.setLinePen(cached->linePen());
    plain.setSymbol(new QwtSymbol(QwtSymbol::Diamond, QBrush(Qt::yellow), QPen(Qt::yellow), QSize(5, 5)));

    QwtScaleMap xMap, yMap;
    xMap.setScaleInterval(0.0, 100.0);
    xMap.setPaintInterval(0.0, 400.0);
    yMap.setScaleInterval(0.0, 20.0);
    yMap.setPaintInterval(300.0, 0.0);
    QImage images[2];
    QwtPlotMarker *markers[2] = {cached, &plain};
    for (int pass = 0; pass < 2; ++pass) {
        // The second pass draws the cached marker from its kept image.
        for (int k = 0; k < 2; ++k) {
            images[k] = QImage(400, 300, QImage::Format_RGB32);
            images[k].fill(Qt::black);
            QPainter painter(&images[k]);
            markers[k]->draw(&painter, xMap, yMap, QRectF(0, 0, 400, 300));
        }
    }
    int worst = 0;
    for (int y = 0; y < 300; ++y) {
        for (int x = 0; x < 400; ++x) {
            const QColor a = images[0].pixelColor(x, y), b = images[1].pixelColor(x, y);
            worst = std::max({worst, std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                              std::abs(a.blue() - b.blue())});
        }
    }
    // Text blended onto the label background first may differ by rounding.
    QVERIFY2(worst <= 3, qPrintable(QStringLiteral("labels differ by up to %1").arg(worst)));
}

void tst_ScopePlotView::moreChannelsThanCurves()
{
    QTest::ignoreMessage(QtWarningMsg, "VRXScopePlotView: the model has 300 channels; the first 256 are drawn");
    ShownView shown(300, 20);
    QCOMPARE(shown.view.attachedCurves().size(), 256);
    QVERIFY(shown.model.seriesRequests > 0 && shown.model.seriesRequests % 256 == 0);
    QVERIFY(shown.view.curve(QStringLiteral("Channel 255")));
    QVERIFY(!shown.view.curve(QStringLiteral("Channel 256")));

    // A column beyond the curves, selected elsewhere, binds a marker that
    // then measures nothing, without reading past the curve table.
    shown.view.selectionModel()->select(shown.model.index(0, 290),
                                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Columns);
    PlotViewProbe::settle();
    QVERIFY(shown.view.markerShown(0));
    QVERIFY(shown.view.markerText(0).endsWith(QStringLiteral("\n0")));

    shown.view.SetPlotMode(VRXScopePlotView::HistogramPlotMode);
    QCOMPARE(axis(shown.view, QwtPlot::xBottom).upperBound(), 300.5);
    shown.view.SetPlotMode(VRXScopePlotView::ScopePlotMode);
    shown.model.fill(300);
    PlotViewProbe::settle();
    QCOMPARE(shown.view.attachedCurves().size(), 256);

    // Rendering draws the 256 curves and nothing beyond the canvas.
    const QImage image = shown.view.grab().toImage();
    QVERIFY(!image.isNull());
}

void tst_ScopePlotView::curveColoursFollowPlotColors()
{
    // Eight flat channels at different heights; autoscale puts them apart.
    TestPlotModel model(8);
    QVector<double> times;
    QVector<QVector<double>> values(8);
    for (int i = 0; i < 100; ++i) {
        times.append(0.01 * (i + 1));
        for (int c = 0; c < 8; ++c)
            values[c].append(c * 10.0);
    }
    model.append(times, values);
    PlotViewProbe view;
    view.setModel(&model);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    PlotViewProbe::settle();

    QWidget *canvas = view.qwtPlot()->canvas();
    const QImage image = canvas->grab().toImage();
    const QwtScaleMap yMap = view.qwtPlot()->canvasMap(QwtPlot::yLeft);
    const QwtScaleMap xMap = view.qwtPlot()->canvasMap(QwtPlot::xBottom);
    const int x = int(xMap.transform(0.5));
    for (int c = 1; c <= 8; ++c) {
        const int y = qRound(yMap.transform((c - 1) * 10.0));
        bool found = false;
        for (int dy = -1; dy <= 1 && !found; ++dy)
            found = image.pixelColor(x, qBound(0, y + dy, image.height() - 1)) == VRXPlotColors::forChannel(c);
        QVERIFY2(found, qPrintable(QStringLiteral("channel %1 at (%2, %3) is %4")
                                       .arg(c)
                                       .arg(x)
                                       .arg(y)
                                       .arg(image.pixelColor(x, y).name())));
    }
    // Between the curves no channel colour shows.
    const QColor between = image.pixelColor(x + 3, qRound(yMap.transform(15.0)));
    for (const QColor &colour : VRXPlotColors::colors)
        QVERIFY(between != colour);
}

void tst_ScopePlotView::scrollToHints_data()
{
    QTest::addColumn<int>("hint");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    // 1000 rows, 0.01 s apart from 0.01 s: the scrolled-back window is
    // d x 256 wide with d = 9.99 / 1000; row 300 is at 3.00 s.
    const double width = 9.99 / 1000.0 * 256.0;
    QTest::newRow("top") << int(QAbstractItemView::PositionAtTop) << 3.0 << 3.0 + width;
    QTest::newRow("bottom") << int(QAbstractItemView::PositionAtBottom) << 3.0 - width << 3.0;
    QTest::newRow("center") << int(QAbstractItemView::PositionAtCenter) << 3.0 - width / 2 << 3.0 + width / 2;
}

void tst_ScopePlotView::scrollToHints()
{
    QFETCH(int, hint);
    QFETCH(double, low);
    QFETCH(double, high);
    ShownView shown(1, 1000);
    const double followingLow = shown.view.xLow();
    QCOMPARE(followingLow, shown.model.doubleData(745, 0));

    // EnsureVisible, the row 0 and rows past the end never scroll.
    shown.view.scrollTo(shown.model.index(300, 1), QAbstractItemView::EnsureVisible);
    shown.view.scrollTo(shown.model.index(0, 1), QAbstractItemView::PositionAtTop);
    shown.view.scrollTo(QModelIndex(), QAbstractItemView::PositionAtTop);
    PlotViewProbe::settle();
    QCOMPARE(shown.view.xLow(), followingLow);

    shown.view.scrollTo(shown.model.index(300, 1), QAbstractItemView::ScrollHint(hint));
    PlotViewProbe::settle();
    QVERIFY2(std::abs(shown.view.xLow() - low) < 2e-5, qPrintable(QString::number(shown.view.xLow(), 'g', 10)));
    QVERIFY2(std::abs(shown.view.xHigh() - high) < 2e-5, qPrintable(QString::number(shown.view.xHigh(), 'g', 10)));
    QCOMPARE(shown.view.horizontalOffset(), shown.view.horizontalScrollBar()->value());

    // Outside strip mode the hints do nothing.
    shown.view.SetPlotMode(VRXScopePlotView::ScopePlotMode);
    const int value = shown.view.horizontalScrollBar()->value();
    shown.view.scrollTo(shown.model.index(900, 1), QAbstractItemView::PositionAtTop);
    QCOMPARE(shown.view.horizontalScrollBar()->value(), value);
    QCOMPARE(shown.view.horizontalOffset(), 0);
}

void tst_ScopePlotView::remainingOverrides()
{
    // The view has no items of its own to select, edit or find.
    ShownView shown(2);
    QTest::ignoreMessage(QtDebugMsg, "VRXScopePlotView::setSelection rect: QRect(1,2 3x4)");
    shown.view.setSelection(QRect(1, 2, 3, 4), QItemSelectionModel::ClearAndSelect);
    QVERIFY(!shown.view.selectionModel()->hasSelection());
    QCOMPARE(shown.view.indexAt(QPoint(10, 10)), QModelIndex());
    QCOMPARE(shown.view.moveRight(), QModelIndex());
    QVERIFY(!shown.view.edit(shown.model.index(3, 1), QAbstractItemView::AllEditTriggers, nullptr));
    QVERIFY(shown.view.visualRegionForSelection(QItemSelection(shown.model.index(0, 1), shown.model.index(50, 1)))
                .isEmpty());
}

QTEST_MAIN(tst_ScopePlotView)
#include "tst_scopeplotview.moc"
