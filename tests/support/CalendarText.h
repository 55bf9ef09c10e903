#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>
#include <QTimeZone>

// Calendar files as the calendar, watcher and mail tests write them,
// generated in the test: nothing large is stored.
namespace CalendarText {

inline QByteArray calendar(const QString &events)
{
    return ("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Other//EN\r\n" + events + "END:VCALENDAR\r\n").toUtf8();
}

inline QString vevent(const QString &summary, const QString &lines)
{
    return QStringLiteral("BEGIN:VEVENT\r\nUID:%1@x\r\nDTSTAMP:20260101T000000Z\r\nSUMMARY:%1\r\n%2END:VEVENT\r\n")
        .arg(summary, lines);
}

inline bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// A weekly meeting of an hour in Berlin's zone, from first, summary "Weekly".
inline QString weeklyInBerlin(const QDateTime &first)
{
    const QString wall = first.toTimeZone(QTimeZone(QByteArray("Europe/Berlin"))).toString("yyyyMMdd'T'HHmmss");
    const QString end =
        first.addSecs(3600).toTimeZone(QTimeZone(QByteArray("Europe/Berlin"))).toString("yyyyMMdd'T'HHmmss");
    return vevent("Weekly", QStringLiteral("DTSTART;TZID=Europe/Berlin:%1\r\nDTEND;TZID=Europe/Berlin:%2\r\n"
                                           "RRULE:FREQ=WEEKLY\r\n")
                                .arg(wall, end));
}

// Rules of seconds since 1990, each named "S<n>": endless, or counted
// with a part that leaves seconds out, so a check must walk each from its
// start, one walk within its budget, all of them far past it.
inline QString secondsSince1990(int count, bool counted)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += vevent(QStringLiteral("S%1").arg(i), QStringLiteral("DTSTART:19900101T000000\r\nDURATION:PT1S\r\n"
                                                                    "RRULE:FREQ=SECONDLY%1\r\n")
                                                         .arg(counted ? ";BYSECOND=0,30;COUNT=1000" : ""));
    return text;
}

// A zone named name whose clocks change every second.
inline QString restlessZone(const QString &name)
{
    return "BEGIN:VTIMEZONE\r\nTZID:" + name + "\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
           "RRULE:FREQ=SECONDLY\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
}

// Series of which one call of the library runs for seconds or minutes,
// though nothing before the call can tell: hours in a zone whose clocks move
// by half an hour, and an interval of days that never meets the one weekday
// named, each day passed expanded to every hour and minute given. Each is
// named "Held".
inline const char *const kHeldCalls[] = {
    "DTSTART;TZID=Australia/Lord_Howe:20250106T100000\r\nRRULE:FREQ=HOURLY;BYDAY=MO,WE",
    "DTSTART;TZID=Australia/Lord_Howe:20250106T100000\r\nRRULE:FREQ=HOURLY;BYDAY=MO",
    "DTSTART;TZID=Australia/Lord_Howe:20250106T100000\r\nRRULE:FREQ=HOURLY;BYMONTH=12",
    "DTSTART:20250106T010100\r\nRRULE:FREQ=DAILY;INTERVAL=7;BYDAY=TU;BYHOUR=1,2,3,4,5,6,7,8,9,10,11,12;"
    "BYMINUTE=1,2,3,4,5,6,7,8,9,10",
};

inline QString heldCall(const char *lines)
{
    return vevent(QStringLiteral("Held"), QString::fromLatin1(lines) + QStringLiteral("\r\nDURATION:PT25M\r\n"));
}

// Rules for which one call of the library would search to its last year,
// for a start it never gives (or, the last, crash): days counted from the
// end in rules of shorter steps, parts that exclude each other, a set
// position past every day of a period, the week 53rd from a year's end.
inline const char *const kFarSearches[] = {
    "FREQ=HOURLY;BYYEARDAY=-1",
    "FREQ=HOURLY;BYYEARDAY=-366;COUNT=20",
    "FREQ=HOURLY;BYMONTHDAY=-1",
    "FREQ=HOURLY;BYMONTH=2;BYMONTHDAY=-29;COUNT=20",
    "FREQ=HOURLY;BYMINUTE=8,32,33,44,46,51,58;BYYEARDAY=-335,-279",
    "FREQ=MINUTELY;BYMONTHDAY=-10",
    "FREQ=DAILY;BYMONTHDAY=-1,-2;BYDAY=TU",
    "FREQ=HOURLY;BYMONTH=3;BYYEARDAY=1",
    "FREQ=MONTHLY;BYDAY=MO;BYSETPOS=10",
    "FREQ=MONTHLY;BYHOUR=10,11;BYSETPOS=2",
    "FREQ=YEARLY;BYWEEKNO=-53",
};

// Whole-day series of other calendar scales, RFC 7529's examples and a few
// more, each with a day the library gives it: named by their scale, marked
// out of office so a day of theirs sets a status.
struct ScaleExample
{
    const char *name;
    const char *rule;
    const char *start;
    QDate day;
};
inline const ScaleExample kScaleExamples[] = {
    {"Chinese New Year", "RSCALE=CHINESE;FREQ=YEARLY", "20130210", QDate(2020, 1, 25)},
    {"Chinese months", "RSCALE=CHINESE;FREQ=MONTHLY", "20130210", QDate(2026, 3, 19)},
    {"Ethiopic thirteenth month", "RSCALE=ETHIOPIC;FREQ=MONTHLY;BYMONTH=13", "20130906", QDate(2025, 9, 6)},
    {"Hebrew leap Adar", "RSCALE=HEBREW;FREQ=YEARLY;BYMONTH=5L;BYMONTHDAY=8;SKIP=FORWARD", "20140208", QDate(2022, 2, 9)},
    {"Leap day forward", "RSCALE=GREGORIAN;FREQ=YEARLY;SKIP=FORWARD", "20120229", QDate(2026, 3, 1)},
    {"Month end backward, counted", "RSCALE=GREGORIAN;FREQ=MONTHLY;COUNT=4;SKIP=BACKWARD", "20150131", QDate(2015, 4, 30)},
};

inline QString scaleExample(const ScaleExample &e, const QString &name)
{
    return vevent(name, QStringLiteral("DTSTART;VALUE=DATE:%1\r\nX-MICROSOFT-CDO-BUSYSTATUS:OOF\r\nRRULE:%2\r\n")
                            .arg(e.start, e.rule));
}
// Series that keep a check busy, count of a kind, each named "C<n>":
//  "yearly": a yearly rule of every minute of the year, its last picked;
//  "seconds": counted rules of seconds, each walked from its start;
//  "dates": 300 added dates each;
//  "minutes": endless rules of minutes since 1601, one-minute events;
//  "scales": the rules of other calendar scales below, in turn.
inline QString crowd(const QString &kind, int count)
{
    QString numbers;
    for (int i = 0; i < 60; ++i)
        numbers += (i ? "," : "") + QString::number(i);
    QString dates;
    for (int i = 0; i < 300 && kind == "dates"; ++i)
        dates += (i ? "," : "") + QDate(2024, 1, 1).addDays(i).toString("yyyyMMdd") + "T080000";
    const QString lines =
        kind == "yearly"    ? "RRULE:FREQ=YEARLY;BYMONTH=1,2,3,4,5,6,7,8,9,10,11,12;BYDAY=MO,TU,WE,TH,FR,SA,SU;BYHOUR=" +
                                  numbers.left(numbers.indexOf(",24")) + ";BYMINUTE=" + numbers + ";BYSETPOS=-1\r\n"
        : kind == "seconds" ? QStringLiteral("RRULE:FREQ=SECONDLY;BYSECOND=0,30;COUNT=199\r\n")
                            : "RDATE:" + dates + "\r\n";
    QString text;
    for (int i = 0; i < count; ++i)
        text += kind == "scales"    ? scaleExample(kScaleExamples[i % std::size(kScaleExamples)], QStringLiteral("C%1").arg(i))
                : kind == "minutes" ? vevent(QStringLiteral("C%1").arg(i), "DTSTART:16010101T000000\r\nDURATION:PT1M\r\n"
                                                                       "RRULE:FREQ=MINUTELY\r\n")
                                    : vevent(QStringLiteral("C%1").arg(i), "DTSTART:20250101T080000\r\nDURATION:PT10M\r\n" + lines);
    return text;
}
} // namespace CalendarText
