#ifndef CORVID_QT_VRX_HISTOGRAMITEMAXISWIDGET_H
#define CORVID_QT_VRX_HISTOGRAMITEMAXISWIDGET_H

#include "corvid_qt_export.h"

#include <QtWidgets/QWidget>

class QLabel;
class QwtPlot;
class QwtScaleWidget;

namespace Corvid_Qt {

/**
 * The axis strip of one statistics item type, placed above the plot: a
 * title on the width of the plot's left axis area and a top scale lined up
 * with the plot's bottom axis, whose ticks carry the items' text panels.
 *
 * Created without a parent (the view puts it into its layout); the scale
 * widget and the title are its children. The plot is not owned. The strip
 * follows the plot's left axis (scaleDivChanged) and the width of its own
 * labels, so that its scale stays over the bars.
 */
class CORVID_QT_EXPORT VRX_HistogramItemAxisWidget : public QWidget
{
    Q_OBJECT

public:
    explicit VRX_HistogramItemAxisWidget(QwtPlot *plot);
    ~VRX_HistogramItemAxisWidget() override;

    QwtScaleWidget *axisWidget() const { return m_axisWidget; }
    QwtPlot *plot() const { return m_plot; }
    QLabel *titleLabel() const { return m_title; }
    void setTitle(QString const &title);
    /// The height the strip's panels may take: the shown strips share half
    /// of the view, the plot keeps the other half.
    int panelHeightBudget() const;
    /// The title's width with its longest word on one line.
    int titleWidthHint() const;

    /// Tells the strip that its scale draw's ticks or texts changed: the
    /// scale is laid out again before it is next painted.
    void scaleChanged();

public Q_SLOTS:
    /// Lays out the plot and lines the strip up with its canvas again.
    void updateLayout();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private Q_SLOTS:
    void alignToCanvas();

private:
    QwtScaleWidget *m_axisWidget;
    QwtPlot *m_plot;
    QLabel *m_title;
    bool m_alignPending;
    bool m_growingAxis;
};

} // namespace Corvid_Qt

#endif
