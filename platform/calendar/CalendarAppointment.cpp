#include "CalendarAppointment.h"
#include "platform/TextLimit.h"

namespace {
constexpr int kNoteLength = 255;

// Minute boundaries crossed from one moment to the next, as the check counts.
qint64 minutesBetween(const QDateTime &from, const QDateTime &to)
{
    auto minuteOf = [](const QDateTime &t) {
        const qint64 secs = t.toSecsSinceEpoch();
        return secs >= 0 ? secs / 60 : (secs - 59) / 60;
    };
    return minuteOf(to) - minuteOf(from);
}
} // namespace

QString CalendarAppointment::identity() const
{
    return uid + QLatin1Char('|') + start.toUTC().toString(Qt::ISODate) + QLatin1Char('|') + modified;
}

bool CalendarAppointment::takeAsNew(QString &lastIdentity) const
{
    const QString id = identity();
    if (id == lastIdentity)
        return false;
    lastIdentity = id;
    return !isPrivate;
}

QString CalendarAppointment::note() const
{
    QString text = location.trimmed().isEmpty() ? subject : subject + QStringLiteral(" @ ") + location;
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return TextLimit::left(text, kNoteLength);
}

bool CalendarAppointment::runsAt(const QDateTime &now) const
{
    return minutesBetween(start, now) >= 0 && minutesBetween(end, now) < 0;
}
