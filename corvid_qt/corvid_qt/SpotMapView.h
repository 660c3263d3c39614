#ifndef CORVID_QT_SPOTMAPVIEW_H
#define CORVID_QT_SPOTMAPVIEW_H

#include "MapSpot.h"
#include "corvid_qt_export.h"

#include <QtCore/QVector>
#include <QtGui/QPolygonF>
#include <QtWidgets/QAbstractItemView>
#include <memory>

namespace Corvid_Qt {

class GaussianRadialGradientBrush;
class SpotMapViewColumnMapper;

/**
 * An item view that draws the delivered spots of a scanned beam as Gaussian
 * blobs joined by their path, one layer at a time.
 *
 * The model (not owned) is a two-level tree read with SpecialDataRole: each
 * top-level row is a layer whose MapXPosColumn and MapYPosColumn hold its
 * range as points (min, max), MapBeamSizeColumn its beam size and
 * MapDoseColumn its maximum dose; the layer's child rows are its spots with
 * x, y, dose and beam size (sigma) in the same columns, in model units.
 * Missing, NaN and infinite values read as 0; a reversed range reads as the
 * same range the right way round. scrollTo() with a top-level index chooses
 * the layer shown.
 *
 * Each spot's brush is built once, when the spot arrives or changes, and
 * again for every spot when the layer's bounds, maximum dose or the spot
 * colour change. After spots arrive the layer's bounds are read when next
 * needed (a paint or an accessor), so spots appended one row at a time cost
 * one bounds read per paint, not one per spot. The spots are rendered into an off-screen image that is
 * kept between paints: a repaint with nothing changed is one blit.
 *
 * Rows inserted into the model keep the current layer: top-level rows
 * inserted at or before it shift its index by their number, rows removed
 * before it shift it back. When the current layer itself is removed, the
 * layer that then has its index is shown, or the last one; with no layers
 * left the view shows its background only.
 *
 * A diff target (another view, not owned; forgotten when it is destroyed)
 * enables DisplayDiff and DisplayDiffOverlay: where this map is brighter the
 * difference is red, where the target is brighter it is blue. Both maps are
 * compared at the size of the target's viewport, so the target's resizes
 * redraw this view. mapChanged() is emitted whenever what this view's spots
 * look like changes; a view with this one as its target redraws on it.
 */
class CORVID_QT_EXPORT SpotMapView : public QAbstractItemView
{
    Q_OBJECT

public:
    explicit SpotMapView(QWidget *parent = nullptr);
    ~SpotMapView() override;

    void setModel(QAbstractItemModel *model) override;

    void setBackgroundColor(const QColor &color);
    QColor backgroundColor() const;
    void setSpotColor(const QColor &color);
    QColor spotColor() const;
    void setPathColor(const QColor &color);
    QColor pathColor() const;
    /// Takes ownership and deletes the previous mapper; null restores the
    /// identity mapping. The current layer is read again.
    void setColumnMapper(SpotMapViewColumnMapper *mapper);
    const SpotMapViewColumnMapper *columnMapper() const;
    void setDisplayMode(DisplayMode mode);
    DisplayMode displayMode() const;
    /// Null returns the display mode to DisplayData.
    void setDiffTarget(const SpotMapView *target);
    const SpotMapView *diffTarget() const;

    /// The layer's extent plus 2.6 beam sizes on every side, model units.
    QRectF bounds() const;
    /// bounds() made square about its centre; a unit square when empty.
    QRectF boundsSquare() const;
    float maxDose() const;
    /// The top-level row shown, -1 for none.
    int currentLayer() const;
    QVector<MapSpot> spots() const;
    /// The spot centres in spot order, in the unit square of boundsSquare()
    /// with y pointing down.
    QPolygonF path() const;
    /// Where the unit square is drawn in the viewport.
    QRect drawingSquare() const;

    void addSpot(const MapSpot &spot);
    void updateSpot(int i, const MapSpot &spot);
    void setMap(const QVector<MapSpot> &spots);
    void clearSpotData();
    MapSpot dataForRow(const QModelIndex &parent, int row) const;
    /// A new brush owned by the caller, placed in the unit square of
    /// boundsSquare() and shaded by the dose against 1.5 x maxDose().
    GaussianRadialGradientBrush *createBrush(const MapSpot &spot) const;
    void resetBounds(const QModelIndex &layer);
    static QRectF makeSquare(const QRectF &rect);
    static QRect makeSquare(const QRect &rect);

    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    void reset() override;
    QRect visualRect(const QModelIndex &index) const override;
    QModelIndex indexAt(const QPoint &point) const override;

Q_SIGNALS:
    void mapChanged();

protected:
    bool isIndexHidden(const QModelIndex &index) const override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    void setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags flags) override;
    QRegion visualRegionForSelection(const QItemSelection &selection) const override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

protected Q_SLOTS:
    void setupViewport(QWidget *viewport) override;
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QVector<int> &roles = QVector<int>()) override;
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;

private:
    class PrivateData;

    bool isCurrentLayer(const QModelIndex &index) const;
    void loadLayer(int row);
    void clearLayer();
    void reloadCurrentLayer();
    void followCurrentLayer();
    void layerRowsRemoved(const QModelIndex &parent);
    void refreshBounds() const;
    void rebuildBrushes();
    GaussianRadialGradientBrush *makeBrush(const MapSpot &spot) const;
    void placeSpot(int i, const MapSpot &spot);
    void mapInvalidated();
    void frameInvalidated();
    QRect drawingSquare(const QRect &reference) const;
    void drawSpots(QPainter &painter) const;
    const QImage &spotsImage(const QSize &size) const;
    const QImage &frame();

    const std::unique_ptr<PrivateData> m_data;
};

} // namespace Corvid_Qt

#endif
