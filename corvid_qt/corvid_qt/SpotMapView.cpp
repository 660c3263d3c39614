#include "SpotMapView.h"

#include "GaussianRadialGradientBrush.h"
#include "SpotMapViewColumnMapper.h"
#include "VRXAbstractPlotDataModel.h"

#include <QtCore/QPointer>
#include <QtGui/QPainter>
#include <QtGui/QResizeEvent>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <vector>

namespace Corvid_Qt {

namespace {

const double kMargin = GaussianRadialGradientBrush::CutOff;
const QImage::Format kImageFormat = QImage::Format_ARGB32_Premultiplied;

// Missing, NaN and infinite values and those beyond float's range read as 0.
float readFloat(const QVariant &value)
{
    bool ok = false;
    const double d = value.toDouble(&ok);
    return ok && std::isfinite(d) && std::abs(d) <= FLT_MAX ? float(d) : 0.0f;
}

// (min, max) of a range the right way round.
std::pair<double, double> readRange(const QVariant &value)
{
    const QPointF p = value.toPointF();
    const double a = std::isfinite(p.x()) ? p.x() : 0.0;
    const double b = std::isfinite(p.y()) ? p.y() : 0.0;
    return std::minmax(a, b);
}

// A spot's cells; columns the model lacks read as 0.
MapSpot readSpot(const QAbstractItemModel &model, const SpotMapViewColumnMapper &mapper, const QModelIndex &parent,
                 int row, int columns)
{
    auto read = [&](MapColumn column) {
        const int c = mapper.mapColumnToSource(column);
        return c >= 0 && c < columns ? readFloat(model.index(row, c, parent).data(SpecialDataRole)) : 0.0f;
    };
    MapSpot spot;
    spot.x = read(MapXPosColumn);
    spot.y = read(MapYPosColumn);
    spot.dose = read(MapDoseColumn);
    spot.size = read(MapBeamSizeColumn);
    return spot;
}

QImage composedDifference(const QImage &from, const QImage &other, QPainter::CompositionMode keep,
                          const QRect &square, const QColor &tint)
{
    QImage result = from.copy();
    QPainter p(&result);
    p.setCompositionMode(keep);
    p.drawImage(0, 0, other);
    p.setCompositionMode(QPainter::CompositionMode_Difference);
    p.drawImage(0, 0, other);
    p.setCompositionMode(QPainter::CompositionMode_Multiply);
    p.fillRect(square, tint);
    p.setCompositionMode(QPainter::CompositionMode_Overlay);
    p.fillRect(square, Qt::white);
    return result;
}

} // namespace

class SpotMapView::PrivateData
{
public:
    int m_currentLayer = -1;
    // The shown layer itself, so that sorting or moving layers does not
    // put another layer under its row number.
    QPersistentModelIndex m_layer;
    QVector<MapSpot> m_spots;
    std::vector<std::shared_ptr<GaussianRadialGradientBrush>> m_brushes;
    QPolygonF m_path;
    QRectF m_bounds;
    QRectF m_boundsSquare;
    float m_max_dose = 0;
    // Set by spot insertions, which leave the layer's bounds to be read by
    // whatever next needs them: a layer delivered one spot per row then
    // costs one bounds read per paint instead of one per spot.
    bool m_boundsStale = false;
    QColor m_bgColor = Qt::black;
    QColor m_spotColor = Qt::white;
    QColor m_pathColor = Qt::darkRed;
    std::unique_ptr<SpotMapViewColumnMapper> m_columnMapper{new SpotMapViewColumnMapper};
    DisplayMode m_displayMode = DisplayData;
    const SpotMapView *m_compare = nullptr;

    // Background and spots at the size of the reference viewport; also what
    // a view comparing itself with this one reads.
    QImage m_layerImage;
    bool m_layerDirty = true;
    // What the viewport shows: the layer or a difference, and the path.
    QImage m_frame;
    bool m_frameDirty = true;
    bool m_updatePending = false;

    QPointer<QWidget> m_compareViewport;
    QVector<QMetaObject::Connection> m_compareConnections;
    QVector<QMetaObject::Connection> m_modelConnections;
    bool m_currentRemoved = false;
};

SpotMapView::SpotMapView(QWidget *parent)
    : QAbstractItemView(parent)
    , m_data(new PrivateData)
{
    setViewportMargins(0, 0, 0, 0);
    setFrameStyle(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(NoEditTriggers);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
}

SpotMapView::~SpotMapView()
{
    for (const auto &c : qAsConst(m_data->m_modelConnections))
        disconnect(c);
    for (const auto &c : qAsConst(m_data->m_compareConnections))
        disconnect(c);
    if (m_data->m_compareViewport)
        m_data->m_compareViewport->removeEventFilter(this);
}

void SpotMapView::setModel(QAbstractItemModel *model)
{
    // As for Qt's views, the model it already shows changes nothing: the
    // layer on screen stays.
    if (model == this->model())
        return;
    for (const auto &c : qAsConst(m_data->m_modelConnections))
        disconnect(c);
    m_data->m_modelConnections.clear();
    QAbstractItemView::setModel(model);
    if (model) {
        using M = QAbstractItemModel;
        auto &c = m_data->m_modelConnections;
        c << connect(model, &M::rowsRemoved, this, [this](const QModelIndex &parent) { layerRowsRemoved(parent); });
        c << connect(model, &M::rowsMoved, this, [this]() { followCurrentLayer(); });
        c << connect(model, &M::layoutChanged, this, [this]() { followCurrentLayer(); });
        c << connect(model, &M::columnsInserted, this, [this]() { reloadCurrentLayer(); });
        c << connect(model, &M::columnsRemoved, this, [this]() { reloadCurrentLayer(); });
    }
    reset();
}

void SpotMapView::setBackgroundColor(const QColor &color)
{
    if (color == m_data->m_bgColor)
        return;
    m_data->m_bgColor = color;
    mapInvalidated();
}

QColor SpotMapView::backgroundColor() const
{
    return m_data->m_bgColor;
}

void SpotMapView::setSpotColor(const QColor &color)
{
    if (color == m_data->m_spotColor)
        return;
    m_data->m_spotColor = color;
    rebuildBrushes();
    mapInvalidated();
}

QColor SpotMapView::spotColor() const
{
    return m_data->m_spotColor;
}

void SpotMapView::setPathColor(const QColor &color)
{
    if (color == m_data->m_pathColor)
        return;
    m_data->m_pathColor = color;
    frameInvalidated();
}

QColor SpotMapView::pathColor() const
{
    return m_data->m_pathColor;
}

void SpotMapView::setColumnMapper(SpotMapViewColumnMapper *mapper)
{
    if (mapper == m_data->m_columnMapper.get())
        return;
    m_data->m_columnMapper.reset(mapper ? mapper : new SpotMapViewColumnMapper);
    reloadCurrentLayer();
}

const SpotMapViewColumnMapper *SpotMapView::columnMapper() const
{
    return m_data->m_columnMapper.get();
}

void SpotMapView::setDisplayMode(DisplayMode mode)
{
    if (mode == m_data->m_displayMode)
        return;
    m_data->m_displayMode = mode;
    frameInvalidated();
}

DisplayMode SpotMapView::displayMode() const
{
    return m_data->m_displayMode;
}

void SpotMapView::setDiffTarget(const SpotMapView *target)
{
    PrivateData &d = *m_data;
    if (target == d.m_compare)
        return;
    if (d.m_compareViewport)
        d.m_compareViewport->removeEventFilter(this);
    for (const auto &c : qAsConst(d.m_compareConnections))
        disconnect(c);
    d.m_compareConnections.clear();

    d.m_compare = target;
    d.m_compareViewport = target ? target->viewport() : nullptr;
    if (target) {
        d.m_compareViewport->installEventFilter(this);
        d.m_compareConnections << connect(target, &SpotMapView::mapChanged, this, [this]() { frameInvalidated(); });
        // Only the pointer may be touched here: the target is mid-destruction.
        d.m_compareConnections << connect(target, &QObject::destroyed, this, [this]() {
            m_data->m_compare = nullptr;
            m_data->m_compareConnections.clear();
            m_data->m_displayMode = DisplayData;
            m_data->m_layerDirty = true;
            frameInvalidated();
        });
    } else {
        d.m_displayMode = DisplayData;
    }
    d.m_layerDirty = true;
    frameInvalidated();
}

const SpotMapView *SpotMapView::diffTarget() const
{
    return m_data->m_compare;
}

QRectF SpotMapView::bounds() const
{
    refreshBounds();
    return m_data->m_bounds;
}

QRectF SpotMapView::boundsSquare() const
{
    refreshBounds();
    return m_data->m_boundsSquare;
}

float SpotMapView::maxDose() const
{
    refreshBounds();
    return m_data->m_max_dose;
}

int SpotMapView::currentLayer() const
{
    return m_data->m_currentLayer;
}

QVector<MapSpot> SpotMapView::spots() const
{
    return m_data->m_spots;
}

QPolygonF SpotMapView::path() const
{
    refreshBounds();
    return m_data->m_path;
}

void SpotMapView::addSpot(const MapSpot &spot)
{
    refreshBounds();
    PrivateData &d = *m_data;
    d.m_spots.append(spot);
    d.m_brushes.emplace_back(makeBrush(spot));
    d.m_path.append(d.m_brushes.back()->center());
    mapInvalidated();
}

void SpotMapView::updateSpot(int i, const MapSpot &spot)
{
    if (i < 0 || i >= m_data->m_spots.size())
        return;
    refreshBounds();
    placeSpot(i, spot);
    mapInvalidated();
}

void SpotMapView::placeSpot(int i, const MapSpot &spot)
{
    PrivateData &d = *m_data;
    d.m_spots[i] = spot;
    d.m_brushes[size_t(i)].reset(makeBrush(spot));
    d.m_path[i] = d.m_brushes[size_t(i)]->center();
}

void SpotMapView::setMap(const QVector<MapSpot> &spots)
{
    refreshBounds();
    PrivateData &d = *m_data;
    d.m_spots = spots;
    d.m_brushes.clear();
    d.m_brushes.reserve(size_t(spots.size()));
    d.m_path.clear();
    d.m_path.reserve(spots.size());
    for (const MapSpot &spot : spots) {
        d.m_brushes.emplace_back(makeBrush(spot));
        d.m_path.append(d.m_brushes.back()->center());
    }
    mapInvalidated();
}

void SpotMapView::clearSpotData()
{
    m_data->m_spots.clear();
    m_data->m_brushes.clear();
    m_data->m_path.clear();
    mapInvalidated();
}

MapSpot SpotMapView::dataForRow(const QModelIndex &parent, int row) const
{
    const QAbstractItemModel *m = model();
    if (!m || row < 0 || row >= m->rowCount(parent))
        return MapSpot();
    return readSpot(*m, *m_data->m_columnMapper, parent, row, m->columnCount(parent));
}

GaussianRadialGradientBrush *SpotMapView::createBrush(const MapSpot &spot) const
{
    refreshBounds();
    return makeBrush(spot);
}

GaussianRadialGradientBrush *SpotMapView::makeBrush(const MapSpot &spot) const
{
    const PrivateData &d = *m_data;
    const QRectF &square = d.m_boundsSquare;
    if (!(square.width() > 0 && square.height() > 0))
        return GaussianRadialGradientBrush::create(QPointF(), d.m_spotColor, 0.0, 0.0);

    const QPointF center((spot.x - square.x()) / square.width(), 1.0 - (spot.y - square.y()) / square.height());
    const double sigma = spot.size / square.width();

    QColor color = d.m_spotColor;
    const double full = 1.5 * d.m_max_dose;
    double t;
    if (spot.dose >= full)
        t = 1.0;
    else if (spot.dose == 0)
        t = 0.0;
    else if (spot.dose < 0) {
        color = Qt::blue;
        t = 0.95;
    } else
        t = 0.1 + 0.9 * spot.dose / full;
    return GaussianRadialGradientBrush::create(center, color, t, sigma);
}

void SpotMapView::resetBounds(const QModelIndex &layer)
{
    PrivateData &d = *m_data;
    d.m_boundsStale = false;
    const QAbstractItemModel *m = model();
    if (!m || !layer.isValid() || layer.model() != m) {
        d.m_bounds = d.m_boundsSquare = QRectF();
        d.m_max_dose = 0;
        return;
    }
    const QModelIndex top = layer.parent();
    const int columns = m->columnCount(top);
    auto read = [&](MapColumn column) {
        const int c = d.m_columnMapper->mapColumnToSource(column);
        return c >= 0 && c < columns ? m->index(layer.row(), c, top).data(SpecialDataRole) : QVariant();
    };
    const auto x = readRange(read(MapXPosColumn));
    const auto y = readRange(read(MapYPosColumn));
    const double s = std::max(0.0f, readFloat(read(MapBeamSizeColumn)));
    d.m_bounds = QRectF(x.first, y.first, x.second - x.first, y.second - y.first)
                     .adjusted(-kMargin * s, -kMargin * s, kMargin * s, kMargin * s);
    d.m_boundsSquare = makeSquare(d.m_bounds);
    // A single point without beam size still needs a square to place it in.
    if (!(d.m_boundsSquare.width() > 0))
        d.m_boundsSquare = makeSquare(QRectF(d.m_bounds.center() - QPointF(0.5, 0.5), QSizeF(1, 1)));
    d.m_max_dose = std::max(0.0f, readFloat(read(MapDoseColumn)));
}

QRectF SpotMapView::makeSquare(const QRectF &rect)
{
    const double side = std::max(rect.width(), rect.height());
    QRectF square(0, 0, side, side);
    square.moveCenter(rect.center());
    return square;
}

QRect SpotMapView::makeSquare(const QRect &rect)
{
    const int side = std::max(rect.width(), rect.height());
    QRect square(0, 0, side, side);
    square.moveCenter(QPoint((rect.left() + rect.right()) / 2, (rect.top() + rect.bottom()) / 2));
    return square;
}

void SpotMapView::scrollTo(const QModelIndex &index, ScrollHint)
{
    if (!index.isValid() || index.model() != model() || index.parent().isValid())
        return;
    if (index.row() != m_data->m_currentLayer)
        loadLayer(index.row());
}

void SpotMapView::reset()
{
    QAbstractItemView::reset();
    clearLayer();
}

void SpotMapView::clearLayer()
{
    m_data->m_currentLayer = -1;
    m_data->m_layer = QPersistentModelIndex();
    m_data->m_currentRemoved = false;
    m_data->m_bounds = m_data->m_boundsSquare = QRectF();
    m_data->m_max_dose = 0;
    m_data->m_boundsStale = false;
    clearSpotData();
}

QRect SpotMapView::visualRect(const QModelIndex &index) const
{
    if (index.isValid() && (index.parent().isValid() || isCurrentLayer(index)))
        return viewport()->rect();
    return QRect();
}

QModelIndex SpotMapView::indexAt(const QPoint &) const
{
    return QModelIndex();
}

bool SpotMapView::isIndexHidden(const QModelIndex &index) const
{
    return !(isCurrentLayer(index) || isCurrentLayer(index.parent()));
}

bool SpotMapView::edit(const QModelIndex &, EditTrigger, QEvent *)
{
    return false;
}

QModelIndex SpotMapView::moveCursor(CursorAction, Qt::KeyboardModifiers)
{
    return QModelIndex();
}

int SpotMapView::horizontalOffset() const
{
    return 0;
}

int SpotMapView::verticalOffset() const
{
    return 0;
}

void SpotMapView::setSelection(const QRect &, QItemSelectionModel::SelectionFlags)
{
}

QRegion SpotMapView::visualRegionForSelection(const QItemSelection &) const
{
    return QRegion();
}

void SpotMapView::setupViewport(QWidget *viewport)
{
    viewport->setAttribute(Qt::WA_OpaquePaintEvent);
    QAbstractItemView::setupViewport(viewport);
}

void SpotMapView::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QVector<int> &roles)
{
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
    PrivateData &d = *m_data;
    if (!topLeft.isValid() || !bottomRight.isValid() || d.m_currentLayer < 0)
        return;
    const QModelIndex parent = topLeft.parent();
    if (!parent.isValid()) {
        if (topLeft.row() <= d.m_currentLayer && d.m_currentLayer <= bottomRight.row()) {
            resetBounds(model()->index(d.m_currentLayer, 0));
            rebuildBrushes();
            mapInvalidated();
        }
        return;
    }
    if (!isCurrentLayer(parent))
        return;
    refreshBounds();
    const int last = std::min(bottomRight.row(), d.m_spots.size() - 1);
    for (int row = std::max(0, topLeft.row()); row <= last; ++row)
        placeSpot(row, dataForRow(parent, row));
    mapInvalidated();
}

void SpotMapView::rowsInserted(const QModelIndex &parent, int start, int end)
{
    QAbstractItemView::rowsInserted(parent, start, end);
    PrivateData &d = *m_data;
    if (!parent.isValid()) {
        if (d.m_currentLayer >= 0 && start <= d.m_currentLayer)
            d.m_currentLayer += end - start + 1;
        return;
    }
    if (!isCurrentLayer(parent))
        return;
    if (start < 0 || start > d.m_spots.size() || end < start) {
        reloadCurrentLayer();
        return;
    }
    // New spots are placed in the bounds as last read; refreshBounds()
    // moves them when the layer's bounds have changed.
    d.m_boundsStale = true;

    const QAbstractItemModel &m = *model();
    const int columns = m.columnCount(parent);
    if (start == d.m_spots.size()) {
        // Spots mostly arrive at the end of the layer as it is delivered.
        for (int row = start; row <= end; ++row) {
            const MapSpot spot = readSpot(m, *d.m_columnMapper, parent, row, columns);
            d.m_spots.append(spot);
            d.m_brushes.emplace_back(makeBrush(spot));
            d.m_path.append(d.m_brushes.back()->center());
        }
    } else {
        const int count = end - start + 1;
        d.m_spots.insert(start, count, MapSpot());
        d.m_brushes.insert(d.m_brushes.begin() + start, size_t(count), nullptr);
        d.m_path.insert(start, count, QPointF());
        for (int row = start; row <= end; ++row)
            placeSpot(row, readSpot(m, *d.m_columnMapper, parent, row, columns));
    }
    mapInvalidated();
}

void SpotMapView::rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    PrivateData &d = *m_data;
    if (!parent.isValid()) {
        if (d.m_currentLayer > end) {
            d.m_currentLayer -= end - start + 1;
        } else if (d.m_currentLayer >= start) {
            d.m_currentRemoved = true;
            clearSpotData();
        }
    } else if (isCurrentLayer(parent)) {
        const int first = std::max(0, start);
        const int last = std::min(end, d.m_spots.size() - 1);
        if (first <= last) {
            d.m_spots.remove(first, last - first + 1);
            d.m_brushes.erase(d.m_brushes.begin() + first, d.m_brushes.begin() + last + 1);
            d.m_path.remove(first, last - first + 1);
            mapInvalidated();
        }
    }
    QAbstractItemView::rowsAboutToBeRemoved(parent, start, end);
}

void SpotMapView::layerRowsRemoved(const QModelIndex &parent)
{
    if (parent.isValid() || !m_data->m_currentRemoved)
        return;
    m_data->m_currentRemoved = false;
    reloadCurrentLayer();
}

void SpotMapView::followCurrentLayer()
{
    if (m_data->m_layer.isValid())
        m_data->m_currentLayer = m_data->m_layer.row();
    reloadCurrentLayer();
}

void SpotMapView::reloadCurrentLayer()
{
    const int current = m_data->m_currentLayer;
    if (current < 0)
        return;
    const int count = model() ? model()->rowCount() : 0;
    if (count > 0)
        loadLayer(std::min(current, count - 1));
    else
        clearLayer();
}

void SpotMapView::loadLayer(int row)
{
    PrivateData &d = *m_data;
    d.m_currentLayer = row;
    const QModelIndex layer = model()->index(row, 0);
    d.m_layer = layer;
    resetBounds(layer);
    const int count = model()->rowCount(layer);
    QVector<MapSpot> spots;
    spots.reserve(count);
    for (int i = 0; i < count; ++i)
        spots.append(dataForRow(layer, i));
    setMap(spots);
}

bool SpotMapView::isCurrentLayer(const QModelIndex &index) const
{
    return index.isValid() && index.model() == model() && !index.parent().isValid()
           && index.row() == m_data->m_currentLayer;
}

void SpotMapView::refreshBounds() const
{
    PrivateData &d = *m_data;
    if (!d.m_boundsStale)
        return;
    d.m_boundsStale = false;
    if (d.m_currentLayer < 0 || !model())
        return;
    // Only the cached bounds and the brushes built from them change here,
    // as they would have when the spots were inserted.
    auto *self = const_cast<SpotMapView *>(this);
    const QRectF square = d.m_boundsSquare;
    const float maxDose = d.m_max_dose;
    self->resetBounds(model()->index(d.m_currentLayer, 0));
    if (square != d.m_boundsSquare || maxDose != d.m_max_dose)
        self->rebuildBrushes();
}

void SpotMapView::rebuildBrushes()
{
    for (int i = 0; i < m_data->m_spots.size(); ++i)
        placeSpot(i, MapSpot(m_data->m_spots.at(i)));
}

void SpotMapView::mapInvalidated()
{
    m_data->m_layerDirty = true;
    frameInvalidated();
    Q_EMIT mapChanged();
}

void SpotMapView::frameInvalidated()
{
    m_data->m_frameDirty = true;
    // Spots arriving one row at a time between two paints share one repaint
    // request; asking again for each costs more than placing the spot.
    if (m_data->m_updatePending)
        return;
    m_data->m_updatePending = true;
    viewport()->update();
}

QRect SpotMapView::drawingSquare() const
{
    const QWidget *reference = m_data->m_compareViewport ? m_data->m_compareViewport.data() : viewport();
    return drawingSquare(QRect(QPoint(0, 0), reference->size()));
}

QRect SpotMapView::drawingSquare(const QRect &reference) const
{
    if (reference.isEmpty())
        return QRect();
    refreshBounds();
    const QRectF &b = m_data->m_bounds;
    const double ratioB = b.width() > 0 && b.height() > 0 ? b.width() / b.height() : 1.0;
    const double ratioV = double(reference.width()) / reference.height();
    QRect r = reference;
    if (ratioB <= ratioV) {
        const int d = int(std::lround(r.width() * (1 - ratioB / ratioV) / 2));
        r.adjust(d, 0, -d, 0);
    } else {
        const int d = int(std::lround(r.height() * (1 - ratioV / ratioB) / 2));
        r.adjust(0, d, 0, -d);
    }
    return makeSquare(r);
}

void SpotMapView::drawSpots(QPainter &painter) const
{
    const QRectF unit(0, 0, 1, 1);
    painter.save();
    for (const auto &brush : m_data->m_brushes) {
        const QRectF clip = brush->boundingRect() & unit;
        if (clip.isEmpty())
            continue;
        painter.setClipRect(clip);
        painter.fillRect(unit, *brush);
    }
    painter.restore();
}

const QImage &SpotMapView::spotsImage(const QSize &size) const
{
    refreshBounds();
    PrivateData &d = *m_data;
    if (!d.m_layerDirty && d.m_layerImage.size() == size)
        return d.m_layerImage;
    d.m_layerDirty = false;
    if (size.isEmpty()) {
        d.m_layerImage = QImage();
        return d.m_layerImage;
    }
    if (d.m_layerImage.size() != size)
        d.m_layerImage = QImage(size, kImageFormat);
    d.m_layerImage.fill(d.m_bgColor);
    const QRect square = drawingSquare(QRect(QPoint(0, 0), size));
    if (!d.m_brushes.empty() && !square.isEmpty()) {
        QPainter p(&d.m_layerImage);
        p.translate(square.topLeft());
        p.scale(square.width(), square.height());
        drawSpots(p);
    }
    return d.m_layerImage;
}

const QImage &SpotMapView::frame()
{
    PrivateData &d = *m_data;
    const QSize size = viewport()->size();
    if (!d.m_frameDirty && d.m_frame.size() == size)
        return d.m_frame;
    d.m_frameDirty = false;
    if (size.isEmpty()) {
        d.m_frame = QImage();
        return d.m_frame;
    }
    if (d.m_frame.size() != size)
        d.m_frame = QImage(size, kImageFormat);
    d.m_frame.fill(d.m_bgColor);

    const QSize reference = d.m_compareViewport ? d.m_compareViewport->size() : size;
    const QRect square = drawingSquare(QRect(QPoint(0, 0), reference));
    if (square.isEmpty())
        return d.m_frame;
    QPainter p(&d.m_frame);
    p.setClipRect(square);
    if (d.m_displayMode == DisplayData) {
        p.drawImage(0, 0, spotsImage(reference));
    } else if (d.m_compare) {
        const QImage other = d.m_compare->spotsImage(reference);
        const QImage &mine = spotsImage(reference);
        const QImage blue = composedDifference(other, mine, QPainter::CompositionMode_Lighten, square, Qt::blue);
        const QImage red = composedDifference(other, mine, QPainter::CompositionMode_Darken, square, Qt::red);
        p.drawImage(0, 0, d.m_displayMode == DisplayDiff ? blue : mine);
        p.setCompositionMode(QPainter::CompositionMode_Plus);
        p.drawImage(0, 0, red);
        if (d.m_displayMode == DisplayDiffOverlay)
            p.drawImage(0, 0, blue);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    if (!d.m_path.isEmpty()) {
        QPen pen(d.m_pathColor);
        pen.setCosmetic(true);
        p.setPen(pen);
        p.translate(square.topLeft());
        p.scale(square.width(), square.height());
        p.drawPolyline(d.m_path);
    }
    return d.m_frame;
}

void SpotMapView::paintEvent(QPaintEvent *)
{
    m_data->m_updatePending = false;
    QPainter p(viewport());
    p.drawImage(0, 0, frame());
}

void SpotMapView::resizeEvent(QResizeEvent *event)
{
    QAbstractItemView::resizeEvent(event);
    m_data->m_layerDirty = true;
    frameInvalidated();
}

bool SpotMapView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched && watched == m_data->m_compareViewport.data() && event->type() == QEvent::Resize) {
        m_data->m_layerDirty = true;
        frameInvalidated();
        return false;
    }
    return QAbstractItemView::eventFilter(watched, event);
}

} // namespace Corvid_Qt
