#include "VRXSplitPlot.h"

namespace Corvid_Qt {

VRXSplitPlot::VRXSplitPlot(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("VRXSplitPlot"));
}

VRXSplitPlot::~VRXSplitPlot() = default;

void VRXSplitPlot::setScale(int index)
{
    Q_UNUSED(index);
}

} // namespace Corvid_Qt
