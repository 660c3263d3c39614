#ifndef CORVID_QT_VRXPOSITIONPLOT_H
#define CORVID_QT_VRXPOSITIONPLOT_H

#include "corvid_qt_export.h"

#include <QtWidgets/QWidget>

namespace Corvid_Qt {

/**
 * Holds the place of the beam position scatter plot in the scope plot view's layout,
 * shown instead of the plot in its plot mode. It draws nothing yet; the
 * calls the view makes are accepted and change nothing.
 *
 * Owned by its parent widget.
 */
class CORVID_QT_EXPORT VRXPositionPlot : public QWidget
{
    Q_OBJECT

public:
    explicit VRXPositionPlot(QWidget *parent = nullptr);
    ~VRXPositionPlot() override;


public Q_SLOTS:
    /// Takes a VRXScopePlotView::PlotScales index.
    void setScale(int index);
};

} // namespace Corvid_Qt

#endif
