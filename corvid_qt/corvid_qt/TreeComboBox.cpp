#include "TreeComboBox.h"

#include <QtGui/QMouseEvent>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QTreeView>

namespace Corvid_Qt {

TreeComboBox::TreeComboBox(int rootRow, QWidget *parent)
    : QComboBox(parent)
    , m_rootRow(rootRow)
{
    auto *tree = new QTreeView(this);
    tree->setRootIsDecorated(false);
    tree->header()->setStretchLastSection(false);
    tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    setView(tree);
    tree->viewport()->installEventFilter(this);
}

TreeComboBox::TreeComboBox(QWidget *parent)
    : TreeComboBox(0, parent)
{
}

void TreeComboBox::showPopup()
{
    auto *tree = static_cast<QTreeView *>(view());
    if (model()) {
        const QModelIndex root = model()->index(m_rootRow, 0);
        setRootModelIndex(root);
        // Room for the vertical scroll bar once the list scrolls.
        int width = model()->rowCount(root) < 9 ? 1 : 21;
        for (int column = 0; column < model()->columnCount(root); ++column) {
            tree->resizeColumnToContents(column);
            width += tree->columnWidth(column);
        }
        tree->setFixedWidth(width);
    }
    QComboBox::showPopup();
}

bool TreeComboBox::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && watched == view()->viewport()) {
        const QPoint pos = static_cast<QMouseEvent *>(event)->pos();
        const QModelIndex index = view()->indexAt(pos);
        if (!view()->visualRect(index).contains(pos))
            skipNextHide = true;
    }
    return QComboBox::eventFilter(watched, event);
}

void TreeComboBox::hidePopup()
{
    setRootModelIndex(rootModelIndex().parent());
    setCurrentIndex(m_rootRow);
    if (skipNextHide) {
        skipNextHide = false;
        return;
    }
    QComboBox::hidePopup();
}

} // namespace Corvid_Qt
