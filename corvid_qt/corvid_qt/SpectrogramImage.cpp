#include "SpectrogramImage_p.h"

#include <QtGui/QPainter>
#include <qwt_color_map.h>
#include <qwt_scale_map.h>

#include <algorithm>
#include <cmath>

namespace Corvid_Qt {

SpectrogramImage::SpectrogramImage(const QString &title)
    : QwtPlotItem(QwtText(title))
    , m_columns(0)
    , m_rows(0)
    , m_colorMap(new QwtLinearColorMap(Qt::black, Qt::white))
    , m_smoothing(false)
    , m_stale(true)
{
    m_colorTable = m_colorMap->colorTable(QwtInterval(0.0, 1.0));
    setItemAttribute(QwtPlotItem::AutoScale, true);
    setZ(0.0);
}

SpectrogramImage::~SpectrogramImage() = default;

int SpectrogramImage::rtti() const
{
    return QwtPlotItem::Rtti_PlotUserItem;
}

void SpectrogramImage::setValues(const double *values, int columns, int rows)
{
    if (!values || columns <= 0 || rows <= 0) {
        m_values.clear();
        m_columns = m_rows = 0;
    } else {
        m_values.assign(values, values + std::size_t(columns) * std::size_t(rows));
        m_columns = columns;
        m_rows = rows;
    }
    m_stale = true;
    itemChanged();
}

void SpectrogramImage::setInterval(Qt::Axis axis, const QwtInterval &interval)
{
    if (axis < Qt::XAxis || axis > Qt::ZAxis || m_intervals[axis] == interval)
        return;
    m_intervals[axis] = interval;
    m_stale = true;
    itemChanged();
}

QwtInterval SpectrogramImage::interval(Qt::Axis axis) const
{
    if (axis < Qt::XAxis || axis > Qt::ZAxis)
        return QwtInterval();
    return m_intervals[axis];
}

void SpectrogramImage::setColorMap(QwtColorMap *colorMap)
{
    if (!colorMap || colorMap == m_colorMap.get())
        return;
    m_colorMap.reset(colorMap);
    m_colorTable = m_colorMap->colorTable(QwtInterval(0.0, 1.0));
    m_stale = true;
    itemChanged();
}

void SpectrogramImage::setSmoothing(bool on)
{
    if (m_smoothing == on)
        return;
    m_smoothing = on;
    itemChanged();
}

QRectF SpectrogramImage::boundingRect() const
{
    const QwtInterval &x = m_intervals[Qt::XAxis];
    const QwtInterval &y = m_intervals[Qt::YAxis];
    if (!x.isValid() || !y.isValid())
        return QwtPlotItem::boundingRect();
    return QRectF(x.minValue(), y.minValue(), x.width(), y.width());
}

void SpectrogramImage::colourCells() const
{
    m_stale = false;
    if (m_columns <= 0 || m_rows <= 0) {
        m_image = QImage();
        return;
    }
    if (m_image.width() != m_columns || m_image.height() != m_rows)
        m_image = QImage(m_columns, m_rows, QImage::Format_RGB32);

    const QwtInterval &z = m_intervals[Qt::ZAxis];
    const double low = z.minValue();
    const double width = z.width();
    const int last = m_colorTable.size() - 1;
    const double toIndex = width > 0.0 ? last / width : 0.0;
    const double *value = m_values.data();
    for (int r = 0; r < m_rows; ++r) {
        QRgb *line = reinterpret_cast<QRgb *>(m_image.scanLine(r));
        for (int c = 0; c < m_columns; ++c, ++value) {
            const double scaled = (*value - low) * toIndex;
            int index = 0;
            if (scaled >= last)
                index = last;
            else if (scaled > 0.0) // NaN fails here too
                index = int(scaled + 0.5);
            line[c] = m_colorTable.at(index);
        }
    }
}

void SpectrogramImage::draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                            const QRectF &) const
{
    if (m_stale)
        colourCells();
    if (m_image.isNull())
        return;
    const QwtInterval &x = m_intervals[Qt::XAxis];
    const QwtInterval &y = m_intervals[Qt::YAxis];
    if (!x.isValid() || !y.isValid())
        return;

    const double x0 = xMap.transform(x.minValue());
    const double x1 = xMap.transform(x.maxValue());
    const double y0 = yMap.transform(y.minValue());
    const double y1 = yMap.transform(y.maxValue());
    // Mirror the few cells rather than the painter, so the scaling stays on
    // the painter's fast axis-aligned path.
    const bool flipX = x1 < x0;
    const bool flipY = y1 < y0;
    const QImage &image = (flipX || flipY) ? m_image.mirrored(flipX, flipY) : m_image;
    const QRectF target(QPointF(std::min(x0, x1), std::min(y0, y1)), QPointF(std::max(x0, x1), std::max(y0, y1)));

    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform, m_smoothing);
    painter->drawImage(target, image);
    painter->restore();
}

} // namespace Corvid_Qt
