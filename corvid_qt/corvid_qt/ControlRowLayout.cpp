#include "ControlRowLayout_p.h"

#include <QtCore/QVector>
#include <QtWidgets/QStyle>
#include <QtWidgets/QWidget>

#include <algorithm>

namespace Corvid_Qt {

ControlRowLayout::ControlRowLayout(QWidget *parent)
    : QLayout(parent)
{
}

ControlRowLayout::~ControlRowLayout()
{
    qDeleteAll(m_items);
}

void ControlRowLayout::addItem(QLayoutItem *item)
{
    m_items.append(item);
}

int ControlRowLayout::count() const
{
    return m_items.size();
}

QLayoutItem *ControlRowLayout::itemAt(int index) const
{
    return m_items.value(index);
}

QLayoutItem *ControlRowLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    if (m_trailingStart > index)
        --m_trailingStart;
    return m_items.takeAt(index);
}

Qt::Orientations ControlRowLayout::expandingDirections() const
{
    return {};
}

bool ControlRowLayout::hasHeightForWidth() const
{
    return true;
}

int ControlRowLayout::heightForWidth(int width) const
{
    return arrange(QRect(0, 0, width, 0), false);
}

QSize ControlRowLayout::minimumSize() const
{
    // As narrow as the widest control; heightForWidth() tells the lines.
    int width = 0;
    for (const QLayoutItem *item : m_items) {
        if (!item->isEmpty())
            width = std::max(width, item->sizeHint().width());
    }
    const QMargins m = contentsMargins();
    return QSize(width + m.left() + m.right(), heightForWidth(width + m.left() + m.right()));
}

QSize ControlRowLayout::sizeHint() const
{
    int width = 0, height = 0, shown = 0;
    for (const QLayoutItem *item : m_items) {
        if (item->isEmpty())
            continue;
        const QSize hint = item->sizeHint();
        width += hint.width();
        height = std::max(height, hint.height());
        ++shown;
    }
    const QMargins m = contentsMargins();
    return QSize(width + std::max(0, shown - 1) * gap() + m.left() + m.right(), height + m.top() + m.bottom());
}

void ControlRowLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int ControlRowLayout::gap() const
{
    if (spacing() >= 0)
        return spacing();
    const QWidget *parent = parentWidget();
    return parent ? parent->style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing, nullptr, parent) : 6;
}

int ControlRowLayout::arrange(const QRect &rect, bool apply) const
{
    const QRect area = rect.marginsRemoved(contentsMargins());
    const int space = gap();
    struct Line
    {
        int first, end, height;
    };
    QVector<Line> lines;
    int x = 0;
    for (int i = 0; i < m_items.size(); ++i) {
        if (m_items[i]->isEmpty())
            continue;
        const QSize hint = m_items[i]->sizeHint();
        const int width = std::min(hint.width(), area.width());
        if (lines.isEmpty() || (x > 0 && x + space + width > area.width())) {
            lines.append({i, i, 0});
            x = 0;
        } else if (x > 0) {
            x += space;
        }
        x += width;
        lines.last().end = i + 1;
        lines.last().height = std::max(lines.last().height, hint.height());
    }

    int y = area.top();
    for (int l = 0; l < lines.size(); ++l) {
        const Line &line = lines[l];
        if (l > 0)
            y += space;
        if (apply) {
            // Leading items from the left, trailing ones from the right.
            const int trailing = m_trailingStart < 0 ? line.end : std::max(line.first, m_trailingStart);
            int left = area.left();
            int right = area.right() + 1;
            for (int i = line.end - 1; i >= trailing; --i) {
                if (m_items[i]->isEmpty())
                    continue;
                const QSize hint = m_items[i]->sizeHint();
                const int width = std::min(hint.width(), area.width());
                right -= width;
                m_items[i]->setGeometry(QRect(right, y + (line.height - hint.height()) / 2, width, hint.height()));
                right -= space;
            }
            for (int i = line.first; i < std::min(line.end, trailing); ++i) {
                if (m_items[i]->isEmpty())
                    continue;
                const QSize hint = m_items[i]->sizeHint();
                const int width = std::min(hint.width(), area.width());
                m_items[i]->setGeometry(QRect(left, y + (line.height - hint.height()) / 2, width, hint.height()));
                left += width + space;
            }
        }
        y += line.height;
    }
    const QMargins m = contentsMargins();
    return y - area.top() + m.top() + m.bottom();
}

} // namespace Corvid_Qt
