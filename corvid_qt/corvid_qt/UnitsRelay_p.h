#ifndef CORVID_QT_UNITSRELAY_P_H
#define CORVID_QT_UNITSRELAY_P_H

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

} // namespace Corvid_Qt

#endif
