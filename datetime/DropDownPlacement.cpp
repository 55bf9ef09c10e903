#include "DropDownPlacement.h"

#include "Twips.h"

#include <algorithm>

QPoint DropDownPlacement::place(const QPoint &formTopLeft, int topTwips, int leftTwips,
                                const QSize &size, const QRect &screen)
{
    const QPoint wanted = formTopLeft + QPoint(Twips::toPixels(leftTwips), Twips::toPixels(topTwips));
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
