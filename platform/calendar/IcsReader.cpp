#include "IcsReader.h"

#include <libical/ical.h>

#include <QSet>
#include <QTimeZone>

struct IcsReader::Calendar
{
    icalcomponent *root = nullptr;
    ~Calendar() { if (root) icalcomponent_free(root); }
};

namespace {

QDateTime momentOf(const icaltimetype &t)
{
    const QDate date(t.year, t.month, t.day);
    if (t.is_date)
        return QDateTime(date, QTime(0, 0)); // a whole day runs from local midnight
    const QTime time(t.hour, t.minute, t.second);
    if (icaltime_is_utc(t))
        return QDateTime(date, time, QTimeZone::utc());
    if (t.zone)
        return QDateTime::fromSecsSinceEpoch(icaltime_as_timet_with_zone(t, t.zone));
    return QDateTime(date, time); // floating: the desktop's own time
}

QString text(const char *value)
{
    return value ? QString::fromUtf8(value) : QString();
}

QString xProperty(icalcomponent *c, const char *name)
{
    for (icalproperty *p = icalcomponent_get_first_property(c, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_X_PROPERTY))
        if (qstricmp(icalproperty_get_x_name(p), name) == 0)
            return text(icalproperty_get_value_as_string(p));
    return QString();
}

bool hasXProperty(icalcomponent *c, const char *name)
{
    for (icalproperty *p = icalcomponent_get_first_property(c, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_X_PROPERTY))
        if (qstricmp(icalproperty_get_x_name(p), name) == 0)
            return true;
    return false;
}

BusyStatus busyOf(icalcomponent *c)
{
    const QString marking = xProperty(c, "X-MICROSOFT-CDO-BUSYSTATUS");
    if (!marking.isEmpty())
        return Busy::fromMarking(marking);
    if (icalproperty *p = icalcomponent_get_first_property(c, ICAL_TRANSP_PROPERTY))
        if (icalproperty_get_transp(p) == ICAL_TRANSP_TRANSPARENT)
            return BusyStatus::Free;
    if (icalcomponent_get_status(c) == ICAL_STATUS_TENTATIVE)
        return BusyStatus::Tentative;
    return BusyStatus::Busy;
}

bool isPrivate(icalcomponent *c)
{
    icalproperty *p = icalcomponent_get_first_property(c, ICAL_CLASS_PROPERTY);
    if (!p)
        return false;
    const icalproperty_class cls = icalproperty_get_class(p);
    return cls == ICAL_CLASS_PRIVATE || cls == ICAL_CLASS_CONFIDENTIAL;
}

QString modifiedOf(icalcomponent *c)
{
    icalproperty *p = icalcomponent_get_first_property(c, ICAL_LASTMODIFIED_PROPERTY);
    if (!p)
        p = icalcomponent_get_first_property(c, ICAL_DTSTAMP_PROPERTY);
    return p ? text(icalproperty_get_value_as_string(p)) : QString();
}

// The event as one occurrence starting at its own start.
CalendarAppointment appointmentOf(icalcomponent *c, const QString &fileName, int position)
{
    CalendarAppointment a;
    a.uid = text(icalcomponent_get_uid(c));
    a.subject = text(icalcomponent_get_summary(c));
    a.location = text(icalcomponent_get_location(c));
    const icaltimetype start = icalcomponent_get_dtstart(c);
    a.allDay = start.is_date;
    a.start = momentOf(start);
    const icaltimetype end = icalcomponent_get_dtend(c);
    a.end = icaltime_is_null_time(end) ? (a.allDay ? a.start.addDays(1) : a.start) : momentOf(end);
    a.busy = busyOf(c);
    a.isPrivate = isPrivate(c);
    a.ownStatusChange = hasXProperty(c, "X-TESSALY-STATUS-CHANGE") || a.uid.endsWith(QLatin1String("@status.tessaly"));
    a.modified = modifiedOf(c);
    a.fileName = fileName;
    a.position = position;
    return a;
}

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

QSet<qint64> excludedStarts(icalcomponent *c)
{
    QSet<qint64> starts;
    for (icalproperty *p = icalcomponent_get_first_property(c, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_EXDATE_PROPERTY))
        starts.insert(momentOf(icalproperty_get_datetime_with_component(p, c)).toSecsSinceEpoch());
    return starts;
}

bool isCancelled(icalcomponent *c)
{
    return icalcomponent_get_status(c) == ICAL_STATUS_CANCELLED;
}

} // namespace

IcsReader::IcsReader(const QByteArray &bytes, const QString &fileName)
    : m_calendar(std::make_unique<Calendar>()), m_fileName(fileName)
{
    icalcomponent *root = icalparser_parse_string(bytes.constData());
    if (root && icalcomponent_isa(root) != ICAL_VCALENDAR_COMPONENT) {
        icalcomponent_free(root);
        root = nullptr;
    }
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

QList<CalendarAppointment> IcsReader::occurrences(const QDateTime &from, const QDateTime &to,
                                                 QStringList &warnings) const
{
    QList<CalendarAppointment> found;
    if (!isValid())
        return found;
    icalcomponent *root = m_calendar->root;
    // Occurrences moved or cancelled one by one, by event and original start.
    QSet<QString> overridden;
    int position = 0;
    for (icalcomponent *c = icalcomponent_get_first_component(root, ICAL_VEVENT_COMPONENT); c;
         c = icalcomponent_get_next_component(root, ICAL_VEVENT_COMPONENT), ++position) {
        icalproperty *rid = icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY);
        if (!rid)
            continue;
        const QDateTime original = momentOf(icalproperty_get_datetime_with_component(rid, c));
        overridden.insert(text(icalcomponent_get_uid(c)) + QString::number(original.toSecsSinceEpoch()));
        const CalendarAppointment a = appointmentOf(c, m_fileName, position);
        if (!isCancelled(c) && overlaps(a, from, to))
            found.append(a);
    }
    position = 0;
    for (icalcomponent *c = icalcomponent_get_first_component(root, ICAL_VEVENT_COMPONENT); c;
         c = icalcomponent_get_next_component(root, ICAL_VEVENT_COMPONENT), ++position) {
        if (icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY) || isCancelled(c))
            continue;
        const CalendarAppointment master = appointmentOf(c, m_fileName, position);
        if (!master.start.isValid())
            continue;
        icalproperty *rule = icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY);
        if (!rule) {
            if (overlaps(master, from, to))
                found.append(master);
            continue;
        }
        const QSet<qint64> excluded = excludedStarts(c);
        const icaltimetype dtstart = icalcomponent_get_dtstart(c);
        icalrecur_iterator *it = icalrecur_iterator_new(icalproperty_get_rrule(rule), dtstart);
        if (!it) {
            warnings << QStringLiteral("%1: the repeat rule of \"%2\" cannot be read").arg(m_fileName, master.subject);
            continue;
        }
        int steps = 0;
        for (icaltimetype next = icalrecur_iterator_next(it); !icaltime_is_null_time(next);
             next = icalrecur_iterator_next(it)) {
            if (++steps > kMaxRuleSteps) {
                warnings << QStringLiteral("%1: the repeat rule of \"%2\" does not reach today; left out")
                                .arg(m_fileName, master.subject);
                break;
            }
            next.zone = dtstart.zone;
            const CalendarAppointment a = movedTo(master, momentOf(next));
            if (a.start >= to)
                break;
            const qint64 key = a.start.toSecsSinceEpoch();
            if (excluded.contains(key) || overridden.contains(master.uid + QString::number(key)))
                continue;
            if (overlaps(a, from, to))
                found.append(a);
        }
        icalrecur_iterator_free(it);
    }
    return found;
}
