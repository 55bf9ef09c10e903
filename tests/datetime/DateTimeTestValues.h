#pragma once

#include "datetime/ucDateTime.h"
#include "platform/DateUtil.h"

#include <QList>
#include <QSignalSpy>

// Day numbers written the way the tests think of them.
inline double day(int year, int month, int dayOfMonth, int hour = 0, int minute = 0)
{
    return DateUtil::toDays(QDate(year, month, dayOfMonth), QTime(hour, minute));
}

inline double timeOfDay(int hour, int minute)
{
    return DateUtil::fromTime(QTime(hour, minute));
}

// The first argument of every signal a spy caught, as day numbers.
inline QList<double> values(const QSignalSpy &spy)
{
    QList<double> result;
    for (const auto &args : spy)
        result.append(args.at(0).toDouble());
    return result;
}

// A control with spies on its two change events, which start empty after the
// values given (day numbers, 0: none) are put.
struct WatchedControl
{
    explicit WatchedControl(double date = 0, double time = 0)
    {
        if (date)
            ctl.setDateValue(date);
        if (time)
            ctl.setTimeValue(time);
        dates.clear();
        times.clear();
    }
    ucDateTime ctl;
    QSignalSpy dates{&ctl, &ucDateTime::DateChange};
    QSignalSpy times{&ctl, &ucDateTime::TimeChange};
};
