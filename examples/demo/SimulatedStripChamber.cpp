#include "SimulatedStripChamber.h"

#include <cmath>

namespace {

/// Charge on each strip of one axis for a profile of the given centre and sigma.
void addProfile(float *strips, double charge, double centre, double sigma, std::mt19937 &rng)
{
    const double pitch = SimulatedStripChamber::kPitch;
    const double perStrip = charge * pitch / (std::sqrt(2 * M_PI) * sigma);
    std::normal_distribution<double> noise(0.0, 0.004 * perStrip);
    for (int k = 0; k < SimulatedStripChamber::kStrips; ++k) {
        const double d = (k + 0.5 - SimulatedStripChamber::kStrips / 2) * pitch - centre;
        strips[k] = float(perStrip * std::exp(-0.5 * d * d / (sigma * sigma)) + noise(rng));
    }
}

double balance(const float *strips)
{
    double low = 0.0, high = 0.0;
    for (int k = 0; k < SimulatedStripChamber::kStrips; ++k)
        (k < SimulatedStripChamber::kStrips / 2 ? low : high) += strips[k];
    const double sum = low + high;
    return sum > 0.0 ? (high - low) / sum : 0.0;
}

} // namespace

SimulatedStripChamber::SimulatedStripChamber(unsigned seed)
    : m_rng(seed)
{
}

QVector<float> SimulatedStripChamber::frame(double t)
{
    return frame(beam(t));
}

QVector<float> SimulatedStripChamber::frame(const BeamShape &beam)
{
    QVector<float> values(kChannels, 0.0f);
    addProfile(values.data() + kXFirst, beam.charge, beam.x, projectedSigmaX(beam), m_rng);
    addProfile(values.data() + kYFirst, beam.charge, beam.y, projectedSigmaY(beam), m_rng);
    return values;
}

double SimulatedStripChamber::xBalance(const QVector<float> &frame)
{
    return frame.size() < kChannels ? 0.0 : balance(frame.constData() + kXFirst);
}

double SimulatedStripChamber::yBalance(const QVector<float> &frame)
{
    return frame.size() < kChannels ? 0.0 : balance(frame.constData() + kYFirst);
}
