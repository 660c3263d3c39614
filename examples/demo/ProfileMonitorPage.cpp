#include "ProfileMonitorPage.h"

#include "SimulatedProfileMonitor.h"

#include <VRXScopePlotView.h>

#include <QtCore/QTimer>
#include <QtWidgets/QVBoxLayout>

using Corvid_Qt::VRXScopePlotView;

ProfileMonitorPage::ProfileMonitorPage(QWidget *parent)
    : DemoPage(tr("Beam profile"), parent)
    , m_monitor(new SimulatedProfileMonitor(this))
    , m_view(new VRXScopePlotView(this))
    , m_timer(new QTimer(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_view);

    m_monitor->addFrame(0.0);
    m_view->setModel(m_monitor);
    m_view->SetPlotMode(VRXScopePlotView::HistogramPlotMode);
    // Centre of gravity above 10 % of the peak; Gaussian fit over the
    // channels above 10 % with weights squared, chi-square over 5 channels.
    m_view->enableHistogramItem(VRXScopePlotView::CoGHistogramItemType, 2, {0, 0.1, 3}, true);
    m_view->enableHistogramItem(VRXScopePlotView::RegressionHistogramItemType, 2, {0.1, 1024, 1e-15, 1e-14, 2, 5},
                                true);

    connect(m_timer, &QTimer::timeout, this, &ProfileMonitorPage::tick);
    m_clock.start();
    m_timer->start(50);
}

ProfileMonitorPage::~ProfileMonitorPage() = default;

void ProfileMonitorPage::tick()
{
    m_monitor->addFrame(m_speed * m_clock.elapsed() / 1000.0);
}

void ProfileMonitorPage::setSimulationRunning(bool running)
{
    if (running) {
        m_clock.start();
        m_timer->start(int(50 / m_speed));
    } else {
        m_timer->stop();
    }
}

void ProfileMonitorPage::setSimulationSpeed(double factor)
{
    if (factor <= 0)
        return;
    m_speed = factor;
    m_clock.start();
    m_monitor->Clear();
    if (m_timer->isActive())
        m_timer->start(int(50 / m_speed));
}
