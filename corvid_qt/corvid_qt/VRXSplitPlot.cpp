#include "VRXSplitPlot.h"
#include "ui_VRXSplitPlot.h"

#include "Background.h"
#include "ChamberPlotSupport_p.h"

#include <QtCore/QTimer>
#include <QtGui/QPainter>
#include <qwt_plot.h>
#include <qwt_scale_map.h>

namespace Corvid_Qt {

class SplitPlot : public QwtPlot
{
public:
    explicit SplitPlot(QWidget *parent) : QwtPlot(parent) {}
};

/// The value as a cross on the bar, over a cross-hair through 0.
class SplitItem : public QwtPlotItem
{
public:
    SplitItem() { setZ(1.0); }

    int rtti() const override { return kChamberItemRtti; }

    void draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
              const QRectF &canvasRect) const override
    {
        const QPointF p(xMap.transform(value), yMap.transform(0.0));
        const QPointF o(xMap.transform(0.0), yMap.transform(0.0));
        const double d = canvasRect.width() / 20.0;

        painter->setPen(QPen(Qt::gray, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->drawLine(QPointF(o.x(), canvasRect.top()), QPointF(o.x(), canvasRect.bottom()));
        painter->drawLine(QPointF(canvasRect.left(), o.y()), QPointF(canvasRect.right(), o.y()));

        painter->setPen(QPen(Qt::cyan, 2));
        painter->drawLine(QPointF(p.x() - d, p.y()), QPointF(p.x() + d, p.y()));
        painter->drawLine(QPointF(p.x(), p.y() - d), QPointF(p.x(), p.y() + d));
    }

    double value = 0.0;
};

VRXSplitPlot::VRXSplitPlot(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_VRXSplitPlot)
    , m_scale(0.0)
    , m_min(-1.0)
    , m_max(1.0)
    , m_autoscale(true)
    , m_update(false)
    , m_timer(new QTimer(this))
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("VRXSplitPlot"));
    connect(m_timer, &QTimer::timeout, this, &VRXSplitPlot::update);
}

// The bars are children and delete their attached items.
VRXSplitPlot::~VRXSplitPlot() = default;

void VRXSplitPlot::setNumberPlots(int n)
{
    for (SplitPlot *plot : m_plots)
        delete plot;
    m_plots.clear();
    m_plot_items.clear();

    for (int i = 0; i < n; ++i) {
        auto *plot = new SplitPlot(this);
        auto *item = new SplitItem;
        m_plots.push_back(plot);
        m_plot_items.push_back(item);
        item->attach(plot);
        ui->verticalLayout->addWidget(plot);
        (new Background)->attach(plot);
        plot->enableAxis(QwtPlot::xBottom, true);
        plot->enableAxis(QwtPlot::yLeft, false);
        plot->setAxisScale(QwtPlot::yLeft, -0.2, 0.2, 0.1);
    }
    updateScale();
    m_timer->start(100);
}

int VRXSplitPlot::numberPlots() const
{
    return int(m_plots.size());
}

void VRXSplitPlot::setData(double value, int index)
{
    if (index < 0 || size_t(index) >= m_plots.size())
        return;
    m_plot_items[size_t(index)]->value = value;
    m_plots[size_t(index)]->replot();
}

void VRXSplitPlot::setData(double a, double b)
{
    if (!m_update)
        return;
    setData(a, 0);
    setData(b, 1);
    m_update = false;
}

void VRXSplitPlot::update()
{
    m_update = true;
}

void VRXSplitPlot::setAxisLabel(const QString &label, int index)
{
    if (index < 0 || size_t(index) >= m_plots.size())
        return;
    m_plots[size_t(index)]->setAxisTitle(QwtPlot::xBottom, label);
}

void VRXSplitPlot::updateScale()
{
    for (SplitPlot *plot : m_plots) {
        if (m_autoscale)
            plot->setAxisScale(QwtPlot::xBottom, -1.0, 1.0, 0.1);
        else
            setChamberAxis(plot, QwtPlot::xBottom, false, m_min * m_scale, m_max * m_scale);
    }
}

void VRXSplitPlot::setXScale(double min, double max)
{
    m_min = min;
    m_max = max;
    updateScale();
}

void VRXSplitPlot::setScale(int index)
{
    if (index != 0)
        m_scale = chamberScaleFactor(index);
    m_autoscale = index == 0;
    updateScale();
}

} // namespace Corvid_Qt
