#ifndef CORVID_QT_VRXPLOTPROXYMODEL_H
#define CORVID_QT_VRXPLOTPROXYMODEL_H

#include "VRXAbstractPlotDataModel.h"
#include "corvid_qt_export.h"

#include <QtCore/QAbstractProxyModel>
#include <QtCore/QScopedPointer>

namespace Corvid_Qt {

class VRXPlotProxyModelPrivate;

/**
 * Base of the proxies that transform device data: an identity proxy over a
 * source that implements VRXAbstractPlotDataModel. Rows and columns are
 * passed through one to one, and so is the plot-data interface (units,
 * buffer size, saving, Clear()).
 *
 * Subclasses update their derived data in the hooks sourceRowsInserted(),
 * sourceRowsRemoved(), sourceModelReset() and sourceDataChanged(), which run
 * just before the proxy completes the matching change of its own.
 *
 * The source is not owned. A source that is not a plot-data model (or null)
 * is refused. Without a source only columnCount(), the mapping and Clear()
 * are defined.
 *
 * Every proxy between a device model and a VRXScopePlotView derives from it
 * (VRXAveragingProxyModel, VRXZeroingProxyModel), so proxies stack in any
 * order and row and column numbers mean the same on every level.
 */
class CORVID_QT_EXPORT VRXPlotProxyModel : public QAbstractProxyModel, public VRXAbstractPlotDataModel
{
    Q_OBJECT

public:
    explicit VRXPlotProxyModel(QObject *parent = nullptr);
    ~VRXPlotProxyModel() override;

    void setSourceModel(QAbstractItemModel *sourceModel) override;

    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;
    QItemSelection mapSelectionToSource(const QItemSelection &selection) const override;
    QItemSelection mapSelectionFromSource(const QItemSelection &selection) const override;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    QModelIndex sibling(int row, int column, const QModelIndex &idx) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    QMap<int, QVariant> itemData(const QModelIndex &index) const override;
    bool insertRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    bool insertColumns(int column, int count, const QModelIndex &parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    bool removeColumns(int column, int count, const QModelIndex &parent = QModelIndex()) override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;
    QModelIndexList match(const QModelIndex &start, int role, const QVariant &value, int hits = 1,
                          Qt::MatchFlags flags = Qt::MatchFlags(Qt::MatchStartsWith | Qt::MatchWrap)) const override;

    int PlotWidthHintPoints() const override;
    double PlotWidthHint() const override;
    bool SaveDataToFile(const QString &fileName) const override;
    DataFileWriter dataFileWriter() const override;
    /// Clears the model at the bottom of the chain.
    void Clear() override;
    const Units::MeasurementUnit *units() const override;
    const Units::MeasurementUnit *xUnits() const override;
    /// A new curve over this proxy's own doubleData(); the caller owns it.
    QwtSeriesData<QPointF> *seriesData(int column, int startRow, int endRow) const override;
    int MaxBufferSize() const override;

    VRXAbstractPlotDataModel *sourcePlotModel();
    const VRXAbstractPlotDataModel *sourcePlotModel() const;

protected:
    /// Rows startRow..endRow were inserted into the source; the proxy has not yet announced them.
    virtual void sourceRowsInserted(const QModelIndex &parent, int startRow, int endRow);
    /// Rows startRow..endRow were removed from the source; the proxy has not yet announced it.
    virtual void sourceRowsRemoved(const QModelIndex &parent, int startRow, int endRow);
    /// The source was reset or replaced; called inside the proxy's own reset.
    virtual void sourceModelReset();
    /// Source cells changed; the corners are proxy indexes. Called before dataChanged().
    virtual void sourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight);

private:
    Q_DECLARE_PRIVATE(VRXPlotProxyModel)
    const QScopedPointer<VRXPlotProxyModelPrivate> d_ptr;

    Q_PRIVATE_SLOT(d_func(), void _q_sourceRowsAboutToBeInserted(QModelIndex, int, int))
    Q_PRIVATE_SLOT(d_func(), void _q_sourceRowsInserted(QModelIndex, int, int))
    Q_PRIVATE_SLOT(d_func(), void _q_sourceRowsAboutToBeRemoved(QModelIndex, int, int))
    Q_PRIVATE_SLOT(d_func(), void _q_sourceRowsRemoved(QModelIndex, int, int))
    Q_PRIVATE_SLOT(d_func(), void _q_sourceRowsAboutToBeMoved(QModelIndex, int, int, QModelIndex, int))
    Q_PRIVATE_SLOT(d_func(), void _q_sourceRowsMoved(QModelIndex, int, int, QModelIndex, int))
    Q_PRIVATE_SLOT(d_func(), void _q_sourceColumnsAboutToBeInserted(QModelIndex, int, int))
    Q_PRIVATE_SLOT(d_func(), void _q_sourceColumnsInserted(QModelIndex, int, int))
    Q_PRIVATE_SLOT(d_func(), void _q_sourceColumnsAboutToBeRemoved(QModelIndex, int, int))
    Q_PRIVATE_SLOT(d_func(), void _q_sourceColumnsRemoved(QModelIndex, int, int))
    Q_PRIVATE_SLOT(d_func(), void _q_sourceColumnsAboutToBeMoved(QModelIndex, int, int, QModelIndex, int))
    Q_PRIVATE_SLOT(d_func(), void _q_sourceColumnsMoved(QModelIndex, int, int, QModelIndex, int))
    Q_PRIVATE_SLOT(d_func(), void _q_sourceDataChanged(QModelIndex, QModelIndex, QVector<int>))
    Q_PRIVATE_SLOT(d_func(), void _q_sourceHeaderDataChanged(Qt::Orientation, int, int))
    Q_PRIVATE_SLOT(d_func(), void _q_sourceLayoutAboutToBeChanged(const QList<QPersistentModelIndex> &,
                                                                  QAbstractItemModel::LayoutChangeHint))
    Q_PRIVATE_SLOT(d_func(), void _q_sourceLayoutChanged(const QList<QPersistentModelIndex> &,
                                                         QAbstractItemModel::LayoutChangeHint))
    Q_PRIVATE_SLOT(d_func(), void _q_sourceModelAboutToBeReset())
    Q_PRIVATE_SLOT(d_func(), void _q_sourceModelReset())
};

} // namespace Corvid_Qt

#endif
