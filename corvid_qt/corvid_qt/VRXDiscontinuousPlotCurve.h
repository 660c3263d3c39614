#ifndef CORVID_QT_VRXDISCONTINUOUSPLOTCURVE_H
#define CORVID_QT_VRXDISCONTINUOUSPLOTCURVE_H

#include "corvid_qt_export.h"

#include <qwt_plot_curve.h>
#include <qwt_series_data.h>

namespace Corvid_Qt {

/**
 * A curve that does not join samples across missing data. In the Lines
 * style the samples are split into runs: a run ends where x steps backwards,
 * where the step in pixels is more than twice the previous step (or more
 * than 100 pixels), and before a sample whose x or y is not finite, which is
 * not drawn. Runs of one or two samples are drawn as dots, longer runs as
 * lines. Every other style draws as QwtPlotCurve does.
 *
 * The curve owns its series data, as every QwtPlotCurve does.
 */
class CORVID_QT_EXPORT VRXDiscontinuousPlotCurve : public QwtPlotCurve
{
public:
    explicit VRXDiscontinuousPlotCurve(const QString &title);

protected:
    void drawCurve(QPainter *painter, int style, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                   const QRectF &canvasRect, int from, int to) const override;
    // Also replaces QwtPlotCurve::drawLines for callers that reach it directly.
    void drawLines(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                   const QRectF &canvasRect, int from, int to) const override;

private:
    void drawRun(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                 const QRectF &canvasRect, const QwtPointSeriesData &copy, int offset, int first,
                 int last) const;
};

} // namespace Corvid_Qt

#endif
