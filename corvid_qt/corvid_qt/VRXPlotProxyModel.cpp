#include "VRXPlotProxyModel.h"

#include "VRXAbstractDeviceDataModel.h"
#include "VRXSeriesData.h"

#include <QtCore/QItemSelection>
#include <QtCore/QPersistentModelIndex>
#include <QtCore/QVector>

namespace Corvid_Qt {

class VRXPlotProxyModelPrivate
{
    Q_DECLARE_PUBLIC(VRXPlotProxyModel)

public:
    explicit VRXPlotProxyModelPrivate(VRXPlotProxyModel *q)
        : q_ptr(q)
    {
    }

    void connectSource();
    void disconnectSource();

    void onRowsAboutToBeInserted(const QModelIndex &parent, int start, int end);
    void onRowsInserted(const QModelIndex &parent, int start, int end);
    void onRowsAboutToBeRemoved(const QModelIndex &parent, int start, int end);
    void onRowsRemoved(const QModelIndex &parent, int start, int end);
    void onRowsAboutToBeMoved(const QModelIndex &sourceParent, int sourceStart, int sourceEnd,
                              const QModelIndex &destParent, int dest);
    void onColumnsAboutToBeMoved(const QModelIndex &sourceParent, int sourceStart, int sourceEnd,
                                 const QModelIndex &destParent, int dest);
    void onMoved(Qt::Orientation orientation);
    void onDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QVector<int> &roles);
    void onLayoutAboutToBeChanged(const QList<QPersistentModelIndex> &sourceParents,
                                  QAbstractItemModel::LayoutChangeHint hint);
    void onLayoutChanged(const QList<QPersistentModelIndex> &sourceParents, QAbstractItemModel::LayoutChangeHint hint);
    void onModelDestroyed();

    QList<QPersistentModelIndex> mapParents(const QList<QPersistentModelIndex> &sourceParents) const;
    void beginFallbackLayoutChange();
    void endFallbackLayoutChange();

    VRXPlotProxyModel *const q_ptr;
    QAbstractItemModel *model = nullptr;
    VRXAbstractPlotDataModel *vrxModel = nullptr;
    QList<QPersistentModelIndex> layoutChangePersistentIndexes;
    QModelIndexList proxyIndexes;

    QVector<QMetaObject::Connection> connections;
    // A move the proxy could not announce as such goes out as a layout change.
    bool moveAsLayoutChange = false;
};

void VRXPlotProxyModelPrivate::connectSource()
{
    Q_Q(VRXPlotProxyModel);
    using M = QAbstractItemModel;
    connections.clear();
    connections << QObject::connect(model, &M::rowsAboutToBeInserted, q,
                                    [this](const QModelIndex &parent, int start, int end) {
                                        onRowsAboutToBeInserted(parent, start, end);
                                    });
    connections << QObject::connect(model, &M::rowsInserted, q, [this](const QModelIndex &parent, int start, int end) {
        onRowsInserted(parent, start, end);
    });
    connections << QObject::connect(model, &M::rowsAboutToBeRemoved, q,
                                    [this](const QModelIndex &parent, int start, int end) {
                                        onRowsAboutToBeRemoved(parent, start, end);
                                    });
    connections << QObject::connect(model, &M::rowsRemoved, q, [this](const QModelIndex &parent, int start, int end) {
        onRowsRemoved(parent, start, end);
    });
    connections << QObject::connect(model, &M::rowsAboutToBeMoved, q,
                                    [this](const QModelIndex &sourceParent, int start, int end,
                                           const QModelIndex &destParent, int dest) {
                                        onRowsAboutToBeMoved(sourceParent, start, end, destParent, dest);
                                    });
    connections << QObject::connect(model, &M::rowsMoved, q, [this]() { onMoved(Qt::Vertical); });
    connections << QObject::connect(model, &M::columnsAboutToBeInserted, q,
                                    [this](const QModelIndex &parent, int start, int end) {
                                        q_func()->beginInsertColumns(q_func()->mapFromSource(parent), start, end);
                                    });
    connections << QObject::connect(model, &M::columnsInserted, q, [this]() { q_func()->endInsertColumns(); });
    connections << QObject::connect(model, &M::columnsAboutToBeRemoved, q,
                                    [this](const QModelIndex &parent, int start, int end) {
                                        q_func()->beginRemoveColumns(q_func()->mapFromSource(parent), start, end);
                                    });
    connections << QObject::connect(model, &M::columnsRemoved, q, [this]() { q_func()->endRemoveColumns(); });
    connections << QObject::connect(model, &M::columnsAboutToBeMoved, q,
                                    [this](const QModelIndex &sourceParent, int start, int end,
                                           const QModelIndex &destParent, int dest) {
                                        onColumnsAboutToBeMoved(sourceParent, start, end, destParent, dest);
                                    });
    connections << QObject::connect(model, &M::columnsMoved, q, [this]() { onMoved(Qt::Horizontal); });
    connections << QObject::connect(model, &M::dataChanged, q,
                                    [this](const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                           const QVector<int> &roles) { onDataChanged(topLeft, bottomRight, roles); });
    connections << QObject::connect(model, &M::headerDataChanged, q, &VRXPlotProxyModel::headerDataChanged);
    connections << QObject::connect(model, &M::layoutAboutToBeChanged, q,
                                    [this](const QList<QPersistentModelIndex> &parents,
                                           QAbstractItemModel::LayoutChangeHint hint) {
                                        onLayoutAboutToBeChanged(parents, hint);
                                    });
    connections << QObject::connect(model, &M::layoutChanged, q,
                                    [this](const QList<QPersistentModelIndex> &parents,
                                           QAbstractItemModel::LayoutChangeHint hint) {
                                        onLayoutChanged(parents, hint);
                                    });
    connections << QObject::connect(model, &M::modelAboutToBeReset, q, [this]() { q_func()->beginResetModel(); });
    connections << QObject::connect(model, &M::modelReset, q, [this]() {
        Q_Q(VRXPlotProxyModel);
        q->sourceModelReset();
        q->endResetModel();
    });
    connections << QObject::connect(model, &QObject::destroyed, q, [this]() { onModelDestroyed(); });
}

void VRXPlotProxyModelPrivate::disconnectSource()
{
    for (const QMetaObject::Connection &c : qAsConst(connections))
        QObject::disconnect(c);
    connections.clear();
}

void VRXPlotProxyModelPrivate::onRowsAboutToBeInserted(const QModelIndex &parent, int start, int end)
{
    Q_Q(VRXPlotProxyModel);
    q->beginInsertRows(q->mapFromSource(parent), start, end);
}

void VRXPlotProxyModelPrivate::onRowsInserted(const QModelIndex &parent, int start, int end)
{
    Q_Q(VRXPlotProxyModel);
    q->sourceRowsInserted(parent, start, end);
    q->endInsertRows();
}

void VRXPlotProxyModelPrivate::onRowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    Q_Q(VRXPlotProxyModel);
    q->beginRemoveRows(q->mapFromSource(parent), start, end);
}

void VRXPlotProxyModelPrivate::onRowsRemoved(const QModelIndex &parent, int start, int end)
{
    Q_Q(VRXPlotProxyModel);
    q->sourceRowsRemoved(parent, start, end);
    q->endRemoveRows();
}

void VRXPlotProxyModelPrivate::onRowsAboutToBeMoved(const QModelIndex &sourceParent, int sourceStart, int sourceEnd,
                                                    const QModelIndex &destParent, int dest)
{
    Q_Q(VRXPlotProxyModel);
    if (!q->beginMoveRows(q->mapFromSource(sourceParent), sourceStart, sourceEnd, q->mapFromSource(destParent), dest))
        beginFallbackLayoutChange();
}

void VRXPlotProxyModelPrivate::onMoved(Qt::Orientation orientation)
{
    Q_Q(VRXPlotProxyModel);
    if (moveAsLayoutChange)
        endFallbackLayoutChange();
    else if (orientation == Qt::Vertical)
        q->endMoveRows();
    else
        q->endMoveColumns();
}

void VRXPlotProxyModelPrivate::onColumnsAboutToBeMoved(const QModelIndex &sourceParent, int sourceStart,
                                                      int sourceEnd, const QModelIndex &destParent, int dest)
{
    Q_Q(VRXPlotProxyModel);
    if (!q->beginMoveColumns(q->mapFromSource(sourceParent), sourceStart, sourceEnd, q->mapFromSource(destParent),
                             dest))
        beginFallbackLayoutChange();
}

void VRXPlotProxyModelPrivate::onDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                            const QVector<int> &roles)
{
    Q_Q(VRXPlotProxyModel);
    const QModelIndex proxyTopLeft = q->mapFromSource(topLeft);
    const QModelIndex proxyBottomRight = q->mapFromSource(bottomRight);
    q->sourceDataChanged(proxyTopLeft, proxyBottomRight);
    emit q->dataChanged(proxyTopLeft, proxyBottomRight, roles);
}

QList<QPersistentModelIndex> VRXPlotProxyModelPrivate::mapParents(const QList<QPersistentModelIndex> &sourceParents) const
{
    Q_Q(const VRXPlotProxyModel);
    QList<QPersistentModelIndex> parents;
    parents.reserve(sourceParents.size());
    for (const QPersistentModelIndex &parent : sourceParents)
        parents << QPersistentModelIndex(q->mapFromSource(parent));
    return parents;
}

void VRXPlotProxyModelPrivate::onLayoutAboutToBeChanged(const QList<QPersistentModelIndex> &sourceParents,
                                                               QAbstractItemModel::LayoutChangeHint hint)
{
    Q_Q(VRXPlotProxyModel);
    // Announced first, so that listeners can still make persistent indexes
    // that the change will then carry along.
    emit q->layoutAboutToBeChanged(mapParents(sourceParents), hint);
    const QModelIndexList persistent = q->persistentIndexList();
    for (const QModelIndex &proxyIndex : persistent) {
        proxyIndexes << proxyIndex;
        layoutChangePersistentIndexes << QPersistentModelIndex(q->mapToSource(proxyIndex));
    }
}

void VRXPlotProxyModelPrivate::onLayoutChanged(const QList<QPersistentModelIndex> &sourceParents,
                                                      QAbstractItemModel::LayoutChangeHint hint)
{
    Q_Q(VRXPlotProxyModel);
    for (int i = 0; i < proxyIndexes.size(); ++i)
        q->changePersistentIndex(proxyIndexes.at(i), q->mapFromSource(layoutChangePersistentIndexes.at(i)));
    layoutChangePersistentIndexes.clear();
    proxyIndexes.clear();
    emit q->layoutChanged(mapParents(sourceParents), hint);
}

void VRXPlotProxyModelPrivate::beginFallbackLayoutChange()
{
    moveAsLayoutChange = true;
    onLayoutAboutToBeChanged({}, QAbstractItemModel::NoLayoutChangeHint);
}

void VRXPlotProxyModelPrivate::endFallbackLayoutChange()
{
    moveAsLayoutChange = false;
    onLayoutChanged({}, QAbstractItemModel::NoLayoutChangeHint);
}

void VRXPlotProxyModelPrivate::onModelDestroyed()
{
    Q_Q(VRXPlotProxyModel);
    // The source is half destroyed: nothing of it may be called any more.
    q->beginResetModel();
    disconnectSource();
    model = nullptr;
    vrxModel = nullptr;
    q->sourceModelReset();
    q->endResetModel();
}

VRXPlotProxyModel::VRXPlotProxyModel(QObject *parent)
    : QAbstractProxyModel(parent)
    , d_ptr(new VRXPlotProxyModelPrivate(this))
{
}

VRXPlotProxyModel::~VRXPlotProxyModel()
{
    Q_D(VRXPlotProxyModel);
    d->disconnectSource();
}

void VRXPlotProxyModel::setSourceModel(QAbstractItemModel *sourceModel)
{
    Q_D(VRXPlotProxyModel);
    auto *plotModel = dynamic_cast<VRXAbstractPlotDataModel *>(sourceModel);
    if (sourceModel == d->model || !plotModel)
        return;

    beginResetModel();
    d->disconnectSource();
    QAbstractProxyModel::setSourceModel(sourceModel);
    d->model = sourceModel;
    d->vrxModel = plotModel;
    d->connectSource();
    sourceModelReset();
    endResetModel();
}

QModelIndex VRXPlotProxyModel::mapToSource(const QModelIndex &proxyIndex) const
{
    Q_ASSERT(!proxyIndex.isValid() || proxyIndex.model() == this);
    Q_D(const VRXPlotProxyModel);
    if (!d->model || !proxyIndex.isValid())
        return QModelIndex();
    return d->model->index(proxyIndex.row(), proxyIndex.column());
}

QModelIndex VRXPlotProxyModel::mapFromSource(const QModelIndex &sourceIndex) const
{
    Q_D(const VRXPlotProxyModel);
    if (!d->model || !sourceIndex.isValid())
        return QModelIndex();
    Q_ASSERT(sourceIndex.model() == d->model);
    return createIndex(sourceIndex.row(), sourceIndex.column());
}

QItemSelection VRXPlotProxyModel::mapSelectionToSource(const QItemSelection &selection) const
{
    QItemSelection mapped;
    for (const QItemSelectionRange &range : selection) {
        const QModelIndex topLeft = mapToSource(range.topLeft());
        const QModelIndex bottomRight = mapToSource(range.bottomRight());
        if (topLeft.isValid() && bottomRight.isValid())
            mapped.append(QItemSelectionRange(topLeft, bottomRight));
    }
    return mapped;
}

QItemSelection VRXPlotProxyModel::mapSelectionFromSource(const QItemSelection &selection) const
{
    QItemSelection mapped;
    for (const QItemSelectionRange &range : selection) {
        const QModelIndex topLeft = mapFromSource(range.topLeft());
        const QModelIndex bottomRight = mapFromSource(range.bottomRight());
        if (topLeft.isValid() && bottomRight.isValid())
            mapped.append(QItemSelectionRange(topLeft, bottomRight));
    }
    return mapped;
}

QModelIndex VRXPlotProxyModel::index(int row, int column, const QModelIndex &parent) const
{
    Q_ASSERT(!parent.isValid() || parent.model() == this);
    if (!hasIndex(row, column, parent))
        return QModelIndex();
    return createIndex(row, column);
}

QModelIndex VRXPlotProxyModel::parent(const QModelIndex &child) const
{
    Q_ASSERT(!child.isValid() || child.model() == this);
    Q_UNUSED(child);
    return QModelIndex();
}

QModelIndex VRXPlotProxyModel::sibling(int row, int column, const QModelIndex &idx) const
{
    Q_ASSERT(!idx.isValid() || idx.model() == this);
    if (!idx.isValid())
        return QModelIndex();
    return index(row, column);
}

int VRXPlotProxyModel::rowCount(const QModelIndex &parent) const
{
    Q_ASSERT(!parent.isValid() || parent.model() == this);
    Q_D(const VRXPlotProxyModel);
    if (!d->model)
        return 0;
    return parent.isValid() ? d->model->rowCount(mapToSource(parent)) : d->model->rowCount();
}

int VRXPlotProxyModel::columnCount(const QModelIndex &parent) const
{
    Q_ASSERT(!parent.isValid() || parent.model() == this);
    Q_D(const VRXPlotProxyModel);
    return d->model ? d->model->columnCount(mapToSource(parent)) : 0;
}

bool VRXPlotProxyModel::hasChildren(const QModelIndex &parent) const
{
    Q_ASSERT(!parent.isValid() || parent.model() == this);
    Q_D(const VRXPlotProxyModel);
    return d->model && d->model->hasChildren(mapToSource(parent));
}

QVariant VRXPlotProxyModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    Q_D(const VRXPlotProxyModel);
    return d->model ? d->model->headerData(section, orientation, role) : QVariant();
}

QMap<int, QVariant> VRXPlotProxyModel::itemData(const QModelIndex &index) const
{
    Q_ASSERT(!index.isValid() || index.model() == this);
    // Through data(), so that the values of a transforming subclass are the ones copied.
    return QAbstractItemModel::itemData(index);
}

bool VRXPlotProxyModel::insertRows(int row, int count, const QModelIndex &parent)
{
    Q_ASSERT(!parent.isValid() || parent.model() == this);
    Q_D(VRXPlotProxyModel);
    return d->model && d->model->insertRows(row, count, mapToSource(parent));
}

bool VRXPlotProxyModel::insertColumns(int column, int count, const QModelIndex &parent)
{
    Q_ASSERT(!parent.isValid() || parent.model() == this);
    Q_D(VRXPlotProxyModel);
    return d->model && d->model->insertColumns(column, count, mapToSource(parent));
}

bool VRXPlotProxyModel::removeRows(int row, int count, const QModelIndex &parent)
{
    Q_ASSERT(!parent.isValid() || parent.model() == this);
    Q_D(VRXPlotProxyModel);
    return d->model && d->model->removeRows(row, count, mapToSource(parent));
}

bool VRXPlotProxyModel::removeColumns(int column, int count, const QModelIndex &parent)
{
    Q_ASSERT(!parent.isValid() || parent.model() == this);
    Q_D(VRXPlotProxyModel);
    return d->model && d->model->removeColumns(column, count, mapToSource(parent));
}

bool VRXPlotProxyModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                     const QModelIndex &parent)
{
    Q_ASSERT(!parent.isValid() || parent.model() == this);
    Q_D(VRXPlotProxyModel);
    return d->model && d->model->dropMimeData(data, action, row, column, mapToSource(parent));
}

QModelIndexList VRXPlotProxyModel::match(const QModelIndex &start, int role, const QVariant &value, int hits,
                                         Qt::MatchFlags flags) const
{
    Q_ASSERT(!start.isValid() || start.model() == this);
    Q_D(const VRXPlotProxyModel);
    if (!d->model)
        return QModelIndexList();
    QModelIndexList found = d->model->match(mapToSource(start), role, value, hits, flags);
    for (QModelIndex &index : found)
        index = mapFromSource(index);
    return found;
}

int VRXPlotProxyModel::PlotWidthHintPoints() const
{
    Q_D(const VRXPlotProxyModel);
    return d->vrxModel ? d->vrxModel->PlotWidthHintPoints() : 256;
}

double VRXPlotProxyModel::PlotWidthHint() const
{
    Q_D(const VRXPlotProxyModel);
    return d->vrxModel ? d->vrxModel->PlotWidthHint() : 0.0;
}

bool VRXPlotProxyModel::SaveDataToFile(const QString &fileName) const
{
    Q_D(const VRXPlotProxyModel);
    return d->vrxModel && d->vrxModel->SaveDataToFile(fileName);
}

void VRXPlotProxyModel::Clear()
{
    Q_D(VRXPlotProxyModel);
    if (d->vrxModel)
        d->vrxModel->Clear();
}

const Units::MeasurementUnit *VRXPlotProxyModel::units() const
{
    Q_D(const VRXPlotProxyModel);
    return d->vrxModel ? d->vrxModel->units() : &VRXAbstractDeviceDataModel::defaultUnits;
}

const Units::MeasurementUnit *VRXPlotProxyModel::xUnits() const
{
    Q_D(const VRXPlotProxyModel);
    return d->vrxModel ? d->vrxModel->xUnits() : &VRXAbstractDeviceDataModel::defaultXUnits;
}

QwtSeriesData<QPointF> *VRXPlotProxyModel::seriesData(int column, int startRow, int endRow) const
{
    return new VRXSeriesData(*this, column, startRow, endRow);
}

int VRXPlotProxyModel::MaxBufferSize() const
{
    Q_D(const VRXPlotProxyModel);
    return d->vrxModel ? d->vrxModel->MaxBufferSize() : 0;
}

VRXAbstractPlotDataModel *VRXPlotProxyModel::sourcePlotModel()
{
    Q_D(VRXPlotProxyModel);
    return d->vrxModel;
}

const VRXAbstractPlotDataModel *VRXPlotProxyModel::sourcePlotModel() const
{
    Q_D(const VRXPlotProxyModel);
    return d->vrxModel;
}

void VRXPlotProxyModel::sourceRowsInserted(const QModelIndex &, int, int)
{
}

void VRXPlotProxyModel::sourceRowsRemoved(const QModelIndex &, int, int)
{
}

void VRXPlotProxyModel::sourceModelReset()
{
}

void VRXPlotProxyModel::sourceDataChanged(const QModelIndex &, const QModelIndex &)
{
}

} // namespace Corvid_Qt
