#include "VRX_PrecalculatedFitHistogramItem.h"

#include "VRX_HistogramItemAxisWidget.h"

#include <QtCore/QCoreApplication>

#include <cmath>

namespace Corvid_Qt {

QColor VRX_PrecalculatedFitHistogramItem::itemColor()
{
    return QColor(123, 127, 255);
}

QString VRX_PrecalculatedFitHistogramItem::stripTitle()
{
    return QCoreApplication::translate("VRX_PrecalculatedFitHistogramItem", "Gaussian Fit (Device)");
}

QString VRX_PrecalculatedFitHistogramItem::stripStyleSheet()
{
    return QStringLiteral("background-color: rgb(123,167,255);margin: 0px;padding: 0px;border: none;");
}

VRX_PrecalculatedFitHistogramItem::VRX_PrecalculatedFitHistogramItem(VRX_HistogramItemAxisWidget *axisWidget,
                                                                     bool fullStats)
    : VRX_StatisticsHistogramItem(axisWidget, itemColor(), fullStats)
    , m_confidence(0)
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

VRX_PrecalculatedFitHistogramItem::~VRX_PrecalculatedFitHistogramItem() = default;


int VRX_PrecalculatedFitHistogramItem::numStats() const
{
    return 5;
}

void VRX_PrecalculatedFitHistogramItem::attach(QwtPlot *plot)
{
    attachItems(plot, m_statMarker, &m_curve);
}

void VRX_PrecalculatedFitHistogramItem::detach()
{
    detachItems(m_statMarker, &m_curve);
}

void VRX_PrecalculatedFitHistogramItem::toggle_MLFC(bool on)
{
    m_mlfc_enabled = on;
}

void VRX_PrecalculatedFitHistogramItem::upload_MLFC_calibration_table(std::vector<double> *table)
{
    m_mlfc_calibration_table = table;
}

bool VRX_PrecalculatedFitHistogramItem::prepare(int startChannel, QVector<float> const &values,
                                                int totalChannels, QVector<float> const &stats)
{
    m_snr.reset();
    newDistribution(values);

    // Missing values count as a failed fit.
    const auto stat = [&stats](int j) { return j < stats.size() ? stats.at(j) : 0.0f; };
    const float mean = stat(0), sd = stat(1), amplitude = stat(2), offset = stat(3);
    m_confidence = stat(4);

    bool fitted = false;
    QString failure;
    if (m_confidence > 0) {
        // A centre or width that is not a number cannot be drawn.
        if (std::isfinite(mean) && std::isfinite(sd)) {
            Gaussian::PrecalculatedFit(*m_dist, Gaussian::PrecalculatedFit::Options(mean, sd, amplitude, offset,
                                                                                    m_confidence))
                .set();
            fitted = true;
        }
    } else if (m_confidence < 0 && m_confidence >= -1000.0f) {
        // The device's error code, rounded to the nearest integer.
        failure = errorText(int(std::floor(m_confidence + 0.5f)));
    }
    // Confidence 0, one that is not a number, and device codes without a
    // text of their own.
    if (!fitted && failure.isEmpty())
        failure = QCoreApplication::translate("VRX_PrecalculatedFitHistogramItem", "Fit failed.");

    finishPrepare(fitted ? int(Gaussian::ErrorNone) : int(Gaussian::ErrorSolutionInvalid), startChannel,
                  values.size(), totalChannels, m_statMarker, &m_curve, nullptr, &m_snr, nullptr, 0);
    m_errorMessage = failure;
    return true;
}

QwtText VRX_PrecalculatedFitHistogramItem::label() const
{
    const QString naTemplate = QCoreApplication::translate("VRX_PrecalculatedFitHistogramItem", "<pre>N/A\n%1</pre>");
    const QString errorTemplate = QCoreApplication::translate("VRX_PrecalculatedFitHistogramItem", "<pre>Fit error: %1\n%2</pre>");
    const QString shortTemplate =
        QCoreApplication::translate("VRX_PrecalculatedFitHistogramItem", "<pre>Position (%3): <b>%1</b>\nStd. Dev (%4): %2\n</pre>");
    const QString fullTemplate = QCoreApplication::translate("VRX_PrecalculatedFitHistogramItem",
        "<pre>      Position (%5): <b>%1</b>\n      Std. Dev (%6): %2\n               SNR: %3\n"
        "Noise Std. Dev (%6): %4\n                %7%8: %9%\n</pre>");
    const QChar mu(0x03bc), sigma(0x03c3), chi(0x03c7), squared(0x00b2);
    const int extra = m_fullStats ? 4 : 1;
    const bool energy = m_mlfc_enabled && m_mlfc_calibration_table;

    QString text;
    if (!m_dist) {
        text = naTemplate.arg(extraLines(extra));
    } else if (!m_errorMessage.isEmpty()) {
        return panel(errorTemplate.arg(m_errorMessage, extraLines(extra)));
    } else if (!m_fullStats) {
        text = shortTemplate.arg(double(m_position)).arg(double(m_dist->standard_deviation())).arg(mu).arg(sigma);
    } else {
        text = fullTemplate.arg(double(m_position))
                   .arg(double(m_dist->standard_deviation()))
                   .arg(snrText(m_snr.get()))
                   .arg(noiseText(m_snr.get()))
                   .arg(mu)
                   .arg(sigma)
                   .arg(chi)
                   .arg(squared)
                   .arg(double(m_confidence), 0, 'f', 1);
    }
    if (energy)
        text += energyLine(m_mlfc_calibration_table);
    return panel(text);
}

} // namespace Corvid_Qt
