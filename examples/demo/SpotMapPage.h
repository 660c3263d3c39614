#ifndef DEMO_SPOTMAPPAGE_H
#define DEMO_SPOTMAPPAGE_H

#include "DemoPage.h"

class SimulatedSpotMaps;

namespace Corvid_Qt {
class SpotMapWidget;
}

/// The planned and the delivered spot map of a simulated scanned treatment
/// side by side, each the other's diff target. Page Up and Page Down in
/// either map step both through the layers.
class SpotMapPage : public DemoPage
{
    Q_OBJECT
public:
    explicit SpotMapPage(QWidget *parent = nullptr);

    Corvid_Qt::SpotMapWidget *planned() const { return m_planned; }
    Corvid_Qt::SpotMapWidget *delivered() const { return m_delivered; }
    int layer() const { return m_layer; }

private:
    void showLayer(int layer);

    SimulatedSpotMaps *m_maps;
    Corvid_Qt::SpotMapWidget *m_planned;
    Corvid_Qt::SpotMapWidget *m_delivered;
    int m_layer = -1;
};

#endif
