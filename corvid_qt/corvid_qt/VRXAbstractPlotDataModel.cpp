#include "VRXAbstractPlotDataModel.h"

namespace Corvid_Qt {

VRXAbstractPlotDataModel::~VRXAbstractPlotDataModel() = default;

bool VRXAbstractPlotDataModel::SavePixelatedDataToFile(const QString &, float, bool, bool) const
{
    return false;
}

int VRXAbstractPlotDataModel::NumberOfChannels() const
{
    return 1;
}

} // namespace Corvid_Qt
