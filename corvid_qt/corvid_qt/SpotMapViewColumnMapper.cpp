#include "SpotMapViewColumnMapper.h"

namespace Corvid_Qt {

SpotMapViewColumnMapper::~SpotMapViewColumnMapper() = default;

int SpotMapViewColumnMapper::mapColumnToSource(MapColumn column) const
{
    return column;
}

} // namespace Corvid_Qt
