#pragma once

#include "ZorDateTimeExport.h"

// Where the control's two pairs (box and button) sit for a style, in twips.
// A pair that is not shown keeps its place and is hidden.
class ZORDATETIME_EXPORT DateTimeLayout
{
public:
    enum Style { DateAndTime = 0, DateOnly = 1, TimeOnly = 2 };

    static constexpr int BoxWidth = 1425;
    static constexpr int BoxHeight = 315;
    static constexpr int ButtonTop = 30;
    static constexpr int ButtonWidth = 225;
    static constexpr int ButtonHeight = 255;
    static constexpr int DesignWidth = 3510;
    static constexpr int DesignHeight = 330;

    bool dateShown = true;
    bool timeShown = true;
    int dateBoxLeft = 0;
    int calendarButtonLeft = 1470;
    int timeBoxLeft = 1770;
    int timeButtonLeft = 3240;
    int width = 3480;

    static DateTimeLayout forStyle(int style);
};
