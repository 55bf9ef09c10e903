#include "platform/calendar/CalendarCheck.h"
#include "platform/calendar/CalendarStore.h"
#include "platform/calendar/CheckProcess.h"
#include "platform/calendar/CheckWire.h"
#include "platform/calendar/FolderFiles.h"
#include "platform/calendar/IcsReader.h"
#include "platform/calendar/IcsWriter.h"
#include "platform/calendar/SafeFile.h"
#include "platform/calendar/VCardReader.h"

#include "CalendarText.h"
#include "SanitizerBounds.h"

#include <QDir>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QThread>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sched.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

using CalendarText::calendar;
using CalendarText::crowd;
using CalendarText::vevent;

namespace {
QString timed(const QString &summary, const QString &from, const QString &to, const QString &extra = {})
{
    return vevent(summary, QStringLiteral("DTSTART:%1\r\nDTEND:%2\r\n%3").arg(from, to, extra));
}

void write(const QString &path, const QByteArray &bytes)
{
    QVERIFY(CalendarText::write(path, bytes));
}

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A calendar of one file and the watcher's store of it.
struct OneFile
{
    explicit OneFile(const QByteArray &text)
    {
        write(path, text);
        store.setPath(path);
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("c.ics");
    CalendarStore store;
};

const CalendarAppointment *runningIn(CalendarStore &store, const QString &now, QList<CalendarAppointment> &day,
                                     QStringList &warnings)
{
    const QDateTime at = QDateTime::fromString(now, Qt::ISODate);
    day = store.day(at.date(), warnings);
    return CalendarStore::running(day, at);
}

// What the in-process check finds, as the program starts it.
CalendarCheck::Result checked(const QString &path, const QDateTime &now)
{
    CalendarCheck check;
    CalendarCheck::Result result;
    check.start(path, now, [&](const CalendarCheck::Result &r) { result = r; });
    check.wait(stretched(30000));
    return result;
}

QString subjectOf(const std::optional<CalendarAppointment> &a)
{
    return a ? a->subject : QString();
}

// A weekly meeting in Berlin's zone since 2025, running on Tuesday
// 10 March 2026 from 10:00 to 11:00.
QString weeklyInBerlin()
{
    return CalendarText::weeklyInBerlin(QDateTime(QDate(2025, 1, 7), QTime(10, 0), QTimeZone(QByteArray("Europe/Berlin"))));
}

const QDateTime kTuesday(QDate(2026, 3, 10), QTime(10, 20));

// What the calling thread has run, in ms of processor time: a busy machine
// does not stretch it.
qint64 threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

// The same for the whole program: the test's thread and the check's.
qint64 processCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

// The processor time of the processes this program started and reaped,
// its calendar helpers among them, in ms.
qint64 childrenCpuMs()
{
    rusage used{};
    getrusage(RUSAGE_CHILDREN, &used);
    return (qint64(used.ru_utime.tv_sec) + used.ru_stime.tv_sec) * 1000 + (used.ru_utime.tv_usec + used.ru_stime.tv_usec) / 1000;
}

// A process's state as /proc tells it: 'R' running, 'S' asleep; 0 once gone.
char stateOf(qint64 pid)
{
    const QByteArray stat = read(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype end = stat.lastIndexOf(')');
    return end > 0 && end + 2 < stat.size() ? stat.at(end + 2) : 0;
}

// Checks made one after another, as the program makes them: each is
// answered, or not, before the next starts.
struct Checks
{
    CalendarCheck check;
    QList<CalendarCheck::Result> results;
    // The answer to a check of the calendar at path; null when none came.
    const CalendarCheck::Result *once(const QString &path)
    {
        const qsizetype before = results.size();
        if (!check.start(path, kTuesday, [this](const CalendarCheck::Result &r) { results << r; }))
            return nullptr;
        check.wait(stretched(30000));
        return results.size() == before + 1 ? &results.last() : nullptr;
    }
};

int threadCount()
{
    return int(QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

// A series is expanded in milliseconds; a call of the library that searches
// far takes seconds.
constexpr qint64 kMostMsPerSeries = 1000 * kSanitizerStretch;

// A series that costs steps of the given kind, named "Costly".
QString costly(const QString &kind, int count)
{
    QString lines = "DTSTART:20250101T080000\r\nDURATION:PT10M\r\n", entries;
    for (int i = 0; i < count && kind != "a counted rule" && kind != "a rule's set-up"; ++i) {
        const QString day = QDate(2025, 1, 2).addDays(i).toString("yyyyMMdd");
        if (kind == "added dates")
            lines += "RDATE:" + day + "T080000\r\n";
        else if (kind == "zones")
            lines += "RDATE;TZID=Asia/Tokyo:" + day + "T080000\r\n";
        else if (kind == "excluded dates")
            lines += "EXDATE:" + day + "T080000\r\n";
        else if (kind == "moves" || kind == "moves of this and later")
            entries += vevent("Costly", QString("RECURRENCE-ID%1:%2T080000\r\nDTSTART:%2T090000\r\nDURATION:PT10M\r\n")
                                            .arg(kind == "moves" ? "" : ";RANGE=THISANDFUTURE", day));
    }
    if (kind == "a rule's set-up") // a year's days expanded for its one start, this year
        lines = "DTSTART:20260101T080000\r\nDURATION:PT10M\r\n"
                "RRULE:FREQ=YEARLY;BYMONTH=1,2,3,4,5,6,7,8,9,10,11,12;BYDAY=MO,TU,WE,TH,FR,SA,SU;BYSETPOS=-1\r\n";
    else if (kind != "added dates" && kind != "zones")
        lines += kind == "a counted rule" ? "RRULE:FREQ=SECONDLY;BYSECOND=0,30;COUNT=" + QString::number(count) + "\r\n"
                                          : "RRULE:FREQ=DAILY\r\n";
    return vevent("Costly", lines) + entries;
}

// A weekly meeting since 2006 and moves of this and every later meeting,
// the i-th to i % 30 minutes past ten: the thousandth, of 2025, to 10:10.
QString chain(int moves)
{
    QString text = vevent("Chain", "DTSTART;TZID=Europe/Berlin:20060103T100000\r\nDURATION:PT1H\r\nRRULE:FREQ=WEEKLY\r\n");
    for (int i = 1; i <= moves; ++i) {
        const QDateTime original(QDate(2006, 1, 3).addDays(7 * i), QTime(10, 0));
        text += vevent("Moved", QString("RECURRENCE-ID;RANGE=THISANDFUTURE;TZID=Europe/Berlin:%1\r\n"
                                        "DTSTART;TZID=Europe/Berlin:%2\r\nDURATION:PT1H\r\n")
                                    .arg(original.toString("yyyyMMdd'T'HHmmss"),
                                         original.addSecs(i % 30 * 60).toString("yyyyMMdd'T'HHmmss")))
                    .replace("Moved@x", "Chain@x");
    }
    return text;
}
} // namespace

// Rules sought near a minute: each one's lines, and the instants it is
// sought at.
using SoughtRules = QList<std::pair<QString, QList<QDateTime>>>;

// A minute's first seconds, on a day some rules name, and a month's end.
const QList<QDateTime> kSoughtAt{QDateTime(QDate(2026, 3, 10), QTime(10, 0, 30)),
                                 QDateTime(QDate(2026, 3, 31), QTime(10, 20))};

// Rules of the given frequencies with and without each kind of part, from
// 1601 to now, endless, counted and ended.
SoughtRules generatedRules(std::initializer_list<const char *> frequencies)
{
    SoughtRules series;
    // Days counted from the end, which the library meets in rules of
    // shorter steps only in another form.
    for (const char *freq : frequencies)
        for (const char *part :
             {"", ";BYDAY=TU,FR", ";BYMONTHDAY=10,-1", ";BYMONTH=3,9", ";BYDAY=-1TU;BYSETPOS=1",
              ";BYMINUTE=0,20;BYHOUR=10", ";BYMONTH=2;BYMONTHDAY=30", ";BYYEARDAY=-1", ";BYMONTH=2;BYMONTHDAY=-29"})
            for (const char *end : {"", ";COUNT=3000", ";UNTIL=20260311T000000Z"})
                for (const char *start : {"16010102T100000", "19900102T100000", "20120229T100000", "20260101T100000"})
                    series.append(
                        {QString("DTSTART:%1\r\nDURATION:PT25M\r\nRRULE:FREQ=%2%3%4\r\n").arg(start, freq, part, end),
                         kSoughtAt});
    return series;
}

// Rules the library searches far or crashes on, counted rules started or
// ended near the window, and the rules of other calendar scales.
SoughtRules rulesNearTheWindow()
{
    SoughtRules series;
    const auto sought = [&](const char *start, const char *rule, const QList<QDateTime> &at) {
        series.append({QString("DTSTART:%1\r\nDURATION:PT25M\r\nRRULE:%2\r\n").arg(start, rule), at});
    };
    // A start it never gives, searched to its last year in one call.
    for (const char *rule : CalendarText::kFarSearches)
        for (const char *start : {"19000102T100000", "20260101T100000"})
            sought(start, rule, kSoughtAt);
    // Counted rules started near the window: a start on a day some
    // periods lack (the 31st, 29 February), the last start of the count
    // and the first after it.
    const QDateTime ninth(QDate(2026, 3, 31), QTime(10, 10));
    sought("20250131T100000", "FREQ=MONTHLY;COUNT=9", {ninth});
    sought("20250131T100000", "FREQ=MONTHLY;COUNT=8", {ninth});
    sought("20120229T100000", "FREQ=YEARLY;COUNT=4", {QDateTime(QDate(2024, 2, 29), QTime(10, 10))});
    sought("20260301T100000", "FREQ=DAILY;COUNT=10",
           {QDateTime(QDate(2026, 3, 10), QTime(10, 10)), QDateTime(QDate(2026, 3, 11), QTime(10, 10))});
    sought("20260309T000000", "FREQ=HOURLY;COUNT=30",
           {QDateTime(QDate(2026, 3, 10), QTime(5, 10)), QDateTime(QDate(2026, 3, 10), QTime(6, 10))});
    // Ended before the window: its count used up exactly, or long since.
    for (const char *start : {"20260226T100000", "20260201T100000"})
        sought(start, "FREQ=DAILY;COUNT=10", {QDateTime(QDate(2026, 3, 10), QTime(10, 10))});
    sought("20260308T000000", "FREQ=HOURLY;COUNT=30", {QDateTime(QDate(2026, 3, 10), QTime(5, 10))});
    for (const CalendarText::ScaleExample &e : CalendarText::kScaleExamples)
        series.append({CalendarText::scaleExample(e, "R").section("SUMMARY:R\r\n", 1).section("END:VEVENT", 0, 0),
                       {QDateTime(e.day, QTime(12, 0)), QDateTime(e.day.addDays(-1), QTime(12, 0))}});
    return series;
}

// Busy threads on the calling thread's processor while it lives, the
// calling thread held to that processor: it gets a share of its processor
// as a loaded machine gives it.
class CrowdedProcessor
{
public:
    explicit CrowdedProcessor(int threads)
    {
        sched_getaffinity(0, sizeof m_before, &m_before);
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(sched_getcpu(), &one);
        sched_setaffinity(0, sizeof one, &one);
        for (int i = 0; i < threads; ++i)
            m_busy.emplace_back([this, one] {
                sched_setaffinity(0, sizeof one, &one);
                while (!m_stop.load(std::memory_order_relaxed)) { }
            });
    }
    ~CrowdedProcessor()
    {
        m_stop = true;
        for (std::thread &t : m_busy)
            t.join();
        sched_setaffinity(0, sizeof m_before, &m_before);
    }

private:
    cpu_set_t m_before;
    std::atomic_bool m_stop = false;
    std::vector<std::thread> m_busy;
};

class tst_Calendar : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qputenv("TZ", "Europe/Berlin");
        tzset();
        CheckProcess::setProgram(TESSALY_CALENDARCHECK); // where the build puts it
    }

    void runningAppointment_data()
    {
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("now");
        QTest::addColumn<QString>("expected"); // subject, or empty
        QTest::addColumn<int>("busy");
        const QString ten = timed("A", "20260310T100000", "20260310T110000");
        const QString weekly = timed("Weekly", "20260106T100000", "20260106T110000",
                                     "RRULE:FREQ=WEEKLY;BYDAY=TU\r\nEXDATE:20260303T100000\r\n") +
                               vevent("Moved", "RECURRENCE-ID:20260310T100000\r\nDTSTART:20260310T140000\r\n"
                                              "DTEND:20260310T150000\r\n")
                                   .replace("Moved@x", "Weekly@x");
        // The roads' comparison looks at quarter hours: the minutes next to
        // a start or an end are looked at here.
        QTest::newRow("one minute early") << ten << "2026-03-10T09:59:59" << "" << 0;
        QTest::newRow("at its start") << ten << "2026-03-10T10:00:00" << "A" << 2;
        QTest::newRow("last minute") << ten << "2026-03-10T10:59:30" << "A" << 2;
        QTest::newRow("overlap: earlier start wins")
            << ten + timed("B", "20260310T103000", "20260310T120000") << "2026-03-10T10:45:00" << "A" << 2;
        QTest::newRow("tie: place in file") << timed("B", "20260310T100000", "20260310T103000") + ten
                                            << "2026-03-10T10:10:00" << "B" << 2;
        QTest::newRow("weekly, excluded") << weekly << "2026-03-03T10:30:00" << "" << 0;
        QTest::newRow("weekly, moved away") << weekly << "2026-03-10T10:30:00" << "" << 0;
        QTest::newRow("weekly, moved here") << weekly << "2026-03-10T14:30:00" << "Moved" << 2;
        const QString allDay = "DTSTART;VALUE=DATE:20260310\r\nDTEND;VALUE=DATE:20260311\r\n";
        QTest::newRow("all day, busy") << vevent("D", allDay) << "2026-03-10T12:00:00" << "" << 0;
        QTest::newRow("all day, out of office")
            << vevent("D", allDay + "X-MICROSOFT-CDO-BUSYSTATUS:OOF\r\n") << "2026-03-10T23:59:00" << "D" << 3;
        QTest::newRow("transparent") << timed("F", "20260310T100000", "20260310T110000", "TRANSP:TRANSPARENT\r\n")
                                     << "2026-03-10T10:00:00" << "F" << 0;
        QTest::newRow("tentative") << timed("T", "20260310T100000", "20260310T110000", "STATUS:TENTATIVE\r\n")
                                   << "2026-03-10T10:00:00" << "T" << 1;
        QTest::newRow("cancelled") << timed("C", "20260310T100000", "20260310T110000", "STATUS:CANCELLED\r\n")
                                   << "2026-03-10T10:00:00" << "" << 0;
        QTest::newRow("ours") << timed("O", "20260310T100000", "20260310T110000", "X-TESSALY-STATUS-CHANGE:TRUE\r\n")
                              << "2026-03-10T10:00:00" << "" << 0;
        // Rules the library would crash on when sought, or look through for
        // ever: none stops the others.
        for (const char *rule : {"FREQ=YEARLY;BYWEEKNO=52", "FREQ=YEARLY;BYMONTH=4;BYMONTHDAY=31",
                                 "FREQ=DAILY;BYMONTH=2;BYMONTHDAY=30", "FREQ=SECONDLY;BYMONTH=2"})
            QTest::newRow(rule) << timed("S", "20250301T100000", "20250301T100001", QString("RRULE:%1\r\n").arg(rule)) + ten
                                << "2026-03-10T10:00:00" << "A" << 2;

        // The recurrence set of RFC 5545 3.8.5, each part on its own.
        const QString march = timed("R", "20260301T100000", "20260301T110000", "%1");
        QTest::newRow("rdate date-time") << march.arg("RDATE:20260310T150000\r\n") << "2026-03-10T15:30:00" << "R" << 2;
        QTest::newRow("rdate date, whole day") << vevent("D", "DTSTART;VALUE=DATE:20260301\r\nX-MICROSOFT-CDO-BUSYSTATUS:OOF\r\n"
                                                              "RDATE;VALUE=DATE:20260309,20260310\r\n")
                                               << "2026-03-10T18:00:00" << "D" << 3;
        // 09:00 to 12:00 in New York is 14:00 to 17:00 here: the period's own end, not the event's length.
        QTest::newRow("rdate period in a zone")
            << march.arg("RDATE;VALUE=PERIOD;TZID=America/New_York:20260310T090000/20260310T120000\r\n")
            << "2026-03-10T16:30:00" << "R" << 2;
        QTest::newRow("rdate period longer than the event, its third hour")
            << march.arg("RDATE;VALUE=PERIOD:20260310T150000/20260310T180000\r\n") << "2026-03-10T17:30:00" << "R" << 2;
        // The file's own zone comes before the system's of that name: 09:00
        // at +03:00 is 07:00 here, not 15:00 as in New York.
        QTest::newRow("a zone the file defines under a system name")
            << "BEGIN:VTIMEZONE\r\nTZID:America/New_York\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
               "TZOFFSETFROM:+0300\r\nTZOFFSETTO:+0300\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n" +
                   march.arg("RDATE;TZID=America/New_York:20260310T090000\r\n")
            << "2026-03-10T07:30:00" << "R" << 2;
        QTest::newRow("exdate without a rule") << march.arg("EXDATE:20260301T100000\r\n") << "2026-03-01T10:30:00" << "" << 0;
        QTest::newRow("two rules") << march.arg("RRULE:FREQ=WEEKLY;BYDAY=MO\r\nRRULE:FREQ=WEEKLY;BYDAY=TU\r\n")
                                   << "2026-03-10T10:30:00" << "R" << 2;
        const QString later = weekly + vevent("Later", "RECURRENCE-ID;RANGE=THISANDFUTURE:20260224T100000\r\n"
                                                       "DTSTART:20260224T160000\r\nDTEND:20260224T163000\r\n")
                                           .replace("Later@x", "Weekly@x");
        QTest::newRow("this and future: later ones moved") << later << "2026-03-17T16:15:00" << "Later" << 2;
        QTest::newRow("this and future: not at the old time") << later << "2026-03-17T10:30:00" << "" << 0;
        QTest::newRow("this and future: earlier ones stay") << later << "2026-02-17T10:30:00" << "Weekly" << 2;
        // Of two entries for one start, the first in the file holds.
        QTest::newRow("this and future twice: the first holds")
            << later + vevent("Second", "RECURRENCE-ID;RANGE=THISANDFUTURE:20260224T100000\r\nDTSTART:20260224T170000\r\n"
                                        "DTEND:20260224T173000\r\n").replace("Second@x", "Weekly@x")
            << "2026-03-17T16:15:00" << "Later" << 2;
        QTest::newRow("this and future, its series not in the file")
            << vevent("Part", "RECURRENCE-ID;RANGE=THISANDFUTURE:20260303T100000\r\nDTSTART:20260310T140000\r\n"
                              "DTEND:20260310T150000\r\n")
            << "2026-03-10T14:45:00" << "Part" << 2;
        QTest::newRow("a change with an end and a length: its end")
            << weekly + vevent("Both", "RECURRENCE-ID:20260317T100000\r\nDTSTART:20260317T140000\r\n"
                                       "DTEND:20260317T143000\r\nDURATION:PT3H\r\n").replace("Both@x", "Weekly@x")
            << "2026-03-17T14:15:00" << "Both" << 2;
        QTest::newRow("impossible duration") << vevent("L", "DTSTART:20260301T100000\r\nDURATION:P999999999999999999W\r\n")
                                             << "2026-03-10T10:30:00" << "" << 0;

        // Zones named but not defined, as other programs name them: 09:00 in
        // New York is 14:00 here, in Los Angeles 17:00.
        const QString nine = vevent("Z", "DTSTART;TZID=%1:20260310T090000\r\nDURATION:PT1H\r\n");
        QTest::newRow("vendor prefix") << nine.arg("/example.org/20070129_1/America/New_York") << "2026-03-10T14:30:00" << "Z" << 2;
        QTest::newRow("an older name of the zone folder") << nine.arg("US/Eastern") << "2026-03-10T14:30:00" << "Z" << 2;
        QTest::newRow("windows name") << nine.arg("Pacific Standard Time") << "2026-03-10T17:30:00" << "Z" << 2;
        QTest::newRow("windows name, defined empty with a colon")
            << "BEGIN:VTIMEZONE\r\nTZID:Pacific Standard Time:\r\nEND:VTIMEZONE\r\n" + nine.arg("\"Pacific Standard Time:\"")
            << "2026-03-10T17:30:00" << "Z" << 2;
        QTest::newRow("unknown: desktop time") << nine.arg("Nowhere/Special") << "2026-03-10T09:30:00" << "Z" << 2;
        QTest::newRow("a zone that changes every second")
            << CalendarText::restlessZone("America/New_York") + nine.arg("America/New_York")
            << "2026-03-10T14:30:00" << "Z" << 2;
    }

    void runningAppointment()
    {
        QFETCH(QString, events);
        QFETCH(QString, now);
        QFETCH(QString, expected);
        QFETCH(int, busy);
        QTemporaryDir dir;
        write(dir.filePath("b.ics"), calendar(events));
        write(dir.filePath("a.ics"), "not a calendar"); // a broken file does not stop the others
        CalendarStore store;
        store.setPath(dir.path());
        QList<CalendarAppointment> day;
        QStringList warnings;
        QElapsedTimer timer;
        timer.start();
        const CalendarAppointment *running = runningIn(store, now, day, warnings);
        QVERIFY(timer.elapsed() < 5000);
        QCOMPARE(running ? running->subject : QString(), expected);
        if (running)
            QCOMPARE(int(running->busy), busy);
        QVERIFY(warnings.first().contains("a.ics"));
        QCOMPARE(warnings.filter("gives both an end and a length; its end is taken").size(), expected == "Both" ? 1 : 0);
        CheckBudget budget; // and near the minute, as the checks seek it
        QCOMPARE(subjectOf(store.runningAt(QDateTime::fromString(now, Qt::ISODate), warnings, budget)), expected);
    }

    // Generated rules of every frequency, with and without each kind of
    // part, of other calendar scales (RFC 7529's examples), from 1601 to
    // now, with COUNT and UNTIL: sought near a minute, each gives the starts
    // a walk from its start gives there, and the library's work never passes
    // what the series was charged. A rule no month holds is never handed to
    // the library, whose one call would search it for seconds. In shares of
    // frequencies, each well within QtTest's limit for a function on a busy
    // machine.
    void theChargeCoversTheWorkOfSecondsAndMinutes()
    {
        chargeCoversTheWork(generatedRules({"SECONDLY;INTERVAL=7", "MINUTELY"}), 200, 5);
    }
    void theChargeCoversTheWorkOfHours() { chargeCoversTheWork(generatedRules({"HOURLY;INTERVAL=5"}), 170, 9); }
    void theChargeCoversTheWorkOfDays() { chargeCoversTheWork(generatedRules({"DAILY;INTERVAL=3"}), 200, 12); }
    void theChargeCoversTheWorkOfWeeksMonthsAndYears()
    {
        chargeCoversTheWork(generatedRules({"WEEKLY", "MONTHLY", "YEARLY"}), 600, 100);
    }
    void theChargeCoversTheWorkNearTheWindow() { chargeCoversTheWork(rulesNearTheWindow(), 60, 12); }

    // The examples of other calendar scales in one file: both roads find
    // each on the day the day listing gives it.
    void otherScalesOnBothRoads()
    {
        QString events;
        for (const CalendarText::ScaleExample &e : CalendarText::kScaleExamples)
            events += CalendarText::scaleExample(e, e.name);
        OneFile file(calendar(events));
        for (const CalendarText::ScaleExample &e : CalendarText::kScaleExamples) {
            const QDateTime noon(e.day, QTime(12, 0));
            QStringList warnings;
            CheckBudget budget(CheckBudget::DefaultSteps, 600000);
            const QList<CalendarAppointment> day = file.store.day(e.day, warnings);
            const CalendarAppointment *listed = CalendarStore::running(day, noon);
            QCOMPARE(listed ? listed->subject : QString(), QString(e.name));
            QCOMPARE(subjectOf(file.store.runningAt(noon, warnings, budget)), QString(e.name));
            QCOMPARE(subjectOf(checked(file.path, noon).running), QString(e.name));
            QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
        }
    }

    // The day listing the faster roads are measured against lists the same
    // on a processor shared with four busy threads, as on a loaded machine:
    // the days of the first two examples of other calendar scales in one
    // file, every series walked from its start. (The thread sanitizer slows
    // the walk enough alone.)
    void theDayListingHoldsOnABusyProcessor()
    {
        QString events;
        for (const CalendarText::ScaleExample &e : CalendarText::kScaleExamples)
            events += CalendarText::scaleExample(e, e.name);
        OneFile file(calendar(events));
        const CrowdedProcessor crowded(kSanitizerStretch == 1 ? 4 : 0);
        for (const CalendarText::ScaleExample &e : {CalendarText::kScaleExamples[0], CalendarText::kScaleExamples[1]}) {
            QStringList warnings;
            const QList<CalendarAppointment> day = file.store.day(e.day, warnings);
            const CalendarAppointment *listed = CalendarStore::running(day, QDateTime(e.day, QTime(12, 0)));
            QCOMPARE(listed ? listed->subject : QString(), QString(e.name));
            QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
        }
    }

    // Meetings whose rules the library once missed or found no start of,
    // running at now: the day listing, the watcher's store and the
    // in-process check each find the running one (or none, where the rule
    // as the library reads it has none then), and nothing is reported.
    void validRulesOnEveryRoad_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("now");
        QTest::addColumn<bool>("runs");
        QTest::addColumn<bool>("listed"); // the day listing walks seconds from the start: within its budget
        // Days counted from the end of a month or a year, which a rule of
        // days or shorter steps gives by RFC 5545.
        QTest::newRow("daily, on every month's last day")
            << "DTSTART:20250131T100000\r\nDURATION:PT1H\r\nRRULE:FREQ=DAILY;BYMONTHDAY=-1\r\n" << "2026-03-31T10:40:00" << true << true;
        QTest::newRow("hourly, on every month's last day at 10:30")
            << "DTSTART:20250131T103000Z\r\nDURATION:PT1H\r\nRRULE:FREQ=HOURLY;BYMONTHDAY=-1;BYHOUR=10;BYMINUTE=30\r\n"
            << "2026-04-30T12:50:00" << true << true;
        QTest::newRow("hourly, on a year's last day")
            << "DTSTART;TZID=America/New_York:20201231T090000\r\nDURATION:PT1H\r\nRRULE:FREQ=HOURLY;BYYEARDAY=-1;BYHOUR=9\r\n"
            << "2025-12-31T15:20:00" << true << true;
        QTest::newRow("every five minutes of a year's last day")
            << "DTSTART:20201231T000000\r\nDURATION:PT40M\r\nRRULE:FREQ=MINUTELY;INTERVAL=5;BYYEARDAY=-1\r\n"
            << "2025-12-31T10:42:00" << true << true;
        QTest::newRow("daily, not on the day before a month's last")
            << "DTSTART:20250131T100000\r\nDURATION:PT1H\r\nRRULE:FREQ=DAILY;BYMONTHDAY=-1\r\n" << "2026-03-30T10:40:00" << false << true;
        // Weekdays counted within a span beside plain ones: the plain ones.
        QTest::newRow("daily, Mondays and a first Tuesday: a Monday")
            << "DTSTART:20260302T100000\r\nDURATION:PT1H\r\nRRULE:FREQ=DAILY;BYDAY=MO,1TU\r\n" << "2026-03-09T10:20:00" << true << true;
        QTest::newRow("daily, Mondays and a first Tuesday: the Tuesday")
            << "DTSTART:20260302T100000\r\nDURATION:PT1H\r\nRRULE:FREQ=DAILY;BYDAY=MO,1TU\r\n" << "2026-03-03T10:20:00" << false << true;
        // An hourly meeting written in steps of minutes or seconds, begun
        // 10 to 24 minutes ago, its first start a day or more back.
        for (const char *zone : {"Z", ""}) {
            QTest::newRow(qPrintable(QString("minutes at 45 past, 15 minutes in, %1").arg(*zone ? "UTC" : "floating")))
                << QString("DTSTART:20260308T094500%1\r\nDURATION:PT40M\r\nRRULE:FREQ=MINUTELY;BYMINUTE=45\r\n").arg(zone)
                << (*zone ? "2026-03-10T12:00:00" : "2026-03-10T11:00:00") << true << true;
            QTest::newRow(qPrintable(QString("seconds at 45:27, 24 minutes in, %1").arg(*zone ? "UTC" : "floating")))
                << QString("DTSTART:20260309T094527%1\r\nDURATION:PT40M\r\nRRULE:FREQ=SECONDLY;BYMINUTE=45;BYSECOND=27\r\n")
                       .arg(zone)
                << (*zone ? "2026-03-10T11:09:30" : "2026-03-10T10:09:30") << true << false;
        }
    }

    void validRulesOnEveryRoad()
    {
        QFETCH(QString, lines);
        QFETCH(QString, now);
        QFETCH(bool, runs);
        QFETCH(bool, listed);
        OneFile file(calendar(vevent("Valid", lines)));
        const QDateTime at = QDateTime::fromString(now, Qt::ISODate);
        const QString expected = runs ? "Valid" : "";
        QList<CalendarAppointment> day;
        QStringList warnings;
        CheckBudget budget;
        const CalendarAppointment *inDay = runningIn(file.store, now, day, warnings);
        if (listed)
            QCOMPARE(inDay ? inDay->subject : QString(), expected);
        warnings.clear();
        QCOMPARE(subjectOf(file.store.runningAt(at, warnings, budget)), expected);
        const CalendarCheck::Result result = checked(file.path, at);
        QCOMPARE(subjectOf(result.running), expected);
        warnings += result.warnings;
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
    }

    // A rule the library finds no start of, even so written (a weekday
    // counted within a day's steps; a month day no month has), is named
    // once while its file stays as it is, and again once it changed.
    void aRefusedRuleIsNamedOncePerVersion()
    {
        const QString refused = "DTSTART:20250301T100000\r\nDURATION:PT1H\r\nRRULE:FREQ=DAILY;BYDAY=1TU\r\n";
        OneFile file(calendar(vevent("Refused", refused) + vevent("Never", refused).replace("BYDAY=1TU", "BYMONTH=2;BYMONTHDAY=30")));
        QStringList warnings;
        for (int check = 0; check < 3; ++check) {
            CheckBudget budget;
            file.store.runningAt(kTuesday, warnings, budget);
        }
        QCOMPARE(warnings.filter("left out: the calendar library finds none of them").size(), 2);
        QCOMPARE(warnings.filter("\"Refused\" by the rule FREQ=DAILY;BYDAY=1TU").size(), 1);
        QCOMPARE(warnings.filter(QRegularExpression("\"Never\" by the rule FREQ=DAILY;.*BYMONTHDAY=30")).size(), 1);
        QThread::msleep(10); // a newer stamp
        write(file.path, calendar(vevent("Refused", refused + "LOCATION:Room 2\r\n")));
        CheckBudget budget;
        file.store.runningAt(kTuesday, warnings, budget);
        QCOMPARE(warnings.filter("\"Refused\" by the rule FREQ=DAILY;BYDAY=1TU").size(), 2);
    }

    // Files no calendar program writes end the check at once or within its
    // budget, and each is named once while it stays as it is.
    void hostileFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a named pipe as the calendar") << "fifo" << "not a regular file" << "";
        QTest::newRow("a named pipe in the folder") << "fifo in folder" << "not a regular file" << "A";
        QTest::newRow("over 20 MB") << "large" << "larger than 20 MB" << "";
        QTest::newRow("300 rules of seconds since 1990") << "seconds" << "" << "A";
        QTest::newRow("300 counted rules of seconds") << "counted" << "ran out of time for the repeats of" << "A";
    }

    void hostileFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QString, warning);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString file = dir.filePath("cal.ics");
        const QString ten = timed("A", "20260310T100000", "20260310T110000");
        const QString rules = CalendarText::secondsSince1990(300, kind == "counted");
        if (kind.startsWith("fifo")) {
            QVERIFY(::mkfifo(QFile::encodeName(file).constData(), 0600) == 0);
            write(dir.filePath("ok.ics"), calendar(ten));
        } else {
            write(file, calendar(ten + rules) + (kind == "large" ? QByteArray(21 << 20, '\n') : QByteArray()));
        }
        CalendarStore store;
        store.setPath(kind == "fifo in folder" ? dir.path() : file);
        for (int check = 0; check < 2; ++check) {
            QStringList warnings;
            CheckBudget budget(CheckBudget::DefaultSteps, 600000);
            const auto running = store.runningAt(QDateTime(QDate(2026, 3, 10), QTime(10, 0, 30)), warnings, budget);
            // Endless rules of seconds are sought near the minute: a few hundred steps each.
            QVERIFY(kind != "seconds" || budget.stepsLeft() > CheckBudget::DefaultSteps - 300 * 300);
            QCOMPARE(running ? running->subject : QString(), expected);
            // A series cut is named once, each of the 300.
            const int named = kind == "counted" ? 300 : 1;
            QCOMPARE(warnings.filter(warning).size(), check == 0 && !warning.isEmpty() ? named : 0);
            QCOMPARE(warnings.size(), warnings.filter(warning).size());
        }
    }


    // Every kind of step is paid from the budget: with too few steps the
    // costly series is cut and named once, and the meeting after it is
    // still found.
    void everyStepIsCharged_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char *kind : {"a counted rule", "added dates", "zones", "excluded dates", "moves", "moves of this and later",
                                 "a rule's set-up"})
            QTest::newRow(kind) << kind;
    }

    void everyStepIsCharged()
    {
        QFETCH(QString, kind);
        OneFile file(calendar(costly(kind, 400) + weeklyInBerlin()));
        CalendarStore &store = file.store;
        for (int check = 0; check < 2; ++check) {
            QStringList warnings;
            CheckBudget budget(300, 60000);
            QCOMPARE(subjectOf(store.runningAt(kTuesday, warnings, budget)), QString("Weekly"));
            QCOMPARE(warnings.filter("ran out of time for the repeats of \"Costly\"").size(), check == 0 ? 1 : 0);
        }
        QStringList warnings;
        CheckBudget enough;
        QCOMPARE(subjectOf(store.runningAt(kTuesday, warnings, enough)), QString("Weekly"));
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
    }

    // Costly series before a running meeting: both roads find it on the
    // first check, the watcher's store within its steps whatever the load,
    // the program's check within its own budget, and stopping that check
    // while it runs takes a moment.
    void aCostlySeriesHidesNoMeeting_data()
    {
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("expected");
        QTest::newRow("20,000 yearly rules of every minute") << crowd("yearly", 20000) + weeklyInBerlin() << "Weekly";
        QTest::newRow("2,000 counted rules of seconds") << crowd("seconds", 2000) + weeklyInBerlin() << "Weekly";
        QTest::newRow("3,000 series of 300 added dates") << crowd("dates", 3000) + weeklyInBerlin() << "Weekly";
        QTest::newRow("400 rules of minutes since 1601") << crowd("minutes", 400) + weeklyInBerlin() << "Weekly";
        QTest::newRow("400 such in a zone whose clocks change")
            << crowd("minutes", 400).replace("DTSTART:", "DTSTART;TZID=Europe/Berlin:") + weeklyInBerlin() << "Weekly";
        QTest::newRow("500 rules of other calendar scales") << crowd("scales", 500) + weeklyInBerlin() << "Weekly";
        QTest::newRow("a thousand moves of this and later, at 10:05") << chain(1000) << "";
        QTest::newRow("a thousand moves of this and later, at 11:05") << chain(1000) << "Moved";
    }

    void aCostlySeriesHidesNoMeeting()
    {
        QFETCH(QString, events);
        QFETCH(QString, expected);
        OneFile file(calendar(events));
        const QString &path = file.path;
        CalendarStore &store = file.store;
        const QString tag = QTest::currentDataTag();
        const QDateTime at = tag.endsWith("10:05")   ? QDateTime(kTuesday.date(), QTime(10, 5))
                             : tag.endsWith("11:05") ? QDateTime(kTuesday.date(), QTime(11, 5))
                                                     : kTuesday;
        QStringList warnings;
        CheckBudget steps(CheckBudget::DefaultSteps, 600000); // no time limit that load could reach
        QCOMPARE(subjectOf(store.runningAt(at, warnings, steps)), expected);
        QVERIFY(steps.stepsLeft() >= 0);
        QCOMPARE(subjectOf(checked(path, at).running), expected);
        CheckBudget time;
        QCOMPARE(subjectOf(store.runningAt(at, warnings, time)), expected); // the files read already
        CalendarCheck check;
        QVERIFY(check.start(path, at, [](const CalendarCheck::Result &) { QFAIL("delivered"); }));
        QThread::msleep(100);
        QElapsedTimer timer;
        timer.start();
        check.stop();
        QVERIFY2(timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed()))); // ten times a step's most
        QCoreApplication::processEvents();
    }

    // Beside a running weekly meeting, a rule the library would search to
    // its last year in one call: both roads find the meeting on the first
    // check in little processor time, and stopping a check of it takes a
    // moment.
    void aFarSearchHidesNoMeeting_data()
    {
        QTest::addColumn<QString>("rule");
        for (const char *rule : CalendarText::kFarSearches)
            QTest::newRow(rule) << QString(rule);
    }

    void aFarSearchHidesNoMeeting()
    {
        QFETCH(QString, rule);
        OneFile file(calendar(vevent("Far", "DTSTART:19000102T100000\r\nDURATION:PT25M\r\nRRULE:" + rule + "\r\n") +
                              weeklyInBerlin()));
        QStringList warnings;
        CheckBudget budget;
        qint64 cpu = threadCpuMs();
        QCOMPARE(subjectOf(file.store.runningAt(kTuesday, warnings, budget)), QString("Weekly"));
        QVERIFY2(threadCpuMs() - cpu < 2000 * kSanitizerStretch, qPrintable(QString::number(threadCpuMs() - cpu)));
        cpu = processCpuMs();
        QCOMPARE(subjectOf(checked(file.path, kTuesday).running), QString("Weekly"));
        QVERIFY2(processCpuMs() - cpu < 2000 * kSanitizerStretch, qPrintable(QString::number(processCpuMs() - cpu)));
        CalendarCheck check;
        QVERIFY(check.start(file.path, kTuesday, [](const CalendarCheck::Result &) {}));
        QThread::msleep(5);
        QElapsedTimer timer;
        timer.start();
        check.stop();
        QVERIFY2(!kWindowStopsMeasured || timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed())));
    }

    // Beside a running weekly meeting, a series of which one call of the
    // library runs for minutes: the check answers with the meeting for two
    // seconds of processor time at most, its helpers' counted, and names the
    // series once; nothing is left running once it has answered; stopped
    // while the helper is inside that call, it ends in a moment, the helper
    // with it.
    void aHeldCallHidesNoMeeting_data()
    {
        QTest::addColumn<QString>("lines");
        for (const char *lines : CalendarText::kHeldCalls)
            QTest::newRow(std::strstr(lines, "RRULE:") + std::strlen("RRULE:")) << QString(lines);
    }

    void aHeldCallHidesNoMeeting()
    {
        QFETCH(QString, lines);
        OneFile file(calendar(CalendarText::heldCall(qPrintable(lines)) + weeklyInBerlin()));
        const int threads = threadCount();
        const qint64 cpu = processCpuMs() + childrenCpuMs();
        Checks checks;
        CalendarCheck &check = checks.check;
        for (int i = 0; i < 2; ++i) {
            const CalendarCheck::Result *r = checks.once(file.path);
            QVERIFY(r);
            QCOMPARE(subjectOf(r->running), QString("Weekly"));
            QCOMPARE(r->warnings.filter("\"Held\"").size(), i == 0 ? 1 : 0); // named once
            QTRY_COMPARE_WITH_TIMEOUT(stateOf(check.helperId()), 'S', stretched(5000)); // waits for the next check
            QTRY_COMPARE_WITH_TIMEOUT(threadCount(), threads, stretched(5000));
        }
        const qint64 helper = check.helperId();
        check.stop();
        QCOMPARE(stateOf(helper), char(0));
        const qint64 used = processCpuMs() + childrenCpuMs() - cpu;
        QVERIFY2(used < 2000 * kSanitizerStretch, qPrintable(QString::number(used)));
        // A new version of the file: the series is tried again.
        write(file.path, calendar(CalendarText::heldCall(qPrintable(lines)) + weeklyInBerlin() + vevent("Other", "")));
        QVERIFY(check.start(file.path, kTuesday, [](const CalendarCheck::Result &) { QFAIL("delivered"); }));
        QThread::msleep(100);
        QElapsedTimer timer;
        timer.start();
        check.stop();
        QVERIFY2(timer.elapsed() < 500 * kSanitizerStretch, qPrintable(QString::number(timer.elapsed())));
        QCoreApplication::processEvents();
        QTRY_COMPARE_WITH_TIMEOUT(threadCount(), threads, stretched(5000));
        const CalendarCheck::Result *r = checks.once(file.path);
        QVERIFY(r);
        QCOMPARE(subjectOf(r->running), QString("Weekly"));
        QCOMPARE(r->warnings.filter("\"Held\"").size(), 1);
    }

    // The helper gone between checks (killed, or ended by its processor
    // limit): the next check starts another and answers, and this program
    // goes on. No helper to start: the check runs here, and says so once.
    void aHelperGoneOrMissing()
    {
        OneFile file(calendar(weeklyInBerlin()));
        Checks checks;
        for (int i = 0; i < 2; ++i) {
            const CalendarCheck::Result *r = checks.once(file.path);
            QVERIFY(r);
            QCOMPARE(subjectOf(r->running), QString("Weekly"));
            QCOMPARE(r->warnings, QStringList());
            const qint64 helper = checks.check.helperId();
            QVERIFY(helper > 0);
            QCOMPARE(::kill(pid_t(helper), SIGKILL), 0);
            QTRY_COMPARE_WITH_TIMEOUT(stateOf(helper), 'Z', stretched(5000));
        }
        checks.check.stop();
        CheckProcess::setProgram(QDir::temp().filePath("no-such-helper"));
        const auto restore = qScopeGuard([] { CheckProcess::setProgram(TESSALY_CALENDARCHECK); });
        Checks here;
        for (int i = 0; i < 2; ++i) {
            const CalendarCheck::Result *r = here.once(file.path);
            QVERIFY(r);
            QCOMPARE(subjectOf(r->running), QString("Weekly"));
            QCOMPARE(r->warnings.filter("could not start").size(), i == 0 ? 1 : 0);
            QCOMPARE(here.check.helperId(), 0);
        }
    }

    // A meeting in the hour the clocks go back, the second time round,
    // asked in it: the helper is told that moment, not the first with the
    // same wall clock, and tells the meeting's as itself.
    void theHelperIsToldMomentsAsThemselves()
    {
        const QByteArray zone = qgetenv("TZ");
        const auto restoreZone = qScopeGuard([zone] {
            qputenv("TZ", zone);
            tzset();
        });
        qputenv("TZ", "Australia/Sydney");
        tzset();
        OneFile file(calendar(timed("Late", "20260404T161500Z", "20260404T165500Z")));
        for (const int minutes : {16 * 60 + 20, 16 * 60 + 50, 15 * 60 + 20}) {
            const QDateTime now = QDateTime(QDate(2026, 4, 4), QTime(0, 0), QTimeZone::utc()).addSecs(60 * minutes).toLocalTime();
            const CalendarCheck::Result result = checked(file.path, now);
            QCOMPARE(subjectOf(result.running), minutes > 16 * 60 ? QString("Late") : QString());
            if (result.running)
                QCOMPARE(result.running->start, QDateTime(QDate(2026, 4, 4), QTime(16, 15), QTimeZone::utc()));
        }
    }

    // The program and the helper tell each other a check and its result
    // whole.
    void aCheckAndItsResultCrossWhole()
    {
        CalendarCheck::Result result;
        CalendarAppointment a;
        a.subject = "Late";
        a.start = QDateTime(QDate(2026, 10, 25), QTime(1, 15), QTimeZone::utc()).toLocalTime();
        a.end = a.start.addSecs(600);
        a.busy = BusyStatus::OutOfOffice;
        a.position = 7;
        result.running = a;
        result.warnings << "one" << "two";
        const QByteArray wire = CheckWire::answer(result);
        QCOMPARE(CheckWire::lengthOf(wire), std::optional<quint32>(wire.size() - CheckWire::HeaderSize));
        const std::optional<CalendarCheck::Result> back = CheckWire::answer(wire.mid(CheckWire::HeaderSize));
        QVERIFY(back && back->running);
        QCOMPARE(back->running->start.toMSecsSinceEpoch(), a.start.toMSecsSinceEpoch());
        QCOMPARE(back->running->identity(), a.identity());
        QCOMPARE(back->running->busy, BusyStatus::OutOfOffice);
        QCOMPARE(back->running->position, 7);
        QCOMPARE(back->warnings, result.warnings);
        const CheckWire::Request asked{"c.ics", a.start, "Europe/Berlin", 900, {{"c.ics", "1:2", 3, true}}};
        const QByteArray sent = CheckWire::request(asked);
        const std::optional<CheckWire::Request> got = CheckWire::request(sent.mid(CheckWire::HeaderSize));
        QVERIFY(got);
        QCOMPARE(got->now.toMSecsSinceEpoch(), a.start.toMSecsSinceEpoch());
        QCOMPARE(got->zone, QByteArray("Europe/Berlin"));
        QCOMPARE(got->skip.size(), 1);
        QCOMPARE(got->skip[0].series, 3);
        QVERIFY(got->skip[0].named);
    }

    // What a check works out about a rule is kept with the file's reader,
    // each rule's its own: an event of several rules is charged what events
    // of each rule alone are, and a reader asked before charges and finds
    // what a new one does, at windows from days to years apart.
    void keptRuleCostsAreTheRulesOwn()
    {
        const QStringList rules{"FREQ=DAILY;BYDAY=MO,TU", "FREQ=HOURLY;INTERVAL=5", "FREQ=YEARLY;BYMONTH=3,6;BYDAY=1FR",
                                "FREQ=DAILY;BYDAY=WE;BYHOUR=8,16", "FREQ=MINUTELY;INTERVAL=45;BYDAY=TH"};
        const QString start = "DTSTART;TZID=Europe/Berlin:20240301T100000\r\nDURATION:PT1H\r\n";
        QString events = vevent("All", start + "RRULE:" + rules.join("\r\nRRULE:") + "\r\n");
        for (const QString &rule : rules)
            events += vevent(rule, start + "RRULE:" + rule + "\r\n");
        const QByteArray text = calendar(events);
        IcsReader kept(text, "c.ics");
        QCOMPARE(kept.seriesCount(), 1 + rules.size());
        int found = 0;
        for (const int days : {0, 1, 9, 40, 200, 700}) {
            const QDateTime from = kTuesday.addDays(days), to = from.addSecs(60 * (days % 7 + 1));
            IcsReader fresh(text, "c.ics");
            for (const RecurrenceSet::Walk walk : {RecurrenceSet::Walk::Near, RecurrenceSet::Walk::FromStart}) {
                qint64 alone = 4; // an event's own reading, start and keeping, counted once
                for (int s = 1; s < kept.seriesCount(); ++s)
                    alone += kept.cost(s, from, to, walk) - 4;
                QCOMPARE(kept.cost(0, from, to, walk), alone);
                for (int s = 0; s < kept.seriesCount(); ++s) {
                    QCOMPARE(kept.cost(s, from, to, walk), fresh.cost(s, from, to, walk));
                    CheckBudget keptBudget, freshBudget;
                    QStringList warnings;
                    const IcsReader::Expansion a = kept.expand(s, from.addDays(-1), to, walk, keptBudget, warnings);
                    const IcsReader::Expansion b = fresh.expand(s, from.addDays(-1), to, walk, freshBudget, warnings);
                    QCOMPARE(a.found.size(), b.found.size());
                    for (qsizetype i = 0; i < a.found.size(); ++i)
                        QCOMPARE(a.found[i].start, b.found[i].start);
                    found += int(a.found.size());
                }
            }
        }
        QVERIFY(found > 20); // the rules do start in the windows
    }

    // A check inside a call that cannot be stopped: stopping it returns in
    // a moment and drops its result, a new check runs at once, and the one
    // left running ends on its own after its owner has gone.
    void stoppingACheckThatCannotStop()
    {
        auto left = std::make_shared<std::atomic_int>(0); // 1 while the first runs, 2 once it ended
        auto calls = std::make_shared<std::atomic_int>(0);
        const auto work = [left, calls](CalendarStore &, const QString &path, const QDateTime &, const std::atomic_bool &) {
            CalendarCheck::Result result;
            result.warnings << path;
            if (calls->fetch_add(1) > 0)
                return result;
            left->store(1);
            QThread::msleep(1500); // deaf to the cancel, as a library call is
            left->store(2);
            return result;
        };
        QStringList delivered;
        {
            CalendarCheck check(work);
            QVERIFY(check.start("first", kTuesday, [&](const CalendarCheck::Result &r) { delivered << r.warnings; }));
            QTRY_COMPARE_WITH_TIMEOUT(left->load(), 1, stretched(5000));
            QElapsedTimer timer;
            timer.start();
            check.stop();
            QVERIFY2(!kWindowStopsMeasured || timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed())));
            QVERIFY(!check.isRunning());
            QVERIFY(check.start("second", kTuesday, [&](const CalendarCheck::Result &r) { delivered << r.warnings; }));
            check.wait(stretched(5000));
            QCOMPARE(delivered, QStringList{"second"});
            QVERIFY(check.start("third", kTuesday, [&](const CalendarCheck::Result &r) { delivered << r.warnings; }));
        } // goes while the first still runs
        QCOMPARE(left->load(), 1);
        // The program's end waits for the check let go, and is told when it
        // still runs. (Checks let go by the tests before, cancelled but
        // perhaps still reading a large file, count too: hence the long wait.)
        QVERIFY(!CalendarCheck::checksLetGoEnded(std::chrono::milliseconds(10)));
        QVERIFY(CalendarCheck::checksLetGoEnded(std::chrono::milliseconds(stretched(60000))));
        QCOMPARE(left->load(), 2);
        QTest::qWait(50);
        QCOMPARE(delivered, QStringList{"second"});
    }

    // A chain of 20,000 moves of this and later, the first sixty years
    // away: the walk over its starts stops at once wherever it is.
    void stoppingAChainOfMoves()
    {
        QString events = vevent("Chain", "DTSTART:19700101T100000\r\nDURATION:PT1H\r\nRRULE:FREQ=HOURLY\r\n");
        for (int i = 1; i <= 20000; ++i) {
            const QDateTime original = QDateTime(QDate(1970, 1, 1), QTime(10, 0)).addSecs(3600 * i);
            const QDateTime moved = i == 1 ? original.addYears(60) : original.addSecs(i % 30 * 60);
            events += vevent("Chain", "RECURRENCE-ID;RANGE=THISANDFUTURE:" + original.toString("yyyyMMdd'T'HHmmss") +
                                          "\r\nDTSTART:" + moved.toString("yyyyMMdd'T'HHmmss") + "\r\nDURATION:PT1H\r\n");
        }
        const OneFile file(calendar(events));
        for (const int after : {300, 700, 1100, 1500}) {
            CalendarCheck check;
            QVERIFY(check.start(file.path, kTuesday, [](const CalendarCheck::Result &) {}));
            QThread::msleep(after);
            QElapsedTimer timer;
            timer.start();
            check.stop();
            QVERIFY2(!kWindowStopsMeasured || timer.elapsed() < 500, qPrintable(QString("%1 ms after %2 ms").arg(timer.elapsed()).arg(after)));
        }
    }

    // What a check cannot reach the next ones do: each check reaches some
    // of a thousand costly yearly rules, each from where the last stopped.
    void costlySeriesAreReachedInTurn()
    {
        OneFile file(calendar(crowd("yearly", 1000)));
        const QDateTime noon(QDate(2025, 12, 31), QTime(12, 0)); // when each of them runs
        QSet<QString> reached;
        for (int check = 0; check < 20 && reached.size() < 1000; ++check) {
            QStringList warnings;
            CheckBudget budget(CheckBudget::DefaultSteps, 600000);
            QSet<QString> now;
            for (const CalendarAppointment &a : file.store.between(noon, noon.addSecs(60), warnings, budget))
                now << a.subject;
            const qsizetype before = reached.size();
            reached += now;
            QVERIFY2(reached.size() - before >= std::min<qsizetype>(50, 1000 - before), qPrintable(QString::number(check)));
        }
        QCOMPARE(reached.size(), 1000);
    }

    // A calendar near the size limit. A check stopped while it parses the
    // file ends at once and keeps nothing of it; reading it does not count
    // against the time for repeats, so the next check finds its meeting.
    void aLargeCalendarOnTheFirstCheck()
    {
        OneFile file(calendar(crowd("dates", 3900) + weeklyInBerlin()));
        QVERIFY2(QFileInfo(file.path).size() > 19000000, qPrintable(QString::number(QFileInfo(file.path).size())));
        CalendarCheck check;
        QVERIFY(check.start(file.path, kTuesday, [](const CalendarCheck::Result &) { QFAIL("delivered"); }));
        QThread::msleep(300);
        QElapsedTimer timer;
        timer.start();
        check.stop();
        QVERIFY2(!kWindowStopsMeasured || timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(subjectOf(checked(file.path, kTuesday).running), QString("Weekly"));
        QStringList warnings;
        CheckBudget shortClock(CheckBudget::DefaultSteps, 30); // far shorter than reading the file takes
        QCOMPARE(subjectOf(file.store.runningAt(kTuesday, warnings, shortClock)), QString("Weekly"));
    }

    // Zone names that are paths: no file outside the zone database is
    // opened (a named pipe would stop the check for good), the check ends,
    // each name is logged once as unknown and its times float.
    void zoneNamesThatArePaths()
    {
        QTemporaryDir outside, dir;
        const QString secret = outside.filePath("secret"), pipe = outside.filePath("pipe");
        write(secret, "TZif");
        QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
        const int watch = ::inotify_init1(IN_NONBLOCK);
        QVERIFY(watch >= 0 && ::inotify_add_watch(watch, QFile::encodeName(outside.path()).constData(),
                                                  IN_OPEN | IN_ACCESS) >= 0);
        const QString up = QString("../").repeated(16);
        const QStringList names{up + secret.mid(1), secret, up + pipe.mid(1), pipe, "/proc/self/fd/0",
                                up + "proc/self/fd/0", "/freeassociation.sourceforge.net/" + up + pipe.mid(1),
                                QString(10000, 'A')};
        QString events;
        for (const QString &name : names)
            events += vevent(QString("Z%1").arg(events.size()), QString("DTSTART;TZID=%1:20260310T100000\r\nDURATION:PT1H\r\n"
                                                                        "RDATE;TZID=%1:20260311T100000\r\nEXDATE;TZID=%1:20260312T100000\r\n"
                                                                        "RRULE:FREQ=DAILY\r\n").arg(name));
        write(dir.filePath("c.ics"), calendar(events));
        CalendarCheck check;
        std::optional<CalendarCheck::Result> result;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(check.start(dir.filePath("c.ics"), kTuesday, [&](const CalendarCheck::Result &r) { result = r; }));
        check.wait(stretched(5000));
        const int reader = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
        if (reader >= 0)
            ::close(reader); // lets a check that opened it go on
        QVERIFY2(reader < 0, "the named pipe was opened");
        check.stop();
        QVERIFY(timer.elapsed() < 2000);
        QVERIFY(result.has_value());
        QCOMPARE(subjectOf(result->running), QString("Z0")); // 10:00 here
        QVERIFY2(result->warnings.filter("is not known").size() == names.size(), qPrintable(result->warnings.join('\n')));
        QVERIFY(result->warnings.filter(QString(31, 'A')).isEmpty()); // a long name is shortened
        char events_[4096];
        QCOMPARE(::read(watch, events_, sizeof events_), ssize_t(-1));
        ::close(watch);
    }

    void identityAndNote()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("c.ics");
        const QString edited = "LOCATION:Room 1\r\nLAST-MODIFIED:20260301T000000Z\r\nCLASS:PRIVATE\r\n";
        write(file, calendar(timed("Plan", "20260310T100000", "20260310T110000", edited) +
                             timed("Plan", "20260310T100000", "20260310T110000", edited).replace("Plan@x", "Other@x")));
        CalendarStore store;
        store.setPath(file);
        QStringList warnings;
        QList<CalendarAppointment> day = store.day(QDate(2026, 3, 10), warnings);
        QCOMPARE(day.size(), 2);
        QCOMPARE(day[0].note(), QString("Plan @ Room 1"));
        QVERIFY(day[0].isPrivate);
        QVERIFY(day[0].identity() != day[1].identity()); // one modification time, two events
        write(file, calendar(timed("Plan", "20260310T100000", "20260310T110000",
                                   "LAST-MODIFIED:20260302T000000Z\r\nDESCRIPTION:" + QString(300, 'x') + "\r\n")));
        const QString before = day[0].identity();
        day = store.day(QDate(2026, 3, 10), warnings);
        QVERIFY(day[0].identity() != before); // an edit reads again
        QVERIFY(warnings.isEmpty());
    }

    void appendKeepsTheRest()
    {
        QTemporaryDir dir;
        const QString real = dir.filePath("real.ics");
        const QString link = dir.filePath("link.ics");
        // CRLF, an odd folding and properties of other programs.
        const QString keep = timed("Keep", "20260310T080000", "20260310T090000", "X-OTHER-PROP;X-P=1:some long\r\n  folded value\r\n");
        const QByteArray original = calendar(keep);
        write(real, original);
        QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        QVERIFY(QFile::link(real, link));
        int otherWrites = 0;
        SafeFile::beforeReplace = [&] {
            if (otherWrites++ == 0) // another program adds its event before ours lands
                write(real, calendar(keep + timed("Theirs", "20260310T120000", "20260310T130000")));
        };
        IcsWriter::Event ours{IcsWriter::newUid("@status.tessaly"), QDateTime(QDate(2026, 3, 10), QTime(10, 0)),
                              QDateTime(QDate(2026, 3, 10), QTime(11, 0)), "Meeting", BusyStatus::OutOfOffice, {}};
        const QByteArray block = IcsWriter::eventText(ours, QDateTime::currentDateTime());
        QCOMPARE(IcsWriter::append(link, ours.uid, block), IcsWriter::Done);
        SafeFile::beforeReplace = nullptr;
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(QFile::permissions(real) & 0x0FFF, QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);
        const QByteArray theirs = read(real);
        const qsizetype end = theirs.lastIndexOf("END:VCALENDAR");
        QVERIFY(theirs.contains("SUMMARY:Theirs"));
        QVERIFY(theirs.startsWith(original.left(original.lastIndexOf("END:VCALENDAR"))));
        QVERIFY(theirs.endsWith("END:VCALENDAR\r\n"));
        QVERIFY(!theirs.left(end).replace("\r\n", "").contains('\n')); // our lines end as theirs do

        CalendarStore store;
        store.setPath(real);
        QStringList warnings;
        const QList<CalendarAppointment> day = store.day(QDate(2026, 3, 10), warnings);
        QCOMPARE(day.size(), 3);
        QCOMPARE(day[1].busy, BusyStatus::OutOfOffice); // reads back as written
        QVERIFY(!CalendarStore::running(day, QDateTime(QDate(2026, 3, 10), QTime(10, 30))));

        // Broken: left alone. Missing: made. A folder: a file of its own.
        write(real, "garbage");
        QCOMPARE(IcsWriter::append(real, ours.uid, block), IcsWriter::Unparsable);
        QCOMPARE(read(real), QByteArray("garbage"));
        QCOMPARE(IcsWriter::append(dir.filePath("new/cal.ics"), ours.uid, block), IcsWriter::Done);
        QCOMPARE(IcsWriter::append(dir.filePath("new"), ours.uid, block), IcsWriter::Done);
        QCOMPARE(IcsWriter::append(dir.filePath("new"), ours.uid, block), IcsWriter::Failed);
        store.setPath(dir.filePath("new"));
        QCOMPARE(store.day(QDate(2026, 3, 10), warnings).size(), 2);
    }

    // Cards as address books write them read as written, each line looked
    // at once: a 4 MB folded note costs little.
    void vcardsAsWritten_data()
    {
        QTest::addColumn<QByteArray>("lines"); // of each card; "#" its number
        QTest::addColumn<QString>("first");
        QTest::addColumn<QByteArray>("extra"); // in the first card
        const QByteArray plain = "N:Lee#;Ann;;;\r\nEMAIL;TYPE=INTERNET:ann#@example.org\r\nTEL;TYPE=WORK,VOICE:+44 1\r\n"
                                 "TEL;TYPE=CELL:+44 2\r\n";
        QTest::addRow("plain") << plain << "Ann" << QByteArray();
        QTest::addRow("folded lines") << QByteArray("N:L\r\n ee#;Ann;;;\r\nEMAIL;T\r\n\tYPE=INTERNET:ann#@exa\r\n mple.org\r\n"
                                                    "TEL;TYPE=WORK:+44\r\n  1\r\nTEL;TYPE=CELL:+44 2\r\n")
                                      << "Ann" << QByteArray();
        QTest::addRow("quoted-printable soft breaks, types without a name")
            << QByteArray("N;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:Lee#;J=C3=\r\n=B6rg=\r\n;;;\r\n"
                          "item1.EMAIL;ENCODING=QUOTED-PRINTABLE:ann#=40exam=\r\nple.org\r\nTEL;WORK:+44 1\r\nTEL;CELL:+44 2\r\n")
            << "Jörg" << QByteArray();
        QTest::addRow("a 4 MB folded note") << plain << "Ann"
                                            << "NOTE:" + QByteArray(74, 'x').append("\r\n ").repeated(56000) + "\r\n";
    }

    void vcardsAsWritten()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QString, first);
        QFETCH(QByteArray, extra);
        QByteArray text;
        for (int i = 0; i < 100; ++i)
            text += QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:u#\r\n" + lines).replace('#', QByteArray::number(i)) +
                    "ORG:Acme\\, Ltd;Sales\r\n" + (i == 0 ? extra : QByteArray()) + "END:VCARD\r\n";
        QElapsedTimer timer;
        timer.start();
        const QList<VCardContact> read = VCardReader::parse(text, "c.vcf");
        QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(read.size(), 100);
        for (int i = 0; i < 100; i += 33) {
            const QString n = QString::number(i);
            QCOMPARE(QStringList({read[i].entryId, read[i].firstName, read[i].lastName, read[i].company, read[i].email,
                                  read[i].workPhone, read[i].mobilePhone}),
                     QStringList({"u" + n, first, "Lee" + n, "Acme, Ltd", "ann" + n + "@example.org", "+44 1", "+44 2"}));
        }
        const VCardContact made = VCardReader::parse(VCardReader::cardText("u1", "Ann", "Lee; Jr", "A,B"), "n.vcf").value(0);
        QCOMPARE(QStringList({made.entryId, made.firstName, made.lastName, made.company}), QStringList({"u1", "Ann", "Lee; Jr", "A,B"}));
    }

    // A folder of links to one large file reads that file once, and a
    // folder's files count together against one size: what is left out is
    // named once. (The watcher's test measures the memory this keeps.)
    void aFolderIsReadUpToOneSize()
    {
        for (const auto &[kind, warning] : {std::pair<QString, QString>{"links", "other names of a file read already"},
                                            {"copies", "more than 20 MB together; left out: f05.ics, f06.ics"}}) {
            QTemporaryDir dir;
            QVERIFY(QDir(dir.path()).mkdir("cal"));
            QString filler;
            for (int i = 0; filler.size() < (kind == "copies" ? 4000000 : 1 << 20); ++i)
                filler += timed(QString("F%1").arg(i), "20250101T100000", "20250101T110000");
            write(dir.filePath("big.ics"), calendar(timed("A", "20260310T100000", "20260310T110000") + filler));
            for (int i = 0; i < 12; ++i) {
                const QString name = dir.filePath(QString("cal/f%1.ics").arg(i, 2, 10, QChar('0')));
                if (kind == "links") // a hard link for every other one
                    QVERIFY(i % 2 ? QFile::link(dir.filePath("big.ics"), name)
                                  : ::link(QFile::encodeName(dir.filePath("big.ics")), QFile::encodeName(name)) == 0);
                else
                    QVERIFY(QFile::copy(dir.filePath("big.ics"), name));
            }
            CalendarStore store;
            store.setPath(dir.filePath("cal"));
            for (int check = 0; check < 2; ++check) {
                QStringList warnings;
                // Twenty thousand events take a slow machine more than the check's
                // two seconds; what is read, not the time, is measured here.
                CheckBudget budget(CheckBudget::DefaultSteps, 600000);
                const QList<CalendarAppointment> day = store.between(QDateTime(QDate(2026, 3, 10), QTime(0, 0)),
                                                                     QDateTime(QDate(2026, 3, 11), QTime(0, 0)), warnings,
                                                                     budget, RecurrenceSet::Walk::FromStart);
                QCOMPARE(day.size(), kind == "copies" ? 5 : 1); // the meeting, once for each file read
                QCOMPARE(warnings.size(), check == 0 ? 1 : 0);
                if (check == 0)
                    QVERIFY2(warnings[0].contains(warning), qPrintable(warnings[0]));
            }
        }

        // The same for an address book.
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("cards"));
        write(dir.filePath("big.vcf"), QByteArray("BEGIN:VCARD\r\nFN:A\r\nEND:VCARD\r\n").repeated(100));
        for (int i = 0; i < 12; ++i)
            QVERIFY(QFile::link(dir.filePath("big.vcf"), dir.filePath(QString("cards/c%1.vcf").arg(i))));
        QStringList warnings;
        QCOMPARE(VCardReader::readPath(dir.filePath("cards"), &warnings).size(), 100);
        QCOMPARE(warnings.size(), 1);
        QVERIFY(warnings[0].contains("other names of a file read already, left out: c1.vcf, c10.vcf"));
    }

    // A folder of more files than any calendar has is not listed whole: the
    // first by name are read, whatever order the folder lists them in.
    void aFolderOfTooManyFiles()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 2000; ++i)
            QVERIFY(QFile(dir.filePath(QString("m%1.ics").arg(i, 4, 10, QChar('0')))).open(QIODevice::WriteOnly));
        QVERIFY(QFile(dir.filePath("a_legit.ics")).open(QIODevice::WriteOnly));
        const FolderFiles::Listing many = FolderFiles::list(dir.path(), {"*.ics"});
        QCOMPARE(many.files.size(), 2000);
        QCOMPARE(QFileInfo(many.files.first().path).fileName(), QString("a_legit.ics"));
        QCOMPARE(QFileInfo(many.files.last().path).fileName(), QString("m1998.ics"));
        QCOMPARE(many.leftOut.filter("more than 2000 files").size(), 1);
    }

private:
    // Each rule sought near its instants within its charge, as a walk from
    // its start finds it; at least so many compared, so many running.
    void chargeCoversTheWork(const SoughtRules &series, int leastCompared, int leastFound)
    {
        QStringList differences;
        int compared = 0, found = 0;
        for (const auto &[lines, at] : series) {
            const IcsReader reader(calendar(vevent("R", lines)), "r.ics");
            for (const QDateTime &now : at) {
                const QDateTime minute = now.addSecs(-now.time().second()), day(now.date(), QTime(0, 0));
                QStringList warnings;
                CheckBudget near(CheckBudget::DefaultSteps, 600000), whole(CheckBudget::DefaultSteps, 600000);
                const qint64 charged = reader.cost(0, minute, minute.addSecs(60), RecurrenceSet::Walk::Near);
                if (charged > near.stepsLeft())
                    continue; // a check does not begin it
                qint64 cpu = threadCpuMs();
                const IcsReader::Expansion sought = reader.expand(0, minute, minute.addSecs(60),
                                                                  RecurrenceSet::Walk::Near, near, warnings);
                QVERIFY2(threadCpuMs() - cpu < kMostMsPerSeries,
                         qPrintable(QString("%1: %2 ms").arg(lines).arg(threadCpuMs() - cpu)));
                if (near.libraryWork() > charged || (lines.contains("MONTH=2;BYMONTHDAY=30") && near.libraryWork() > 0))
                    differences << QString("%1: work %2, charged %3").arg(lines).arg(near.libraryWork()).arg(charged);
                if (reader.cost(0, day, day.addDays(1), RecurrenceSet::Walk::FromStart) > whole.stepsLeft())
                    continue; // a walk from its start the day listing could not end either
                cpu = threadCpuMs();
                const IcsReader::Expansion listed = reader.expand(0, day, day.addDays(1),
                                                                  RecurrenceSet::Walk::FromStart, whole, warnings);
                QVERIFY2(threadCpuMs() - cpu < kMostMsPerSeries,
                         qPrintable(QString("%1, listed: %2 ms").arg(lines).arg(threadCpuMs() - cpu)));
                const CalendarAppointment *want = CalendarStore::running(listed.found, now);
                const CalendarAppointment *got = CalendarStore::running(sought.found, now);
                if (listed.cut || sought.cut || (want ? want->start : QDateTime()) != (got ? got->start : QDateTime()))
                    differences << QString("%1 at %2: %3, the day %4")
                                       .arg(lines, now.toString(Qt::ISODate),
                                            got ? got->start.toString(Qt::ISODate) : "-",
                                            want ? want->start.toString(Qt::ISODate) : "-");
                ++compared;
                found += want != nullptr;
            }
        }
        QVERIFY2(differences.isEmpty(), qPrintable(differences.mid(0, 12).join('\n')));
        QVERIFY2(compared >= leastCompared && found >= leastFound,
                 qPrintable(QString("%1 %2").arg(compared).arg(found)));
    }
};

QTEST_GUILESS_MAIN(tst_Calendar)
#include "tst_Calendar.moc"
