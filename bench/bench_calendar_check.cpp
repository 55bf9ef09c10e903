// One check of an office calendar: a few hundred meetings of the last and
// the next months and the weekly, daily and monthly series an office keeps,
// in the office's zone and in UTC, the file read once, as the watcher checks
// it every period. Each check is timed; the median of many is the figure.

#include "BenchReport.h"

#include "platform/calendar/CalendarCheck.h"
#include "platform/calendar/CalendarStore.h"
#include "platform/calendar/CheckProcess.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>
#include <cstdio>

namespace {
QString event(int i, const QString &start, const QString &lines)
{
    return QStringLiteral("BEGIN:VEVENT\r\nUID:e%1@office\r\nDTSTAMP:20260101T000000Z\r\nSUMMARY:Item %1\r\n"
                          "DTSTART;TZID=Europe/Berlin:%2\r\nDURATION:PT45M\r\n%3END:VEVENT\r\n")
        .arg(i)
        .arg(start, lines);
}

// 400 single meetings over six months around now, 200 weekly series begun
// over the last six years (some every other week, some on several days,
// some with a date left out), 20 daily stand-ups and 10 monthly reviews.
QByteArray officeCalendar(const QDate &today)
{
    QString text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//EN\r\n";
    int n = 0;
    const auto at = [](const QDate &day, int hour) { return day.toString("yyyyMMdd") + QStringLiteral("T%1").arg(hour, 2, 10, QChar('0')) + "0000"; };
    for (int i = 0; i < 400; ++i)
        text += event(n++, at(today.addDays(i % 180 - 90), 8 + i % 9), {});
    for (int i = 0; i < 200; ++i) {
        const QDate first = today.addDays(-7 * (1 + i * 11 % 310));
        const QString rule = i % 3 == 0   ? "RRULE:FREQ=WEEKLY;INTERVAL=2\r\n"
                             : i % 3 == 1 ? "RRULE:FREQ=WEEKLY;BYDAY=MO,WE,FR\r\n"
                                          : "RRULE:FREQ=WEEKLY\r\nEXDATE;TZID=Europe/Berlin:" + at(first.addDays(14), 9 + i % 8) + "\r\n";
        text += event(n++, at(first, 9 + i % 8), rule);
    }
    for (int i = 0; i < 20; ++i)
        text += event(n++, at(today.addDays(-30 * i), 9), "RRULE:FREQ=DAILY;BYDAY=MO,TU,WE,TH,FR\r\n");
    for (int i = 0; i < 10; ++i)
        text += event(n++, at(today.addMonths(-i * 5), 14), "RRULE:FREQ=MONTHLY;BYDAY=1TH\r\n");
    return (text + "END:VCALENDAR\r\n").toUtf8();
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qputenv("TZ", "Europe/Berlin");
    QTemporaryDir dir;
    const QString path = dir.filePath("office.ics");
    const QDateTime now(QDate(2026, 3, 10), QTime(10, 20));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(officeCalendar(now.date())) < 0)
        return 1;
    file.close();
    CalendarStore store;
    store.setPath(path);
    QList<double> samples;
    int found = 0;
    for (int i = 0; i < 300; ++i) {
        QStringList warnings;
        CheckBudget budget(CheckBudget::DefaultSteps, 600000);
        const qint64 start = BenchReport::nowNs();
        found += store.runningAt(now.addSecs(60 * (i % 120)), warnings, budget).has_value();
        if (i > 0) // the first reads the file
            samples << (BenchReport::nowNs() - start) / 1e6;
    }
    std::printf("office calendar: 630 events, %d of 300 checks found a running one\n", found);
    BenchReport::plainFigure("7 calendar: one check of an office calendar (630 events, median)", BenchReport::median(samples),
                             std::nullopt, "ms");
    // The same checks on the program's road: asked of the calendar's helper
    // process, kept ready between checks, and answered on the thread that
    // asked.
    CheckProcess::setProgram(QStringLiteral(TESSALY_CALENDARCHECK));
    CalendarCheck check;
    samples.clear();
    found = 0;
    for (int i = 0; i < 300; ++i) {
        const qint64 start = BenchReport::nowNs();
        check.start(path, now.addSecs(60 * (i % 120)), [&](const CalendarCheck::Result &r) { found += r.running.has_value(); });
        check.wait(600000);
        if (i > 0) // the first starts the helper and reads the file
            samples << (BenchReport::nowNs() - start) / 1e6;
    }
    std::printf("through the helper: %d of 300 checks found a running one\n", found);
    BenchReport::plainFigure("7b calendar: the same check as the program makes it, in its helper (median)",
                             BenchReport::median(samples), std::nullopt, "ms");
    return 0;
}
