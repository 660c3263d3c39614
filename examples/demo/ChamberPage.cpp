#include "ChamberPage.h"

#include "SimulatedPixelatedChamber.h"
#include "SimulatedStripChamber.h"

#include <VRXPixelatedChamber.h>
#include <VRXPositionPlot.h>
#include <VRXScopePlotView.h>
#include <VRXSplitPlot.h>

#include <QtCore/QTimer>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QVBoxLayout>

using Corvid_Qt::VRXPositionPlot;
using Corvid_Qt::VRXScopePlotView;
using Corvid_Qt::VRXSplitPlot;

namespace {

QGroupBox *framed(const QString &title, QWidget *content)
{
    auto *box = new QGroupBox(title);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(content);
    return box;
}

} // namespace

ChamberPage::ChamberPage(QWidget *parent)
    : DemoPage(tr("Chamber"), parent)
    , m_pixelated(new SimulatedPixelatedChamber)
    , m_strips(new SimulatedStripChamber)
    , m_position(new VRXPositionPlot)
    , m_split(new VRXSplitPlot)
    , m_timer(new QTimer(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(framed(tr("Pixelated chamber: beam mean position (mm)"), m_position), 3);
    layout->addWidget(framed(tr("Strip chamber: balance"), m_split), 2);

    // The chamber is 45 mm across; show +-20 mm around its centre.
    m_position->setXScale(-20.0, 20.0);
    m_position->setYScale(-20.0, 20.0);
    m_position->setScale(VRXScopePlotView::PlotScale100);

    m_split->setNumberPlots(2);
    // The beam stays within half of either side.
    m_split->setXScale(-1.0, 1.0);
    m_split->setScale(VRXScopePlotView::PlotScale50);
    m_split->setAxisLabel(tr("X balance (right - left) / sum"), 0);
    m_split->setAxisLabel(tr("Y balance (top - bottom) / sum"), 1);

    connect(m_timer, &QTimer::timeout, this, [this]() { feed(m_speed * m_clock.elapsed() / 1000.0); });
    setSimulationRunning(true);
}

ChamberPage::~ChamberPage() = default;

void ChamberPage::feed(double t)
{
    using Chamber = corvid::math::VRXPixelatedChamber<float>;
    const QVector<float> pixels = m_pixelated->frame(t);
    Chamber chamber(pixels.constData(), size_t(pixels.size()), Chamber::OwnershipPolicyShared);
    Chamber::LMMatrix image;
    chamber.calculate_all(corvid::math::LM2_IC, 0.0f, image);
    if (chamber.isValid())
        m_position->setData(chamber.meanXmm(false), chamber.meanYmm(false));

    const QVector<float> strips = m_strips->frame(t);
    m_split->setData(SimulatedStripChamber::xBalance(strips), SimulatedStripChamber::yBalance(strips));
}

void ChamberPage::setSimulationRunning(bool running)
{
    if (running) {
        m_clock.start();
        m_timer->start(int(50 / m_speed));
    } else {
        m_timer->stop();
    }
}

void ChamberPage::setSimulationSpeed(double factor)
{
    if (factor <= 0)
        return;
    m_speed = factor;
    m_clock.start();
    if (m_timer->isActive())
        m_timer->start(int(50 / m_speed));
}
