#ifndef CORVID_QT_SPOTMAPVIEWCOLUMNMAPPER_H
#define CORVID_QT_SPOTMAPVIEWCOLUMNMAPPER_H

#include "MapSpot.h"
#include "corvid_qt_export.h"

namespace Corvid_Qt {

/// Tells SpotMapView in which model column it finds each MapColumn. The base
/// class maps every column to itself; a host whose model orders its columns
/// differently installs a subclass with SpotMapView::setColumnMapper().
class CORVID_QT_EXPORT SpotMapViewColumnMapper
{
public:
    virtual ~SpotMapViewColumnMapper();
    virtual int mapColumnToSource(MapColumn column) const;
};

} // namespace Corvid_Qt

#endif
