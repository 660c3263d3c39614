#ifndef CORVID_QT_SPECTROGRAMIMAGE_P_H
#define CORVID_QT_SPECTROGRAMIMAGE_P_H

#include "corvid_qt_export.h"

#include <QtGui/QImage>
#include <qwt_interval.h>
#include <qwt_plot_item.h>

#include <memory>
#include <vector>

class QwtColorMap;

namespace Corvid_Qt {

/**
 * The spectrogram's image: a small grid of cells (12 x 12 or 32 x 32)
 * coloured once per change into an image of one pixel per cell, which the
 * painter scales onto the canvas, smoothly (bilinear) or as blocks. Cell
 * (row, column) covers [column, column + 1) x [row, row + 1) of the
 * bounding intervals; non-finite values take the colour of the bottom of
 * the range. Owns its colour map. Owned by the plot it is attached to.
 */
class CORVID_QT_EXPORT SpectrogramImage : public QwtPlotItem
{
public:
    explicit SpectrogramImage(const QString &title);
    ~SpectrogramImage() override;

    int rtti() const override;

    /// Copies rows x columns values, row-major.
    void setValues(const double *values, int columns, int rows);
    const std::vector<double> &values() const { return m_values; }
    int columns() const { return m_columns; }

    void setInterval(Qt::Axis axis, const QwtInterval &interval);
    QwtInterval interval(Qt::Axis axis) const;

    /// Takes ownership.
    void setColorMap(QwtColorMap *colorMap);
    const QwtColorMap *colorMap() const { return m_colorMap.get(); }

    void setSmoothing(bool on);
    bool smoothing() const { return m_smoothing; }

    QRectF boundingRect() const override;
    void draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
              const QRectF &canvasRect) const override;

private:
    void colourCells() const;

    std::vector<double> m_values;
    int m_columns;
    int m_rows;
    QwtInterval m_intervals[3];
    std::unique_ptr<QwtColorMap> m_colorMap;
    QVector<QRgb> m_colorTable;
    bool m_smoothing;
    mutable QImage m_image;
    mutable bool m_stale;
};

} // namespace Corvid_Qt

#endif
