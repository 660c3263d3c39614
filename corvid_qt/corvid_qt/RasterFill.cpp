#include "RasterFill_p.h"

#include <QtGui/QImage>
#include <QtGui/QPaintEngine>
#include <QtGui/QPainter>
#include <QtGui/QPen>
#include <QtGui/QRegion>

#include <algorithm>
#include <cmath>

namespace Corvid_Qt {

namespace {

bool onPixelGrid(double v)
{
    return std::abs(v) < 1.0e6 && v == std::floor(v);
}

} // namespace

bool fillsThinLines(const QPainter *painter, const QPen &pen)
{
    const QPaintEngine *engine = painter->paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster || painter->testRenderHint(QPainter::Antialiasing))
        return false;
    const QTransform transform = painter->deviceTransform();
    if (transform.type() > QTransform::TxTranslate || !onPixelGrid(transform.dx()) || !onPixelGrid(transform.dy()))
        return false;
    return pen.style() == Qt::SolidLine && pen.brush().style() == Qt::SolidPattern && pen.widthF() <= 1.0
           && pen.capStyle() == Qt::FlatCap;
}

bool thinLineRect(double x1, double y1, double x2, double y2, QRect *rect)
{
    if (!onPixelGrid(x1) || !onPixelGrid(y1) || !onPixelGrid(x2) || !onPixelGrid(y2))
        return false;
    const bool horizontal = y1 == y2;
    if (horizontal == (x1 == x2))
        return false;
    if (horizontal)
        *rect = QRect(int(std::min(x1, x2)), int(y1), int(std::abs(x2 - x1)), 1);
    else
        *rect = QRect(int(x1), int(std::min(y1, y2)), 1, int(std::abs(y2 - y1)));
    return true;
}

bool fillLine(QPainter *painter, double x1, double y1, double x2, double y2)
{
    QRect rect;
    if (!thinLineRect(x1, y1, x2, y2, &rect))
        return false;
    painter->fillRect(rect, painter->pen().brush());
    return true;
}

bool fillRegionInPlace(QPainter *painter, const QRegion &region, const QColor &colour)
{
    return fillRectsInPlace(painter, region.begin(), region.rectCount(), colour);
}

QImage *imageForDirectWrites(QPainter *painter, QPoint *offset)
{
    QPaintEngine *engine = painter->paintEngine();
    QPaintDevice *device = engine ? engine->paintDevice() : nullptr;
    if (!device || engine->type() != QPaintEngine::Raster || device->devType() != QInternal::Image)
        return nullptr;
    auto *image = static_cast<QImage *>(device);
    const QImage::Format format = image->format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32
        && format != QImage::Format_ARGB32_Premultiplied)
        return nullptr;
    if (painter->opacity() < 1.0
        || (painter->compositionMode() != QPainter::CompositionMode_SourceOver
            && painter->compositionMode() != QPainter::CompositionMode_Source))
        return nullptr;
    const QTransform transform = painter->deviceTransform();
    if (transform.type() > QTransform::TxTranslate || transform.dx() != std::round(transform.dx())
        || transform.dy() != std::round(transform.dy()))
        return nullptr;
    *offset = QPoint(int(transform.dx()), int(transform.dy()));
    return image;
}

bool fillRectsInPlace(QPainter *painter, const QRect *rects, int count, const QColor &colour)
{
    QPoint found;
    QImage *image = colour.alpha() == 255 ? imageForDirectWrites(painter, &found) : nullptr;
    if (!image)
        return false;
    const QPoint offset = found; // never aliased by the pixel writes below
    const QRegion system = painter->paintEngine()->systemClip();

    // Everything the painter may touch, in the image's pixels.
    QRegion clip(image->rect());
    if (painter->hasClipping())
        clip &= painter->clipRegion().translated(offset);
    if (!system.isEmpty())
        clip &= system;

    // The engine holds the image's pixels from begin(); write where it
    // writes, without detaching.
    auto *pixels = const_cast<uchar *>(image->constBits());
    const qsizetype stride = image->bytesPerLine();
    const QRgb value = colour.rgba();
    for (int i = 0; i < count; ++i) {
        for (const QRect &rect : clip & rects[i].translated(offset)) {
            uchar *line = pixels + rect.top() * stride + rect.left() * qsizetype(sizeof(QRgb));
            for (int y = rect.top(); y <= rect.bottom(); ++y, line += stride)
                std::fill_n(reinterpret_cast<QRgb *>(line), rect.width(), value);
        }
    }
    return true;
}

} // namespace Corvid_Qt
