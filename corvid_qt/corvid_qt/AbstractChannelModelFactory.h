#ifndef CORVID_QT_ABSTRACTCHANNELMODELFACTORY_H
#define CORVID_QT_ABSTRACTCHANNELMODELFACTORY_H

#include "corvid_qt_export.h"

#include <QtCore/QObject>
#include <QtCore/QStringList>

class QAbstractItemModel;

namespace Corvid_Qt {

/**
 * Makes the device model behind a channel that a multichannel proxy is asked
 * to add by name. The new model belongs to `parent` (the caller's choice);
 * `*firstColumn`, when the pointer is given, is set to the model's column
 * that shows the first of the named channels.
 */
class CORVID_QT_EXPORT AbstractChannelModelFactory : public QObject
{
    Q_OBJECT

public:
    explicit AbstractChannelModelFactory(QObject *parent = nullptr);
    ~AbstractChannelModelFactory() override;

    /// A new model for the named channels, or null when none can be made.
    virtual QAbstractItemModel *createModel(const QStringList &channels, int *firstColumn, QObject *parent) = 0;
    /// The same for one channel.
    QAbstractItemModel *createModel(const QString &channel, int *firstColumn, QObject *parent);
};

} // namespace Corvid_Qt

#endif
