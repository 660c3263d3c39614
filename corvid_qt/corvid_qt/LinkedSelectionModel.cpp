#include "LinkedSelectionModel_p.h"

namespace Corvid_Qt {

LinkedSelectionModel::LinkedSelectionModel(QAbstractItemModel *model, QItemSelectionModel *linked, QObject *parent)
    : QItemSelectionModel(model, parent)
    , m_linked(linked)
{
    connect(linked, &QItemSelectionModel::selectionChanged, this, [this]() { pull(); });
    connect(linked, &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        if (m_busy)
            return;
        m_busy = true;
        QItemSelectionModel::setCurrentIndex(this->model()->index(current.row(), current.column()), NoUpdate);
        m_busy = false;
    });
    pull();
}

QItemSelection LinkedSelectionModel::mapped(const QItemSelection &selection, const QAbstractItemModel *to)
{
    QItemSelection result;
    for (const QItemSelectionRange &range : selection) {
        const QModelIndex topLeft = to->index(range.top(), range.left());
        const QModelIndex bottomRight = to->index(range.bottom(), range.right());
        if (topLeft.isValid() && bottomRight.isValid())
            result.append(QItemSelectionRange(topLeft, bottomRight));
    }
    return result;
}

QItemSelectionModel *LinkedSelectionModel::link() const
{
    // A host's model may be deleted before its selection model.
    return m_linked && m_linked->model() ? m_linked.data() : nullptr;
}

void LinkedSelectionModel::pull()
{
    if (m_busy || !link())
        return;
    m_busy = true;
    QItemSelectionModel::select(mapped(m_linked->selection(), model()), ClearAndSelect);
    m_busy = false;
}

void LinkedSelectionModel::select(const QModelIndex &index, QItemSelectionModel::SelectionFlags command)
{
    select(QItemSelection(index, index), command);
}

void LinkedSelectionModel::select(const QItemSelection &selection, QItemSelectionModel::SelectionFlags command)
{
    QItemSelectionModel::select(selection, command);
    if (m_busy || !link())
        return;
    m_busy = true;
    m_linked->select(mapped(selection, m_linked->model()), command);
    m_busy = false;
}

void LinkedSelectionModel::setCurrentIndex(const QModelIndex &index, QItemSelectionModel::SelectionFlags command)
{
    QItemSelectionModel::setCurrentIndex(index, command);
    if (m_busy || !link())
        return;
    m_busy = true;
    m_linked->setCurrentIndex(m_linked->model()->index(index.row(), index.column()), command);
    m_busy = false;
}

void LinkedSelectionModel::clear()
{
    QItemSelectionModel::clear();
    if (m_busy || !link())
        return;
    m_busy = true;
    m_linked->clear();
    m_busy = false;
}

} // namespace Corvid_Qt
