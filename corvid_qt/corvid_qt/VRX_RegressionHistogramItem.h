#ifndef CORVID_QT_VRX_REGRESSIONHISTOGRAMITEM_H
#define CORVID_QT_VRX_REGRESSIONHISTOGRAMITEM_H

#include "VRX_StatisticsHistogramItem.h"

#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>

namespace Corvid_Qt {

/**
 * Gaussian fit of a peak region by weighted least squares on the logarithm
 * of the channels at or above a fraction of the peak (no DC-offset removal:
 * the values are taken as they are). Draws the curve and a marker at its centre; with full
 * statistics the panel adds peak, integral, SNR, noise and chi-square
 * quality, and an energy line when MLFC is on (the table is not owned).
 */
class CORVID_QT_EXPORT VRX_RegressionHistogramItem : public VRX_StatisticsHistogramItem
{
public:
    static QColor itemColor();
    static QString stripTitle();
    static QString stripStyleSheet();

    /// Sets the strip's title and style sheet.
    VRX_RegressionHistogramItem(VRX_HistogramItemAxisWidget *axisWidget, bool fullStats);
    ~VRX_RegressionHistogramItem() override;

    void attach(QwtPlot *plot) override;
    void detach() override;
    bool prepare(int startChannel, QVector<float> const &values, int totalChannels,
                 QVector<float> const &stats) override;
    void toggle_MLFC(bool on) override;
    void upload_MLFC_calibration_table(std::vector<double> *table) override;
    QwtText label() const override;

    Gaussian::Regression::Options options() const { return m_opt; }
    void setOptions(Gaussian::Regression::Options const &options) { m_opt = options; }
    /// Half-width in channels of the chi-square window.
    int chiWindow() const { return m_chi_opt.m_signal_channels; }
    void setChiWindow(int channels) { m_chi_opt = Gaussian::Chi2::Options(channels); }
    bool mlfcEnabled() const { return m_mlfc_enabled; }
    float peak() const { return m_peak; }
    const QwtPlotCurve &curve() const { return m_curve; }
    const QwtPlotMarker &marker() const { return m_statMarker; }

protected:
    QwtPlotCurve m_curve;
    QwtPlotMarker m_statMarker;
    Gaussian::Regression::Options m_opt;
    std::unique_ptr<Gaussian::SNR> m_snr;
    Gaussian::Chi2::Options m_chi_opt;
    std::unique_ptr<Gaussian::Chi2> m_chi2;
    float m_peak;
    bool m_mlfc_enabled;
    std::vector<double> *m_mlfc_calibration_table;
};

} // namespace Corvid_Qt

#endif
