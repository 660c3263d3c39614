#include "VRXPositionPlot.h"
#include "ui_VRXPositionPlot.h"

#include "Background.h"
#include "ChamberPlotSupport_p.h"

#include <QtCore/QEvent>
#include <QtCore/QTimer>
#include <QtCore/QVector>
#include <QtGui/QPainter>
#include <QtGui/QResizeEvent>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_layout.h>
#include <qwt_scale_map.h>

#include <cmath>

namespace Corvid_Qt {

/// Keeps itself square inside whatever space the layout gives it.
class PositionPlot : public QwtPlot
{
public:
    explicit PositionPlot(QWidget *parent) : QwtPlot(parent) {}

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        const int w = event->size().width();
        const int h = event->size().height();
        if (w > h + 1)
            resize(h, h);
        else if (w < h)
            resize(w, w);
        QwtPlot::resizeEvent(event);
    }
};

/// The newest position as a cross, over a cross-hair through the origin.
class PlotItem : public QwtPlotItem
{
public:
    PlotItem() { setZ(1.0); }

    int rtti() const override { return kChamberItemRtti; }

    void draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
              const QRectF &canvasRect) const override
    {
        const QPointF p(xMap.transform(x), yMap.transform(y));
        const QPointF o(xMap.transform(0.0), yMap.transform(0.0));
        const double d = canvasRect.width() / 10.0;

        // The origin goes first so that a beam sitting on it stays visible.
        painter->setPen(QPen(Qt::white, 2));
        painter->drawLine(QPointF(o.x(), canvasRect.top()), QPointF(o.x(), canvasRect.bottom()));
        painter->drawLine(QPointF(canvasRect.left(), o.y()), QPointF(canvasRect.right(), o.y()));

        painter->setPen(QPen(Qt::cyan, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->drawLine(QPointF(p.x() + d, p.y()), QPointF(p.x() - d, p.y()));
        painter->drawLine(QPointF(p.x(), p.y() + d), QPointF(p.x(), p.y() - d));
    }

    float x = 0.0f;
    float y = 0.0f;
};

VRXPositionPlot::VRXPositionPlot(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_VRXPositionPlot)
    , m_plot(nullptr)
    , m_points(new QwtPlotCurve)
    , m_plot_item(new PlotItem)
    , m_scale(1.0)
    , m_xmin(-1.0)
    , m_xmax(1.0)
    , m_ymin(-1.0)
    , m_ymax(1.0)
    , m_autoscale(true)
    , m_update(false)
    , m_pending(false)
    , m_timer(new QTimer(this))
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("VRXPositionPlot"));
    m_plot = new PositionPlot(ui->frame);
    ui->horizontalLayout_2->addWidget(m_plot);

    if (auto *canvas = qobject_cast<QwtPlotCanvas *>(m_plot->canvas()))
        canvas->setPaintAttribute(QwtPlotCanvas::ImmediatePaint, true);
    retranslate();
    m_plot->enableAxis(QwtPlot::yLeft, true);
    m_plot->enableAxis(QwtPlot::xBottom, true);
    m_plot->plotLayout()->setAlignCanvasToScales(true);
    updateScale();

    (new Background)->attach(m_plot);
    auto *grid = new QwtPlotGrid;
    grid->enableYMin(true);
    grid->setMajorPen(QColor(88, 88, 88), 0);
    grid->setMinorPen(QColor(48, 48, 48), 0);
    // Under the markers, which Qwt's default would not be.
    grid->setZ(0.5);
    grid->attach(m_plot);

    m_points->setStyle(QwtPlotCurve::Dots);
    m_points->setPen(QPen(Qt::blue, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    m_points->attach(m_plot);
    m_plot_item->attach(m_plot);

    connect(m_timer, &QTimer::timeout, this, &VRXPositionPlot::update);
    m_timer->start(100);
}

// The plot deletes its attached items.
VRXPositionPlot::~VRXPositionPlot() = default;

void VRXPositionPlot::setData(double x, double y)
{
    if (m_xhistory.size() >= size_t(kHistory)) {
        m_xhistory.erase(m_xhistory.begin());
        m_yhistory.erase(m_yhistory.begin());
    }
    m_xhistory.push_back(x);
    m_yhistory.push_back(y);
    // A position that is not a number (no beam to locate) stays in the
    // history, but only drawable dots reach the curve: one such point would
    // otherwise take the automatic axes off the others.
    QVector<QPointF> dots;
    dots.reserve(int(m_xhistory.size()));
    for (size_t i = 0; i < m_xhistory.size(); ++i) {
        if (std::isfinite(m_xhistory[i]) && std::isfinite(m_yhistory[i]))
            dots.append(QPointF(m_xhistory[i], m_yhistory[i]));
    }
    m_points->setSamples(dots);
    m_plot_item->x = float(x);
    m_plot_item->y = float(y);

    if (m_update)
        replot();
    else
        m_pending = true;
}

void VRXPositionPlot::update()
{
    m_update = true;
    if (m_pending)
        replot();
}

void VRXPositionPlot::replot()
{
    m_plot->replot();
    m_update = false;
    m_pending = false;
}

void VRXPositionPlot::updateScale()
{
    setChamberAxis(m_plot, QwtPlot::xBottom, m_autoscale, m_xmin * m_scale, m_xmax * m_scale);
    setChamberAxis(m_plot, QwtPlot::yLeft, m_autoscale, m_ymin * m_scale, m_ymax * m_scale);
}

void VRXPositionPlot::setXScale(double min, double max)
{
    m_xmin = min;
    m_xmax = max;
    updateScale();
}

void VRXPositionPlot::setYScale(double min, double max)
{
    m_ymin = min;
    m_ymax = max;
    updateScale();
}

void VRXPositionPlot::setScale(int index)
{
    if (index != 0)
        m_scale = chamberScaleFactor(index);
    m_autoscale = index == 0;
    updateScale();
}

void VRXPositionPlot::retranslate()
{
    m_plot->setAxisTitle(QwtPlot::yLeft, tr("Y Position"));
    m_plot->setAxisTitle(QwtPlot::xBottom, tr("X Position"));
}

void VRXPositionPlot::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::LanguageChange)
        return;
    ui->retranslateUi(this);
    retranslate();
}

} // namespace Corvid_Qt
