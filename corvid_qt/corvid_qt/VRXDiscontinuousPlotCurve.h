#ifndef CORVID_QT_VRXDISCONTINUOUSPLOTCURVE_H
#define CORVID_QT_VRXDISCONTINUOUSPLOTCURVE_H

#include "corvid_qt_export.h"

#include <qwt_plot_curve.h>
#include <qwt_series_data.h>

#include <QtCore/QRect>
#include <QtCore/QVector>

namespace Corvid_Qt {

/**
 * A curve that does not join samples across missing data. In the Lines
 * style the samples are split into runs: a run ends where x steps backwards,
 * where the step in pixels is more than twice the previous step (or more
 * than 100 pixels), and before a sample whose x or y is not finite, which is
 * not drawn. Runs of one or two samples are drawn as dots, longer runs as
 * lines. Every other style draws as QwtPlotCurve does.
 *
 * A curve denser than decimationDensity() finite samples per pixel column
 * (2 unless set) is drawn as one vertical span per column and run, from the
 * lowest to the highest sample mapped into it, reaching back to the last
 * sample of the column before, in the pen's brush and width. That is what the polyline
 * would light, at a cost bound by the canvas width instead of the sample
 * count. Dashed pens, fitted or filled curves and painters that scale keep
 * the polyline.
 *
 * The curve owns its series data, as every QwtPlotCurve does.
 */
class CORVID_QT_EXPORT VRXDiscontinuousPlotCurve : public QwtPlotCurve
{
public:
    explicit VRXDiscontinuousPlotCurve(const QString &title);

    double decimationDensity() const { return m_decimationDensity; }
    /// Samples per pixel column above which a run is drawn as spans;
    /// infinity never decimates, 0 always does.
    void setDecimationDensity(double samplesPerColumn);

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
    bool spansDraw(const QPainter *painter) const;
    struct SpanSource;
    bool drawSpans(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                   const QRectF &canvasRect, const SpanSource &source) const;

    double m_decimationDensity = 2.0;
    mutable QVector<QRect> m_spans;
};

} // namespace Corvid_Qt

#endif
