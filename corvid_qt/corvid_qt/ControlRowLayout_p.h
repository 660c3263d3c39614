#ifndef CORVID_QT_CONTROLROWLAYOUT_P_H
#define CORVID_QT_CONTROLROWLAYOUT_P_H

#include <QtCore/QList>
#include <QtWidgets/QLayout>

namespace Corvid_Qt {

// A row of controls that wraps instead of squeezing them: items keep their
// size hints and go onto further lines where the width runs out. Items added
// after startTrailing() sit at the right end of their line. Hidden widgets
// take no room.
class ControlRowLayout : public QLayout
{
public:
    explicit ControlRowLayout(QWidget *parent = nullptr);
    ~ControlRowLayout() override;

    /// Items added from now on are right-aligned on their line.
    void startTrailing() { m_trailingStart = m_items.size(); }

    void addItem(QLayoutItem *item) override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect &rect) override;

private:
    int arrange(const QRect &rect, bool apply) const;
    int gap() const;

    QList<QLayoutItem *> m_items;
    int m_trailingStart = -1;
};

} // namespace Corvid_Qt

#endif
