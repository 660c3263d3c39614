#ifndef CORVID_QT_MEANCURVE_H
#define CORVID_QT_MEANCURVE_H

#include "corvid_qt_export.h"

#include <qwt_plot_curve.h>

namespace Corvid_Qt {

/**
 * History curve of a beam mean position over time (seconds). Samples are
 * drawn in runs: a run ends where time goes backwards or jumps by more
 * than half a second, so no line bridges a restart or a pause. Runs of one
 * or two samples are drawn as dots. Owned by the plot it is attached to.
 */
class CORVID_QT_EXPORT MeanCurve : public QwtPlotCurve
{
public:
    explicit MeanCurve(const QString &title);

protected:
    void drawCurve(QPainter *painter, int style, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                   const QRectF &canvasRect, int from, int to) const override;
};

} // namespace Corvid_Qt

#endif
