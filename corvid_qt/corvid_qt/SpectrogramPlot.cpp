#include "SpectrogramPlot.h"

#include <QtGui/QResizeEvent>

namespace Corvid_Qt {

SpectrogramPlot::SpectrogramPlot(QWidget *parent)
    : QwtPlot(parent)
{
}

void SpectrogramPlot::resizeEvent(QResizeEvent *event)
{
    const int w = event->size().width();
    const int h = event->size().height();
    const int d = (w - kColorBarWidth) - h;
    if (d > 1)
        resize(h + kColorBarWidth, h);
    else if (d <= -2)
        resize(w, w - kColorBarWidth);
    QwtPlot::resizeEvent(event);
}

} // namespace Corvid_Qt
