#ifndef CORVID_QT_VRX_HISTOGRAMITEMAXISWIDGET_H
#define CORVID_QT_VRX_HISTOGRAMITEMAXISWIDGET_H

#include "corvid_qt_export.h"

#include <QtWidgets/QWidget>

class QwtPlot;

namespace Corvid_Qt {

/**
 * Holds the place of the strip above the beam-profile plot on which one
 * type of statistics item writes its results. The plot view keeps one per
 * item type in its layout and shows it only while items of the type exist,
 * which they cannot yet: it draws nothing.
 *
 * Created without a parent; the layout that holds it reparents it.
 */
class CORVID_QT_EXPORT VRX_HistogramItemAxisWidget : public QWidget
{
    Q_OBJECT

public:
    /// plot is the plot whose canvas the strip lines up with; not owned.
    explicit VRX_HistogramItemAxisWidget(QwtPlot *plot);
    ~VRX_HistogramItemAxisWidget() override;

private:
    QwtPlot *m_plot;
};

} // namespace Corvid_Qt

#endif
