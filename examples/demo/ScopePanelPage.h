#ifndef DEMO_SCOPEPANELPAGE_H
#define DEMO_SCOPEPANELPAGE_H

#include "DemoPage.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QVector>
#include <memory>

class QComboBox;
class QStackedWidget;
class QTimer;
class SimulatedCurrentReader;
class SimulatedPixelatedChamber;
class SimulatedProfileMonitor;

namespace Corvid_Qt {
class VRXMultichannelProxyModel;
class VRXScope;
class VRXSingleChannelDataModel;
class VRXSpectrogram;
namespace Units {
class MeasurementUnit;
}
}

/// The library used as a host uses it: each instrument in a ready-made scope
/// panel, chosen with the instrument selector. The simulated 8-channel
/// current reader (one model per channel, merged) and the simulated
/// 32-channel profile monitor (one host model) run all the time, and so does
/// the simulated 128-channel pixelated chamber (one model per channel,
/// merged), whose frames also go to the panel's spectrogram on its "2D" tab;
/// the panels' own buttons average, zero, clear and save their data as CSV
/// files.
class ScopePanelPage : public DemoPage
{
    Q_OBJECT
public:
    explicit ScopePanelPage(QWidget *parent = nullptr);
    ~ScopePanelPage() override;

    void setSimulationRunning(bool running) override;
    void setSimulationSpeed(double factor) override;

    SimulatedCurrentReader *reader() const { return m_reader; }
    SimulatedProfileMonitor *monitor() const { return m_monitor; }
    QComboBox *instrumentSelector() const { return m_instrument; }
    Corvid_Qt::VRXScope *readerScope() const { return m_readerScope; }
    Corvid_Qt::VRXScope *monitorScope() const { return m_monitorScope; }
    Corvid_Qt::VRXScope *chamberScope() const { return m_chamberScope; }
    Corvid_Qt::VRXSpectrogram *spectrogram() const;
    /// Reads one chamber frame at time t (seconds) into its models and the spectrogram.
    void feedChamber(double t);
    /// Fills the chamber models' whole history with frames from before the
    /// page's clock started, as a chamber that has run for a while.
    void fillChamberHistory();
    /// Clears the profile monitor and gives it the frames of its first
    /// `seconds`, twenty a second.
    void replayMonitor(double seconds);

private:
    void showInstrument(int index);
    void feedMonitor();
    void buildChamber();

    std::unique_ptr<Corvid_Qt::Units::MeasurementUnit> m_units;
    Corvid_Qt::VRXMultichannelProxyModel *m_readerModel;
    SimulatedCurrentReader *m_reader;
    SimulatedProfileMonitor *m_monitor;
    QTimer *m_monitorTimer;
    QElapsedTimer m_monitorClock;
    double m_speed = 1;
    QComboBox *m_instrument;
    QStackedWidget *m_stack;
    Corvid_Qt::VRXScope *m_readerScope;
    Corvid_Qt::VRXScope *m_monitorScope;
    std::unique_ptr<SimulatedPixelatedChamber> m_chamber;
    Corvid_Qt::VRXMultichannelProxyModel *m_chamberModel;
    QVector<Corvid_Qt::VRXSingleChannelDataModel *> m_chamberChannels;
    Corvid_Qt::VRXScope *m_chamberScope;
    QTimer *m_chamberTimer;
};

#endif
