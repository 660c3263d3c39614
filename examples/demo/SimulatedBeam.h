#ifndef DEMO_SIMULATEDBEAM_H
#define DEMO_SIMULATEDBEAM_H

/// An elliptical Gaussian beam at one moment, in chamber millimetres
/// (X to the right, Y up, the chamber centre at 0).
struct BeamShape
{
    double x = 0.0;
    double y = 0.0;
    double sigmaMajor = 1.0;
    double sigmaMinor = 1.0;
    /// Of the major axis, radians, anticlockwise from X.
    double angle = 0.0;
    /// Charge per sample over the whole beam, coulombs.
    double charge = 0.0;
};

/// The beam both simulated chambers see: it drifts on a slow Lissajous
/// path, rotates about once a minute and breathes. Phase shifts its motion
/// so that two chambers need not show the same beam.
BeamShape simulatedBeam(double t, double phase = 0.0);

/// The standard deviations of the beam's profiles along X and Y.
double projectedSigmaX(const BeamShape &beam);
double projectedSigmaY(const BeamShape &beam);

#endif
