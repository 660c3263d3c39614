#include "VRX_HistogramItemAxisWidget.h"

#include "VRX_StatisticsHistogramItem.h"

#include <QtCore/QtMath>
#include <cmath>
#include <QtGui/QHelpEvent>
#include <QtGui/QResizeEvent>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QToolTip>
#include <qwt_plot.h>
#include <qwt_scale_map.h>
#include <qwt_scale_widget.h>

namespace Corvid_Qt {

namespace {

// The strip's texts change on every frame, often several times (once per
// attached item). Laying the scale out each time would measure every panel
// again and again, so the layout waits until the strip is painted or the
// event loop runs, whichever comes first.
class StripScaleWidget : public QwtScaleWidget
{
public:
    explicit StripScaleWidget(QWidget *parent)
        : QwtScaleWidget(QwtScaleDraw::TopScale, parent)
    {
    }

    void markStale()
    {
        m_stale = true;
        update();
    }

    void layoutIfStale()
    {
        if (!m_stale)
            return;
        m_stale = false;
        layoutScale(false);
        // The panels are fitted to where the scale puts their ticks; a new
        // size or row moves the scale's ends, so it is laid out again.
        if (auto *draw = dynamic_cast<VRX_StatisticsHistogramItem::ScaleDraw *>(scaleDraw())) {
            const auto *strip = qobject_cast<const VRX_HistogramItemAxisWidget *>(parentWidget());
            if (draw->arrangePanels(font(), strip ? strip->panelHeightBudget() : QWIDGETSIZE_MAX))
                layoutScale(false);
        }
        // Taller or shorter panels change the strip's height.
        const int extent = qCeil(scaleDraw()->extent(font()));
        if (extent != m_extent) {
            m_extent = extent;
            updateGeometry();
        }
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        layoutIfStale();
        QwtScaleWidget::paintEvent(event);
    }

    void resizeEvent(QResizeEvent *event) override
    {
        QwtScaleWidget::resizeEvent(event);
        markStale();
    }

    // Short panels carry their full text as a tool tip.
    bool event(QEvent *event) override
    {
        if (event->type() != QEvent::ToolTip)
            return QwtScaleWidget::event(event);
        const auto *help = static_cast<QHelpEvent *>(event);
        QString tip;
        if (const auto *draw = dynamic_cast<const VRX_StatisticsHistogramItem::ScaleDraw *>(scaleDraw()))
            tip = draw->panelToolTip(help->pos());
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), tip, this);
        }
        return true;
    }

private:
    bool m_stale = false;
    int m_extent = -1;
};

} // namespace

VRX_HistogramItemAxisWidget::VRX_HistogramItemAxisWidget(QwtPlot *plot)
    : QWidget(nullptr)
    , m_axisWidget(new StripScaleWidget(this))
    , m_plot(plot)
    , m_title(new QLabel(this))
    , m_alignPending(false)
    , m_growingAxis(false)
{
    // The item types colour their strips with style sheets.
    setAttribute(Qt::WA_StyledBackground, true);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_title->setWordWrap(true);
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setContentsMargins(0, 0, 0, 0);
    m_title->setMargin(0);
    layout->addWidget(m_title);

    m_axisWidget->setAlignment(QwtScaleDraw::TopScale);
    m_axisWidget->setMargin(0);
    layout->addWidget(m_axisWidget);
    layout->addStretch();

    if (m_plot) {
        m_title->setFixedWidth(m_plot->canvas()->x());
        m_axisWidget->setFixedWidth(m_plot->canvas()->width());
        connect(m_plot->axisWidget(QwtPlot::yLeft), &QwtScaleWidget::scaleDivChanged, this,
                &VRX_HistogramItemAxisWidget::updateLayout);
    }
}

VRX_HistogramItemAxisWidget::~VRX_HistogramItemAxisWidget() = default;

void VRX_HistogramItemAxisWidget::setTitle(QString const &title)
{
    m_title->setText(title);
}

int VRX_HistogramItemAxisWidget::panelHeightBudget() const
{
    // The plot keeps at least half of the view; the shown strips share the rest.
    const QWidget *area = parentWidget();
    if (!area)
        return QWIDGETSIZE_MAX;
    int strips = 0;
    for (const auto *strip : area->findChildren<VRX_HistogramItemAxisWidget *>(QString(), Qt::FindDirectChildrenOnly))
        strips += strip->isVisibleTo(area) ? 1 : 0;
    return area->height() / 2 / qMax(1, strips);
}

int VRX_HistogramItemAxisWidget::titleWidthHint() const
{
    // The longest word on a line of its own: "Gaussabola" of "Gaussabola Fit".
    const QFontMetrics metrics = m_title->fontMetrics();
    int widest = 0;
    for (const QString &word : m_title->text().split(QLatin1Char(' '), Qt::SkipEmptyParts))
        widest = qMax(widest, metrics.horizontalAdvance(word));
    return widest > 0 ? widest + 4 : 0;
}

bool VRX_HistogramItemAxisWidget::event(QEvent *event)
{
    if (event->type() == QEvent::ParentAboutToChange && parentWidget()) {
        parentWidget()->removeEventFilter(this);
    } else if (event->type() == QEvent::ParentChange && parentWidget()) {
        // A taller or shorter view gives the panels more or less room.
        parentWidget()->installEventFilter(this);
    }
    return QWidget::event(event);
}

bool VRX_HistogramItemAxisWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize
        && static_cast<QResizeEvent *>(event)->oldSize().height() != static_cast<QResizeEvent *>(event)->size().height())
        scaleChanged();
    return QWidget::eventFilter(watched, event);
}

void VRX_HistogramItemAxisWidget::scaleChanged()
{
    static_cast<StripScaleWidget *>(m_axisWidget)->markStale();
    if (!m_alignPending) {
        m_alignPending = true;
        QMetaObject::invokeMethod(this, "alignToCanvas", Qt::QueuedConnection);
    }
}

void VRX_HistogramItemAxisWidget::updateLayout()
{
    if (!m_plot)
        return;
    m_plot->updateLayout();
    alignToCanvas();
}

void VRX_HistogramItemAxisWidget::alignToCanvas()
{
    m_alignPending = false;
    if (!m_plot)
        return;
    static_cast<StripScaleWidget *>(m_axisWidget)->layoutIfStale();

    // Where the plot maps its bottom axis interval, in plot coordinates;
    // before the plot has been laid out, the canvas itself.
    const QWidget *canvas = m_plot->canvas();
    const QwtScaleMap map = m_plot->canvasMap(QwtPlot::xBottom);
    double start = canvas->x();
    double length = canvas->width();
    if (map.pDist() > 1) {
        start = canvas->x() + qMin(map.p1(), map.p2());
        length = map.pDist();
    }

    // Panels near the ends push the scale inwards by the border distance;
    // widen the scale widget by as much so that its scale keeps the canvas
    // width and position.
    int bd0 = 0, bd1 = 0;
    m_axisWidget->getBorderDistHint(bd0, bd1);
    // A left axis narrower than a title's longest word would cut it: the
    // axis is made as wide as the widest need of the shown strips (which
    // share it), and no wider once that need goes.
    if (isVisible() && !m_growingAxis) {
        int missing = 0;
        bool any = false;
        const QWidget *area = parentWidget();
        const auto strips = area ? area->findChildren<VRX_HistogramItemAxisWidget *>(QString(), Qt::FindDirectChildrenOnly)
                                 : QList<VRX_HistogramItemAxisWidget *>{this};
        for (const VRX_HistogramItemAxisWidget *strip : strips) {
            if (!strip->isVisible() || strip->m_plot != m_plot)
                continue;
            int b0 = 0, b1 = 0;
            strip->m_axisWidget->getBorderDistHint(b0, b1);
            const int need = strip->titleWidthHint() - qMax(0, qRound(start) - b0);
            missing = any ? qMax(missing, need) : need;
            any = true;
        }
        QwtScaleDraw *left = m_plot->axisScaleDraw(QwtPlot::yLeft);
        const double wanted =
            qMax(0.0, std::ceil(left->extent(m_plot->axisWidget(QwtPlot::yLeft)->font())) + missing);
        if ((missing > 1 || (missing < -1 && left->minimumExtent() > 0))
            && std::fabs(wanted - left->minimumExtent()) >= 1) {
            left->setMinimumExtent(wanted);
            m_growingAxis = true;
            updateLayout();
            m_growingAxis = false;
            return;
        }
    }
    const int titleWidth = qMax(0, qRound(start) - bd0);
    const int scaleWidth = qMax(0, qRound(start + length) - titleWidth + bd1);
    if (m_title->width() != titleWidth || m_title->minimumWidth() != titleWidth)
        m_title->setFixedWidth(titleWidth);
    if (m_axisWidget->width() != scaleWidth || m_axisWidget->minimumWidth() != scaleWidth)
        m_axisWidget->setFixedWidth(scaleWidth);
}

} // namespace Corvid_Qt
