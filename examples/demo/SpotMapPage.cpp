#include "SpotMapPage.h"

#include "SimulatedSpotMaps.h"

#include <MapSpot.h>
#include <SpotMapView.h>
#include <SpotMapWidget.h>
#include <VRXAbstractPlotDataModel.h>

#include <QtGui/QStandardItemModel>
#include <QtWidgets/QHBoxLayout>

#include <algorithm>

using namespace Corvid_Qt;

SpotMapPage::SpotMapPage(QWidget *parent)
    : DemoPage(tr("Spot map"), parent)
    , m_maps(new SimulatedSpotMaps(this))
    , m_planned(new SpotMapWidget(this))
    , m_delivered(new SpotMapWidget(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_planned);
    layout->addWidget(m_delivered);

    m_planned->spotMapView()->setModel(m_maps->planned());
    m_delivered->spotMapView()->setModel(m_maps->delivered());
    m_planned->setDiffTarget(m_delivered);
    m_delivered->setDiffTarget(m_planned);
    for (SpotMapWidget *w : {m_planned, m_delivered})
        connect(w, &SpotMapWidget::layerChange, this, [this](int delta) { showLayer(m_layer + delta); });
    showLayer(0);
}

void SpotMapPage::showLayer(int layer)
{
    const int count = m_maps->planned()->rowCount();
    layer = std::clamp(layer, 0, count - 1);
    if (layer == m_layer)
        return;
    m_layer = layer;
    const QString of = tr("layer %1 of %2").arg(layer + 1).arg(count);
    m_planned->setTitle(tr("Planned, %1").arg(of));
    m_delivered->setTitle(tr("Delivered, %1").arg(of));
    for (SpotMapWidget *w : {m_planned, m_delivered}) {
        QAbstractItemModel *model = w->spotMapView()->model();
        const QModelIndex index = model->index(layer, 0);
        w->spotMapView()->scrollTo(index);
        // The pane shows the last spot delivered in the layer.
        const int last = model->rowCount(index) - 1;
        auto value = [&](MapColumn column) {
            return model->index(last, column, index).data(SpecialDataRole).toDouble();
        };
        w->setXvalue(QString::number(value(MapXPosColumn), 'f', 1));
        w->setYvalue(QString::number(value(MapYPosColumn), 'f', 1));
        w->setDoseValue(QString::number(value(MapDoseColumn), 'f', 3));
    }
}
