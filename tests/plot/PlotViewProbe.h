#ifndef CORVID_TESTS_PLOT_PLOTVIEWPROBE_H
#define CORVID_TESTS_PLOT_PLOTVIEWPROBE_H

// Opens the protected parts of the plot view to the tests and counts the
// paint events of its canvas.

#include <VRXScopePlotView.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QEvent>
#include <QtWidgets/QScrollBar>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_div.h>
#include <qwt_text.h>

class PlotViewProbe : public Corvid_Qt::VRXScopePlotView
{
public:
    explicit PlotViewProbe(QWidget *parent = nullptr)
        : VRXScopePlotView(parent)
    {
        qwtPlot()->canvas()->installEventFilter(&m_counter);
        resize(800, 400);
    }

    using VRXScopePlotView::edit;
    using VRXScopePlotView::horizontalOffset;
    using VRXScopePlotView::isIndexHidden;
    using VRXScopePlotView::Plot;
    using VRXScopePlotView::plotMarker;
    using VRXScopePlotView::qwtPlot;
    using VRXScopePlotView::RequestReplot;
    using VRXScopePlotView::RequestReplotRefresh;
    using VRXScopePlotView::scrollTo;
    using VRXScopePlotView::SelectPoint1;
    using VRXScopePlotView::SelectPoint2;
    using VRXScopePlotView::setSelection;
    using VRXScopePlotView::verticalOffset;
    using VRXScopePlotView::visualRegionForSelection;

    QModelIndex moveRight() { return moveCursor(MoveRight, Qt::NoModifier); }

    int canvasPaints() const { return m_counter.paints; }

    QList<QwtPlotCurve *> attachedCurves() const
    {
        QList<QwtPlotCurve *> curves;
        for (QwtPlotItem *item : qwtPlot()->itemList(QwtPlotItem::Rtti_PlotCurve))
            curves.append(static_cast<QwtPlotCurve *>(item));
        return curves;
    }

    QwtPlotCurve *curve(const QString &title) const
    {
        for (QwtPlotCurve *c : attachedCurves()) {
            if (c->title().text() == title)
                return c;
        }
        return nullptr;
    }

    double xLow() const { return qwtPlot()->axisScaleDiv(QwtPlot::xBottom).lowerBound(); }
    double xHigh() const { return qwtPlot()->axisScaleDiv(QwtPlot::xBottom).upperBound(); }
    bool markerShown(int i) const { return plotMarker(i)->plot() != nullptr; }
    QString markerText(int i) const { return plotMarker(i)->label().text(); }

    /// Lets every pending paint happen.
    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }

private:
    struct Counter : QObject {
        int paints = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                ++paints;
            return false;
        }
    } m_counter;
};

#endif
