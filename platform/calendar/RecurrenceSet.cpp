#include "RecurrenceSet.h"

#include "IcsTime.h"

#include <QSet>

using IcsTime::momentOf;

namespace {
bool has(const short *byPart)
{
    return byPart[0] != ICAL_RECURRENCE_ARRAY_MAX;
}

qint64 wallSeconds(icaltimetype t)
{
    t.zone = nullptr;
    return icaltime_as_timet(t);
}

// A zone whose clocks change: the library's walk in steps under a day shifts
// at each change, so only a walk from the start gives its starts.
bool hasClockChanges(const icaltimetype &start)
{
    return start.zone && !icaltime_is_utc(start);
}

// An iterator that starts near from. A rule with COUNT must count from its
// start. Days and longer steps seek with the library's own call, which keeps
// the rule's interval; it mis-seeks shorter steps, so those start from the
// last start of the rule's own grid before from (the same grid, as starts
// repeat in whole steps of wall-clock time) unless an hour or set position
// limit makes the grid uneven or the zone's clocks change.
icalrecur_iterator *iteratorNear(icalrecurrencetype rule, icaltimetype start, const QDateTime &from)
{
    if (rule.count > 0 || momentOf(start) >= from)
        return icalrecur_iterator_new(rule, start);
    const icaltimetype at = IcsTime::timeLike(from, start);
    if (rule.freq >= ICAL_DAILY_RECURRENCE && rule.freq <= ICAL_YEARLY_RECURRENCE) {
        icalrecur_iterator *it = icalrecur_iterator_new(rule, start);
        if (it)
            icalrecur_iterator_set_start(it, at);
        return it;
    }
    if (rule.freq > ICAL_HOURLY_RECURRENCE || has(rule.by_hour) || has(rule.by_set_pos) || hasClockChanges(start))
        return icalrecur_iterator_new(rule, start);
    const qint64 unit = rule.freq == ICAL_SECONDLY_RECURRENCE ? 1 : rule.freq == ICAL_MINUTELY_RECURRENCE ? 60 : 3600;
    const qint64 step = unit * std::max<qint64>(1, rule.interval);
    const qint64 steps = (wallSeconds(at) - wallSeconds(start)) / step;
    icaltimetype near = icaltime_from_timet_with_zone(wallSeconds(start) + steps * step, 0, nullptr);
    near.zone = start.zone;
    return icalrecur_iterator_new(rule, near);
}

// A whole-day event's rule walks midnights, as the library seeks date-times
// only.
icaltimetype asMidnight(icaltimetype t)
{
    t.is_date = 0;
    t.hour = t.minute = t.second = 0;
    return t;
}

// Adds the rule's starts before to; false when the budget ran out.
bool walk(icalproperty *rrule, const icaltimetype &dtstart, const QDateTime &to, const QDateTime &from,
          RecurrenceSet::Result &result, CheckBudget &budget)
{
    icalrecurrencetype rule = icalproperty_get_rrule(rrule);
    const icaltimetype start = dtstart.is_date ? asMidnight(dtstart) : dtstart;
    if (dtstart.is_date && rule.until.is_date && !icaltime_is_null_time(rule.until))
        rule.until = asMidnight(rule.until);
    icalrecur_iterator *it = iteratorNear(rule, start, from);
    if (!it) {
        result.unreadableRule = true;
        return true;
    }
    bool inBudget = true;
    for (icaltimetype next = icalrecur_iterator_next(it); !icaltime_is_null_time(next);
         next = icalrecur_iterator_next(it)) {
        if (!(inBudget = budget.spend()))
            break;
        next.zone = dtstart.zone;
        next.is_date = dtstart.is_date;
        const QDateTime at = momentOf(next);
        if (at >= to)
            break;
        result.starts.append({at, {}});
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

// EXDATE date-times drop the start they name; a date drops every start of
// that day.
void exclude(icalcomponent *event, QList<RecurrenceSet::Start> &starts)
{
    QSet<qint64> moments;
    QSet<QDate> days;
    for (icalproperty *p = icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_EXDATE_PROPERTY)) {
        const icaltimetype t = icalproperty_get_datetime_with_component(p, event);
        if (t.is_date)
            days.insert(QDate(t.year, t.month, t.day));
        else
            moments.insert(momentOf(t).toSecsSinceEpoch());
    }
    QSet<qint64> seen;
    starts.removeIf([&](const RecurrenceSet::Start &s) {
        const qint64 key = s.start.toSecsSinceEpoch();
        const bool drop = moments.contains(key) || days.contains(s.start.toLocalTime().date()) || seen.contains(key);
        seen.insert(key);
        return drop;
    });
}
} // namespace

RecurrenceSet::Result RecurrenceSet::between(icalcomponent *event, icalcomponent *root, const QDateTime &from,
                                             const QDateTime &to, CheckBudget &budget)
{
    Result result;
    const icaltimetype dtstart = icalcomponent_get_dtstart(event);
    result.starts.append({momentOf(dtstart), {}});
    for (icalproperty *p = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY); p && !result.budgetSpent;
         p = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY))
        result.budgetSpent = !walk(p, dtstart, to, from, result, budget);
    for (icalproperty *p = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY))
        result.starts.append(dateOrPeriod(p, root));
    result.starts.removeIf([&](const Start &s) { return !s.start.isValid() || s.start < from || s.start >= to; });
    exclude(event, result.starts);
    return result;
}
