#ifndef CORVID_QT_TREECOMBOBOX_H
#define CORVID_QT_TREECOMBOBOX_H

#include "corvid_qt_export.h"

#include <QtWidgets/QComboBox>

namespace Corvid_Qt {

/**
 * A combo box that drops down a tree: the children of the model's top-level
 * row rootRow, with their own children expandable. Clicking an expand arrow
 * or empty space keeps the popup open; clicking an item chooses it. The
 * popup is as wide as its columns (plus room for a scroll bar from 9 rows).
 */
class CORVID_QT_EXPORT TreeComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit TreeComboBox(int rootRow = 0, QWidget *parent = nullptr);
    /// The form-builder constructor (Qt Designer, uic): root row 0.
    explicit TreeComboBox(QWidget *parent);

    void showPopup() override;
    void hidePopup() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool skipNextHide = false;
    int m_rootRow;
};

} // namespace Corvid_Qt

#endif
