#include "CalendarText.h"
#include "TestSupport.h"

#include "calendarwatch/COutlook.h"
#include "calendarwatch/XTimer.h"
#include "foundation/Globals.h"
#include "foundation/MErrorHandler.h"
#include "mail/CalendarWatcherProcess.h"
#include "platform/Registry.h"
#include "platform/SettingsKeys.h"
#include "platform/calendar/CalendarSettings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTimeZone>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
struct Event
{
    QString summary;
    int startMinutes; // from now
    QString modified;
    QString extra;    // more property lines
};

// The watcher's calendar, named in the settings.
QString writeCalendar(const QString &folder, const QString &events)
{
    const QString path = folder + "/calendar.ics";
    QTest::qVerify(CalendarText::write(path, CalendarText::calendar(events)), "written", "", __FILE__, __LINE__);
    SettingsKeys::CalendarPath.write(path);
    return path;
}

// Events around the real time, as the watcher program reads them.
QString writeCalendar(const QString &folder, const QList<Event> &events)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const auto stamp = [](const QDateTime &t) { return t.toString("yyyyMMdd'T'HHmmss'Z'"); };
    QString text;
    for (const Event &e : events)
        text += QStringLiteral("BEGIN:VEVENT\r\nUID:%1@test\r\nSUMMARY:%1\r\nLOCATION:Room 2\r\nDTSTART:%2\r\n"
                               "DTEND:%3\r\nLAST-MODIFIED:%4\r\n%5END:VEVENT\r\n")
                    .arg(e.summary, stamp(now.addSecs(e.startMinutes * 60)), stamp(now.addSecs(3600)), e.modified,
                         e.extra);
    return writeCalendar(folder, text);
}

qint64 residentKb(qint64 pid)
{
    const QString status = readTextFile(QStringLiteral("/proc/%1/status").arg(pid));
    static const QRegularExpression rss("VmRSS:\\s+(\\d+)");
    return rss.match(status).captured(1).toLongLong();
}

// The processor time a process has used, user and system, in ms.
qint64 processorMs(qint64 pid)
{
    const QString stat = readTextFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const QStringList fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    return (fields[11].toLongLong() + fields[12].toLongLong()) * 1000 / sysconf(_SC_CLK_TCK);
}

// The same, with what its children used: those it reaped, and those alive.
qint64 processorMsWithChildren(qint64 pid)
{
    const QString stat = readTextFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const QStringList fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 15)
        return -1;
    qint64 ms = processorMs(pid) + (fields[13].toLongLong() + fields[14].toLongLong()) * 1000 / sysconf(_SC_CLK_TCK);
    for (const QString &task : QDir(QStringLiteral("/proc/%1/task").arg(pid)).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        for (const QString &child : readTextFile(QStringLiteral("/proc/%1/task/%2/children").arg(pid).arg(task)).split(' ', Qt::SkipEmptyParts))
            ms += processorMs(child.toLongLong());
    return ms;
}

bool alive(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    return stat.open(QIODevice::ReadOnly) && !stat.readAll().contains(") Z ");
}

// Tessaly's side of a watcher run from the build, checking soon after Start.
struct Watcher
{
    explicit Watcher(const TestEnvironment &env, const QString &program = QStringLiteral(ZOROUTLOOK),
                     const QStringList &arguments = {})
        : process(program, arguments.isEmpty() ? QStringList{"--parent", QString::number(QCoreApplication::applicationPid()),
                                                             "--log-folder", env.path("logs"), "--first-interval", "30"}
                                               : arguments)
    {
        process.onStatusBarMessage = [this](const QString &msg) { messages << msg; };
        process.onNeedToUpdateStatus = [this](const QString &status, const QString &note, double, double, double,
                                              const QString &id) {
            statuses << status + u'|' + note;
            g_sLastApptIdentity = id; // as the status engine keeps it
        };
    }
    CalendarWatcherProcess process;
    QStringList messages;
    QStringList statuses;
};
} // namespace

class CalendarWatchTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { g_sLastApptIdentity.clear(); }

    void timerRules()
    {
        XTimer timer;
        int ticks = 0, slowTicks = 0, depth = 0, deepest = 0;
        timer.Tick = [&] { ++ticks; };
        timer.setEnabled(true);
        QTest::qWait(60);
        QCOMPARE(ticks, 0); // enabled, but no interval yet
        timer.setInterval(40);
        QTRY_VERIFY_WITH_TIMEOUT(ticks >= 1, stretched(2000));
        // Set again unchanged every 15 ms, the interval still runs out.
        const int before = ticks;
        for (int i = 0; i < 8; ++i) {
            QTest::qWait(15);
            timer.setInterval(40);
        }
        QVERIFY(ticks > before);
        // A slow handler that restarts its timer and serves events gets no
        // tick inside its own.
        timer.Tick = [&] {
            deepest = std::max(deepest, ++depth);
            if (++slowTicks == 1) {
                timer.setInterval(30);
                QTest::qWait(150);
            }
            --depth;
        };
        QTRY_VERIFY_WITH_TIMEOUT(slowTicks >= 3, stretched(3000));
        QCOMPARE(deepest, 1);
    }

    void checkCycle_data()
    {
        QTest::addColumn<int>("period");
        QTest::addColumn<bool>("startTwice");
        QTest::newRow("every period") << 100 << false;
        QTest::newRow("a period longer than the wait") << 10000 << false;
        QTest::newRow("period 0: one check only") << 0 << false;
        QTest::newRow("Start twice: no double checks") << 100 << true;
    }

    void checkCycle()
    {
        QFETCH(int, period);
        QFETCH(bool, startTwice);
        TestEnvironment env;
        writeCalendar(env.path(), QString());
        COutlook outlook(60);
        QList<qint64> checks;
        QElapsedTimer since;
        outlook.StatusBarMessage = [&](const QString &msg) {
            if (msg == QLatin1String("Checking calendar..."))
                checks << since.elapsed();
        };
        since.start();
        outlook.Start(period);
        if (startTwice)
            outlook.Start(period);
        QTRY_VERIFY_WITH_TIMEOUT(!checks.isEmpty(), stretched(5000));
        QTest::qWait(350);
        if (period == 100) // a second comes, however slow the machine
            QTRY_VERIFY_WITH_TIMEOUT(checks.size() >= 2, stretched(5000));
        const qint64 elapsed = since.elapsed();
        outlook.CloseDown();
        QVERIFY(checks.first() >= 55);
        if (period != 100)
            QCOMPARE(checks.size(), 1);
        else // one check per period at most
            QVERIFY2(checks.size() <= 2 + (elapsed - checks.first()) / 95, qPrintable(QString::number(checks.size())));
    }

    // Once closing, a check says nothing more, not even "Ready.".
    void closeDownDuringCheck()
    {
        TestEnvironment env;
        writeCalendar(env.path(), {{"Board", -10, "20260101T000000Z", {}}});
        for (const bool closing : {true, false}) {
            COutlook outlook;
            QStringList heard;
            outlook.StatusBarMessage = [&](const QString &msg) {
                heard << msg;
                if (closing)
                    outlook.CloseDown();
            };
            outlook.NeedToUpdateStatus = [&](const QString &status, const QString &, double, double, double,
                                             const QString &) { heard << status; };
            outlook.CheckSchedule();
            if (closing)
                QTest::qWait(200);
            QTRY_COMPARE_WITH_TIMEOUT(heard,
                                      closing ? QStringList{"Checking calendar..."}
                                              : QStringList({"Checking calendar...", "MTG", "Ready."}),
                                      stretched(5000));
        }
    }

    void childReportsTheRunningAppointment()
    {
        TestEnvironment env;
        SettingsKeys::OutlookBusy.write("bad!");
        const QString own = "X-TESSALY-STATUS-CHANGE:TRUE\r\n";
        writeCalendar(env.path(), {{"Mine", -20, "20260101T000000Z", own}, {"Board", -10, "20260101T000000Z", {}}});
        Watcher w(env);
        w.process.Start(100);
        QTRY_COMPARE_WITH_TIMEOUT(w.statuses, QStringList{"MTG|Board @ Room 2"}, stretched(5000));
        QVERIFY(w.messages.startsWith("Checking calendar...") && w.messages.contains("Ready."));
        QTest::qWait(300);
        QCOMPARE(w.statuses.size(), 1);
        writeCalendar(env.path(), {{"Board", -10, "20260102T000000Z", {}}});
        QTRY_COMPARE_WITH_TIMEOUT(w.statuses.size(), 2, stretched(5000));
        // The user set his status by hand, the watcher died and was started
        // again: what was reported is not reported again.
        const qint64 first = w.process.processId();
        ::kill(pid_t(first), SIGKILL);
        QTRY_VERIFY_WITH_TIMEOUT(w.process.processId() > 0 && w.process.processId() != first, stretched(5000));
        w.messages.clear();
        QTRY_VERIFY_WITH_TIMEOUT(w.messages.count("Ready.") >= 2, stretched(5000));
        QCOMPARE(w.statuses.size(), 2);
        writeCalendar(env.path(), {{"Board", -10, "20260103T000000Z", "CLASS:PRIVATE\r\n"}});
        QTest::qWait(400);
        QCOMPARE(w.statuses.size(), 2);
        w.process.CloseDown();
        const QString log = readTextFile(env.path("logs/zoroutlook-error.log"));
        static const QRegularExpression record(
            QStringLiteral("^\\d\\d-[A-Z][a-z]{2}-\\d\\d \\d{1,2}:\\d\\d:\\d\\d [AP]M\\[10008\\] \\n"
                           "     UpdateStatusFromAppointment\\nzoroutlook\\n"
                           "     The setting OutlookBusy holds \"bad!\", not a status code; MTG is used\\n"));
        QVERIFY2(record.match(log).hasMatch(), qPrintable(log));
    }

    // The watcher in Berlin, a weekly meeting in Berlin that began twenty
    // minutes ago, behind series that keep a check busy: its first check
    // reports the busy status.
    void aWeeklyMeetingInBerlin_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("count");
        QTest::newRow("3,000 series of added dates") << "dates" << 3000;
        QTest::newRow("400 rules of minutes since 1601") << "minutes" << 400;
        QTest::newRow("500 rules of other calendar scales") << "scales" << 500;
        QTest::newRow("20,000 yearly rules of every minute") << "yearly" << 20000;
    }

    void aWeeklyMeetingInBerlin()
    {
        QFETCH(QString, kind);
        QFETCH(int, count);
        TestEnvironment env;
        const QDateTime began = QDateTime::currentDateTime().addSecs(-20 * 60).addDays(-35);
        writeCalendar(env.path(), CalendarText::crowd(kind, count) + CalendarText::weeklyInBerlin(began));
        const QByteArray zone = qgetenv("TZ");
        qputenv("TZ", "Europe/Berlin"); // the watcher's own desktop zone
        Watcher w(env);
        w.process.Start(600000);
        qputenv("TZ", zone);
        QTRY_COMPARE_WITH_TIMEOUT(w.statuses, QStringList{"MTG|Weekly"}, stretched(30000));
        QCOMPARE(w.messages.count("Checking calendar..."), 1);
        w.process.CloseDown();
    }

    // The watcher in Berlin, a weekly meeting beside a rule the library
    // would search to its last year in one call, or a series of which one
    // call runs for minutes: its first check reports the meeting, for two
    // seconds of processor time at most, what it started counted; a series
    // given up is named in the log.
    void aCostlySeriesBesideAWeeklyMeeting_data()
    {
        QTest::addColumn<QString>("series");
        QTest::addColumn<bool>("givenUp");
        for (const char *rule : CalendarText::kFarSearches)
            QTest::newRow(rule) << CalendarText::vevent("Far", QStringLiteral("DTSTART:19000102T100000\r\nDURATION:PT25M\r\n"
                                                                              "RRULE:%1\r\n").arg(rule))
                                << false;
        for (const char *lines : CalendarText::kHeldCalls)
            QTest::newRow(std::strstr(lines, "RRULE:") + std::strlen("RRULE:")) << CalendarText::heldCall(lines) << true;
    }

    void aCostlySeriesBesideAWeeklyMeeting()
    {
        QFETCH(QString, series);
        QFETCH(bool, givenUp);
        TestEnvironment env;
        const QDateTime began = QDateTime::currentDateTime().addSecs(-20 * 60).addDays(-35);
        writeCalendar(env.path(), series + CalendarText::weeklyInBerlin(began));
        const QByteArray zone = qgetenv("TZ");
        qputenv("TZ", "Europe/Berlin");
        Watcher w(env);
        w.process.Start(600000);
        qputenv("TZ", zone);
        QTRY_COMPARE_WITH_TIMEOUT(w.statuses, QStringList{"MTG|Weekly"}, stretched(30000));
        const qint64 cpu = processorMsWithChildren(w.process.processId());
        QVERIFY2(cpu >= 0 && cpu < 2000 * kSanitizerStretch, qPrintable(QString::number(cpu)));
        if (givenUp)
            QTRY_VERIFY_WITH_TIMEOUT(readTextFile(env.path("logs/debug.log")).contains("\"Held\""), stretched(5000));
        w.process.CloseDown();
    }

    // A meeting on every month's last day, of a rule of days or of hours,
    // its occurrence of last month's end running now (it lasts until an hour
    // from now), its first three months before: the watcher's first check
    // reports it.
    void aMeetingOnEveryMonthsLastDay_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QTime>("at");
        QTest::newRow("daily") << "FREQ=DAILY;BYMONTHDAY=-1" << QTime(0, 0);
        QTest::newRow("hourly, at 10:30") << "FREQ=HOURLY;BYMONTHDAY=-1;BYHOUR=10;BYMINUTE=30" << QTime(10, 30);
    }

    void aMeetingOnEveryMonthsLastDay()
    {
        QFETCH(QString, rule);
        QFETCH(QTime, at);
        TestEnvironment env;
        const QDateTime now = QDateTime::currentDateTimeUtc();
        const QDate monthStart(now.date().year(), now.date().month(), 1);
        const QDateTime lastMonthEnd(monthStart.addDays(-1), at, Qt::UTC);
        const QDateTime first(monthStart.addMonths(-3).addDays(-1), at, Qt::UTC);
        writeCalendar(env.path(), CalendarText::vevent("Month end", QString("DTSTART:%1\r\nDURATION:PT%2S\r\nRRULE:%3\r\n")
                                                                        .arg(first.toString("yyyyMMdd'T'HHmmss'Z'"))
                                                                        .arg(lastMonthEnd.secsTo(now) + 3600)
                                                                        .arg(rule)));
        Watcher w(env);
        w.process.Start(600000);
        QTRY_COMPARE_WITH_TIMEOUT(w.statuses, QStringList{"MTG|Month end"}, stretched(30000));
        w.process.CloseDown();
    }

    // Closing down while a check works through a costly calendar ends the
    // watcher within a moment.
    void closeDownWhileACheckRuns()
    {
        TestEnvironment env;
        writeCalendar(env.path(), CalendarText::crowd("dates", 3000));
        Watcher w(env);
        w.process.Start(60000);
        QTRY_VERIFY_WITH_TIMEOUT(w.messages.contains("Checking calendar..."), stretched(5000));
        QTest::qWait(50);
        QVERIFY(!w.messages.contains("Ready.")); // the check takes about a second
        QElapsedTimer closing;
        closing.start();
        w.process.CloseDown();
        QVERIFY2(!kWindowStopsMeasured || closing.elapsed() < stretched(500),
                 qPrintable(QString::number(closing.elapsed())));
        QVERIFY(!readTextFile(env.path("logs/debug.log")).contains("did not end in time"));
    }

    // A hostile calendar: the child's check ends within its budget, stays
    // small, says "Ready." and names what it left out.
    void childCopesWithHostileCalendars_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("logged");
        QTest::newRow("a zone that changes every second") << "zone" << "\"Custom/Loop\" cannot be worked out";
        QTest::newRow("300 rules of seconds since 1990") << "seconds" << "";
        QTest::newRow("a named pipe") << "fifo" << "not a regular file";
        QTest::newRow("a folder of twelve links to one 2 MB file") << "links" << "other names of a file read already";
    }

    void childCopesWithHostileCalendars()
    {
        QFETCH(QString, kind);
        QFETCH(QString, logged);
        TestEnvironment env;
        const QString path = writeCalendar(env.path(), QString());
        QString events = kind == "zone" ? CalendarText::restlessZone("Custom/Loop") +
                                              CalendarText::vevent("Z", "DTSTART;TZID=Custom/Loop:20260310T090000\r\n"
                                                                        "DURATION:PT1H\r\n")
                                        : CalendarText::secondsSince1990(300, false);
        QFile::remove(path);
        if (kind == "links") {
            events.clear();
            for (int i = 0; events.size() < 2 << 20; ++i)
                events += CalendarText::vevent(QStringLiteral("F%1").arg(i), "DTSTART:20250101T100000\r\nDTEND:20250101T110000\r\n");
            QVERIFY(QDir(env.path()).mkdir("links"));
            for (int i = 0; i < 12; ++i)
                QVERIFY(QFile::link(path, env.path(QStringLiteral("links/%1.ics").arg(i))));
            SettingsKeys::CalendarPath.write(env.path("links"));
        }
        if (kind == "fifo")
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        else
            QVERIFY(CalendarText::write(path, CalendarText::calendar(events)));
        Watcher w(env);
        w.process.Start(60000);
        QTRY_VERIFY_WITH_TIMEOUT(w.messages.contains("Ready."), stretched(8000));
        QVERIFY2(residentKb(w.process.processId()) < 150 * 1024 * kSanitizerStretch, qPrintable(QString::number(residentKb(w.process.processId()))));
        QTRY_VERIFY_WITH_TIMEOUT(readTextFile(env.path("logs/debug.log")).contains(logged), stretched(5000));
        w.process.CloseDown();
    }

    void childEndsWithItsParentOrItsInput()
    {
        TestEnvironment env;
        // Its input stays open after the parent's death: held here.
        const QByteArray fifo = env.path("input").toLocal8Bit();
        QVERIFY(::mkfifo(fifo.constData(), 0600) == 0);
        const int input = ::open(fifo.constData(), O_RDWR);
        QProcess parent;
        parent.start("/bin/sh", {"-c", "\"$0\" --parent $$ <\"$1\" & echo $!; wait", ZOROUTLOOK, QString::fromLocal8Bit(fifo)});
        QVERIFY(parent.waitForReadyRead(stretched(5000)));
        const qint64 child = parent.readLine().trimmed().toLongLong();
        const auto cleanUp = qScopeGuard([&] {
            if (child > 0 && alive(child))
                ::kill(pid_t(child), SIGKILL);
            ::close(input);
        });
        QTest::qWait(200);
        QVERIFY(alive(child));
        parent.kill();
        parent.waitForFinished();
        QTRY_VERIFY_WITH_TIMEOUT(!alive(child), stretched(2000));

        QProcess watcher;
        watcher.start(QStringLiteral(ZOROUTLOOK), QStringList());
        QVERIFY(watcher.waitForStarted());
        watcher.closeWriteChannel();
        QVERIFY(watcher.waitForFinished(stretched(2000)));
        QCOMPARE(watcher.exitCode(), 0);
    }

    void junkLinesBothWays()
    {
        TestEnvironment env;
        const QString zone = "Zone " + logBreakingText(false).remove(u'\r').remove(u'\n');
        writeCalendar(env.path(), {{"Later", 120, "20260101T000000Z", "RDATE;TZID=\"" + zone + "\":20260101T100000\r\n"}});
        QProcess child;
        child.start(QStringLiteral(ZOROUTLOOK), {"--first-interval", "30"});
        child.write("not json\n\xff\xfe\n{\"cmd\":\"Start\"}\n{\"cmd\":\"Start\",\"period\":\"100\"}\n"
                    "{\"cmd\":\"Start\",\"period\":1e999}\n");
        child.write(QByteArray(70 * 1024, 'x') + "\n{\"cmd\":");
        child.write("\"Start\",\"period\":100}\n");
        QByteArray out;
        QTRY_VERIFY_WITH_TIMEOUT((out += child.readAllStandardOutput()).contains("Ready."), stretched(5000));
        // Its error output: one line each, a zone's name with its controls as their codes.
        QByteArray errors;
        const QString zoneLine = "\"Zone " + logBreakingCodes(false).remove("\\x0d").remove("\\x0a") + "\" is not known";
        QTRY_VERIFY_WITH_TIMEOUT(QString::fromUtf8(errors += child.readAllStandardError()).contains(zoneLine),
                                 stretched(5000));
        QVERIFY(errors.contains("line ignored, not a JSON object: not json\n") && !holdsLogBreaking(QString::fromUtf8(errors)));
        child.closeWriteChannel();
        QVERIFY(child.waitForFinished(stretched(2000)));

        // A watcher talking junk: only its sound lines count, and none after CloseDown.
        Watcher w(env, "/bin/sh",
                  {"-c", QStringLiteral("echo junk; echo '{\"event\":\"StatusBarMessage\"}';"
                                                        "head -c 70000 /dev/zero | tr '\\0' x; echo;"
                                                        "echo '{\"event\":\"StatusBarMessage\",\"msg\":\"One\"}';"
                                                        "cat >/dev/null;"
                                                        "echo '{\"event\":\"StatusBarMessage\",\"msg\":\"Late\"}'")});
        w.process.Start(100);
        QTRY_COMPARE_WITH_TIMEOUT(w.messages, QStringList{"One"}, stretched(5000));
        w.process.CloseDown();
        QCoreApplication::processEvents();
        QCOMPARE(w.messages, QStringList{"One"});
        QVERIFY(readTextFile(env.path("logs/debug.log")).contains("Calendar watcher line ignored, not a JSON object: junk\n"));
    }

    void aWatcherThatDiesIsStartedAgainThreeTimes()
    {
        TestEnvironment env;
        const QString starts = env.path("starts");
        Watcher w(env, "/bin/sh", {"-c", "echo >> \"$0\"", starts});
        w.process.Start(50);
        QTRY_COMPARE_WITH_TIMEOUT(readTextFile(starts).size(), 4, stretched(5000));
        QTest::qWait(300);
        QCOMPARE(readTextFile(starts).size(), 4);
    }
};

QTEST_MAIN(CalendarWatchTest)
#include "tst_CalendarWatch.moc"
