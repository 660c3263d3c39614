#include "MeanCurve.h"

namespace Corvid_Qt {

MeanCurve::MeanCurve(const QString &title)
    : QwtPlotCurve(title)
{
    setRenderHint(QwtPlotItem::RenderAntialiased, true);
    setStyle(QwtPlotCurve::Lines);
}

void MeanCurve::drawCurve(QPainter *painter, int style, const QwtScaleMap &xMap,
                          const QwtScaleMap &yMap, const QRectF &canvasRect, int from, int to) const
{
    Q_UNUSED(style);
    int start = from;
    for (int i = from; i <= to; ++i) {
        bool runEnds = i == to;
        if (!runEnds) {
            const double step = sample(i + 1).x() - sample(i).x();
            runEnds = step < 0.0 || step > 0.5;
        }
        if (!runEnds)
            continue;
        const int runStyle = i - start < 2 ? QwtPlotCurve::Dots : QwtPlotCurve::Lines;
        QwtPlotCurve::drawCurve(painter, runStyle, xMap, yMap, canvasRect, start, i);
        start = i + 1;
    }
}

} // namespace Corvid_Qt
