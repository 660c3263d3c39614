#ifndef DEMO_SIMULATEDPIXELATEDCHAMBER_H
#define DEMO_SIMULATEDPIXELATEDCHAMBER_H

#include "SimulatedBeam.h"

#include <QtCore/QVector>
#include <random>

/// A 128-channel pixelated chamber: a 12 x 12 grid of 3.8 mm pixels (120 of
/// them wired) read out as one frame of 128 channel charges (coulombs per
/// sample), each pixel on the channel that the pixelated chamber calculation
/// of corvid::math reads for it; the unwired channels carry only noise. A
/// frame fits VRXSpectrogram::setData() in pixelated mode as it is.
class SimulatedPixelatedChamber
{
public:
    static const int kChannels = 128;
    static const int kSide = 12;

    explicit SimulatedPixelatedChamber(unsigned seed = 11);

    /// The frame at time t (seconds), with fresh noise.
    QVector<float> frame(double t);
    /// The beam that frame(t) shows.
    BeamShape beam(double t) const { return simulatedBeam(t); }
    /// The frame of a given beam.
    QVector<float> frame(const BeamShape &beam);

private:
    std::mt19937 m_rng;
};

#endif
