#include "VRX_StatisticsHistogramItem.h"

#include "PreformattedTextEngine.h"
#include "VRX_HistogramItemAxisWidget.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QHash>
#include <QtGui/QPainter>
#include <QtGui/QPen>
#include <algorithm>
#include <cmath>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_widget.h>
#include <qwt_symbol.h>

namespace Corvid_Qt {

VRX_StatisticsHistogramItem::ScaleDraw::ScaleDraw()
{
    // The panels are drawn here, not as Qwt's tick labels: Qwt would centre
    // a panel on its tick whatever the room, and widen the strip's scale by
    // half a panel at either end, pushing it out of line with the bars.
    enableComponent(QwtAbstractScaleDraw::Labels, false);
}

void VRX_StatisticsHistogramItem::ScaleDraw::addItem(const VRX_StatisticsHistogramItem *item)
{
    m_fits.insert(item);
    m_shown.clear();
    invalidateCache();
}

void VRX_StatisticsHistogramItem::ScaleDraw::clearItems()
{
    m_fits.clear();
    m_shown.clear();
    invalidateCache();
}

void VRX_StatisticsHistogramItem::ScaleDraw::removeItem(const VRX_StatisticsHistogramItem *item)
{
    if (m_fits.remove(item)) {
        m_shown.clear();
        invalidateCache();
    }
}

const VRX_StatisticsHistogramItem *VRX_StatisticsHistogramItem::ScaleDraw::itemAt(double value) const
{
    for (const VRX_StatisticsHistogramItem *item : m_fits) {
        const double p = item->m_position;
        if (std::fabs(p - value) <= 1e-12 * qMin(std::fabs(p), std::fabs(value)))
            return item;
    }
    return nullptr;
}

QwtText VRX_StatisticsHistogramItem::ScaleDraw::label(double value) const
{
    const VRX_StatisticsHistogramItem *item = itemAt(value);
    if (!item)
        return QwtText(QString::number(value, 'g', 6));
    QwtText text = m_shortPanels ? item->shortLabel() : item->label();
    if (m_arranged)
        text.setFont(m_panelFont);
    return text;
}

double VRX_StatisticsHistogramItem::ScaleDraw::panelsHeight(const QFont &font) const
{
    // Between a frame's new texts and their arrangement the strip keeps the
    // height of the last arrangement: panels of one choice are equally tall.
    double tallest = m_arranged && !m_fits.isEmpty() ? m_tallest : 0;
    if (!m_arranged) {
        for (const VRX_StatisticsHistogramItem *item : m_fits)
            tallest = qMax(tallest, item->label().textSize(font).height());
    }
    return tallest > 0 ? spacing() + std::ceil(tallest) + (m_rows - 1) * m_rowShift : 0.0;
}

double VRX_StatisticsHistogramItem::ScaleDraw::extent(const QFont &font) const
{
    return QwtScaleDraw::extent(font) + panelsHeight(font);
}

double VRX_StatisticsHistogramItem::ScaleDraw::panelCentre(double x, double width) const
{
    // Inside the scale's length, as near to the tick as that allows.
    const double left = pos().x(), right = pos().x() + length();
    if (width >= right - left)
        return (left + right) / 2;
    return qBound(left + width / 2, x, right - width / 2);
}

bool VRX_StatisticsHistogramItem::ScaleDraw::arrangePanels(const QFont &font, int maxExtent)
{
    struct Panel
    {
        const VRX_StatisticsHistogramItem *item;
        double x;
    };
    QVector<Panel> panels;
    const QwtInterval interval = scaleDiv().interval().normalized();
    for (const VRX_StatisticsHistogramItem *item : qAsConst(m_fits)) {
        const double p = item->m_position;
        if (std::isfinite(p) && interval.contains(p))
            panels.append({item, scaleMap().transform(p)});
    }
    std::sort(panels.begin(), panels.end(), [](const Panel &a, const Panel &b) { return a.x < b.x; });

    QVector<QFont> fonts{font};
    const qreal largest = font.pointSizeF();
    for (qreal size = std::ceil(largest) - 1.0; size > minimumPanelPointSize; size -= 1.0) {
        fonts.append(font);
        fonts.last().setPointSizeF(size);
    }
    if (largest > minimumPanelPointSize) {
        fonts.append(font);
        fonts.last().setPointSizeF(minimumPanelPointSize);
    }

    // Texts are made once, sizes measured once per text and font.
    QVector<QwtText> texts[2];
    QHash<int, QVector<QSizeF>> measured;
    const auto textsOf = [&](bool brief) -> QVector<QwtText> & {
        QVector<QwtText> &t = texts[int(brief)];
        if (t.isEmpty()) {
            for (const Panel &panel : qAsConst(panels))
                t.append(brief ? panel.item->shortLabel() : panel.item->label());
        }
        return t;
    };
    const auto sizes = [&](bool brief, int f) -> const QVector<QSizeF> & {
        const int key = f * 2 + int(brief);
        auto it = measured.find(key);
        if (it == measured.end()) {
            QVector<QSizeF> s;
            s.reserve(panels.size());
            for (const QwtText &text : qAsConst(textsOf(brief)))
                s.append(text.textSize(fonts[f]));
            it = measured.insert(key, s);
        }
        return *it;
    };
    // The part of the strip that is not panel: backbone, ticks, spacing.
    const double ticks = QwtScaleDraw::extent(font) + spacing();
    const auto fits = [&](bool brief, int rows, int f, bool height) {
        const QVector<QSizeF> &s = sizes(brief, f);
        const int step = rows;
        for (int i = 0; i + step < panels.size(); ++i) {
            const int j = i + step;
            if (panelCentre(panels[i].x, s[i].width()) + s[i].width() / 2 + panelGap
                > panelCentre(panels[j].x, s[j].width()) - s[j].width() / 2)
                return false;
        }
        if (height) {
            double tallest = 0;
            for (const QSizeF &size : s)
                tallest = qMax(tallest, size.height());
            if (ticks + rows * tallest + (rows - 1) * (panelGap / 2) > maxExtent)
                return false;
        }
        return true;
    };

    bool brief = false;
    int rows = 1;
    int chosen = 0;
    bool found = panels.isEmpty();
    bool heightKept = true;
    // The texts change on every frame, the choice seldom: the last one is
    // kept while it still fits, so that panels do not jump between sizes as
    // the numbers change; the more readable choices are tried again every
    // 16th frame and whenever the strip's room changes.
    const int span = qRound(length());
    const bool sameRoom = m_arranged && span == m_arrangedSpan && maxExtent == m_arrangedBudget
                          && panels.size() == m_arrangedCount && font == m_arrangedFont;
    if (!found && sameRoom && ++m_framesSinceSearch < 16) {
        const int f = fonts.indexOf(m_panelFont);
        if (f >= 0 && fits(m_shortPanels, m_rows, f, m_heightKept)) {
            brief = m_shortPanels;
            rows = m_rows;
            chosen = f;
            heightKept = m_heightKept;
            found = true;
        }
    }
    if (!found) {
        m_framesSinceSearch = 0;
        // Whole panels, smaller, then on two rows, then short ones. Where
        // the strip cannot stay low enough, the smallest short panels on as
        // many rows as they need: a panel over another cannot be read at
        // all, a tall strip only leaves less plot.
        found = panels.isEmpty();
        for (int pass = 0; pass < 4 && !found; ++pass) {
            brief = pass >= 2;
            rows = pass % 2 + 1;
            for (chosen = 0; chosen < fonts.size() && !found; ++chosen)
                found = fits(brief, rows, chosen, true);
            if (found)
                --chosen;
        }
        if (!found) {
            brief = true;
            heightKept = false;
            chosen = fonts.size() - 1;
            for (rows = 1; rows < panels.size() && !fits(brief, rows, chosen, false); ++rows) {
            }
        }
    }
    m_arrangedSpan = span;
    m_arrangedBudget = maxExtent;
    m_arrangedCount = panels.size();
    m_arrangedFont = font;
    m_heightKept = heightKept;

    QHash<const VRX_StatisticsHistogramItem *, int> rowOf;
    double shift = 0;
    if (rows > 1) {
        const QVector<QSizeF> &s = sizes(brief, chosen);
        for (int i = 0; i < panels.size(); ++i) {
            if (i % rows)
                rowOf.insert(panels[i].item, i % rows);
            shift = qMax(shift, s[i].height());
        }
        shift = std::ceil(shift) + panelGap / 2;
    }
    m_shown.clear();
    m_tallest = 0;
    for (int i = 0; i < panels.size(); ++i) {
        QwtText text = textsOf(brief)[i];
        text.setFont(fonts[chosen]);
        const QSizeF size = sizes(brief, chosen)[i];
        m_shown.insert(panels[i].item, {text, size});
        m_tallest = qMax(m_tallest, size.height());
    }
    const bool changed = !m_arranged || m_panelFont != fonts[chosen] || m_rows != rows || m_shortPanels != brief
                         || m_rowOf != rowOf || m_rowShift != shift;
    m_arranged = true;
    m_panelFont = fonts[chosen];
    m_rows = rows;
    m_shortPanels = brief;
    m_rowOf = rowOf;
    m_rowShift = shift;
    if (changed)
        invalidateCache();
    return changed;
}

QRectF VRX_StatisticsHistogramItem::ScaleDraw::panelRect(const VRX_StatisticsHistogramItem *item) const
{
    if (!m_fits.contains(item))
        return QRectF();
    const double value = item->m_position;
    if (!std::isfinite(value) || !scaleDiv().interval().normalized().contains(value))
        return QRectF();
    const auto shown = m_shown.constFind(item);
    const QSizeF size = shown != m_shown.cend()
                            ? shown->size
                            : (m_shortPanels ? item->shortLabel() : item->label()).textSize(m_panelFont);
    const QPointF at = labelPosition(value);
    const double x = panelCentre(at.x(), size.width());
    QRectF rect(x - size.width() / 2, at.y() - size.height(), size.width(), size.height());
    rect.translate(0, -m_rowShift * m_rowOf.value(item));
    return rect;
}

QString VRX_StatisticsHistogramItem::ScaleDraw::panelToolTip(const QPointF &pos) const
{
    if (!m_shortPanels)
        return QString();
    for (const VRX_StatisticsHistogramItem *item : m_fits) {
        if (item->fullStats() && panelRect(item).contains(pos))
            return item->label().text();
    }
    return QString();
}

void VRX_StatisticsHistogramItem::ScaleDraw::draw(QPainter *painter, const QPalette &palette) const
{
    QwtScaleDraw::draw(painter, palette);
    painter->save();
    painter->setPen(palette.color(QPalette::Text));
    for (const VRX_StatisticsHistogramItem *item : m_fits) {
        const QRectF rect = panelRect(item);
        if (rect.isEmpty())
            continue;
        const auto shown = m_shown.constFind(item);
        if (shown != m_shown.cend()) {
            shown->text.draw(painter, rect);
        } else {
            QwtText text = m_shortPanels ? item->shortLabel() : item->label();
            text.setFont(m_arranged ? m_panelFont : painter->font());
            text.draw(painter, rect);
        }
    }
    painter->restore();
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

QwtText VRX_StatisticsHistogramItem::shortLabel() const
{
    if (!m_fullStats)
        return label();
    // Every item type writes both panels from its own templates, chosen by
    // m_fullStats; the short one is what it shows without full statistics.
    auto *self = const_cast<VRX_StatisticsHistogramItem *>(this);
    self->m_fullStats = false;
    const QwtText text = label();
    self->m_fullStats = true;
    return text;
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

// The estimator reports SNR 1 and noise 0 when its signal region takes the
// whole profile (well separated peaks do); a deviation needs two channels,
// so the panel says N/A rather than show a measurement that was not made.
bool VRX_StatisticsHistogramItem::noiseMeasured(const Gaussian::SNR *snr)
{
    if (!snr || !std::isfinite(snr->m_d.mean()) || !std::isfinite(snr->m_d.standard_deviation()))
        return false;
    const long long n = (long long)snr->m_d.size();
    const std::pair<int, int> signal = snr->signal_range();
    const long long first = std::max<long long>(0, signal.first);
    const long long last = std::min<long long>(n - 1, signal.second);
    const long long signalChannels = std::max<long long>(0, last - first + 1);
    return n - signalChannels >= 2;
}

QString VRX_StatisticsHistogramItem::snrText(const Gaussian::SNR *snr)
{
    if (snr && !noiseMeasured(snr))
        return QCoreApplication::translate("VRX_StatisticsHistogramItem", "N/A");
    return finiteOrNA(snr ? double(snr->snr()) : 1.0, 'g', 6);
}

QString VRX_StatisticsHistogramItem::noiseText(const Gaussian::SNR *snr)
{
    if (snr && !noiseMeasured(snr))
        return QCoreApplication::translate("VRX_StatisticsHistogramItem", "N/A");
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
