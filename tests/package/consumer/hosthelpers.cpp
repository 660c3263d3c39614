// A host that takes the helpers of the HostHelpers component: linked
// selections across the library's proxies, a squeezed label, single instance.
#include <VRXLatestPlotDataProxyModel.h>
#include <VRXSingleChannelDataModel.h>

#include <KItemModels/KLinkItemSelectionModel>
#include <KWidgetsAddons/KSqueezedTextLabel>
#include <singleapplication.h>

#include <QtCore/QItemSelectionModel>
#include <QtWidgets/QApplication>
#include <cstdio>

using namespace Corvid_Qt;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    VRXSingleChannelDataModel channel;
    channel.AddData(0.0, 1.0);
    channel.AddData(0.001, 2.0);
    VRXLatestPlotDataProxyModel latest;
    latest.setSourceModel(&channel);

    // A plot view's selection over the channel model, and a table's over the
    // latest-data proxy, kept in step.
    QItemSelectionModel plotSelection(&channel);
    KLinkItemSelectionModel tableSelection(&latest, &plotSelection);
    tableSelection.select(latest.index(0, 1), QItemSelectionModel::ClearAndSelect);
    const bool linked = plotSelection.isSelected(channel.index(channel.rowCount() - 1, 1));

    // A long channel name in a narrow label keeps its full text for the tool tip.
    KSqueezedTextLabel label;
    label.resize(60, 20);
    label.setText(QStringLiteral("a channel name far too long for a narrow label"));
    const bool squeezed = label.fullText().size() > label.text().size();
    // Debian builds the single-instance helper on QCoreApplication.
    const bool single = SingleApplication::staticMetaObject.superClass() == &QCoreApplication::staticMetaObject;

    std::printf("linked=%d squeezed=%d single=%d\n", linked, squeezed, single);
    return linked && squeezed && single ? 0 : 1;
}
