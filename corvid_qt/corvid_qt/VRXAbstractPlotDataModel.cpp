#include "VRXAbstractPlotDataModel.h"

namespace Corvid_Qt {

VRXAbstractPlotDataModel::DataFileWriter VRXAbstractPlotDataModel::dataFileWriter() const
{
    return {};
}

VRXAbstractPlotDataModel::~VRXAbstractPlotDataModel() = default;

bool VRXAbstractPlotDataModel::SavePixelatedDataToFile(const QString &, float, bool, bool) const
{
    return false;
}

int VRXAbstractPlotDataModel::NumberOfChannels() const
{
    return 1;
}

void VRXAbstractPlotDataModel::doubleDataRange(int column, int firstRow, int count, double *values) const
{
    for (int k = 0; k < count; ++k)
        values[k] = doubleData(firstRow + k, column);
}

} // namespace Corvid_Qt
