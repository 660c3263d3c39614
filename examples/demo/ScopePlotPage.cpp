#include "ScopePlotPage.h"

#include "SimulatedCurrentReader.h"

#include <MeasurementUnit.h>
#include <VRXAveragingProxyModel.h>
#include <VRXLatestPlotDataProxyModel.h>
#include <VRXMultichannelProxyModel.h>
#include <VRXScopePlotView.h>
#include <VRXSingleChannelDataModel.h>
#include <VRXTableView.h>
#include <VRXZeroingProxyModel.h>

#include <KItemModels/KLinkItemSelectionModel>

#include <QtWidgets/QComboBox>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QVBoxLayout>

using namespace Corvid_Qt;

ScopePlotPage::ScopePlotPage(QWidget *parent)
    : DemoPage(tr("Scope plot"), parent)
    , m_units(Units::MeasurementUnit::fromType(Units::Units_nA))
    , m_merged(new VRXMultichannelProxyModel(this))
    , m_averaged(new VRXAveragingProxyModel(this))
    , m_zeroed(new VRXZeroingProxyModel(this))
    , m_view(new VRXScopePlotView(this))
    , m_latest(new VRXLatestPlotDataProxyModel(this))
    , m_table(new VRXTableView(this))
    , m_mode(new QComboBox(this))
    , m_samples(new QLabel(this))
{
    for (int c = 0; c < SimulatedCurrentReader::channels; ++c) {
        auto *model = new VRXSingleChannelDataModel(m_merged);
        model->setChannelName(QStringLiteral("I%1").arg(c + 1));
        model->setPlotWidthHintPoints(defaultWindowPoints);
        model->SetUnits(m_units.get());
        m_merged->addSourceModel(model);
        m_models.append(model);
    }
    m_reader = new SimulatedCurrentReader(m_models, this);
    m_averaged->setSourceModel(m_merged);
    m_zeroed->setSourceModel(m_averaged);

    m_view->setModel(m_zeroed);
    m_view->SetYScaleMode(VRXScopePlotView::PlotScaleAuto);
    m_view->SetPlotMode(VRXScopePlotView::StripPlotMode);
    m_view->SetBufferSizeLabel(m_samples);

    // The table reads the same chain as the plot, so a channel chosen in
    // either maps onto the other through the proxies.
    m_latest->setSourceModel(m_zeroed);
    m_table->setModel(m_latest);
    m_table->setCornerButtonText(tr("Ch"));
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_latestSelection = new KLinkItemSelectionModel(m_latest, m_view->selectionModel(), this);
    m_table->setSelectionModel(m_latestSelection);

    m_mode->addItems({tr("Strip chart"), tr("Scope")});
    connect(m_mode, qOverload<int>(&QComboBox::currentIndexChanged), m_view,
            qOverload<int>(&VRXScopePlotView::SetPlotMode));

    auto *controls = new QHBoxLayout;
    controls->addWidget(new QLabel(tr("Mode:"), this));
    controls->addWidget(m_mode);
    controls->addStretch();
    controls->addWidget(m_samples);
    auto *plotAndTable = new QHBoxLayout;
    plotAndTable->addWidget(m_view, 3);
    plotAndTable->addWidget(m_table, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(plotAndTable, 1);
    layout->addLayout(controls);

    m_reader->start();
}

ScopePlotPage::~ScopePlotPage()
{
    // Each layer reads the one below to the end: take them away from the top.
    m_reader->stop();
    delete m_table;
    delete m_latestSelection;
    delete m_latest;
    delete m_view;
    delete m_zeroed;
    delete m_averaged;
    delete m_merged;
}

void ScopePlotPage::setWindowPoints(int points)
{
    for (VRXSingleChannelDataModel *model : qAsConst(m_models))
        model->setPlotWidthHintPoints(points);
}

void ScopePlotPage::setSimulationRunning(bool running)
{
    if (running)
        m_reader->start();
    else
        m_reader->stop();
}

void ScopePlotPage::setSimulationSpeed(double factor)
{
    m_reader->setSpeed(factor);
}
