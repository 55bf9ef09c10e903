#include "DateTimeLayout.h"

DateTimeLayout DateTimeLayout::forStyle(int style)
{
    DateTimeLayout layout;
    if (style == DateOnly) {
        layout.timeShown = false;
        layout.width = 1740;
    } else if (style == TimeOnly) {
        layout.dateShown = false;
        layout.timeBoxLeft = 0;
        layout.timeButtonLeft = 1470;
        layout.width = 1740;
    }
    return layout;
}
