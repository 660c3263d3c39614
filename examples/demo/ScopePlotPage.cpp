#include "ScopePlotPage.h"

#include "SimulatedCurrentReader.h"

#include <MeasurementUnit.h>
#include <VRXAveragingProxyModel.h>
#include <VRXMultichannelProxyModel.h>
#include <VRXScopePlotView.h>
#include <VRXSingleChannelDataModel.h>
#include <VRXZeroingProxyModel.h>

#include <QtGui/QMouseEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QVBoxLayout>

#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_scale_map.h>

using namespace Corvid_Qt;

namespace {

// Samples across the strip: 2.5 s at 1 kHz, so a pause fits in the window.
const int kWindow = 2500;

} // namespace

ScopePlotPage::ScopePlotPage(QWidget *parent)
    : DemoPage(tr("Scope plot"), parent)
    , m_units(Units::MeasurementUnit::fromType(Units::Units_nA))
    , m_merged(new VRXMultichannelProxyModel(this))
    , m_averaged(new VRXAveragingProxyModel(this))
    , m_zeroed(new VRXZeroingProxyModel(this))
    , m_view(new VRXScopePlotView(this))
    , m_mode(new QComboBox(this))
    , m_samples(new QLabel(this))
{
    QVector<VRXSingleChannelDataModel *> models;
    for (int c = 0; c < SimulatedCurrentReader::channels; ++c) {
        auto *model = new VRXSingleChannelDataModel(m_merged);
        model->setChannelName(QStringLiteral("I%1").arg(c + 1));
        model->setPlotWidthHintPoints(kWindow);
        model->SetUnits(m_units.get());
        m_merged->addSourceModel(model);
        models.append(model);
    }
    m_reader = new SimulatedCurrentReader(models, this);
    m_averaged->setSourceModel(m_merged);
    m_zeroed->setSourceModel(m_averaged);

    m_view->setModel(m_zeroed);
    m_view->SetYScaleMode(VRXScopePlotView::PlotScaleAuto);
    m_view->SetPlotMode(VRXScopePlotView::StripPlotMode);
    m_view->SetBufferSizeLabel(m_samples);

    m_mode->addItems({tr("Strip chart"), tr("Scope")});
    connect(m_mode, qOverload<int>(&QComboBox::currentIndexChanged), m_view,
            qOverload<int>(&VRXScopePlotView::SetPlotMode));

    auto *controls = new QHBoxLayout;
    controls->addWidget(new QLabel(tr("Mode:"), this));
    controls->addWidget(m_mode);
    controls->addStretch();
    controls->addWidget(m_samples);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addLayout(controls);

    m_reader->start();
}

ScopePlotPage::~ScopePlotPage()
{
    // Each layer reads the one below to the end: take them away from the top.
    m_reader->stop();
    delete m_view;
    delete m_zeroed;
    delete m_averaged;
    delete m_merged;
}

void ScopePlotPage::clickAt(double time, double value, Qt::MouseButton button)
{
    // A click where a user would click: on the canvas, at the point that
    // shows this time and value.
    auto *plot = m_view->findChild<QwtPlot *>();
    QWidget *canvas = plot->canvas();
    const QPointF pos(plot->canvasMap(QwtPlot::xBottom).transform(time),
                      plot->canvasMap(QwtPlot::yLeft).transform(value));
    QMouseEvent press(QEvent::MouseButtonPress, pos, canvas->mapToGlobal(pos.toPoint()), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(canvas, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, pos, canvas->mapToGlobal(pos.toPoint()), button,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &release);
    QApplication::processEvents();
}

QStringList ScopePlotPage::writePictures(const QString &dir, const QString &prefix)
{
    // A fixed stretch of 4.5 s with the pause at 2.0 .. 2.35 s in the window.
    m_reader->replay(4.5);
    m_mode->setCurrentIndex(0);
    QApplication::processEvents();

    // Marker 0 on a beam pulse, marker 1 on the next one.
    clickAt(3.0105, 2.5, Qt::LeftButton);
    clickAt(3.2605, 2.5, Qt::RightButton);
    QStringList files;
    files << grabTo(dir, prefix, QStringLiteral("strip"));

    m_mode->setCurrentIndex(1);
    QApplication::processEvents();
    files << grabTo(dir, prefix, QStringLiteral("scope"));

    m_mode->setCurrentIndex(0);
    m_reader->start();
    files.removeAll(QString());
    return files;
}
