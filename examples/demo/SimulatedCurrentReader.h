#ifndef DEMO_SIMULATEDCURRENTREADER_H
#define DEMO_SIMULATEDCURRENTREADER_H

#include <QtCore/QElapsedTimer>
#include <QtCore/QObject>
#include <QtCore/QTimer>
#include <QtCore/QVector>

namespace Corvid_Qt {
class VRXSingleChannelDataModel;
}

/// An eight-channel current reader sampling every channel at 1 kHz: each
/// channel carries a slow sine, noise and a 4 Hz train of beam pulses, and the
/// reader stops sending for a while now and then, which leaves a gap.
/// Readings go to one single-channel model per channel (not owned).
/// message() tells what a real reader's driver would log: connecting,
/// timeouts and dropped frames around the pauses, overranges.
class SimulatedCurrentReader : public QObject
{
    Q_OBJECT
public:
    static const int channels = 8;

    explicit SimulatedCurrentReader(const QVector<Corvid_Qt::VRXSingleChannelDataModel *> &models,
                                    QObject *parent = nullptr);

    /// Feeds the models in real time from a timer.
    void start();
    void stop();
    /// Clears the models and feeds `seconds` of simulated time at once.
    void replay(double seconds);
    /// After a replay: the reader is cut off for `seconds`, then feeds on up
    /// to `until` seconds of simulated time.
    void outage(double seconds, double until);
    /// Goes on feeding in real time from the last sample, without clearing.
    void resume();
    /// Simulated seconds per real second.
    void setSpeed(double factor);

    /// Simulated seconds at which the reader pauses, and for how long.
    static double pauseStart(int cycle) { return 2.0 + 6.0 * cycle; }
    static constexpr double pauseLength = 0.35;

    /// The current of channel c (0-based) at time t in amperes.
    static double current(int channel, double t, quint32 &noise);
    /// Currents above this (amperes) are reported as overrange.
    static constexpr double overrangeLimit = 2.8e-9;

signals:
    void message(const QString &text);

private:
    void advanceTo(double t);

    QVector<Corvid_Qt::VRXSingleChannelDataModel *> m_models;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_sample = 0;
    double m_clockStart = 0;
    double m_speed = 1;
    quint32 m_noise = 12345;
    bool m_paused = false;
    QVector<bool> m_overrange;
};

#endif
