#ifndef CORVID_TESTS_CHAMBER_CHAMBERFRAMES_H
#define CORVID_TESTS_CHAMBER_CHAMBERFRAMES_H

// Synthetic chamber frames: Gaussian beams sampled on the pixel map of a
// pixelated chamber or on the X and Y strips of a strip chamber.

#include <VRXPixelatedChamber.h>

#include <QtCore/QVector>

#include <cmath>

struct Beam
{
    double x = 6.0; // centre, cells (pixel k spans k .. k + 1)
    double y = 6.0;
    double major = 1.5; // sigmas, cells
    double minor = 1.5;
    double angle = 0.0; // radians, from +column towards +row
    double amplitude = 1.0;
};

/// 128 channel values whose pixels show the beam.
template <class T = float>
QVector<T> pixelatedFrame(const Beam &b)
{
    QVector<T> frame(128, T(0));
    const double c = std::cos(b.angle), s = std::sin(b.angle);
    for (const corvid::math::ICtoLMMapping *m = corvid::math::_mapping_LM2_LM3; m->q905 != -1; ++m) {
        const double dx = m->x + 0.5 - b.x, dy = m->y + 0.5 - b.y;
        const double u = dx * c + dy * s, v = -dx * s + dy * c;
        frame[m->q905] = T(b.amplitude * std::exp(-u * u / (2 * b.major * b.major) - v * v / (2 * b.minor * b.minor)));
    }
    return frame;
}

/// Strip frame: X profile in values 0-31, Y profile in 64-95, each a
/// Gaussian of the given mean (strip index) and sigma.
inline QVector<float> stripFrame(double meanX, double sigmaX, double meanY, double sigmaY, double amplitude = 1.0)
{
    QVector<float> frame(128, 0.0f);
    for (int i = 0; i < 32; ++i) {
        frame[i] = float(amplitude * std::exp(-(i - meanX) * (i - meanX) / (2 * sigmaX * sigmaX)));
        frame[64 + i] = float(amplitude * std::exp(-(i - meanY) * (i - meanY) / (2 * sigmaY * sigmaY)));
    }
    return frame;
}

#endif
