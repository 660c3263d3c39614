#ifndef DEMO_SIMULATEDSTRIPCHAMBER_H
#define DEMO_SIMULATEDSTRIPCHAMBER_H

#include "SimulatedBeam.h"

#include <QtCore/QVector>
#include <random>

/// A strip chamber of 32 X strips and 32 Y strips, 2 mm apart, read out as
/// one frame of 128 channel charges (coulombs per sample): the X strips,
/// left to right, on channels 0-31 and the Y strips, bottom to top, on
/// channels 64-95; the other channels stay 0. A frame fits
/// VRXSpectrogram::setData() in strip mode as it is.
class SimulatedStripChamber
{
public:
    static const int kChannels = 128;
    static const int kStrips = 32;
    static const int kXFirst = 0;
    static const int kYFirst = 64;
    static constexpr double kPitch = 2.0;

    explicit SimulatedStripChamber(unsigned seed = 13);

    /// The frame at time t (seconds), with fresh noise.
    QVector<float> frame(double t);
    /// The beam that frame(t) shows.
    BeamShape beam(double t) const { return simulatedBeam(t, 1.7); }
    QVector<float> frame(const BeamShape &beam);

    /// (right - left) / (right + left) of the X strips of a frame, -1 .. 1;
    /// 0 without signal.
    static double xBalance(const QVector<float> &frame);
    /// (top - bottom) / (top + bottom) of the Y strips.
    static double yBalance(const QVector<float> &frame);

private:
    std::mt19937 m_rng;
};

#endif
