#include "KeptDays.h"

#include <QDate>

#include <algorithm>
#include <array>
#include <utility>

namespace {
// The Gregorian calendar repeats every 400 years; the Julian one, by which
// the library counts days before 1583, every 28.
constexpr int kGregorianCycle = 400;
constexpr int kJulianCycle = 28;

bool listed(const short *byPart, int capacity, int value)
{
    for (int i = 0; i < capacity && byPart[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
        if (byPart[i] == value)
            return true;
    return false;
}

bool has(const short *byPart)
{
    return byPart[0] != ICAL_RECURRENCE_ARRAY_MAX;
}

bool weekdayListed(const icalrecurrencetype &r, int dayOfWeek)
{
    for (int i = 0; i < ICAL_BY_DAY_SIZE && r.by_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
        if (int(icalrecurrencetype_day_day_of_week(r.by_day[i])) == dayOfWeek % 7 + 1)
            return true;
    return false;
}

bool keeps(const icalrecurrencetype &r, const QDate &day)
{
    return (!has(r.by_month) || listed(r.by_month, ICAL_BY_MONTH_SIZE, day.month()))
           && (!has(r.by_month_day) || listed(r.by_month_day, ICAL_BY_MONTHDAY_SIZE, day.day()))
           && (!has(r.by_year_day) || listed(r.by_year_day, ICAL_BY_YEARDAY_SIZE, day.dayOfYear()))
           && (!has(r.by_day) || weekdayListed(r, day.dayOfWeek()));
}

// The kept days of one kind of year: by its length and the weekday it
// begins on, which is all the parts look at.
struct YearKind
{
    int first = 0, last = 0; // day of the year, 0: none kept
    qint64 longestInside = 0;
};

std::array<YearKind, 14> yearKinds(const icalrecurrencetype &r)
{
    std::array<YearKind, 14> kinds{};
    std::array<bool, 14> seen{};
    // Every kind comes once in 28 years that hold no century.
    for (int year = 2001; year < 2001 + kJulianCycle; ++year) {
        const QDate january(year, 1, 1);
        const int k = (QDate::isLeapYear(year) ? 7 : 0) + january.dayOfWeek() - 1;
        if (std::exchange(seen[k], true))
            continue;
        YearKind &kind = kinds[k];
        for (int d = 1; d <= january.daysInYear(); ++d) {
            if (!keeps(r, january.addDays(d - 1)))
                continue;
            if (kind.last)
                kind.longestInside = std::max<qint64>(kind.longestInside, d - kind.last);
            kind.first = kind.first ? kind.first : d;
            kind.last = d;
        }
    }
    return kinds;
}

// The longest gap over a cycle of years, taken round: each year's length and
// first weekday (1 Monday) follow from the one before.
qint64 longestOver(const std::array<YearKind, 14> &kinds, int years, int firstWeekday, bool julian, int firstYear)
{
    qint64 longest = 0, at = 0, firstKept = -1, lastKept = -1;
    int weekday = firstWeekday;
    for (int i = 0; i < years; ++i) {
        const int year = firstYear + i;
        const bool leap = julian ? year % 4 == 0 : QDate::isLeapYear(year);
        const YearKind &kind = kinds[(leap ? 7 : 0) + weekday - 1];
        if (kind.first) {
            if (lastKept >= 0)
                longest = std::max(longest, at + kind.first - lastKept);
            else
                firstKept = at + kind.first;
            longest = std::max(longest, kind.longestInside);
            lastKept = at + kind.last;
        }
        const int length = leap ? 366 : 365;
        at += length;
        weekday = (weekday - 1 + length) % 7 + 1;
    }
    return firstKept < 0 ? -1 : std::max(longest, at + firstKept - lastKept);
}
} // namespace

std::optional<qint64> KeptDays::longestGap(const icalrecurrencetype &rule)
{
    const std::array<YearKind, 14> kinds = yearKinds(rule);
    // 2000 began on a Saturday; a Julian cycle may begin in any year.
    const qint64 gregorian = longestOver(kinds, kGregorianCycle, 6, false, 2000);
    if (gregorian < 0)
        return std::nullopt;
    return std::max(gregorian, longestOver(kinds, kJulianCycle, 1, true, 2000));
}
