#include "VRX_HistogramItem.h"

namespace Corvid_Qt {

int VRX_HistogramItem::numStats() const
{
    return 0;
}

void VRX_HistogramItem::toggle_MLFC(bool)
{
}

void VRX_HistogramItem::upload_MLFC_calibration_table(std::vector<double> *)
{
}

VRX_HistogramItem::~VRX_HistogramItem() = default;

} // namespace Corvid_Qt
