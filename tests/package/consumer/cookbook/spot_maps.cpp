// Show two spot maps side by side with their difference.
#include <MapSpot.h>
#include <SpotMapView.h>
#include <SpotMapWidget.h>
#include <VRXAbstractPlotDataModel.h>

#include <QtCore/QPointF>
#include <QtGui/QStandardItemModel>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QWidget>

using namespace Corvid_Qt;

// A row of a spot map model: the view reads every cell with SpecialDataRole.
static QList<QStandardItem *> spotRow(int number, double size, const QVariant &x, const QVariant &y, double dose)
{
    QList<QStandardItem *> row;
    for (const QVariant &value : {QVariant(number), QVariant(size), x, y, QVariant(dose)}) {
        auto *item = new QStandardItem(value.toString());
        item->setData(value, SpecialDataRole);
        row.append(item);
    }
    return row;
}

// Top-level rows are layers (ranges as points (min, max)), their children
// the spots: number, sigma, x, y, dose, in the columns of MapColumn.
QStandardItemModel *makeSpotMap(QObject *parent, double doseScale)
{
    auto *model = new QStandardItemModel(parent);
    const QList<QStandardItem *> layer = spotRow(1, 2.0, QPointF(-10, 10), QPointF(-10, 10), 1.0);
    model->appendRow(layer);
    for (int i = 0; i < 25; ++i)
        layer[MapSpotNoColumn]->appendRow(spotRow(i + 1, 2.0, -8.0 + 4 * (i % 5), -8.0 + 4 * (i / 5), doseScale));
    return model;
}

QWidget *makeSpotMapComparison(QAbstractItemModel *planned, QAbstractItemModel *delivered)
{
    auto *page = new QWidget;
    auto *plannedMap = new SpotMapWidget(page);
    auto *deliveredMap = new SpotMapWidget(page);
    plannedMap->setTitle(QStringLiteral("Planned"));
    deliveredMap->setTitle(QStringLiteral("Delivered"));
    plannedMap->spotMapView()->setModel(planned); // models are not owned
    deliveredMap->spotMapView()->setModel(delivered);
    // Each is the other's diff target: "Diff" and "Overlay" appear on both.
    plannedMap->setDiffTarget(deliveredMap);
    deliveredMap->setDiffTarget(plannedMap);
    auto *layout = new QHBoxLayout(page);
    layout->addWidget(plannedMap);
    layout->addWidget(deliveredMap);
    return page;
}
