#include "SimulatedCurrentReader.h"

#include <VRXSingleChannelDataModel.h>

#include <cmath>

using Corvid_Qt::VRXSingleChannelDataModel;

namespace {

const double kRate = 1000.0;

bool paused(double t)
{
    const int cycle = int(std::floor((t - SimulatedCurrentReader::pauseStart(0)) / 6.0));
    if (cycle < 0)
        return false;
    const double start = SimulatedCurrentReader::pauseStart(cycle);
    return t >= start && t < start + SimulatedCurrentReader::pauseLength;
}

} // namespace

SimulatedCurrentReader::SimulatedCurrentReader(const QVector<VRXSingleChannelDataModel *> &models, QObject *parent)
    : QObject(parent)
    , m_models(models)
{
    m_overrange.fill(false, models.size());
    m_timer.setInterval(20);
    connect(&m_timer, &QTimer::timeout, this,
            [this] { advanceTo(m_clockStart + m_speed * m_clock.elapsed() / 1000.0); });
}

void SimulatedCurrentReader::start()
{
    if (m_timer.isActive())
        return;
    m_sample = 0;
    for (VRXSingleChannelDataModel *model : qAsConst(m_models))
        model->Clear();
    m_clockStart = 0;
    m_clock.start();
    m_timer.start();
    emit message(tr("connected, %1 channels at 1 kHz").arg(m_models.size()));
}

void SimulatedCurrentReader::resume()
{
    if (m_timer.isActive())
        return;
    m_clockStart = m_sample / kRate;
    m_clock.start();
    m_timer.start();    emit message(tr("connected again at %1 s").arg(m_clockStart, 0, 'f', 3));
}

void SimulatedCurrentReader::setSpeed(double factor)
{
    if (factor <= 0 || factor == m_speed)
        return;
    // The simulated time reached so far stays where it is.
    m_clockStart += m_speed * m_clock.elapsed() / 1000.0;
    m_clock.restart();
    m_speed = factor;
}

void SimulatedCurrentReader::stop()
{
    if (m_timer.isActive())
        emit message(tr("disconnected"));
    m_timer.stop();
}

void SimulatedCurrentReader::replay(double seconds)
{
    stop();
    for (VRXSingleChannelDataModel *model : qAsConst(m_models))
        model->Clear();
    m_sample = 0;
    m_noise = 12345;
    m_paused = false;
    m_overrange.fill(false);
    advanceTo(seconds);
}

void SimulatedCurrentReader::outage(double seconds, double until)
{
    m_sample += qint64(seconds * kRate);
    advanceTo(until);
}

double SimulatedCurrentReader::current(int channel, double t, quint32 &noise)
{
    // A beam of a few nanoamperes, profile peaked on the middle channels.
    const double profile = std::exp(-0.5 * std::pow((channel - 3.5) / 2.0, 2));
    const double drift = 0.4e-9 * std::sin(2 * M_PI * (0.3 + 0.05 * channel) * t + channel);
    noise = noise * 1664525u + 1013904223u;
    const double jitter = 0.08e-9 * ((noise >> 8) / double(1 << 24) - 0.5);
    // 4 Hz pulses of 30 ms.
    const double phase = std::fmod(t, 0.25);
    const double pulse = phase < 0.03 ? 2.0e-9 * profile : 0.0;
    return 0.5e-9 + drift + jitter + pulse;
}

void SimulatedCurrentReader::advanceTo(double t)
{
    for (;; ++m_sample) {
        // Timestamps start after 0: a timestamp of 0 would clear the models.
        const double time = (m_sample + 1) / kRate;
        if (time > t)
            break;
        if (paused(time) != m_paused) {
            m_paused = !m_paused;
            if (m_paused)
                emit message(tr("error: timeout, no frame since %1 s").arg(time, 0, 'f', 3));
            else
                emit message(tr("reader back, %1 frames dropped").arg(int(pauseLength * kRate)));
        }
        if (m_paused)
            continue;
        for (int c = 0; c < m_models.size(); ++c) {
            const double value = current(c, time, m_noise);
            m_models[c]->AddData(time, value);
            // Once per pulse: the noise crosses the limit many times.
            if (value > overrangeLimit && !m_overrange[c]) {
                m_overrange[c] = true;
                emit message(tr("overrange on channel %1: %2 nA at %3 s")
                                 .arg(c + 1)
                                 .arg(value * 1e9, 0, 'f', 2)
                                 .arg(time, 0, 'f', 3));
            } else if (value < 0.5 * overrangeLimit) {
                m_overrange[c] = false;
            }
        }
    }
}
