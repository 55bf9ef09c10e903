#include "RuleCost.h"

#include <QDate>

#include <algorithm>
#include <cstdlib>

namespace {
// The library scans a unit of the rule's frequency for a few microseconds.
constexpr qint64 kPerScannedUnit = 4;

qint64 sizeOf(const short *byPart, int capacity)
{
    int n = 0;
    while (n < capacity && byPart[n] != ICAL_RECURRENCE_ARRAY_MAX)
        ++n;
    return n;
}

bool has(const short *byPart)
{
    return byPart[0] != ICAL_RECURRENCE_ARRAY_MAX;
}

bool hasDayParts(const icalrecurrencetype &r)
{
    return has(r.by_day) || has(r.by_month_day) || has(r.by_year_day) || has(r.by_week_no);
}

// The days one period of the rule expands to.
qint64 daysPerPeriod(const icalrecurrencetype &r)
{
    switch (r.freq) {
    case ICAL_YEARLY_RECURRENCE:
        return hasDayParts(r) ? 366 : std::max<qint64>(1, sizeOf(r.by_month, ICAL_BY_MONTH_SIZE));
    case ICAL_MONTHLY_RECURRENCE:
        return hasDayParts(r) ? 31 : 1;
    case ICAL_WEEKLY_RECURRENCE:
        return has(r.by_day) ? 7 : 1;
    default:
        return 1;
    }
}

// The times of day each of those days expands to: only parts coarser than
// the rule's own step expand it.
qint64 timesPerDay(const icalrecurrencetype &r)
{
    qint64 n = 1;
    if (r.freq > ICAL_HOURLY_RECURRENCE)
        n *= std::max<qint64>(1, sizeOf(r.by_hour, ICAL_BY_HOUR_SIZE));
    if (r.freq > ICAL_MINUTELY_RECURRENCE)
        n *= std::max<qint64>(1, sizeOf(r.by_minute, ICAL_BY_MINUTE_SIZE));
    if (r.freq > ICAL_SECONDLY_RECURRENCE)
        n *= std::max<qint64>(1, sizeOf(r.by_second, ICAL_BY_SECOND_SIZE));
    return n;
}

// A rule of days or shorter steps whose parts name longer spans (a month, a
// weekday, an hour) is walked a step at a time by the library, which passes
// over what the parts leave out: up to such a span between two starts.
qint64 secondsPassedOver(const icalrecurrencetype &r)
{
    if (r.freq > ICAL_DAILY_RECURRENCE)
        return 0;
    if (has(r.by_month) || has(r.by_year_day) || has(r.by_week_no))
        return 366 * 86400;
    if (has(r.by_month_day))
        return 31 * 86400;
    if (has(r.by_day))
        return 7 * 86400;
    if (has(r.by_hour) && r.freq < ICAL_HOURLY_RECURRENCE)
        return 86400;
    if (has(r.by_minute) && r.freq == ICAL_SECONDLY_RECURRENCE)
        return 3600;
    return 0;
}

bool noMonthHasTheDay(const icalrecurrencetype &r)
{
    if (!has(r.by_month_day) || !has(r.by_month))
        return false;
    int longest = 0;
    for (int i = 0; i < ICAL_BY_MONTH_SIZE && r.by_month[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
        if (r.by_month[i] >= 1 && r.by_month[i] <= 12)
            longest = std::max(longest, QDate(2000, r.by_month[i], 1).daysInMonth());
    for (int i = 0; i < ICAL_BY_MONTHDAY_SIZE && r.by_month_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
        if (std::abs(r.by_month_day[i]) <= longest)
            return false;
    return true;
}
} // namespace

RuleCost RuleCost::of(const icalrecurrencetype &rule)
{
    static constexpr qint64 kUnitSeconds[] = {1, 60, 3600, 86400, 7 * 86400, 31 * 86400, 366 * 86400, 1};
    RuleCost cost;
    const qint64 days = daysPerPeriod(rule);
    cost.perPeriod = days > 1 ? days : 0;
    cost.setUp = 20 + cost.perPeriod;
    cost.m_unitSeconds = kUnitSeconds[std::clamp<int>(rule.freq, 0, 7)] * std::max<qint64>(1, rule.interval);
    cost.m_scans = secondsPassedOver(rule) > 0;
    cost.worstScan = cost.scanned(secondsPassedOver(rule));
    cost.never = noMonthHasTheDay(rule);
    // A set position picks among a period's days; their times follow.
    const qint64 picked = has(rule.by_set_pos) ? std::min(days, sizeOf(rule.by_set_pos, ICAL_BY_SETPOS_SIZE)) : days;
    cost.toWindow = picked * timesPerDay(rule);
    return cost;
}

qint64 RuleCost::scanned(qint64 seconds) const
{
    return m_scans && seconds > 0 ? kPerScannedUnit * (seconds / m_unitSeconds) : 0;
}

qint64 RuleCost::nearWindow() const
{
    // From two periods before the window to the one after it.
    return setUp + worstScan + 4 * (perPeriod + toWindow);
}
