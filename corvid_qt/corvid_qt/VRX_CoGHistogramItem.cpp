#include "VRX_CoGHistogramItem.h"

#include "VRX_HistogramItemAxisWidget.h"

#include <QtCore/QCoreApplication>

#include <cmath>

namespace Corvid_Qt {

QColor VRX_CoGHistogramItem::itemColor()
{
    return QColor(Qt::green);
}

QString VRX_CoGHistogramItem::stripTitle()
{
    return QCoreApplication::translate("VRX_CoGHistogramItem", "Center of Gravity");
}

QString VRX_CoGHistogramItem::stripStyleSheet()
{
    return QStringLiteral("background-color: rgb(113,255,113);margin: 0px;padding: 0px;border: none;");
}

VRX_CoGHistogramItem::VRX_CoGHistogramItem(VRX_HistogramItemAxisWidget *axisWidget, bool fullStats)
    : VRX_StatisticsHistogramItem(axisWidget, itemColor(), fullStats)
    , m_CoGMode(Filtered)
    , m_opt(0)
{
    initMarker(m_statMarker);
    if (axisWidget) {
        axisWidget->setTitle(stripTitle());
        axisWidget->setStyleSheet(stripStyleSheet());
    }
}

VRX_CoGHistogramItem::~VRX_CoGHistogramItem() = default;


void VRX_CoGHistogramItem::setMode(CoGMode mode, double option)
{
    m_CoGMode = mode;
    m_opt = option;
}

void VRX_CoGHistogramItem::attach(QwtPlot *plot)
{
    attachItems(plot, m_statMarker, nullptr);
}

void VRX_CoGHistogramItem::detach()
{
    detachItems(m_statMarker, nullptr);
}

bool VRX_CoGHistogramItem::prepare(int startChannel, QVector<float> const &values, int totalChannels,
                                   QVector<float> const &)
{
    // The SNR refers to the distribution it was computed on.
    m_snr.reset();
    newDistribution(values);
    int code;
    if (m_CoGMode == Windowed) {
        // Half-width rounded, halves upward; kept to a sane range so that a
        // wild option cannot overflow the window arithmetic.
        const double w = std::isfinite(m_opt) ? std::floor(m_opt + 0.5) : 0.0;
        const int half = int(qBound(0.0, w, double(1 << 20)));
        Gaussian::CenterOfGravityWindowed cog(*m_dist, Gaussian::CenterOfGravityWindowed::Options(half));
        code = cog.calculate_all();
    } else {
        Gaussian::CenterOfGravityFiltered cog(*m_dist, Gaussian::CenterOfGravityFiltered::Options(float(m_opt)));
        code = cog.calculate_all();
    }
    return finishPrepare(code, startChannel, values.size(), totalChannels, m_statMarker, nullptr, nullptr,
                         &m_snr, nullptr, 0);
}

QwtText VRX_CoGHistogramItem::label() const
{
    const QString naTemplate = QCoreApplication::translate("VRX_CoGHistogramItem", "<pre>N/A\n%1</pre>");
    const QString errorTemplate = QCoreApplication::translate("VRX_CoGHistogramItem", "<pre>Error: %1\n%2</pre>");
    const QString shortTemplate =
        QCoreApplication::translate("VRX_CoGHistogramItem", "<pre>Position (%3): <b>%1</b>\nStd. Dev (%4): %2\n</pre>");
    const QString fullTemplate = QCoreApplication::translate("VRX_CoGHistogramItem",
        "<pre>Position (%5): <b>%1</b>\nStd. Dev (%6): %2\n    Skewness: %3\n    Kurtosis: %4\n</pre>");
    const QChar mu(0x03bc), sigma(0x03c3);
    const int extra = m_fullStats ? 3 : 1;

    if (!m_dist)
        return panel(naTemplate.arg(extraLines(extra)));
    if (!m_errorMessage.isEmpty())
        return panel(errorTemplate.arg(m_errorMessage, extraLines(extra)));
    if (!m_fullStats)
        return panel(shortTemplate.arg(double(m_position))
                         .arg(double(m_dist->standard_deviation()))
                         .arg(mu)
                         .arg(sigma));
    return panel(fullTemplate.arg(double(m_position))
                     .arg(double(m_dist->standard_deviation()))
                     .arg(double(m_dist->skewness()))
                     .arg(double(m_dist->m_kurtosis))
                     .arg(mu)
                     .arg(sigma));
}

} // namespace Corvid_Qt
