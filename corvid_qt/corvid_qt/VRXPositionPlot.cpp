#include "VRXPositionPlot.h"

namespace Corvid_Qt {

VRXPositionPlot::VRXPositionPlot(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("VRXPositionPlot"));
}

VRXPositionPlot::~VRXPositionPlot() = default;

void VRXPositionPlot::setScale(int index)
{
    Q_UNUSED(index);
}

} // namespace Corvid_Qt
