#ifndef CORVID_QT_VRX_GAUSSABOLAHISTOGRAMITEM_H
#define CORVID_QT_VRX_GAUSSABOLAHISTOGRAMITEM_H

#include "VRX_StatisticsHistogramItem.h"

#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>

namespace Corvid_Qt {

/**
 * The Gaussian through the highest channel of a peak region and its two
 * neighbours. Draws the curve and a marker at its centre; with full
 * statistics the panel adds peak, integral, SNR, noise and chi-square
 * quality, and an energy line when MLFC is on (the table is not owned).
 */
class CORVID_QT_EXPORT VRX_GaussabolaHistogramItem : public VRX_StatisticsHistogramItem
{
public:
    static QColor itemColor();
    static QString stripTitle();
    static QString stripStyleSheet();

    /// Sets the strip's title and style sheet.
    VRX_GaussabolaHistogramItem(VRX_HistogramItemAxisWidget *axisWidget, bool fullStats);
    ~VRX_GaussabolaHistogramItem() override;

    void attach(QwtPlot *plot) override;
    void detach() override;
    bool prepare(int startChannel, QVector<float> const &values, int totalChannels,
                 QVector<float> const &stats) override;
    void toggle_MLFC(bool on) override;
    void upload_MLFC_calibration_table(std::vector<double> *table) override;
    QwtText label() const override;

    Gaussian::Gaussabola::Options options() const { return m_opt; }
    void setOptions(Gaussian::Gaussabola::Options const &options) { m_opt = options; }
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
    Gaussian::Gaussabola::Options m_opt;
    std::unique_ptr<Gaussian::SNR> m_snr;
    Gaussian::Chi2::Options m_chi_opt;
    std::unique_ptr<Gaussian::Chi2> m_chi2;
    float m_peak;
    bool m_mlfc_enabled;
    std::vector<double> *m_mlfc_calibration_table;
};

} // namespace Corvid_Qt

#endif
