#include "IcsEvent.h"

#include "IcsTime.h"

using IcsTime::momentOf;

namespace {

// Longer than any appointment: what a length past it says is a broken file.
constexpr qint64 kLongestDays = 100 * 366;

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

// DTEND, else DTSTART plus DURATION, else a day for a whole-day event and
// no length for another. A length no calendar can hold gives no end. DTEND
// is read from its own property: the library gives no end at all to an
// event that has DURATION as well.
QDateTime endOf(icalcomponent *c, const CalendarAppointment &a)
{
    if (icalproperty *end = icalcomponent_get_first_property(c, ICAL_DTEND_PROPERTY))
        return momentOf(icalproperty_get_datetime_with_component(end, c));
    icalproperty *p = icalcomponent_get_first_property(c, ICAL_DURATION_PROPERTY);
    if (!p)
        return a.allDay ? a.start.addDays(1) : a.start;
    const icaldurationtype d = icalproperty_get_duration(p);
    if (icaldurationtype_is_bad_duration(d) || d.is_neg)
        return QDateTime();
    const qint64 days = qint64(d.weeks) * 7 + d.days;
    const qint64 seconds = (qint64(d.hours) * 60 + d.minutes) * 60 + d.seconds;
    if (days > kLongestDays || seconds > kLongestDays * 86400)
        return QDateTime();
    return a.start.addDays(days).addSecs(seconds);
}

} // namespace

bool IcsEvent::hasEndAndLength(icalcomponent *event)
{
    return icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY)
           && icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY);
}

CalendarAppointment IcsEvent::appointmentOf(icalcomponent *c, const QString &fileName, int position)
{
    CalendarAppointment a;
    a.uid = text(icalcomponent_get_uid(c));
    a.subject = text(icalcomponent_get_summary(c));
    a.location = text(icalcomponent_get_location(c));
    const icaltimetype start = icalcomponent_get_dtstart(c);
    a.allDay = start.is_date;
    a.start = momentOf(start);
    a.end = endOf(c, a);
    a.busy = busyOf(c);
    a.isPrivate = isPrivate(c);
    a.ownStatusChange = hasXProperty(c, "X-TESSALY-STATUS-CHANGE") || a.uid.endsWith(QLatin1String("@status.tessaly"));
    a.modified = modifiedOf(c);
    a.fileName = fileName;
    a.position = position;
    return a;
}
