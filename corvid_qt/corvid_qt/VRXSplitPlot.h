#ifndef CORVID_QT_VRXSPLITPLOT_H
#define CORVID_QT_VRXSPLITPLOT_H

#include "corvid_qt_export.h"

#include <QtWidgets/QWidget>

#include <memory>
#include <vector>

class QTimer;
class Ui_VRXSplitPlot;

namespace Corvid_Qt {

class SplitPlot;
class SplitItem;

/**
 * One-dimensional positions (the X and Y balance of a split chamber, for
 * example) as markers on horizontal bars stacked top to bottom, one bar per
 * value. There are no bars until setNumberPlots().
 *
 * setData(value, index) draws at once. The two-value setData(a, b) feeds
 * bars 0 and 1 at most once per tick of a 100 ms timer (started by
 * setNumberPlots()); pairs arriving between two ticks are dropped.
 *
 * Indices outside the current number of bars are ignored, so the two-value
 * form does nothing with fewer than two bars.
 *
 * The bars show -1 .. 1 until setScale() chooses a fixed fraction of the
 * limits of setXScale(); setScale(0) returns to -1 .. 1. Bars made by a later
 * setNumberPlots() take the scale in use.
 *
 * update() is the timer's slot and hides QWidget::update(): it does not
 * schedule a repaint of the widget itself.
 *
 * The form, the bars and their items are owned by the widget.
 *
 * It takes no model: the host feeds values with setData(); a
 * VRXScopePlotView shows it in SplitPlotMode.
 */
class CORVID_QT_EXPORT VRXSplitPlot : public QWidget
{
    Q_OBJECT

public:
    explicit VRXSplitPlot(QWidget *parent = nullptr);
    ~VRXSplitPlot() override;

    /// Replaces every bar by n new ones with their markers at 0.
    void setNumberPlots(int n);
    int numberPlots() const;
    /// The title under bar index.
    void setAxisLabel(const QString &label, int index);
    void setXScale(double min, double max);
    void updateScale();

public Q_SLOTS:
    /// Takes a VRXScopePlotView::PlotScales index: 0 shows -1 .. 1, any other
    /// index that fraction of the limits (1 for unknown ones).
    void setScale(int index);
    void setData(double a, double b);
    void setData(double value, int index);
    void update();

private:
    std::unique_ptr<Ui_VRXSplitPlot> ui;
    std::vector<SplitPlot *> m_plots;
    std::vector<SplitItem *> m_plot_items;
    double m_scale;
    double m_min;
    double m_max;
    bool m_autoscale;
    bool m_update;
    QTimer *m_timer;
};

} // namespace Corvid_Qt

#endif
