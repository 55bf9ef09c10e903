#pragma once

#include "ZorDateTimeExport.h"

#include <QPoint>
#include <QRect>
#include <QSize>

// Where a drop-down opens: offset from the top-left corner of the form that
// holds the control, then moved as little as needed to lie wholly on the
// screen's usable area.
class ZORDATETIME_EXPORT DropDownPlacement
{
public:
    // The form's corner and the screen in pixels, the offsets in twips.
    static QPoint place(const QPoint &formTopLeft, int topTwips, int leftTwips,
                        const QSize &size, const QRect &screen);
    static QPoint keepOnScreen(const QPoint &wanted, const QSize &size, const QRect &screen);
};
