#ifndef DEMO_SCOPEPLOTPAGE_H
#define DEMO_SCOPEPLOTPAGE_H

#include "DemoPage.h"

#include <QtCore/QVector>

#include <memory>

class KLinkItemSelectionModel;
class QComboBox;
class QLabel;
class SimulatedCurrentReader;

namespace Corvid_Qt {
class VRXAveragingProxyModel;
class VRXLatestPlotDataProxyModel;
class VRXMultichannelProxyModel;
class VRXScopePlotView;
class VRXSingleChannelDataModel;
class VRXTableView;
class VRXZeroingProxyModel;
namespace Units {
class MeasurementUnit;
}
}

/// A simulated eight-channel current reader shown as a strip chart: one
/// single-channel model per channel, merged, averaged and zeroed under a
/// scope plot view. Click the plot to place the two markers (left and right
/// button); the right one shows the statistics between them. Beside the
/// plot a table shows every channel's newest value; choosing a channel there
/// moves the first marker onto it and the marker's channel is selected in
/// the table (the two selections are linked by a KLinkItemSelectionModel).
class ScopePlotPage : public DemoPage
{
    Q_OBJECT
public:
    /// Samples across the strip: 2.5 s at 1 kHz, so a pause fits in the window.
    static const int defaultWindowPoints = 2500;

    explicit ScopePlotPage(QWidget *parent = nullptr);
    ~ScopePlotPage() override;

    void setSimulationRunning(bool running) override;
    void setSimulationSpeed(double factor) override;
    Corvid_Qt::VRXMultichannelProxyModel *mergedModel() const { return m_merged; }

    Corvid_Qt::VRXScopePlotView *view() const { return m_view; }
    /// The latest-data table and its selection, linked to the view's.
    Corvid_Qt::VRXTableView *latestTable() const { return m_table; }
    KLinkItemSelectionModel *latestSelection() const { return m_latestSelection; }
    SimulatedCurrentReader *reader() const { return m_reader; }
    /// Strip chart or scope, as a user chooses it.
    QComboBox *modeSelector() const { return m_mode; }
    /// Samples per channel across the strip (the models' width hint); takes
    /// effect with the next data the models receive.
    void setWindowPoints(int points);

private:
    std::unique_ptr<Corvid_Qt::Units::MeasurementUnit> m_units;
    QVector<Corvid_Qt::VRXSingleChannelDataModel *> m_models;
    Corvid_Qt::VRXMultichannelProxyModel *m_merged;
    Corvid_Qt::VRXAveragingProxyModel *m_averaged;
    Corvid_Qt::VRXZeroingProxyModel *m_zeroed;
    Corvid_Qt::VRXScopePlotView *m_view;
    Corvid_Qt::VRXLatestPlotDataProxyModel *m_latest;
    Corvid_Qt::VRXTableView *m_table;
    KLinkItemSelectionModel *m_latestSelection;
    QComboBox *m_mode;
    QLabel *m_samples;
    SimulatedCurrentReader *m_reader;
};

#endif
