#ifndef DEMO_CHAMBERPAGE_H
#define DEMO_CHAMBERPAGE_H

#include "DemoPage.h"

#include <QtCore/QElapsedTimer>
#include <memory>

class QTimer;
class SimulatedPixelatedChamber;
class SimulatedStripChamber;

namespace Corvid_Qt {
class VRXPositionPlot;
class VRXSplitPlot;
}

/// Two simulated chambers watching a drifting, rotating, breathing beam:
/// the pixelated chamber's beam mean position (mm) in the position plot, the
/// strip chamber's X and Y balance in the split plot.
class ChamberPage : public DemoPage
{
    Q_OBJECT
public:
    explicit ChamberPage(QWidget *parent = nullptr);
    ~ChamberPage() override;

    void setSimulationRunning(bool running) override;
    void setSimulationSpeed(double factor) override;

    /// Reads one frame of each chamber at time t (seconds) into the plots.
    void feed(double t);

    SimulatedPixelatedChamber *pixelatedChamber() const { return m_pixelated.get(); }
    SimulatedStripChamber *stripChamber() const { return m_strips.get(); }
    Corvid_Qt::VRXPositionPlot *positionPlot() const { return m_position; }
    Corvid_Qt::VRXSplitPlot *splitPlot() const { return m_split; }

private:
    std::unique_ptr<SimulatedPixelatedChamber> m_pixelated;
    std::unique_ptr<SimulatedStripChamber> m_strips;
    Corvid_Qt::VRXPositionPlot *m_position;
    Corvid_Qt::VRXSplitPlot *m_split;
    QTimer *m_timer;
    QElapsedTimer m_clock;
    double m_speed = 1;
};

#endif
