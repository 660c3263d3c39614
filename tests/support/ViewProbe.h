#ifndef CORVID_TESTS_VIEWPROBE_H
#define CORVID_TESTS_VIEWPROBE_H

// The plot view with its protected parts opened, its canvas paints counted
// (one paint runs one pass) and a few readers of what it shows.

#include "FakeDeviceModel.h"

#include <VRXScopePlotView.h>
#include <VRX_StatisticsHistogramItem.h>

#include <QtTest/QtTest>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_histogram.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_div.h>
#include <qwt_text.h>

class ViewProbe : public Corvid_Qt::VRXScopePlotView
{
public:
    explicit ViewProbe(QSize size = QSize(800, 400))
    {
        qwtPlot()->canvas()->installEventFilter(&m_counter);
        resize(size);
    }

    using VRXScopePlotView::horizontalOffset;
    using VRXScopePlotView::Plot;
    using VRXScopePlotView::plotMarker;
    using VRXScopePlotView::qwtPlot;
    using VRXScopePlotView::RequestReplotRefresh;
    using VRXScopePlotView::SelectPoint1;
    using VRXScopePlotView::SelectPoint2;
    using VRXScopePlotView::setSelection;

    void showWith(QAbstractItemModel *model, int mode = StripPlotMode)
    {
        setModel(model);
        SetPlotMode(mode);
        show();
        QVERIFY(QTest::qWaitForWindowExposed(this));
        settle();
    }
    /// Delivers what is posted now (paints, layouts), for checks that nothing
    /// more follows; whatever is awaited is awaited with QTRY_*.
    static void settle()
    {
        for (int i = 0; i < 4; ++i)
            QCoreApplication::processEvents();
    }
    void click(QPointF marker0, QPointF marker1)
    {
        SelectPoint1(marker0);
        SelectPoint2(marker1);
        settle();
    }
    void selectColumn(int column)
    {
        selectionModel()->select(model()->index(0, column),
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Columns);
    }

    int canvasPaints() const { return m_counter.paints; }
    int curveCount() const { return qwtPlot()->itemList(QwtPlotItem::Rtti_PlotCurve).size(); }
    int markerCount() const { return qwtPlot()->itemList(QwtPlotItem::Rtti_PlotMarker).size(); }
    /// The curve of the 1-based channel, if attached.
    QwtPlotCurve *curve(int channel) const
    {
        for (QwtPlotItem *item : qwtPlot()->itemList(QwtPlotItem::Rtti_PlotCurve))
            if (item->title().text() == QStringLiteral("Channel %1").arg(channel - 1))
                return static_cast<QwtPlotCurve *>(item);
        return nullptr;
    }
    QwtPlotHistogram *bars() const
    {
        const QwtPlotItemList items = qwtPlot()->itemList(QwtPlotItem::Rtti_PlotHistogram);
        return items.isEmpty() ? nullptr : static_cast<QwtPlotHistogram *>(items.first());
    }
    Corvid_Qt::VRX_StatisticsHistogramItem *item(HistogramItemTypes type, int p = 0) const
    {
        return dynamic_cast<Corvid_Qt::VRX_StatisticsHistogramItem *>(histogramItems(type).value(p));
    }
    QwtScaleDiv axis(int axisId) const
    {
        qwtPlot()->updateAxes();
        return qwtPlot()->axisScaleDiv(axisId);
    }
    double xLow() const { return qwtPlot()->axisScaleDiv(QwtPlot::xBottom).lowerBound(); }
    double xHigh() const { return qwtPlot()->axisScaleDiv(QwtPlot::xBottom).upperBound(); }
    bool markerShown(int i) const { return plotMarker(i)->plot() != nullptr && plotMarker(i)->isVisible(); }
    QString markerText(int i) const { return plotMarker(i)->label().text(); }

private:
    struct Counter : QObject {
        int paints = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } m_counter;
};

/// A shown view on a fake device model; the model outlives the view.
struct ShownView {
    FakeDeviceModel model;
    ViewProbe view;

    explicit ShownView(int channels, int rows = 50, int mode = Corvid_Qt::VRXScopePlotView::StripPlotMode,
                       QSize size = QSize(800, 400))
        : model(channels, rows)
        , view(size)
    {
        view.showWith(&model, mode);
    }
    double time(int row) const { return model.doubleData(row, 0); }
    /// One paint of the canvas, and so one pass, now.
    void paint() { view.qwtPlot()->canvas()->repaint(); }
    void frame(const QVector<double> &values, const QVector<double> &fits = {})
    {
        model.addFrame(model.rowCount(), values, fits);
        ViewProbe::settle();
    }
};

#endif
