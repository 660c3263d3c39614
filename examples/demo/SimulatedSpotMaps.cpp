#include "SimulatedSpotMaps.h"

#include <MapSpot.h>
#include <VRXAbstractPlotDataModel.h>

#include <QtCore/QPointF>
#include <QtGui/QStandardItemModel>

#include <cmath>

using namespace Corvid_Qt;

namespace {

const int kLayers = 3;
const int kGrid = 12;
const double kPitch = 5.0;
const double kHalfWidth = kPitch * (kGrid - 1) / 2;

QList<QStandardItem *> row(int number, double size, const QVariant &x, const QVariant &y, double dose)
{
    QList<QStandardItem *> items;
    for (const QVariant &v : {QVariant(number), QVariant(size), x, y, QVariant(dose)}) {
        auto *item = new QStandardItem(v.toString());
        item->setData(v, SpecialDataRole);
        items << item;
    }
    return items;
}

// Serpentine scan of one layer; the delivered copy shifts one row by 2.5 mm
// and drops a few spots.
void fill(QStandardItemModel *model, bool delivered)
{
    for (int layer = 0; layer < kLayers; ++layer) {
        const double beam = 2.0 + 0.5 * layer;
        const QList<QStandardItem *> layerRow =
            row(layer + 1, beam, QPointF(-kHalfWidth, kHalfWidth), QPointF(-kHalfWidth, kHalfWidth), 1.0);
        model->appendRow(layerRow);
        const int shiftedRow = 3 + 3 * layer;
        for (int i = 0; i < kGrid * kGrid; ++i) {
            const int r = i / kGrid;
            const int c = r % 2 ? kGrid - 1 - i % kGrid : i % kGrid;
            if (delivered && (i * 37 + layer * 11) % 41 == 0)
                continue;
            double x = -kHalfWidth + c * kPitch;
            const double y = -kHalfWidth + r * kPitch;
            if (delivered && r == shiftedRow)
                x += 2.5;
            // A dose that rises towards the middle of the field.
            const double dose = 0.6 + 0.4 * std::exp(-(x * x + y * y) / (2 * 20.0 * 20.0));
            layerRow[0]->appendRow(row(i + 1, beam, x, y, dose));
        }
    }
}

} // namespace

SimulatedSpotMaps::SimulatedSpotMaps(QObject *parent)
    : QObject(parent)
    , m_planned(new QStandardItemModel(this))
    , m_delivered(new QStandardItemModel(this))
{
    fill(m_planned, false);
    fill(m_delivered, true);
}
