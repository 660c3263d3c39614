#ifndef CORVID_QT_VRX_COGHISTOGRAMITEM_H
#define CORVID_QT_VRX_COGHISTOGRAMITEM_H

#include "VRX_StatisticsHistogramItem.h"

#include <qwt_plot_marker.h>

namespace Corvid_Qt {

/**
 * Centre of gravity of a peak region, either over all channels above a
 * fraction of the peak (Filtered) or over a window of channels around the
 * peak (Windowed). Draws a marker at the centre; its panel shows position
 * and width, with full statistics also skewness and kurtosis.
 */
class CORVID_QT_EXPORT VRX_CoGHistogramItem : public VRX_StatisticsHistogramItem
{
public:
    enum CoGMode { Filtered = 0, Windowed = 1 };

    static QColor itemColor();
    static QString stripTitle();
    static QString stripStyleSheet();

    /// Sets the strip's title and style sheet.
    VRX_CoGHistogramItem(VRX_HistogramItemAxisWidget *axisWidget, bool fullStats);
    ~VRX_CoGHistogramItem() override;

    void attach(QwtPlot *plot) override;
    void detach() override;
    bool prepare(int startChannel, QVector<float> const &values, int totalChannels,
                 QVector<float> const &stats) override;
    QwtText label() const override;

    /// `option` is the threshold fraction of the peak in Filtered mode and
    /// the window half-width in channels (rounded) in Windowed mode.
    void setMode(CoGMode mode, double option);
    CoGMode mode() const { return m_CoGMode; }
    double option() const { return m_opt; }
    const QwtPlotMarker &marker() const { return m_statMarker; }

protected:
    QwtPlotMarker m_statMarker;
    CoGMode m_CoGMode;
    double m_opt;
    std::unique_ptr<Gaussian::SNR> m_snr;
};

} // namespace Corvid_Qt

#endif
