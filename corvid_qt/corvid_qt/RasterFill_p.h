#ifndef CORVID_QT_RASTERFILL_P_H
#define CORVID_QT_RASTERFILL_P_H

class QColor;
class QPainter;
class QRegion;

namespace Corvid_Qt {

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

} // namespace Corvid_Qt

#endif
