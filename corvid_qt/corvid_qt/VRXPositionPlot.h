#ifndef CORVID_QT_VRXPOSITIONPLOT_H
#define CORVID_QT_VRXPOSITIONPLOT_H

#include "corvid_qt_export.h"

#include <QtWidgets/QWidget>

#include <memory>
#include <vector>

class QTimer;
class QwtPlotCurve;
class Ui_VRXPositionPlot;

namespace Corvid_Qt {

class PositionPlot;
class PlotItem;

/**
 * Square scatter plot of a beam position: the last 20 positions as dots, the
 * newest one as a cross, and a cross-hair through the origin. Positions are
 * in whatever unit the host uses (millimetres for a chamber).
 *
 * Every position given to setData() is kept, but the plot is redrawn at most
 * once per tick of a 100 ms timer. A position that arrives between two ticks
 * is drawn at the next tick, so the newest position always shows within one
 * period even when the positions stop coming.
 *
 * The axes follow the data until setScale() chooses a fixed fraction of the
 * limits of setXScale() and setYScale() (both -1 .. 1 at the start);
 * setScale(0) returns to following the data.
 *
 * update() is the timer's slot and hides QWidget::update(): it does not
 * schedule a repaint of the widget itself.
 *
 * The form, the plot and its items are owned by the widget.
 *
 * It takes no model: the host feeds positions with setData(); a
 * VRXScopePlotView shows it in PositionPlotMode.
 */
class CORVID_QT_EXPORT VRXPositionPlot : public QWidget
{
    Q_OBJECT

public:
    static const int kHistory = 20;

    explicit VRXPositionPlot(QWidget *parent = nullptr);
    ~VRXPositionPlot() override;

    void setXScale(double min, double max);
    void setYScale(double min, double max);
    void updateScale();

public Q_SLOTS:
    /// Takes a VRXScopePlotView::PlotScales index: 0 follows the data, any
    /// other index shows that fraction of the limits (1 for unknown ones).
    void setScale(int index);
    void setData(double x, double y);
    void update();

protected:
    /// Retranslates the axis titles on a language change.
    void changeEvent(QEvent *event) override;

private:
    void replot();
    void retranslate();

    std::unique_ptr<Ui_VRXPositionPlot> ui;
    PositionPlot *m_plot;
    QwtPlotCurve *m_points;
    PlotItem *m_plot_item;
    double m_scale;
    double m_xmin;
    double m_xmax;
    double m_ymin;
    double m_ymax;
    std::vector<double> m_xhistory;
    std::vector<double> m_yhistory;
    bool m_autoscale;
    bool m_update;
    bool m_pending;
    QTimer *m_timer;
};

} // namespace Corvid_Qt

#endif
