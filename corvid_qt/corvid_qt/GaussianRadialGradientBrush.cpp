#include "GaussianRadialGradientBrush.h"

#include <QtGui/QRadialGradient>

#include <algorithm>
#include <cmath>

namespace Corvid_Qt {

const double GaussianRadialGradientBrush::_sigmaConst = -0.5;

GaussianRadialGradientBrush *GaussianRadialGradientBrush::create(const QPointF &center, const QColor &color,
                                                                 double intensity, double sigma)
{
    QRadialGradient gradient(center, 1.0);
    gradient.setCoordinateMode(QGradient::ObjectBoundingMode);
    gradient.setColorAt(1.0, Qt::transparent);

    const bool visible = std::isfinite(intensity) && std::abs(intensity) > 1e-12 && std::isfinite(sigma)
                         && sigma > 0 && std::isfinite(center.x()) && std::isfinite(center.y());
    if (!visible) {
        gradient.setColorAt(0.0, Qt::transparent);
        return new GaussianRadialGradientBrush(gradient, 0.0);
    }

    const double peak = std::min(std::abs(intensity), 1.0);
    const double cutOff = CutOff * sigma;
    QColor stop = color;
    for (int i = 0; i < SampleCount; ++i) {
        const double r = double(i) / (SampleCount - 1);
        if (r >= cutOff) {
            gradient.setColorAt(r, Qt::transparent);
            break;
        }
        stop.setAlphaF(std::exp(_sigmaConst * r * r / (sigma * sigma)) * peak);
        gradient.setColorAt(r, stop);
    }
    return new GaussianRadialGradientBrush(gradient, sigma);
}

GaussianRadialGradientBrush::GaussianRadialGradientBrush(const QGradient &gradient, double sigma)
    : QBrush(gradient)
{
    const double side = 2 * CutOff * sigma;
    if (side > 0 && std::isfinite(side)) {
        const QPointF c = center();
        m_boundingRect = QRectF(c.x() - side / 2, c.y() - side / 2, side, side);
    }
}

QPointF GaussianRadialGradientBrush::center() const
{
    const QGradient *g = gradient();
    if (g && g->type() == QGradient::RadialGradient)
        return static_cast<const QRadialGradient *>(g)->center();
    return QPointF();
}

} // namespace Corvid_Qt
