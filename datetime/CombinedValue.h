#pragma once

#include "ZorDateTimeExport.h"

#include <QString>

// The one date-and-time value the control keeps behind its two boxes,
// worked out again after each change of a box.
class ZORDATETIME_EXPORT CombinedValue
{
public:
    // A time without a valid date stays on day 0 here.
    static double afterDateBoxChange(const QString &dateText, const QString &timeText);
    // A time without a valid date counts for today (a day number) here.
    static double afterTimeBoxChange(const QString &dateText, const QString &timeText, double today);

private:
    static double join(const QString &dateText, const QString &timeText, double date, double time);
};
