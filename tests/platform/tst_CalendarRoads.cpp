#include "platform/calendar/CalendarCheck.h"
#include "platform/calendar/CalendarStore.h"
#include "platform/calendar/CheckProcess.h"

#include "SanitizerBounds.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QtTest>

#include <ctime>
#include <thread>

// The program finds the running appointment on two roads: the in-process
// check and the watcher's store, each seeking repeats near the asked minute.
// Both must give what the plain expansion of the whole day gives, at every
// quarter hour of a winter week and of a week across a change of clocks, for
// generated series of every kind, in a zone the file defines, a zone it
// names, UTC and floating, under desktop zones east and west of UTC.
namespace {
// A zone of the file's own, an hour east of Berlin, with its clocks
// changing at 03:00 local on the last Sundays of March and October.
const char kOwnZone[] = "BEGIN:VTIMEZONE\r\nTZID:Custom/Helsinki\r\n"
                        "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0300\r\nDTSTART:19700329T030000\r\n"
                        "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nEND:DAYLIGHT\r\n"
                        "BEGIN:STANDARD\r\nTZOFFSETFROM:+0300\r\nTZOFFSETTO:+0200\r\nDTSTART:19701025T040000\r\n"
                        "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";

struct Series
{
    const char *name;
    const char *start; // wall clock in the series' zone
    const char *length;
    const char *rule;
};

// Every kind of repeat, at times of day that overlap one another, cross
// midnight and the hour the clocks change; steps shorter than a day, on a
// grid of their own; whole days (a start of eight digits), out of office.
const Series kSeries[] = {
    {"Whole days", "20251104", "P1D", "FREQ=DAILY;INTERVAL=9"},
    {"Hours", "20251103T021507", "PT40M", "FREQ=HOURLY;INTERVAL=5"},
    {"Mon and Wed", "20251103T101507", "PT50M", "FREQ=HOURLY;INTERVAL=7;BYDAY=MO,WE"},
    {"Daily", "20251103T013000", "PT1H45M", "FREQ=DAILY"},
    {"Weekly", "20251103T093000", "PT1H", "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,WE,FR"},
    {"Month days", "20251101T120000", "PT75M", "FREQ=MONTHLY;BYMONTHDAY=-1,3,12,14,16,18,26,28,29,30"},
    {"Month weekdays", "20251101T130000", "PT1H", "FREQ=MONTHLY;BYDAY=1MO,2TU,3WE,4TH,-1FR,-1SU,2SA"},
    {"Yearly", "20200112T230000", "PT90M", "FREQ=YEARLY;BYMONTH=1,3,4;BYDAY=SU,TU,TH"},
};

QByteArray calendarIn(const QString &zone)
{
    const QString property = zone.isEmpty() ? QString(":%1") : zone == "UTC" ? QString(":%1Z") : ";TZID=" + zone + ":%1";
    QString text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n";
    if (zone == "Custom/Helsinki")
        text += kOwnZone;
    for (const Series &s : kSeries) {
        const bool day = strlen(s.start) == 8;
        text += QString("BEGIN:VEVENT\r\nUID:%1@roads\r\nDTSTAMP:20251101T000000Z\r\nSUMMARY:%1\r\nDTSTART%2\r\n"
                        "DURATION:%3\r\nRRULE:%4\r\n%5END:VEVENT\r\n")
                    .arg(s.name, day ? QString(";VALUE=DATE:%1").arg(s.start) : property.arg(s.start), s.length, s.rule,
                         day ? "X-MICROSOFT-CDO-BUSYSTATUS:OOF\r\n" : "");
    }
    return (text + "END:VCALENDAR\r\n").toUtf8();
}

void useDesktopZone(const QByteArray &zone)
{
    qputenv("TZ", zone);
    tzset();
}

// The week around the desktop's first change of clocks after March, else
// around the change in New York.
QDate switchWeek()
{
    const QDateTime march(QDate(2026, 3, 1), QTime(0, 0));
    const QTimeZone::OffsetData next = QTimeZone::systemTimeZone().nextTransition(march);
    const QDate day = next.atUtc.isValid() && next.atUtc.date().year() == 2026 ? next.atUtc.toLocalTime().date()
                                                                               : QDate(2026, 3, 8);
    return day.addDays(-3);
}

QString subjectOf(const CalendarAppointment *a)
{
    return a ? a->subject + a->start.toUTC().toString(" @ yyyy-MM-dd HH:mm") : QString("-");
}

struct Compared
{
    QStringList differences;
    int running = 0;
};

// Both roads against the whole day at every quarter hour of the weeks.
Compared compareRoads(const QString &path, const QList<QDate> &weeks)
{
    Compared compared;
    CalendarStore plain, watcher;
    plain.setPath(path);
    watcher.setPath(path);
    CalendarCheck inProcess;
    for (const QDate &first : weeks) {
        QList<CalendarAppointment> day;
        QStringList warnings;
        for (QDateTime now(first, QTime(0, 0)); now < QDateTime(first.addDays(7), QTime(0, 0)); now = now.addSecs(900)) {
            if (day.isEmpty() || now.time() == QTime(0, 0))
                day = plain.day(now.date(), warnings);
            const CalendarAppointment *expected = CalendarStore::running(day, now);
            CheckBudget budget;
            const std::optional<CalendarAppointment> sought = watcher.runningAt(now, warnings, budget);
            std::optional<CalendarAppointment> checked;
            inProcess.start(path, now, [&](const CalendarCheck::Result &r) { checked = r.running; });
            inProcess.wait(stretched(5000));
            const QString want = subjectOf(expected);
            for (const auto &[road, got] : {std::pair{"store", subjectOf(sought ? &*sought : nullptr)},
                                            std::pair{"check", subjectOf(checked ? &*checked : nullptr)}})
                if (got != want)
                    compared.differences << QString("%1 at %2: %3, the whole day: %4")
                                                .arg(road, now.toString(Qt::ISODate), got, want);
            compared.differences += warnings;
            warnings.clear();
            compared.running += expected != nullptr;
        }
    }
    return compared;
}
} // namespace

class tst_CalendarRoads : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { CheckProcess::setProgram(TESSALY_CALENDARCHECK); } // where the build puts it

    // A desktop zone a function, so none nears QtTest's limit for one on a
    // busy machine.
    void theRoadsAgreeInBerlin() { roadsAgreeUnder("Europe/Berlin"); }
    void theRoadsAgreeInTokyo() { roadsAgreeUnder("Asia/Tokyo"); }
    void theRoadsAgreeInKolkata() { roadsAgreeUnder("Asia/Kolkata"); }
    void theRoadsAgreeInSydney() { roadsAgreeUnder("Australia/Sydney"); }
    void theRoadsAgreeInNewYork() { roadsAgreeUnder("America/New_York"); }
    void theRoadsAgreeInHonolulu() { roadsAgreeUnder("Pacific/Honolulu"); }

private:
    // Each desktop zone is compared in a process of its own: the desktop's
    // zone is the process's.
    void roadsAgreeUnder(const QString &desktop)
    {
        if (qEnvironmentVariable("TESSALY_ROADS_ZONE") == desktop) {
            roadsAgreeIn(desktop);
            return;
        }
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TESSALY_ROADS_ZONE", desktop);
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QTest::currentTestFunction()});
        QVERIFY(child.waitForFinished(stretched(300000)));
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, child.readAll().constData());
    }

    // The series' zones, each a calendar of its own, are compared side by
    // side.
    void roadsAgreeIn(const QString &desktop)
    {
        useDesktopZone(desktop.toUtf8());
        const QList<QDate> weeks{QDate(2026, 1, 12), switchWeek()};
        QTemporaryDir dir;
        const QStringList zones{"Custom/Helsinki", "Europe/Berlin", "UTC", QString()};
        QList<Compared> compared(zones.size());
        std::vector<std::thread> threads;
        for (qsizetype i = 0; i < zones.size(); ++i) {
            const QString path = dir.filePath(QString("roads%1.ics").arg(i));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(calendarIn(zones[i]));
            file.close();
            threads.emplace_back([&compared, i, path, weeks] { compared[i] = compareRoads(path, weeks); });
        }
        for (std::thread &t : threads)
            t.join();
        for (qsizetype i = 0; i < zones.size(); ++i) {
            const QString zone = zones[i].isEmpty() ? QString("floating") : zones[i];
            QVERIFY2(compared[i].differences.isEmpty(),
                     qPrintable(zone + ":\n" + compared[i].differences.mid(0, 10).join('\n')));
            QVERIFY2(compared[i].running > 150, qPrintable(zone)); // the series do run in the weeks compared
        }
    }
};

QTEST_GUILESS_MAIN(tst_CalendarRoads)
#include "tst_CalendarRoads.moc"
