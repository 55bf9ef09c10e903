#include "StatusFakes.h"
#include "foundation/MCIFunctions.h"
#include "mail/CClientEmail.h"
#include "mail/CClientOutlook.h"
#include "platform/Clock.h"
#include "platform/SettingsKeys.h"

#include <QtTest>

// The calendar and mail link driving the status engine, as the program wires
// them: the status engine's own tests link no mail.
namespace {
const QDate kFriday(2026, 12, 4);
} // namespace

class tst_StatusFromCalendar : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Clock::unpin(); }

    void aCalendarCheckInTheProgramSetsTheStatus()
    {
        StatusWorld w(false);
        w.withMainWindow();
        // A weekly meeting kept in another zone's time: 09:00 in New York is 14:00 UTC in December.
        const QDateTime start(kFriday, QTime(14, 0), QTimeZone::utc());
        Clock::pin(start.addSecs(600).toLocalTime());
        const QString folder = w.db.env.path(QStringLiteral("calendar"));
        QDir().mkpath(folder);
        const auto save = [&](const QString &extra) {
            QFile file(folder + QStringLiteral("/weekly.ics"));
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:w1\r\nSUMMARY:Weekly\r\n"
                        "LOCATION:Room 4\r\nDTSTART;TZID=America/New_York:20261106T090000\r\n"
                        "DTEND;TZID=America/New_York:20261106T100000\r\nRRULE:FREQ=WEEKLY\r\n" +
                        extra + "END:VEVENT\r\nEND:VCALENDAR\r\n")
                           .toUtf8());
        };
        SettingsKeys::CalendarPath.write(folder);
        const QString occurrence = QStringLiteral("Weekly @ Room 4|") +
                                   start.addSecs(3600).toLocalTime().toString("yyyy-MM-dd HH:mm:ss") + u'|' +
                                   start.toLocalTime().toString("yyyy-MM-dd HH:mm:ss");
        CClientOutlook link;
        save(QStringLiteral("LAST-MODIFIED:20261101T000000Z\r\n"));
        link.CheckSchedule2();
        link.CheckSchedule2();
        QCOMPARE(w.history(), QStringList{QStringLiteral("1|MTG|") + occurrence});
        SettingsKeys::OutlookBusy.write(QStringLiteral("OUT"));
        save(QStringLiteral("LAST-MODIFIED:20261102T000000Z\r\n")); // edited: applies again
        link.CheckSchedule2();
        save(QStringLiteral("LAST-MODIFIED:20261103T000000Z\r\nCLASS:CONFIDENTIAL\r\n"));
        link.CheckSchedule2();
        QCOMPARE(w.history().size(), 2);
        QCOMPARE(w.history().last(), QStringLiteral("1|OUT|") + occurrence);

        // A status change written to the calendar is never read back as one.
        g_calendarLink = &link;
        double outAt = 0, back = 0;
        g_oClientHnd->UpdateStatus(StatusWorld::kMe, QStringLiteral("LNC"), QStringLiteral("Lunch"), outAt, back, true, false);
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);
        link.CheckSchedule2();
        QCOMPARE(w.history().size(), 3);

        // Mail to a group names its active members.
        DbHandle connection = OpenADOConnection();
        Update(QStringLiteral("UPDATE STAFF_STATUS SET Email = 'u' || UserID || '@x', IsActive = 1 - UserID / 3"),
               connection);
        for (qint32 id : {1, 2, 3})
            Update(QStringLiteral("INSERT INTO UserGroup (UserID, GroupID) VALUES (?, 7)"), connection, {id});
        QCOMPARE(CClientEmail().BroadCastMessage(7, QStringLiteral("Sales"), 1), 10000);
        QCOMPARE(w.db.env.shell.opened.last(), QUrl(QStringLiteral("mailto:u1@x,u2@x")));
    }
};
QTEST_MAIN(tst_StatusFromCalendar)
#include "tst_StatusFromCalendar.moc"
