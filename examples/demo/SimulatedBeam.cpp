#include "SimulatedBeam.h"

#include <cmath>

BeamShape simulatedBeam(double t, double phase)
{
    const double breath = 1.0 + 0.15 * std::sin(1.3 * t + phase);
    BeamShape beam;
    beam.x = 6.0 * std::sin(0.31 * t + phase);
    beam.y = 4.5 * std::sin(0.47 * t + 0.8 + phase);
    beam.sigmaMajor = 5.5 * breath;
    beam.sigmaMinor = 3.2 * breath;
    beam.angle = 0.1 * t + phase;
    beam.charge = 60e-9 * (1.0 + 0.1 * std::sin(0.23 * t));
    return beam;
}

double projectedSigmaX(const BeamShape &beam)
{
    const double c = std::cos(beam.angle), s = std::sin(beam.angle);
    return std::sqrt(beam.sigmaMajor * beam.sigmaMajor * c * c + beam.sigmaMinor * beam.sigmaMinor * s * s);
}

double projectedSigmaY(const BeamShape &beam)
{
    const double c = std::cos(beam.angle), s = std::sin(beam.angle);
    return std::sqrt(beam.sigmaMajor * beam.sigmaMajor * s * s + beam.sigmaMinor * beam.sigmaMinor * c * c);
}
