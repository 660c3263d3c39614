#include "SingleChannelModelFactory.h"

#include "VRXSingleChannelDataModel.h"

namespace Corvid_Qt {

SingleChannelModelFactory::SingleChannelModelFactory(QObject *parent)
    : AbstractChannelModelFactory(parent)
{
}

SingleChannelModelFactory::~SingleChannelModelFactory() = default;

QAbstractItemModel *SingleChannelModelFactory::createModel(const QStringList &channels, int *firstColumn,
                                                           QObject *parent)
{
    if (firstColumn)
        *firstColumn = 1;
    auto *model = new VRXSingleChannelDataModel(parent);
    if (!channels.isEmpty())
        model->setChannelName(channels.first());
    return model;
}

} // namespace Corvid_Qt
