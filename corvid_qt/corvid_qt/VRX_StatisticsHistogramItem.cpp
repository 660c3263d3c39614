#include "VRX_StatisticsHistogramItem.h"

#include "PreformattedTextEngine.h"
#include "VRX_HistogramItemAxisWidget.h"

#include <QtCore/QCoreApplication>
#include <QtGui/QPen>
#include <cmath>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_widget.h>
#include <qwt_symbol.h>

namespace Corvid_Qt {

VRX_StatisticsHistogramItem::ScaleDraw::ScaleDraw() = default;

void VRX_StatisticsHistogramItem::ScaleDraw::addItem(const VRX_StatisticsHistogramItem *item)
{
    m_fits.insert(item);
    invalidateCache();
}

void VRX_StatisticsHistogramItem::ScaleDraw::clearItems()
{
    m_fits.clear();
    invalidateCache();
}

void VRX_StatisticsHistogramItem::ScaleDraw::removeItem(const VRX_StatisticsHistogramItem *item)
{
    if (m_fits.remove(item))
        invalidateCache();
}

QwtText VRX_StatisticsHistogramItem::ScaleDraw::label(double value) const
{
    for (const VRX_StatisticsHistogramItem *item : m_fits) {
        const double p = item->m_position;
        if (std::fabs(p - value) <= 1e-12 * qMin(std::fabs(p), std::fabs(value)))
            return item->label();
    }
    return QwtText(QString::number(value, 'g', 6));
}

VRX_StatisticsHistogramItem::VRX_StatisticsHistogramItem(VRX_HistogramItemAxisWidget *axisWidget,
                                                         const QColor &color, bool fullStats)
    : m_color(color)
    , m_fullStats(fullStats)
    , m_axisWidget(axisWidget)
    , m_clearScale(true)
    , m_position(0)
{
    PreformattedTextEngine::registerEngine();
}

VRX_StatisticsHistogramItem::~VRX_StatisticsHistogramItem()
{
    detachScale();
}

VRX_StatisticsHistogramItem::ScaleDraw *VRX_StatisticsHistogramItem::stripScaleDraw() const
{
    if (!m_axisWidget)
        return nullptr;
    return dynamic_cast<ScaleDraw *>(m_axisWidget->axisWidget()->scaleDraw());
}

QString VRX_StatisticsHistogramItem::errorText(int code)
{
    switch (code) {
    case Gaussian::ErrorNotEnoughData:
        return QCoreApplication::translate("VRX_StatisticsHistogramItem", "Not enough channels.");
    case Gaussian::ErrorPeakBelowThreshold:
        return QCoreApplication::translate("VRX_StatisticsHistogramItem", "Peak below threshold.");
    case Gaussian::ErrorPeakEdge:
        return QCoreApplication::translate("VRX_StatisticsHistogramItem", "Peak on edge.");
    case Gaussian::ErrorSumBelowThreshold:
        return QCoreApplication::translate("VRX_StatisticsHistogramItem", "Signal below threshold.");
    case Gaussian::ErrorNotEnoughPeakData:
        return QCoreApplication::translate("VRX_StatisticsHistogramItem", "Not enough peak channels.");
    case Gaussian::ErrorNoiseAboveThreshold:
        return QCoreApplication::translate("VRX_StatisticsHistogramItem", "Noise above threshold.");
    case Gaussian::ErrorMatrixNoninvertible:
    case Gaussian::ErrorSolutionInvalid:
        return QCoreApplication::translate("VRX_StatisticsHistogramItem", "Regression failed.");
    default:
        return QString();
    }
}

bool VRX_StatisticsHistogramItem::interpolateEnergy(const std::vector<double> &table, double position,
                                                    double *energy)
{
    if (table.empty() || std::isnan(position))
        return false;
    const double x = position - 1.0; // entry k belongs to plotted position k + 1
    const std::size_t last = table.size() - 1;
    if (x <= 0.0) {
        *energy = table.front();
    } else if (x >= double(last)) {
        *energy = table.back();
    } else {
        const std::size_t k = std::size_t(x);
        const double f = x - double(k);
        *energy = table[k] + f * (table[k + 1] - table[k]);
    }
    return true;
}

QString VRX_StatisticsHistogramItem::extraLines(int count)
{
    return QString(count, QLatin1Char('\n'));
}

QwtText VRX_StatisticsHistogramItem::panel(const QString &text)
{
    return PreformattedTextEngine::text(text);
}

namespace {

QString finiteOrNA(double value, char format, int precision)
{
    return std::isfinite(value) ? QString::number(value, format, precision) : QCoreApplication::translate("VRX_StatisticsHistogramItem", "N/A");
}

} // namespace

QString VRX_StatisticsHistogramItem::snrText(const Gaussian::SNR *snr)
{
    return finiteOrNA(snr ? double(snr->snr()) : 1.0, 'g', 6);
}

QString VRX_StatisticsHistogramItem::noiseText(const Gaussian::SNR *snr)
{
    return finiteOrNA(snr ? double(snr->noise_standard_deviation()) : 0.0, 'e', 3);
}

QString VRX_StatisticsHistogramItem::energyLine(const std::vector<double> *table) const
{
    double energy = 0;
    const bool known = m_dist && table && interpolateEnergy(*table, m_position, &energy);
    return QCoreApplication::translate("VRX_StatisticsHistogramItem", "\nEnergy (MeV): ")
           + (known ? QString::number(energy, 'g', 6) : QCoreApplication::translate("VRX_StatisticsHistogramItem", "N/A"));
}

void VRX_StatisticsHistogramItem::initMarker(QwtPlotMarker &marker) const
{
    marker.setLineStyle(QwtPlotMarker::VLine);
    marker.setLinePen(QPen(m_color, 0, Qt::DashDotLine, Qt::SquareCap, Qt::BevelJoin));
    marker.setLabelAlignment(Qt::AlignRight | Qt::AlignTop);
    marker.setSpacing(12);
    marker.setSymbol(new QwtSymbol(QwtSymbol::Diamond, QBrush(Qt::yellow), QPen(Qt::yellow), QSize(5, 5)));
}

void VRX_StatisticsHistogramItem::initCurve(QwtPlotCurve &curve) const
{
    curve.setTitle(QCoreApplication::translate("VRX_StatisticsHistogramItem", "Gaussian Fit"));
    curve.setPen(QPen(m_color, 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
}

void VRX_StatisticsHistogramItem::newDistribution(QVector<float> const &values)
{
    m_dist.reset();
    // The copy is kept between frames so that a frame costs no allocation
    // of channel storage; only the fitted parameters outlive prepare().
    m_values.assign(values.cbegin(), values.cend());
    // A channel that is not a number is drawn as 0, and fitted as 0 too.
    for (float &v : m_values)
        if (!std::isfinite(v))
            v = 0.0f;
    m_dist = std::make_unique<Gaussian>(m_values.data(), m_values.size(), Gaussian::OwnershipPolicyShared, -1.0f,
                                        -1.0f, -1.0f);
}

void VRX_StatisticsHistogramItem::layoutFailure(int startChannel, int count, int totalChannels)
{
    m_position = float(startChannel + count / 2);
    m_scale = QwtScaleDiv(0.0, double(totalChannels));
    m_scale.setTicks(QwtScaleDiv::MajorTick, QList<double>() << double(m_position));
}

void VRX_StatisticsHistogramItem::layoutSuccess(int startChannel, int totalChannels)
{
    m_position = m_dist->m_mean + 1.0f + float(startChannel);
    const double p = m_position;
    const double sigma = m_dist->standard_deviation();
    m_scale = QwtScaleDiv(0.0, double(totalChannels));
    m_scale.setTicks(QwtScaleDiv::MinorTick, QList<double>() << p - 3 * sigma << p + 3 * sigma);
    m_scale.setTicks(QwtScaleDiv::MediumTick, QList<double>() << p - sigma << p + sigma);
    m_scale.setTicks(QwtScaleDiv::MajorTick, QList<double>() << p);
}

void VRX_StatisticsHistogramItem::fillCurve(QwtPlotCurve &curve, int startChannel, int count, bool fitted) const
{
    // Four samples per channel over the region's bars. (Counting k from
    // startChannel + 1 would start every region's curve at a quarter of its
    // start and draw a flat line across all regions left of it.)
    const int first = 4 * startChannel + 1;
    const int end = 4 * (startChannel + count);
    QVector<QPointF> samples;
    samples.reserve(qMax(0, end - first));
    for (int k = first; k < end; ++k) {
        const double x = k / 4.0;
        const double y = fitted ? double(m_dist->value(float(x - startChannel - 1))) : 0.0;
        samples.append(QPointF(x, std::isfinite(y) ? y : 0.0));
    }
    curve.setSamples(samples);
}

bool VRX_StatisticsHistogramItem::finishPrepare(int code, int startChannel, int count, int totalChannels,
                                                QwtPlotMarker &marker, QwtPlotCurve *curve, float *peak,
                                                std::unique_ptr<Gaussian::SNR> *snr,
                                                std::unique_ptr<Gaussian::Chi2> *chi2, int chiWindow)
{
    const bool ok = code == Gaussian::ErrorNone;
    if (snr)
        snr->reset();
    if (chi2)
        chi2->reset();
    float height = 0;
    if (ok) {
        layoutSuccess(startChannel, totalChannels);
        if (m_fullStats) {
            if (snr) {
                *snr = std::make_unique<Gaussian::SNR>(*m_dist, 3);
                (*snr)->calculate_all();
            }
            if (chi2) {
                *chi2 = std::make_unique<Gaussian::Chi2>(*m_dist, Gaussian::Chi2::Options(chiWindow));
                (*chi2)->calculate_all();
            }
        }
        height = m_dist->value(m_dist->m_mean);
        if (!std::isfinite(height))
            height = 0;
    } else {
        layoutFailure(startChannel, count, totalChannels);
    }
    if (curve)
        fillCurve(*curve, startChannel, count, ok);
    if (peak)
        *peak = height;
    marker.setValue(double(m_position), double(height));
    m_clearScale = startChannel == 0;
    m_errorMessage = errorText(code);
    return ok;
}

void VRX_StatisticsHistogramItem::attachItems(QwtPlot *plot, QwtPlotMarker &marker, QwtPlotCurve *curve)
{
    if (!m_dist || !plot)
        return;
    if (curve)
        curve->attach(plot);
    marker.attach(plot);
    attachScale(plot);
}

void VRX_StatisticsHistogramItem::detachItems(QwtPlotMarker &marker, QwtPlotCurve *curve)
{
    detachScale();
    marker.detach();
    if (curve)
        curve->detach();
}

void VRX_StatisticsHistogramItem::attachScale(QwtPlot *plot)
{
    if (!m_axisWidget || !plot)
        return;
    m_scale.setInterval(plot->axisInterval(QwtPlot::xBottom));

    ScaleDraw *draw = stripScaleDraw();
    if (draw && !m_clearScale) {
        // Items of later peaks share the scale of the first one.
        const QwtScaleDiv &current = draw->scaleDiv();
        for (int type = QwtScaleDiv::MinorTick; type < QwtScaleDiv::NTickTypes; ++type)
            m_scale.setTicks(type, current.ticks(type) + m_scale.ticks(type));
    } else {
        // The strip starts over with this item's ticks and text. A scale draw
        // of ours is emptied rather than replaced: replacing it lays the
        // strip out at once, on every frame.
        if (draw) {
            draw->clearItems();
        } else {
            draw = new ScaleDraw;
            m_axisWidget->axisWidget()->setScaleDraw(draw);
        }
        m_axisWidget->show();
    }
    draw->setScaleDiv(m_scale);
    draw->addItem(this);
    m_axisWidget->scaleChanged();
}

void VRX_StatisticsHistogramItem::detachScale()
{
    if (ScaleDraw *draw = stripScaleDraw()) {
        if (draw->containsItem(this)) {
            draw->removeItem(this);
            m_axisWidget->scaleChanged();
        }
    }
}

} // namespace Corvid_Qt
