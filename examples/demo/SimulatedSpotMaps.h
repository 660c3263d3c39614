#ifndef DEMO_SIMULATEDSPOTMAPS_H
#define DEMO_SIMULATEDSPOTMAPS_H

#include <QtCore/QObject>

class QStandardItemModel;

/// A simulated scanned-beam treatment of three layers: the planned spot map
/// and the delivered one, which has one row of spots shifted sideways and a
/// few spots missing in every layer. Both are two-level models (layers, then
/// their spots) in the spot map view's columns, positions in mm.
class SimulatedSpotMaps : public QObject
{
    Q_OBJECT
public:
    explicit SimulatedSpotMaps(QObject *parent = nullptr);

    QStandardItemModel *planned() const { return m_planned; }
    QStandardItemModel *delivered() const { return m_delivered; }

private:
    QStandardItemModel *m_planned;
    QStandardItemModel *m_delivered;
};

#endif
