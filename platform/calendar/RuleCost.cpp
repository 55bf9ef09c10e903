#include "RuleCost.h"

#include "KeptDays.h"

#include <QDate>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {
// The library scans a unit of the rule's frequency for a few microseconds.
constexpr qint64 kPerScannedUnit = 4;
// A day of another calendar scale is worked out through another library,
// a few times slower.
constexpr qint64 kPerScaleDay = 4;
constexpr qint64 kDay = 86400;

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

bool otherScale(const icalrecurrencetype &r)
{
    return r.rscale && *r.rscale;
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

bool anyAtLeast(const short *byPart, int capacity, int least)
{
    for (int i = 0; i < capacity && byPart[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
        if (std::abs(byPart[i]) >= least)
            return true;
    return false;
}

bool hasOrdinalAtLeast(const icalrecurrencetype &r, int least)
{
    for (int i = 0; i < ICAL_BY_DAY_SIZE && r.by_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
        if (std::abs(icalrecurrencetype_day_position(r.by_day[i])) >= least)
            return true;
    return false;
}

// The years between two starts at most, where that is more than a period:
// a weekday that falls on a given date comes round in 40 years at most (the
// 28 of the calendar's cycle, 12 more across a century without a leap
// year); a day only some periods have (the 29th to 31st, a 53rd week, a
// leap day, a fifth weekday) in 8; a leap month of another scale is given
// 60; anything else comes in the next period.
qint64 gapYears(const icalrecurrencetype &r)
{
    if (otherScale(r))
        for (int i = 0; i < ICAL_BY_MONTH_SIZE && r.by_month[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
            if (icalrecurrencetype_month_is_leap(r.by_month[i]) && r.skip == ICAL_SKIP_OMIT)
                return 60;
    if (has(r.by_day) && (has(r.by_month_day) || has(r.by_year_day) || has(r.by_week_no)))
        return 40;
    if (hasOrdinalAtLeast(r, 5) && has(r.by_month))
        return 40;
    if (anyAtLeast(r.by_month_day, ICAL_BY_MONTHDAY_SIZE, 29) || anyAtLeast(r.by_year_day, ICAL_BY_YEARDAY_SIZE, 366)
        || anyAtLeast(r.by_week_no, ICAL_BY_WEEKNO_SIZE, 53) || hasOrdinalAtLeast(r, 5))
        return 8;
    return 0;
}

// A rule of days or shorter steps whose parts name longer spans (a month, a
// weekday, an hour) is walked a step at a time by the library, which passes
// over what the parts leave out: up to such a span between two starts.
qint64 secondsPassedOver(const icalrecurrencetype &r, qint64 keptDayGap)
{
    if (r.freq > ICAL_DAILY_RECURRENCE)
        return 0;
    // From any time of one kept day to the next, or more where a part
    // above says so.
    const qint64 years = std::max(gapYears(r) * 366, keptDayGap > 1 ? keptDayGap + 1 : 0) * kDay;
    if (has(r.by_month) || has(r.by_year_day) || has(r.by_week_no))
        return std::max(years, 366 * kDay);
    if (has(r.by_month_day))
        return std::max(years, 62 * kDay);
    if (has(r.by_day))
        return std::max(years, 7 * kDay);
    // A part of the rule's own unit or a finer one leaves steps out too.
    if (has(r.by_hour) && r.freq <= ICAL_HOURLY_RECURRENCE)
        return kDay;
    if (has(r.by_minute) && r.freq <= ICAL_MINUTELY_RECURRENCE)
        return 3600;
    if (has(r.by_second) && r.freq == ICAL_SECONDLY_RECURRENCE)
        return 60;
    return 0;
}

// A rule no period holds: a month day no month of the rule has.
bool noMonthHasTheDay(const icalrecurrencetype &r)
{
    if (!has(r.by_month_day) || !has(r.by_month))
        return false;
    int longest = 0;
    for (int i = 0; i < ICAL_BY_MONTH_SIZE && r.by_month[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
        const int month = icalrecurrencetype_month_month(r.by_month[i]);
        if (otherScale(r))
            longest = std::max(longest, month == 13 ? 6 : 31); // the short thirteenth month of some scales
        else if (month >= 1 && month <= 12)
            longest = std::max(longest, QDate(2000, month, 1).daysInMonth());
    }
    for (int i = 0; i < ICAL_BY_MONTHDAY_SIZE && r.by_month_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
        if (std::abs(r.by_month_day[i]) <= longest)
            return false;
    return true;
}

// The most days one period of a monthly or yearly rule holds: the library
// counts set positions among them alone, not their times.
qint64 mostDaysPerPeriod(const icalrecurrencetype &r)
{
    const bool yearly = r.freq == ICAL_YEARLY_RECURRENCE;
    const qint64 months = yearly && has(r.by_month) ? sizeOf(r.by_month, ICAL_BY_MONTH_SIZE) : yearly ? 12 : 1;
    if (!hasDayParts(r))
        return yearly && has(r.by_month) ? months : 1; // the start's day, in each month named
    qint64 most = yearly ? 366 : 31;
    if (has(r.by_month_day))
        most = std::min(most, months * sizeOf(r.by_month_day, ICAL_BY_MONTHDAY_SIZE));
    if (has(r.by_year_day))
        most = std::min(most, sizeOf(r.by_year_day, ICAL_BY_YEARDAY_SIZE));
    if (has(r.by_week_no))
        most = std::min(most, 7 * sizeOf(r.by_week_no, ICAL_BY_WEEKNO_SIZE));
    if (has(r.by_day)) {
        qint64 days = 0;
        for (int i = 0; i < ICAL_BY_DAY_SIZE && r.by_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
            days += icalrecurrencetype_day_position(r.by_day[i]) != 0 ? months
                    : yearly && !has(r.by_month)                    ? 53
                                                                     : 5 * months;
        most = std::min(most, days);
    }
    return most;
}

// The most days between two the library keeps of a rule of days or
// shorter steps (1 where it keeps every day), none where it keeps none.
// Parts it refuses in such a rule (a week number; a year day in a rule of
// days) are left to it.
std::optional<qint64> keptDayGap(const icalrecurrencetype &r)
{
    const bool filtered = has(r.by_month) || has(r.by_month_day) || has(r.by_year_day) || has(r.by_day);
    if (r.freq > ICAL_DAILY_RECURRENCE || !filtered || otherScale(r) || has(r.by_week_no)
        || (r.freq == ICAL_DAILY_RECURRENCE && has(r.by_year_day)))
        return 1;
    return KeptDays::longestGap(r);
}

// Rules the library gives no start for, though it would search for one to
// its last year in a single call, or crash on: a weekday counted within a
// span (the last Tuesday), which it compares with plain weekdays only in a
// rule of days or shorter steps; any day such a rule never keeps; a set
// position past every day a period holds; the week counted 53rd from a
// year's end with no weekday to pick from it.
bool neverStarts(const icalrecurrencetype &r, const std::optional<qint64> &keptDayGap)
{
    if (noMonthHasTheDay(r))
        return true;
    if (r.freq <= ICAL_DAILY_RECURRENCE)
        return hasOrdinalAtLeast(r, 1) || !keptDayGap;
    if (otherScale(r))
        return false;
    if (r.freq == ICAL_YEARLY_RECURRENCE && !has(r.by_day)
        && std::find(r.by_week_no, r.by_week_no + ICAL_BY_WEEKNO_SIZE, -53) != r.by_week_no + ICAL_BY_WEEKNO_SIZE)
        return true;
    if (r.freq < ICAL_MONTHLY_RECURRENCE || !has(r.by_set_pos))
        return false;
    const qint64 most = mostDaysPerPeriod(r);
    for (int i = 0; i < ICAL_BY_SETPOS_SIZE && r.by_set_pos[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
        if (std::abs(r.by_set_pos[i]) <= most)
            return false;
    return true;
}

// The shortest and longest wall-clock span of one period: the scales of
// other calendars have years of 353 to 385 days and months down to 5.
std::pair<qint64, qint64> periodSpan(const icalrecurrencetype &r)
{
    const bool other = otherScale(r);
    switch (r.freq) {
    case ICAL_SECONDLY_RECURRENCE:
        return {1, 1};
    case ICAL_MINUTELY_RECURRENCE:
        return {60, 60};
    case ICAL_HOURLY_RECURRENCE:
        return {3600, 3600};
    case ICAL_DAILY_RECURRENCE:
        return {kDay, kDay};
    case ICAL_WEEKLY_RECURRENCE:
        return {7 * kDay, 7 * kDay};
    case ICAL_MONTHLY_RECURRENCE:
        return {(other ? 5 : 28) * kDay, 31 * kDay};
    default:
        return {(other ? 350 : 365) * kDay, (other ? 390 : 366) * kDay};
    }
}
} // namespace

RuleCost RuleCost::of(const icalrecurrencetype &rule)
{
    RuleCost cost;
    const qint64 interval = std::max<qint64>(1, rule.interval);
    const auto [shortest, longest] = periodSpan(rule);
    cost.m_unitSeconds = shortest * interval;
    cost.m_shortest = shortest * interval;
    cost.m_longest = longest * interval;
    const qint64 days = daysPerPeriod(rule);
    // Another scale's period is expanded a day at a time, each day converted.
    const bool other = otherScale(rule) && rule.freq >= ICAL_MONTHLY_RECURRENCE;
    cost.perPeriod = other ? kPerScaleDay * longest / kDay : days > 1 ? days : 0;
    cost.m_gapPeriods = 1 + gapYears(rule) * 366 * kDay / cost.m_shortest;
    cost.setUp = 20 + cost.perPeriod * (1 + cost.m_gapPeriods);
    // Steps of several units meet what the parts leave in so many spans.
    const std::optional<qint64> dayGap = keptDayGap(rule);
    cost.m_passedOver = secondsPassedOver(rule, dayGap.value_or(1)) * interval;
    cost.m_scans = cost.m_passedOver > 0;
    cost.worstScan = cost.scanned(cost.m_passedOver);
    cost.never = neverStarts(rule, dayGap);
    // Of a period's days no more are kept than its parts name; a set
    // position picks among them; their times follow.
    const qint64 kept = std::min(days, mostDaysPerPeriod(rule));
    const qint64 picked = has(rule.by_set_pos) ? std::min(kept, sizeOf(rule.by_set_pos, ICAL_BY_SETPOS_SIZE)) : kept;
    cost.toWindow = picked * timesPerDay(rule);
    return cost;
}

qint64 RuleCost::scanned(qint64 seconds) const
{
    return m_scans && seconds > 0 ? kPerScannedUnit * (seconds / m_unitSeconds) : 0;
}

qint64 RuleCost::entered(qint64 periods) const
{
    return std::max<qint64>(0, periods) * perPeriod;
}

qint64 RuleCost::walk(qint64 seconds, qint64 mostStarts) const
{
    seconds = std::max<qint64>(0, seconds);
    // So many starts reach no further than so many of the longest gaps.
    if (mostStarts > 0)
        seconds = std::min(seconds, (mostStarts + 1) * std::max(m_passedOver, m_longest) * (1 + m_gapPeriods));
    const qint64 periods = seconds / m_shortest + 2;
    qint64 starts = periods * toWindow + 1;
    if (mostStarts > 0)
        starts = std::min(starts, mostStarts + 1);
    return setUp + starts + entered(periods + m_gapPeriods) + scanned(seconds) + worstScan;
}
