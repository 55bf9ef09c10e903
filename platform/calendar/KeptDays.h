#pragma once

#include <libical/ical.h>

#include <QtGlobal>

#include <optional>

// The days the library keeps for a rule of days or shorter steps. It takes
// such a rule a step at a time and keeps a step whose day is among the
// months, month days, year days and weekdays its parts name, each number
// compared as written: a day counted from the end (-1) is never met, nor are
// parts that exclude each other (March and the first day of the year). Where
// no day is ever kept, one call searches to the library's last year.
class KeptDays
{
public:
    // The most days from one kept day to the next, in any year; none when no
    // day is ever kept.
    static std::optional<qint64> longestGap(const icalrecurrencetype &rule);
};
