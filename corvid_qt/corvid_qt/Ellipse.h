#ifndef CORVID_QT_ELLIPSE_H
#define CORVID_QT_ELLIPSE_H

#include "corvid_qt_export.h"

#include <qwt_plot_item.h>

namespace Corvid_Qt {

/**
 * Beam overlay of the spectrogram image: the beam ellipse, a dot at its
 * centre, the origin cross and the displacement arrow from the origin to
 * the centre, plus an hourglass in the top-right corner while frames are
 * rejected by the beam threshold. The owner writes the members directly.
 *
 * Geometry is in plot units (pixels or strips); the origin is in
 * millimetres and converted with m_mmPerStrip. m_rotation is the beam's
 * orientation in degrees as shown on screen with y up (the axis inversions
 * already folded in), so the drawn major axis follows the beam.
 * Owned by the plot it is attached to.
 */
class CORVID_QT_EXPORT Ellipse : public QwtPlotItem
{
public:
    Ellipse();

    int rtti() const override;
    void draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
              const QRectF &canvasRect) const override;

    float m_rotation;
    float m_major;
    float m_minor;
    float m_x;
    float m_y;
    bool m_ellipse;
    bool m_arrow;
    int m_arrow_scale;
    double m_xorigin;
    double m_yorigin;
    bool m_waiting;
    int m_strips;
    double m_mmPerStrip;
};

} // namespace Corvid_Qt

#endif
