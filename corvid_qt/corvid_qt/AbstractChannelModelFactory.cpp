#include "AbstractChannelModelFactory.h"

namespace Corvid_Qt {

AbstractChannelModelFactory::AbstractChannelModelFactory(QObject *parent)
    : QObject(parent)
{
}

AbstractChannelModelFactory::~AbstractChannelModelFactory() = default;

QAbstractItemModel *AbstractChannelModelFactory::createModel(const QString &channel, int *firstColumn,
                                                             QObject *parent)
{
    return createModel(QStringList{channel}, firstColumn, parent);
}

} // namespace Corvid_Qt
