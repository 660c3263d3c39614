#include "SimulatedPixelatedChamber.h"

#include <VRXPixelatedChamber.h>

#include <cmath>

SimulatedPixelatedChamber::SimulatedPixelatedChamber(unsigned seed)
    : m_rng(seed)
{
}

QVector<float> SimulatedPixelatedChamber::frame(double t)
{
    return frame(beam(t));
}

QVector<float> SimulatedPixelatedChamber::frame(const BeamShape &beam)
{
    const double pitch = double(corvid::math::k_conv);
    const double c = std::cos(beam.angle), s = std::sin(beam.angle);
    const double perPixel = beam.charge * pitch * pitch / (2 * M_PI * beam.sigmaMajor * beam.sigmaMinor);
    std::normal_distribution<double> noise(0.0, 0.004 * perPixel);

    QVector<float> values(kChannels);
    for (float &v : values)
        v = float(noise(m_rng));
    for (const auto *pixel = corvid::math::_mapping_LM2_LM3; pixel->q905 >= 0; ++pixel) {
        // Row 0 is the top row of the chamber.
        const double dx = (pixel->x + 0.5 - kSide / 2) * pitch - beam.x;
        const double dy = (kSide / 2 - pixel->y - 0.5) * pitch - beam.y;
        const double u = c * dx + s * dy, w = -s * dx + c * dy;
        const double g = std::exp(-0.5 * (u * u / (beam.sigmaMajor * beam.sigmaMajor) +
                                          w * w / (beam.sigmaMinor * beam.sigmaMinor)));
        values[pixel->q905] += float(perPixel * g);
    }
    return values;
}
