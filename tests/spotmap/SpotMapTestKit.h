#ifndef CORVID_TESTS_SPOTMAPTESTKIT_H
#define CORVID_TESTS_SPOTMAPTESTKIT_H

// Shared by the spot map suites: a layer/spot tree in a QStandardItemModel
// (checked by QAbstractItemModelTester), a view showing its first layer, and
// pixel probes.

#include <MapSpot.h>
#include <SpotMapView.h>
#include <VRXAbstractPlotDataModel.h>

#include <QtGui/QStandardItemModel>
#include <QtTest/QAbstractItemModelTester>
#include <QtTest/QtTest>
#include <memory>

namespace corvid_test {

using namespace Corvid_Qt;

struct Layer {
    QPointF x, y;
    double beamSize = 1;
    double maxDose = 1;
};
const Layer kSquare{{0, 10}, {0, 10}, 0.5, 1};

class SpotTree
{
public:
    SpotTree() : tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest) {}

    static QList<QStandardItem *> row(const QVariant &beam, const QVariant &x, const QVariant &y, const QVariant &dose)
    {
        QList<QStandardItem *> items;
        for (const QVariant &v : {QVariant(0), beam, x, y, dose}) {
            items << new QStandardItem;
            items.last()->setData(v, SpecialDataRole);
        }
        return items;
    }
    static QList<QStandardItem *> spotRow(const MapSpot &s) { return row(s.size, s.x, s.y, s.dose); }

    void addLayer(const Layer &l, const QVector<MapSpot> &spots, int at = -1)
    {
        const QList<QStandardItem *> items = row(l.beamSize, l.x, l.y, l.maxDose);
        model.insertRow(at < 0 ? model.rowCount() : at, items);
        for (const MapSpot &s : spots)
            items[0]->appendRow(spotRow(s));
    }
    QStandardItem *layer(int row) { return model.item(row); }

    QStandardItemModel model;
    QAbstractItemModelTester tester;
};

inline MapSpot spot(float x, float y, float dose = 1, float size = 0.5f)
{
    MapSpot s;
    s.x = x;
    s.y = y;
    s.dose = dose;
    s.size = size;
    return s;
}

/// Viewport pixel of a point in model units.
inline QPoint toPixel(const SpotMapView &view, const QPointF &p)
{
    const QRect sq = view.drawingSquare();
    const QRectF b = view.boundsSquare();
    return QPoint(int(sq.x() + (p.x() - b.x()) / b.width() * sq.width()),
                  int(sq.y() + (1 - (p.y() - b.y()) / b.height()) * sq.height()));
}

inline QImage shot(SpotMapView &view)
{
    return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline bool isReddish(QRgb c) { return qRed(c) > qGreen(c) + 40 && qRed(c) > qBlue(c) + 40; }
inline bool isBluish(QRgb c) { return qBlue(c) > qGreen(c) + 40 && qBlue(c) > qRed(c) + 40; }

class OpenView : public SpotMapView
{
public:
    using SpotMapView::isIndexHidden;
};

/// A view on screen at 200 x 200 showing the first layer of its tree.
struct Shown {
    SpotTree tree;
    OpenView view;
    explicit Shown(const QVector<MapSpot> &spots, const Layer &layer = kSquare)
    {
        tree.addLayer(layer, spots);
        view.setModel(&tree.model);
        view.resize(200, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.scrollTo(tree.model.index(0, 0));
    }
    QRgb at(const QPointF &p) { return shot(view).pixel(toPixel(view, p)); }
};

} // namespace corvid_test

#endif
