#include "VRXTableView.h"

#include <QtGui/QPainter>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QStyleOptionHeader>

namespace Corvid_Qt {

VRXTableView::VRXTableView(QWidget *parent)
    : QTableView(parent)
    , m_cornerButton(findChild<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly))
{
    if (!m_cornerButton)
        return;
    m_cornerButton->installEventFilter(this);
    disconnect(m_cornerButton, &QAbstractButton::clicked, nullptr, nullptr);
}

QString VRXTableView::cornerButtonText() const
{
    return m_cornerButton ? m_cornerButton->text() : QString();
}

bool VRXTableView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_cornerButton || event->type() != QEvent::Paint)
        return QTableView::eventFilter(watched, event);

    QStyleOptionHeader option;
    option.initFrom(m_cornerButton);
    QStyle::State state = QStyle::State_None;
    if (m_cornerButton->isEnabled())
        state |= QStyle::State_Enabled;
    if (m_cornerButton->isActiveWindow())
        state |= QStyle::State_Active;
    if (m_cornerButton->isDown())
        state |= QStyle::State_Sunken;
    option.state = state;
    option.rect = m_cornerButton->rect();
    option.text = m_cornerButton->text();
    option.position = QStyleOptionHeader::OnlyOneSection;
    QPainter painter(m_cornerButton);
    m_cornerButton->style()->drawControl(QStyle::CE_Header, &option, &painter, m_cornerButton);
    return true;
}

void VRXTableView::setCornerButtonText(const QString &text)
{
    if (!m_cornerButton)
        return;
    m_cornerButton->setText(text);

    QStyleOptionHeader option;
    option.initFrom(m_cornerButton);
    option.text = text;
    const QSize section = m_cornerButton->style()->sizeFromContents(QStyle::CT_HeaderSection, &option,
                                                                    QSize(), m_cornerButton);
    const int width = qMax(section.width(), QApplication::globalStrut().width());
    if (section.width() >= 0 && QApplication::globalStrut().width() >= 0)
        verticalHeader()->setMinimumWidth(width);
    m_cornerButton->update();
}

} // namespace Corvid_Qt
