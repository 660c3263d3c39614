#include "CorvidDesignerPlugins.h"

#include "CorvidWidgetPlugin.h"

#include <IntStepSpinBox.h>
#include <QScienceSpinBox.h>
#include <SpotMapView.h>
#include <SpotMapWidget.h>
#include <TreeComboBox.h>
#include <VRXLogBrowser.h>
#include <VRXPopOutTabWidget.h>
#include <VRXPositionPlot.h>
#include <VRXScope.h>
#include <VRXScopePlotView.h>
#include <VRXSpectrogram.h>
#include <VRXSplitPlot.h>
#include <VRXStatisticsSetupPage.h>
#include <VRXTableView.h>

namespace {

template <typename W>
CorvidWidgetDescription describe(const char *className, const char *extends, QSize defaultSize,
                                 const char *toolTip, const char *whatsThis)
{
    const QString name = QLatin1String(className);
    return {name,
            name.section(QStringLiteral("::"), -1) + QStringLiteral(".h"),
            QLatin1String(extends),
            QLatin1String(toolTip),
            QLatin1String(whatsThis),
            defaultSize,
            [](QWidget *parent) -> QWidget * { return new W(parent); }};
}

} // namespace

CorvidDesignerPlugins::CorvidDesignerPlugins(QObject *parent)
    : QObject(parent)
{
    using namespace Corvid_Qt;
    // SpectrogramPlot is left out: it sizes itself to keep its canvas
    // square inside the spectrogram, which fights a form's layouts.
    // Default sizes are at least each widget's minimum size hint, so that
    // Designer shows a new widget at the size given here. The spectrogram's
    // form (image, history plot and calculation panel side by side) needs
    // that much room.
    // Scope plotting.
    const QList<CorvidWidgetDescription> descriptions = {
        describe<VRXScopePlotView>(
            "Corvid_Qt::VRXScopePlotView", "QAbstractItemView", QSize(480, 320), "Scope plot view",
            "Strip chart, oscilloscope and beam-profile view of a device model chain; set the top "
            "proxy of the chain with setModel()."),
        describe<VRXScope>(
            "Corvid_Qt::VRXScope", "QWidget", QSize(860, 440), "Scope panel",
            "A scope plot view with its control bar; it builds the averaging and zeroing proxies "
            "over the device model given to setModel()."),
        // Two-dimensional chamber displays.
        describe<VRXSpectrogram>(
            "Corvid_Qt::VRXSpectrogram", "QWidget", QSize(1280, 1360), "Chamber spectrogram",
            "Pixelated or strip chamber frames as a colour map with beam position and size; feed "
            "frames with setData()."),
        describe<VRXPositionPlot>(
            "Corvid_Qt::VRXPositionPlot", "QWidget", QSize(360, 360), "Beam position plot",
            "Scatter of the beam's mean positions; feed positions one at a time."),
        describe<VRXSplitPlot>(
            "Corvid_Qt::VRXSplitPlot", "QWidget", QSize(420, 300), "Split chamber balance plot",
            "X and Y balance of a split strip chamber as bars."),
        // Spot maps.
        describe<SpotMapWidget>(
            "Corvid_Qt::SpotMapWidget", "QWidget", QSize(420, 440), "Spot map with controls",
            "A titled spot map view with its position and dose pane; set the spot model on "
            "spotMapView(), pair two widgets with setDiffTarget() for the difference."),
        describe<SpotMapView>(
            "Corvid_Qt::SpotMapView", "QAbstractItemView", QSize(400, 400), "Spot map view",
            "Scanned-beam spots of a layer and spot model drawn as Gaussian spots."),
        // Settings and input widgets.
        describe<VRXStatisticsSetupPage>(
            "Corvid_Qt::VRXStatisticsSetupPage", "QWidget", QSize(520, 500), "Statistics setup page",
            "Options of the beam-profile statistics, kept in a settings file; register plot views "
            "with it."),
        describe<QScienceSpinBox>(
            "Corvid_Qt::QScienceSpinBox", "QDoubleSpinBox", QSize(170, 30), "Scientific-notation spin box",
            "A double spin box that shows and accepts values in scientific notation."),
        describe<IntStepSpinBox>(
            "Corvid_Qt::IntStepSpinBox", "QSpinBox", QSize(100, 30), "Integer-step spin box",
            "A spin box that accepts only multiples of its step."),
        describe<VRXLogBrowser>(
            "Corvid_Qt::VRXLogBrowser", "QWidget", QSize(480, 240), "Log browser",
            "A log panel with error and warning highlighting and a clear button."),
        // Item-view helpers.
        describe<VRXTableView>(
            "Corvid_Qt::VRXTableView", "QTableView", QSize(320, 200), "Table view with corner caption",
            "A table view whose corner button carries a caption, for latest-data tables."),
        describe<TreeComboBox>(
            "Corvid_Qt::TreeComboBox", "QComboBox", QSize(160, 30), "Tree combo box",
            "A combo box that drops down a tree of the model's rows."),
        describe<VRXPopOutTabWidget>(
            "Corvid_Qt::VRXPopOutTabWidget", "QTabWidget", QSize(400, 300), "Pop-out tab widget",
            "A tab widget whose pages can be torn off into windows of their own."),
    };
    for (CorvidWidgetDescription description : descriptions) {
        description.container = description.extends == QLatin1String("QTabWidget");
        m_widgets.append(new CorvidWidgetPlugin(description, this));
    }
}

QList<QDesignerCustomWidgetInterface *> CorvidDesignerPlugins::customWidgets() const
{
    return m_widgets;
}
