#include "EquivalentRule.h"

#include <algorithm>
#include <vector>

namespace {
using Values = std::vector<short>;

bool has(const short *byPart)
{
    return byPart[0] != ICAL_RECURRENCE_ARRAY_MAX;
}

Values valuesOf(const short *byPart, int capacity)
{
    return Values(byPart, std::find(byPart, byPart + capacity, short(ICAL_RECURRENCE_ARRAY_MAX)));
}

void setValues(short *byPart, int capacity, const Values &values)
{
    std::fill(std::copy(values.begin(), values.end(), byPart), byPart + capacity, short(ICAL_RECURRENCE_ARRAY_MAX));
}

// The library takes the times of day its lists name in the order written,
// and out of order it passes over some and gives others late, after starts
// past the window: they are handed to it in order and once each, as the
// sets RFC 5545 makes them.
void inOrder(short *byPart, int capacity)
{
    Values values = valuesOf(byPart, capacity);
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    setValues(byPart, capacity, values);
}

bool anyBelowZero(const short *byPart, int capacity)
{
    const Values values = valuesOf(byPart, capacity);
    return std::any_of(values.begin(), values.end(), [](short v) { return v < 0; });
}

// Of a weekday list that mixes weekdays counted within a span with plain
// ones, the plain ones, as the library reads it in a rule of days or
// shorter steps. False where every weekday is counted.
bool plainWeekdaysOnly(icalrecurrencetype &r)
{
    Values plain;
    for (short day : valuesOf(r.by_day, ICAL_BY_DAY_SIZE))
        if (icalrecurrencetype_day_position(day) == 0)
            plain.push_back(day);
    if (plain.empty() && has(r.by_day))
        return false;
    setValues(r.by_day, ICAL_BY_DAY_SIZE, plain);
    return true;
}

// The values of [0, span) that steps of interval from `from` fall on, and
// that the list names where there is one; all of them with an interval of 0.
Values stepsIn(int span, int from, int interval, const short *listed, int capacity)
{
    const Values named = valuesOf(listed, capacity);
    Values steps;
    for (short v = 0; v < span; ++v)
        if ((interval == 0 || (v - from + span) % interval == 0)
            && (named.empty() || std::find(named.begin(), named.end(), v) != named.end()))
            steps.push_back(v);
    return steps;
}

Values listedOr(const short *listed, int capacity, short value)
{
    return has(listed) ? valuesOf(listed, capacity) : Values{value};
}

// The times of day a rule of steps shorter than a day falls on, the same
// every day, written as the lists of a rule of longer steps, where its
// interval divides the day; false where it does not, or no time is left.
bool stepsAsTimesOfDay(icalrecurrencetype &r, const icaltimetype &start)
{
    const int interval = std::max<int>(1, r.interval);
    if (r.freq == ICAL_DAILY_RECURRENCE) // a rule of days keeps its times
        return interval == 1;
    if ((r.freq == ICAL_HOURLY_RECURRENCE ? 24 : 60) % interval != 0)
        return false;
    Values hours, minutes, seconds;
    switch (r.freq) {
    case ICAL_HOURLY_RECURRENCE:
        hours = stepsIn(24, start.hour, interval, r.by_hour, ICAL_BY_HOUR_SIZE);
        minutes = listedOr(r.by_minute, ICAL_BY_MINUTE_SIZE, short(start.minute));
        seconds = listedOr(r.by_second, ICAL_BY_SECOND_SIZE, short(start.second));
        break;
    case ICAL_MINUTELY_RECURRENCE:
        hours = stepsIn(24, 0, 0, r.by_hour, ICAL_BY_HOUR_SIZE);
        minutes = stepsIn(60, start.minute, interval, r.by_minute, ICAL_BY_MINUTE_SIZE);
        seconds = listedOr(r.by_second, ICAL_BY_SECOND_SIZE, short(start.second));
        break;
    case ICAL_SECONDLY_RECURRENCE:
        hours = stepsIn(24, 0, 0, r.by_hour, ICAL_BY_HOUR_SIZE);
        minutes = stepsIn(60, 0, 0, r.by_minute, ICAL_BY_MINUTE_SIZE);
        seconds = stepsIn(60, start.second, interval, r.by_second, ICAL_BY_SECOND_SIZE);
        break;
    default:
        return false;
    }
    if (hours.empty() || minutes.empty() || seconds.empty())
        return false;
    setValues(r.by_hour, ICAL_BY_HOUR_SIZE, hours);
    setValues(r.by_minute, ICAL_BY_MINUTE_SIZE, minutes);
    setValues(r.by_second, ICAL_BY_SECOND_SIZE, seconds);
    r.interval = 1;
    return true;
}
} // namespace

icalrecurrencetype EquivalentRule::of(icalrecurrencetype rule, const icaltimetype &start)
{
    inOrder(rule.by_second, ICAL_BY_SECOND_SIZE);
    inOrder(rule.by_minute, ICAL_BY_MINUTE_SIZE);
    inOrder(rule.by_hour, ICAL_BY_HOUR_SIZE);
    if (rule.freq > ICAL_DAILY_RECURRENCE || (rule.rscale && *rule.rscale) || !plainWeekdaysOnly(rule))
        return rule;
    const bool fromMonthEnd = anyBelowZero(rule.by_month_day, ICAL_BY_MONTHDAY_SIZE);
    const bool fromYearEnd = anyBelowZero(rule.by_year_day, ICAL_BY_YEARDAY_SIZE);
    // Year days with month days or months, a week number or a set position
    // have no one form of longer steps; a rule of days has no year days.
    if ((!fromMonthEnd && !fromYearEnd) || has(rule.by_week_no) || has(rule.by_set_pos)
        || (has(rule.by_year_day) && (has(rule.by_month_day) || has(rule.by_month)
                                      || rule.freq == ICAL_DAILY_RECURRENCE)))
        return rule;
    icalrecurrencetype longer = rule;
    if (!stepsAsTimesOfDay(longer, start))
        return rule;
    longer.freq = has(rule.by_year_day) ? ICAL_YEARLY_RECURRENCE : ICAL_MONTHLY_RECURRENCE;
    return longer;
}
