#include "NoticePlacement.h"

#include <algorithm>

int NoticePlacement::capacity(const QRect &available, const QSize &notice)
{
    if (notice.height() <= 0)
        return MaxNotices;
    return std::clamp(available.height() / notice.height(), 1, MaxNotices);
}

NoticePlacement::Path NoticePlacement::path(const QRect &available, const QRect &trayIcon, const QSize &notice,
                                            int slot)
{
    // Without a known icon place the corner is the bottom right one.
    const QPoint icon = trayIcon.isValid() ? trayIcon.center() : available.bottomRight();
    const bool right = icon.x() >= available.center().x();
    const bool bottom = icon.y() >= available.center().y();
    const int x = right ? available.x() + available.width() - notice.width() - SideGapPixels
                        : available.x() + SideGapPixels;
    const int offset = slot * notice.height();
    Path result;
    if (bottom) {
        const int edge = available.y() + available.height();
        result.to = QPoint(x, edge - notice.height() - offset);
        result.from = QPoint(x, edge);
    } else {
        result.to = QPoint(x, available.y() + offset);
        result.from = QPoint(x, available.y() - notice.height());
    }
    return result;
}
