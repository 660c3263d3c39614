#ifndef CORVID_QT_VRXSPLITPLOT_H
#define CORVID_QT_VRXSPLITPLOT_H

#include "corvid_qt_export.h"

#include <QtWidgets/QWidget>

namespace Corvid_Qt {

/**
 * Holds the place of the split bar plots in the scope plot view's layout,
 * shown instead of the plot in its plot mode. It draws nothing yet; the
 * calls the view makes are accepted and change nothing.
 *
 * Owned by its parent widget.
 */
class CORVID_QT_EXPORT VRXSplitPlot : public QWidget
{
    Q_OBJECT

public:
    explicit VRXSplitPlot(QWidget *parent = nullptr);
    ~VRXSplitPlot() override;


public Q_SLOTS:
    /// Takes a VRXScopePlotView::PlotScales index.
    void setScale(int index);
};

} // namespace Corvid_Qt

#endif
