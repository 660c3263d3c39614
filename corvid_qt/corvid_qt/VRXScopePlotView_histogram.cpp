#include "VRXScopePlotView_p.h"

#include "ChannelNameDraw.h"
#include "ChannelNumberDraw.h"
#include "MarkerStatistics_p.h"
#include "MeasurementUnit.h"
#include "VRXAbstractPlotDataModel.h"
#include "VRX_CoGHistogramItem.h"
#include "VRX_GaussabolaHistogramItem.h"
#include "VRX_HistogramItem.h"
#include "VRX_HistogramItemAxisWidget.h"
#include "VRX_PrecalculatedFitHistogramItem.h"
#include "VRX_RegressionHistogramItem.h"

#include <qwt_plot.h>
#include <qwt_plot_histogram.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_div.h>
#include <qwt_scale_widget.h>
#include <qwt_text.h>

#include <algorithm>
#include <cmath>

namespace Corvid_Qt {

namespace {

// Nearest integer with halves upward, for option values; `fallback` for
// values that are not numbers and a bound that keeps the result an int.
int roundedOption(double value, int fallback)
{
    if (!std::isfinite(value))
        return fallback;
    return int(std::max(-1.0e9, std::min(1.0e9, std::floor(value + 0.5))));
}

int truncatedOption(double value, int fallback)
{
    if (!std::isfinite(value))
        return fallback;
    return int(std::max(-1.0e9, std::min(1.0e9, std::trunc(value))));
}

VRX_HistogramItem *createHistogramItem(VRXScopePlotView::HistogramItemTypes type, VRX_HistogramItemAxisWidget *strip,
                                       const QVector<double> &options, bool fullStats)
{
    const auto option = [&options](int i, double fallback) { return i < options.size() ? options[i] : fallback; };
    switch (type) {
    case VRXScopePlotView::CoGHistogramItemType: {
        // Elements missing from a short vector take the estimator's own
        // defaults: Filtered mode, threshold 0, window half-width 1.
        auto *cog = new VRX_CoGHistogramItem(strip, fullStats);
        if (roundedOption(option(0, 0.0), 0) != 0)
            cog->setMode(VRX_CoGHistogramItem::Windowed, option(2, 1.0));
        else
            cog->setMode(VRX_CoGHistogramItem::Filtered, option(1, 0.0));
        return cog;
    }
    case VRXScopePlotView::GaussabolaHistogramItemType: {
        auto *gb = new VRX_GaussabolaHistogramItem(strip, fullStats);
        typedef VRX_StatisticsHistogramItem::Gaussian::Gaussabola::Options Options;
        gb->setOptions(options.size() >= 3 ? Options(float(options[0]), float(options[1]), float(options[2]))
                                           : Options(1e-15f, 1e-14f, 0.98f));
        gb->setChiWindow(options.size() >= 4 ? roundedOption(options[3], 5) : 5);
        return gb;
    }
    case VRXScopePlotView::RegressionHistogramItemType: {
        auto *rg = new VRX_RegressionHistogramItem(strip, fullStats);
        typedef VRX_StatisticsHistogramItem::Gaussian::Regression::Options Options;
        Options opt(0.0f, 1024, 1e-15f, 1e-14f, 2);
        if (options.size() >= 4) {
            opt.m_signal_threshold_percent = float(options[0]);
            opt.m_max_signal_channels = truncatedOption(options[1], 1024);
            opt.m_peak_threshold = float(options[2]);
            opt.m_sum_threshold = float(options[3]);
        }
        if (options.size() >= 5)
            opt.m_weighting = roundedOption(options[4], 2);
        rg->setOptions(opt);
        rg->setChiWindow(options.size() >= 6 ? roundedOption(options[5], 5) : 5);
        return rg;
    }
    case VRXScopePlotView::PrecalculatedFitHistogramItemType:
        return new VRX_PrecalculatedFitHistogramItem(strip, fullStats);
    default:
        return nullptr;
    }
}

} // namespace

void VRXScopePlotView::enableHistogramItem(HistogramItemTypes type, int count, QVector<double> const &options,
                                           bool fullStats)
{
    Q_D(VRXScopePlotView);
    if (type < 0 || type >= NHistogramItemTypes)
        return;
    d->clearHistogramItems(type);
    count = std::max(0, count);
    d->m_peaks[type] = count;
    VRX_HistogramItemAxisWidget *strip = d->m_axisWidgets[type];
    for (int i = 0; i < count; ++i)
        d->m_histogramItems[type].append(createHistogramItem(type, strip, options, fullStats));

    if (d->m_plotMode == HistogramPlotMode) {
        if (count > 0)
            strip->show();
        RequestReplot();
    }
}

const QVector<VRX_HistogramItem *> &VRXScopePlotView::histogramItems(HistogramItemTypes type) const
{
    Q_D(const VRXScopePlotView);
    static const QVector<VRX_HistogramItem *> none;
    return type >= 0 && type < NHistogramItemTypes ? d->m_histogramItems[type] : none;
}

VRX_HistogramItemAxisWidget *VRXScopePlotView::histogramAxisWidget(HistogramItemTypes type) const
{
    Q_D(const VRXScopePlotView);
    return type >= 0 && type < NHistogramItemTypes ? d->m_axisWidgets[type] : nullptr;
}

void VRXScopePlotView::toggleMLFC(bool on)
{
    Q_D(VRXScopePlotView);
    d->updateCalibratedItems([on](VRX_HistogramItem *item) { item->toggle_MLFC(on); });
}

void VRXScopePlotView::upload_MLFC_calibration_table(std::vector<double> *table)
{
    Q_D(VRXScopePlotView);
    d->updateCalibratedItems([table](VRX_HistogramItem *item) { item->upload_MLFC_calibration_table(table); });
}

void VRXScopePlotViewPrivate::updateCalibratedItems(const std::function<void(VRX_HistogramItem *)> &update)
{
    Q_Q(VRXScopePlotView);
    for (int type : {VRXScopePlotView::GaussabolaHistogramItemType, VRXScopePlotView::RegressionHistogramItemType,
                     VRXScopePlotView::PrecalculatedFitHistogramItemType})
        for (VRX_HistogramItem *item : qAsConst(m_histogramItems[type]))
            update(item);
    if (m_plotMode == VRXScopePlotView::HistogramPlotMode)
        q->RequestReplot();
}

void VRXScopePlotViewPrivate::clearHistogramItems(int type)
{
    for (VRX_HistogramItem *item : qAsConst(m_histogramItems[type])) {
        item->detach();
        delete item;
    }
    m_histogramItems[type].clear();
    m_axisWidgets[type]->hide();
    m_peaks[type] = 0;
}

void VRXScopePlotViewPrivate::hideHistogramItems()
{
    for (int type = 0; type < VRXScopePlotView::NHistogramItemTypes; ++type) {
        m_axisWidgets[type]->hide();
        for (VRX_HistogramItem *item : qAsConst(m_histogramItems[type]))
            item->detach();
    }
}

void VRXScopePlotViewPrivate::setHistogramAxes()
{
    Q_Q(VRXScopePlotView);
    QwtPlot *plot = this->plot();
    const int channels = q->model()->columnCount() - 1;
    QwtText title(VRXScopePlotView::tr("Channel"));
    title.setFont(boldFont(8));
    plot->setAxisTitle(QwtPlot::xBottom, title);
    if (channels < 9)
        plot->setAxisScaleDraw(QwtPlot::xBottom, new ChannelNameDraw);
    else
        plot->setAxisScaleDraw(QwtPlot::xBottom, new ChannelNumberDraw(channels));
    plot->axisWidget(QwtPlot::xBottom)->setMinBorderDist(90, 5);
    for (int axis : {int(QwtPlot::xBottom), int(QwtPlot::xTop)}) {
        plot->setAxisMaxMajor(axis, channels);
        plot->setAxisMaxMinor(axis, 0);
        plot->setAxisScale(axis, 0.5, channels + 0.5);
    }
}

void VRXScopePlotViewPrivate::plotHistogramMode()
{
    Q_Q(VRXScopePlotView);
    QwtPlot *plot = this->plot();
    QAbstractItemModel *m = q->model();
    // Bars, markers and fits cover every channel; only the strip curves stop at MAX_CURVES.
    const int channels = m && m_vrxModel ? m->columnCount() - 1 : 0;
    const int row = m && m_vrxModel ? m->rowCount() - 1 : 0;
    if (row < 1 || channels < 1) {
        m_histogram->detach();
        detachMarkers();
        hideHistogramItems();
        plot->updateAxes();
        return;
    }

    // The channel count can change under the view (a merged model gains
    // sources, a model is swapped); the items place their panels on the
    // axis's interval, so it is brought up to date first.
    if (plot->axisScaleDiv(QwtPlot::xBottom).upperBound() != channels + 0.5) {
        setHistogramAxes();
        plot->updateAxes();
    }

    const double t = m->index(row, 0).data(DataRole).toDouble();

    // v[c] for channel c; hidden channels are 0, and so are values that are
    // not numbers where a bar is drawn.
    QVector<double> v(channels + 1, 0.0);
    QVector<QwtIntervalSample> bars(channels);
    for (int c = 1; c <= channels; ++c) {
        const QVariant shown = m->index(0, c).data(Qt::CheckStateRole);
        if (!shown.isValid() || shown.toInt() != Qt::Unchecked)
            v[c] = m_vrxModel->doubleData(row, c);
        bars[c - 1] = QwtIntervalSample(std::isfinite(v[c]) ? v[c] : 0.0, c - 0.5, c + 0.5);
    }
    m_histogram->setSamples(bars);
    m_histogram->attach(plot);

    const Units::MeasurementUnit &xUnits = this->xUnits();
    int markerChannel[2] = {1, 1};
    for (int k = 0; k < 2 && k < m_plotMarkers.size(); ++k) {
        QwtPlotMarker *marker = m_plotMarkers[k].data();
        int ch = std::isfinite(marker->xValue()) ? int(std::floor(marker->xValue() + 0.5)) : 1;
        if (k < m_markerChannelHints.size() && m_markerChannelHints[k] >= 0)
            ch = m_markerChannelHints[k];
        if (ch < 1 || ch > channels)
            ch = 1;
        markerChannel[k] = ch;
        marker->setVisible(m_markerPlaced[k]);
        // The selection follows marker 0; selecting moves the marker to the
        // foot of its channel, so the value is set after it.
        if (k == 0 && m_markersPlaced)
            selectPoint(m->index(row, ch));
        marker->setValue(ch, std::isfinite(v[ch]) ? v[ch] : 0.0);

        const QModelIndex header = m->index(0, ch);
        QString text = markerLabelText(xUnits, t, header, v[ch]);
        marker->setLinePen(channelPen(header));
        marker->setLabelAlignment(ch >= 0.75 * channels ? Qt::AlignLeft | Qt::AlignTop
                                                        : Qt::AlignRight | Qt::AlignTop);

        if (k == 1) {
            QwtPlotMarker *marker0 = m_plotMarkers[0].data();
            if (marker0->plot() && marker0->isVisible() && marker->plot() && marker->isVisible()
                && markerChannel[0] != ch) {
                const int lo = std::min(markerChannel[0], ch), hi = std::max(markerChannel[0], ch);
                const MarkerStatistics s = markerStatistics(lo, hi, [&v](int c) { return v[c]; });
                const QString pattern =
                    VRXScopePlotView::tr("%1\n      Sum: %2\n     Mean: %3\n      RMS: %4\n Std. Dev: %5");
                // In one pass: a channel name holding "%1" must stay text.
                const auto field = [](double v) { return statistic(v).rightJustified(12); };
                text = pattern.arg(text, field(s.sum), field(s.mean()), field(s.spread()), field(s.errorOfMean()));
                if (hi - lo < 0.25 * channels) {
                    QwtPlotMarker *left = markerChannel[0] <= ch ? marker0 : marker;
                    left->setLabelAlignment(Qt::AlignLeft | Qt::AlignTop);
                }
            }
        }

        marker->setLabel(markerLabel(text));
    }

    if (m_plotMode != VRXScopePlotView::SpectrogramPlotMode) {
        QVector<float> values, stats;
        for (int type = 0; type < VRXScopePlotView::NHistogramItemTypes; ++type) {
            const int peaks = std::min(m_peaks[type], int(m_histogramItems[type].size()));
            if (peaks <= 0)
                continue;
            const int w = channels / peaks;
            for (int p = 0; p < peaks; ++p) {
                VRX_HistogramItem *item = m_histogramItems[type][p];
                values.resize(0);
                for (int c = p * w + 1; c <= std::min((p + 1) * w, channels); ++c)
                    values.append(float(v[c]));
                const int q = item->numStats();
                stats.resize(0);
                for (int j = 0; j < q; ++j)
                    stats.append(float(m_vrxModel->doubleData(row, Fit0Column0 + p * q + j)));
                item->prepare(p * w, values, channels, stats);
                item->attach(plot);
            }
        }
    }

    const Units::MeasurementUnit *units = m_vrxModel->units();
    QwtText leftTitle(units ? units->description() : VRXScopePlotView::tr("Number"));
    leftTitle.setFont(boldFont(10));
    plot->setAxisTitle(QwtPlot::yLeft, leftTitle);
    plot->updateAxes();
}

} // namespace Corvid_Qt
