#ifndef CORVID_QT_UNITSRELAY_P_H
#define CORVID_QT_UNITSRELAY_P_H

#include "VRXAbstractDeviceDataModel.h"

#include <QtCore/QMetaMethod>
#include <QtCore/QObject>

namespace Corvid_Qt {

/// Connects the source's unitsChanged() to `method` when the source has that
/// signal: device models do, and so may a host's own models. Looked up by
/// signature, because asking for a missing signal only prints a warning.
inline QMetaObject::Connection connectUnitsChanged(const QObject *source, const QObject *receiver,
                                                   const QMetaMethod &method)
{
    const QMetaObject *meta = source->metaObject();
    const int signal = meta->indexOfSignal("unitsChanged(const Corvid_Qt::Units::MeasurementUnit*)");
    if (signal < 0)
        return QMetaObject::Connection();
    return QObject::connect(source, meta->method(signal), receiver, method);
}

/// The unit values are shown in. A model may have none (a unit name its
/// host could not look up): its values then show as held, in the default
/// unit's notation.
inline const Units::MeasurementUnit &shownUnits(const Units::MeasurementUnit *units)
{
    return units ? *units : VRXAbstractDeviceDataModel::defaultUnits;
}

} // namespace Corvid_Qt

#endif
