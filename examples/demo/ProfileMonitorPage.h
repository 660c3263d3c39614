#ifndef DEMO_PROFILEMONITORPAGE_H
#define DEMO_PROFILEMONITORPAGE_H

#include "DemoPage.h"

#include <QtCore/QElapsedTimer>

class QTimer;
class SimulatedProfileMonitor;

namespace Corvid_Qt {
class VRXScopePlotView;
}

/// A simulated 32-channel beam profile monitor shown in histogram mode:
/// a Gaussian beam that drifts and breathes over noise, now and then joined
/// by a second peak, with centre-of-gravity and Gaussian fits for two peak
/// regions and full statistics.
class ProfileMonitorPage : public DemoPage
{
    Q_OBJECT
public:
    explicit ProfileMonitorPage(QWidget *parent = nullptr);
    ~ProfileMonitorPage() override;

    void setSimulationRunning(bool running) override;
    void setSimulationSpeed(double factor) override;

    SimulatedProfileMonitor *monitor() const { return m_monitor; }
    Corvid_Qt::VRXScopePlotView *view() const { return m_view; }

private Q_SLOTS:
    void tick();

private:
    SimulatedProfileMonitor *m_monitor;
    Corvid_Qt::VRXScopePlotView *m_view;
    QTimer *m_timer;
    QElapsedTimer m_clock;
    double m_speed = 1;
};

#endif
