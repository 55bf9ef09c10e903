#include "IcsReader.h"

#include "IcsEvent.h"
#include "IcsTime.h"
#include "RecurrenceSet.h"

#include <QHash>

struct IcsReader::Calendar
{
    icalcomponent *root = nullptr;
    ~Calendar() { if (root) icalcomponent_free(root); }
};

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

bool overlaps(const CalendarAppointment &a, const QDateTime &from, const QDateTime &to)
{
    return a.start < to && (a.end > from || (a.end == a.start && a.start >= from));
}

bool isCancelled(icalcomponent *c)
{
    return icalcomponent_get_status(c) == ICAL_STATUS_CANCELLED;
}

QDateTime originalStart(icalcomponent *c)
{
    icalproperty *rid = icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY);
    return rid ? IcsTime::momentOf(icalproperty_get_datetime_with_component(rid, c)) : QDateTime();
}

bool thisAndFuture(icalcomponent *c)
{
    icalproperty *rid = icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY);
    icalparameter *range = rid ? icalproperty_get_first_parameter(rid, ICAL_RANGE_PARAMETER) : nullptr;
    return range && icalparameter_get_range(range) == ICAL_RANGE_THISANDFUTURE;
}

} // namespace

// An entry that moves or cancels the occurrence at original, or with
// RANGE=THISANDFUTURE that one and every later one.
struct IcsReader::Moved
{
    QDateTime original;
    CalendarAppointment appointment;
    bool cancelled = false;
    bool andLater = false;
};

IcsReader::IcsReader(const QByteArray &bytes, const QString &fileName)
    : m_calendar(std::make_unique<Calendar>()), m_fileName(fileName)
{
    icalcomponent *root = icalparser_parse_string(bytes.constData());
    if (root && icalcomponent_isa(root) != ICAL_VCALENDAR_COMPONENT) {
        icalcomponent_free(root);
        root = nullptr;
    }
    if (root)
        IcsTime::settleZones(root, fileName, m_problems);
    m_calendar->root = root;
}

IcsReader::~IcsReader() = default;

bool IcsReader::isValid() const
{
    return m_calendar->root != nullptr;
}

bool IcsReader::parses(const QByteArray &bytes)
{
    return IcsReader(bytes, QString()).isValid();
}

std::optional<CalendarAppointment> IcsReader::occurrence(const CalendarAppointment &master, const QDateTime &start,
                                                         const QDateTime &end, const QList<Moved> &moved) const
{
    const Moved *from = nullptr;
    for (const Moved &m : moved) {
        if (m.original == start && !m.andLater)
            return std::nullopt; // an entry of its own
        if (m.andLater && m.original <= start && (!from || m.original > from->original))
            from = &m;
    }
    if (!from) {
        CalendarAppointment a = movedTo(master, start);
        if (end.isValid())
            a.end = end;
        return a;
    }
    if (from->cancelled)
        return std::nullopt;
    return movedTo(from->appointment, start.addSecs(from->original.secsTo(from->appointment.start)));
}

// How long before a window an occurrence may start and still reach into it,
// and how long after it one may start that is moved into it. (A whole day
// is an hour longer on the day the clocks change.)
std::pair<qint64, qint64> IcsReader::reach(const CalendarAppointment &master, const QList<Moved> &moved)
{
    qint64 before = master.start.secsTo(master.end) + (master.allDay ? 3600 : 0), after = 0;
    for (const Moved &m : moved) {
        if (!m.andLater || !m.appointment.end.isValid())
            continue;
        const qint64 shift = m.original.secsTo(m.appointment.start);
        before = std::max(before, shift + m.appointment.start.secsTo(m.appointment.end) + 3600);
        after = std::max(after, -shift);
    }
    return {before, after};
}

// The entries that move or cancel occurrences, by event; those that move a
// single one into the window are found as they stand.
QHash<QString, QList<IcsReader::Moved>> IcsReader::movedEntries(const QDateTime &from, const QDateTime &to,
                                                                 QList<CalendarAppointment> &found) const
{
    QHash<QString, QList<Moved>> moved;
    int position = 0;
    for (icalcomponent *c = icalcomponent_get_first_component(m_calendar->root, ICAL_VEVENT_COMPONENT); c;
         c = icalcomponent_get_next_component(m_calendar->root, ICAL_VEVENT_COMPONENT), ++position) {
        const QDateTime original = originalStart(c);
        if (!original.isValid())
            continue;
        const Moved m{original, IcsEvent::appointmentOf(c, m_fileName, position), isCancelled(c), thisAndFuture(c)};
        moved[m.appointment.uid].append(m);
        if (!m.cancelled && !m.andLater && m.appointment.end.isValid() && overlaps(m.appointment, from, to))
            found.append(m.appointment);
    }
    return moved;
}

QList<CalendarAppointment> IcsReader::occurrences(const QDateTime &from, const QDateTime &to, QStringList &warnings,
                                                 CheckBudget &budget, int &leftOut) const
{
    QList<CalendarAppointment> found;
    if (!isValid())
        return found;
    icalcomponent *root = m_calendar->root;
    QHash<QString, QList<Moved>> moved = movedEntries(from, to, found);
    int position = 0;
    for (icalcomponent *c = icalcomponent_get_first_component(root, ICAL_VEVENT_COMPONENT); c;
         c = icalcomponent_get_next_component(root, ICAL_VEVENT_COMPONENT), ++position) {
        if (originalStart(c).isValid() || isCancelled(c))
            continue;
        const CalendarAppointment master = IcsEvent::appointmentOf(c, m_fileName, position);
        if (!master.start.isValid())
            continue;
        if (!master.end.isValid()) {
            warnings << QStringLiteral("%1: \"%2\" has a length no calendar can hold; left out")
                            .arg(m_fileName, master.subject);
            continue;
        }
        // Past the budget an event still counts by its start and its added
        // dates; only its rules are no longer walked.
        const QList<Moved> changes = moved.value(master.uid);
        const auto [before, after] = reach(master, changes);
        const RecurrenceSet::Result set =
            RecurrenceSet::between(c, root, from.addSecs(-before), to.addSecs(after), budget);
        if (set.unreadableRule)
            warnings << QStringLiteral("%1: a repeat rule of \"%2\" cannot be read").arg(m_fileName, master.subject);
        if (set.budgetSpent)
            ++leftOut;
        for (const RecurrenceSet::Start &s : set.starts) {
            const std::optional<CalendarAppointment> a = occurrence(master, s.start, s.end, changes);
            if (a && overlaps(*a, from, to))
                found.append(*a);
        }
    }
    return found;
}
