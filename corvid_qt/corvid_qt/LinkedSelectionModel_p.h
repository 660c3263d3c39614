#ifndef CORVID_QT_LINKEDSELECTIONMODEL_P_H
#define CORVID_QT_LINKEDSELECTIONMODEL_P_H

#include <QtCore/QItemSelectionModel>
#include <QtCore/QPointer>

namespace Corvid_Qt {

/**
 * A selection of one model kept equal, cell for cell, to a host's selection
 * of another model of the same chain: rows and columns mean the same on
 * every level, so a table of the scope's base model can share the view's
 * selection. Both ways, without echo; the host's selection model is not owned.
 */
class LinkedSelectionModel : public QItemSelectionModel
{
public:
    LinkedSelectionModel(QAbstractItemModel *model, QItemSelectionModel *linked, QObject *parent);

    QItemSelectionModel *linked() const { return m_linked; }

    void select(const QModelIndex &index, QItemSelectionModel::SelectionFlags command) override;
    void select(const QItemSelection &selection, QItemSelectionModel::SelectionFlags command) override;
    void setCurrentIndex(const QModelIndex &index, QItemSelectionModel::SelectionFlags command) override;
    void clear() override;

private:
    static QItemSelection mapped(const QItemSelection &selection, const QAbstractItemModel *to);
    /// The host's selection model while it and its model are alive, else null.
    QItemSelectionModel *link() const;
    void pull();

    QPointer<QItemSelectionModel> m_linked;
    bool m_busy = false;
};

} // namespace Corvid_Qt

#endif
