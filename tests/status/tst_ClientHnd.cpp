#include "StatusFakes.h"
#include "TestDatabase.h"
#include "foundation/MADOFunctions.h"
#include "foundation/MCIFunctions.h"
#include "foundation/TextLimit.h"
#include "mail/CClientEmail.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "status/CClientHnd.h"
#include "status/StatusMCastReceiver.h"

#include <QtTest>

// A fresh world on the engine of the test row.
#define OPEN_WORLD(w)        \
    QFETCH(bool, postgres);  \
    if (postgres)            \
        REQUIRE_PG();        \
    auto w = std::make_unique<StatusWorld>(postgres)

namespace {

// 4 December 2026 is a Friday.
const QDate kFriday(2026, 12, 4);

QString at(double day)
{
    return DateUtil::fromDays(day).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

double friday(int hour, int minute = 0)
{
    return DateUtil::toDays(kFriday, QTime(hour, minute));
}

// One status change; the due-back time 0 asks for the default.
struct Change
{
    int result = 0;
    double outAt = 0, back = 0;
};
Change change(qint32 id, const QString &status, const QString &note = QString(), bool interactive = false,
              double back = 0, bool calendar = false)
{
    Change c;
    c.back = back;
    c.result = g_oClientHnd->UpdateStatus(id, status, note, c.outAt, c.back, calendar, interactive);
    return c;
}

CEntity entity(qint32 id)
{
    CEntity user;
    user.setKey(QStringLiteral("USR%1").arg(id));
    user.Name = QStringLiteral("User %1").arg(id);
    return user;
}

class FakeWatcher : public ICalendarWatcher
{
public:
    explicit FakeWatcher(int &closed) : m_closed(closed) {}
    void Start(qint32) override {}
    void CloseDown() override { ++m_closed; }

private:
    int &m_closed;
};

} // namespace

class tst_ClientHnd : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Clock::unpin(); }

    void defaultDueBack_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QTime>("now");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("dueBack"); // "" for none
        QTest::newRow("lunch") << kFriday << QTime(12, 0) << "LNC" << "2026-12-04 12:45:00";
        QTest::newRow("break") << kFriday << QTime(10, 0) << "BRK" << "2026-12-04 10:15:00";
        QTest::newRow("home on friday") << kFriday << QTime(17, 5) << "HME" << "2026-12-07 08:30:00";
        QTest::newRow("sick on saturday") << kFriday.addDays(1) << QTime(9, 0) << "SCK" << "2026-12-07 08:30:00";
        QTest::newRow("vacation on tuesday") << kFriday.addDays(-3) << QTime(9, 0) << "VAC" << "2026-12-02 08:30:00";
        QTest::newRow("in") << kFriday << QTime(9, 0) << "INN" << "";
        QTest::newRow("out") << kFriday << QTime(23, 30) << "OUT" << "2026-12-05 00:30:00";
        QTest::newRow("meeting") << kFriday << QTime(9, 0) << "MTG" << "2026-12-04 10:00:00";
        QTest::newRow("do not disturb") << kFriday << QTime(9, 0) << "DND" << "2026-12-04 10:00:00";
        QTest::newRow("calendar tentative") << kFriday << QTime(9, 0) << "MTT" << "2026-12-04 10:00:00";
        QTest::newRow("custom") << kFriday << QTime(9, 0) << "X0A" << "2026-12-04 10:00:00";
    }
    void defaultDueBack()
    {
        QFETCH(QDate, today);
        QFETCH(QTime, now);
        QFETCH(QString, status);
        QFETCH(QString, dueBack);
        StatusWorld w(false);
        Clock::pin(QDateTime(today, now));
        const Change c = change(2, status);
        QCOMPARE(c.result, 10000);
        QCOMPARE(c.outAt, Clock::nowDays()); // handed back to the caller
        QCOMPARE(c.back == 0 ? QString() : at(c.back), dueBack);
        QCOMPARE(w.statusRow(2).section(u'|', 3, 3), c.back == 0 ? QStringLiteral("null") : DateUtil::numberText(c.back));
        // The history always has both dates; "now" stands in for none.
        QCOMPARE(w.history(), QStringList{QStringLiteral("2|%1||%2|%3")
                                              .arg(status, dueBack.isEmpty() ? at(c.outAt) : dueBack, at(c.outAt))});
        QCOMPARE(w.tray->sent.size(), 1);
        QCOMPARE(w.tray->sent[0].ETA, c.back); // 0 for In
    }

    void ownChangeIsStoredShownAndAnnounced_data() { addEngineRows(); }
    void ownChangeIsStoredShownAndAnnounced()
    {
        OPEN_WORLD(w);
        FakeMainWindow &window = w->withMainWindow();
        Clock::pin(QDateTime(QDate(2004, 8, 1), QTime(12, 0)));
        const double back = DateUtil::toDays(QDate(2004, 8, 1), QTime(13, 0));
        const Change c = change(StatusWorld::kMe, QStringLiteral("OUT"), QStringLiteral("  At the bank "), true, back);
        QCOMPARE(c.result, 10000);

        // The counter is the largest (7) plus one; the decimal text of the
        // due-back time is what the row holds, to the digit.
        QCOMPARE(w->statusRow(StatusWorld::kMe), QStringLiteral("OUT|At the bank|8|38200.5416666667|38200.5"));
        DbHandle connection;
        const RecordSet row = OpenADORecordSet(connection, QStringLiteral("SELECT ETA FROM STAFF_STATUS WHERE UserID = 1"));
        QVERIFY(row.number(QStringLiteral("ETA")) == 38200.5416666667); // exactly the number its text gives
        QCOMPARE(w->history(), QStringList{QStringLiteral("1|OUT|At the bank|2004-08-01 13:00:00|2004-08-01 12:00:00")});
        QCOMPARE(w->tray->sent.size(), 1);
        const CMCastUpdate &sent = w->tray->sent[0];
        QCOMPARE(QVariantList({sent.Seq, sent.UserID, sent.OriginatorID, sent.Status, sent.ETD, sent.ETA}),
                 QVariantList({7, StatusWorld::kMe, StatusWorld::kMe, "OUT", c.outAt, back}));
        QCOMPARE(sent.Note, QStringLiteral("  At the bank ")); // cut only in the database
        QCOMPARE(QVariantList({g_oCurrentUser.IsIn, g_oCurrentUser.Note, g_oCurrentUser.ETA}),
                 QVariantList({"OUT", "  At the bank ", back}));
        QCOMPARE(w->tray->icons, QStringList{QStringLiteral("OUT")});
        QCOMPARE(window.caption(), QStringLiteral("Viduruviva Tessaly v%1.%2 - User 1 - Out")
                                       .arg(TESSALY_VERSION_MAJOR).arg(TESSALY_VERSION_MINOR));
        QCOMPARE(w->popups, QStringList({"new", "title Qel Status Change",
                                         "message Your status has been set to Out, click Check In "
                                         "to set your status back to In",
                                         "checkin", "dueback 2004-08-01 13:00", "show", "display", "ontop"}));
        QVERIFY(w->calendar.added.isEmpty());

        // Back in: no due-back time in the row, "now" in the history, 0 in
        // the update, and the offer to check in goes away.
        w->popups.clear();
        Clock::pin(QDateTime(QDate(2004, 8, 1), QTime(12, 40)));
        change(StatusWorld::kMe, QStringLiteral("INN"), QString(), true);
        QCOMPARE(w->statusRow(StatusWorld::kMe).section(u'|', 0, 3), QStringLiteral("INN||9|null"));
        QCOMPARE(w->history().last(), QStringLiteral("1|INN||2004-08-01 12:40:00|2004-08-01 12:40:00"));
        QCOMPARE(w->tray->sent.last().Seq, 8);
        QCOMPARE(w->tray->sent.last().ETA, 0.0);
        QCOMPARE(w->popups, QStringList({"undisplay", "gone"}));
    }

    void calendarOnlyWhenAsked()
    {
        StatusWorld w(false);
        Clock::pin(QDateTime(kFriday, QTime(9, 0)));
        change(2, QStringLiteral("MTG"), QStringLiteral("Review"));
        QVERIFY(w.calendar.added.isEmpty());
        change(2, QStringLiteral("MTG"), QStringLiteral("Review"), false, 0, true);
        QCOMPARE(w.calendar.added, QStringList{QStringLiteral("09:00|10:00|Review|MTG|")});
    }

    void notesComeBackUnchanged_data()
    {
        QTest::addColumn<bool>("postgres");
        QTest::addColumn<QString>("note");
        QString longNote;
        for (int i = 0; longNote.size() < 2000; ++i)
            longNote += QStringLiteral("Jo's #%1; ").arg(i);
        longNote.truncate(2000);
        for (bool pg : {false, true}) {
            const char *engine = pg ? "postgres" : "sqlite";
            QTest::addRow("%s apostrophe", engine) << pg << "Bob's lunch";
            QTest::addRow("%s datagram separator", engine) << pg << "a#!b#!";
            QTest::addRow("%s 2000 characters, kept to the limit", engine) << pg << longNote;
        }
    }
    void notesComeBackUnchanged()
    {
        QFETCH(QString, note);
        OPEN_WORLD(w);
        change(StatusWorld::kMe, QStringLiteral("OUT"), note);
        note.truncate(TextLimit::StatusNoteLength);
        const QString stored = w->statusRow(StatusWorld::kMe).section(u'|', 1, -4);
        QCOMPARE(stored, EncodeQuotes(note));
        QVERIFY(!stored.contains(u'\''));
        QCOMPARE(DecodeQuotes(stored), note);
        QCOMPARE(DecodeQuotes(w->history()[0].section(u'|', 2, -3)), note);
        QCOMPARE(w->statusRow(2).section(u'|', 0, 0), QStringLiteral("INN")); // nobody else touched
        QCOMPARE(w->tray->sent[0].Note, note);
        QCOMPARE(g_oCurrentUser.Note, note);
    }

    void invalidCodeWritesNothing_data()
    {
        QTest::addColumn<QString>("status");
        for (const char *code : {"", "OU", "OUTT", "out", "O'T", "IN "})
            QTest::addRow("\"%s\"", code) << QString::fromLatin1(code);
    }
    void invalidCodeWritesNothing()
    {
        QFETCH(QString, status);
        StatusWorld w(false);
        const QString before = w.statusRow(StatusWorld::kMe);
        try {
            change(StatusWorld::kMe, status, QStringLiteral("note"), true);
            QFAIL("an invalid status code was accepted");
        } catch (const AppError &e) {
            QCOMPARE(e.number(), ErrNo::Raised);
            QVERIFY(e.source().startsWith(QStringLiteral("CClientHnd.UpdateStatus (5)\r\n")));
            QVERIFY2(e.description().startsWith(QStringLiteral("Invalid status code")), qPrintable(e.description()));
        }
        QCOMPARE(w.statusRow(StatusWorld::kMe), before);
        QVERIFY(w.history().isEmpty() && w.tray->sent.isEmpty() && w.popups.isEmpty());
        QCOMPARE(g_oCurrentUser.IsIn, QStringLiteral("INN"));
        QVERIFY(readTextFile(w.env.path(QStringLiteral("logs/error.log"))).contains(QStringLiteral("Invalid status code")));
    }

    void editSeveralUsers_data() { addEngineRows(); }
    void editSeveralUsers()
    {
        OPEN_WORLD(w);
        FakeMainWindow &window = w->withMainWindow();
        g_fOutlook = true;
        Clock::pin(QDateTime(kFriday, QTime(9, 50)));
        for (qint32 id : {1, 2, 3}) {
            CUser row;
            row.UserID = id;
            row.IsIn = QStringLiteral("INN");
            g_vUserList << row;
        }
        w->answerDialog({false, QStringLiteral("MTG"), QStringLiteral("Planning"), friday(10), friday(11, 30), true});
        const QList<CEntity> users{entity(2), entity(1), entity(3)};
        QCOMPARE(g_oClientHnd->EditUserStatus(users, false), 10000);

        QCOMPARE(w->dialogs.size(), 1);
        const FakeStatusDialog::Setup &setup = w->dialogs[0];
        QCOMPARE(setup.caption, QStringLiteral("Change Status for multiple staff members"));
        QCOMPARE(setup.statusCode, QStringLiteral("OUT"));
        QCOMPARE(setup.targetUserID, 0);
        QVERIFY(setup.own && !setup.addTicked && setup.addEnabled && setup.addVisible && setup.inviteVisible
                && setup.inButtonVisible);

        const QStringList history = w->history();
        QCOMPARE(history.size(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(history[i], QStringLiteral("%1|MTG|Planning|2026-12-04 11:30:00|2026-12-04 10:00:00")
                                     .arg(users[i].ID));
        // Only the signed-in user's change is interactive.
        QCOMPARE(w->popups.count(QStringLiteral("new")), 1);
        QCOMPARE(w->calendar.added, QStringList{QStringLiteral("10:00|11:30|Planning|MTG|User 2; User 3")});
        QCOMPARE(window.progress, (QVector<int>{0, 33, 67, 100}));
        QVERIFY(!window.progressShown);
        QCOMPARE(window.clicked, QStringList{QStringLiteral("TOP!")});
        for (const CUser &row : std::as_const(g_vUserList)) {
            QCOMPARE(row.IsIn, QStringLiteral("MTG"));
            QCOMPARE(at(row.ETA), QStringLiteral("2026-12-04 11:30:00"));
            QCOMPARE(row.LastStatusChange, Clock::nowDays());
        }
        // Distinct counters, one per change.
        QCOMPARE(w->tray->sent.size(), 3);
        QCOMPARE(w->tray->sent[0].Seq + 1, w->tray->sent[1].Seq);
        QCOMPARE(w->tray->sent[1].Seq + 1, w->tray->sent[2].Seq);
    }

    // A colleague's change leaves one's own state alone.
    void editOneColleague()
    {
        StatusWorld w(false);
        FakeMainWindow &window = w.withMainWindow();
        window.setCaption(QStringLiteral("before"));
        g_fOutlook = true;
        w.answerDialog({false, QStringLiteral("OUT"), QStringLiteral("Site visit"), friday(9), friday(15), false});
        QCOMPARE(g_oClientHnd->EditUserStatus({entity(2)}, false), 10000);
        const FakeStatusDialog::Setup &setup = w.dialogs[0];
        QCOMPARE(setup.caption, QStringLiteral("Change status for User 2"));
        QCOMPARE(setup.statusLabel, QString());
        QCOMPARE(setup.targetUserID, 2);
        QVERIFY(!setup.own && !setup.addEnabled && setup.addVisible && !setup.inviteVisible);
        QCOMPARE(w.history(), QStringList{QStringLiteral("2|OUT|Site visit|2026-12-04 15:00:00|2026-12-04 09:00:00")});
        QVERIFY(w.popups.isEmpty() && w.calendar.added.isEmpty() && w.tray->icons.isEmpty());
        QCOMPARE(w.tray->sent.size(), 1);
        QCOMPARE(w.tray->sent[0].OriginatorID, StatusWorld::kMe);
        QCOMPARE(g_oCurrentUser.IsIn + g_oCurrentUser.Note + window.caption(), QStringLiteral("INNbefore"));
    }

    void cancelWritesNothing()
    {
        StatusWorld w(false);
        w.answerDialog({true, QStringLiteral("OUT"), QStringLiteral("x"), 0, 0, true});
        QCOMPARE(g_oClientHnd->EditUserStatus({entity(1)}, true), 10003);
        const FakeStatusDialog::Setup &setup = w.dialogs[0];
        QCOMPARE(setup.statusLabel, QStringLiteral("Set Status to Out"));
        QVERIFY(setup.cancelEnabled && !setup.inButtonVisible);
        // With no dialog to show, nothing is asked either.
        g_uiFactory.statusChangeDialog = nullptr;
        QCOMPARE(g_oClientHnd->EditUserStatus({entity(1)}, false), 10003);
        QVERIFY(w.history().isEmpty() && w.tray->sent.isEmpty() && w.calendar.added.isEmpty());
    }

    void mobileFlag_data() { addEngineRows(); }
    void mobileFlag()
    {
        OPEN_WORLD(w);
        QCOMPARE(g_oClientHnd->UpdatePhone(true), 10000);
        const auto stored = [] {
            DbHandle connection;
            const RecordSet rs = OpenADORecordSet(
                connection, QStringLiteral("SELECT MobileOn, LastUpdated FROM STAFF_STATUS WHERE UserID = 1"));
            return QStringLiteral("%1|%2").arg(rs.integer("MobileOn")).arg(rs.integer("LastUpdated"));
        };
        QCOMPARE(stored(), QStringLiteral("1|8"));
        QVERIFY(g_oCurrentUser.MobileOn);
        QVERIFY(w->tray->sent.isEmpty()); // other copies see it on their next poll

        FakeMainWindow &window = w->withMainWindow();
        QCOMPARE(g_oClientHnd->UpdatePhone(false), 0); // stored, but no row to show it in
        QCOMPARE(stored().section(u'|', 0, 0), QStringLiteral("0"));
        window.rowKeys << QStringLiteral("USR1");
        QCOMPARE(g_oClientHnd->UpdatePhone(true), 10000);
        QCOMPARE(window.cells, QStringList{QStringLiteral("USR1/5=ON")});
    }

    void ownStatusChangedElsewhere()
    {
        StatusWorld w(false);
        FakeMainWindow &window = w.withMainWindow();
        g_oClientHnd->CheckMyStatus();
        QVERIFY(w.tray->icons.isEmpty());
        DbHandle connection;
        Update(QStringLiteral("UPDATE STAFF_STATUS SET IsIn = 'HME' WHERE UserID = 1"), connection);
        g_oClientHnd->CheckMyStatus();
        QCOMPARE(g_oCurrentUser.IsIn, QStringLiteral("HME"));
        QCOMPARE(w.tray->icons, QStringList{QStringLiteral("HME")});
        QVERIFY(window.caption().endsWith(QStringLiteral(" - Gone Home")));
        Update(QStringLiteral("UPDATE STAFF_STATUS SET IsIn = 'x;' WHERE UserID = 1"), connection);
        g_oClientHnd->CheckMyStatus();
        QCOMPARE(g_oCurrentUser.IsIn, QStringLiteral("HME")); // a damaged code is not taken
    }

    void inProcessCalendarCheck()
    {
        StatusWorld w(false);
        w.withMainWindow();
        // A weekly meeting kept in another zone's time: 09:00 in New York is 14:00 UTC in December.
        const QDateTime start(kFriday, QTime(14, 0), QTimeZone::utc());
        Clock::pin(start.addSecs(600).toLocalTime());
        const QString folder = w.env.path(QStringLiteral("calendar"));
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
        const QString settings = AppRegistryKey() + QStringLiteral("\\Settings");
        SetRegistryValue(QStringLiteral("CalendarPath"), RegString, folder, settings);
        const QString occurrence = QStringLiteral("Weekly @ Room 4|") +
                                   start.addSecs(3600).toLocalTime().toString("yyyy-MM-dd HH:mm:ss") + u'|' +
                                   start.toLocalTime().toString("yyyy-MM-dd HH:mm:ss");
        CClientOutlook link;
        save(QStringLiteral("LAST-MODIFIED:20261101T000000Z\r\n"));
        link.CheckSchedule2();
        link.CheckSchedule2();
        QCOMPARE(w.history(), QStringList{QStringLiteral("1|MTG|") + occurrence});
        SetRegistryValue(QStringLiteral("OutlookBusy"), RegString, QStringLiteral("OUT"), settings);
        save(QStringLiteral("LAST-MODIFIED:20261102T000000Z\r\n")); // edited: applies again
        link.CheckSchedule2();
        save(QStringLiteral("LAST-MODIFIED:20261103T000000Z\r\nCLASS:CONFIDENTIAL\r\n"));
        link.CheckSchedule2();
        QCOMPARE(w.history().size(), 2);
        QCOMPARE(w.history().last(), QStringLiteral("1|OUT|") + occurrence);

        // A status change written to the calendar is never read back as one.
        g_calendarLink = &link;
        change(StatusWorld::kMe, QStringLiteral("LNC"), QStringLiteral("Lunch"), false, 0, true);
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
        QCOMPARE(w.env.shell.opened.last(), QUrl(QStringLiteral("mailto:u1@x,u2@x")));
    }

    void calendarWatcherEvents()
    {
        StatusWorld w(false);
        w.withMainWindow();
        Clock::pin(QDateTime(kFriday, QTime(14, 0)));
        int closed = 0;
        auto watcher = std::make_unique<FakeWatcher>(closed);
        FakeWatcher *events = watcher.get();
        g_oClientHnd->setOutLookClient(std::move(watcher));
        events->onNeedToUpdateStatus(QStringLiteral("MTG"), QStringLiteral("Board"), friday(14), friday(15), friday(8, 12));
        QCOMPARE(g_vLastApptModTime, friday(8, 12));
        QCOMPARE(w.history(), QStringList{QStringLiteral("1|MTG|Board|2026-12-04 15:00:00|2026-12-04 14:00:00")});
        QCOMPARE(w.popups.count(QStringLiteral("new")), 1);

        g_fOutlook = g_fOutlookOOP = true;
        g_oClientHnd->CloseDownOutlook(1);
        QCOMPARE(closed, 1);
        QVERIFY(!g_oClientHnd->m_OutLookClient);
    }

    // The check-in offer for an update that arrived from another copy goes
    // by the signed-in user's row, whatever the update said.
    void receivedUpdatesReachTheEngine()
    {
        StatusWorld w(false);
        StatusMCastReceiver receiver;
        const auto store = [](const QString &status, double dueBack) {
            DbHandle db;
            Update(QStringLiteral("UPDATE STAFF_STATUS SET IsIn = ?, ETA = ? WHERE UserID = 1"), db, {status, dueBack});
        };
        receiver.showCheckInDialog(2, QStringLiteral("OUT"), 0);
        receiver.showCheckInDialog(StatusWorld::kMe, QStringLiteral("LNC"), friday(13)); // his row says In
        QVERIFY(w.popups.isEmpty());
        store(QStringLiteral("LNC"), friday(13));
        receiver.showCheckInDialog(StatusWorld::kMe, QStringLiteral("INN"), 0);
        QCOMPARE(w.popups.count(QStringLiteral("new")), 1);
        QVERIFY(w.popups.contains(QStringLiteral("message Your status has been set to Lunch Break, click Check In "
                                                 "to set your status back to In")));
        QVERIFY(w.popups.contains(QStringLiteral("dueback 2026-12-04 13:00")));
        // A second out status replaces the notice; an in status removes it.
        store(QStringLiteral("OUT"), 0);
        receiver.showCheckInDialog(StatusWorld::kMe, QStringLiteral("OUT"), 0);
        QCOMPARE(w.popups.count(QStringLiteral("gone")), 1);
        store(QStringLiteral("INN"), 0);
        receiver.showCheckInDialog(StatusWorld::kMe, QStringLiteral("INN"), 0);
        QCOMPARE(w.popups.count(QStringLiteral("gone")), 2);
        QCOMPARE(w.popups.count(QStringLiteral("new")), 2);
        g_oClientHnd.reset();
        receiver.showCheckInDialog(StatusWorld::kMe, QStringLiteral("OUT"), 0); // after close-down: nothing
        receiver.updateView(2, QStringLiteral("OUT"), QString(), 0, 0);
    }
};

QTEST_GUILESS_MAIN(tst_ClientHnd)
#include "tst_ClientHnd.moc"
