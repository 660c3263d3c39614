#ifndef CORVID_QT_RASTERFILL_P_H
#define CORVID_QT_RASTERFILL_P_H

class QColor;
class QImage;
class QPainter;
class QPen;
class QPoint;
class QRect;
class QRegion;

namespace Corvid_Qt {

/**
 * The image a raster painter paints on (an image, or a raster pixmap such
 * as a backing store) and the painter's whole-pixel `offset` into it, where
 * an opaque colour written there straight is exactly what the painter would
 * paint: 32-bit pixels, full opacity, a plain composition mode and a
 * translation by whole pixels. Null otherwise. The painter's clip and the
 * system clip are for the caller to keep to.
 */
QImage *imageForDirectWrites(QPainter *painter, QPoint *offset);

/**
 * Fills `region` (in the painter's coordinates) with the opaque `colour` by
 * writing the pixels of the image the painter paints on, within the
 * painter's clip and the system clip.
 *
 * Qt's raster engine fills under a clip of more than one rectangle a few
 * times slower than the area calls for, row by row across the clip's
 * bounding rectangle; a widget around an opaque child always has such a
 * clip. Returns false, drawing nothing, where the painter's state could
 * make the result differ from fillRect(): another device or pixel format,
 * a transform other than a whole-pixel translation, opacity, a composition
 * mode, a translucent colour.
 */
bool fillRegionInPlace(QPainter *painter, const QRegion &region, const QColor &colour);

/// fillRegionInPlace() for rectangles that may overlap.
bool fillRectsInPlace(QPainter *painter, const QRect *rects, int count, const QColor &colour);

/**
 * Whether `pen` on `painter` strokes an axis-parallel line with whole-pixel
 * ends as a plain run of pixels that fillLine() can lay instead: a raster
 * device, a whole-pixel translation, no antialiasing, a solid flat-capped
 * pen at most a pixel wide.
 *
 * The raster engine strokes such a line one pixel at a time wherever the
 * clip is not one rectangle: about 170 µs for the time axis's backbone.
 */
bool fillsThinLines(const QPainter *painter, const QPen &pen);

/**
 * The pixels such a pen lights for the axis-parallel line from (x1, y1) to
 * (x2, y2) with whole-pixel ends: [low, high) along it. False for other
 * lines.
 */
bool thinLineRect(double x1, double y1, double x2, double y2, QRect *rect);

/**
 * Fills thinLineRect() with the painter's pen; false, drawing nothing, where
 * there is none. Call only where fillsThinLines() holds for that pen.
 */
bool fillLine(QPainter *painter, double x1, double y1, double x2, double y2);

} // namespace Corvid_Qt

#endif
