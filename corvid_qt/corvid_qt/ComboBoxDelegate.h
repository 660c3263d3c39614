#ifndef CORVID_QT_COMBOBOXDELEGATE_H
#define CORVID_QT_COMBOBOXDELEGATE_H

#include "corvid_qt_export.h"

#include <QtCore/QStringList>
#include <QtWidgets/QStyledItemDelegate>

namespace Corvid_Qt {

/**
 * Edits a cell that holds an integer index with a combo box of fixed texts.
 * The cell's edit-role value is the index of the chosen text; a value that
 * is not a number starts the editor at the first entry. Choosing an entry
 * commits it and closes the editor at once.
 */
class CORVID_QT_EXPORT ComboBoxDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit ComboBoxDelegate(const QStringList &items, QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

public Q_SLOTS:
    void commitAndCloseEditor();

private:
    QStringList m_items;
};

} // namespace Corvid_Qt

#endif
