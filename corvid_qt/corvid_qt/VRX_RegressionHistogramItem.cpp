#include "VRX_RegressionHistogramItem.h"

#include "VRX_HistogramItemAxisWidget.h"

#include <QtCore/QCoreApplication>

namespace Corvid_Qt {

QColor VRX_RegressionHistogramItem::itemColor()
{
    return QColor(Qt::magenta);
}

QString VRX_RegressionHistogramItem::stripTitle()
{
    return QCoreApplication::translate("VRX_RegressionHistogramItem", "Gaussian Fit");
}

QString VRX_RegressionHistogramItem::stripStyleSheet()
{
    return QStringLiteral("background-color: rgb(255,171,251);margin: 0px;padding: 0px;border: none;");
}

VRX_RegressionHistogramItem::VRX_RegressionHistogramItem(VRX_HistogramItemAxisWidget *axisWidget, bool fullStats)
    : VRX_StatisticsHistogramItem(axisWidget, itemColor(), fullStats)
    , m_chi_opt(1)
    , m_peak(0)
    , m_mlfc_enabled(false)
    , m_mlfc_calibration_table(nullptr)
{
    initCurve(m_curve);
    initMarker(m_statMarker);
    if (axisWidget) {
        axisWidget->setTitle(stripTitle());
        axisWidget->setStyleSheet(stripStyleSheet());
    }
}

VRX_RegressionHistogramItem::~VRX_RegressionHistogramItem() = default;


void VRX_RegressionHistogramItem::attach(QwtPlot *plot)
{
    attachItems(plot, m_statMarker, &m_curve);
}

void VRX_RegressionHistogramItem::detach()
{
    detachItems(m_statMarker, &m_curve);
}

void VRX_RegressionHistogramItem::toggle_MLFC(bool on)
{
    m_mlfc_enabled = on;
}

void VRX_RegressionHistogramItem::upload_MLFC_calibration_table(std::vector<double> *table)
{
    m_mlfc_calibration_table = table;
}

bool VRX_RegressionHistogramItem::prepare(int startChannel, QVector<float> const &values, int totalChannels,
                                          QVector<float> const &)
{
    // SNR and chi-square refer to the distribution they were computed on.
    m_chi2.reset();
    m_snr.reset();
    newDistribution(values);
    // The values are fitted as they are, without DC-offset removal.
    const int code = Gaussian::Regression(*m_dist, m_opt).calculate_all(false);
    return finishPrepare(code, startChannel, values.size(), totalChannels, m_statMarker, &m_curve, &m_peak,
                         &m_snr, &m_chi2, m_chi_opt.m_signal_channels);
}

QwtText VRX_RegressionHistogramItem::label() const
{
    const QString naTemplate = QCoreApplication::translate("VRX_RegressionHistogramItem", "<pre>N/A\n%1</pre>");
    const QString errorTemplate = QCoreApplication::translate("VRX_RegressionHistogramItem", "<pre>Fit error: %1\n%2</pre>");
    const QString shortTemplate =
        QCoreApplication::translate("VRX_RegressionHistogramItem", "<pre>Position (%3): <b>%1</b>\nStd. Dev (%4): %2\n</pre>");
    const QString fullTemplate = QCoreApplication::translate("VRX_RegressionHistogramItem",
        "<pre>      Position (%7): <b>%1</b>\n      Std. Dev (%8): %2\n              Peak: %3\n"
        "          Integral: %4\n               SNR: %5\nNoise Std. Dev (%8): %6\n                %9%10: %11%\n</pre>");
    const QChar mu(0x03bc), sigma(0x03c3), chi(0x03c7), squared(0x00b2);
    const int extra = m_fullStats ? 6 : 1;
    const bool energy = m_mlfc_enabled && m_mlfc_calibration_table;

    QString text;
    if (!m_dist) {
        text = naTemplate.arg(extraLines(extra));
    } else if (!m_errorMessage.isEmpty()) {
        return panel(errorTemplate.arg(m_errorMessage, extraLines(extra)));
    } else if (!m_fullStats) {
        text = shortTemplate.arg(double(m_position)).arg(double(m_dist->standard_deviation())).arg(mu).arg(sigma);
    } else {
        const double quality = m_chi2 ? qMax(0.0, (1.0 - double(m_chi2->quality_of_fit())) * 100.0) : 0.0;
        text = fullTemplate.arg(double(m_position))
                   .arg(double(m_dist->standard_deviation()))
                   .arg(double(m_peak), 0, 'e', 3)
                   .arg(double(m_dist->m_histogramSum), 0, 'e', 3)
                   .arg(snrText(m_snr.get()))
                   .arg(noiseText(m_snr.get()))
                   .arg(mu)
                   .arg(sigma)
                   .arg(chi)
                   .arg(squared)
                   .arg(quality, 0, 'f', 1);
    }
    if (energy)
        text += energyLine(m_mlfc_calibration_table);
    return panel(text);
}

} // namespace Corvid_Qt
