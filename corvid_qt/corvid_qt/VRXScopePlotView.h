#ifndef CORVID_QT_VRXSCOPEPLOTVIEW_H
#define CORVID_QT_VRXSCOPEPLOTVIEW_H

#include "corvid_qt_export.h"

#include <QtCore/QScopedPointer>
#include <QtCore/QSharedPointer>
#include <QtCore/QVector>
#include <QtWidgets/QAbstractItemView>
#include <vector>

class QLabel;
class QwtPlot;
class QwtPlotMarker;

namespace Corvid_Qt {

class VRXPositionPlot;
class VRXScopePlotViewPrivate;
class VRXSpectrogram;
class VRXSplitPlot;
class VRX_HistogramItem;
class VRX_HistogramItemAxisWidget;

/**
 * The item view that plots the channels of a device data model: a strip
 * chart of the newest samples (scrollable back through the buffer), a
 * sweeping oscilloscope window, a beam-profile histogram, or one of three
 * two-dimensional chamber displays shown instead of the plot.
 *
 * The model must offer the plot-data interface (VRXAbstractPlotDataModel,
 * reached by a cross cast); any other model is treated as none. Column 0 is
 * time, columns 1..n the channels, row 0 the channel headers (caption,
 * colour brush, shown check state). The view does not own its model.
 *
 * Model changes never draw directly: they mark the view and ask for a
 * canvas repaint, and each canvas paint runs one plot pass, so any number of
 * changes between two paints costs one pass. Two markers, placed with the
 * left and right mouse buttons, read values and, on a time axis, the
 * statistics between them; marker 0 and the view's selection (one column,
 * the marker's channel) follow each other.
 *
 * The strip and scope modes draw at most 256 channel curves; further
 * channels of wider models are left out there. Histogram mode shows every
 * channel. A time axis in seconds since the epoch is labelled with the local
 * wall-clock time.
 *
 * In a chain it is the top: set the top proxy with setModel() (usually a
 * VRXZeroingProxyModel over a VRXAveragingProxyModel over the device
 * models), or let a VRXScope build the chain. Register it with a
 * VRXStatisticsSetupPage to have its beam-profile statistics set up.
 */
class CORVID_QT_EXPORT VRXScopePlotView : public QAbstractItemView
{
    Q_OBJECT

public:
    enum PlotMode {
        StripPlotMode = 0,
        ScopePlotMode = 1,
        HistogramPlotMode = 2,
        SpectrogramPlotMode = 3,
        PositionPlotMode = 4,
        SplitPlotMode = 5
    };

    /// Y scale choices; the numbers are percentages of the device's full
    /// range (SetRange). Values outside 0..14 mean autoscale.
    enum PlotScales : int {
        PlotScaleAuto = 0,
        PlotScaleNormalize = 1,
        PlotScale100 = 2,
        PlotScale50 = 3,
        PlotScale20 = 4,
        PlotScale10 = 5,
        PlotScale5 = 6,
        PlotScale2 = 7,
        PlotScale1 = 8,
        PlotScale0_5 = 9,
        PlotScale0_2 = 10,
        PlotScale0_1 = 11,
        PlotScale0_05 = 12,
        PlotScale0_02 = 13,
        PlotScale0_01 = 14
    };

    enum HistogramItemTypes {
        GaussabolaHistogramItemType = 0,
        CoGHistogramItemType = 1,
        RegressionHistogramItemType = 2,
        PrecalculatedFitHistogramItemType = 3,
        NHistogramItemTypes = 4
    };

    /// One marker as measured by one plot pass.
    struct MarkerData {
        int markerChannel;          ///< model column read
        double markerTime;          ///< snapped to a sample
        int markerTime_i;           ///< model row of that sample, -1 for none
        double markerValuePlot;     ///< curve value as plotted
        double markerValueDisplay;  ///< model value shown in the label
    };

    /// Scroll bar units per second of the strip chart's time axis.
    static constexpr double SCROLLBAR_FACTOR = 100000.0;
    /// Curves the view can hold; wider models are cut to this many channels in the time modes.
    static const int MAX_CURVES = 256;

    explicit VRXScopePlotView(QWidget *parent = nullptr);
    ~VRXScopePlotView() override;

    void setModel(QAbstractItemModel *model) override;
    QRect visualRect(const QModelIndex &index) const override;
    /// In strip mode the explicit hints scroll the window so that the row's
    /// time lies at its left edge (PositionAtTop), its right edge
    /// (PositionAtBottom) or its centre; EnsureVisible never scrolls.
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint &point) const override;
    void reset() override;

    /// Ignored for modes outside 0..5 and while the view has no model.
    void SetPlotMode(PlotMode plotMode);
    PlotMode plotMode() const;
    int yScaleMode() const;
    bool positiveOnly() const;
    /// Stores the device's full range for the fixed Y scales; false when it
    /// is unchanged. Applied by the next SetYScaleMode().
    bool SetRange(double low, double high);
    /// A label that shows the number of buffered samples; not owned.
    void SetBufferSizeLabel(QLabel *label);

    VRXSpectrogram *spectrogram();
    VRXPositionPlot *positionPlot();
    VRXSplitPlot *splitPlot();
    void setPixelated(bool on);
    bool pixelated() const;
    /// Off detaches both markers; clicks and selections no longer place them.
    void enablePlotMarker(bool on);

    /// Replaces the statistics items of `type` by `count` new ones, one per
    /// peak region of the profile (the channels split into `count` equal
    /// regions), configured from `options`:
    /// - centre of gravity: [0] mode (rounded; non-zero is Windowed with
    ///   window half-width [2], zero is Filtered with threshold fraction
    ///   [1]); elements missing from a shorter vector take the estimator's
    ///   defaults: Filtered, threshold 0, half-width 1;
    /// - Gaussabola: peak, sum and percent thresholds [0..2] (defaults 1e-15,
    ///   1e-14, 0.98 unless all three are given), chi-square window [3]
    ///   (default 5);
    /// - regression: threshold fraction, window half-width, peak and sum
    ///   thresholds [0..3] (defaults 0, 1024, 1e-15, 1e-14 unless all four are
    ///   given), weighting [4] (default 2), chi-square window [5] (default 5);
    /// - device fit: none.
    /// A count of 0 removes the type's items and hides its strip.
    void enableHistogramItem(HistogramItemTypes type, int count, QVector<double> const &options, bool fullStats);
    /// The items of `type`, one per peak region; owned by the view.
    const QVector<VRX_HistogramItem *> &histogramItems(HistogramItemTypes type) const;
    /// The axis strip on which the items of `type` show their statistics.
    VRX_HistogramItemAxisWidget *histogramAxisWidget(HistogramItemTypes type) const;
    /// Shows or hides the energy line of the existing Gaussabola, regression
    /// and device-fit items; items created later start without it.
    void toggleMLFC(bool on);
    /// Gives the existing Gaussabola, regression and device-fit items the
    /// energy calibration table (MeV per channel); not owned.
    void upload_MLFC_calibration_table(std::vector<double> *table);

protected:
    QwtPlot *qwtPlot() const;
    QSharedPointer<QwtPlotMarker> plotMarker(int i) const;

    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex &index) const override;
    void setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags flags) override;
    QRegion visualRegionForSelection(const QItemSelection &selection) const override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    /// Retranslates the form, the axis titles, the marker labels and the
    /// sample count on a language change.
    void changeEvent(QEvent *event) override;
    /// Paints the viewport's background around the plot's opaque canvas.
    void paintEvent(QPaintEvent *event) override;

protected Q_SLOTS:
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QVector<int> &roles = QVector<int>()) override;
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;

public Q_SLOTS:
    void doItemsLayout() override;
    void SetPlotMode(int plotMode);
    void SetYScaleMode(int scaleMode);
    void SetPositiveOnly(bool positiveOnly);

protected Q_SLOTS:
    /// Runs the pass of the current mode when one was requested.
    void Plot();
    void RequestReplot();
    /// As RequestReplot(); in scope mode the last sweep is drawn again.
    void RequestReplotRefresh();
    void SelectPoint1(QPointF pos);
    void SelectPoint2(QPointF pos);
    void scrollTo(int value);

private:
    const QScopedPointer<VRXScopePlotViewPrivate> d_ptr;
    Q_DECLARE_PRIVATE(VRXScopePlotView)
};

} // namespace Corvid_Qt

#endif
