#include "WindowPlacement.h"

#include <algorithm>

namespace WindowPlacement {

namespace {

qint64 overlap(const QRect &a, const QRect &b)
{
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

} // namespace

QRect clamp(const QRect &wanted, const QList<QRect> &screens)
{
    if (screens.isEmpty())
        return wanted;
    QRect area = screens.first();
    qint64 best = overlap(wanted, area);
    for (const QRect &screen : screens) {
        if (overlap(wanted, screen) > best) {
            best = overlap(wanted, screen);
            area = screen;
        }
    }
    const int width = std::min(wanted.width(), area.width());
    const int height = std::min(wanted.height(), area.height());
    const int left = std::clamp(wanted.left(), area.left(), area.left() + area.width() - width);
    const int top = std::clamp(wanted.top(), area.top(), area.top() + area.height() - height);
    return QRect(left, top, width, height);
}

} // namespace WindowPlacement
