#include "DropDownPlacement.h"

#include <algorithm>

QPoint DropDownPlacement::place(const QRect &box, const QSize &size, const QRect &screen)
{
    QPoint wanted(box.left(), box.bottom() + 1);
    const bool roomBelow = wanted.y() + size.height() <= screen.top() + screen.height();
    const bool roomAbove = box.top() - size.height() >= screen.top();
    if (screen.isValid() && !roomBelow && roomAbove)
        wanted.setY(box.top() - size.height());
    return keepOnScreen(wanted, size, screen);
}

QPoint DropDownPlacement::keepOnScreen(const QPoint &wanted, const QSize &size, const QRect &screen)
{
    if (!screen.isValid())
        return wanted;
    // When the drop-down is larger than the screen its top-left corner wins.
    const int x = std::max(screen.left(), std::min(wanted.x(), screen.left() + screen.width() - size.width()));
    const int y = std::max(screen.top(), std::min(wanted.y(), screen.top() + screen.height() - size.height()));
    return {x, y};
}
