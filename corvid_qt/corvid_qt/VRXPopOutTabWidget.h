#ifndef CORVID_QT_VRXPOPOUTTABWIDGET_H
#define CORVID_QT_VRXPOPOUTTABWIDGET_H

#include "corvid_qt_export.h"

#include <QtWidgets/QTabWidget>

namespace Corvid_Qt {

/**
 * A tab widget whose pages can be torn off into windows of their own with
 * a small button on each tab, and that puts a page back at its old index
 * (or at the end when fewer tabs exist) when its window is closed.
 *
 * A torn-off page keeps the tab widget's page stack as its Qt parent, so it
 * is deleted with the tab widget like the pages that are still tabs. Its
 * former index is kept in the dynamic property "VRX_TabIndex".
 */
class CORVID_QT_EXPORT VRXPopOutTabWidget : public QTabWidget
{
    Q_OBJECT

public:
    explicit VRXPopOutTabWidget(QWidget *parent = nullptr);

    /// Tears off the page at index, as its tab's button does.
    void detachTab(int index);
    /// Puts a torn-off page back; pages that are tabs or were never torn
    /// off are left alone.
    void reattachTab(QWidget *page);

    bool eventFilter(QObject *watched, QEvent *event) override;

public Q_SLOTS:
    /// For the tab buttons: tears off the tab of the sending button.
    void detachTab();

protected:
    /// Retranslates the tool tips of the tab buttons on a language change.
    void changeEvent(QEvent *event) override;
    void tabInserted(int index) override;
    void tabRemoved(int index) override;
};

} // namespace Corvid_Qt

#endif
