#ifndef CORVID_QT_GAUSSIANRADIALGRADIENTBRUSH_H
#define CORVID_QT_GAUSSIANRADIALGRADIENTBRUSH_H

#include "corvid_qt_export.h"

#include <QtCore/QPointF>
#include <QtCore/QRectF>
#include <QtGui/QBrush>

namespace Corvid_Qt {

/**
 * The brush of one spot of a spot map: a radial gradient whose opacity falls
 * off as a Gaussian of the distance from its centre, cut off at 2.6 sigma.
 *
 * The gradient is in object-bounding coordinates: centre, sigma and
 * boundingRect() are fractions of the rectangle that is filled, so filling
 * the unit rectangle (0, 0, 1, 1) under a transform places the spot. Filling
 * only boundingRect() of it (as a clip) draws every visible pixel.
 */
class CORVID_QT_EXPORT GaussianRadialGradientBrush : public QBrush
{
public:
    /// Radii sampled from the centre to 1.0, both included.
    static constexpr int SampleCount = 57;
    /// The gradient ends here, in units of sigma.
    static constexpr double CutOff = 2.6;

    /// A new brush owned by the caller. Zero, negative or non-finite
    /// intensity or sigma give a fully transparent brush with an empty
    /// bounding rectangle; the opacity at the centre is the intensity,
    /// clamped to 1.
    static GaussianRadialGradientBrush *create(const QPointF &center, const QColor &color,
                                               double intensity, double sigma);

    /// The brush of a radial gradient; the bounding rectangle is the square
    /// of side 5.2 sigma about the gradient's centre.
    GaussianRadialGradientBrush(const QGradient &gradient, double sigma);

    QPointF center() const;
    QRectF boundingRect() const { return m_boundingRect; }

private:
    static const double _sigmaConst;
    QRectF m_boundingRect;
};

} // namespace Corvid_Qt

#endif
