#ifndef CORVID_QT_VRXSERIESDATA_H
#define CORVID_QT_VRXSERIESDATA_H

#include "corvid_qt_export.h"

#include <qwt_series_data.h>

namespace Corvid_Qt {

class VRXAbstractPlotDataModel;

/**
 * Curve data read straight from one channel column of a plot-data model:
 * nothing is copied, each sample() reads two doubles through doubleData().
 *
 * y values are divided by scale() (1.0 unless set; the plot view uses it to
 * normalise curves). The bounding rectangle is computed at its first valid
 * result and then kept; setScale() invalidates it. Must not outlive its model.
 */
class CORVID_QT_EXPORT VRXSeriesData : public QwtSeriesData<QPointF>
{
public:
    /// endRow below startRow means up to the last row of the model.
    VRXSeriesData(const VRXAbstractPlotDataModel &model, int column, int startRow, int endRow);

    const VRXAbstractPlotDataModel &model() const { return m_model; }
    int column() const { return m_column; }
    int startRow() const { return m_startRow; }
    double scale() const { return m_scale; }
    void setScale(double scale);

    size_t size() const override;
    QPointF sample(size_t i) const override;
    QRectF boundingRect() const override;

private:
    const VRXAbstractPlotDataModel &m_model;
    int m_column;
    int m_startRow;
    int m_endRow;
    double m_scale;
};

} // namespace Corvid_Qt

#endif
