#include "CalendarText.h"
#include "OwnTime.h"
#include "StatusFakes.h"
#include "foundation/MCIFunctions.h"
#include "mail/CClientEmail.h"
#include "mail/CClientOutlook.h"
#include "platform/Clock.h"
#include "platform/SettingsKeys.h"

#include <QScopeGuard>
#include <QThread>
#include <QtTest>

#include <ctime>

// The calendar and mail link driving the status engine, as the program wires
// them: the status engine's own tests link no mail.
namespace {
const QDate kFriday(2026, 12, 4);

void writeCalendar(const QString &folder, const QString &events)
{
    QVERIFY(CalendarText::write(folder + "/calendar.ics", CalendarText::calendar(events)));
}

// The program's window, its calendar a folder of the settings.
QString withCalendarFolder(StatusWorld &w)
{
    w.withMainWindow();
    const QString folder = w.db.env.path("calendar");
    QDir().mkpath(folder);
    SettingsKeys::CalendarPath.write(folder);
    return folder;
}

// A weekly one-hour meeting at ten in Berlin's zone, on Fridays since January.
QString weeklyInBerlin()
{
    return CalendarText::weeklyInBerlin(QDateTime(QDate(2026, 1, 2), QTime(10, 0), QTimeZone(QByteArray("Europe/Berlin"))));
}
} // namespace

class tst_StatusFromCalendar : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Clock::unpin(); }

    // The program in Berlin, a weekly meeting in Berlin that began twenty
    // minutes ago, in winter and in summer, behind series that keep a check
    // busy: the first check sets the busy status. (The check's own test
    // tries every kind of such series.)
    void aWeeklyMeetingInBerlinSetsTheStatus()
    {
        const QByteArray zone = qgetenv("TZ");
        const auto restore = qScopeGuard([&] {
            qputenv("TZ", zone);
            tzset();
        });
        qputenv("TZ", "Europe/Berlin");
        tzset();
        StatusWorld w(false);
        writeCalendar(withCalendarFolder(w), CalendarText::crowd("yearly", 20000) + weeklyInBerlin());
        CClientOutlook link;
        QStringList expected;
        for (const QDate &day : {kFriday, QDate(2026, 7, 3)}) {
            Clock::pin(QDateTime(day, QTime(10, 20)));
            link.CheckSchedule2();
            expected << QStringLiteral("1|MTG|Weekly|%1 11:00:00|%1 10:00:00").arg(day.toString(Qt::ISODate));
            QTRY_COMPARE_WITH_TIMEOUT(w.history(), expected, stretched(30000));
        }
    }

    // Closing the link stops its check at once, and nothing it found is
    // applied after: not from a check under way, nor from one that ended
    // before its result was delivered.
    void closingTheLinkDropsItsCheck()
    {
        StatusWorld w(false);
        const QString folder = withCalendarFolder(w);
        Clock::pin(QDateTime(kFriday, QTime(10, 20), QTimeZone(QByteArray("Europe/Berlin"))).toLocalTime());
        writeCalendar(folder, CalendarText::crowd("dates", 3000) + weeklyInBerlin());
        CClientOutlook link;
        link.CheckSchedule2();
        QTest::qWait(stretched(100));
        const OwnTime closing;
        link.CloseOutlook();
        QVERIFY2(!kWindowStopsMeasured || closing.elapsedMs() < 500, qPrintable(QString::number(closing.elapsedMs())));
        QTest::qWait(CheckBudget::DefaultMs + stretched(500));
        QCOMPARE(w.history().size(), 0);

        writeCalendar(folder, weeklyInBerlin());
        link.CheckSchedule2();
        QThread::msleep(stretched(300)); // it ends; its delivery waits for the event loop
        link.CloseOutlook();
        QTest::qWait(stretched(100));
        QCOMPARE(w.history().size(), 0);
        link.CheckSchedule2(); // a later check applies it
        QTRY_COMPARE_WITH_TIMEOUT(w.history().size(), 1, stretched(5000));
    }

    void aCalendarCheckInTheProgramSetsTheStatus()
    {
        StatusWorld w(false);
        const QString folder = withCalendarFolder(w);
        // A weekly meeting kept in another zone's time: 09:00 in New York is 14:00 UTC in December.
        const QDateTime start(kFriday, QTime(14, 0), QTimeZone::utc());
        Clock::pin(start.addSecs(600).toLocalTime());
        const auto save = [&](const QString &extra) {
            QVERIFY(CalendarText::write(folder + "/weekly.ics",
                                        CalendarText::calendar(CalendarText::vevent(
                                            "Weekly", "LOCATION:Room 4\r\nDTSTART;TZID=America/New_York:20261106T090000\r\n"
                                                      "DTEND;TZID=America/New_York:20261106T100000\r\nRRULE:FREQ=WEEKLY\r\n" +
                                                          extra))));
        };
        const QString occurrence = "Weekly @ Room 4|" +
                                   start.addSecs(3600).toLocalTime().toString("yyyy-MM-dd HH:mm:ss") + u'|' +
                                   start.toLocalTime().toString("yyyy-MM-dd HH:mm:ss");
        CClientOutlook link;
        save("LAST-MODIFIED:20261101T000000Z\r\n");
        link.CheckSchedule2();
        link.CheckSchedule2(); // while one runs, another is not started
        QTRY_COMPARE_WITH_TIMEOUT(w.history(), QStringList{"1|MTG|" + occurrence}, stretched(5000));
        SettingsKeys::OutlookBusy.write("OUT");
        save("LAST-MODIFIED:20261102T000000Z\r\n"); // edited: applies again
        link.CheckSchedule2();
        QTRY_COMPARE_WITH_TIMEOUT(w.history().size(), 2, stretched(5000));
        save("LAST-MODIFIED:20261103T000000Z\r\nCLASS:CONFIDENTIAL\r\n");
        link.CheckSchedule2();
        // Taken, not applied.
        QTRY_VERIFY_WITH_TIMEOUT(g_sLastApptIdentity.contains("20261103T000000Z"), stretched(5000));
        QCOMPARE(w.history().size(), 2);
        QCOMPARE(w.history().last(), "1|OUT|" + occurrence);

        // A status change written to the calendar is never read back as one.
        g_calendarLink = &link;
        double outAt = 0, back = 0;
        g_oClientHnd->UpdateStatus(StatusWorld::kMe, "LNC", "Lunch", outAt, back, true, false);
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);
        link.CheckSchedule2();
        QTest::qWait(stretched(300));
        QCOMPARE(w.history().size(), 3);

        // Mail to a group names its active members.
        DbHandle connection = OpenADOConnection();
        Update("UPDATE STAFF_STATUS SET Email = 'u' || UserID || '@x', IsActive = 1 - UserID / 3", connection);
        for (qint32 id : {1, 2, 3})
            Update("INSERT INTO UserGroup (UserID, GroupID) VALUES (?, 7)", connection, {id});
        QCOMPARE(CClientEmail().BroadCastMessage(7, "Sales", 1), 10000);
        QCOMPARE(w.db.env.shell.opened.last(), QUrl("mailto:u1@x,u2@x"));
    }
};
QTEST_MAIN(tst_StatusFromCalendar)
#include "tst_StatusFromCalendar.moc"
