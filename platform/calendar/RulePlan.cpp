#include "RulePlan.h"

#include "EquivalentRule.h"
#include "IcsTime.h"

#include <algorithm>
#include <numeric>

namespace {
constexpr qint64 kDay = 86400;
// The library counts days before the Gregorian reform of 1582 by the Julian
// calendar; from here on its days are those of the arithmetic.
constexpr int kFirstGregorianYear = 1583;

bool has(const short *byPart)
{
    return byPart[0] != ICAL_RECURRENCE_ARRAY_MAX;
}

bool hasOrdinal(const icalrecurrencetype &r)
{
    for (int i = 0; i < ICAL_BY_DAY_SIZE && r.by_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
        if (icalrecurrencetype_day_position(r.by_day[i]) != 0)
            return true;
    return false;
}

bool hasParts(const icalrecurrencetype &r)
{
    return has(r.by_second) || has(r.by_minute) || has(r.by_hour) || has(r.by_day) || has(r.by_month_day)
           || has(r.by_year_day) || has(r.by_week_no) || has(r.by_month) || has(r.by_set_pos);
}

// A zone whose clocks change: the library's walk in steps under a day shifts
// at each change, so only a walk from the start gives its starts.
bool hasClockChanges(const icaltimetype &start)
{
    return start.zone && !icaltime_is_utc(start);
}

// Each period holds exactly one start, so the n-th period's is the n-th.
bool oneStartPerPeriod(const icalrecurrencetype &r, const icaltimetype &start)
{
    if (hasParts(r))
        return false;
    if (r.freq == ICAL_MONTHLY_RECURRENCE)
        return start.day <= 28;
    return r.freq != ICAL_YEARLY_RECURRENCE || start.month != 2 || start.day != 29;
}

icaltimetype withWall(icaltimetype t, qint64 wall)
{
    const qint64 day = wall / kDay, second = wall % kDay;
    const QDate date = QDate::fromJulianDay(day);
    t.year = date.year();
    t.month = date.month();
    t.day = date.day();
    t.hour = int(second / 3600);
    t.minute = int(second / 60 % 60);
    t.second = int(second % 60);
    return t;
}

// A start moved by whole periods of the rule, which repeats the same from
// there: a few periods before at, or start itself. A day the period it lands
// on lacks (the 31st, 29 February) moves on back, a few periods at most.
// Gives the start and the periods moved.
std::pair<icaltimetype, int> movedBy(icaltimetype start, int periods, icalrecurrencetype_frequency freq, int interval)
{
    const QDate from(start.year, start.month, start.day);
    for (int k = periods; k > 0 && k > periods - 8; --k) {
        const int step = k * interval;
        const QDate day = freq == ICAL_YEARLY_RECURRENCE    ? QDate(start.year + step, start.month, start.day)
                          : freq == ICAL_MONTHLY_RECURRENCE ? QDate(from.addMonths(step).year(),
                                                                    from.addMonths(step).month(), start.day)
                          : freq == ICAL_WEEKLY_RECURRENCE  ? from.addDays(7 * qint64(step))
                                                            : from.addDays(step);
        if (day.isValid()) {
            start.year = day.year();
            start.month = day.month();
            start.day = day.day();
            return {start, k};
        }
    }
    return {start, 0};
}

// The periods between start and at, less a margin of two for the
// occurrences of a period that reach past it and for any zone's offset.
int periodsBefore(const icaltimetype &start, const icaltimetype &at, icalrecurrencetype_frequency freq, int interval)
{
    const QDate from(start.year, start.month, start.day), to(at.year, at.month, at.day);
    const qint64 units = freq == ICAL_YEARLY_RECURRENCE    ? at.year - start.year
                         : freq == ICAL_MONTHLY_RECURRENCE ? (at.year - start.year) * 12 + at.month - start.month
                         : freq == ICAL_WEEKLY_RECURRENCE  ? from.daysTo(to) / 7
                                                           : from.daysTo(to);
    return int(std::max<qint64>(0, (units - 2) / std::max(1, interval)));
}

// A part of the rule's own unit or a finer one is a list the library runs
// through, stepping the next larger unit at its end: started off the list,
// or on it past its first entry, it passes over the rest of that unit, as
// it does from DTSTART. So it is started a whole number of such units from
// DTSTART, one more before the window, where a walk from DTSTART is in step.
qint64 listCycle(const icalrecurrencetype &r)
{
    if (has(r.by_minute) && r.freq <= ICAL_MINUTELY_RECURRENCE)
        return 3600;
    if (has(r.by_second) && r.freq == ICAL_SECONDLY_RECURRENCE)
        return 60;
    return 1;
}

// A whole-day event's rule walks midnights, as the library seeks date-times
// only.
icaltimetype asMidnight(icaltimetype t)
{
    t.is_date = 0;
    t.hour = t.minute = t.second = 0;
    return t;
}
} // namespace

qint64 RulePlan::wallSeconds(const icaltimetype &t)
{
    return QDate(t.year, t.month, t.day).toJulianDay() * kDay + (t.hour * 60 + t.minute) * 60 + t.second;
}

RulePlan RulePlan::of(icalrecurrencetype rule, const icaltimetype &dtstart, const QDateTime &from,
                      const QDateTime &to, bool fromStart, std::optional<RuleCost> *known)
{
    RulePlan plan;
    plan.start = dtstart.is_date ? asMidnight(dtstart) : dtstart;
    if (dtstart.is_date && rule.until.is_date && !icaltime_is_null_time(rule.until))
        rule.until = asMidnight(rule.until);
    plan.rule = rule = EquivalentRule::of(rule, plan.start);
    plan.first = plan.start;
    if (known && !*known)
        *known = RuleCost::of(rule);
    plan.cost = known ? **known : RuleCost::of(rule);
    plan.none = plan.refused = plan.cost.never;
    if (plan.none)
        return plan;
    // The window's wall clock in the start's zone, its end an hour later
    // than its length for a change of clocks inside it.
    const icaltimetype at = IcsTime::timeLike(from, plan.start);
    plan.wallFrom = wallSeconds(at);
    plan.wallTo = plan.wallFrom + from.secsTo(to) + 3600;
    if (!fromStart && plan.start.year >= kFirstGregorianYear && IcsTime::momentOf(plan.start) < from)
        plan.near(at);
    if (plan.none)
        return plan;
    const qint64 walked = plan.road == Road::Seek ? wallSeconds(plan.seekTo) : wallSeconds(plan.first);
    const qint64 seek = plan.road == Road::Seek ? plan.cost.setUp : 0;
    plan.charge = seek + plan.cost.walk(plan.wallTo - walked, plan.rule.count);
    return plan;
}

void RulePlan::near(const icaltimetype &at)
{
    const int interval = std::max<int>(1, rule.interval);
    if (rule.rscale && *rule.rscale) {
        // The library's own seek knows the scale's periods; it cannot count.
        if (rule.count > 0 || rule.freq < ICAL_DAILY_RECURRENCE)
            return;
        road = Road::Seek;
        seekTo = withWall(at, (wallSeconds(at) - 2 * cost.longestPeriod()) / kDay * kDay);
        return;
    }
    if (rule.count > 0 && !oneStartPerPeriod(rule, start))
        return;
    // A weekday counted within a week, which RFC 5545 leaves undefined, the
    // library reads by where it was started: only a walk from DTSTART gives
    // its starts.
    if (rule.freq == ICAL_WEEKLY_RECURRENCE && hasOrdinal(rule))
        return;
    qint64 passed = 0;
    if (rule.freq >= ICAL_DAILY_RECURRENCE) {
        std::tie(first, passed) = movedBy(start, periodsBefore(start, at, rule.freq, interval), rule.freq, interval);
    } else {
        // Shorter steps repeat on a grid of wall-clock time, unless an hour
        // or set position limit makes it uneven or the zone's clocks change.
        if (has(rule.by_hour) || has(rule.by_set_pos) || hasClockChanges(start))
            return;
        const qint64 unit = rule.freq == ICAL_SECONDLY_RECURRENCE ? 1 : rule.freq == ICAL_MINUTELY_RECURRENCE ? 60 : 3600;
        const qint64 cycle = listCycle(rule), step = std::lcm(unit * interval, cycle);
        passed = std::max<qint64>(0, (wallSeconds(at) - wallSeconds(start)) / step - (cycle > 1));
        first = withWall(start, wallSeconds(start) + passed * step);
    }
    road = Road::Arithmetic;
    if (rule.count > 0 && passed >= rule.count)
        none = true; // its last start lies before the window
    else if (rule.count > 0)
        rule.count -= int(passed);
}
