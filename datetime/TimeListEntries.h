#pragma once

#include "ZorDateTimeExport.h"

#include <QString>
#include <QStringList>
#include <QTime>

// The entries of the drop-down time list and what a picked entry means.
class ZORDATETIME_EXPORT TimeListEntries
{
public:
    // Time style "0" gives the clock list from the current hour; any other
    // text the list of steps after the base time.
    static QStringList build(const QString &timeStyle, double baseTime, const QTime &now);
    static QStringList clockTimes(int fromHour);     // 48 half hours, wrapping at midnight
    static QStringList relativeTimes(double baseTime); // 51 steps from 5 minutes to 24 hours

    // The time of day an entry stands for (its first eight characters), as a
    // fraction of a day; 0 when it does not read as a time.
    static double pickedTime(const QString &entry);
};
