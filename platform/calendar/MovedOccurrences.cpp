#include "MovedOccurrences.h"

#include <algorithm>

namespace {
// Moves an occurrence to another start, keeping its length (whole days for a
// whole-day event, so a change of clocks does not stretch it).
CalendarAppointment movedTo(const CalendarAppointment &master, const QDateTime &start)
{
    CalendarAppointment a = master;
    a.start = start;
    if (master.allDay)
        a.end = start.addDays(master.start.daysTo(master.end));
    else
        a.end = start.addSecs(master.start.secsTo(master.end));
    return a;
}
} // namespace

void MovedOccurrences::add(const QDateTime &original, const CalendarAppointment &entry, bool cancelled, bool andLater)
{
    if (andLater)
        m_later.append({original.toSecsSinceEpoch(), original.secsTo(entry.start),
                        entry.end.isValid() ? entry.start.secsTo(entry.end) : -1, entry, cancelled});
    else
        m_own.insert(original.toSecsSinceEpoch());
}

void MovedOccurrences::settle()
{
    // Of two entries from the same start the first in the file holds.
    std::stable_sort(m_later.begin(), m_later.end(),
                     [](const Later &a, const Later &b) { return a.original < b.original; });
}

std::optional<CalendarAppointment> MovedOccurrences::occurrence(const CalendarAppointment &master,
                                                                const QDateTime &start, const QDateTime &end) const
{
    const qint64 at = start.toSecsSinceEpoch();
    if (m_own.contains(at))
        return std::nullopt; // an entry of its own
    const auto byOriginal = [](const Later &a, qint64 t) { return a.original < t; };
    auto after = std::upper_bound(m_later.begin(), m_later.end(), at,
                                  [](qint64 t, const Later &a) { return t < a.original; });
    if (after == m_later.begin()) {
        CalendarAppointment a = movedTo(master, start);
        if (end.isValid())
            a.end = end;
        return a;
    }
    const Later &from = *std::lower_bound(m_later.begin(), after, std::prev(after)->original, byOriginal);
    if (from.cancelled)
        return std::nullopt;
    return movedTo(from.entry, start.addSecs(from.shift));
}

std::pair<qint64, qint64> MovedOccurrences::reach(const CalendarAppointment &master) const
{
    qint64 before = master.start.secsTo(master.end) + (master.allDay ? 3600 : 0), after = 0;
    for (const Later &m : m_later) {
        if (m.length < 0)
            continue;
        before = std::max(before, m.shift + m.length + 3600);
        after = std::max(after, -m.shift);
    }
    return {before, after};
}
