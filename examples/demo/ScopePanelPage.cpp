#include "ScopePanelPage.h"

#include "SimulatedCurrentReader.h"
#include "SimulatedPixelatedChamber.h"
#include "SimulatedProfileMonitor.h"

#include <MeasurementUnit.h>
#include <VRXMultichannelProxyModel.h>
#include <VRXScope.h>
#include <VRXScopePlotView.h>
#include <VRXSingleChannelDataModel.h>
#include <VRXSpectrogram.h>

#include <QtCore/QTimer>
#include <QtCore/QVector>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QStackedWidget>
#include <QtWidgets/QVBoxLayout>

using namespace Corvid_Qt;

namespace {

// 2.5 s of the 1 kHz reader across the strip.
const int kReaderWindow = 2500;
// The chamber delivers ten frames a second; ten seconds across the strip.
const int kChamberWindow = 100;
const int kChamberPeriodMs = 100;
// Ten minutes of frames per pad; 128 pads at the models' default of 100,000
// samples would hold 200 MB for a display that shows ten seconds.
const int kChamberHistory = 6000;

} // namespace

ScopePanelPage::ScopePanelPage(QWidget *parent)
    : DemoPage(tr("Scope panel"), parent)
    , m_units(Units::MeasurementUnit::fromType(Units::Units_nA))
    , m_readerModel(new VRXMultichannelProxyModel(this))
    , m_monitor(new SimulatedProfileMonitor(this))
    , m_monitorTimer(new QTimer(this))
    , m_instrument(new QComboBox(this))
    , m_stack(new QStackedWidget(this))
    , m_readerScope(new VRXScope)
    , m_monitorScope(new VRXScope)
    , m_chamber(new SimulatedPixelatedChamber)
    , m_chamberModel(new VRXMultichannelProxyModel(this))
    , m_chamberScope(new VRXScope)
    , m_chamberTimer(new QTimer(this))
{
    QVector<VRXSingleChannelDataModel *> channels;
    for (int c = 0; c < SimulatedCurrentReader::channels; ++c) {
        auto *model = new VRXSingleChannelDataModel(m_readerModel);
        model->setChannelName(QStringLiteral("I%1").arg(c + 1));
        model->setPlotWidthHintPoints(kReaderWindow);
        model->SetUnits(m_units.get());
        m_readerModel->addSourceModel(model);
        channels.append(model);
    }
    m_reader = new SimulatedCurrentReader(channels, this);

    // The reader's full range is +-10 nA; the percentage scales are of that.
    m_readerScope->setModel(m_readerModel);
    m_readerScope->SetRange(-10.0, 10.0);
    m_readerScope->SetPlotMode(VRXScope::StripPlotMode);

    m_monitor->addFrame(0.0);
    m_monitorScope->setModel(m_monitor);
    m_monitorScope->SetPlotMode(VRXScope::HistogramPlotMode);
    VRXScopePlotView *profile = m_monitorScope->plotView();
    profile->enableHistogramItem(VRXScopePlotView::CoGHistogramItemType, 2, {0, 0.1, 3}, true);
    profile->enableHistogramItem(VRXScopePlotView::RegressionHistogramItemType, 2, {0.1, 1024, 1e-15, 1e-14, 2, 5},
                                 true);

    m_stack->addWidget(m_readerScope);
    m_stack->addWidget(m_monitorScope);
    buildChamber();
    m_stack->addWidget(m_chamberScope);
    m_instrument->addItems({tr("8-channel current reader"), tr("32-channel profile monitor"),
                            tr("128-channel pixelated chamber")});
    connect(m_instrument, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ScopePanelPage::showInstrument);

    auto *selector = new QHBoxLayout;
    auto *label = new QLabel(tr("&Instrument:"), this);
    label->setBuddy(m_instrument);
    selector->addWidget(label);
    selector->addWidget(m_instrument);
    selector->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(selector);
    layout->addWidget(m_stack, 1);

    connect(m_monitorTimer, &QTimer::timeout, this, &ScopePanelPage::feedMonitor);
    m_monitorClock.start();
    m_monitorTimer->start(50);
    m_reader->start();
    connect(m_chamberTimer, &QTimer::timeout, this,
            [this]() { feedChamber(m_speed * m_monitorClock.elapsed() / 1000.0); });
    m_chamberTimer->start(kChamberPeriodMs);
}

void ScopePanelPage::buildChamber()
{
    for (int c = 0; c < SimulatedPixelatedChamber::kChannels; ++c) {
        auto *model = new VRXSingleChannelDataModel(kChamberHistory, m_chamberModel);
        model->setChannelName(QStringLiteral("Q%1").arg(c + 1));
        model->setPlotWidthHintPoints(kChamberWindow);
        m_chamberModel->addSourceModel(model);
        m_chamberChannels.append(model);
    }
    m_chamberScope->setModel(m_chamberModel);
    m_chamberScope->setPixelatedEnabled(true);
    VRXSpectrogram *image = spectrogram();
    image->setName("Pixelated chamber");
    image->setPixelated(true);
    image->sidebarEnabled(false);
}

VRXSpectrogram *ScopePanelPage::spectrogram() const
{
    return m_chamberScope->plotView()->spectrogram();
}

void ScopePanelPage::fillChamberHistory()
{
    // The frames of the history before the page's clock started.
    for (int k = 0; k < kChamberHistory; ++k) {
        const double t = (k - kChamberHistory) * kChamberPeriodMs / 1000.0;
        const QVector<float> frame = m_chamber->frame(t);
        for (int c = 0; c < m_chamberChannels.size(); ++c)
            m_chamberChannels[c]->AddData(t, frame[c]);
    }
}

void ScopePanelPage::replayMonitor(double seconds)
{
    m_monitor->Clear();
    for (int i = 0; i <= qRound(seconds / 0.05); ++i)
        m_monitor->addFrame(0.05 * i);
}

void ScopePanelPage::feedChamber(double t)
{
    const QVector<float> frame = m_chamber->frame(t);
    for (int c = 0; c < m_chamberChannels.size(); ++c)
        m_chamberChannels[c]->AddData(t, frame[c]);
    spectrogram()->setData(frame, t);
}

ScopePanelPage::~ScopePanelPage()
{
    m_reader->stop();
    m_monitorTimer->stop();
    m_chamberTimer->stop();
    // The panels read the models to the end; they go first.
    delete m_stack;
}

void ScopePanelPage::showInstrument(int index)
{
    m_stack->setCurrentIndex(index);
}

void ScopePanelPage::feedMonitor()
{
    m_monitor->addFrame(m_speed * m_monitorClock.elapsed() / 1000.0);
}

void ScopePanelPage::setSimulationRunning(bool running)
{
    if (running) {
        m_monitorClock.start();
        m_monitorTimer->start(int(50 / m_speed));
        m_reader->start();
        m_chamberTimer->start(kChamberPeriodMs);
    } else {
        m_reader->stop();
        m_monitorTimer->stop();
        m_chamberTimer->stop();
    }
}

void ScopePanelPage::setSimulationSpeed(double factor)
{
    if (factor <= 0)
        return;
    m_speed = factor;
    m_reader->setSpeed(factor);
    m_monitorClock.start();
    m_monitor->Clear();
    if (m_monitorTimer->isActive())
        m_monitorTimer->start(int(50 / m_speed));
}
