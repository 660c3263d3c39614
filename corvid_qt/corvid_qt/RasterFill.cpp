#include "RasterFill_p.h"

#include <QtGui/QImage>
#include <QtGui/QPaintEngine>
#include <QtGui/QPainter>
#include <QtGui/QRegion>

#include <algorithm>
#include <cmath>

namespace Corvid_Qt {

bool fillRegionInPlace(QPainter *painter, const QRegion &region, const QColor &colour)
{
    QPaintEngine *engine = painter->paintEngine();
    QPaintDevice *device = engine ? engine->paintDevice() : nullptr;
    if (!device || engine->type() != QPaintEngine::Raster || device->devType() != QInternal::Image)
        return false;
    auto *image = static_cast<QImage *>(device);
    const QImage::Format format = image->format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32
        && format != QImage::Format_ARGB32_Premultiplied)
        return false;
    if (colour.alpha() != 255 || painter->opacity() < 1.0
        || (painter->compositionMode() != QPainter::CompositionMode_SourceOver
            && painter->compositionMode() != QPainter::CompositionMode_Source))
        return false;
    const QTransform transform = painter->deviceTransform();
    if (transform.type() > QTransform::TxTranslate || transform.dx() != std::round(transform.dx())
        || transform.dy() != std::round(transform.dy()))
        return false;
    const QPoint offset(int(transform.dx()), int(transform.dy()));

    QRegion filled = region;
    if (painter->hasClipping())
        filled &= painter->clipRegion();
    filled.translate(offset);
    const QRegion system = engine->systemClip();
    if (!system.isEmpty())
        filled &= system;
    filled &= image->rect();

    // The engine holds the image's pixels from begin(); write where it
    // writes, without detaching.
    auto *pixels = const_cast<uchar *>(image->constBits());
    const qsizetype stride = image->bytesPerLine();
    const QRgb value = colour.rgba();
    for (const QRect &rect : filled) {
        uchar *line = pixels + rect.top() * stride + rect.left() * qsizetype(sizeof(QRgb));
        for (int y = rect.top(); y <= rect.bottom(); ++y, line += stride)
            std::fill_n(reinterpret_cast<QRgb *>(line), rect.width(), value);
    }
    return true;
}

} // namespace Corvid_Qt
