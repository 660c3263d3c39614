#include "VRXScopePlotView.h"
#include "VRXScopePlotView_p.h"

#include "ChannelNameDraw.h"
#include "ChannelNumberDraw.h"
#include "CorvidLogging_p.h"
#include "MeasurementUnit.h"
#include "VRXAbstractDeviceDataModel.h"
#include "VRXAbstractPlotDataModel.h"
#include "VRXDiscontinuousPlotCurve.h"
#include "VRXPlotColors.h"
#include "VRXPositionPlot.h"
#include "VRXSeriesData.h"
#include "VRXSpectrogram.h"
#include "VRXSplitPlot.h"
#include "VRX_CoGHistogramItem.h"
#include "VRX_GaussabolaHistogramItem.h"
#include "VRX_HistogramItem.h"
#include "VRX_HistogramItemAxisWidget.h"
#include "VRX_PrecalculatedFitHistogramItem.h"
#include "VRX_RegressionHistogramItem.h"
#include "ui_VRXScopePlotView.h"

#include <QtCore/QAbstractProxyModel>
#include <QtCore/QDebug>
#include <QtCore/QEvent>
#include <QtCore/QScopedValueRollback>
#include <QtGui/QBrush>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QPen>
#include <QtWidgets/QLabel>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QVBoxLayout>

#include <qwt_picker_machine.h>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_histogram.h>
#include <qwt_plot_layout.h>
#include <qwt_plot_marker.h>
#include <qwt_plot_picker.h>
#include <qwt_scale_div.h>
#include <qwt_scale_draw.h>
#include <qwt_scale_widget.h>
#include <qwt_symbol.h>
#include <qwt_text.h>

#include <boost/accumulators/accumulators.hpp>
#include <boost/accumulators/statistics/error_of.hpp>
#include <boost/accumulators/statistics/error_of_mean.hpp>
#include <boost/accumulators/statistics/mean.hpp>
#include <boost/accumulators/statistics/moment.hpp>
#include <boost/accumulators/statistics/stats.hpp>
#include <boost/accumulators/statistics/sum.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace Corvid_Qt {

namespace {

// Marker labels: plain text, light on a translucent dark box.
QwtText markerLabel(const QString &text)
{
    QwtText label(text, QwtText::PlainText);
    label.setColor(VRXPlotColors::kLabelTextColor);
    label.setBackgroundBrush(QBrush(VRXPlotColors::kLabelBackgroundColor));
    QFont font(QStringLiteral("Monospace"), 9);
    font.setStyleHint(QFont::Monospace);
    label.setFont(font);
    return label;
}

const double kLargestDouble = std::numeric_limits<double>::max();

// Scroll bar values stay well inside int, whatever the span of the buffer.
const double kScrollLimit = 1.0e9;

const QString &markerLabelPattern()
{
    static const QString pattern = QStringLiteral("%1: %2\nChannel %3\n%4");
    return pattern;
}

const QString &markerStatisticsPattern()
{
    static const QString pattern = QStringLiteral(
        "%1\n   Period: %2\nFrequency: %3\n      Sum: %4\n     Mean: %5\n      RMS: %6\n Std. Dev: %7");
    return pattern;
}

const Units::MeasurementUnit &hertz()
{
    static const Units::Hz unit;
    return unit;
}

QBrush brushOf(const QVariant &value)
{
    return value.value<QBrush>();
}

QPen channelPen(const QBrush &brush)
{
    return QPen(brush, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

QString number(double value)
{
    return QString::number(value, 'g', 6);
}

QString field12(const QString &text)
{
    return text.rightJustified(12, QLatin1Char(' '));
}

int toScrollUnits(double value)
{
    if (!(value == value))
        return 0;
    return qRound(std::max(-kScrollLimit, std::min(kScrollLimit, value)));
}

QFont boldFont(int pointSize)
{
    QFont font(QStringLiteral("Arial"), pointSize);
    font.setBold(true);
    return font;
}

double scaleFactor(int mode)
{
    static const double factors[] = {1.0,    0.5,    0.2,    0.1,     0.05,    0.02,  0.01,
                                     0.005,  0.002,  0.001,  0.0005,  0.0002,  0.0001};
    return factors[mode - VRXScopePlotView::PlotScale100];
}

// A vertical-line marker that keeps its label as an image. Shaping and
// drawing the statistics text is the dearest part of a plot pass, and the
// text changes far less often than the plot is painted.
class CachedLabelMarker : public QwtPlotMarker
{
protected:
    void drawLabel(QPainter *painter, const QRectF &canvasRect, const QPointF &pos) const override
    {
        const QwtText text = label();
        if (text.isEmpty())
            return;
        if (lineStyle() != VLine || labelOrientation() != Qt::Horizontal) {
            QwtPlotMarker::drawLabel(painter, canvasRect, pos);
            return;
        }

        // Placed as QwtPlotMarker places the label of a vertical line: the
        // vertical alignment is relative to the canvas.
        Qt::Alignment align = labelAlignment();
        QPointF at = pos;
        if (align & Qt::AlignTop) {
            at.setY(canvasRect.top());
            align = (align & ~Qt::AlignTop) | Qt::AlignBottom;
        } else if (align & Qt::AlignBottom) {
            at.setY(canvasRect.bottom() - 1);
            align = (align & ~Qt::AlignBottom) | Qt::AlignTop;
        } else {
            at.setY(canvasRect.center().y());
        }
        qreal offset = linePen().widthF() / 2.0;
        if (offset == 0.0)
            offset = 0.5;
        offset += spacing();
        const bool sameText = text == m_text && painter->font() == m_font;
        if (!sameText) {
            m_text = text;
            m_font = painter->font();
            m_size = text.textSize(m_font);
            m_image = QImage();
        }
        const QSizeF size = m_size;
        if (align & Qt::AlignLeft)
            at.rx() -= offset + size.width();
        else if (align & Qt::AlignRight)
            at.rx() += offset;
        else
            at.rx() -= size.width() / 2;
        if (align & Qt::AlignTop)
            at.ry() -= offset + size.height();
        else if (align & Qt::AlignBottom)
            at.ry() += offset;
        else
            at.ry() -= size.height() / 2;

        // The image holds the label at the same offset from the pixel grid
        // as it has on the canvas, so that it comes out exactly as drawn
        // directly; a marker that moves by whole pixels keeps it.
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        const QPointF device = at * ratio;
        const QPointF whole(std::floor(device.x()), std::floor(device.y()));
        const QPointF fraction = device - whole;
        if (m_image.isNull() || ratio != m_ratio || fraction != m_fraction) {
            m_ratio = ratio;
            m_fraction = fraction;
            const QSize pixels(int(std::ceil(fraction.x() + size.width() * ratio)) + 1,
                               int(std::ceil(fraction.y() + size.height() * ratio)) + 1);
            m_image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
            m_image.setDevicePixelRatio(ratio);
            m_image.fill(Qt::transparent);
            QPainter imagePainter(&m_image);
            imagePainter.setFont(m_font);
            imagePainter.setRenderHints(painter->renderHints());
            m_text.draw(&imagePainter, QRectF(fraction / ratio, size));
        }
        painter->drawImage(whole / ratio, m_image);
    }

private:
    mutable QwtText m_text;
    mutable QFont m_font;
    mutable QSizeF m_size;
    mutable qreal m_ratio = 0.0;
    mutable QPointF m_fraction;
    mutable QImage m_image;
};

} // namespace

// ---------------------------------------------------------------------------
// Private part

VRXScopePlotViewPrivate::VRXScopePlotViewPrivate(VRXScopePlotView *q)
    : q_ptr(q)
    , m_plotMarkerEnabled(true)
    , vrxModel(nullptr)
    , m_markersPlaced(false)
    , m_updatePending(false)
    , m_timeCheckedRows(0)
    , m_lastTimeStepBack(0)
    , m_scrollFactor(VRXScopePlotView::SCROLLBAR_FACTOR)
{
    m_plotMarkers.resize(NUM_CURSORS);
    m_markerChannelHints.resize(NUM_CURSORS);
    for (int i = 0; i < NUM_CURSORS; ++i) {
        auto *marker = new CachedLabelMarker;
        marker->setLineStyle(QwtPlotMarker::VLine);
        marker->setLabelAlignment(Qt::AlignRight | Qt::AlignTop);
        marker->setLinePen(QPen(QBrush(Qt::green), 0, Qt::DashDotLine, Qt::SquareCap, Qt::BevelJoin));
        marker->setSymbol(new QwtSymbol(QwtSymbol::Diamond, QBrush(Qt::yellow), QPen(Qt::yellow), QSize(5, 5)));
        m_plotMarkers[i] = QSharedPointer<QwtPlotMarker>(marker);
        m_markerChannelHints[i] = -1;
    }
}

VRXScopePlotViewPrivate::~VRXScopePlotViewPrivate() = default;

void VRXScopePlotViewPrivate::init()
{
    Q_Q(VRXScopePlotView);
    plotFilter.reset(new VRXScopePlotViewEventFilter(this));
    q->qwtPlot()->canvas()->installEventFilter(plotFilter.data());
}

void VRXScopePlotViewPrivate::selectPoint(const QModelIndex &index)
{
    Q_Q(VRXScopePlotView);
    QItemSelectionModel *selection = q->selectionModel();
    if (!selection)
        return;
    const QItemSelectionModel::SelectionFlags flags =
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Current | QItemSelectionModel::Columns;
    selection->select(QItemSelection(index, index), flags);
    selection->setCurrentIndex(index, flags);
}

void VRXScopePlotViewPrivate::invalidateTimeOrder()
{
    m_timeCheckedRows = 0;
    m_lastTimeStepBack = 0;
}

void VRXScopePlotViewPrivate::invalidateTimeOrderFrom(int row)
{
    if (row > m_timeCheckedRows)
        return;
    if (m_lastTimeStepBack >= row)
        invalidateTimeOrder();
    else
        m_timeCheckedRows = std::max(row - 1, 0);
}

double VRXScopePlotViewPrivate::time(int row) const
{
    return vrxModel->doubleData(row, TimestampColumn);
}

bool VRXScopePlotViewPrivate::timesSorted(int lastRow)
{
    Q_Q(VRXScopePlotView);
    // Rows can only vanish unannounced from a misbehaving model; start over.
    if (m_timeCheckedRows > q->model()->rowCount() - 1)
        invalidateTimeOrder();
    if (m_timeCheckedRows < lastRow) {
        int row = std::max(m_timeCheckedRows, 1);
        double previous = time(row);
        for (++row; row <= lastRow; ++row) {
            const double t = time(row);
            if (!(t >= previous))
                m_lastTimeStepBack = row;
            previous = t;
        }
        m_timeCheckedRows = lastRow;
    }
    return m_lastTimeStepBack == 0;
}

int VRXScopePlotViewPrivate::firstRowAtOrAfter(double t, int lastRow)
{
    if (lastRow < 1)
        return -1;
    if (timesSorted(lastRow)) {
        int low = 1, high = lastRow + 1;
        while (low < high) {
            const int mid = low + (high - low) / 2;
            if (time(mid) >= t)
                high = mid;
            else
                low = mid + 1;
        }
        return low <= lastRow ? low : -1;
    }
    for (int row = 1; row <= lastRow; ++row) {
        if (time(row) >= t)
            return row;
    }
    return -1;
}

int VRXScopePlotViewPrivate::firstRowAfter(double t, int lastRow)
{
    if (lastRow < 1)
        return -1;
    if (timesSorted(lastRow)) {
        int low = 1, high = lastRow + 1;
        while (low < high) {
            const int mid = low + (high - low) / 2;
            if (time(mid) > t)
                high = mid;
            else
                low = mid + 1;
        }
        return low <= lastRow ? low : -1;
    }
    for (int row = 1; row <= lastRow; ++row) {
        if (time(row) > t)
            return row;
    }
    return -1;
}

VRXScopePlotViewEventFilter::VRXScopePlotViewEventFilter(VRXScopePlotViewPrivate *d)
    : QObject(nullptr)
    , d(d)
{
    setObjectName(QStringLiteral("VRXScopePlotViewEventFilter"));
}

bool VRXScopePlotViewEventFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && watched == d->q_ptr->qwtPlot()->canvas()) {
        d->m_updatePending = false;
        d->q_ptr->_replotRequired = true;
        d->q_ptr->Plot();
    }
    return false;
}

// ---------------------------------------------------------------------------
// Construction

VRXScopePlotView::VRXScopePlotView(QWidget *parent)
    : QAbstractItemView(parent)
    , m_ui(new Ui_VRXScopePlotView)
    , _plotMode(StripPlotMode)
    , _histogram(new QwtPlotHistogram(QString()))
    , _grid(new QwtPlotGrid)
    , _spectrogram(new VRXSpectrogram(this))
    , _positionPlot(new VRXPositionPlot(this))
    , _splitPlot(new VRXSplitPlot(this))
    , _pixelated(false)
    , _numCurves(0)
    , _curves()
    , _plotXCount(256)
    , _rangeLow(-1.0)
    , _rangeHigh(1.0)
    , _yScaleMode(PlotScaleAuto)
    , _positiveOnly(false)
    , _replotRequired(false)
    , _plotting(false)
    , _nextScopeRow(1)
    , _lastRowCount(0)
    , m_axisWidgets()
    , m_peaks()
    , d_ptr(new VRXScopePlotViewPrivate(this))
{
    Q_D(VRXScopePlotView);

    setContentsMargins(0, 0, 0, 0);
    // The plot fills the view; a styled frame around it costs a good part of
    // a plot pass and shows nothing.
    setFrameStyle(QFrame::NoFrame);
    m_ui->setupUi(viewport());

    viewport()->setBackgroundRole(backgroundRole());
    viewport()->setForegroundRole(foregroundRole());
    horizontalScrollBar()->setRange(0, 0);
    verticalScrollBar()->setRange(0, 0);
    setSelectionBehavior(SelectColumns);
    setSelectionMode(SingleSelection);

    QwtPlot *plot = qwtPlot();
    plot->setCanvasBackground(QBrush(Qt::black));
    if (auto *canvas = qobject_cast<QwtPlotCanvas *>(plot->canvas())) {
        canvas->setPaintAttribute(QwtPlotCanvas::BackingStore, true);
        canvas->setPaintAttribute(QwtPlotCanvas::Opaque, true);
        canvas->setPaintAttribute(QwtPlotCanvas::ImmediatePaint, false);
        canvas->setBorderRadius(0);
        canvas->setFrameStyle(QFrame::NoFrame);
    }
    plot->axisWidget(QwtPlot::yLeft)->setMargin(0);
    plot->axisWidget(QwtPlot::xBottom)->setMargin(0);
    plot->axisWidget(QwtPlot::xBottom)->setMinBorderDist(90, 20);
    plot->plotLayout()->setAlignCanvasToScales(true);
    plot->plotLayout()->setSpacing(0);

    d->init();

    _grid->enableXMin(false);
    _grid->enableYMin(true);
    _grid->setMajorPen(QPen(QColor(88, 88, 88), 0, Qt::SolidLine));
    _grid->setMinorPen(QPen(QColor(48, 48, 48), 0, Qt::SolidLine));
    _grid->attach(plot);

    _histogram->setPen(QPen(QColor(Qt::yellow).darker(130)));
    _histogram->setBrush(QBrush(Qt::yellow, Qt::SolidPattern));
    _histogram->setStyle(QwtPlotHistogram::Columns);

    for (int button = 0; button < 2; ++button) {
        auto *picker = new QwtPlotPicker(QwtPlot::xBottom, QwtPlot::yLeft, QwtPicker::NoRubberBand,
                                         QwtPicker::ActiveOnly, plot->canvas());
        picker->setTrackerPen(QPen(Qt::white));
        picker->setStateMachine(new QwtPickerClickPointMachine);
        if (button == 0) {
            connect(picker, qOverload<const QPointF &>(&QwtPlotPicker::selected), this,
                    &VRXScopePlotView::SelectPoint1);
        } else {
            picker->setMousePattern(QwtEventPattern::MouseSelect1, Qt::RightButton);
            connect(picker, qOverload<const QPointF &>(&QwtPlotPicker::selected), this,
                    &VRXScopePlotView::SelectPoint2);
        }
    }
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this,
            qOverload<int>(&VRXScopePlotView::scrollTo));

    for (int type = 0; type < NHistogramItemTypes; ++type) {
        m_axisWidgets[type] = new VRX_HistogramItemAxisWidget(plot);
        m_ui->verticalLayout->insertWidget(0, m_axisWidgets[type]);
        m_axisWidgets[type]->hide();
        m_peaks[type] = 0;
    }

    _spectrogram->scaleEnabled(false);
    for (QWidget *widget : {static_cast<QWidget *>(_spectrogram), static_cast<QWidget *>(_positionPlot),
                            static_cast<QWidget *>(_splitPlot)}) {
        m_ui->verticalLayout->insertWidget(0, widget);
        widget->hide();
    }
}

VRXScopePlotView::~VRXScopePlotView()
{
    Q_D(VRXScopePlotView);
    for (const QMetaObject::Connection &connection : qAsConst(d->m_modelConnections))
        disconnect(connection);
    clearCurves();
    for (int type = 0; type < NHistogramItemTypes; ++type)
        clearHistogramItems(type);
    for (int type = 0; type < NHistogramItemTypes; ++type)
        delete m_axisWidgets[type];
    delete _histogram;
    delete _grid;
    // Someone may still hold a marker; the plot must not delete it.
    for (const QSharedPointer<QwtPlotMarker> &marker : qAsConst(d->m_plotMarkers))
        marker->detach();
    delete _spectrogram;
    delete _positionPlot;
    delete _splitPlot;
    delete m_ui;
    delete d_ptr;
}

QwtPlot *VRXScopePlotView::qwtPlot() const
{
    return m_ui->qwtPlot;
}

QSharedPointer<QwtPlotMarker> VRXScopePlotView::plotMarker(int i) const
{
    Q_D(const VRXScopePlotView);
    return d->m_plotMarkers.value(i);
}

VRXSpectrogram *VRXScopePlotView::spectrogram()
{
    return _spectrogram;
}

VRXPositionPlot *VRXScopePlotView::positionPlot()
{
    return _positionPlot;
}

VRXSplitPlot *VRXScopePlotView::splitPlot()
{
    return _splitPlot;
}

void VRXScopePlotView::setPixelated(bool on)
{
    _spectrogram->setEnabled(on);
    _pixelated = on;
}

void VRXScopePlotView::enablePlotMarker(bool on)
{
    Q_D(VRXScopePlotView);
    d->m_plotMarkerEnabled = on;
    if (!on) {
        d->m_markersPlaced = false;
        for (const QSharedPointer<QwtPlotMarker> &marker : qAsConst(d->m_plotMarkers))
            marker->detach();
    }
}

void VRXScopePlotView::SetBufferSizeLabel(QLabel *label)
{
    _bufferSizeLabel = label;
}

bool VRXScopePlotView::SetRange(double low, double high)
{
    if (low == _rangeLow && high == _rangeHigh)
        return false;
    _rangeLow = low;
    _rangeHigh = high;
    return true;
}

// ---------------------------------------------------------------------------
// Curves

void VRXScopePlotView::createCurves()
{
    for (size_t i = 0; i < _numCurves; ++i) {
        if (_curves[i])
            continue;
        auto *curve = new VRXDiscontinuousPlotCurve(QStringLiteral("Channel %1").arg(i));
        curve->setPaintAttribute(QwtPlotCurve::ClipPolygons, true);
        curve->setStyle(QwtPlotCurve::Lines);
        _curves[i] = curve;
    }
}

void VRXScopePlotView::clearCurves()
{
    for (QwtPlotCurve *&curve : _curves) {
        delete curve;
        curve = nullptr;
    }
    _numCurves = 0;
}

void VRXScopePlotView::detachCurves()
{
    for (size_t i = 0; i < _numCurves; ++i) {
        if (_curves[i])
            _curves[i]->detach();
    }
}

void VRXScopePlotView::clearHistogramItems(int type)
{
    for (VRX_HistogramItem *item : qAsConst(m_histogramItems[type])) {
        item->detach();
        delete item;
    }
    m_histogramItems[type].clear();
    m_axisWidgets[type]->hide();
    m_peaks[type] = 0;
}

void VRXScopePlotView::hideHistogramItems()
{
    for (int type = 0; type < NHistogramItemTypes; ++type) {
        m_axisWidgets[type]->hide();
        for (VRX_HistogramItem *item : qAsConst(m_histogramItems[type]))
            item->detach();
    }
}

// ---------------------------------------------------------------------------
// Model

void VRXScopePlotView::setModel(QAbstractItemModel *model)
{
    Q_D(VRXScopePlotView);
    for (const QMetaObject::Connection &connection : qAsConst(d->m_modelConnections))
        disconnect(connection);
    d->m_modelConnections.clear();

    clearCurves();
    d->vrxModel = dynamic_cast<VRXAbstractPlotDataModel *>(model);
    if (d->vrxModel) {
        if (model->columnCount() - 1 > MAX_CURVES) {
            qCWarning(lcCorvidQtPlot).nospace() << "VRXScopePlotView: the model has " << model->columnCount() - 1
                                 << " channels; the first " << MAX_CURVES << " are drawn";
        }
        _numCurves = size_t(qBound(0, model->columnCount() - 1, int(MAX_CURVES)));
    } else {
        model = nullptr;
    }
    d->invalidateTimeOrder();

    QAbstractItemView::setModel(model);

    // A proxy without a source (one that merges several models) is itself
    // the bottom of the chain.
    QAbstractItemModel *root = model;
    while (auto *proxy = qobject_cast<QAbstractProxyModel *>(root)) {
        if (!proxy->sourceModel())
            break;
        root = proxy->sourceModel();
    }
    d->rootModel = root;

    createCurves();
    if (d->vrxModel && d->vrxModel->PlotWidthHintPoints() > 0)
        _plotXCount = d->vrxModel->PlotWidthHintPoints();
    _nextScopeRow = 1;
    _lastRowCount = model ? std::max(model->rowCount() - 1, 0) : 0;

    if (model) {
        // The curves read the model directly; they must be gone before it is.
        d->m_modelConnections << connect(model, &QObject::destroyed, this, [this]() {
            Q_D(VRXScopePlotView);
            d->vrxModel = nullptr;
            d->invalidateTimeOrder();
            clearCurves();
        });
        auto invalidate = [this]() { d_func()->invalidateTimeOrder(); };
        d->m_modelConnections << connect(model, &QAbstractItemModel::layoutChanged, this, invalidate);
        d->m_modelConnections << connect(model, &QAbstractItemModel::rowsMoved, this, invalidate);
    } else {
        for (const QSharedPointer<QwtPlotMarker> &marker : qAsConst(d->m_plotMarkers))
            marker->detach();
        RequestReplot();
    }
    SetPlotMode(int(_plotMode));
}

void VRXScopePlotView::reset()
{
    Q_D(VRXScopePlotView);
    QAbstractItemView::reset();
    d->invalidateTimeOrder();
    QAbstractItemModel *itemModel = model();
    if (!itemModel || !d->vrxModel) {
        clearCurves();
        return;
    }
    _lastRowCount = std::max(itemModel->rowCount() - 1, 0);
    const int channels = qBound(0, itemModel->columnCount() - 1, int(MAX_CURVES));
    if (size_t(channels) == _numCurves) {
        if (d->vrxModel->PlotWidthHintPoints() > 0)
            _plotXCount = d->vrxModel->PlotWidthHintPoints();
        _nextScopeRow = 1;
        RequestReplot();
    } else {
        clearCurves();
        _numCurves = size_t(channels);
        createCurves();
    }
}

void VRXScopePlotView::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                   const QVector<int> &roles)
{
    Q_D(VRXScopePlotView);
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
    if (topLeft.column() <= TimestampColumn)
        d->invalidateTimeOrderFrom(std::max(topLeft.row(), 1));
    RequestReplot();
}

void VRXScopePlotView::rowsInserted(const QModelIndex &parent, int start, int end)
{
    Q_D(VRXScopePlotView);
    if (parent.isValid() || !d->vrxModel)
        return;
    const int count = end - start + 1;
    const int rows = model()->rowCount();
    if (rows <= _lastRowCount + count) {
        const int dropped = _lastRowCount + count - (rows - 1);
        if (_nextScopeRow > dropped)
            _nextScopeRow -= dropped;
    }
    _lastRowCount = rows - 1;
    d->invalidateTimeOrderFrom(start);

    const int hint = d->vrxModel->PlotWidthHintPoints();
    if (hint > 0)
        _plotXCount = hint;
    else
        _plotXCount = count < 6 ? 256 : count;
    if (start == 1)
        _nextScopeRow = 1;

    QAbstractItemView::rowsInserted(parent, start, end);
    RequestReplot();
}

void VRXScopePlotView::rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    Q_D(VRXScopePlotView);
    if (!parent.isValid() && start <= d->m_timeCheckedRows) {
        // Dropping the oldest rows keeps the order of the rest.
        const int count = end - start + 1;
        if (start == 1) {
            d->m_timeCheckedRows = std::max(d->m_timeCheckedRows - count, 0);
            d->m_lastTimeStepBack = d->m_lastTimeStepBack - count > 1 ? d->m_lastTimeStepBack - count : 0;
        } else {
            d->invalidateTimeOrderFrom(start);
        }
    }
    QAbstractItemView::rowsAboutToBeRemoved(parent, start, end);
}

// ---------------------------------------------------------------------------
// Modes and scales

void VRXScopePlotView::SetPlotMode(PlotMode plotMode)
{
    SetPlotMode(int(plotMode));
}

void VRXScopePlotView::SetPlotMode(int plotMode)
{
    if (plotMode < StripPlotMode || plotMode > SplitPlotMode || !model())
        return;
    _plotMode = PlotMode(plotMode);
    QwtPlot *plot = qwtPlot();

    switch (_plotMode) {
    case StripPlotMode:
    case ScopePlotMode:
        _histogram->detach();
        hideHistogramItems();
        plot->show();
        _spectrogram->hide();
        _positionPlot->hide();
        _splitPlot->hide();
        setScrollBarShown(_plotMode == StripPlotMode);
        plot->setAxisScaleDraw(QwtPlot::xBottom, new QwtScaleDraw);
        plot->setAxisMaxMajor(QwtPlot::xBottom, 6);
        plot->setAxisMaxMinor(QwtPlot::xBottom, 10);
        plot->axisWidget(QwtPlot::xBottom)->setMinBorderDist(90, 20);
        break;
    case HistogramPlotMode: {
        detachCurves();
        plot->show();
        _spectrogram->hide();
        _positionPlot->hide();
        _splitPlot->hide();
        const int channels = model()->columnCount() - 1;
        QwtText title(QStringLiteral("Channel"));
        title.setFont(boldFont(8));
        plot->setAxisTitle(QwtPlot::xBottom, title);
        if (_numCurves < 9)
            plot->setAxisScaleDraw(QwtPlot::xBottom, new ChannelNameDraw);
        else
            plot->setAxisScaleDraw(QwtPlot::xBottom, new ChannelNumberDraw(int(_numCurves)));
        plot->axisWidget(QwtPlot::xBottom)->setMinBorderDist(90, 5);
        for (int axis : {int(QwtPlot::xBottom), int(QwtPlot::xTop)}) {
            plot->setAxisMaxMajor(axis, channels);
            plot->setAxisMaxMinor(axis, 0);
            plot->setAxisScale(axis, 0.5, channels + 0.5);
        }
        setScrollBarShown(false);
        break;
    }
    case SpectrogramPlotMode:
    case PositionPlotMode:
    case SplitPlotMode:
        _histogram->detach();
        hideHistogramItems();
        setScrollBarShown(false);
        plot->hide();
        _spectrogram->setVisible(_plotMode == SpectrogramPlotMode);
        _positionPlot->setVisible(_plotMode == PositionPlotMode);
        _splitPlot->setVisible(_plotMode == SplitPlotMode);
        break;
    }
    RequestReplot();
}

void VRXScopePlotView::SetYScaleMode(int scaleMode)
{
    _yScaleMode = PlotScales(scaleMode);
    QwtPlot *plot = qwtPlot();
    const double low = _positiveOnly ? _rangeLow * 0.1 : _rangeLow;
    if (scaleMode == PlotScaleNormalize) {
        plot->setAxisScale(QwtPlot::yLeft, _positiveOnly ? -0.1 : -1.0, 1.0);
    } else if (scaleMode >= PlotScale100 && scaleMode <= PlotScale0_01) {
        const double f = scaleFactor(scaleMode);
        plot->setAxisScale(QwtPlot::yLeft, low * f, _rangeHigh * f);
    } else {
        plot->setAxisAutoScale(QwtPlot::yLeft, true);
    }
    _spectrogram->setScale(scaleMode);
    _positionPlot->setScale(scaleMode);
    _splitPlot->setScale(scaleMode);
    RequestReplotRefresh();
}

void VRXScopePlotView::SetPositiveOnly(bool positiveOnly)
{
    _positiveOnly = positiveOnly;
    SetYScaleMode(_yScaleMode);
}

void VRXScopePlotView::setScrollBarShown(bool shown)
{
    const Qt::ScrollBarPolicy policy = shown ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (horizontalScrollBarPolicy() != policy)
        setHorizontalScrollBarPolicy(policy);
}

// ---------------------------------------------------------------------------
// Replot requests

void VRXScopePlotView::RequestReplot()
{
    _replotRequired = true;
    requestCanvasPaint();
    if (_plotMode > HistogramPlotMode)
        Plot();
}

void VRXScopePlotView::RequestReplotRefresh()
{
    if (_plotMode == ScopePlotMode && !_replotRequired)
        _nextScopeRow = std::max(_nextScopeRow - _plotXCount, 1);
    _replotRequired = true;
    requestCanvasPaint();
}

void VRXScopePlotView::requestCanvasPaint()
{
    Q_D(VRXScopePlotView);
    // Repeated requests before the repaint add nothing: the repaint runs one
    // pass over everything that arrived. A hidden canvas gets no repaint, so
    // its requests are not held back.
    if (d->m_updatePending)
        return;
    viewport()->update();
    QWidget *canvas = qwtPlot()->canvas();
    if (auto *plotCanvas = qobject_cast<QwtPlotCanvas *>(canvas))
        plotCanvas->replot();
    d->m_updatePending = canvas->isVisible();
}

void VRXScopePlotView::scrollTo(int value)
{
    Q_UNUSED(value);
    if (!_plotting)
        RequestReplot();
}

void VRXScopePlotView::Plot()
{
    Q_D(VRXScopePlotView);
    if (_plotMode <= HistogramPlotMode) {
        if (!model() || !d->vrxModel) {
            updateBufferSizeLabel();
            return;
        }
        if (_plotting || !_replotRequired)
            return;
        if (_plotMode != ScopePlotMode && !isVisible())
            return;
        _replotRequired = false;
        {
            QScopedValueRollback<bool> plotting(_plotting, true);
            switch (_plotMode) {
            case StripPlotMode:
                PlotStripMode();
                break;
            case ScopePlotMode:
                PlotScopeMode();
                break;
            default:
                PlotHistogramMode();
                break;
            }
        }
    }
    updateBufferSizeLabel();
}

void VRXScopePlotView::updateBufferSizeLabel()
{
    Q_D(VRXScopePlotView);
    if (!_bufferSizeLabel)
        return;
    const int samples = d->rootModel ? std::max(d->rootModel->rowCount() - 1, 0) : 0;
    _bufferSizeLabel->setText(QString::number(samples) + QStringLiteral(" Samples"));
}

// ---------------------------------------------------------------------------
// Markers and selection

void VRXScopePlotView::SelectPoint1(QPointF pos)
{
    placeMarker(0, pos);
}

void VRXScopePlotView::SelectPoint2(QPointF pos)
{
    placeMarker(1, pos);
}

void VRXScopePlotView::placeMarker(int which, QPointF pos)
{
    Q_D(VRXScopePlotView);
    if (!d->m_plotMarkerEnabled)
        return;
    QwtPlotMarker *marker = d->m_plotMarkers[which].data();
    marker->detach();
    marker->setValue(pos);
    marker->attach(qwtPlot());
    d->m_markerChannelHints[which] = -1;
    d->m_markersPlaced = true;
    RequestReplotRefresh();
}

void VRXScopePlotView::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    Q_D(VRXScopePlotView);
    Q_UNUSED(deselected);
    if (!selected.isEmpty()) {
        if (!d->m_plotMarkerEnabled)
            return;
        const int column = selected.first().left();
        d->m_markerChannelHints[0] = column;
        if (_plotMode == HistogramPlotMode)
            d->m_plotMarkers[0]->setValue(column, 0.0);
        for (const QSharedPointer<QwtPlotMarker> &marker : qAsConst(d->m_plotMarkers))
            marker->attach(qwtPlot());
        d->m_markersPlaced = true;
        if (sender() != this && !_plotting)
            RequestReplotRefresh();
        return;
    }
    // Rows dropped from the front of a selected column deselect only those
    // rows; the markers go when nothing is selected any more.
    if (selectionModel() && selectionModel()->hasSelection())
        return;
    for (const QSharedPointer<QwtPlotMarker> &marker : qAsConst(d->m_plotMarkers))
        marker->detach();
    if (!_plotting)
        d->m_markersPlaced = false;
}

// ---------------------------------------------------------------------------
// The remaining item view interface

QRect VRXScopePlotView::visualRect(const QModelIndex &index) const
{
    Q_ASSERT(!index.isValid() || index.model() == model());
    Q_UNUSED(index);
    return QRect();
}

void VRXScopePlotView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    Q_D(VRXScopePlotView);
    Q_ASSERT(!index.isValid() || index.model() == model());
    if (_plotMode != StripPlotMode || !index.isValid() || index.model() != model() || !d->vrxModel
        || hint == EnsureVisible)
        return;
    const int lastRow = model()->rowCount() - 1;
    if (index.row() == 0 || index.row() > lastRow || lastRow < 1)
        return;

    // The window the strip pass shows once scrolled back.
    const double t = model()->index(index.row(), TimestampColumn).data(DataRole).toDouble();
    const double first = d->time(1);
    const double hintWidth = d->vrxModel->PlotWidthHint();
    const double width = hintWidth != 0.0 ? hintWidth : (d->time(lastRow) - first) / lastRow * _plotXCount;
    double start = t;
    if (hint == PositionAtBottom)
        start = t - width;
    else if (hint == PositionAtCenter)
        start = t - width / 2.0;
    if (!std::isfinite(start) || !std::isfinite(first))
        return;
    QScrollBar *bar = horizontalScrollBar();
    bar->setValue(qBound(bar->minimum(), toScrollUnits((start - first) * d->m_scrollFactor), bar->maximum()));
}

QModelIndex VRXScopePlotView::indexAt(const QPoint &point) const
{
    Q_UNUSED(point);
    return QModelIndex();
}

void VRXScopePlotView::doItemsLayout()
{
}

QModelIndex VRXScopePlotView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    Q_UNUSED(cursorAction);
    Q_UNUSED(modifiers);
    return QModelIndex();
}

int VRXScopePlotView::horizontalOffset() const
{
    return _plotMode == StripPlotMode ? horizontalScrollBar()->value() : 0;
}

int VRXScopePlotView::verticalOffset() const
{
    return 0;
}

bool VRXScopePlotView::isIndexHidden(const QModelIndex &index) const
{
    Q_ASSERT(!index.isValid() || index.model() == model());
    Q_UNUSED(index);
    return false;
}

void VRXScopePlotView::setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags flags)
{
    Q_UNUSED(flags);
    qCDebug(lcCorvidQtPlot).nospace() << "VRXScopePlotView::setSelection rect: " << rect;
}

QRegion VRXScopePlotView::visualRegionForSelection(const QItemSelection &selection) const
{
    // Every visualRect() is empty; walking a selected column of 100000 rows
    // to find that out would cost more than a plot pass.
    Q_UNUSED(selection);
    return QRegion();
}

bool VRXScopePlotView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    Q_ASSERT(!index.isValid() || index.model() == model());
    Q_UNUSED(index);
    Q_UNUSED(trigger);
    Q_UNUSED(event);
    return false;
}

// ---------------------------------------------------------------------------
// Plot passes

QVector<VRXScopePlotView::MarkerData> VRXScopePlotView::initialMarkers() const
{
    Q_D(const VRXScopePlotView);
    QVector<MarkerData> markers(VRXScopePlotViewPrivate::NUM_CURSORS);
    for (int i = 0; i < markers.size(); ++i)
        markers[i] = MarkerData{0, d->m_plotMarkers[i]->xValue(), -1, kLargestDouble, 0.0};
    return markers;
}

std::pair<int, double> VRXScopePlotView::findStripMarkerTime(double t)
{
    Q_D(VRXScopePlotView);
    const int lastRow = model()->rowCount() - 1;
    if (lastRow >= 1) {
        const int row = d->firstRowAtOrAfter(t, lastRow);
        if (row > 0)
            return std::make_pair(row, d->time(row));
    }
    return std::make_pair(-1, t);
}

void VRXScopePlotView::plotCurves(int firstRow, int lastRow, QVector<MarkerData> &markers)
{
    Q_D(VRXScopePlotView);
    QAbstractItemModel *itemModel = model();
    QwtPlot *plot = qwtPlot();
    const bool clip = _yScaleMode >= PlotScale50 && _yScaleMode <= PlotScale0_01;

    for (int c = 1; c <= int(_numCurves); ++c) {
        QwtPlotCurve *curve = _curves[c - 1];
        if (!curve)
            continue;
        const QModelIndex header = itemModel->index(0, c);
        if (header.data(Qt::CheckStateRole).toInt() == 0) {
            curve->detach();
            continue;
        }
        QwtSeriesData<QPointF> *series = d->vrxModel->seriesData(c, firstRow, lastRow);
        if (!series) {
            curve->detach();
            continue;
        }
        if (_yScaleMode == PlotScaleNormalize) {
            if (auto *vrxSeries = dynamic_cast<VRXSeriesData *>(series)) {
                const QRectF bounds = vrxSeries->boundingRect();
                const double m = std::max(std::abs(bounds.top()), std::abs(bounds.top() + bounds.height()));
                if (m > 0.0)
                    vrxSeries->setScale(m);
            }
        }
        curve->setPaintAttribute(QwtPlotCurve::ClipPolygons, clip);
        curve->setData(series);
        curve->setPen(channelPen(brushOf(header.data(Qt::BackgroundRole))));
        curve->attach(plot);

        const int size = int(series->size());
        for (int m = 0; m < markers.size(); ++m) {
            MarkerData &record = markers[m];
            const int k = record.markerTime_i;
            if (k < firstRow || k - firstRow >= size)
                continue;
            const double y = series->sample(size_t(k - firstRow)).y();
            const double value = d->vrxModel->doubleData(k, c);
            const int hint = d->m_markerChannelHints[m];
            bool take = false;
            if (hint < 0) {
                const double markerY = d->m_plotMarkers[m]->yValue();
                take = std::abs(record.markerValuePlot - markerY) > std::abs(y - markerY);
            } else {
                take = hint == c;
            }
            if (take) {
                record.markerValuePlot = y;
                record.markerValueDisplay = value;
                record.markerChannel = c;
            }
            if (m == 0)
                d->m_markerChannelHints[1] = markers[0].markerChannel;
        }
    }
}

void VRXScopePlotView::PlotStripMode()
{
    Q_D(VRXScopePlotView);
    QwtPlot *plot = qwtPlot();
    QVector<MarkerData> markers = initialMarkers();
    const int lastRow = model()->rowCount() - 1;
    const double first = lastRow >= 1 ? d->time(1) : 0.0;
    const double last = lastRow >= 1 ? d->time(lastRow) : 0.0;

    // Nothing to draw; a buffer whose ends have no finite time has no window.
    if (lastRow <= 1 || !std::isfinite(first) || !std::isfinite(last)) {
        detachCurves();
        for (const QSharedPointer<QwtPlotMarker> &marker : qAsConst(d->m_plotMarkers))
            marker->detach();
        setScrollBarShown(false);
        plot->updateAxes();
        return;
    }

    QScrollBar *bar = horizontalScrollBar();
    int value = bar->value();
    const bool scrolledBack = value < bar->maximum();

    // Scroll values are time offsets from the first sample; a buffer spanning
    // more than 10000 s is scrolled in coarser units so they still fit an int.
    double factor = SCROLLBAR_FACTOR;
    while (std::abs(last - first) * factor > kScrollLimit && factor > 1e-12)
        factor /= 10.0;
    if (factor != d->m_scrollFactor) {
        if (scrolledBack)
            value = toScrollUnits(value * (factor / d->m_scrollFactor));
        d->m_scrollFactor = factor;
    }

    for (MarkerData &marker : markers) {
        const std::pair<int, double> found = findStripMarkerTime(marker.markerTime);
        marker.markerTime_i = found.first;
        marker.markerTime = found.second;
    }

    const int window = _plotXCount;
    const double hintWidth = d->vrxModel->PlotWidthHint();
    const double step = (last - first) / lastRow;
    double xLow, xHigh;
    if (scrolledBack) {
        xLow = first + value / factor;
        xHigh = xLow + (hintWidth != 0.0 ? hintWidth : step * window);
    } else if (lastRow > window) {
        xHigh = last;
        xLow = hintWidth != 0.0 ? last - hintWidth : d->time(lastRow - window + 1);
    } else {
        xHigh = last;
        xLow = hintWidth != 0.0 ? last - hintWidth : first - (window - lastRow) * step;
    }

    // The drawn rows reach one sample past each edge, so the lines run
    // through both edges of the plot.
    int firstRow = 1;
    int lastDrawn = lastRow;
    if (d->timesSorted(lastRow)) {
        const int above = d->firstRowAfter(xHigh, lastRow - 1);
        const int atOrAfter = d->firstRowAtOrAfter(xLow, lastRow - 1);
        if (above > 0)
            lastDrawn = above;
        const int below = std::min(atOrAfter > 0 ? atOrAfter - 1 : lastRow - 1, above > 0 ? above : lastRow - 1);
        firstRow = std::max(below, 1);
    } else {
        for (int row = 1; row < lastRow; ++row) {
            const double t = d->time(row);
            if (t < xLow)
                firstRow = row;
            if (t > xHigh) {
                lastDrawn = row;
                break;
            }
        }
    }
    plotCurves(firstRow, lastDrawn, markers);

    plot->setAxisScale(QwtPlot::xBottom, xLow, xHigh);
    setScrollBarShown(xLow > first || scrolledBack);
    const std::pair<int, int> rows(markers[0].markerTime_i, markers[1].markerTime_i);
    const std::pair<double, double> range(xLow, xHigh);
    setStripMarker(markers[0], 0, rows, range);
    setStripMarker(markers[1], 1, rows, range);
    setStripAxisTitles();
    plot->updateAxes();

    const double width = xHigh - xLow;
    bar->setRange(0, toScrollUnits((last - first - width) * factor));
    bar->setPageStep(toScrollUnits(std::trunc(width * factor)));
    bar->setSingleStep(toScrollUnits(width * factor / window));
    if (!scrolledBack)
        bar->setValue(bar->maximum());
    else if (value != bar->value())
        bar->setValue(value);
}

void VRXScopePlotView::PlotScopeMode()
{
    Q_D(VRXScopePlotView);
    QwtPlot *plot = qwtPlot();
    QVector<MarkerData> markers = initialMarkers();
    const int rowCount = model()->rowCount();
    const int sweep = std::max(_plotXCount, 1);
    const int start = _nextScopeRow;

    if (qint64(rowCount) - start >= sweep && start >= 1) {
        const int end = start + sweep - 1;
        const double t0 = d->time(start);
        const double t1 = d->time(end);
        const double lower = plot->axisScaleDiv(QwtPlot::xBottom).lowerBound();
        for (MarkerData &marker : markers) {
            const std::pair<int, double> found = findStripMarkerTime(marker.markerTime - lower + t0);
            marker.markerTime_i = found.first;
            marker.markerTime = found.second;
        }
        plotCurves(start, end, markers);
        _nextScopeRow += sweep;
        if (std::isfinite(t0) && std::isfinite(t1))
            plot->setAxisScale(QwtPlot::xBottom, t0, t1);
        const std::pair<int, int> rows(markers[0].markerTime_i, markers[1].markerTime_i);
        const std::pair<double, double> range(t0, t1);
        setStripMarker(markers[0], 0, rows, range);
        setStripMarker(markers[1], 1, rows, range);
        setStripAxisTitles();
        plot->updateAxes();
        if (qint64(rowCount) - _nextScopeRow >= sweep)
            RequestReplot();
    } else if (rowCount - 1 > 1) {
        // The last sweep stays on screen until the next one is complete.
    } else {
        detachCurves();
        for (const QSharedPointer<QwtPlotMarker> &marker : qAsConst(d->m_plotMarkers))
            marker->setLabel(QwtText());
        plot->updateAxes();
    }
}

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

const QString &histogramMarkerStatisticsPattern()
{
    static const QString pattern = QStringLiteral("%1\n      Sum: %2\n     Mean: %3\n      RMS: %4\n Std. Dev: %5");
    return pattern;
}

} // namespace

void VRXScopePlotView::enableHistogramItem(HistogramItemTypes type, int count, QVector<double> const &options,
                                           bool fullStats)
{
    if (type < 0 || type >= NHistogramItemTypes)
        return;
    clearHistogramItems(type);
    count = std::max(0, count);
    m_peaks[type] = count;
    VRX_HistogramItemAxisWidget *strip = m_axisWidgets[type];
    const auto option = [&options](int i, double fallback) { return i < options.size() ? options[i] : fallback; };

    for (int i = 0; i < count; ++i) {
        VRX_HistogramItem *item = nullptr;
        switch (type) {
        case CoGHistogramItemType: {
            // Elements missing from a short vector take the estimator's own
            // defaults: Filtered mode, threshold 0, window half-width 1.
            auto *cog = new VRX_CoGHistogramItem(strip, fullStats);
            if (roundedOption(option(0, 0.0), 0) != 0)
                cog->setMode(VRX_CoGHistogramItem::Windowed, option(2, 1.0));
            else
                cog->setMode(VRX_CoGHistogramItem::Filtered, option(1, 0.0));
            item = cog;
            break;
        }
        case GaussabolaHistogramItemType: {
            auto *gb = new VRX_GaussabolaHistogramItem(strip, fullStats);
            typedef VRX_StatisticsHistogramItem::Gaussian::Gaussabola::Options Options;
            gb->setOptions(options.size() >= 3 ? Options(float(options[0]), float(options[1]), float(options[2]))
                                               : Options(1e-15f, 1e-14f, 0.98f));
            gb->setChiWindow(options.size() >= 4 ? roundedOption(options[3], 5) : 5);
            item = gb;
            break;
        }
        case RegressionHistogramItemType: {
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
            item = rg;
            break;
        }
        case PrecalculatedFitHistogramItemType:
            item = new VRX_PrecalculatedFitHistogramItem(strip, fullStats);
            break;
        default:
            break;
        }
        m_histogramItems[type].append(item);
    }

    if (_plotMode == HistogramPlotMode) {
        if (count > 0)
            strip->show();
        RequestReplot();
    }
}

const QVector<VRX_HistogramItem *> &VRXScopePlotView::histogramItems(HistogramItemTypes type) const
{
    static const QVector<VRX_HistogramItem *> none;
    return type >= 0 && type < NHistogramItemTypes ? m_histogramItems[type] : none;
}

VRX_HistogramItemAxisWidget *VRXScopePlotView::histogramAxisWidget(HistogramItemTypes type) const
{
    return type >= 0 && type < NHistogramItemTypes ? m_axisWidgets[type] : nullptr;
}

void VRXScopePlotView::toggleMLFC(bool on)
{
    for (int type : {GaussabolaHistogramItemType, RegressionHistogramItemType, PrecalculatedFitHistogramItemType})
        for (VRX_HistogramItem *item : qAsConst(m_histogramItems[type]))
            item->toggle_MLFC(on);
    if (_plotMode == HistogramPlotMode)
        RequestReplot();
}

void VRXScopePlotView::upload_MLFC_calibration_table(std::vector<double> *table)
{
    for (int type : {GaussabolaHistogramItemType, RegressionHistogramItemType, PrecalculatedFitHistogramItemType})
        for (VRX_HistogramItem *item : qAsConst(m_histogramItems[type]))
            item->upload_MLFC_calibration_table(table);
    if (_plotMode == HistogramPlotMode)
        RequestReplot();
}

void VRXScopePlotView::PlotHistogramMode()
{
    Q_D(VRXScopePlotView);
    QwtPlot *plot = qwtPlot();
    QAbstractItemModel *m = model();
    const int channels = m && d->vrxModel ? std::min(m->columnCount() - 1, int(MAX_CURVES)) : 0;
    const int row = m && d->vrxModel ? m->rowCount() - 1 : 0;
    if (row < 1 || channels < 1) {
        _histogram->detach();
        for (const QSharedPointer<QwtPlotMarker> &marker : qAsConst(d->m_plotMarkers))
            marker->detach();
        hideHistogramItems();
        plot->updateAxes();
        return;
    }

    const double t = m->index(row, 0).data(DataRole).toDouble();

    // v[c] for channel c; hidden channels are 0, and so are values that are
    // not numbers where a bar is drawn.
    QVector<double> v(channels + 1, 0.0);
    QVector<QwtIntervalSample> bars(channels);
    for (int c = 1; c <= channels; ++c) {
        const QVariant shown = m->index(0, c).data(Qt::CheckStateRole);
        if (!shown.isValid() || shown.toInt() != Qt::Unchecked)
            v[c] = d->vrxModel->doubleData(row, c);
        bars[c - 1] = QwtIntervalSample(std::isfinite(v[c]) ? v[c] : 0.0, c - 0.5, c + 0.5);
    }
    _histogram->setSamples(bars);
    _histogram->attach(plot);

    const Units::MeasurementUnit *xUnits = d->vrxModel->xUnits();
    if (!xUnits)
        xUnits = &VRXAbstractDeviceDataModel::defaultXUnits;
    int markerChannel[2] = {1, 1};
    for (int k = 0; k < 2 && k < d->m_plotMarkers.size(); ++k) {
        QwtPlotMarker *marker = d->m_plotMarkers[k].data();
        int ch = std::isfinite(marker->xValue()) ? int(std::floor(marker->xValue() + 0.5)) : 1;
        if (k < d->m_markerChannelHints.size() && d->m_markerChannelHints[k] >= 0)
            ch = d->m_markerChannelHints[k];
        if (ch < 1 || ch > channels)
            ch = 1;
        markerChannel[k] = ch;
        // The selection follows marker 0; selecting moves the marker to the
        // foot of its channel, so the value is set after it.
        if (k == 0 && d->m_markersPlaced)
            d->selectPoint(m->index(row, ch));
        marker->setValue(ch, std::isfinite(v[ch]) ? v[ch] : 0.0);

        const QModelIndex header = m->index(0, ch);
        QString text = markerLabelPattern().arg(xUnits->description(), xUnits->format(t),
                                                header.data(Qt::DisplayRole).toString(), number(v[ch]));
        marker->setLinePen(channelPen(brushOf(header.data(Qt::BackgroundRole))));
        marker->setLabelAlignment(ch >= 0.75 * channels ? Qt::AlignLeft | Qt::AlignTop
                                                        : Qt::AlignRight | Qt::AlignTop);

        if (k == 1) {
            QwtPlotMarker *marker0 = d->m_plotMarkers[0].data();
            if (marker0->plot() && marker->plot() && markerChannel[0] != ch) {
                const int lo = std::min(markerChannel[0], ch), hi = std::max(markerChannel[0], ch);
                using namespace boost::accumulators;
                accumulator_set<double, stats<tag::sum, tag::mean, tag::moment<2>, tag::error_of<tag::mean>>> acc;
                for (int c = lo; c <= hi; ++c)
                    acc(v[c]);
                const double n = hi - lo + 1, mean = boost::accumulators::mean(acc);
                double squares = 0;
                for (int c = lo; c <= hi; ++c)
                    squares += (v[c] - mean) * (v[c] - mean);
                text = histogramMarkerStatisticsPattern().arg(text)
                           .arg(boost::accumulators::sum(acc), 12, 'g')
                           .arg(mean, 12, 'g')
                           .arg(std::sqrt(squares / n), 12, 'g')
                           .arg(error_of<tag::mean>(acc), 12, 'g');
                if (hi - lo < 0.25 * channels) {
                    QwtPlotMarker *left = markerChannel[0] <= ch ? marker0 : marker;
                    left->setLabelAlignment(Qt::AlignLeft | Qt::AlignTop);
                }
            }
        }

        marker->setLabel(markerLabel(text));
    }

    if (_plotMode != SpectrogramPlotMode) {
        QVector<float> values, stats;
        for (int type = 0; type < NHistogramItemTypes; ++type) {
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
                    stats.append(float(d->vrxModel->doubleData(row, Fit0Column0 + p * q + j)));
                item->prepare(p * w, values, channels, stats);
                item->attach(plot);
            }
        }
    }

    const Units::MeasurementUnit *units = d->vrxModel->units();
    QwtText leftTitle(units ? units->description() : QStringLiteral("Number"));
    leftTitle.setFont(boldFont(10));
    plot->setAxisTitle(QwtPlot::yLeft, leftTitle);
    plot->updateAxes();
}

void VRXScopePlotView::setStripMarker(const MarkerData &marker, int which, const std::pair<int, int> &rows,
                                      const std::pair<double, double> &xRange)
{
    Q_D(VRXScopePlotView);
    QwtPlotMarker *plotMarker = d->m_plotMarkers[which].data();
    plotMarker->setValue(marker.markerTime, marker.markerValuePlot);

    const Units::MeasurementUnit *xUnits = d->vrxModel->xUnits();
    if (!xUnits)
        xUnits = &VRXAbstractDeviceDataModel::defaultXUnits;
    const QModelIndex header = model()->index(0, marker.markerChannel);
    QString text = markerLabelPattern().arg(xUnits->description(), xUnits->format(marker.markerTime),
                                            header.data(Qt::DisplayRole).toString(),
                                            number(marker.markerValueDisplay));
    plotMarker->setLinePen(channelPen(brushOf(header.data(Qt::BackgroundRole))));

    const double xLow = xRange.first;
    const double xHigh = xRange.second;
    if (xLow + 0.75 * (xHigh - xLow) > marker.markerTime)
        plotMarker->setLabelAlignment(Qt::AlignRight | Qt::AlignTop);
    else
        plotMarker->setLabelAlignment(Qt::AlignLeft | Qt::AlignTop);

    QwtPlotMarker *marker0 = d->m_plotMarkers[0].data();
    QwtPlotMarker *marker1 = d->m_plotMarkers[1].data();
    if (which == 0) {
        if (d->m_markersPlaced)
            d->selectPoint(model()->index(marker.markerTime_i, marker.markerChannel));
    } else if (marker0->plot() && marker1->plot() && rows.first >= 0 && rows.second >= 0) {
        const double dt = std::abs(marker0->xValue() - marker1->xValue());
        if (xUnits->type() == Units::Units_s) {
            int n = 0;
            double sum = 0.0;
            double sum2 = 0.0;
            const int to = std::max(rows.first, rows.second);
            for (int row = std::min(rows.first, rows.second); row <= to; ++row) {
                const double v = d->vrxModel->doubleData(row, marker.markerChannel);
                ++n;
                sum += v;
                sum2 += v * v;
            }
            const double mean = sum / n;
            const double rms = std::sqrt(sum2 / n);
            // Rounding can leave the variance of equal values a hair below 0.
            const double deviation = n > 1 ? std::sqrt(std::max((sum2 / n - mean * mean) * n / (n - 1), 0.0)) : 0.0;
            text = markerStatisticsPattern().arg(text, field12(xUnits->formatSuffix(dt)),
                                                 field12(hertz().formatSuffix(1.0 / dt)), field12(number(sum)),
                                                 field12(number(mean)), field12(number(rms)),
                                                 field12(number(deviation)));
        }
        if ((xHigh - xLow) * 0.25 > dt) {
            QwtPlotMarker *left = marker0->xValue() <= marker1->xValue() ? marker0 : marker1;
            left->setLabelAlignment(Qt::AlignLeft | Qt::AlignTop);
        }
    }

    plotMarker->setLabel(markerLabel(text));
}

void VRXScopePlotView::setStripAxisTitles()
{
    Q_D(VRXScopePlotView);
    QwtPlot *plot = qwtPlot();
    QString left;
    if (_yScaleMode == PlotScaleNormalize)
        left = QStringLiteral("Relative Value");
    else if (const Units::MeasurementUnit *units = d->vrxModel->units())
        left = units->description();
    else
        left = QStringLiteral("Number");
    QwtText leftTitle(left);
    leftTitle.setFont(boldFont(10));
    plot->setAxisTitle(QwtPlot::yLeft, leftTitle);

    const Units::MeasurementUnit *xUnits = d->vrxModel->xUnits();
    QwtText bottomTitle(xUnits ? xUnits->description() : VRXAbstractDeviceDataModel::defaultXUnits.description());
    bottomTitle.setFont(boldFont(8));
    plot->setAxisTitle(QwtPlot::xBottom, bottomTitle);
}

} // namespace Corvid_Qt
