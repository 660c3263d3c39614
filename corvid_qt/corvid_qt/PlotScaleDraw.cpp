#include "PlotScaleDraw_p.h"

#include "RasterFill_p.h"

#include <QtGui/QPainter>
#include <QtGui/QPaintEngine>

#include <qwt_scale_map.h>
#include <qwt_text.h>

#include <cmath>

namespace Corvid_Qt {

namespace {

// Room around a label's rectangle for glyphs that overhang it and for the
// sub-pixel shift.
constexpr int kLabelPad = 4;
// Labels at offsets less than 1/64 pixel apart share an image.
constexpr int kSubPixel = 64;
// Room for the labels of an axis at a few scales (about 15 kB each); the
// labels seen once are only remembered by name.
constexpr int kMaxLabelImages = 64;
constexpr int kMaxLabelsSeen = 1024;

} // namespace

bool PlotScaleDraw::fillsLines(const QPainter *painter) const
{
    return penWidth() <= 1 && fillsThinLines(painter, painter->pen());
}

bool PlotScaleDraw::placeLine(QPainter *painter, double x1, double y1, double x2, double y2) const
{
    if (!m_collectingLines)
        return fillLine(painter, x1, y1, x2, y2);
    QRect rect;
    if (!thinLineRect(x1, y1, x2, y2, &rect))
        return false;
    m_lines.append(Line{rect, painter->pen().color()});
    return true;
}

void PlotScaleDraw::draw(QPainter *painter, const QPalette &palette) const
{
    m_lines.clear();
    m_collectingLines = true;
    QwtScaleDraw::draw(painter, palette);
    m_collectingLines = false;

    // Ticks and backbone share their colour; a fill through an axis's clip
    // pays for every row of it, a write into the image only for its pixels.
    int from = 0;
    while (from < m_lines.size()) {
        const QColor colour = m_lines[from].colour;
        QVector<QRect> rects;
        int to = from;
        for (; to < m_lines.size() && m_lines[to].colour == colour; ++to)
            rects.append(m_lines[to].rect);
        if (!fillRectsInPlace(painter, rects.constData(), rects.size(), colour)) {
            for (const QRect &rect : qAsConst(rects))
                painter->fillRect(rect, colour);
        }
        from = to;
    }
    m_lines.clear();
}

void PlotScaleDraw::drawBackbone(QPainter *painter) const
{
    // A 1-pixel backbone lies on the border pos() marks, rounded to the grid.
    const QPointF at = pos();
    const double len = length();
    bool filled = false;
    if (fillsLines(painter)) {
        if (alignment() == LeftScale || alignment() == RightScale) {
            const double x = qRound(at.x());
            filled = placeLine(painter, x, at.y(), x, at.y() + len);
        } else {
            const double y = qRound(at.y());
            filled = placeLine(painter, at.x(), y, at.x() + len, y);
        }
    }
    if (!filled)
        QwtScaleDraw::drawBackbone(painter);
}

void PlotScaleDraw::drawTick(QPainter *painter, double value, double len) const
{
    if (len <= 0.0)
        return;
    bool filled = false;
    const double tick = scaleMap().transform(value);
    if (std::isfinite(tick) && std::abs(tick) < 1.0e6 && fillsLines(painter)) {
        const double t = qRound(tick);
        const QPointF at = pos();
        const double reach = penWidth() + len;
        switch (alignment()) {
        case LeftScale:
            filled = placeLine(painter, qRound(at.x()), t, qRound(at.x() - reach), t);
            break;
        case RightScale:
            filled = placeLine(painter, qRound(at.x()), t, qRound(at.x() + reach), t);
            break;
        case BottomScale:
            filled = placeLine(painter, t, qRound(at.y()), t, qRound(at.y() + reach));
            break;
        case TopScale:
            filled = placeLine(painter, t, qRound(at.y()), t, qRound(at.y() - reach));
            break;
        }
    }
    if (!filled)
        QwtScaleDraw::drawTick(painter, value, len);
}

void PlotScaleDraw::drawLabel(QPainter *painter, double value) const
{
    const QwtText &label = tickLabel(painter->font(), value);
    if (label.isEmpty())
        return;
    const QPaintEngine *engine = painter->paintEngine();
    const bool copyable = engine && engine->type() == QPaintEngine::Raster && painter->opacity() == 1.0
                          && painter->compositionMode() == QPainter::CompositionMode_SourceOver;
    const QSizeF size = label.textSize(painter->font());
    const QTransform place = labelTransformation(labelPosition(value), size) * painter->deviceTransform();
    if (!copyable || place.type() > QTransform::TxTranslate || !(std::abs(place.dx()) < 1.0e6)
        || !(std::abs(place.dy()) < 1.0e6)) {
        QwtScaleDraw::drawLabel(painter, value);
        return;
    }

    if (painter->font() != m_labelFont || painter->pen().color() != m_labelPenColour) {
        m_labelImages.clear();
        m_labelsSeen.clear();
        m_labelFont = painter->font();
        m_labelPenColour = painter->pen().color();
    }
    const double left = std::floor(place.dx());
    const double top = std::floor(place.dy());
    const LabelKey key{label.text(), label.renderFlags(), label.color().isValid() ? label.color().rgba() : 0u,
                       int((place.dx() - left) * kSubPixel), int((place.dy() - top) * kSubPixel)};
    auto image = m_labelImages.constFind(key);
    if (image == m_labelImages.constEnd()) {
        if (!m_labelsSeen.contains(key)) {
            if (m_labelsSeen.size() >= kMaxLabelsSeen)
                m_labelsSeen.clear();
            m_labelsSeen.insert(key);
            QwtScaleDraw::drawLabel(painter, value);
            return;
        }
        if (m_labelImages.size() >= kMaxLabelImages)
            m_labelImages.clear();
        const QSize rect = size.toSize();
        QImage drawn(rect + QSize(2 * kLabelPad + 1, 2 * kLabelPad + 1), QImage::Format_ARGB32_Premultiplied);
        drawn.fill(Qt::transparent);
        // Point sizes must come out as on the device the label is for.
        if (const QPaintDevice *device = painter->device()) {
            drawn.setDotsPerMeterX(qRound(device->logicalDpiX() / 0.0254));
            drawn.setDotsPerMeterY(qRound(device->logicalDpiY() / 0.0254));
        }
        {
            QPainter p(&drawn);
            p.setFont(painter->font());
            p.setPen(painter->pen());
            p.setRenderHints(painter->renderHints());
            p.translate(kLabelPad + place.dx() - left, kLabelPad + place.dy() - top);
            label.draw(&p, QRect(QPoint(0, 0), rect));
        }
        image = m_labelImages.insert(key, drawn);
    }
    painter->save();
    painter->setWorldTransform(QTransform::fromTranslate(left - kLabelPad, top - kLabelPad)
                               * painter->deviceTransform().inverted() * painter->worldTransform());
    painter->drawImage(QPoint(0, 0), *image);
    painter->restore();
}

} // namespace Corvid_Qt
