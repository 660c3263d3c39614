// The spot map view at 800 x 800 with a layer of 10000 spots whose sigma is
// between 0.2 % and 1 % of the layer's width.
//
//  render   a full redraw of the layer (background change, repaint), against
//           the floor: the same 10000 brushes filled into a QImage by a
//           plain loop of clipped fillRect calls.
//  repaint  a repaint with nothing changed, against the full redraw.
//  diff     DisplayDiff of two such maps, both redrawn, against one full
//           redraw.
//  insert   10000 spots inserted into the model one row at a time while the
//           layer is shown, then the view's bounds asked for once (the view
//           reads the layer's bounds when next needed, so that read is
//           timed too), against setMap of the same 10000; beside it the
//           same appends to a model with no view (the model's own signals),
//           and the view's share: the difference of the two; and the cost of
//           only reading each spot's cells and, once, the layer's bounds
//           through the model, which setMap never pays.
//           Against a floor view as well: the least an item view can do to
//           follow the model on each insertion (read the new spot's four
//           cells, build the brush, append spot, brush and path point; the
//           layer's four bounds cells once at the end), with nothing of our
//           view's own.
//           The four are timed in turns, best of seven each.
//
// Every case is timed on the process's CPU clock.
#include "BenchHarness.h"

#include <GaussianRadialGradientBrush.h>
#include <SpotMapView.h>
#include <VRXAbstractPlotDataModel.h>

#include <QtCore/QAbstractItemModel>
#include <QtCore/QRandomGenerator>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtWidgets/QApplication>

#include <cstdio>
#include <memory>
#include <vector>

using namespace Corvid_Qt;

namespace {

const int kSpots = 10000;
const QSize kSize(800, 800);

// One layer over the unit square; its spots in a vector.
class LayerModel : public QAbstractItemModel
{
public:
    QVector<MapSpot> spots;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override
    {
        if (!hasIndex(row, column, parent))
            return QModelIndex();
        return createIndex(row, column, quintptr(parent.isValid() ? 1 : 0));
    }
    QModelIndex parent(const QModelIndex &child) const override
    {
        return child.isValid() && child.internalId() == 1 ? createIndex(0, 0, quintptr(0)) : QModelIndex();
    }
    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        if (!parent.isValid())
            return 1;
        return parent.internalId() == 0 && parent.column() == 0 ? spots.size() : 0;
    }
    int columnCount(const QModelIndex & = QModelIndex()) const override { return MapColumnCount; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != SpecialDataRole || !index.isValid())
            return QVariant();
        if (index.internalId() == 0) {
            switch (index.column()) {
            case MapXPosColumn:
            case MapYPosColumn:
                return QPointF(0, 1);
            case MapBeamSizeColumn:
                return 0.01;
            case MapDoseColumn:
                return 1.0;
            default:
                return QVariant();
            }
        }
        const MapSpot &s = spots.at(index.row());
        switch (index.column()) {
        case MapXPosColumn:
            return double(s.x);
        case MapYPosColumn:
            return double(s.y);
        case MapBeamSizeColumn:
            return double(s.size);
        case MapDoseColumn:
            return double(s.dose);
        default:
            return index.row();
        }
    }
    void append(const MapSpot &s)
    {
        const int n = spots.size();
        beginInsertRows(index(0, 0), n, n);
        spots.append(s);
        endInsertRows();
    }
    void setSpots(const QVector<MapSpot> &all)
    {
        beginResetModel();
        spots = all;
        endResetModel();
    }
};

QVector<MapSpot> randomMap(quint32 seed)
{
    QRandomGenerator rng(seed);
    QVector<MapSpot> spots(kSpots);
    for (MapSpot &s : spots) {
        s.x = float(rng.generateDouble());
        s.y = float(rng.generateDouble());
        s.dose = float(0.2 + rng.generateDouble());
        s.size = float(0.002 + 0.008 * rng.generateDouble());
    }
    return spots;
}

// The floor for following insertions: an item view that does only the work
// each inserted spot needs.
class FloorView : public QAbstractItemView
{
public:
    SpotMapView builder;
    QVector<MapSpot> spots;
    std::vector<std::shared_ptr<GaussianRadialGradientBrush>> brushes;
    QPolygonF path;
    double layerSum = 0;

    QRect visualRect(const QModelIndex &) const override { return QRect(); }
    void scrollTo(const QModelIndex &, ScrollHint) override {}
    QModelIndex indexAt(const QPoint &) const override { return QModelIndex(); }

protected:
    QModelIndex moveCursor(CursorAction, Qt::KeyboardModifiers) override { return QModelIndex(); }
    int horizontalOffset() const override { return 0; }
    int verticalOffset() const override { return 0; }
    bool isIndexHidden(const QModelIndex &) const override { return false; }
    void setSelection(const QRect &, QItemSelectionModel::SelectionFlags) override {}
    QRegion visualRegionForSelection(const QItemSelection &) const override { return QRegion(); }
public:
    void readBounds()
    {
        const QAbstractItemModel *m = model();
        for (int c : {int(MapXPosColumn), int(MapYPosColumn)})
            layerSum += m->index(0, c).data(SpecialDataRole).toPointF().x();
        for (int c : {int(MapBeamSizeColumn), int(MapDoseColumn)})
            layerSum += m->index(0, c).data(SpecialDataRole).toDouble();
    }

protected:
    void rowsInserted(const QModelIndex &parent, int start, int end) override
    {
        QAbstractItemView::rowsInserted(parent, start, end);
        const QAbstractItemModel *m = model();
        for (int row = start; row <= end; ++row) {
            MapSpot s;
            s.x = float(m->index(row, MapXPosColumn, parent).data(SpecialDataRole).toDouble());
            s.y = float(m->index(row, MapYPosColumn, parent).data(SpecialDataRole).toDouble());
            s.dose = float(m->index(row, MapDoseColumn, parent).data(SpecialDataRole).toDouble());
            s.size = float(m->index(row, MapBeamSizeColumn, parent).data(SpecialDataRole).toDouble());
            spots.append(s);
            brushes.emplace_back(builder.createBrush(s));
            path.append(brushes.back()->center());
        }
    }
};

struct Map {
    LayerModel model;
    SpotMapView view;
    explicit Map(quint32 seed)
    {
        model.setSpots(randomMap(seed));
        view.setModel(&model);
        view.resize(kSize);
        view.show();
        view.scrollTo(model.index(0, 0));
        QApplication::processEvents();
    }
    bool dark = true;
    void touch()
    {
        dark = !dark;
        view.setBackgroundColor(dark ? Qt::black : QColor(1, 1, 1));
    }
};

double ms(double seconds)
{
    return seconds * 1e3;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // CPU time of the process: the machine may be shared with builds.
    const auto bestSeconds = [](auto &&f, int repeats = 5) { return corvid_bench::bestCpuSeconds(f, repeats); };

    Map a(1);
    const double render = bestSeconds([&]() {
        a.touch();
        a.view.viewport()->repaint();
    });

    std::vector<std::unique_ptr<GaussianRadialGradientBrush>> brushes;
    for (const MapSpot &s : a.view.spots())
        brushes.emplace_back(a.view.createBrush(s));
    QImage image(kSize, QImage::Format_ARGB32_Premultiplied);
    const QRect square = a.view.drawingSquare();
    const double floor = bestSeconds([&]() {
        image.fill(Qt::black);
        QPainter p(&image);
        p.translate(square.topLeft());
        p.scale(square.width(), square.height());
        for (const auto &b : brushes) {
            p.setClipRect(b->boundingRect());
            p.fillRect(QRectF(0, 0, 1, 1), *b);
        }
    });
    char line[400];
    std::snprintf(line, sizeof line, "spotmap case=render ms=%.2f ratio_to_floor=%.3f", ms(render), render / floor);
    corvid_bench::report(line);

    const double repaint = bestSeconds([&]() { a.view.viewport()->repaint(); }, 20);
    std::snprintf(line, sizeof line, "spotmap case=repaint ratio_to_render=%.4f", repaint / render);
    corvid_bench::report(line);

    Map b(2);
    b.view.setDiffTarget(&a.view);
    b.view.setDisplayMode(DisplayDiff);
    const double diff = bestSeconds([&]() {
        a.touch();
        b.touch();
        b.view.viewport()->repaint();
    });
    std::snprintf(line, sizeof line, "spotmap case=diff ratio_to_render=%.3f", diff / render);
    corvid_bench::report(line);

    const QVector<MapSpot> spots = randomMap(3);
    LayerModel growing;
    SpotMapView view;
    view.setModel(&growing);
    view.resize(kSize);
    view.show();
    QApplication::processEvents();
    // setMap is timed on a view of its own, over a model that holds the same
    // layer, so that the appends are followed by one view only; the floor
    // view builds its brushes in that layer's bounds too.
    LayerModel full;
    full.setSpots(spots);
    SpotMapView mapView;
    mapView.setModel(&full);
    mapView.resize(kSize);
    mapView.scrollTo(full.index(0, 0));
    LayerModel alone;
    LayerModel floorModel;
    FloorView floorView;
    floorView.builder.setModel(&full);
    floorView.builder.resize(kSize);
    floorView.builder.scrollTo(full.index(0, 0));
    floorView.setModel(&floorModel);
    floorView.resize(kSize);
    floorView.show();

    double insert = 1e300, setMap = 1e300, modelOnly = 1e300, floorInsert = 1e300;
    auto cpuTime = [](double &best, auto &&work) {
        const double t0 = corvid_bench::cpuSeconds(RUSAGE_SELF);
        work();
        best = std::min(best, corvid_bench::cpuSeconds(RUSAGE_SELF) - t0);
    };
    for (int rep = 0; rep < 7; ++rep) {
        growing.setSpots({});
        view.scrollTo(growing.index(0, 0));
        cpuTime(insert, [&]() {
            for (const MapSpot &s : spots)
                growing.append(s);
            if (!view.bounds().isValid())
                std::fputs("bench: spotmap insert lost its bounds\n", stderr);
        });
        QApplication::processEvents();
        cpuTime(setMap, [&]() { mapView.setMap(spots); });
        // The same appends with no view attached: what the model's own row
        // signals cost, which no view can go below.
        alone.setSpots({});
        cpuTime(modelOnly, [&]() {
            for (const MapSpot &s : spots)
                alone.append(s);
        });
        floorModel.setSpots({});
        floorView.spots.clear();
        floorView.brushes.clear();
        floorView.path.clear();
        cpuTime(floorInsert, [&]() {
            for (const MapSpot &s : spots)
                floorModel.append(s);
            floorView.readBounds();
        });
    }
    // Reading each new spot's cells through the model and the layer's bounds
    // once (what any view that takes spots from a model must do, and setMap
    // never does), building nothing.
    const QModelIndex layer = alone.index(0, 0);
    double sink = 0;
    const double reads = bestSeconds([&]() {
        for (int row = 0; row < alone.rowCount(layer); ++row) {
            for (int c : {int(MapXPosColumn), int(MapYPosColumn), int(MapBeamSizeColumn), int(MapDoseColumn)})
                sink += alone.index(row, c, layer).data(SpecialDataRole).toDouble();
        }
        for (int c : {int(MapXPosColumn), int(MapYPosColumn), int(MapBeamSizeColumn), int(MapDoseColumn)})
            sink += alone.index(0, c).data(SpecialDataRole).toDouble();
    });
    std::snprintf(line, sizeof line,
                  "spotmap case=insert ratio_to_setmap=%.3f model_only_ratio_to_setmap=%.3f "
                  "view_share_ratio_to_setmap=%.3f cell_reads_ratio_to_setmap=%.3f floor_view_ratio_to_setmap=%.3f "
                  "ratio_to_floor_view=%.3f",
                  insert / setMap, modelOnly / setMap, (insert - modelOnly) / setMap, reads / setMap + 0 * sink,
                  floorInsert / setMap, insert / floorInsert);
    corvid_bench::report(line);
    return 0;
}
