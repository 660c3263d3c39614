#include "VRXMultichannelProxyModel.h"

#include "AbstractChannelModelFactory.h"
#include "ChannelListMime_p.h"
#include "CorvidLogging_p.h"
#include "MeasurementUnit.h"
#include "SaveFileWriter_p.h"
#include "SingleChannelModelFactory.h"
#include "UnitsRelay_p.h"
#include "VRXAbstractDeviceDataModel.h"
#include "VRXPlotColors.h"
#include "VRXSingleChannelDataModel.h"

#include <QtCore/QByteArray>
#include <QtCore/QDebug>
#include <QtCore/QFileInfo>
#include <QtCore/QIODevice>
#include <QtCore/QLocale>
#include <QtCore/QMetaMethod>
#include <QtCore/QMimeData>
#include <QtCore/QSaveFile>
#include <QtGui/QBrush>
#include <algorithm>
#include <climits>
#include <limits>
#include <memory>
#include <vector>

namespace Corvid_Qt {

namespace {

// Longer texts are not channel names, whatever the drag carried.
const int kMaxChannelNameLength = 256;

// Never destroyed, like the device models' defaults.
const Units::MeasurementUnit &makeDefaultUnits()
{
    static const auto *unit = new Units::MeasurementUnit(1.0, QStringLiteral("A"), 1.0);
    return *unit;
}

const Units::MeasurementUnit &makeDefaultXUnits()
{
    static const auto *unit = new Units::S;
    return *unit;
}

bool isChannelName(const QString &name)
{
    if (name.isEmpty() || name.size() > kMaxChannelNameLength || !name.isValidUtf16())
        return false;
    // U+FFFD stands for bytes that were not text.
    const QVector<uint> codePoints = name.toUcs4();
    return std::all_of(codePoints.cbegin(), codePoints.cend(),
                       [](uint c) { return QChar::isPrint(c) && c != QChar::ReplacementCharacter; });
}

} // namespace

const Units::MeasurementUnit &VRXMultichannelProxyModel::defaultUnits = makeDefaultUnits();
const Units::MeasurementUnit &VRXMultichannelProxyModel::defaultXUnits = makeDefaultXUnits();

/*
 * What the proxy knows of one source model. Rows of all sources are aligned
 * by number and the table is as long as the longest source; rows are added
 * and dropped at its end. Sources fed in step drop their oldest sample at
 * different moments: the first of the longest ones to do so drops row 1 of
 * the table. Listeners then take every column as moved up by a row; the
 * other sources, when they catch up, only announce their new cells. A source
 * whose column did not move as announced (shorter, slower, stopped) has its
 * whole column announced as changed: at once, or when it next changes if it
 * was one step behind (the in-step case, which then costs nothing).
 */
struct SourceState
{
    QAbstractItemModel *model = nullptr;
    VRXAbstractPlotDataModel *plot = nullptr;
    QVector<int> columns;        // proxy channel columns showing it, ascending
    int firstPosition = 0;       // its first entry in columns
    int rows = 0;                // data rows when last seen
    qint64 shifted = 0;          // rows dropped at its front since the last reset
    qint64 assumed = 0;          // the same as the table's listeners take it to be
    int depth = 0;               // unfinished row insertions and removals
    int firstChanged = INT_MAX;  // first of its rows changed by the unfinished operation
    int coveredFrom = INT_MAX;   // first table row added during that operation
    bool announced = false;      // whether the operation dropped rows of the table
    bool wholeColumn = false;    // whether its whole column changed meanwhile
};

// One channel column of the table: which source shows in it, and which of the source's columns.
struct ChannelColumn
{
    SourceState *source;
    int sourceColumn;
};

class VRXMultichannelProxyModelPrivate
{
public:
    explicit VRXMultichannelProxyModelPrivate(VRXMultichannelProxyModel *q)
        : q_ptr(q)
    {
    }

    SourceState *stateOf(const QAbstractItemModel *model) const;
    void forgetSource(SourceState *source);
    void connectSource(SourceState *source);
    void rebuildColumns();
    int dataRows(const SourceState *source) const { return qMax(0, source->model->rowCount() - 1); }
    // Rows the table has dropped and the source not yet: a source fed in step
    // after the one that announced the drop shows its rows moved up already,
    // so that every cell of a table row keeps its reading (persistent
    // indexes and the rows next to a change stay what they were).
    static int lag(const SourceState *source) { return int(qMax<qint64>(source->assumed - source->shifted, 0)); }
    static int sourceRow(const SourceState *source, int row) { return row >= 1 ? row + lag(source) : row; }
    static int tableRow(const SourceState *source, int row) { return row >= 1 ? row - lag(source) : row; }
    int longestSource() const;
    int timeRowsBefore(const SourceState *source, int limit) const;

    void beginReset();
    void endReset();
    void beginOperation(SourceState *source);
    void endOperation(SourceState *source);
    void settle(SourceState *source);
    void appendRows(int first, int last);
    void dropLastRows(int first, int last);
    void announceChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                         const QVector<int> &roles = QVector<int>());
    void announceRowsChanged(SourceState *source, int first, int last, bool toEnd,
                             const QVector<int> &roles = QVector<int>());

    void onRowsAboutToBeInserted(SourceState *source, const QModelIndex &parent, int start, int end);
    void onRowsInserted(SourceState *source, const QModelIndex &parent, int start, int end);
    void onRowsAboutToBeRemoved(SourceState *source, const QModelIndex &parent, int start, int end);
    void onRowsRemoved(SourceState *source, const QModelIndex &parent, int start, int end);
    void onRowsAboutToBeMoved();
    void onRowsMoved(SourceState *source, const QModelIndex &parent, int start, int end,
                            const QModelIndex &destination, int row);
    void onDataChanged(SourceState *source, const QModelIndex &topLeft, const QModelIndex &bottomRight,
                              const QVector<int> &roles);
    void onHeaderDataChanged(SourceState *source, Qt::Orientation orientation, int first, int last);
    void onLayoutAboutToBeChanged();
    void onLayoutChanged();
    void onModelDestroyed(SourceState *source);

    VRXMultichannelProxyModel *const q_ptr;
    QVector<ChannelColumn> columns; // entry c - 1 for table column c
    QList<QPersistentModelIndex> layoutChangePersistentIndexes;
    QModelIndexList proxyIndexes;
    int dataSize = 0;
    QAbstractItemModel *rowsRemovedModel = nullptr;
    int rowRemovedStart = -1;
    int rowRemovedEnd = -1;
    AbstractChannelModelFactory *channelModelFactory = nullptr;

    std::vector<std::unique_ptr<SourceState>> sources; // one per distinct model
    qint64 shifted = 0;                                // rows dropped at the table's front since the last reset
    int resetDepth = 0;
    int layoutDepth = 0;

    Q_DECLARE_PUBLIC(VRXMultichannelProxyModel)
};

SourceState *VRXMultichannelProxyModelPrivate::stateOf(const QAbstractItemModel *model) const
{
    for (const auto &source : sources) {
        if (source->model == model)
            return source.get();
    }
    return nullptr;
}

void VRXMultichannelProxyModelPrivate::connectSource(SourceState *source)
{
    Q_Q(VRXMultichannelProxyModel);
    QAbstractItemModel *model = source->model;
    VRXMultichannelProxyModelPrivate *d = this;
    using M = QAbstractItemModel;
    // Each connection knows its source, so no slot has to look it up.
    QObject::connect(model, &M::rowsAboutToBeInserted, q, [d, source](const QModelIndex &p, int s, int e) {
        d->onRowsAboutToBeInserted(source, p, s, e);
    });
    QObject::connect(model, &M::rowsInserted, q, [d, source](const QModelIndex &p, int s, int e) {
        d->onRowsInserted(source, p, s, e);
    });
    QObject::connect(model, &M::rowsAboutToBeRemoved, q, [d, source](const QModelIndex &p, int s, int e) {
        d->onRowsAboutToBeRemoved(source, p, s, e);
    });
    QObject::connect(model, &M::rowsRemoved, q, [d, source](const QModelIndex &p, int s, int e) {
        d->onRowsRemoved(source, p, s, e);
    });
    QObject::connect(model, &M::rowsAboutToBeMoved, q, [d]() { d->onRowsAboutToBeMoved(); });
    QObject::connect(model, &M::rowsMoved, q,
                     [d, source](const QModelIndex &p, int s, int e, const QModelIndex &dest, int row) {
                         d->onRowsMoved(source, p, s, e, dest, row);
                     });
    QObject::connect(model, &M::columnsAboutToBeInserted, q, [d]() { d->beginReset(); });
    QObject::connect(model, &M::columnsInserted, q, [d]() { d->endReset(); });
    QObject::connect(model, &M::columnsAboutToBeRemoved, q, [d]() { d->beginReset(); });
    QObject::connect(model, &M::columnsRemoved, q, [d]() { d->endReset(); });
    QObject::connect(model, &M::columnsAboutToBeMoved, q, [d]() { d->beginReset(); });
    QObject::connect(model, &M::columnsMoved, q, [d]() { d->endReset(); });
    QObject::connect(model, &M::dataChanged, q,
                     [d, source](const QModelIndex &tl, const QModelIndex &br, const QVector<int> &roles) {
                         d->onDataChanged(source, tl, br, roles);
                     });
    QObject::connect(model, &M::headerDataChanged, q, [d, source](Qt::Orientation o, int first, int last) {
        d->onHeaderDataChanged(source, o, first, last);
    });
    QObject::connect(model, &M::layoutAboutToBeChanged, q, [d]() { d->onLayoutAboutToBeChanged(); });
    QObject::connect(model, &M::layoutChanged, q, [d]() { d->onLayoutChanged(); });
    QObject::connect(model, &M::modelAboutToBeReset, q, [d]() { d->beginReset(); });
    QObject::connect(model, &M::modelReset, q, [d]() { d->endReset(); });
    QObject::connect(model, &QObject::destroyed, q, [d, source]() { d->onModelDestroyed(source); });
    connectUnitsChanged(model, q, QMetaMethod::fromSignal(&VRXMultichannelProxyModel::unitsChanged));
}

void VRXMultichannelProxyModelPrivate::rebuildColumns()
{
    for (const auto &source : sources)
        source->columns.clear();
    for (int i = 0; i < columns.size(); ++i) {
        SourceState *source = columns.at(i).source;
        if (source->columns.isEmpty())
            source->firstPosition = i;
        source->columns << i + 1;
    }
}

// Takes the source out of the table's lists; the caller announces the reset.
void VRXMultichannelProxyModelPrivate::forgetSource(SourceState *source)
{
    Q_Q(VRXMultichannelProxyModel);
    QObject::disconnect(source->model, nullptr, q, nullptr);
    columns.erase(std::remove_if(columns.begin(), columns.end(),
                                 [source](const ChannelColumn &column) { return column.source == source; }),
                  columns.end());
    if (rowsRemovedModel == source->model)
        rowsRemovedModel = nullptr;
    sources.erase(std::find_if(sources.begin(), sources.end(),
                               [source](const std::unique_ptr<SourceState> &s) { return s.get() == source; }));
    rebuildColumns();
}

// A source one step behind the table's dropped rows counts as having
// dropped them already: a full source announces the removal of row 1 before
// its new last row, and the table must not grow back in between.
int VRXMultichannelProxyModelPrivate::longestSource() const
{
    int longest = 0;
    for (const auto &source : sources)
        longest = qMax(longest, source->rows - lag(source.get()));
    return longest;
}

// The rows of the time column that sources before this one already give:
// the time of row r comes from the first source in column order holding r
// (a lagging source holds its rows further down).
int VRXMultichannelProxyModelPrivate::timeRowsBefore(const SourceState *source, int limit) const
{
    int rows = 0;
    for (int i = 0; i < source->firstPosition && rows < limit; ++i)
        rows = qMax(rows, columns.at(i).source->rows - lag(columns.at(i).source));
    return rows;
}

void VRXMultichannelProxyModelPrivate::beginReset()
{
    Q_Q(VRXMultichannelProxyModel);
    if (resetDepth++ > 0)
        return;
    q->beginResetModel();
    dataSize = 0;
}

void VRXMultichannelProxyModelPrivate::endReset()
{
    Q_Q(VRXMultichannelProxyModel);
    if (resetDepth == 0 || --resetDepth > 0)
        return;
    shifted = 0;
    rowsRemovedModel = nullptr;
    rowRemovedStart = rowRemovedEnd = -1;
    for (const auto &source : sources) {
        source->rows = dataRows(source.get());
        source->shifted = source->assumed = 0;
        source->depth = 0;
        source->wholeColumn = false;
    }
    dataSize = longestSource();
    q->sourceModelReset();
    q->endResetModel();
}

void VRXMultichannelProxyModelPrivate::beginOperation(SourceState *source)
{
    if (source->depth++ > 0)
        return;
    source->firstChanged = INT_MAX;
    source->coveredFrom = INT_MAX;
    source->announced = false;
}

void VRXMultichannelProxyModelPrivate::endOperation(SourceState *source)
{
    if (source->depth > 0 && --source->depth > 0)
        return;
    settle(source);
}

void VRXMultichannelProxyModelPrivate::settle(SourceState *source)
{
    if (resetDepth > 0)
        return;
    // The table is as long as the longest source; rows come and go at its end.
    int longest = dataSize;
    if (source->rows > dataSize)
        longest = source->rows;
    else if (source->rows < dataSize || source->announced)
        longest = longestSource();
    if (longest > dataSize) {
        source->coveredFrom = qMin(source->coveredFrom, dataSize + 1);
        appendRows(dataSize + 1, longest);
    } else if (longest < dataSize) {
        dropLastRows(longest + 1, dataSize);
    }

    // A source that lost its last reading shows none in any row, even one a
    // step behind whose rows the table took as moved.
    if (source->wholeColumn || source->assumed != source->shifted || source->rows == 0) {
        source->wholeColumn = false;
        source->assumed = source->shifted;
        announceRowsChanged(source, 1, dataSize, true);
        return;
    }
    // Its own cells that changed in rows the table already had; a shorter
    // source repeats its last row to the end, so those follow too.
    const int last = qMin(dataSize, source->coveredFrom - 1);
    if (source->firstChanged <= last)
        announceRowsChanged(source, source->firstChanged, last, false);
}

void VRXMultichannelProxyModelPrivate::appendRows(int first, int last)
{
    Q_Q(VRXMultichannelProxyModel);
    q->beginInsertRows(QModelIndex(), first, last);
    dataSize = last;
    for (const auto &source : sources) {
        if (source->depth > 0)
            source->coveredFrom = qMin(source->coveredFrom, first);
    }
    q->sourceRowsInserted(QModelIndex(), first, last);
    q->endInsertRows();
}

void VRXMultichannelProxyModelPrivate::dropLastRows(int first, int last)
{
    Q_Q(VRXMultichannelProxyModel);
    q->beginRemoveRows(QModelIndex(), first, last);
    dataSize = first - 1;
    q->sourceRowsRemoved(QModelIndex(), first, last);
    q->endRemoveRows();
}

void VRXMultichannelProxyModelPrivate::announceChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                                       const QVector<int> &roles)
{
    Q_Q(VRXMultichannelProxyModel);
    if (!topLeft.isValid() || !bottomRight.isValid())
        return;
    q->sourceDataChanged(topLeft, bottomRight);
    emit q->dataChanged(topLeft, bottomRight, roles);
}

void VRXMultichannelProxyModelPrivate::announceRowsChanged(SourceState *source, int first, int last, bool toEnd,
                                                           const QVector<int> &roles)
{
    Q_Q(VRXMultichannelProxyModel);
    if (toEnd && last >= qMax(source->rows, 1))
        last = dataSize;
    last = qMin(last, dataSize);
    if (first < 0 || first > last)
        return;
    for (int column : qAsConst(source->columns))
        announceChanged(q->index(first, column), q->index(last, column), roles);
    // Rows of the time column below this source's end come from later
    // sources; where it grew or shrank they changed hands.
    const int before = timeRowsBefore(source, last);
    const int timeFirst = qMax(first, before + 1);
    if (timeFirst <= last)
        announceChanged(q->index(timeFirst, 0), q->index(last, 0), roles);
}

void VRXMultichannelProxyModelPrivate::onRowsAboutToBeInserted(SourceState *source, const QModelIndex &parent,
                                                                      int start, int)
{
    if (parent.isValid())
        return;
    beginOperation(source);
    source->firstChanged = qMin(source->firstChanged, start);
}

void VRXMultichannelProxyModelPrivate::onRowsInserted(SourceState *source, const QModelIndex &parent, int, int)
{
    if (parent.isValid())
        return;
    source->rows = dataRows(source);
    endOperation(source);
}

void VRXMultichannelProxyModelPrivate::onRowsAboutToBeRemoved(SourceState *source, const QModelIndex &parent,
                                                                     int start, int end)
{
    Q_Q(VRXMultichannelProxyModel);
    if (parent.isValid())
        return;
    beginOperation(source);
    if (start != 1) {
        source->firstChanged = qMin(source->firstChanged, start);
        return;
    }
    // Only one of the longest sources, and only beyond what the table has
    // already dropped, drops rows of the table.
    const qint64 reached = source->shifted + (end - start + 1);
    const int last = int(qMin<qint64>(reached - shifted, dataSize));
    if (reached <= shifted || last < 1 || source->rows != dataSize || rowsRemovedModel || resetDepth > 0)
        return;
    q->beginRemoveRows(QModelIndex(), 1, last);
    rowsRemovedModel = source->model;
    rowRemovedStart = 1;
    rowRemovedEnd = last;
    shifted += last;
    for (const auto &other : sources)
        other->assumed += last;
    source->announced = true;
}

void VRXMultichannelProxyModelPrivate::onRowsRemoved(SourceState *source, const QModelIndex &parent,
                                                            int start, int end)
{
    Q_Q(VRXMultichannelProxyModel);
    if (parent.isValid())
        return;
    if (start == 1)
        source->shifted += end - start + 1;
    source->rows = dataRows(source);
    if (rowsRemovedModel == source->model) {
        const int first = rowRemovedStart;
        const int last = rowRemovedEnd;
        const int count = last - first + 1;
        const int longest = dataSize;
        rowsRemovedModel = nullptr;
        rowRemovedStart = rowRemovedEnd = -1;
        dataSize -= count;
        q->sourceRowsRemoved(parent, first, last);
        q->endRemoveRows();

        for (const auto &other : sources) {
            if (other.get() == source || other->assumed == other->shifted)
                continue;
            // One of the longest, one step behind: expected to follow suit.
            if (other->assumed - other->shifted == count && other->rows >= longest && other->depth == 0)
                continue;
            if (other->depth > 0) {
                other->wholeColumn = true;
                continue;
            }
            other->assumed = other->shifted;
            announceRowsChanged(other.get(), 1, dataSize, true);
        }
    }
    endOperation(source);
}

void VRXMultichannelProxyModelPrivate::onRowsAboutToBeMoved()
{
}

void VRXMultichannelProxyModelPrivate::onRowsMoved(SourceState *source, const QModelIndex &parent, int start,
                                                          int end, const QModelIndex &destination, int row)
{
    // Rows of one source moving do not move the other columns: for the
    // table it is a change of that source's cells.
    if (parent.isValid() || destination.isValid())
        return;
    source->rows = dataRows(source);
    announceRowsChanged(source, qMin(start, row), qMax(end, row - 1), true);
}

void VRXMultichannelProxyModelPrivate::onDataChanged(SourceState *source, const QModelIndex &topLeft,
                                                            const QModelIndex &bottomRight, const QVector<int> &roles)
{
    Q_Q(VRXMultichannelProxyModel);
    if (!topLeft.isValid() || !bottomRight.isValid() || topLeft.parent().isValid() || resetDepth > 0)
        return;
    // Its last row repeats below its end; rows the table dropped are not shown.
    const int first = qMax(tableRow(source, topLeft.row()), topLeft.row() >= 1 ? 1 : 0);
    int last = bottomRight.row() >= qMax(source->rows, 1) ? dataSize : tableRow(source, bottomRight.row());
    last = qMin(last, dataSize);
    if (first > last)
        return;
    for (int column : qAsConst(source->columns)) {
        const int shown = columns.at(column - 1).sourceColumn;
        if (shown >= topLeft.column() && shown <= bottomRight.column())
            announceChanged(q->index(first, column), q->index(last, column), roles);
    }
    if (topLeft.column() == 0) {
        int timeFirst = qMax(first, timeRowsBefore(source, last) + 1);
        if (first == 0 && source->firstPosition == 0)
            timeFirst = 0; // the header of the time column comes from the first source
        const int timeLast = qMin(last, source->rows);
        if (timeFirst <= timeLast)
            announceChanged(q->index(timeFirst, 0), q->index(timeLast, 0), roles);
    }
}

void VRXMultichannelProxyModelPrivate::onHeaderDataChanged(SourceState *source, Qt::Orientation orientation,
                                                                  int first, int last)
{
    Q_Q(VRXMultichannelProxyModel);
    if (resetDepth > 0)
        return;
    if (orientation == Qt::Vertical) {
        last = qMin(last, dataSize);
        if (first >= 0 && first <= last)
            emit q->headerDataChanged(orientation, first, last);
        return;
    }
    for (int column : qAsConst(source->columns)) {
        const int shown = columns.at(column - 1).sourceColumn;
        if (shown >= first && shown <= last)
            emit q->headerDataChanged(orientation, column, column);
    }
    if (first == 0 && source->firstPosition == 0)
        emit q->headerDataChanged(orientation, 0, 0);
}

void VRXMultichannelProxyModelPrivate::onLayoutAboutToBeChanged()
{
    Q_Q(VRXMultichannelProxyModel);
    if (resetDepth > 0 || layoutDepth++ > 0)
        return;
    const QModelIndexList persistent = q->persistentIndexList();
    for (const QModelIndex &proxyIndex : persistent) {
        proxyIndexes << proxyIndex;
        layoutChangePersistentIndexes << QPersistentModelIndex(q->mapToSource(proxyIndex));
    }
    emit q->layoutAboutToBeChanged();
}

void VRXMultichannelProxyModelPrivate::onLayoutChanged()
{
    Q_Q(VRXMultichannelProxyModel);
    if (resetDepth > 0 || layoutDepth == 0 || --layoutDepth > 0)
        return;
    for (const auto &source : sources)
        source->rows = dataRows(source.get());
    for (int i = 0; i < proxyIndexes.size(); ++i)
        q->changePersistentIndex(proxyIndexes.at(i), q->mapFromSource(layoutChangePersistentIndexes.at(i)));
    proxyIndexes.clear();
    layoutChangePersistentIndexes.clear();
    emit q->layoutChanged();
}

void VRXMultichannelProxyModelPrivate::onModelDestroyed(SourceState *source)
{
    // The model is half gone: take it out of the lists before anyone asks
    // the proxy anything, then tell the views.
    forgetSource(source);
    beginReset();
    endReset();
}

VRXMultichannelProxyModel::VRXMultichannelProxyModel(QObject *parent)
    : QAbstractProxyModel(parent)
    , d_ptr(new VRXMultichannelProxyModelPrivate(this))
{
    Q_D(VRXMultichannelProxyModel);
    d->channelModelFactory = new SingleChannelModelFactory(this);
}

VRXMultichannelProxyModel::~VRXMultichannelProxyModel()
{
    Q_D(VRXMultichannelProxyModel);
    // Models made by addChannel() are children and die after this body;
    // nothing of theirs may reach the private part any more.
    for (const auto &source : d->sources)
        disconnect(source->model, nullptr, this, nullptr);
}

void VRXMultichannelProxyModel::insertSourceModel(int column, QAbstractItemModel *newSourceModel, int sourceColumn)
{
    Q_D(VRXMultichannelProxyModel);
    if (!newSourceModel || newSourceModel == this || sourceColumn < 1)
        return;
    auto *plot = dynamic_cast<VRXAbstractPlotDataModel *>(newSourceModel);
    if (!plot)
        return;

    d->beginReset();
    SourceState *source = d->stateOf(newSourceModel);
    if (!source) {
        auto state = std::make_unique<SourceState>();
        state->model = newSourceModel;
        state->plot = plot;
        source = state.get();
        d->sources.push_back(std::move(state));
        d->connectSource(source);
    }
    d->columns.insert(qBound(0, column, d->columns.size()), ChannelColumn{source, sourceColumn});
    d->rebuildColumns();
    d->endReset();
}

void VRXMultichannelProxyModel::addSourceModel(QAbstractItemModel *newSourceModel, int sourceColumn)
{
    Q_D(VRXMultichannelProxyModel);
    insertSourceModel(d->columns.size(), newSourceModel, sourceColumn);
}

void VRXMultichannelProxyModel::removeSourceModel(QAbstractItemModel *sourceModel)
{
    Q_D(VRXMultichannelProxyModel);
    SourceState *source = sourceModel ? d->stateOf(sourceModel) : nullptr;
    if (!source)
        return;

    d->beginReset();
    d->forgetSource(source);
    d->endReset();
}

void VRXMultichannelProxyModel::setSourceModel(QAbstractItemModel *)
{
}

void VRXMultichannelProxyModel::addChannel(const QString &channelName)
{
    Q_D(VRXMultichannelProxyModel);
    if (!d->channelModelFactory)
        return;
    int firstColumn = 1;
    QAbstractItemModel *model = d->channelModelFactory->createModel(channelName, &firstColumn, this);
    if (!model)
        return;
    const int before = d->columns.size();
    addSourceModel(model, firstColumn);
    // A model the proxy could not take would otherwise linger as its child.
    if (d->columns.size() == before && model->parent() == this)
        delete model;
}

void VRXMultichannelProxyModel::setChannelNames(const QStringList &channelNames)
{
    for (const QString &name : channelNames)
        addChannel(name);
}

QStringList VRXMultichannelProxyModel::channelNames() const
{
    Q_D(const VRXMultichannelProxyModel);
    QStringList names;
    for (const ChannelColumn &column : d->columns) {
        const QVariant channel = column.source->model->property("channel");
        if (channel.isValid() && !channel.toString().isEmpty())
            names << channel.toString();
    }
    return names;
}

void VRXMultichannelProxyModel::setChannelModelFactory(AbstractChannelModelFactory *factory)
{
    Q_D(VRXMultichannelProxyModel);
    if (factory == d->channelModelFactory)
        return;
    delete d->channelModelFactory;
    d->channelModelFactory = factory;
    if (factory)
        factory->setParent(this);
}

QModelIndex VRXMultichannelProxyModel::index(int row, int column, const QModelIndex &parent) const
{
    Q_ASSERT(!parent.isValid() || parent.model() == this);
    Q_D(const VRXMultichannelProxyModel);
    if (parent.isValid() || row < 0 || column < 0 || row > d->dataSize || column > d->columns.size())
        return QModelIndex();
    return createIndex(row, column);
}

QModelIndex VRXMultichannelProxyModel::parent(const QModelIndex &child) const
{
    Q_ASSERT(!child.isValid() || child.model() == this);
    Q_UNUSED(child);
    return QModelIndex();
}

bool VRXMultichannelProxyModel::hasChildren(const QModelIndex &parent) const
{
    Q_ASSERT(!parent.isValid() || parent.model() == this);
    return !parent.isValid();
}

int VRXMultichannelProxyModel::rowCount(const QModelIndex &parent) const
{
    Q_ASSERT(!parent.isValid() || parent.model() == this);
    Q_D(const VRXMultichannelProxyModel);
    return parent.isValid() ? 0 : d->dataSize + 1;
}

int VRXMultichannelProxyModel::columnCount(const QModelIndex &parent) const
{
    Q_ASSERT(!parent.isValid() || parent.model() == this);
    Q_D(const VRXMultichannelProxyModel);
    return parent.isValid() ? 0 : d->columns.size() + 1;
}

QModelIndex VRXMultichannelProxyModel::mapToSource(const QModelIndex &proxyIndex) const
{
    Q_ASSERT(!proxyIndex.isValid() || proxyIndex.model() == this);
    Q_D(const VRXMultichannelProxyModel);
    if (!proxyIndex.isValid() || d->columns.isEmpty())
        return QModelIndex();
    const int row = proxyIndex.row();
    const int column = proxyIndex.column();
    if (column >= 1 && column <= d->columns.size()) {
        const SourceState *source = d->columns.at(column - 1).source;
        const int sourceColumn = d->columns.at(column - 1).sourceColumn;
        const int n = source->model->rowCount();
        const int shown = d->sourceRow(source, row);
        return (n < 2 || n > shown) ? source->model->index(shown, sourceColumn) : source->model->index(n - 1, sourceColumn);
    }
    if (column == 0) {
        for (const ChannelColumn &channel : d->columns) {
            const int shown = d->sourceRow(channel.source, row);
            if (channel.source->model->rowCount() > shown)
                return channel.source->model->index(shown, 0);
        }
    }
    return QModelIndex();
}

QModelIndex VRXMultichannelProxyModel::mapFromSource(const QModelIndex &sourceIndex) const
{
    Q_D(const VRXMultichannelProxyModel);
    if (d->columns.isEmpty() || !sourceIndex.isValid())
        return QModelIndex();
    const SourceState *source = d->stateOf(sourceIndex.model());
    if (!source)
        return QModelIndex();
    const int row = d->tableRow(source, sourceIndex.row());
    if (row < 0 || (row == 0 && sourceIndex.row() != 0))
        return QModelIndex();
    if (sourceIndex.column() == 0)
        return index(row, 0);
    // The column showing that very source column, else the source's first.
    for (int column : source->columns) {
        if (d->columns.at(column - 1).sourceColumn == sourceIndex.column())
            return index(row, column);
    }
    return index(row, source->firstPosition + 1);
}

namespace {

// Every single-channel source calls its column "1": a merged column is
// named after its channel, or numbered.
QString channelCaption(const QAbstractItemModel *source, int column)
{
    const QString name = source->property("channel").toString();
    return name.isEmpty() ? QString::number(column) : name;
}

// A sample as stored, in base units: read directly where the source keeps
// it, since scaling there and back need not give the same double.
double baseValue(const SourceState *source, int row, int column)
{
    if (const auto *single = qobject_cast<const VRXSingleChannelDataModel *>(source->model))
        return single->baseValue(row);
    const double shown = source->plot->doubleData(row, column);
    const Units::MeasurementUnit *units = source->plot->units();
    return units ? units->unscale(shown) : shown;
}

} // namespace

QVariant VRXMultichannelProxyModel::data(const QModelIndex &index, int role) const
{
    Q_D(const VRXMultichannelProxyModel);
    Q_ASSERT(!index.isValid() || index.model() == this);
    if (!index.isValid())
        return QVariant();
    if (role == Qt::BackgroundRole && index.row() == 0 && index.column() >= 1)
        return QBrush(VRXPlotColors::forChannel(index.column()));
    if (role == Qt::DisplayRole && index.row() == 0 && index.column() >= 1)
        return channelCaption(d->columns.at(index.column() - 1).source->model, index.column());
    const QModelIndex source = mapToSource(index);
    return source.isValid() ? source.data(role) : QVariant();
}

QMap<int, QVariant> VRXMultichannelProxyModel::itemData(const QModelIndex &index) const
{
    Q_ASSERT(!index.isValid() || index.model() == this);
    return QAbstractItemModel::itemData(index);
}

bool VRXMultichannelProxyModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    Q_ASSERT(!index.isValid() || index.model() == this);
    const QModelIndex source = mapToSource(index);
    // A repeated last row of a shorter source is not that row.
    if (!source.isValid() || mapFromSource(source).row() != index.row())
        return false;
    return const_cast<QAbstractItemModel *>(source.model())->setData(source, value, role);
}

QVariant VRXMultichannelProxyModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    Q_D(const VRXMultichannelProxyModel);
    if (orientation != Qt::Horizontal || section < 0 || section > d->columns.size())
        return QVariant();
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignHCenter);
    if (role != Qt::DisplayRole)
        return QVariant();
    if (section == 0)
        return data(index(0, 0), role);
    return channelCaption(d->columns.at(section - 1).source->model, section);
}

QModelIndex VRXMultichannelProxyModel::buddy(const QModelIndex &index) const
{
    Q_ASSERT(!index.isValid() || index.model() == this);
    return index;
}

Qt::ItemFlags VRXMultichannelProxyModel::flags(const QModelIndex &index) const
{
    Q_ASSERT(!index.isValid() || index.model() == this);
    const Qt::ItemFlags flags = QAbstractItemModel::flags(index);
    return index.isValid() ? flags : flags | Qt::ItemIsDropEnabled;
}

QModelIndexList VRXMultichannelProxyModel::match(const QModelIndex &start, int role, const QVariant &value, int hits,
                                                 Qt::MatchFlags flags) const
{
    Q_ASSERT(!start.isValid() || start.model() == this);
    Q_D(const VRXMultichannelProxyModel);
    QModelIndexList result;
    if (!start.isValid() || d->columns.isEmpty())
        return result;

    // Each source searches its own rows, so a short source's repeated last
    // row is found once; a channel column asks its source, the time column
    // every source in column order.
    auto search = [&](QAbstractItemModel *model, int sourceColumn, int column) {
        const SourceState *state = d->stateOf(model);
        const QModelIndex from = model->index(d->sourceRow(state, start.row()), sourceColumn);
        if (!from.isValid())
            return;
        const int wanted = hits < 0 ? -1 : hits - result.size();
        const QModelIndexList found = model->match(from, role, value, wanted, flags);
        for (const QModelIndex &hit : found) {
            const QModelIndex proxyHit = index(d->tableRow(state, hit.row()), column);
            if (proxyHit.isValid() && !result.contains(proxyHit))
                result << proxyHit;
        }
    };
    const int column = start.column();
    if (column >= 1) {
        search(d->columns.at(column - 1).source->model, d->columns.at(column - 1).sourceColumn, column);
        return result;
    }
    for (int i = 0; i < d->columns.size(); ++i) {
        const SourceState *source = d->columns.at(i).source;
        if (hits >= 0 && result.size() >= hits)
            break;
        if (source->firstPosition == i)
            search(source->model, 0, 0);
    }
    if (hits >= 0 && result.size() > hits)
        result.erase(result.begin() + hits, result.end());
    return result;
}

bool VRXMultichannelProxyModel::insertRows(int, int, const QModelIndex &)
{
    return false;
}

bool VRXMultichannelProxyModel::insertColumns(int, int, const QModelIndex &)
{
    return false;
}

bool VRXMultichannelProxyModel::removeRows(int, int, const QModelIndex &)
{
    return false;
}

bool VRXMultichannelProxyModel::removeColumns(int, int, const QModelIndex &)
{
    return false;
}

QStringList VRXMultichannelProxyModel::mimeTypes() const
{
    return QStringList{ChannelListMime::type(), QStringLiteral("text/plain")};
}

QMimeData *VRXMultichannelProxyModel::mimeData(const QModelIndexList &indexes) const
{
    // The texts of the cells, in the form the proxy reads back.
    return ChannelListMime::fromCells(this, indexes);
}

Qt::DropActions VRXMultichannelProxyModel::supportedDropActions() const
{
    return Qt::CopyAction | Qt::LinkAction;
}

bool VRXMultichannelProxyModel::canDropMimeData(const QMimeData *data, Qt::DropAction action, int, int,
                                                const QModelIndex &) const
{
    if (!data || (action != Qt::CopyAction && action != Qt::LinkAction))
        return false;
    return data->hasFormat(ChannelListMime::type()) || data->hasText();
}

bool VRXMultichannelProxyModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int, int,
                                             const QModelIndex &)
{
    Q_D(VRXMultichannelProxyModel);
    if (action != Qt::CopyAction && action != Qt::LinkAction)
        return action == Qt::IgnoreAction;
    if (!data)
        return false;

    // Drops come from other programs: take only names that arrived whole
    // and look like names, and never more channels than a device can have.
    QStringList names;
    const QString listType = ChannelListMime::type();
    if (data->hasFormat(listType)) {
        names = ChannelListMime::decode(data->data(listType));
    } else if (data->hasText()) {
        names << data->text().trimmed();
    }

    int room = VRXAbstractDeviceDataModel::MODEL_MAX_CHANNELS - d->columns.size();
    int added = 0;
    for (const QString &name : qAsConst(names)) {
        if (!isChannelName(name))
            continue;
        if (room <= 0) {
            qCWarning(lcCorvidQtModels) << "Drop: no room for more channels," << names.size() - added << "names left out";
            break;
        }
        qCDebug(lcCorvidQtModels).noquote() << "Drop channel" << name;
        const int before = d->columns.size();
        addChannel(name);
        if (d->columns.size() > before) {
            ++added;
            --room;
        }
    }
    return added > 0;
}

int VRXMultichannelProxyModel::PlotWidthHintPoints() const
{
    Q_D(const VRXMultichannelProxyModel);
    return d->columns.isEmpty() ? 256 : d->columns.first().source->plot->PlotWidthHintPoints();
}

double VRXMultichannelProxyModel::PlotWidthHint() const
{
    Q_D(const VRXMultichannelProxyModel);
    return d->columns.isEmpty() ? 0.0 : d->columns.first().source->plot->PlotWidthHint();
}

bool VRXMultichannelProxyModel::SaveDataToFile(const QString &fileName) const
{
    Q_D(const VRXMultichannelProxyModel);
    if (d->columns.isEmpty() || fileName.isEmpty())
        return false;
    QSaveFile file(fileName);
    return SaveDataToFile(file);
}

bool VRXMultichannelProxyModel::SaveDataToFile(QSaveFile &file) const
{
    Q_D(const VRXMultichannelProxyModel);
    if (d->columns.isEmpty())
        return false;
    return writeThroughSaveFile(file, [this](QIODevice *device) { return SaveDataToDevice(device); });
}

bool VRXMultichannelProxyModel::SaveDataToDevice(QIODevice *device) const
{
    Q_D(const VRXMultichannelProxyModel);
    return !d->columns.isEmpty() && dataFileWriter()(device);
}

VRXAbstractPlotDataModel::DataFileWriter VRXMultichannelProxyModel::dataFileWriter() const
{
    Q_D(const VRXMultichannelProxyModel);
    if (d->columns.isEmpty())
        return {};

    // The fields of the single-channel file, not the sources' display texts:
    // those round timestamps to 4 digits and values into the display unit.
    // Each column is read in one go: per-cell calls down the chain would
    // double the time the GUI thread spends copying.
    struct ColumnData
    {
        std::vector<double> times, values;
    };
    const int channels = d->columns.size();
    auto data = std::make_shared<std::vector<ColumnData>>(static_cast<size_t>(channels));
    for (int c = 0; c < channels; ++c) {
        const ChannelColumn &column = d->columns.at(c);
        const int rows = std::min(d->dataSize, std::max(0, column.source->model->rowCount() - 1));
        ColumnData &out = (*data)[size_t(c)];
        out.times.resize(size_t(rows));
        out.values.resize(size_t(rows));
        column.source->plot->doubleDataRange(0, 1, rows, out.times.data());
        if (const auto *single = qobject_cast<const VRXSingleChannelDataModel *>(column.source->model)) {
            for (int i = 0; i < rows; ++i)
                out.values[size_t(i)] = single->baseValue(i + 1);
        } else {
            for (int i = 0; i < rows; ++i)
                out.values[size_t(i)] = baseValue(column.source, i + 1, column.sourceColumn);
        }
    }

    const int dataSize = d->dataSize;
    return [data, dataSize](QIODevice *device) {
        if (!device || !device->isWritable())
            return false;
        QByteArray chunk;
        for (size_t c = 1; c <= data->size(); ++c) {
            const QByteArray number = QByteArray::number(qulonglong(c));
            chunk += "channel_" + number + "_timestamp(s),channel_" + number + ',';
        }
        chunk += '\n';
        for (int i = 0; i < dataSize; ++i) {
            for (const ColumnData &column : *data) {
                if (size_t(i) < column.times.size()) {
                    appendFixed(chunk, column.times[size_t(i)], 9);
                    chunk += ',';
                    appendShortest(chunk, column.values[size_t(i)]);
                } else {
                    chunk += ',';
                }
                chunk += ',';
            }
            chunk += '\n';
            if (!flushWhenFull(device, chunk))
                return false;
        }
        return flushRest(device, chunk);
    };
}

void VRXMultichannelProxyModel::Clear()
{
    Q_D(VRXMultichannelProxyModel);
    if (d->sources.empty())
        return;
    // One reset for the table, however many sources reset under it.
    d->beginReset();
    for (const auto &source : d->sources)
        source->plot->Clear();
    d->endReset();
}

const Units::MeasurementUnit *VRXMultichannelProxyModel::units() const
{
    Q_D(const VRXMultichannelProxyModel);
    return d->columns.isEmpty() ? &defaultUnits : d->columns.first().source->plot->units();
}

const Units::MeasurementUnit *VRXMultichannelProxyModel::xUnits() const
{
    Q_D(const VRXMultichannelProxyModel);
    return d->columns.isEmpty() ? &defaultXUnits : d->columns.first().source->plot->xUnits();
}

QwtSeriesData<QPointF> *VRXMultichannelProxyModel::seriesData(int column, int startRow, int endRow) const
{
    Q_D(const VRXMultichannelProxyModel);
    if (column < 1 || column > d->columns.size())
        return nullptr;
    const ChannelColumn &channel = d->columns.at(column - 1);
    const int lag = d->lag(channel.source);
    return channel.source->plot->seriesData(channel.sourceColumn, startRow + (startRow >= 1 ? lag : 0),
                                            endRow + (endRow >= 1 ? lag : 0));
}

int VRXMultichannelProxyModel::MaxBufferSize() const
{
    Q_D(const VRXMultichannelProxyModel);
    return d->columns.isEmpty() ? 0 : d->columns.first().source->plot->MaxBufferSize();
}

double VRXMultichannelProxyModel::doubleData(int row, int column) const
{
    Q_D(const VRXMultichannelProxyModel);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    if (row < 0 || column < 0 || column > d->columns.size())
        return nan;
    if (column >= 1) {
        if (row == 0)
            return double(column);
        const SourceState *source = d->columns.at(column - 1).source;
        const int n = source->model->rowCount();
        // A source without samples has no value to repeat.
        if (n < 2)
            return 0.0;
        return source->plot->doubleData(qMin(d->sourceRow(source, row), n - 1), d->columns.at(column - 1).sourceColumn);
    }
    double fallback = 0.0;
    bool haveFallback = false;
    for (const ChannelColumn &channel : d->columns) {
        const SourceState *source = channel.source;
        const int n = source->model->rowCount();
        const int shown = d->sourceRow(source, row);
        if (n > shown)
            return source->plot->doubleData(shown, 0);
        if (n >= 2 && !haveFallback) {
            fallback = source->plot->doubleData(n - 1, 0);
            haveFallback = true;
        }
    }
    return fallback;
}

void VRXMultichannelProxyModel::doubleDataRange(int column, int firstRow, int count, double *values) const
{
    Q_D(const VRXMultichannelProxyModel);
    // A channel column, or the time column of a first source that holds
    // every row asked for, is one read from one source.
    if (count > 0 && firstRow >= 1 && column >= 0 && column <= d->columns.size() && !d->columns.isEmpty()) {
        const ChannelColumn &channel = d->columns.at(std::max(column - 1, 0));
        const SourceState *source = channel.source;
        const int sourceColumn = column >= 1 ? channel.sourceColumn : 0;
        const int n = source->model->rowCount();
        // A lagging source's rows sit further down than ours.
        const int first = d->sourceRow(source, firstRow);
        if (first >= 1 && n > first + count - 1) {
            source->plot->doubleDataRange(sourceColumn, first, count, values);
            return;
        }
        if (first >= 1 && column >= 1 && n >= 2) {
            const int held = std::clamp(n - first, 0, count);
            source->plot->doubleDataRange(sourceColumn, first, held, values);
            std::fill(values + held, values + count, source->plot->doubleData(n - 1, sourceColumn));
            return;
        }
    }
    VRXAbstractPlotDataModel::doubleDataRange(column, firstRow, count, values);
}

void VRXMultichannelProxyModel::sourceRowsInserted(const QModelIndex &, int, int)
{
}

void VRXMultichannelProxyModel::sourceRowsRemoved(const QModelIndex &, int, int)
{
}

void VRXMultichannelProxyModel::sourceModelReset()
{
}

void VRXMultichannelProxyModel::sourceDataChanged(const QModelIndex &, const QModelIndex &)
{
}

} // namespace Corvid_Qt
