#ifndef CORVID_QT_VRX_PRECALCULATEDFITHISTOGRAMITEM_H
#define CORVID_QT_VRX_PRECALCULATEDFITHISTOGRAMITEM_H

#include "VRX_StatisticsHistogramItem.h"

#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>

namespace Corvid_Qt {

/**
 * A Gaussian fitted by the device itself: prepare() reads mean, sigma,
 * amplitude, offset and confidence (in that order, five values) from
 * `stats`. A positive confidence is a fit; 0 means the fit failed and a
 * negative confidence is the device's error code. Always returns true.
 */
class CORVID_QT_EXPORT VRX_PrecalculatedFitHistogramItem : public VRX_StatisticsHistogramItem
{
public:
    static QColor itemColor();
    static QString stripTitle();
    static QString stripStyleSheet();

    /// Sets the strip's title and style sheet.
    VRX_PrecalculatedFitHistogramItem(VRX_HistogramItemAxisWidget *axisWidget, bool fullStats);
    ~VRX_PrecalculatedFitHistogramItem() override;

    void attach(QwtPlot *plot) override;
    void detach() override;
    bool prepare(int startChannel, QVector<float> const &values, int totalChannels,
                 QVector<float> const &stats) override;
    int numStats() const override;
    void toggle_MLFC(bool on) override;
    void upload_MLFC_calibration_table(std::vector<double> *table) override;
    QwtText label() const override;

    float confidence() const { return m_confidence; }
    bool mlfcEnabled() const { return m_mlfc_enabled; }
    const QwtPlotCurve &curve() const { return m_curve; }
    const QwtPlotMarker &marker() const { return m_statMarker; }

protected:
    QwtPlotCurve m_curve;
    QwtPlotMarker m_statMarker;
    std::unique_ptr<Gaussian::SNR> m_snr;
    float m_confidence;
    bool m_mlfc_enabled;
    std::vector<double> *m_mlfc_calibration_table;
};

} // namespace Corvid_Qt

#endif
