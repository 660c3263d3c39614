#ifndef CORVID_QT_SPECTROGRAMSCALEDRAW_H
#define CORVID_QT_SPECTROGRAMSCALEDRAW_H

#include "corvid_qt_export.h"

#include <qwt_scale_draw.h>

namespace Corvid_Qt {

/**
 * Labels a spectrogram image axis in millimetres from the chamber centre
 * ("-18mm"), cell values converted with m_mmPerStrip around m_strips / 2.
 * On the left axis the values grow downwards unless m_invert_y; on the
 * bottom axis m_invert_x mirrors them. Owned by its scale widget.
 */
class CORVID_QT_EXPORT SpectrogramScaleDraw : public QwtScaleDraw
{
public:
    SpectrogramScaleDraw();

    QwtText label(double value) const override;

    bool m_invert_x;
    bool m_invert_y;
    double m_mmPerStrip;
    int m_strips;
};

} // namespace Corvid_Qt

#endif
