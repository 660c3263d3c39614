#ifndef CORVID_QT_SPECTROGRAMPLOT_H
#define CORVID_QT_SPECTROGRAMPLOT_H

#include "corvid_qt_export.h"

#include <qwt_plot.h>

namespace Corvid_Qt {

/**
 * Image plot of the spectrogram: resizes itself so that the canvas stays
 * square, leaving 130 pixels of width for the colour bar.
 * Owned by its parent widget.
 */
class CORVID_QT_EXPORT SpectrogramPlot : public QwtPlot
{
    Q_OBJECT

public:
    explicit SpectrogramPlot(QWidget *parent = nullptr);

    static const int kColorBarWidth = 130;

protected:
    void resizeEvent(QResizeEvent *event) override;
};

} // namespace Corvid_Qt

#endif
