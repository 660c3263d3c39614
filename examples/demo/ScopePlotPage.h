#ifndef DEMO_SCOPEPLOTPAGE_H
#define DEMO_SCOPEPLOTPAGE_H

#include "DemoPage.h"

#include <memory>

class QComboBox;
class QLabel;
class SimulatedCurrentReader;

namespace Corvid_Qt {
class VRXAveragingProxyModel;
class VRXMultichannelProxyModel;
class VRXScopePlotView;
class VRXZeroingProxyModel;
namespace Units {
class MeasurementUnit;
}
}

/// A simulated eight-channel current reader shown as a strip chart: one
/// single-channel model per channel, merged, averaged and zeroed under a
/// scope plot view. Click the plot to place the two markers (left and right
/// button); the right one shows the statistics between them.
class ScopePlotPage : public DemoPage
{
    Q_OBJECT
public:
    explicit ScopePlotPage(QWidget *parent = nullptr);
    ~ScopePlotPage() override;

    void setSimulationRunning(bool running) override;
    void setSimulationSpeed(double factor) override;
    Corvid_Qt::VRXMultichannelProxyModel *mergedModel() const { return m_merged; }

    Corvid_Qt::VRXScopePlotView *view() const { return m_view; }
    SimulatedCurrentReader *reader() const { return m_reader; }
    /// Strip chart or scope, as a user chooses it.
    QComboBox *modeSelector() const { return m_mode; }

private:
    std::unique_ptr<Corvid_Qt::Units::MeasurementUnit> m_units;
    Corvid_Qt::VRXMultichannelProxyModel *m_merged;
    Corvid_Qt::VRXAveragingProxyModel *m_averaged;
    Corvid_Qt::VRXZeroingProxyModel *m_zeroed;
    Corvid_Qt::VRXScopePlotView *m_view;
    QComboBox *m_mode;
    QLabel *m_samples;
    SimulatedCurrentReader *m_reader;
};

#endif
