#ifndef CORVID_QT_MAPSPOT_H
#define CORVID_QT_MAPSPOT_H

#include <QtCore/QMetaType>

namespace Corvid_Qt {

/// One delivered spot of a scanned beam, in model units; size is the beam's
/// Gaussian sigma.
struct MapSpot {
    float x = 0;
    float y = 0;
    float dose = 0;
    float size = 0;
};

/// Columns of a spot map model as SpotMapView names them.
enum MapColumn {
    MapSpotNoColumn = 0,
    MapBeamSizeColumn = 1,
    MapXPosColumn = 2,
    MapYPosColumn = 3,
    MapDoseColumn = 4,
    MapColumnCount = 5
};

/// What a SpotMapView draws.
enum DisplayMode {
    DisplayData = 0,        ///< this map
    DisplayDiff = 1,        ///< where this map and the diff target differ
    DisplayDiffOverlay = 2  ///< this map with the difference added
};

} // namespace Corvid_Qt

Q_DECLARE_METATYPE(Corvid_Qt::MapSpot)

#endif
