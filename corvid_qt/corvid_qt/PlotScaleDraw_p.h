#ifndef CORVID_QT_PLOTSCALEDRAW_P_H
#define CORVID_QT_PLOTSCALEDRAW_P_H

#include "corvid_qt_export.h"

#include <QtCore/QHash>
#include <QtCore/QSet>
#include <QtCore/QVector>
#include <QtGui/QColor>
#include <QtGui/QFont>
#include <QtGui/QImage>

#include <qwt_scale_draw.h>

namespace Corvid_Qt {

/**
 * The plot view's scale draw: draws what QwtScaleDraw draws, cheaper on a
 * raster device.
 *
 * A 1-pixel backbone and ticks are filled rectangles covering exactly the
 * pixels the line would (see fillsThinLines()): an axis widget's clip is
 * seldom one rectangle, since the neighbouring axis overlaps its corner.
 * They are written into the image together at the end of draw().
 *
 * A label drawn a second time at the same sub-pixel offset is copied from an
 * image of it: laying out and rasterising the text is most of an axis's
 * cost. Labels that move with a scrolling axis are drawn as text.
 *
 * Owned by its scale widget.
 */
class CORVID_QT_EXPORT PlotScaleDraw : public QwtScaleDraw
{
public:
    PlotScaleDraw() = default;

    void draw(QPainter *painter, const QPalette &palette) const override;

protected:
    void drawBackbone(QPainter *painter) const override;
    void drawTick(QPainter *painter, double value, double len) const override;
    void drawLabel(QPainter *painter, double value) const override;

private:
    bool fillsLines(const QPainter *painter) const;
    bool placeLine(QPainter *painter, double x1, double y1, double x2, double y2) const;

    // During draw(), the filled lines, written together at its end.
    struct Line
    {
        QRect rect;
        QColor colour;
    };
    mutable bool m_collectingLines = false;
    mutable QVector<Line> m_lines;

    struct LabelKey
    {
        QString text;
        int flags;
        QRgb colour;
        int subX;
        int subY;
        bool operator==(const LabelKey &other) const
        {
            return text == other.text && flags == other.flags && colour == other.colour && subX == other.subX
                   && subY == other.subY;
        }
    };
    friend uint qHash(const LabelKey &key, uint seed)
    {
        return qHash(key.text, seed) ^ uint(key.subX * 4099 + key.subY * 131 + key.flags) ^ key.colour;
    }

    // What the images were drawn with; a change of either drops them.
    mutable QFont m_labelFont;
    mutable QColor m_labelPenColour;
    mutable QHash<LabelKey, QImage> m_labelImages;
    mutable QSet<LabelKey> m_labelsSeen;
};

} // namespace Corvid_Qt

#endif
