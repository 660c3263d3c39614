#ifndef CORVID_QT_SINGLECHANNELMODELFACTORY_H
#define CORVID_QT_SINGLECHANNELMODELFACTORY_H

#include "AbstractChannelModelFactory.h"
#include "corvid_qt_export.h"

namespace Corvid_Qt {

/**
 * Makes one VRXSingleChannelDataModel per request, named after the first
 * channel of the list; its channel is column 1. The default factory of
 * VRXMultichannelProxyModel.
 */
class CORVID_QT_EXPORT SingleChannelModelFactory : public AbstractChannelModelFactory
{
    Q_OBJECT

public:
    explicit SingleChannelModelFactory(QObject *parent = nullptr);
    ~SingleChannelModelFactory() override;

    using AbstractChannelModelFactory::createModel;
    QAbstractItemModel *createModel(const QStringList &channels, int *firstColumn, QObject *parent) override;
};

} // namespace Corvid_Qt

#endif
