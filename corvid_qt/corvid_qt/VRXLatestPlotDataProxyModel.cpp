#include "VRXLatestPlotDataProxyModel.h"

#include "ChannelListMime_p.h"
#include "MeasurementUnit.h"
#include "UnitsRelay_p.h"
#include "VRXAbstractPlotDataModel.h"

#include <QtCore/QItemSelection>
#include <QtCore/QMetaMethod>
#include <QtCore/QMimeData>
#include <QtGui/QBrush>

#include <algorithm>

namespace Corvid_Qt {

class VRXLatestPlotDataProxyModelPrivate
{
public:
    explicit VRXLatestPlotDataProxyModelPrivate(VRXLatestPlotDataProxyModel *q)
        : q_ptr(q)
    {
    }

    void onRowsInserted();
    void onDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QVector<int> &roles);
    void onModelAboutToBeReset();
    void onModelDestroyed();

    int lastSourceRow() const { return model->rowCount() - 1; }

    VRXLatestPlotDataProxyModel *const q_ptr;
    QAbstractItemModel *model = nullptr;
    // Persistent so that it cannot outlive a reset of the table.
    QPersistentModelIndex editing;

    Q_DECLARE_PUBLIC(VRXLatestPlotDataProxyModel)
};

void VRXLatestPlotDataProxyModelPrivate::onRowsInserted()
{
    Q_Q(VRXLatestPlotDataProxyModel);
    const int n = q->rowCount();
    if (n == 0)
        return;
    const int e = editing.isValid() ? editing.row() : -1;
    if (e < 0 || e >= n) {
        emit q->dataChanged(q->index(0, 1), q->index(n - 1, 1));
        return;
    }
    if (e > 0)
        emit q->dataChanged(q->index(0, 1), q->index(e - 1, 1));
    if (n - 1 > e)
        emit q->dataChanged(q->index(e + 1, 1), q->index(n - 1, 1));
}

void VRXLatestPlotDataProxyModelPrivate::onDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                                       const QVector<int> &roles)
{
    Q_Q(VRXLatestPlotDataProxyModel);
    if (!topLeft.isValid() || !bottomRight.isValid())
        return;
    const int firstColumn = qMax(topLeft.column(), 1);
    const int lastColumn = qMin(bottomRight.column(), model->columnCount() - 1);
    if (firstColumn > lastColumn)
        return;
    const int last = lastSourceRow();
    const bool header = topLeft.row() == 0;
    // A range over all data rows (a unit change) covers the newest row too.
    const bool newest = last >= 1 && topLeft.row() <= last && last <= bottomRight.row();
    if (!header && !newest)
        return;
    emit q->dataChanged(q->index(firstColumn - 1, header ? 0 : 1),
                        q->index(lastColumn - 1, newest ? 1 : 0), roles);
    if (header && (roles.isEmpty() || roles.contains(Qt::CheckStateRole)))
        emit q->headerDataChanged(Qt::Horizontal, 0, 0);
}

void VRXLatestPlotDataProxyModelPrivate::onModelAboutToBeReset()
{
    Q_Q(VRXLatestPlotDataProxyModel);
    q->beginResetModel();
    editing = QPersistentModelIndex();
}

void VRXLatestPlotDataProxyModelPrivate::onModelDestroyed()
{
    Q_Q(VRXLatestPlotDataProxyModel);
    // The base must forget the dying model before the reset asks it
    // anything, whichever of its and this connection runs first.
    model = nullptr;
    q->QAbstractProxyModel::setSourceModel(nullptr);
    q->beginResetModel();
    editing = QPersistentModelIndex();
    q->endResetModel();
}

VRXLatestPlotDataProxyModel::VRXLatestPlotDataProxyModel(QObject *parent)
    : QAbstractProxyModel(parent)
    , d_ptr(new VRXLatestPlotDataProxyModelPrivate(this))
{
}

VRXLatestPlotDataProxyModel::~VRXLatestPlotDataProxyModel() = default;

void VRXLatestPlotDataProxyModel::setSourceModel(QAbstractItemModel *newSourceModel)
{
    Q_D(VRXLatestPlotDataProxyModel);
    if (newSourceModel == d->model)
        return;

    beginResetModel();
    if (d->model)
        disconnect(d->model, nullptr, this, nullptr);
    d->editing = QPersistentModelIndex();
    d->model = newSourceModel;
    QAbstractProxyModel::setSourceModel(newSourceModel);
    if (newSourceModel) {
        using M = QAbstractItemModel;
        connect(newSourceModel, &M::rowsInserted, this, [d]() { d->onRowsInserted(); });
        // Rows removed or moved at the end change which row is the newest.
        connect(newSourceModel, &M::rowsRemoved, this, [d]() { d->onRowsInserted(); });
        connect(newSourceModel, &M::rowsMoved, this, [d]() { d->onRowsInserted(); });
        // The source's channel columns are this table's rows: a channel
        // added, removed or moved changes the rows views hold.
        for (auto signal : {&M::columnsAboutToBeInserted, &M::columnsAboutToBeRemoved})
            connect(newSourceModel, signal, this, [d]() { d->onModelAboutToBeReset(); });
        for (auto signal : {&M::columnsInserted, &M::columnsRemoved})
            connect(newSourceModel, signal, this, &VRXLatestPlotDataProxyModel::endResetModel);
        connect(newSourceModel, &M::columnsAboutToBeMoved, this, [d]() { d->onModelAboutToBeReset(); });
        connect(newSourceModel, &M::columnsMoved, this, &VRXLatestPlotDataProxyModel::endResetModel);
        connect(newSourceModel, &QAbstractItemModel::dataChanged, this,
                [d](const QModelIndex &topLeft, const QModelIndex &bottomRight, const QVector<int> &roles) {
                    d->onDataChanged(topLeft, bottomRight, roles);
                });
        connect(newSourceModel, &QAbstractItemModel::modelAboutToBeReset, this, [d]() { d->onModelAboutToBeReset(); });
        connect(newSourceModel, &QAbstractItemModel::modelReset, this,
                &VRXLatestPlotDataProxyModel::endResetModel);
        connect(newSourceModel, &QObject::destroyed, this, [d]() { d->onModelDestroyed(); });
        connectUnitsChanged(newSourceModel, this, staticMetaObject.method(staticMetaObject.indexOfSlot("UpdateHeaders()")));
    }
    endResetModel();
}

QModelIndex VRXLatestPlotDataProxyModel::index(int row, int column, const QModelIndex &parent) const
{
    Q_ASSERT(!parent.isValid() || parent.model() == this);
    if (parent.isValid() || row < 0 || column < 0 || column > 1 || row >= rowCount())
        return QModelIndex();
    return createIndex(row, column);
}

QModelIndex VRXLatestPlotDataProxyModel::parent(const QModelIndex &child) const
{
    Q_ASSERT(!child.isValid() || child.model() == this);
    Q_UNUSED(child);
    return QModelIndex();
}

bool VRXLatestPlotDataProxyModel::hasChildren(const QModelIndex &parent) const
{
    Q_ASSERT(!parent.isValid() || parent.model() == this);
    return !parent.isValid() && rowCount() > 0;
}

int VRXLatestPlotDataProxyModel::rowCount(const QModelIndex &parent) const
{
    Q_ASSERT(!parent.isValid() || parent.model() == this);
    Q_D(const VRXLatestPlotDataProxyModel);
    if (!d->model || parent.isValid())
        return 0;
    return qMax(0, d->model->columnCount() - 1);
}

int VRXLatestPlotDataProxyModel::columnCount(const QModelIndex &parent) const
{
    Q_ASSERT(!parent.isValid() || parent.model() == this);
    return parent.isValid() ? 0 : 2;
}

QModelIndex VRXLatestPlotDataProxyModel::mapToSource(const QModelIndex &proxyIndex) const
{
    Q_ASSERT(!proxyIndex.isValid() || proxyIndex.model() == this);
    Q_D(const VRXLatestPlotDataProxyModel);
    if (!proxyIndex.isValid() || !d->model)
        return QModelIndex();
    switch (proxyIndex.column()) {
    case 0:
        return d->model->index(0, proxyIndex.row() + 1);
    case 1:
        return d->model->index(qMax(0, d->lastSourceRow()), proxyIndex.row() + 1);
    default:
        qFatal("Invalid model index passed to VRXLatestPlotDataProxyModel::mapToSource");
    }
    return QModelIndex();
}

QModelIndex VRXLatestPlotDataProxyModel::mapFromSource(const QModelIndex &sourceIndex) const
{
    Q_D(const VRXLatestPlotDataProxyModel);
    if (!d->model || !sourceIndex.isValid() || sourceIndex.model() != d->model || sourceIndex.column() < 1)
        return QModelIndex();
    if (sourceIndex.row() == 0)
        return index(sourceIndex.column() - 1, 0);
    if (sourceIndex.row() == d->lastSourceRow())
        return index(sourceIndex.column() - 1, 1);
    return QModelIndex();
}

QItemSelection VRXLatestPlotDataProxyModel::mapSelectionFromSource(const QItemSelection &sourceSelection) const
{
    Q_D(const VRXLatestPlotDataProxyModel);
    QItemSelection selection;
    if (!d->model)
        return selection;
    const int last = d->lastSourceRow();
    const int channels = rowCount();
    for (const QItemSelectionRange &range : sourceSelection) {
        if (!range.isValid() || range.model() != d->model || range.parent().isValid())
            continue;
        // Source columns 1..channels are proxy rows 0..channels - 1.
        const int first = std::max(range.left(), 1) - 1;
        const int end = std::min(range.right(), channels) - 1;
        if (first > end)
            continue;
        // Only the header row and the newest row show here; without data
        // the header row is both and shows as the channel cell.
        const bool header = range.top() == 0;
        const bool newest = last > 0 && range.top() <= last && last <= range.bottom();
        if (header || newest)
            selection.append(QItemSelectionRange(index(first, header ? 0 : 1), index(end, newest ? 1 : 0)));
    }
    return selection;
}

Qt::ItemFlags VRXLatestPlotDataProxyModel::flags(const QModelIndex &index) const
{
    Q_ASSERT(!index.isValid() || index.model() == this);
    Q_D(const VRXLatestPlotDataProxyModel);
    if (!index.isValid())
        return Qt::NoItemFlags; // drags only start from its rows; nothing drops here
    if (index.column() == 0)
        return Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled;
    return d->model ? d->model->flags(mapToSource(index)) : Qt::NoItemFlags;
}

QVariant VRXLatestPlotDataProxyModel::data(const QModelIndex &index, int role) const
{
    Q_ASSERT(!index.isValid() || index.model() == this);
    Q_D(const VRXLatestPlotDataProxyModel);
    if (!index.isValid() || !d->model)
        return QVariant();

    if (index.column() == 1 && d->model->rowCount() < 2) {
        switch (role) {
        case Qt::DisplayRole:
            return tr("N/A");
        case Qt::EditRole:
            return QStringLiteral("0");
        case Qt::BackgroundRole:
            return QBrush(Qt::black);
        case Qt::ForegroundRole:
            return QBrush(QColor(0, 255, 0, 255));
        case DataRole:
            return 0.0;
        default:
            return QVariant();
        }
    }

    const QModelIndex source = mapToSource(index);
    if (!source.isValid())
        return QVariant();
    if (index.column() == 0 && role == Qt::BackgroundRole) {
        const QVariant background = d->model->data(source, role);
        const QBrush brush = background.canConvert<QBrush>() ? qvariant_cast<QBrush>(background) : QBrush();
        return QBrush(brush.color().lighter(140));
    }
    return d->model->data(source, role);
}

QVariant VRXLatestPlotDataProxyModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    Q_D(const VRXLatestPlotDataProxyModel);
    if (orientation != Qt::Horizontal)
        return QVariant();

    switch (role) {
    case Qt::DisplayRole:
        if (section == 0)
            return tr("Channel");
        if (section == 1) {
            const auto *plotModel = dynamic_cast<const VRXAbstractPlotDataModel *>(d->model);
            if (plotModel && plotModel->units())
                return tr("Data (%1)").arg(plotModel->units()->name());
            return tr("Data");
        }
        return QVariant();
    case Qt::FontRole:
        return QAbstractProxyModel::headerData(section, orientation, role);
    case Qt::TextAlignmentRole:
        return int(Qt::AlignHCenter);
    case Qt::CheckStateRole: {
        if (section != 0)
            return QVariant();
        // The header box sums up the channels' boxes: all, none or some.
        const int rows = rowCount();
        int checked = 0;
        int unchecked = 0;
        for (int r = 0; r < rows; ++r) {
            const QVariant state = data(index(r, 0), Qt::CheckStateRole);
            if (!state.isValid())
                continue;
            switch (state.toInt()) {
            case Qt::Checked:
                ++checked;
                break;
            case Qt::Unchecked:
                ++unchecked;
                break;
            default:
                return int(Qt::PartiallyChecked);
            }
            if (checked && unchecked)
                return int(Qt::PartiallyChecked);
        }
        return int(checked ? Qt::Checked : Qt::Unchecked);
    }
    default:
        return QVariant();
    }
}

bool VRXLatestPlotDataProxyModel::setHeaderData(int section, Qt::Orientation orientation,
                                                const QVariant &value, int role)
{
    Q_D(VRXLatestPlotDataProxyModel);
    if (!d->model || section != 0 || orientation != Qt::Horizontal || role != Qt::CheckStateRole
        || !value.isValid())
        return false;
    // A partially checked request (a tristate click) checks everything.
    const Qt::CheckState state = value.toInt() == Qt::Unchecked ? Qt::Unchecked : Qt::Checked;
    bool ok = true;
    const int rows = rowCount();
    for (int r = 0; r < rows; ++r)
        ok = d->model->setData(mapToSource(index(r, 0)), int(state), Qt::CheckStateRole) && ok;
    return ok;
}

QStringList VRXLatestPlotDataProxyModel::mimeTypes() const
{
    return QStringList{ChannelListMime::type()};
}

QMimeData *VRXLatestPlotDataProxyModel::mimeData(const QModelIndexList &indexes) const
{
    return ChannelListMime::fromCells(this, indexes);
}

void VRXLatestPlotDataProxyModel::edit(const QModelIndex &index)
{
    Q_D(VRXLatestPlotDataProxyModel);
    d->editing = (index.isValid() && index.model() == this) ? QPersistentModelIndex(index)
                                                              : QPersistentModelIndex();
}

void VRXLatestPlotDataProxyModel::editingFinished()
{
    Q_D(VRXLatestPlotDataProxyModel);
    d->editing = QPersistentModelIndex();
}

void VRXLatestPlotDataProxyModel::UpdateHeaders()
{
    emit headerDataChanged(Qt::Horizontal, 0, 1);
}

} // namespace Corvid_Qt
