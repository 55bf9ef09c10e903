#pragma once

#include "ZorDateTimeExport.h"

#include <QPoint>
#include <QRect>
#include <QSize>

// Where a drop-down opens: just below the box it fills, lined up with the
// box's left edge, then moved as little as needed to lie wholly on the
// screen's usable area. Where the screen has no room below the box it opens
// above it instead, so it never covers the box.
class ZORDATETIME_EXPORT DropDownPlacement
{
public:
    // The box and the screen in global pixels.
    static QPoint place(const QRect &box, const QSize &size, const QRect &screen);
    static QPoint keepOnScreen(const QPoint &wanted, const QSize &size, const QRect &screen);
};
