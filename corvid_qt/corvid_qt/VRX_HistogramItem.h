#ifndef CORVID_QT_VRX_HISTOGRAMITEM_H
#define CORVID_QT_VRX_HISTOGRAMITEM_H

#include "corvid_qt_export.h"

#include <QtCore/QVector>
#include <vector>

class QwtPlot;

namespace Corvid_Qt {

/**
 * A statistics item of the beam-profile display: computes its results from
 * one frame of channel values in prepare() and puts its plot items on a plot
 * in attach(). Items are owned by the plot view that creates them.
 */
class CORVID_QT_EXPORT VRX_HistogramItem
{
public:
    virtual void attach(QwtPlot *plot) = 0;
    virtual void detach() = 0;
    /// Computes the statistics of values, the channels from startChannel on
    /// of totalChannels; stats holds numStats() values computed by a device.
    virtual void prepare(int startChannel, const QVector<float> &values, int totalChannels,
                         const QVector<float> &stats) = 0;
    virtual int numStats() const;
    virtual void toggle_MLFC(bool on);
    /// The table is not owned.
    virtual void upload_MLFC_calibration_table(std::vector<double> *table);
    virtual ~VRX_HistogramItem();
};

} // namespace Corvid_Qt

#endif
