#include "RecurrenceSet.h"

#include "IcsTime.h"
#include "RulePlan.h"

#include <QSet>

#include <optional>

using IcsTime::momentOf;

namespace {
// Starts far from the window are told by their wall clock alone, which
// needs no zone: two days hold the difference of any two offsets.
constexpr qint64 kWallMargin = 2 * 86400;

qint64 wallSeconds(const icaltimetype &t)
{
    return RulePlan::wallSeconds(t);
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
    void countLibrary(qint64 work) { m_budget.countLibrary(work); }
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

// The library's iterator on one rule, each of its calls paid before it is
// made, or, where what it passes over is known only after, its most held
// before; and counted as the library's work.
class Iterator
{
public:
    Iterator(const RulePlan &plan, Collector &window) : m_plan(plan), m_window(window) {}
    ~Iterator()
    {
        if (m_it)
            icalrecur_iterator_free(m_it);
    }
    Iterator(const Iterator &) = delete;
    Iterator &operator=(const Iterator &) = delete;

    // Made where the plan starts it, and sought on; false when the budget ran out.
    bool begin()
    {
        if (!m_window.spend(m_plan.cost.setUp))
            return false;
        m_window.countLibrary(m_plan.cost.setUp);
        m_it = icalrecur_iterator_new(m_plan.rule, m_plan.first);
        m_last = m_plan.first;
        if (!m_it || m_plan.road != RulePlan::Road::Seek)
            return true;
        if (!m_window.spend(m_plan.cost.setUp))
            return false;
        m_window.countLibrary(m_plan.cost.setUp);
        icalrecur_iterator_set_start(m_it, m_plan.seekTo);
        m_last = m_plan.seekTo;
        return true;
    }
    bool made() const { return m_it != nullptr; }
    // The next start, null at the rule's end; nullopt when the budget ran out.
    std::optional<icaltimetype> next()
    {
        const RuleCost &cost = m_plan.cost;
        if (!m_window.holds(cost.worstCall()) || !m_window.spend())
            return std::nullopt;
        const icaltimetype next = icalrecur_iterator_next(m_it);
        if (icaltime_is_null_time(next)) {
            m_window.countLibrary(1);
            return next;
        }
        const int interval = std::max<int>(1, m_plan.rule.interval);
        const qint64 periods = (periodOf(next, m_plan.rule.freq) - periodOf(m_last, m_plan.rule.freq) + interval - 1) / interval;
        const qint64 paid = cost.scanned(wallSeconds(next) - wallSeconds(m_last)) + cost.entered(periods);
        m_last = next;
        m_window.countLibrary(1 + paid);
        if (!m_window.spend(paid))
            return std::nullopt;
        return next;
    }

private:
    const RulePlan &m_plan;
    Collector &m_window;
    icalrecur_iterator *m_it = nullptr;
    icaltimetype m_last{};
};

// Adds the rule's starts in the window; false when the budget ran out.
bool walk(icalproperty *rrule, const icaltimetype &dtstart, RecurrenceSet::Walk how, Collector &window,
          std::optional<RuleCost> *known)
{
    const RulePlan plan = RulePlan::of(icalproperty_get_rrule(rrule), dtstart, window.from(), window.to(),
                                       how == RecurrenceSet::Walk::FromStart, known);
    if (plan.refused)
        window.result().refusedRules << QString::fromUtf8(icalproperty_get_value_as_string(rrule));
    if (plan.none)
        return true;
    Iterator it(plan, window);
    if (!it.begin())
        return false;
    if (!it.made()) {
        window.result().unreadableRule = true;
        return true;
    }
    const qint64 wallFrom = plan.wallFrom - kWallMargin, wallTo = plan.wallTo + kWallMargin;
    for (;;) {
        std::optional<icaltimetype> next = it.next();
        if (!next)
            return false;
        if (icaltime_is_null_time(*next))
            return true;
        const qint64 wall = wallSeconds(*next);
        if (wall < wallFrom)
            continue; // walked past on the way, never kept
        next->zone = dtstart.zone;
        next->is_date = dtstart.is_date;
        const QDateTime at = momentOf(*next);
        if (wall >= wallTo || at >= window.to())
            return true;
        window.add(at);
    }
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

RecurrenceSet::Result RecurrenceSet::between(icalcomponent *event, const icaltimetype &dtstart, icalcomponent *root,
                                             const QDateTime &from, const QDateTime &to, Walk how, CheckBudget &budget,
                                             KnownCosts *known)
{
    Collector window(event, from, to, budget);
    // Past the budget an event still counts by its start.
    const bool excluded = window.readExclusions();
    window.add(momentOf(dtstart));
    if (!excluded || !addDates(event, root, window))
        return window.result();
    int rule = 0;
    for (icalproperty *p = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY), ++rule) {
        if (known && known->size() <= rule)
            known->resize(rule + 1);
        if (!walk(p, dtstart, how, window, known ? &(*known)[rule] : nullptr))
            break;
    }
    return window.result();
}
