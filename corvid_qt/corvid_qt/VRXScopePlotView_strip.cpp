#include "VRXScopePlotView_p.h"

#include "MarkerStatistics_p.h"
#include "MeasurementUnit.h"
#include "VRXAbstractPlotDataModel.h"
#include "VRXSeriesData.h"
#include "WallClockScaleDraw_p.h"

#include <QtWidgets/QScrollBar>

#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_div.h>
#include <qwt_text.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace Corvid_Qt {

namespace {

const double kLargestDouble = std::numeric_limits<double>::max();

const Units::MeasurementUnit &hertz()
{
    static const Units::Hz unit;
    return unit;
}

QString field12(const QString &text)
{
    return text.rightJustified(12, QLatin1Char(' '));
}

} // namespace

QVector<VRXScopePlotView::MarkerData> VRXScopePlotViewPrivate::initialMarkers() const
{
    QVector<MarkerData> markers(NUM_CURSORS);
    for (int i = 0; i < markers.size(); ++i)
        markers[i] = MarkerData{m_markerChannels[i], m_plotMarkers[i]->xValue(), -1, kLargestDouble, 0.0};
    return markers;
}

void VRXScopePlotViewPrivate::snapMarkers(QVector<MarkerData> &markers, int fromRow)
{
    Q_Q(VRXScopePlotView);
    const int lastRow = q->model()->rowCount() - 1;
    for (MarkerData &marker : markers) {
        const double t = marker.markerTime;
        int row = -1;
        if (fromRow > 1) {
            for (int r = fromRow; r <= lastRow && row < 0; ++r)
                row = time(r) >= t ? r : -1;
        } else if (lastRow >= 1) {
            row = firstRow(PlotTimeIndex::AtOrAfter, t, lastRow);
        }
        marker.markerTime_i = row > 0 ? row : -1;
        marker.markerTime = row > 0 ? time(row) : t;
    }
}

std::pair<int, int> VRXScopePlotViewPrivate::shownRun(int lastRow, bool *sorted)
{
    // A device clock may reset: the window then follows the newest run of
    // samples (from the step back on), so that the chart never runs
    // backwards; the older samples stay in the buffer and its files until
    // they roll out. Samples without a finite time are drawn around.
    *sorted = lastRow >= 1 && timeIndex().sorted(lastRow, [this](int row) { return time(row); })
              && std::isfinite(time(1)) && std::isfinite(time(lastRow));
    return *sorted || lastRow < 1 ? std::make_pair(1, lastRow) : newestRun(lastRow);
}

std::pair<int, int> VRXScopePlotViewPrivate::newestRun(int lastRow) const
{
    int runLast = lastRow;
    while (runLast >= 1 && !std::isfinite(time(runLast)))
        --runLast;
    int runFirst = runLast;
    double next = runLast >= 1 ? time(runLast) : 0.0;
    for (int row = runLast - 1; row >= 1; --row) {
        const double t = time(row);
        if (!std::isfinite(t))
            continue;
        if (t > next)
            break;
        next = t;
        runFirst = row;
    }
    return {runFirst, runLast};
}

void VRXScopePlotViewPrivate::finishStripPass(const QVector<MarkerData> &markers, double xLow, double xHigh)
{
    const std::pair<int, int> rows(markers[0].markerTime_i, markers[1].markerTime_i);
    const std::pair<double, double> range(xLow, xHigh);
    setStripMarker(markers[0], 0, rows, range);
    setStripMarker(markers[1], 1, rows, range);
    setTimeScaleDraw(xLow, xHigh);
    setStripAxisTitles();
    plot()->updateAxes();
}

void VRXScopePlotViewPrivate::plotCurves(int firstRow, int lastRow, QVector<MarkerData> &markers)
{
    Q_Q(VRXScopePlotView);
    QAbstractItemModel *itemModel = q->model();
    QwtPlot *plot = this->plot();
    const bool clip =
        m_yScaleMode >= VRXScopePlotView::PlotScale50 && m_yScaleMode <= VRXScopePlotView::PlotScale0_01;
    m_markerDrawn.fill(false);
    const VRXSeriesData *timesRead = nullptr;

    for (int c = 1; c <= m_numCurves; ++c) {
        QwtPlotCurve *curve = m_curves[c - 1].get();
        if (!curve)
            continue;
        const QModelIndex header = itemModel->index(0, c);
        if (header.data(Qt::CheckStateRole).toInt() == 0) {
            curve->detach();
            continue;
        }
        QwtSeriesData<QPointF> *series = m_vrxModel->seriesData(c, firstRow, lastRow);
        if (!series) {
            curve->detach();
            continue;
        }
        // Every channel shares the time column: read it once per pass.
        if (auto *vrxSeries = dynamic_cast<VRXSeriesData *>(series)) {
            if (timesRead)
                vrxSeries->shareTimes(*timesRead);
            else
                timesRead = vrxSeries;
        }
        if (m_yScaleMode == VRXScopePlotView::PlotScaleNormalize) {
            if (auto *vrxSeries = dynamic_cast<VRXSeriesData *>(series)) {
                const QRectF bounds = vrxSeries->boundingRect();
                const double m = std::max(std::abs(bounds.top()), std::abs(bounds.top() + bounds.height()));
                if (m > 0.0)
                    vrxSeries->setScale(m);
            }
        }
        curve->setPaintAttribute(QwtPlotCurve::ClipPolygons, clip);
        curve->setData(series);
        curve->setPen(channelPen(header));
        curve->attach(plot);

        const int size = int(series->size());
        for (int m = 0; m < markers.size(); ++m) {
            MarkerData &record = markers[m];
            const int k = record.markerTime_i;
            if (k < firstRow || k - firstRow >= size)
                continue;
            const double y = series->sample(size_t(k - firstRow)).y();
            const double value = m_vrxModel->doubleData(k, c);
            int hint = m_markerChannelHints[m];
            if (hint < 0 && m_markerChannels[m] >= 1 && m_markerChannels[m] <= m_numCurves)
                hint = m_markerChannels[m];
            bool take = false;
            if (hint < 0) {
                const double markerY = m_plotMarkers[m]->yValue();
                take = std::abs(record.markerValuePlot - markerY) > std::abs(y - markerY);
            } else {
                take = hint == c;
            }
            if (take) {
                record.markerValuePlot = y;
                record.markerValueDisplay = value;
                record.markerChannel = c;
                m_markerDrawn[m] = true;
            }
            if (m == 0)
                m_markerChannelHints[1] = markers[0].markerChannel;
        }
    }
}

void VRXScopePlotViewPrivate::plotStripMode()
{
    Q_Q(VRXScopePlotView);
    QwtPlot *plot = this->plot();
    QVector<MarkerData> markers = initialMarkers();
    const int lastRow = q->model()->rowCount() - 1;
    bool sorted = false;
    const std::pair<int, int> run = shownRun(lastRow, &sorted);
    const int runFirst = run.first;
    const int runLast = run.second;
    const double first = runLast >= 1 ? time(runFirst) : 0.0;
    const double last = runLast >= 1 ? time(runLast) : 0.0;

    // Nothing to draw until a run holds two samples.
    if (runLast - runFirst < 1 || !std::isfinite(first) || !std::isfinite(last)) {
        detachCurves();
        detachMarkers();
        setScrollBarShown(false);
        plot->updateAxes();
        return;
    }

    QScrollBar *bar = q->horizontalScrollBar();
    int value = bar->value();
    const bool scrolledBack = value < bar->maximum();

    // Scroll values are time offsets from the first sample; a buffer spanning
    // more than 10000 s is scrolled in coarser units so they still fit an int.
    double factor = VRXScopePlotView::SCROLLBAR_FACTOR;
    while (std::abs(last - first) * factor > kScrollLimit && factor > 1e-12)
        factor /= 10.0;
    if (factor != m_scrollFactor) {
        if (scrolledBack)
            value = toScrollUnits(value * (factor / m_scrollFactor));
        m_scrollFactor = factor;
    }

    snapMarkers(markers, runFirst);

    const int window = m_plotXCount;
    const int runRows = runLast - runFirst + 1;
    const double hintWidth = m_vrxModel->PlotWidthHint();
    const double step = (last - first) / runRows;
    double xLow, xHigh;
    if (scrolledBack) {
        xLow = first + value / factor;
        xHigh = xLow + (hintWidth != 0.0 ? hintWidth : step * window);
    } else if (runRows > window) {
        xHigh = last;
        xLow = hintWidth != 0.0 ? last - hintWidth : time(runLast - window + 1);
        if (!std::isfinite(xLow))
            xLow = last - (window - 1) * step;
    } else {
        xHigh = last;
        xLow = hintWidth != 0.0 ? last - hintWidth : first - (window - runRows) * step;
    }

    // The drawn rows reach one sample past each edge, so the lines run
    // through both edges of the plot.
    int firstDrawn = runFirst;
    int lastDrawn = runLast;
    if (sorted) {
        const int above = firstRow(PlotTimeIndex::After, xHigh, lastRow - 1);
        const int atOrAfter = firstRow(PlotTimeIndex::AtOrAfter, xLow, lastRow - 1);
        if (above > 0)
            lastDrawn = above;
        const int below = std::min(atOrAfter > 0 ? atOrAfter - 1 : lastRow - 1, above > 0 ? above : lastRow - 1);
        firstDrawn = std::max(below, 1);
    } else {
        for (int row = runFirst; row < runLast; ++row) {
            const double t = time(row);
            if (t < xLow)
                firstDrawn = row;
            if (t > xHigh) {
                lastDrawn = row;
                break;
            }
        }
    }
    plotCurves(firstDrawn, lastDrawn, markers);

    plot->setAxisScale(QwtPlot::xBottom, xLow, xHigh);
    setScrollBarShown(xLow > first || scrolledBack);
    finishStripPass(markers, xLow, xHigh);

    const double width = xHigh - xLow;
    bar->setRange(0, toScrollUnits((last - first - width) * factor));
    bar->setPageStep(toScrollUnits(std::trunc(width * factor)));
    bar->setSingleStep(toScrollUnits(width * factor / window));
    if (!scrolledBack)
        bar->setValue(bar->maximum());
    else if (value != bar->value())
        bar->setValue(value);
}

void VRXScopePlotViewPrivate::plotScopeMode()
{
    Q_Q(VRXScopePlotView);
    QwtPlot *plot = this->plot();
    QVector<MarkerData> markers = initialMarkers();
    const int rowCount = q->model()->rowCount();
    const int sweep = std::max(m_plotXCount, 1);
    // Entering scope mode, or a reset, skips the sweeps of the run so far:
    // replaying them one per repaint would show seconds of stale pictures.
    if (m_scopeFromNewest && qint64(rowCount) - 1 >= sweep) {
        m_nextScopeRow = rowCount - sweep;
        m_scopeFromNewest = false;
    }
    const int start = m_nextScopeRow;

    if (qint64(rowCount) - start >= sweep && start >= 1) {
        const int end = start + sweep - 1;
        const double t0 = time(start);
        const double t1 = time(end);
        const double lower = plot->axisScaleDiv(QwtPlot::xBottom).lowerBound();
        for (MarkerData &marker : markers)
            marker.markerTime = marker.markerTime - lower + t0;
        // After a device clock reset an older run holds the same times:
        // markers then look for their sample from the sweep's first row on.
        const bool sorted = timeIndex().sorted(rowCount - 1, [this](int row) { return time(row); });
        snapMarkers(markers, sorted ? 1 : start);
        plotCurves(start, end, markers);
        m_nextScopeRow += sweep;
        if (std::isfinite(t0) && std::isfinite(t1))
            plot->setAxisScale(QwtPlot::xBottom, t0, t1);
        finishStripPass(markers, t0, t1);
        if (qint64(rowCount) - m_nextScopeRow >= sweep)
            q->RequestReplot();
    } else if (rowCount - 1 > 1) {
        // The last sweep stays on screen until the next one is complete.
    } else {
        detachCurves();
        for (const QSharedPointer<QwtPlotMarker> &marker : qAsConst(m_plotMarkers))
            marker->setLabel(QwtText());
        plot->updateAxes();
    }
}

void VRXScopePlotViewPrivate::setStripMarker(const MarkerData &marker, int which, const std::pair<int, int> &rows,
                                             const std::pair<double, double> &xRange)
{
    Q_Q(VRXScopePlotView);
    QwtPlotMarker *plotMarker = m_plotMarkers[which].data();
    // A marker whose sample is not drawn (scrolled out, its channel hidden,
    // never placed) keeps its channel, time and label, and waits hidden; it
    // never falls back to the time column, nor moves the selection there.
    const bool shown = m_markerPlaced[which] && m_markerDrawn[which];
    plotMarker->setVisible(shown);
    if (!shown)
        return;
    m_markerChannels[which] = marker.markerChannel;
    plotMarker->setValue(marker.markerTime, marker.markerValuePlot);

    const Units::MeasurementUnit &xUnits = this->xUnits();
    const QModelIndex header = q->model()->index(0, marker.markerChannel);
    QString text = markerLabelText(xUnits, marker.markerTime, header, marker.markerValueDisplay);
    plotMarker->setLinePen(channelPen(header));

    const double xLow = xRange.first;
    const double xHigh = xRange.second;
    if (xLow + 0.75 * (xHigh - xLow) > marker.markerTime)
        plotMarker->setLabelAlignment(Qt::AlignRight | Qt::AlignTop);
    else
        plotMarker->setLabelAlignment(Qt::AlignLeft | Qt::AlignTop);

    QwtPlotMarker *marker0 = m_plotMarkers[0].data();
    QwtPlotMarker *marker1 = m_plotMarkers[1].data();
    if (which == 0) {
        if (m_markersPlaced)
            selectPoint(q->model()->index(marker.markerTime_i, marker.markerChannel));
    } else if (marker0->plot() && marker0->isVisible() && marker1->plot() && rows.first >= 0 && rows.second >= 0) {
        const double dt = std::abs(marker0->xValue() - marker1->xValue());
        if (xUnits.type() == Units::Units_s) {
            const MarkerStatistics s = markerStatistics(
                std::min(rows.first, rows.second), std::max(rows.first, rows.second),
                [this, &marker](int row) { return m_vrxModel->doubleData(row, marker.markerChannel); });
            const QString period = std::isfinite(dt) ? xUnits.formatSuffix(dt) : statistic(dt);
            // Both markers on one sample: no frequency, rather than "inf".
            const double f = 1.0 / dt;
            const QString frequency = std::isfinite(f) ? hertz().formatSuffix(f) : statistic(f);
            const QString pattern = VRXScopePlotView::tr(
                "%1\n   Period: %2\nFrequency: %3\n      Sum: %4\n     Mean: %5\n      RMS: %6\n Std. Dev: %7");
            text = pattern.arg(text, field12(period), field12(frequency), field12(statistic(s.sum)),
                               field12(statistic(s.mean())), field12(statistic(s.rootMeanSquare())),
                               field12(statistic(s.standardDeviation())));
        }
        if ((xHigh - xLow) * 0.25 > dt) {
            QwtPlotMarker *left = marker0->xValue() <= marker1->xValue() ? marker0 : marker1;
            left->setLabelAlignment(Qt::AlignLeft | Qt::AlignTop);
        }
    }

    plotMarker->setLabel(markerLabel(text));
}

void VRXScopePlotViewPrivate::setTimeScaleDraw(double xLow, double xHigh)
{
    // Control systems stamp readings with seconds since the epoch, which a
    // plain axis labels "1.70004e+09" at every tick: such a range is labelled
    // with the wall-clock time instead, relative times as numbers.
    QwtPlot *plot = this->plot();
    auto *draw = dynamic_cast<WallClockScaleDraw *>(plot->axisScaleDraw(QwtPlot::xBottom));
    const bool wallClock = xUnits().type() == Units::Units_s && WallClockScaleDraw::isEpochTime(xLow)
                           && WallClockScaleDraw::isEpochTime(xHigh);
    if (wallClock) {
        if (!draw) {
            draw = new WallClockScaleDraw;
            plot->setAxisScaleDraw(QwtPlot::xBottom, draw);
        }
        draw->setSpan(xLow, xHigh);
    } else if (draw) {
        plot->setAxisScaleDraw(QwtPlot::xBottom, new PlotScaleDraw);
    }
}

void VRXScopePlotViewPrivate::setStripAxisTitles()
{
    QwtPlot *plot = this->plot();
    QString left;
    if (m_yScaleMode == VRXScopePlotView::PlotScaleNormalize)
        left = VRXScopePlotView::tr("Relative Value");
    else if (const Units::MeasurementUnit *units = m_vrxModel->units())
        left = units->description();
    else
        left = VRXScopePlotView::tr("Number");
    QwtText leftTitle(left);
    leftTitle.setFont(boldFont(10));
    plot->setAxisTitle(QwtPlot::yLeft, leftTitle);

    const bool wallClock = dynamic_cast<const WallClockScaleDraw *>(plot->axisScaleDraw(QwtPlot::xBottom));
    QwtText bottomTitle(wallClock ? VRXScopePlotView::tr("Time (local)") : xUnits().description());
    bottomTitle.setFont(boldFont(8));
    plot->setAxisTitle(QwtPlot::xBottom, bottomTitle);
}

} // namespace Corvid_Qt
