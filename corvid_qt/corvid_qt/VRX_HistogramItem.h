#ifndef CORVID_QT_VRX_HISTOGRAMITEM_H
#define CORVID_QT_VRX_HISTOGRAMITEM_H

#include "corvid_qt_export.h"

#include <QtCore/QVector>
#include <vector>

class QwtPlot;

namespace Corvid_Qt {

/**
 * A statistics item of the beam-profile display: computes its result from
 * the channel values of one peak region per frame (prepare) and shows it
 * on a plot (attach / detach). The view that creates items owns them.
 */
class CORVID_QT_EXPORT VRX_HistogramItem
{
public:
    VRX_HistogramItem() = default;
    VRX_HistogramItem(const VRX_HistogramItem &) = delete;
    VRX_HistogramItem &operator=(const VRX_HistogramItem &) = delete;

    /// Puts the item's plot items on `plot`.
    virtual void attach(QwtPlot *plot) = 0;
    /// Takes them off again.
    virtual void detach() = 0;
    /// Computes the statistics of one frame: `values` are the channels of one
    /// peak region starting at channel index `startChannel` of a profile of
    /// `totalChannels`; `stats` carries device-computed results (numStats()
    /// of them). True when the fit succeeded.
    virtual bool prepare(int startChannel, QVector<float> const &values, int totalChannels,
                         QVector<float> const &stats) = 0;
    /// How many values prepare() reads from `stats`.
    virtual int numStats() const;
    /// Shows or hides the energy line of the label.
    virtual void toggle_MLFC(bool on);
    /// The energy calibration table (MeV per channel); not owned, may be null.
    virtual void upload_MLFC_calibration_table(std::vector<double> *table);
    virtual ~VRX_HistogramItem();
};

} // namespace Corvid_Qt

#endif
