#ifndef CORVID_QT_VRX_STATISTICSHISTOGRAMITEM_H
#define CORVID_QT_VRX_STATISTICSHISTOGRAMITEM_H

#include "VRX_HistogramItem.h"
#include "VRX_HistogramItemAxisWidget.h"
#include "corvid_qt_export.h"

#include <NormalDistribution.h>

#include <QtCore/QHash>
#include <QtCore/QPointer>
#include <QtCore/QSet>
#include <QtCore/QString>
#include <QtGui/QColor>
#include <QtWidgets/QWidget>
#include <qwt_scale_div.h>
#include <qwt_scale_draw.h>
#include <qwt_text.h>
#include <memory>
#include <vector>

class QwtPlotCurve;
class QwtPlotMarker;

namespace Corvid_Qt {

/**
 * Common base of the statistics items: the distribution of the last frame,
 * the plotted position of the result, its tick layout and the text panel
 * that the item type's axis strip shows at that position.
 *
 * The item owns its distribution and plot items; the axis strip belongs to
 * the view. Positions are channel numbers as plotted (counted from 1).
 */
class CORVID_QT_EXPORT VRX_StatisticsHistogramItem : public VRX_HistogramItem
{
public:
    typedef corvid::math::NormalDistribution<float> Gaussian;

    /**
     * Scale draw of an axis strip: a tick at an item's position is labelled
     * with that item's whole statistics panel, any other tick with its
     * number. Items register themselves on attach and leave on detach.
     *
     * Panels sit over their ticks as far as the scale's length allows and
     * never print over each other: arrangePanels() first draws them
     * smaller (down to minimumPanelPointSize), then puts every other panel
     * on a second row above the first, and only then shows the short panels
     * (position and deviation), whose full text panelToolTip() gives; short
     * panels that still meet take further rows.
     */
    class CORVID_QT_EXPORT ScaleDraw : public QwtScaleDraw
    {
    public:
        /// The smallest panel font, in points, before rows and short panels.
        static constexpr qreal minimumPanelPointSize = 8.0;
        /// Free pixels between neighbouring panels of a row.
        static constexpr int panelGap = 6;

        ScaleDraw();
        void addItem(const VRX_StatisticsHistogramItem *item);
        void removeItem(const VRX_StatisticsHistogramItem *item);
        /// Forgets every item: all ticks show plain numbers.
        void clearItems();
        bool containsItem(const VRX_StatisticsHistogramItem *item) const { return m_fits.contains(item); }
        QwtText label(double value) const override;
        double extent(const QFont &font) const override;

        /// Chooses size, rows and short panels for the current scale map
        /// with `font` as the largest panel font and the strip no taller
        /// than `maxExtent` where possible (no overlap comes first); true
        /// when that changed (the scale is to be laid out again).
        bool arrangePanels(const QFont &font, int maxExtent = QWIDGETSIZE_MAX);
        /// The panel font chosen last; the strip's own font before.
        QFont panelFont() const { return m_panelFont; }
        int panelRows() const { return m_rows; }
        bool shortPanels() const { return m_shortPanels; }
        /// Where the item's panel is drawn, in the scale widget's
        /// coordinates; empty when it has none.
        QRectF panelRect(const VRX_StatisticsHistogramItem *item) const;
        /// The full text of the short panel at `pos`; empty elsewhere or
        /// while the panels are whole.
        QString panelToolTip(const QPointF &pos) const;

        void draw(QPainter *painter, const QPalette &palette) const override;

    private:
        const VRX_StatisticsHistogramItem *itemAt(double value) const;
        double panelsHeight(const QFont &font) const;
        double panelCentre(double x, double width) const;
        QSet<const VRX_StatisticsHistogramItem *> m_fits;
        QHash<const VRX_StatisticsHistogramItem *, int> m_rowOf; // rows above the first
        struct Shown
        {
            QwtText text;
            QSizeF size;
        };
        // The panels as arranged last; emptied when the items change.
        QHash<const VRX_StatisticsHistogramItem *, Shown> m_shown;
        // The room the last choice was made for.
        QFont m_arrangedFont;
        int m_arrangedSpan = -1;
        int m_arrangedBudget = -1;
        int m_arrangedCount = -1;
        int m_framesSinceSearch = 0;
        bool m_heightKept = true;
        double m_tallest = 0;
        QFont m_panelFont;
        bool m_arranged = false;
        int m_rows = 1;
        bool m_shortPanels = false;
        double m_rowShift = 0;
    };

    /// `axisWidget` is the strip of the item's type (may be null: no text).
    VRX_StatisticsHistogramItem(VRX_HistogramItemAxisWidget *axisWidget, const QColor &color, bool fullStats);
    ~VRX_StatisticsHistogramItem() override;

    /// The statistics panel of the last frame.
    virtual QwtText label() const = 0;
    /// The panel an item without full statistics shows (the same as
    /// label() for those).
    QwtText shortLabel() const;

    /// Text of the last failure; empty after a successful fit.
    QString errorMessage() const { return m_errorMessage; }
    QColor color() const { return m_color; }
    bool fullStats() const { return m_fullStats; }
    /// Plotted x of the result (channel number from 1, plus the region's start).
    float position() const { return m_position; }
    /// The distribution of the last frame; null before the first prepare().
    const Gaussian *distribution() const { return m_dist.get(); }
    /// The tick layout of the last frame.
    const QwtScaleDiv &scaleDiv() const { return m_scale; }
    /// True for the item of the first peak region: it replaces the strip's
    /// ticks instead of adding to them.
    bool clearsScale() const { return m_clearScale; }
    VRX_HistogramItemAxisWidget *axisWidget() const { return m_axisWidget; }

    /// The text of an estimator error code ("Peak on edge." and the rest);
    /// empty for success and unknown codes.
    static QString errorText(int code);
    /// The energy at plotted position `position` from a table with one
    /// entry per channel (entry k at position k + 1): linear between the
    /// bracketing entries, the end entries beyond the table. False for an
    /// empty table or a position that is not a number.
    static bool interpolateEnergy(const std::vector<double> &table, double position, double *energy);

    /// The scale part of attach(): adds this item's ticks and text to the strip.
    void attachScale(QwtPlot *plot);
    /// The scale part of detach(): removes this item's text from the strip.
    void detachScale();

protected:
    /// Marker and curve look shared by all item types.
    void initMarker(QwtPlotMarker &marker) const;
    void initCurve(QwtPlotCurve &curve) const;

    /// Step one of prepare(): a new distribution over a copy of `values`.
    void newDistribution(QVector<float> const &values);
    /// Position and ticks after a failed fit: the middle of the region.
    void layoutFailure(int startChannel, int count, int totalChannels);
    /// Position and ticks after a successful fit: centre, 1 and 3 sigma.
    void layoutSuccess(int startChannel, int totalChannels);
    /// Fills `curve` with the fitted curve of the region (zeros unless `fitted`).
    void fillCurve(QwtPlotCurve &curve, int startChannel, int count, bool fitted) const;
    /// Steps three to seven of prepare(), shared by every item type: places
    /// the result and the marker, fills the curve (where given), runs the
    /// quality measures of the full statistics into the given slots (where
    /// given, replacing their previous objects) and sets the error text.
    /// Returns code == ErrorNone.
    bool finishPrepare(int code, int startChannel, int count, int totalChannels, QwtPlotMarker &marker,
                       QwtPlotCurve *curve, float *peak, std::unique_ptr<Gaussian::SNR> *snr,
                       std::unique_ptr<Gaussian::Chi2> *chi2, int chiWindow);
    /// The attach() of every item type: plot items, then the strip.
    void attachItems(QwtPlot *plot, QwtPlotMarker &marker, QwtPlotCurve *curve);
    void detachItems(QwtPlotMarker &marker, QwtPlotCurve *curve);

    /// `count` newlines: the padding that keeps N/A and error panels as tall
    /// as the statistics panel.
    static QString extraLines(int count);
    /// The panel text as a QwtText drawn by the preformatted text engine.
    static QwtText panel(const QString &text);
    /// The SNR and the noise deviation as the full panel shows them (1 and
    /// 0 without a measurement), "N/A" where they are not finite numbers: a
    /// region with no channel near the mean divides zero by zero.
    /// Both are "N/A" too when fewer than 2 channels lie outside the signal.
    static QString snrText(const Gaussian::SNR *snr);
    static QString noiseText(const Gaussian::SNR *snr);
    /// True when `snr` measured the noise over at least 2 channels.
    static bool noiseMeasured(const Gaussian::SNR *snr);
    /// "\nEnergy (MeV): <energy>" for the energy line of the curve items.
    QString energyLine(const std::vector<double> *table) const;

    QColor m_color;
    bool m_fullStats;
    QwtScaleDiv m_scale;
    QPointer<VRX_HistogramItemAxisWidget> m_axisWidget;
    std::unique_ptr<Gaussian> m_dist;
    bool m_clearScale;
    float m_position;
    QString m_errorMessage;

private:
    ScaleDraw *stripScaleDraw() const;
    std::vector<float> m_values;
};

} // namespace Corvid_Qt

#endif
