#include "VRXScopePlotView.h"
#include "VRXScopePlotView_p.h"

#include "CachedLabelMarker_p.h"
#include "CorvidLogging_p.h"
#include "MeasurementUnit.h"
#include "PlotGrid_p.h"
#include "PlotScaleDraw_p.h"
#include "RasterFill_p.h"
#include "VRXAbstractDeviceDataModel.h"
#include "VRXAbstractPlotDataModel.h"
#include "VRXDiscontinuousPlotCurve.h"
#include "VRXPlotColors.h"
#include "VRXPositionPlot.h"
#include "VRXSpectrogram.h"
#include "VRXSplitPlot.h"
#include "VRX_CoGHistogramItem.h"
#include "VRX_GaussabolaHistogramItem.h"
#include "VRX_HistogramItem.h"
#include "VRX_HistogramItemAxisWidget.h"
#include "VRX_PrecalculatedFitHistogramItem.h"
#include "VRX_RegressionHistogramItem.h"
#include "WallClockScaleDraw_p.h"
#include "ui_VRXScopePlotView.h"

#include <QtCore/QAbstractProxyModel>
#include <QtCore/QDebug>
#include <QtCore/QEvent>
#include <QtCore/QScopedValueRollback>
#include <QtGui/QBrush>
#include <QtGui/QPainter>
#include <QtGui/QPaintEvent>
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
#include <qwt_scale_draw.h>
#include <qwt_scale_widget.h>
#include <qwt_symbol.h>
#include <qwt_text.h>

#include <algorithm>
#include <cmath>

namespace Corvid_Qt {

namespace {

double scaleFactor(int mode)
{
    static const double factors[] = {1.0,    0.5,    0.2,    0.1,     0.05,    0.02,  0.01,
                                     0.005,  0.002,  0.001,  0.0005,  0.0002,  0.0001};
    return factors[mode - VRXScopePlotView::PlotScale100];
}

} // namespace

VRXScopePlotViewPrivate::VRXScopePlotViewPrivate(VRXScopePlotView *q)
    : q_ptr(q)
    , m_ui(new Ui_VRXScopePlotView)
    , m_histogram(new QwtPlotHistogram(QString()))
    , m_grid(new PlotGrid)
    , m_spectrogram(new VRXSpectrogram(q))
    , m_positionPlot(new VRXPositionPlot(q))
    , m_splitPlot(new VRXSplitPlot(q))
{
    m_plotMarkers.resize(NUM_CURSORS);
    m_markerChannelHints.resize(NUM_CURSORS);
    m_markerChannels.fill(0, NUM_CURSORS);
    m_markerPlaced.fill(false, NUM_CURSORS);
    m_markerDrawn.fill(false, NUM_CURSORS);
    for (int i = 0; i < NUM_CURSORS; ++i) {
        auto *marker = new CachedLabelMarker;
        marker->setLineStyle(QwtPlotMarker::VLine);
        marker->setLabelAlignment(Qt::AlignRight | Qt::AlignTop);
        marker->setLinePen(QPen(QBrush(Qt::green), 0, Qt::DashDotLine, Qt::SquareCap, Qt::BevelJoin));
        marker->setSymbol(new QwtSymbol(QwtSymbol::Diamond, QBrush(Qt::yellow), QPen(Qt::yellow), QSize(5, 5)));
        if (i > 0)
            marker->setAvoidedMarker(static_cast<CachedLabelMarker *>(m_plotMarkers[0].data()));
        m_plotMarkers[i] = QSharedPointer<QwtPlotMarker>(marker);
        m_markerChannelHints[i] = -1;
    }
}

VRXScopePlotViewPrivate::~VRXScopePlotViewPrivate()
{
    disconnectModel();
    clearCurves();
    for (int type = 0; type < VRXScopePlotView::NHistogramItemTypes; ++type)
        clearHistogramItems(type);
    // Someone may still hold a marker; the plot must not delete it, nor
    // may it look for the other one any more.
    detachMarkers();
    for (const QSharedPointer<QwtPlotMarker> &marker : qAsConst(m_plotMarkers))
        static_cast<CachedLabelMarker *>(marker.data())->setAvoidedMarker(nullptr);
}

void VRXScopePlotViewPrivate::init()
{
    Q_Q(VRXScopePlotView);
    q->setContentsMargins(0, 0, 0, 0);
    // The plot fills the view; a styled frame around it costs a good part of
    // a plot pass and shows nothing.
    q->setFrameStyle(QFrame::NoFrame);
    m_ui->setupUi(q->viewport());

    q->viewport()->setBackgroundRole(q->backgroundRole());
    q->viewport()->setForegroundRole(q->foregroundRole());
    // paintEvent() fills what the canvas leaves of the viewport.
    q->viewport()->setAutoFillBackground(false);
    q->viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    q->horizontalScrollBar()->setRange(0, 0);
    q->verticalScrollBar()->setRange(0, 0);
    q->setSelectionBehavior(QAbstractItemView::SelectColumns);
    q->setSelectionMode(QAbstractItemView::SingleSelection);

    QwtPlot *plot = this->plot();
    plot->setCanvasBackground(QBrush(Qt::black));
    if (auto *canvas = qobject_cast<QwtPlotCanvas *>(plot->canvas())) {
        canvas->setPaintAttribute(QwtPlotCanvas::BackingStore, true);
        canvas->setPaintAttribute(QwtPlotCanvas::Opaque, true);
        canvas->setPaintAttribute(QwtPlotCanvas::ImmediatePaint, false);
        canvas->setBorderRadius(0);
        canvas->setFrameStyle(QFrame::NoFrame);
    }
    plot->setAxisScaleDraw(QwtPlot::yLeft, new PlotScaleDraw);
    plot->setAxisScaleDraw(QwtPlot::xBottom, new PlotScaleDraw);
    plot->axisWidget(QwtPlot::yLeft)->setMargin(0);
    plot->axisWidget(QwtPlot::xBottom)->setMargin(0);
    plot->axisWidget(QwtPlot::xBottom)->setMinBorderDist(90, 20);
    plot->plotLayout()->setAlignCanvasToScales(true);
    plot->plotLayout()->setSpacing(0);

    plot->canvas()->installEventFilter(this);

    m_grid->enableXMin(false);
    m_grid->enableYMin(true);
    m_grid->setMajorPen(QPen(QColor(88, 88, 88), 0, Qt::SolidLine));
    m_grid->setMinorPen(QPen(QColor(48, 48, 48), 0, Qt::SolidLine));
    m_grid->attach(plot);

    m_histogram->setPen(QPen(QColor(Qt::yellow).darker(130)));
    m_histogram->setBrush(QBrush(Qt::yellow, Qt::SolidPattern));
    m_histogram->setStyle(QwtPlotHistogram::Columns);

    for (int button = 0; button < 2; ++button) {
        auto *picker = new QwtPlotPicker(QwtPlot::xBottom, QwtPlot::yLeft, QwtPicker::NoRubberBand,
                                         QwtPicker::ActiveOnly, plot->canvas());
        picker->setTrackerPen(QPen(Qt::white));
        picker->setStateMachine(new QwtPickerClickPointMachine);
        if (button == 0) {
            QObject::connect(picker, qOverload<const QPointF &>(&QwtPlotPicker::selected), q,
                             &VRXScopePlotView::SelectPoint1);
        } else {
            picker->setMousePattern(QwtEventPattern::MouseSelect1, Qt::RightButton);
            QObject::connect(picker, qOverload<const QPointF &>(&QwtPlotPicker::selected), q,
                             &VRXScopePlotView::SelectPoint2);
        }
    }
    QObject::connect(q->horizontalScrollBar(), &QScrollBar::valueChanged, q,
                     qOverload<int>(&VRXScopePlotView::scrollTo));

    for (int type = 0; type < VRXScopePlotView::NHistogramItemTypes; ++type) {
        m_axisWidgets[type] = new VRX_HistogramItemAxisWidget(plot);
        m_ui->verticalLayout->insertWidget(0, m_axisWidgets[type]);
        m_axisWidgets[type]->hide();
    }

    m_spectrogram->scaleEnabled(false);
    for (QWidget *widget : {static_cast<QWidget *>(m_spectrogram), static_cast<QWidget *>(m_positionPlot),
                            static_cast<QWidget *>(m_splitPlot)}) {
        m_ui->verticalLayout->insertWidget(0, widget);
        widget->hide();
    }
}

bool VRXScopePlotViewPrivate::eventFilter(QObject *watched, QEvent *event)
{
    Q_Q(VRXScopePlotView);
    if (event->type() == QEvent::Paint && watched == plot()->canvas()) {
        m_updatePending = false;
        m_replotRequired = true;
        q->Plot();
    }
    return false;
}

QwtPlot *VRXScopePlotViewPrivate::plot() const
{
    return m_ui->qwtPlot;
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

void VRXScopePlotViewPrivate::placeMarker(int which, QPointF pos)
{
    Q_Q(VRXScopePlotView);
    if (!m_plotMarkerEnabled)
        return;
    QwtPlotMarker *marker = m_plotMarkers[which].data();
    marker->detach();
    marker->setValue(pos);
    marker->attach(plot());
    m_markerChannelHints[which] = -1;
    m_markerChannels[which] = 0;
    m_markerPlaced[which] = true;
    m_markersPlaced = true;
    q->RequestReplotRefresh();
}

void VRXScopePlotViewPrivate::detachMarkers()
{
    for (const QSharedPointer<QwtPlotMarker> &marker : qAsConst(m_plotMarkers))
        marker->detach();
}

void VRXScopePlotViewPrivate::disconnectModel()
{
    for (const QMetaObject::Connection &connection : qAsConst(m_modelConnections))
        QObject::disconnect(connection);
    m_modelConnections.clear();
}

void VRXScopePlotViewPrivate::createCurves()
{
    for (int i = 0; i < m_numCurves; ++i) {
        if (m_curves[i])
            continue;
        auto curve = std::make_unique<VRXDiscontinuousPlotCurve>(VRXScopePlotView::tr("Channel %1").arg(i));
        curve->setPaintAttribute(QwtPlotCurve::ClipPolygons, true);
        curve->setStyle(QwtPlotCurve::Lines);
        m_curves[i] = std::move(curve);
    }
}

void VRXScopePlotViewPrivate::clearCurves()
{
    for (std::unique_ptr<QwtPlotCurve> &curve : m_curves)
        curve.reset();
    m_numCurves = 0;
}

bool VRXScopePlotViewPrivate::fitCurvesToColumns()
{
    Q_Q(VRXScopePlotView);
    const QAbstractItemModel *model = q->model();
    const int channels = model ? qBound(0, model->columnCount() - 1, int(VRXScopePlotView::MAX_CURVES)) : 0;
    if (channels == m_numCurves)
        return false;
    clearCurves();
    m_numCurves = channels;
    createCurves();
    return true;
}

void VRXScopePlotViewPrivate::detachCurves()
{
    for (int i = 0; i < m_numCurves; ++i) {
        if (m_curves[i])
            m_curves[i]->detach();
    }
}

void VRXScopePlotViewPrivate::setScrollBarShown(bool shown)
{
    Q_Q(VRXScopePlotView);
    const Qt::ScrollBarPolicy policy = shown ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (q->horizontalScrollBarPolicy() != policy)
        q->setHorizontalScrollBarPolicy(policy);
}

void VRXScopePlotViewPrivate::requestCanvasPaint()
{
    Q_Q(VRXScopePlotView);
    // Repeated requests before the repaint add nothing: the repaint runs one
    // pass over everything that arrived. A hidden canvas gets no repaint, so
    // its requests are not held back.
    if (m_updatePending)
        return;
    q->viewport()->update();
    QWidget *canvas = plot()->canvas();
    if (auto *plotCanvas = qobject_cast<QwtPlotCanvas *>(canvas))
        plotCanvas->replot();
    m_updatePending = canvas->isVisible();
}

void VRXScopePlotViewPrivate::updateBufferSizeLabel()
{
    if (!m_bufferSizeLabel)
        return;
    const int samples = m_rootModel ? std::max(m_rootModel->rowCount() - 1, 0) : 0;
    m_bufferSizeLabel->setText(QString::number(samples) + VRXScopePlotView::tr(" Samples"));
}

double VRXScopePlotViewPrivate::time(int row) const
{
    return m_vrxModel->doubleData(row, TimestampColumn);
}

PlotTimeIndex &VRXScopePlotViewPrivate::timeIndex()
{
    Q_Q(VRXScopePlotView);
    m_timeIndex.forgetRowsAfter(q->model()->rowCount() - 1);
    return m_timeIndex;
}

int VRXScopePlotViewPrivate::firstRow(PlotTimeIndex::Bound bound, double t, int lastRow)
{
    if (lastRow < 1)
        return -1;
    return timeIndex().firstRow(bound, t, lastRow, [this](int row) { return time(row); });
}

const Units::MeasurementUnit &VRXScopePlotViewPrivate::xUnits() const
{
    const Units::MeasurementUnit *units = m_vrxModel->xUnits();
    return units ? *units : VRXAbstractDeviceDataModel::defaultXUnits;
}

QwtText VRXScopePlotViewPrivate::markerLabel(const QString &text)
{
    QwtText label(text, QwtText::PlainText);
    label.setColor(VRXPlotColors::kLabelTextColor);
    label.setBackgroundBrush(QBrush(VRXPlotColors::kLabelBackgroundColor));
    QFont font(QStringLiteral("Monospace"), 9);
    font.setStyleHint(QFont::Monospace);
    label.setFont(font);
    return label;
}

QString VRXScopePlotViewPrivate::markerLabelText(const Units::MeasurementUnit &xUnits, double x,
                                                 const QModelIndex &header, double value)
{
    // Looked up on every label: the language may change while the view runs.
    const QString pattern = VRXScopePlotView::tr("%1: %2\nChannel %3\n%4");
    // Seconds since the epoch read as the local time, to the millisecond.
    if (xUnits.type() == Units::Units_s && WallClockScaleDraw::isEpochTime(x))
        return pattern.arg(VRXScopePlotView::tr("Time (local)"), WallClockScaleDraw::dateTimeText(x),
                           header.data(Qt::DisplayRole).toString(), number(value));
    return pattern.arg(xUnits.description(), xUnits.format(x), header.data(Qt::DisplayRole).toString(),
                       number(value));
}

QPen VRXScopePlotViewPrivate::channelPen(const QModelIndex &header)
{
    return QPen(header.data(Qt::BackgroundRole).value<QBrush>(), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

QString VRXScopePlotViewPrivate::number(double value)
{
    return QString::number(value, 'g', 6);
}

QString VRXScopePlotViewPrivate::statistic(double value)
{
    return std::isfinite(value) ? number(value) : VRXScopePlotView::tr("N/A");
}

QFont VRXScopePlotViewPrivate::boldFont(int pointSize)
{
    QFont font(QStringLiteral("Arial"), pointSize);
    font.setBold(true);
    return font;
}

int VRXScopePlotViewPrivate::toScrollUnits(double value)
{
    if (!(value == value))
        return 0;
    return qRound(std::max(-kScrollLimit, std::min(kScrollLimit, value)));
}

VRXScopePlotView::VRXScopePlotView(QWidget *parent)
    : QAbstractItemView(parent)
    , d_ptr(new VRXScopePlotViewPrivate(this))
{
    d_func()->init();
}

VRXScopePlotView::~VRXScopePlotView() = default;

QwtPlot *VRXScopePlotView::qwtPlot() const
{
    Q_D(const VRXScopePlotView);
    return d->plot();
}

QSharedPointer<QwtPlotMarker> VRXScopePlotView::plotMarker(int i) const
{
    Q_D(const VRXScopePlotView);
    return d->m_plotMarkers.value(i);
}

VRXScopePlotView::PlotMode VRXScopePlotView::plotMode() const
{
    Q_D(const VRXScopePlotView);
    return d->m_plotMode;
}

int VRXScopePlotView::yScaleMode() const
{
    Q_D(const VRXScopePlotView);
    return d->m_yScaleMode;
}

bool VRXScopePlotView::positiveOnly() const
{
    Q_D(const VRXScopePlotView);
    return d->m_positiveOnly;
}

bool VRXScopePlotView::pixelated() const
{
    Q_D(const VRXScopePlotView);
    return d->m_pixelated;
}

VRXSpectrogram *VRXScopePlotView::spectrogram()
{
    Q_D(VRXScopePlotView);
    return d->m_spectrogram;
}

VRXPositionPlot *VRXScopePlotView::positionPlot()
{
    Q_D(VRXScopePlotView);
    return d->m_positionPlot;
}

VRXSplitPlot *VRXScopePlotView::splitPlot()
{
    Q_D(VRXScopePlotView);
    return d->m_splitPlot;
}

void VRXScopePlotView::setPixelated(bool on)
{
    Q_D(VRXScopePlotView);
    d->m_spectrogram->setEnabled(on);
    d->m_pixelated = on;
}

void VRXScopePlotView::enablePlotMarker(bool on)
{
    Q_D(VRXScopePlotView);
    d->m_plotMarkerEnabled = on;
    if (!on) {
        d->m_markersPlaced = false;
        d->m_markerPlaced.fill(false);
        d->detachMarkers();
    }
}

void VRXScopePlotView::SetBufferSizeLabel(QLabel *label)
{
    Q_D(VRXScopePlotView);
    d->m_bufferSizeLabel = label;
}

bool VRXScopePlotView::SetRange(double low, double high)
{
    Q_D(VRXScopePlotView);
    if (low == d->m_rangeLow && high == d->m_rangeHigh)
        return false;
    d->m_rangeLow = low;
    d->m_rangeHigh = high;
    return true;
}

void VRXScopePlotView::setModel(QAbstractItemModel *model)
{
    Q_D(VRXScopePlotView);
    d->disconnectModel();

    d->clearCurves();
    d->m_vrxModel = dynamic_cast<VRXAbstractPlotDataModel *>(model);
    if (d->m_vrxModel) {
        if (model->columnCount() - 1 > MAX_CURVES) {
            qCWarning(lcCorvidQtPlot).nospace() << "VRXScopePlotView: the model has " << model->columnCount() - 1
                                                << " channels; the first " << MAX_CURVES
                                                << " are drawn as curves";
        }
        d->m_numCurves = qBound(0, model->columnCount() - 1, int(MAX_CURVES));
    } else {
        model = nullptr;
    }
    d->m_timeIndex.invalidate();

    QAbstractItemView::setModel(model);

    // A proxy without a source (one that merges several models) is itself
    // the bottom of the chain.
    QAbstractItemModel *root = model;
    while (auto *proxy = qobject_cast<QAbstractProxyModel *>(root)) {
        if (!proxy->sourceModel())
            break;
        root = proxy->sourceModel();
    }
    d->m_rootModel = root;

    d->createCurves();
    if (d->m_vrxModel && d->m_vrxModel->PlotWidthHintPoints() > 0)
        d->m_plotXCount = d->m_vrxModel->PlotWidthHintPoints();
    d->m_nextScopeRow = 1;

    if (model) {
        // The curves read the model directly; they must be gone before it is.
        d->m_modelConnections << connect(model, &QObject::destroyed, this, [d]() {
            d->m_vrxModel = nullptr;
            d->m_timeIndex.invalidate();
            d->clearCurves();
        });
        auto invalidate = [d]() { d->m_timeIndex.invalidate(); };
        d->m_modelConnections << connect(model, &QAbstractItemModel::layoutChanged, this, invalidate);
        d->m_modelConnections << connect(model, &QAbstractItemModel::rowsMoved, this, invalidate);
        // A host's model may add or take away channels without a reset.
        auto columnsChanged = [this, d]() {
            d->fitCurvesToColumns();
            RequestReplot();
        };
        d->m_modelConnections << connect(model, &QAbstractItemModel::columnsInserted, this, columnsChanged);
        d->m_modelConnections << connect(model, &QAbstractItemModel::columnsRemoved, this, columnsChanged);
        d->m_modelConnections << connect(model, &QAbstractItemModel::columnsMoved, this, columnsChanged);
    } else {
        d->detachMarkers();
        RequestReplot();
    }
    SetPlotMode(int(d->m_plotMode));
}

void VRXScopePlotView::reset()
{
    Q_D(VRXScopePlotView);
    QAbstractItemView::reset();
    d->m_timeIndex.invalidate();
    QAbstractItemModel *itemModel = model();
    if (!itemModel || !d->m_vrxModel) {
        d->clearCurves();
        return;
    }
    if (!d->fitCurvesToColumns()) {
        if (d->m_vrxModel->PlotWidthHintPoints() > 0)
            d->m_plotXCount = d->m_vrxModel->PlotWidthHintPoints();
        d->m_nextScopeRow = 1;
        d->m_scopeFromNewest = true;
        RequestReplot();
    }
}

void VRXScopePlotView::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                   const QVector<int> &roles)
{
    Q_D(VRXScopePlotView);
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
    if (topLeft.column() <= TimestampColumn)
        d->m_timeIndex.invalidateFrom(std::max(topLeft.row(), 1));
    RequestReplot();
}

void VRXScopePlotView::rowsInserted(const QModelIndex &parent, int start, int end)
{
    Q_D(VRXScopePlotView);
    if (parent.isValid() || !d->m_vrxModel)
        return;
    const int count = end - start + 1;
    d->m_timeIndex.invalidateFrom(start);

    const int hint = d->m_vrxModel->PlotWidthHintPoints();
    if (hint > 0)
        d->m_plotXCount = hint;
    else
        d->m_plotXCount = count < 6 ? 256 : count;
    if (start == 1) {
        d->m_nextScopeRow = 1;
        d->m_scopeFromNewest = true;
    }

    QAbstractItemView::rowsInserted(parent, start, end);
    RequestReplot();
}

void VRXScopePlotView::rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    Q_D(VRXScopePlotView);
    if (!parent.isValid()) {
        d->m_timeIndex.removeRows(start, end);
        // A full buffer announces its dropped sample here, before the new
        // one: the next sweep keeps its first reading.
        if (d->m_nextScopeRow > end)
            d->m_nextScopeRow -= end - start + 1;
        else if (d->m_nextScopeRow > start)
            d->m_nextScopeRow = start;
    }
    QAbstractItemView::rowsAboutToBeRemoved(parent, start, end);
}

void VRXScopePlotView::SetPlotMode(PlotMode plotMode)
{
    SetPlotMode(int(plotMode));
}

void VRXScopePlotView::SetPlotMode(int plotMode)
{
    Q_D(VRXScopePlotView);
    if (plotMode < StripPlotMode || plotMode > SplitPlotMode || !model())
        return;
    d->m_plotMode = PlotMode(plotMode);
    QwtPlot *plot = qwtPlot();

    switch (d->m_plotMode) {
    case StripPlotMode:
    case ScopePlotMode:
        d->m_histogram->detach();
        d->hideHistogramItems();
        plot->show();
        d->m_spectrogram->hide();
        d->m_positionPlot->hide();
        d->m_splitPlot->hide();
        d->setScrollBarShown(d->m_plotMode == StripPlotMode);
        d->m_scopeFromNewest = true;
        // The histogram's strips may have widened the left axis for their
        // titles; without them it goes back to its own width.
        plot->axisScaleDraw(QwtPlot::yLeft)->setMinimumExtent(0);
        plot->setAxisScaleDraw(QwtPlot::xBottom, new PlotScaleDraw);
        plot->setAxisMaxMajor(QwtPlot::xBottom, 6);
        plot->setAxisMaxMinor(QwtPlot::xBottom, 10);
        plot->axisWidget(QwtPlot::xBottom)->setMinBorderDist(90, 20);
        break;
    case HistogramPlotMode:
        d->detachCurves();
        plot->show();
        d->m_spectrogram->hide();
        d->m_positionPlot->hide();
        d->m_splitPlot->hide();
        d->setHistogramAxes();
        d->setScrollBarShown(false);
        break;
    case SpectrogramPlotMode:
    case PositionPlotMode:
    case SplitPlotMode:
        d->m_histogram->detach();
        d->hideHistogramItems();
        d->setScrollBarShown(false);
        plot->hide();
        d->m_spectrogram->setVisible(d->m_plotMode == SpectrogramPlotMode);
        d->m_positionPlot->setVisible(d->m_plotMode == PositionPlotMode);
        d->m_splitPlot->setVisible(d->m_plotMode == SplitPlotMode);
        break;
    }
    RequestReplot();
}

void VRXScopePlotView::SetYScaleMode(int scaleMode)
{
    Q_D(VRXScopePlotView);
    d->m_yScaleMode = PlotScales(scaleMode);
    QwtPlot *plot = qwtPlot();
    const double low = d->m_positiveOnly ? d->m_rangeLow * 0.1 : d->m_rangeLow;
    if (scaleMode == PlotScaleNormalize) {
        plot->setAxisScale(QwtPlot::yLeft, d->m_positiveOnly ? -0.1 : -1.0, 1.0);
    } else if (scaleMode >= PlotScale100 && scaleMode <= PlotScale0_01) {
        const double f = scaleFactor(scaleMode);
        plot->setAxisScale(QwtPlot::yLeft, low * f, d->m_rangeHigh * f);
    } else {
        plot->setAxisAutoScale(QwtPlot::yLeft, true);
    }
    d->m_spectrogram->setScale(scaleMode);
    d->m_positionPlot->setScale(scaleMode);
    d->m_splitPlot->setScale(scaleMode);
    RequestReplotRefresh();
}

void VRXScopePlotView::SetPositiveOnly(bool positiveOnly)
{
    Q_D(VRXScopePlotView);
    d->m_positiveOnly = positiveOnly;
    SetYScaleMode(d->m_yScaleMode);
}

void VRXScopePlotView::RequestReplot()
{
    Q_D(VRXScopePlotView);
    d->m_replotRequired = true;
    d->requestCanvasPaint();
    if (d->m_plotMode > HistogramPlotMode)
        Plot();
}

void VRXScopePlotView::RequestReplotRefresh()
{
    Q_D(VRXScopePlotView);
    if (d->m_plotMode == ScopePlotMode && !d->m_replotRequired)
        d->m_nextScopeRow = std::max(d->m_nextScopeRow - d->m_plotXCount, 1);
    d->m_replotRequired = true;
    d->requestCanvasPaint();
}

void VRXScopePlotView::scrollTo(int value)
{
    Q_D(VRXScopePlotView);
    Q_UNUSED(value);
    if (!d->m_plotting)
        RequestReplot();
}

void VRXScopePlotView::Plot()
{
    Q_D(VRXScopePlotView);
    if (d->m_plotMode <= HistogramPlotMode) {
        if (!model() || !d->m_vrxModel) {
            d->updateBufferSizeLabel();
            return;
        }
        if (d->m_plotting || !d->m_replotRequired)
            return;
        if (d->m_plotMode != ScopePlotMode && !isVisible())
            return;
        d->m_replotRequired = false;
        {
            QScopedValueRollback<bool> plotting(d->m_plotting, true);
            switch (d->m_plotMode) {
            case StripPlotMode:
                d->plotStripMode();
                break;
            case ScopePlotMode:
                d->plotScopeMode();
                break;
            default:
                d->plotHistogramMode();
                break;
            }
        }
    }
    d->updateBufferSizeLabel();
}

void VRXScopePlotView::SelectPoint1(QPointF pos)
{
    Q_D(VRXScopePlotView);
    d->placeMarker(0, pos);
}

void VRXScopePlotView::SelectPoint2(QPointF pos)
{
    Q_D(VRXScopePlotView);
    d->placeMarker(1, pos);
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
        if (d->m_plotMode == HistogramPlotMode)
            d->m_plotMarkers[0]->setValue(column, 0.0);
        for (const QSharedPointer<QwtPlotMarker> &marker : qAsConst(d->m_plotMarkers))
            marker->attach(qwtPlot());
        d->m_markerPlaced[0] = true;
        d->m_markersPlaced = true;
        if (sender() != this && !d->m_plotting)
            RequestReplotRefresh();
        return;
    }
    // Rows dropped from the front of a selected column deselect only those
    // rows; the markers go when nothing is selected any more.
    if (selectionModel() && selectionModel()->hasSelection())
        return;
    d->detachMarkers();
    if (!d->m_plotting) {
        d->m_markersPlaced = false;
        d->m_markerPlaced.fill(false);
    }
}

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
    if (d->m_plotMode != StripPlotMode || !index.isValid() || index.model() != model() || !d->m_vrxModel
        || hint == EnsureVisible)
        return;
    const int lastRow = model()->rowCount() - 1;
    bool sorted = false;
    const std::pair<int, int> run = d->shownRun(lastRow, &sorted);
    // Rows before a clock reset are not on the strip's scale.
    if (index.row() < run.first || index.row() > run.second || run.second - run.first < 1)
        return;

    // The window the strip pass shows once scrolled back.
    const double t = model()->index(index.row(), TimestampColumn).data(DataRole).toDouble();
    const double first = d->time(run.first);
    const double hintWidth = d->m_vrxModel->PlotWidthHint();
    const double width = hintWidth != 0.0
                             ? hintWidth
                             : (d->time(run.second) - first) / (run.second - run.first + 1) * d->m_plotXCount;
    double start = t;
    if (hint == PositionAtBottom)
        start = t - width;
    else if (hint == PositionAtCenter)
        start = t - width / 2.0;
    if (!std::isfinite(start) || !std::isfinite(first))
        return;
    QScrollBar *bar = horizontalScrollBar();
    bar->setValue(qBound(bar->minimum(), d->toScrollUnits((start - first) * d->m_scrollFactor), bar->maximum()));
}

void VRXScopePlotView::paintEvent(QPaintEvent *event)
{
    // Qt's own background fill goes row by row through the ring around the
    // opaque canvas, about 0.2 ms a repaint at 1200 x 600.
    QWidget *port = viewport();
    QPainter painter(port);
    const QBrush brush = port->palette().brush(port->backgroundRole());
    if (brush.style() == Qt::SolidPattern && fillRegionInPlace(&painter, event->region(), brush.color()))
        return;
    for (const QRect &rect : event->region())
        painter.fillRect(rect, brush);
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
    Q_D(const VRXScopePlotView);
    return d->m_plotMode == StripPlotMode ? horizontalScrollBar()->value() : 0;
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

void VRXScopePlotView::changeEvent(QEvent *event)
{
    Q_D(VRXScopePlotView);
    QAbstractItemView::changeEvent(event);
    if (event->type() != QEvent::LanguageChange)
        return;
    d->m_ui->retranslateUi(viewport());
    // The histogram axis is titled when the mode is entered; the other texts
    // are written by the next pass.
    if (d->m_plotMode == HistogramPlotMode && model())
        d->setHistogramAxes();
    const QString stripTitles[NHistogramItemTypes] = {
        VRX_GaussabolaHistogramItem::stripTitle(), VRX_CoGHistogramItem::stripTitle(),
        VRX_RegressionHistogramItem::stripTitle(), VRX_PrecalculatedFitHistogramItem::stripTitle()};
    for (int type = 0; type < NHistogramItemTypes; ++type) {
        if (!d->m_histogramItems[type].isEmpty())
            d->m_axisWidgets[type]->setTitle(stripTitles[type]);
    }
    for (int i = 0; i < d->m_numCurves; ++i)
        if (d->m_curves[i])
            d->m_curves[i]->setTitle(tr("Channel %1").arg(i));
    d->updateBufferSizeLabel();
    RequestReplotRefresh();
}

} // namespace Corvid_Qt
