#include "IcsWriter.h"

#include "IcsReader.h"
#include "SafeFile.h"

#include <libical/ical.h>

#include <QDir>
#include <QFileInfo>
#include <QUuid>

namespace {

const QByteArray kEnd = QByteArrayLiteral("END:VCALENDAR");

icaltimetype utc(const QDateTime &moment)
{
    return icaltime_from_timet_with_zone(moment.toSecsSinceEpoch(), 0, icaltimezone_get_utc_timezone());
}

void addX(icalcomponent *c, const char *name, const QString &value)
{
    icalproperty *p = icalproperty_new_x(value.toUtf8().constData());
    icalproperty_set_x_name(p, name);
    icalcomponent_add_property(c, p);
}

void addStamps(icalcomponent *c, const QString &uid, const QDateTime &now)
{
    icalcomponent_add_property(c, icalproperty_new_uid(uid.toUtf8().constData()));
    icalcomponent_add_property(c, icalproperty_new_dtstamp(utc(now)));
    icalcomponent_add_property(c, icalproperty_new_lastmodified(utc(now)));
}

// The component as text with plain line feeds; append() gives it the file's.
QByteArray textOf(icalcomponent *c)
{
    char *raw = icalcomponent_as_ical_string_r(c);
    QByteArray bytes(raw);
    icalmemory_free_buffer(raw);
    icalcomponent_free(c);
    return bytes.replace("\r\n", "\n");
}

QByteArray wrapped(const QByteArray &component)
{
    return QByteArrayLiteral("BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Tessaly//Tessaly//EN\n") + component + kEnd +
           '\n';
}

QByteArray withLineEnds(QByteArray text, bool crlf)
{
    return crlf ? text.replace('\n', "\r\n") : text;
}

QString safeName(QString uid)
{
    for (QChar &c : uid)
        if (!c.isLetterOrNumber() && c != QLatin1Char('-') && c != QLatin1Char('.') && c != QLatin1Char('@'))
            c = QLatin1Char('_');
    return uid;
}

} // namespace

QString IcsWriter::newUid(const QString &suffix)
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces) + suffix;
}

QByteArray IcsWriter::eventText(const Event &event, const QDateTime &now)
{
    icalcomponent *c = icalcomponent_new_vevent();
    addStamps(c, event.uid, now);
    icalcomponent_add_property(c, icalproperty_new_dtstart(utc(event.start)));
    icalcomponent_add_property(c, icalproperty_new_dtend(utc(event.end)));
    if (!event.summary.isEmpty())
        icalcomponent_add_property(c, icalproperty_new_summary(event.summary.toUtf8().constData()));
    // Free time is also marked transparent, for programs that only read that.
    icalcomponent_add_property(c, icalproperty_new_transp(event.busy == BusyStatus::Free ? ICAL_TRANSP_TRANSPARENT
                                                                                        : ICAL_TRANSP_OPAQUE));
    addX(c, "X-MICROSOFT-CDO-BUSYSTATUS", Busy::markingText(event.busy));
    addX(c, "X-TESSALY-STATUS-CHANGE", QStringLiteral("TRUE"));
    for (const QString &address : event.attendees) {
        icalproperty *p = icalproperty_new_attendee(("mailto:" + address.trimmed()).toUtf8().constData());
        icalproperty_add_parameter(p, icalparameter_new_rsvp(ICAL_RSVP_TRUE));
        icalcomponent_add_property(c, p);
    }
    return textOf(c);
}

QByteArray IcsWriter::journalText(const Journal &journal, const QDateTime &now)
{
    icalcomponent *c = icalcomponent_new_vjournal();
    addStamps(c, journal.uid, now);
    icalcomponent_add_property(c, icalproperty_new_dtstart(utc(journal.start)));
    icalcomponent_add_property(c, icalproperty_new_summary(journal.summary.toUtf8().constData()));
    icalcomponent_add_property(c, icalproperty_new_categories("Phone Call"));
    icalcomponent_add_property(c, icalproperty_new_description(journal.description.toUtf8().constData()));
    addX(c, "X-TESSALY-CALL-MINUTES", QString::number(journal.minutes));
    return textOf(c);
}

IcsWriter::Result IcsWriter::append(const QString &path, const QString &uid, const QByteArray &componentText)
{
    const QFileInfo info(path);
    if (info.isDir())
        return SafeFile::createNew(QDir(path).filePath(safeName(uid) + QStringLiteral(".ics")),
                                     withLineEnds(wrapped(componentText), true))
                   ? Done
                   : Failed;
    if (!info.exists() && !info.isSymLink()) {
        QDir().mkpath(info.absolutePath());
        return SafeFile::createNew(path, withLineEnds(wrapped(componentText), true)) ? Done : Failed;
    }
    bool unparsable = false;
    const SafeFile::Result result = SafeFile::update(path, [&](const QByteArray &old) -> std::optional<QByteArray> {
        const qsizetype end = old.lastIndexOf(kEnd);
        unparsable = end < 0 || (end > 0 && old.at(end - 1) != '\n') || !IcsReader::parses(old);
        if (unparsable)
            return std::nullopt;
        QByteArray text = old;
        return text.insert(end, withLineEnds(componentText, old.contains("\r\n")));
    });
    if (result == SafeFile::Done)
        return Done;
    return unparsable ? Unparsable : Failed;
}
