#include "IcsTime.h"
#include "platform/TextLimit.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTimeZone>

#include <mutex>

namespace {
// A file's zones are worked out to 2037 at most, in so many steps for all of
// them together: a well-formed zone gets there in a few hundred, one whose
// rule repeats every second never, and a file may hold any number of zones.
constexpr int kZoneSteps = 50000;
constexpr int kLastZoneYear = 2037;

// A name as the log shows it: a file may give one of any length.
QString shown(const QByteArray &tzid)
{
    constexpr qsizetype kEnd = 30;
    const QString name = QString::fromUtf8(tzid);
    return name.size() > 3 * kEnd ? TextLimit::left(name, kEnd) + QStringLiteral("...") + name.right(kEnd) : name;
}

// A zone with no observance, or one whose rules repeat too often for the
// steps the file's zones have left, cannot be worked out.
bool unusable(icalcomponent *zone, int &steps)
{
    if (!icalcomponent_get_first_component(zone, ICAL_XSTANDARD_COMPONENT)
        && !icalcomponent_get_first_component(zone, ICAL_XDAYLIGHT_COMPONENT))
        return true;
    for (icalcomponent *part = icalcomponent_get_first_component(zone, ICAL_ANY_COMPONENT); part;
         part = icalcomponent_get_next_component(zone, ICAL_ANY_COMPONENT)) {
        const icaltimetype start = icalcomponent_get_dtstart(part);
        for (icalproperty *p = icalcomponent_get_first_property(part, ICAL_RRULE_PROPERTY); p;
             p = icalcomponent_get_next_property(part, ICAL_RRULE_PROPERTY)) {
            if (steps >= kZoneSteps)
                return true;
            icalrecur_iterator *it = icalrecur_iterator_new(icalproperty_get_rrule(p), start);
            if (!it)
                continue;
            icaltimetype next = icalrecur_iterator_next(it);
            while (!icaltime_is_null_time(next) && next.year <= kLastZoneYear && ++steps <= kZoneSteps)
                next = icalrecur_iterator_next(it);
            icalrecur_iterator_free(it);
            if (steps > kZoneSteps)
                return true;
        }
    }
    return false;
}

void dropUnusableZones(icalcomponent *root, const QString &fileName, QStringList &warnings)
{
    QList<icalcomponent *> unusableZones;
    int steps = 0;
    for (icalcomponent *z = icalcomponent_get_first_component(root, ICAL_VTIMEZONE_COMPONENT); z;
         z = icalcomponent_get_next_component(root, ICAL_VTIMEZONE_COMPONENT))
        if (unusable(z, steps))
            unusableZones << z;
    for (icalcomponent *z : unusableZones) {
        const char *tzid = icalproperty_get_tzid(icalcomponent_get_first_property(z, ICAL_TZID_PROPERTY));
        warnings << QStringLiteral("%1: the time zone \"%2\" cannot be worked out; taken as unknown")
                        .arg(fileName, shown(tzid));
        icalcomponent_remove_component(root, z);
        icalcomponent_free(z);
    }
}

// The zone files the zone folder holds, by their names below it: the
// older names ("US/Eastern", "Etc/GMT+5", "GB") that some calendar programs
// still write are files there but in neither list. The walk is bounded and
// follows no link to a folder, so a loop or a huge tree cannot hold it.
void addFolderZones(QSet<QByteArray> &listed)
{
    constexpr int kMostEntries = 20000;
    const QString folder = QString::fromUtf8(icaltzutil_get_zone_directory());
    if (folder.isEmpty())
        return;
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    for (int seen = 0; it.hasNext() && seen < kMostEntries; ++seen) {
        it.next();
        const QFileInfo info = it.fileInfo();
        // Its tables ("zone.tab", "tzdata.zi") are no zones.
        if (info.isFile() && !info.fileName().contains(u'.'))
            listed.insert(QDir(folder).relativeFilePath(info.filePath()).toUtf8());
    }
}

// The names the zone database lists itself or holds as files, and Qt's IANA
// ids. The library opens the file its zone folder holds under the name it
// is given, so a name from a file ("../../etc/shadow", a named pipe) is
// never handed to it unless it is one of these.
bool listedZone(const QByteArray &name)
{
    static const QSet<QByteArray> names = [] {
        QSet<QByteArray> listed;
        addFolderZones(listed);
        const icalarray *zones = icaltimezone_get_builtin_timezones();
        for (size_t i = 0; zones && i < zones->num_elements; ++i)
            if (const char *location =
                    icaltimezone_get_location(static_cast<icaltimezone *>(icalarray_element_at(
                        const_cast<icalarray *>(zones), i))))
                listed.insert(QByteArray(location));
        for (const QByteArray &id : QTimeZone::availableTimeZoneIds())
            listed.insert(id);
        return listed;
    }();
    return names.contains(name);
}

icaltimezone *systemZone(const QByteArray &name)
{
    if (!listedZone(name))
        return nullptr;
    if (icaltimezone *zone = icaltimezone_get_builtin_timezone_from_tzid(name.constData()))
        return zone;
    return icaltimezone_get_builtin_timezone(name.constData());
}

// The system's name for a zone other programs name their own way: a name
// with a vendor's prefix ("/example.org/20070129_1/America/New_York") or a
// stray colon, or a Windows name ("Pacific Standard Time").
QByteArray systemName(const QByteArray &tzid)
{
    QString name = QString::fromUtf8(tzid).remove(QLatin1Char('"')).trimmed();
    while (name.startsWith(QLatin1Char(':')))
        name = name.mid(1).trimmed();
    while (name.endsWith(QLatin1Char(':')))
        name = name.chopped(1).trimmed();
    QList<QByteArray> candidates{name.toUtf8()};
    const QStringList parts = name.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (qsizetype n = 3; n >= 2; --n)
        if (parts.size() >= n)
            candidates << parts.mid(parts.size() - n).join(QLatin1Char('/')).toUtf8();
    candidates << QTimeZone::windowsIdToDefaultIanaId(name.toUtf8());
    for (const QByteArray &candidate : candidates)
        if (listedZone(candidate) && systemZone(candidate))
            return candidate;
    return QByteArray();
}
} // namespace

void IcsTime::loadZones()
{
    static std::once_flag loaded;
    std::call_once(loaded, [] { listedZone(QByteArray()); });
}

QDateTime IcsTime::momentOf(const icaltimetype &t)
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

icaltimetype IcsTime::timeLike(const QDateTime &moment, const icaltimetype &like)
{
    const bool zoned = like.zone && !like.is_date;
    const QDateTime wall = zoned ? moment.toUTC() : moment.toLocalTime();
    icaltimetype t = icaltime_null_time();
    t.year = wall.date().year();
    t.month = wall.date().month();
    t.day = wall.date().day();
    t.is_date = like.is_date;
    if (!like.is_date) {
        t.hour = wall.time().hour();
        t.minute = wall.time().minute();
        t.second = wall.time().second();
    }
    if (zoned) {
        // Worked out here and labelled with like's own zone: a library that
        // converts what it is given to the rule's zone then has nothing left
        // to convert, whether its own conversions label the result or not.
        auto *zone = const_cast<icaltimezone *>(like.zone);
        icaltimezone_convert_time(&t, icaltimezone_get_utc_timezone(), zone);
        t.zone = zone;
    }
    return t;
}

void IcsTime::settleZones(icalcomponent *root, const QString &fileName, QStringList &warnings,
                          const std::atomic_bool *cancelled)
{
    dropUnusableZones(root, fileName, warnings);
    QHash<QByteArray, QByteArray> named; // TZID as written -> the system's name, empty: unknown
    for (icalcomponent *c = icalcomponent_get_first_component(root, ICAL_VEVENT_COMPONENT);
         c && !(cancelled && cancelled->load(std::memory_order_relaxed));
         c = icalcomponent_get_next_component(root, ICAL_VEVENT_COMPONENT)) {
        for (icalproperty *p = icalcomponent_get_first_property(c, ICAL_ANY_PROPERTY); p;
             p = icalcomponent_get_next_property(c, ICAL_ANY_PROPERTY)) {
            icalparameter *param = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER);
            const QByteArray tzid = param ? QByteArray(icalparameter_get_tzid(param)) : QByteArray();
            if (!param || icalcomponent_get_timezone(root, tzid.constData()))
                continue;
            if (!named.contains(tzid)) {
                named.insert(tzid, systemName(tzid));
                if (named.value(tzid).isEmpty())
                    warnings << QStringLiteral("%1: the time zone \"%2\" is not known; its times are taken as "
                                               "the desktop's")
                                    .arg(fileName, shown(tzid));
            }
            if (named.value(tzid).isEmpty())
                icalproperty_remove_parameter_by_kind(p, ICAL_TZID_PARAMETER);
            else
                icalparameter_set_tzid(param, named.value(tzid).constData());
        }
    }
}

icaltimezone *IcsTime::zoneOf(icalproperty *property, icalcomponent *root)
{
    icalparameter *param = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
    if (!param)
        return nullptr;
    const char *tzid = icalparameter_get_tzid(param);
    if (icaltimezone *zone = icalcomponent_get_timezone(root, tzid))
        return zone;
    return systemZone(QByteArray(tzid));
}
