#include "UserListClicks.h"

#include "ListViewPane.h"

bool UserListClicks::onStatusIcon(int viewMode, int rowLeft, int rowTop, int x, int y)
{
    switch (viewMode) {
    case ListViewPane::LargeIcons:
        return rowTop < y && y < rowTop + 400;
    case ListViewPane::SmallIcons:
    case ListViewPane::List:
        return rowLeft < x && x < rowLeft + 240;
    default:
        return 0 < x && x < 240;
    }
}

bool UserListClicks::mayEditStatus(const QString &rowKey, bool canChangeStatus)
{
    return canChangeStatus && rowKey.left(3).compare(QLatin1String("USR"), Qt::CaseInsensitive) == 0;
}
