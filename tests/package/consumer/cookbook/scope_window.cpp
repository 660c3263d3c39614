// Build a model chain and put a scope panel in a window.
#include <MeasurementUnit.h>
#include <VRXMultichannelProxyModel.h>
#include <VRXScope.h>
#include <VRXSingleChannelDataModel.h>

#include <QtWidgets/QMainWindow>

using namespace Corvid_Qt;

// One single-channel model per channel, merged into one table. The panel
// puts its averaging and zeroing proxies and its plot view on top.
QMainWindow *makeScopeWindow(const Units::MeasurementUnit *unit, QVector<VRXSingleChannelDataModel *> *channels)
{
    auto *window = new QMainWindow;
    // Made first, the panel is destroyed first: views go before their models.
    auto *scope = new VRXScope(window);
    auto *merged = new VRXMultichannelProxyModel(window);
    for (int c = 0; c < 4; ++c) {
        auto *channel = new VRXSingleChannelDataModel(merged);
        channel->setChannelName(QStringLiteral("I%1").arg(c + 1));
        channel->SetUnits(unit); // not owned: it must outlive the model
        merged->addSourceModel(channel);
        channels->append(channel);
    }
    scope->setModel(merged);
    scope->SetPlotMode(VRXScope::StripPlotMode);
    window->setCentralWidget(scope);
    return window;
}

// On the GUI thread, per reading: time in seconds, value in base units.
void addReading(VRXSingleChannelDataModel *channel, double seconds, double amperes)
{
    channel->AddData(seconds, amperes);
}
