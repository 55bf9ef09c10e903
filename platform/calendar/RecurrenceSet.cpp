#include "RecurrenceSet.h"

#include "IcsTime.h"
#include "RuleCost.h"

#include <QSet>

using IcsTime::momentOf;

namespace {
// Starts far from the window are told by their wall clock alone, which
// needs no zone: two days hold the difference of any two offsets.
constexpr qint64 kWallMargin = 2 * 86400;

bool has(const short *byPart)
{
    return byPart[0] != ICAL_RECURRENCE_ARRAY_MAX;
}

qint64 wallSeconds(const icaltimetype &t)
{
    return QDate(t.year, t.month, t.day).toJulianDay() * 86400 + (t.hour * 60 + t.minute) * 60 + t.second;
}

// A zone whose clocks change: the library's walk in steps under a day shifts
// at each change, so only a walk from the start gives its starts.
bool hasClockChanges(const icaltimetype &start)
{
    return start.zone && !icaltime_is_utc(start);
}

// A start moved by whole periods of the rule, which repeats the same from
// there: a few periods before at, or start itself.
icaltimetype movedBy(icaltimetype start, int periods, icalrecurrencetype_frequency freq, int interval)
{
    const QDate from(start.year, start.month, start.day);
    // A day the period it lands on lacks (the 31st, 29 February) moves on
    // back, a few periods at most.
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
            return start;
        }
    }
    return start;
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

// An iterator that starts near from. A rule with COUNT must count from its
// start. A rule of days or longer steps starts whole periods later, which
// keeps its interval and its own grid (the library's own seek is not used:
// it crashes on a year without such a day, and its cost is hidden in the
// first start). Shorter steps start from the last start of the rule's own
// grid before from (the same grid, as starts repeat in whole steps of
// wall-clock time) unless an hour or set position limit makes the grid
// uneven or the zone's clocks change.
icalrecur_iterator *iteratorNear(icalrecurrencetype rule, icaltimetype start, const QDateTime &from)
{
    if (rule.count > 0 || momentOf(start) >= from)
        return icalrecur_iterator_new(rule, start);
    const icaltimetype at = IcsTime::timeLike(from, start);
    if (rule.freq >= ICAL_DAILY_RECURRENCE && rule.freq <= ICAL_YEARLY_RECURRENCE)
        return icalrecur_iterator_new(rule, movedBy(start, periodsBefore(start, at, rule.freq, rule.interval),
                                                    rule.freq, std::max<int>(1, rule.interval)));
    if (rule.freq > ICAL_HOURLY_RECURRENCE || has(rule.by_hour) || has(rule.by_set_pos) || hasClockChanges(start))
        return icalrecur_iterator_new(rule, start);
    const qint64 unit = rule.freq == ICAL_SECONDLY_RECURRENCE ? 1 : rule.freq == ICAL_MINUTELY_RECURRENCE ? 60 : 3600;
    const qint64 step = unit * std::max<qint64>(1, rule.interval);
    const qint64 steps = (wallSeconds(at) - wallSeconds(start)) / step;
    icaltimetype near = start;
    icaltime_adjust(&near, int(steps * step / 86400), 0, 0, int(steps * step % 86400));
    return icalrecur_iterator_new(rule, near);
}

// Which period of the rule a start is in: entering another costs the
// library the expansion of its days.
qint64 periodOf(const icaltimetype &t, icalrecurrencetype_frequency freq)
{
    const qint64 day = QDate(t.year, t.month, t.day).toJulianDay();
    return freq == ICAL_YEARLY_RECURRENCE ? t.year : freq == ICAL_MONTHLY_RECURRENCE ? t.year * 12 + t.month
                                                 : freq == ICAL_WEEKLY_RECURRENCE  ? day / 7
                                                                                   : day;
}

// A whole-day event's rule walks midnights, as the library seeks date-times
// only.
icaltimetype asMidnight(icaltimetype t)
{
    t.is_date = 0;
    t.hour = t.minute = t.second = 0;
    return t;
}

// The window and what is kept of the starts found in it.
class Collector
{
public:
    Collector(icalcomponent *event, const QDateTime &from, const QDateTime &to, CheckBudget &budget)
        : m_event(event), m_from(from), m_to(to), m_budget(budget)
    {
    }

    const QDateTime &from() const { return m_from; }
    const QDateTime &to() const { return m_to; }
    bool holds(qint64 steps)
    {
        if (!m_budget.holds(steps))
            m_result.cut = true;
        return !m_result.cut;
    }
    bool spend(qint64 steps = 1)
    {
        if (!m_budget.spend(steps))
            m_result.cut = true;
        return !m_result.cut;
    }
    // EXDATE date-times drop the start they name; a date drops every start of
    // that day.
    bool readExclusions();
    void add(const QDateTime &start, const QDateTime &end = {})
    {
        const bool inside = end.isValid() ? start < m_to && end > m_from : start >= m_from && start < m_to;
        if (!start.isValid() || !inside)
            return;
        const qint64 key = start.toSecsSinceEpoch();
        if (m_moments.contains(key) || m_days.contains(start.toLocalTime().date()) || m_seen.contains(key))
            return;
        m_seen.insert(key);
        m_result.starts.append({start, end});
    }
    RecurrenceSet::Result &result() { return m_result; }

private:
    icalcomponent *m_event;
    QDateTime m_from, m_to;
    CheckBudget &m_budget;
    QSet<qint64> m_moments, m_seen;
    QSet<QDate> m_days;
    RecurrenceSet::Result m_result;
};

bool Collector::readExclusions()
{
    for (icalproperty *p = icalcomponent_get_first_property(m_event, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(m_event, ICAL_EXDATE_PROPERTY)) {
        if (!spend())
            return false;
        const icaltimetype t = icalproperty_get_datetime_with_component(p, m_event);
        if (t.is_date)
            m_days.insert(QDate(t.year, t.month, t.day));
        else if (const QDateTime at = momentOf(t); at.isValid())
            m_moments.insert(at.toSecsSinceEpoch());
    }
    return true;
}

// Adds the rule's starts in the window; false when the budget ran out.
bool walk(icalproperty *rrule, const icaltimetype &dtstart, RecurrenceSet::Walk how, Collector &window)
{
    icalrecurrencetype rule = icalproperty_get_rrule(rrule);
    const icaltimetype start = dtstart.is_date ? asMidnight(dtstart) : dtstart;
    if (dtstart.is_date && rule.until.is_date && !icaltime_is_null_time(rule.until))
        rule.until = asMidnight(rule.until);
    // The library's calls are paid before they are made, or, where what it
    // passes over is known only after, its most is held before.
    const RuleCost cost = RuleCost::of(rule);
    if (cost.never)
        return true;
    if (!window.spend(cost.setUp))
        return false;
    icalrecur_iterator *it = how == RecurrenceSet::Walk::Near ? iteratorNear(rule, start, window.from())
                                                             : icalrecur_iterator_new(rule, start);
    if (!it) {
        window.result().unreadableRule = true;
        return true;
    }
    const qint64 wallFrom = wallSeconds(IcsTime::timeLike(window.from(), start)) - kWallMargin;
    const qint64 wallTo = wallSeconds(IcsTime::timeLike(window.to(), start)) + kWallMargin;
    bool inBudget = true;
    qint64 period = periodOf(start, rule.freq), last = wallSeconds(start);
    while ((inBudget = window.holds(cost.worstScan) && window.spend())) {
        icaltimetype next = icalrecur_iterator_next(it);
        if (icaltime_is_null_time(next))
            break;
        const qint64 wall = wallSeconds(next);
        qint64 paid = cost.scanned(wall - last);
        last = wall;
        if (const qint64 now = periodOf(next, rule.freq); now != period) {
            period = now;
            paid += cost.perPeriod;
        }
        if (!(inBudget = window.spend(paid)))
            break;
        if (wall < wallFrom)
            continue; // walked past on the way, never kept
        next.zone = dtstart.zone;
        next.is_date = dtstart.is_date;
        const QDateTime at = momentOf(next);
        if (wall >= wallTo || at >= window.to())
            break;
        window.add(at);
    }
    icalrecur_iterator_free(it);
    return inBudget;
}

RecurrenceSet::Start dateOrPeriod(icalproperty *rdate, icalcomponent *root)
{
    icaldatetimeperiodtype value = icalproperty_get_rdate(rdate);
    const icaltimezone *zone = IcsTime::zoneOf(rdate, root);
    if (!icaltime_is_null_time(value.time)) {
        if (zone && !value.time.is_date)
            value.time.zone = zone;
        return {momentOf(value.time), {}};
    }
    icalperiodtype period = value.period;
    if (zone)
        period.start.zone = period.end.zone = zone;
    const QDateTime start = momentOf(period.start);
    if (!icaltime_is_null_time(period.end))
        return {start, momentOf(period.end)};
    return {start, start.addSecs(icaldurationtype_as_int(period.duration))};
}

// The added dates; false when the budget ran out. Each costs a step and its
// zone another.
bool addDates(icalcomponent *event, icalcomponent *root, Collector &window)
{
    for (icalproperty *p = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY)) {
        if (!window.spend() || (icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER) && !window.spend()))
            return false;
        const RecurrenceSet::Start s = dateOrPeriod(p, root);
        window.add(s.start, s.end);
    }
    return true;
}
} // namespace

RecurrenceSet::Result RecurrenceSet::between(icalcomponent *event, icalcomponent *root, const QDateTime &from,
                                             const QDateTime &to, Walk how, CheckBudget &budget)
{
    Collector window(event, from, to, budget);
    const icaltimetype dtstart = icalcomponent_get_dtstart(event);
    // Past the budget an event still counts by its start.
    const bool excluded = window.readExclusions();
    window.add(momentOf(dtstart));
    if (!excluded || !addDates(event, root, window))
        return window.result();
    for (icalproperty *p = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY))
        if (!walk(p, dtstart, how, window))
            break;
    return window.result();
}
