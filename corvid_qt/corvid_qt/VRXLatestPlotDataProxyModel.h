#ifndef CORVID_QT_VRXLATESTPLOTDATAPROXYMODEL_H
#define CORVID_QT_VRXLATESTPLOTDATAPROXYMODEL_H

#include "corvid_qt_export.h"

#include <QtCore/QAbstractProxyModel>
#include <QtCore/QScopedPointer>

namespace Corvid_Qt {

class VRXLatestPlotDataProxyModelPrivate;

/**
 * A small table of the newest readings of a device model: proxy row r is
 * channel column r + 1 of the source; column 0 is the channel's header cell
 * (caption, check box, colour lightened), column 1 its value in the source's
 * newest data row, or "N/A" while the source holds no data.
 *
 * The proxy does not own its source. New samples refresh the whole value
 * column except the row a view is editing (between edit() and
 * editingFinished()); so do rows removed or moved in the source. Channel
 * columns inserted, removed or moved in the source reset the table. The
 * header of column 1 names the source's unit and is
 * re-announced on the source's unitsChanged(); the check box of header
 * section 0 summarises the channels' check states and sets all of them.
 * Column 0 drags out the channel captions as "application/vnd.text.list".
 */
class CORVID_QT_EXPORT VRXLatestPlotDataProxyModel : public QAbstractProxyModel
{
    Q_OBJECT

public:
    explicit VRXLatestPlotDataProxyModel(QObject *parent = nullptr);
    ~VRXLatestPlotDataProxyModel() override;

    void setSourceModel(QAbstractItemModel *sourceModel) override;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;

    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;
    /// Maps each range by its rows and columns, not cell by cell, so that a
    /// plot view's whole-column selection over a long buffer, mapped on
    /// every plot pass when the selections are linked (KLinkItemSelectionModel),
    /// costs no more than one cell. Same result as mapping every cell.
    QItemSelection mapSelectionFromSource(const QItemSelection &sourceSelection) const override;

    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    /// Section 0, CheckStateRole: checks (or unchecks) every channel.
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                       int role = Qt::EditRole) override;

    QStringList mimeTypes() const override;
    /// The captions of the given cells as a data stream of strings, in order.
    QMimeData *mimeData(const QModelIndexList &indexes) const override;

public Q_SLOTS:
    /// Marks the cell a view starts editing; its row skips data refreshes.
    void edit(const QModelIndex &index);
    void editingFinished();
    /// Announces the horizontal header again, e.g. after a unit change.
    void UpdateHeaders();

private:
    const QScopedPointer<VRXLatestPlotDataProxyModelPrivate> d_ptr;
    Q_DECLARE_PRIVATE(VRXLatestPlotDataProxyModel)
    Q_DISABLE_COPY(VRXLatestPlotDataProxyModel)

};

} // namespace Corvid_Qt

#endif
