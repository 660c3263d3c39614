#include "VRXPopOutTabWidget.h"

#include <QtCore/QEvent>
#include <QtCore/QVariant>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QToolButton>

namespace Corvid_Qt {

namespace {
const char kTabIndexProperty[] = "VRX_TabIndex";
}

VRXPopOutTabWidget::VRXPopOutTabWidget(QWidget *parent)
    : QTabWidget(parent)
{
}

void VRXPopOutTabWidget::tabInserted(int index)
{
    QTabWidget::tabInserted(index);
    auto *button = new QToolButton(tabBar());
    button->setFixedSize(18, 18);
    button->setIcon(QIcon::fromTheme(QStringLiteral("window-new")));
    button->setAutoRaise(true);
    button->setToolTip(tr("Show in a window of its own"));
    connect(button, &QToolButton::clicked, this, QOverload<>::of(&VRXPopOutTabWidget::detachTab));
    tabBar()->setTabButton(index, QTabBar::RightSide, button);
}

void VRXPopOutTabWidget::tabRemoved(int index)
{
    QTabWidget::tabRemoved(index);
}

void VRXPopOutTabWidget::detachTab()
{
    // The button is found by identity: its position is only known once the
    // tab bar has been laid out.
    QWidget *button = qobject_cast<QWidget *>(sender());
    for (int i = 0; button && i < count(); ++i) {
        if (tabBar()->tabButton(i, QTabBar::RightSide) == button) {
            detachTab(i);
            return;
        }
    }
}

void VRXPopOutTabWidget::detachTab(int index)
{
    QWidget *page = widget(index);
    if (!page)
        return;
    page->setWindowTitle(tabText(index));
    page->setWindowIcon(tabIcon(index));
    page->setProperty(kTabIndexProperty, index);
    removeTab(index);
    page->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint);
    page->installEventFilter(this);
    page->show();
}

bool VRXPopOutTabWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != this && event->type() == QEvent::Close) {
        if (auto *page = qobject_cast<QWidget *>(watched)) {
            event->ignore();
            reattachTab(page);
            return true;
        }
    }
    return QTabWidget::eventFilter(watched, event);
}

void VRXPopOutTabWidget::reattachTab(QWidget *page)
{
    if (!page || indexOf(page) != -1)
        return;
    bool ok = false;
    const int index = page->property(kTabIndexProperty).toInt(&ok);
    if (!ok)
        return;
    page->removeEventFilter(this);
    page->setWindowFlags(Qt::Widget);
    insertTab(index, page, page->windowIcon(), page->windowTitle());
}

void VRXPopOutTabWidget::changeEvent(QEvent *event)
{
    QTabWidget::changeEvent(event);
    if (event->type() != QEvent::LanguageChange)
        return;
    for (int i = 0; i < count(); ++i) {
        if (QWidget *button = tabBar()->tabButton(i, QTabBar::RightSide))
            button->setToolTip(tr("Show in a window of its own"));
    }
}

} // namespace Corvid_Qt
