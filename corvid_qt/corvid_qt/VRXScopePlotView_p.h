#ifndef CORVID_QT_VRXSCOPEPLOTVIEW_P_H
#define CORVID_QT_VRXSCOPEPLOTVIEW_P_H

// Private part of VRXScopePlotView; not part of the library's interface.
// Its members are defined over the view's facet files: the core, the strip
// and scope passes, and the histogram pass with its items.

#include "PlotTimeIndex_p.h"
#include "VRXScopePlotView.h"

#include <QtCore/QMetaObject>
#include <QtCore/QObject>
#include <QtCore/QPointer>
#include <QtCore/QSharedPointer>
#include <QtCore/QVector>
#include <QtGui/QFont>
#include <QtGui/QPen>

#include <array>
#include <functional>
#include <memory>
#include <utility>

class QwtPlotCurve;
class QwtPlotGrid;
class QwtPlotHistogram;
class QwtText;
class Ui_VRXScopePlotView;

namespace Corvid_Qt {

class VRXAbstractPlotDataModel;

namespace Units {
class MeasurementUnit;
}

// The canvas's event filter: each canvas paint runs one plot pass.
class VRXScopePlotViewPrivate : public QObject
{
    Q_DECLARE_PUBLIC(VRXScopePlotView)

public:
    using MarkerData = VRXScopePlotView::MarkerData;
    static const int NUM_CURSORS = 2;

    explicit VRXScopePlotViewPrivate(VRXScopePlotView *q);
    ~VRXScopePlotViewPrivate() override;

    void init();
    bool eventFilter(QObject *watched, QEvent *event) override;

    QwtPlot *plot() const;
    void selectPoint(const QModelIndex &index);
    void placeMarker(int which, QPointF pos);
    void detachMarkers();
    void disconnectModel();

    void createCurves();
    void clearCurves();
    /// One curve per channel column of the model, at most MAX_CURVES; false when the count stayed.
    bool fitCurvesToColumns();
    void detachCurves();
    void clearHistogramItems(int type);
    void hideHistogramItems();
    /// Applies `update` to the items with an energy line, then replots a shown histogram.
    void updateCalibratedItems(const std::function<void(VRX_HistogramItem *)> &update);
    void setScrollBarShown(bool shown);
    void requestCanvasPaint();
    void updateBufferSizeLabel();

    double time(int row) const;
    /// The time index, first told how many rows the model has now.
    PlotTimeIndex &timeIndex();
    int firstRow(PlotTimeIndex::Bound bound, double t, int lastRow);

    QVector<MarkerData> initialMarkers() const;
    /// Moves each marker onto the first sample from `fromRow` on at or after its time; row -1 for none.
    void snapMarkers(QVector<MarkerData> &markers, int fromRow = 1);
    /// The first and last row with a finite time of the newest run of
    /// non-decreasing times in 1..lastRow; (0, 0) for none.
    // The first and last of rows 1..lastRow that the strip shows and scrolls
    // over; `sorted` tells whether all their times rise.
    std::pair<int, int> shownRun(int lastRow, bool *sorted);
    std::pair<int, int> newestRun(int lastRow) const;
    /// Labels both markers and titles the axes for the window xLow..xHigh.
    void finishStripPass(const QVector<MarkerData> &markers, double xLow, double xHigh);
    void plotCurves(int firstRow, int lastRow, QVector<MarkerData> &markers);
    void plotStripMode();
    void plotScopeMode();
    void plotHistogramMode();
    void setHistogramAxes();
    void setStripMarker(const MarkerData &marker, int which, const std::pair<int, int> &rows,
                        const std::pair<double, double> &xRange);
    /// Wall-clock labels on the time axis while xLow..xHigh lies in epoch seconds.
    void setTimeScaleDraw(double xLow, double xHigh);
    void setStripAxisTitles();
    const Units::MeasurementUnit &xUnits() const;

    static QwtText markerLabel(const QString &text);
    static QString markerLabelText(const Units::MeasurementUnit &xUnits, double x, const QModelIndex &header,
                                   double value);
    static QPen channelPen(const QModelIndex &header);
    static QString number(double value);
    /// number() for a statistic; "N/A" where it is not finite.
    static QString statistic(double value);
    static QFont boldFont(int pointSize);
    static int toScrollUnits(double value);
    /// Scroll bar values stay well inside int, whatever the span of the buffer.
    static constexpr double kScrollLimit = 1.0e9;

    VRXScopePlotView *q_ptr;
    std::unique_ptr<Ui_VRXScopePlotView> m_ui;
    VRXScopePlotView::PlotMode m_plotMode = VRXScopePlotView::StripPlotMode;
    std::unique_ptr<QwtPlotHistogram> m_histogram;
    std::unique_ptr<QwtPlotGrid> m_grid;
    // The three chamber displays are children of the view.
    VRXSpectrogram *m_spectrogram = nullptr;
    VRXPositionPlot *m_positionPlot = nullptr;
    VRXSplitPlot *m_splitPlot = nullptr;
    bool m_pixelated = false;
    int m_numCurves = 0;
    std::array<std::unique_ptr<QwtPlotCurve>, VRXScopePlotView::MAX_CURVES> m_curves;
    int m_plotXCount = 256;
    double m_rangeLow = -1.0;
    double m_rangeHigh = 1.0;
    VRXScopePlotView::PlotScales m_yScaleMode = VRXScopePlotView::PlotScaleAuto;
    bool m_positiveOnly = false;
    bool m_replotRequired = false;
    bool m_plotting = false;
    int m_nextScopeRow = 1;
    /// The next scope pass starts at the newest complete sweep.
    bool m_scopeFromNewest = true;
    QPointer<QLabel> m_bufferSizeLabel;
    // Axis strips are children of the view; the items are owned here and
    // handed out as plain pointers by histogramItems().
    std::array<VRX_HistogramItemAxisWidget *, VRXScopePlotView::NHistogramItemTypes> m_axisWidgets{};
    std::array<int, VRXScopePlotView::NHistogramItemTypes> m_peaks{};
    std::array<QVector<VRX_HistogramItem *>, VRXScopePlotView::NHistogramItemTypes> m_histogramItems;

    QVector<QSharedPointer<QwtPlotMarker>> m_plotMarkers;
    QVector<int> m_markerChannelHints;
    // Each marker keeps the channel it was last drawn on (0: none yet) and
    // shows only while its sample is drawn; marker 1 waits for its own click.
    QVector<int> m_markerChannels;
    QVector<bool> m_markerPlaced;
    QVector<bool> m_markerDrawn;
    bool m_plotMarkerEnabled = true;
    QPointer<QAbstractItemModel> m_rootModel;
    VRXAbstractPlotDataModel *m_vrxModel = nullptr;
    /// Markers were placed by a click or a selection and not taken away
    /// since; only then does the selection follow marker 0.
    bool m_markersPlaced = false;
    /// A canvas repaint has been asked for and not yet delivered.
    bool m_updatePending = false;
    PlotTimeIndex m_timeIndex;
    /// Scroll bar units per second of the last strip pass.
    double m_scrollFactor = VRXScopePlotView::SCROLLBAR_FACTOR;
    QVector<QMetaObject::Connection> m_modelConnections;
};

} // namespace Corvid_Qt

#endif
