#ifndef CORVID_QT_CHANNELHOVER_H
#define CORVID_QT_CHANNELHOVER_H

#include "corvid_qt_export.h"

#include <QtCore/QVector>
#include <qwt_plot_picker.h>

#include <array>

namespace Corvid_Qt {

/// Input channel feeding each pixel of the 12 x 12 pixelated image,
/// row-major; -1 where the chamber has no pixel.
CORVID_QT_EXPORT extern const std::array<int, 144> kChannelArray;

/**
 * Tracker of the spectrogram image: shows the value under the cursor,
 * named by its input channel (pixelated chambers, numbered from 1) or by
 * its column and row (strip chambers). m_data holds the last frame's
 * values row-major, m_strips the cells per side. Positions outside the
 * image are clamped to its edge cells. Owned by its canvas.
 */
class CORVID_QT_EXPORT ChannelHover : public QwtPlotPicker
{
    Q_OBJECT

public:
    ChannelHover(int xAxis, int yAxis, RubberBand rubberBand, DisplayMode trackerMode, QWidget *canvas);

    QwtText trackerTextF(const QPointF &pos) const override;

    QVector<double> m_data;
    int m_strips;
    bool m_channel_enable;
};

} // namespace Corvid_Qt

#endif
