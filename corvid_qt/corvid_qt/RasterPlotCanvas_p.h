#ifndef CORVID_QT_RASTERPLOTCANVAS_P_H
#define CORVID_QT_RASTERPLOTCANVAS_P_H

#include <qwt_plot_canvas.h>

namespace Corvid_Qt {

/*
 * A plot canvas whose backing store is drawn through a QImage. Qwt draws
 * the store into a QPixmap, whose pixels nothing outside Qt can reach; here
 * the items draw into an image that then becomes the store without a copy,
 * so a curve may write its pixels straight into it. Everything else (when
 * the store is stale, the blit, the focus indicator) stays Qwt's.
 */
class RasterPlotCanvas : public QwtPlotCanvas
{
public:
    explicit RasterPlotCanvas(QwtPlot *plot = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace Corvid_Qt

#endif
