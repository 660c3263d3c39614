#ifndef CORVID_QT_VRXSERIESDATA_H
#define CORVID_QT_VRXSERIESDATA_H

#include "corvid_qt_export.h"

#include <QtCore/QVector>
#include <memory>
#include <qwt_series_data.h>

namespace Corvid_Qt {

class VRXAbstractPlotDataModel;

/**
 * Curve data read from one channel column of a plot-data model. Until a
 * call needs every sample, each sample() reads two doubles through
 * doubleData(); boundingRect(), samples(), xData() and yData() read all rows
 * at once through doubleDataRange() and keep them, so a plot pass over a
 * whole buffer reads each row once. The plot view makes a new series every
 * pass; its series share one copy of the times (shareTimes()).
 *
 * y values are divided by scale() (1.0 unless set; the plot view uses it to
 * normalise curves), except in yData(), which holds the model's values. The
 * bounding rectangle is computed at its first valid result and then kept;
 * setScale() drops it and the kept samples. Must not outlive its model.
 */
class CORVID_QT_EXPORT VRXSeriesData : public QwtSeriesData<QPointF>
{
public:
    /// endRow below startRow means up to the last row of the model.
    VRXSeriesData(const VRXAbstractPlotDataModel &model, int column, int startRow, int endRow);
    ~VRXSeriesData() override;

    const VRXAbstractPlotDataModel &model() const { return m_model; }
    int column() const { return m_column; }
    int startRow() const { return m_startRow; }
    double scale() const { return m_scale; }
    void setScale(double scale);

    size_t size() const override;
    QPointF sample(size_t i) const override;
    QRectF boundingRect() const override;
    /// Every sample, y divided by scale(); read at the first call and kept.
    QVector<QPointF> samples() const;
    /// The times and the model's values of every sample, size() of each,
    /// read at the first call and kept.
    const double *xData() const;
    const double *yData() const;
    /// Uses the times `other` reads (the same model, first row and size)
    /// instead of reading them again; otherwise nothing changes.
    void shareTimes(const VRXSeriesData &other);

private:
    friend class VRXDiscontinuousPlotCurve;

    void load() const;
    void loadTimes() const;
    static QRectF bounds(const QPointF *points, int n, double scale);

    const VRXAbstractPlotDataModel &m_model;
    int m_column;
    int m_startRow;
    int m_endRow;
    double m_scale;
    mutable std::shared_ptr<double[]> m_x;
    // The times' own extent once a series found every one of its samples
    // finite; series sharing the times then only scan their values.
    struct TimeExtent {
        bool known = false;
        double low = 0.0, high = 0.0;
    };
    mutable std::shared_ptr<TimeExtent> m_timeExtent;
    mutable std::unique_ptr<double[]> m_y;
    mutable int m_count = 0;
    mutable QVector<QPointF> m_samples;
    mutable QRectF m_rawBounds;
    mutable bool m_loaded = false;
    // Every sample finite in both coordinates, as load() found.
    mutable bool m_allFinite = false;
};

} // namespace Corvid_Qt

#endif
