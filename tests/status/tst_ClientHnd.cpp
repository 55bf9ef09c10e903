#include "StatusFakes.h"
#include "foundation/MCIFunctions.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/TextLimit.h"
#include "status/CClientNote.h"
#include "status/StatusMCastReceiver.h"

#include <QtTest>

namespace {

// 4 December 2026 is a Friday, 2 December a Wednesday.
const QDate kFriday(2026, 12, 4);
const QDate kWednesday(2026, 12, 2);
enum Window { NoWindow, Visible, Hidden, Minimised };
enum Sweep { Armed, SweptToday, SweptYesterday, NeverSwept }; // never: cleared at log-in
struct PollCase { int window; QTime now; bool admin, option; int sweep; };
struct CloseDownCase { int option, reason; QString status; int dueInMinutes; }; // from now, 0 for none

QString at(double day)
{
    return DateUtil::fromDays(day).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QDateTime fridayAt(int hour, int minute = 0)
{
    return QDateTime(kFriday, QTime(hour, minute));
}
double friday(int hour, int minute = 0)
{
    return DateUtil::toDays(fridayAt(hour, minute));
}

// One status change; the due-back time 0 asks for the default.
struct Change
{
    int result = 0;
    double outAt = 0, back = 0;
};
Change change(qint32 id, const QString &status, const QString &note = QString(), bool interactive = false, double back = 0)
{
    Change c;
    c.back = back;
    c.result = g_oClientHnd->UpdateStatus(id, status, note, c.outAt, c.back, false, interactive);
    return c;
}

CEntity entity(qint32 id)
{
    CEntity user;
    user.setKey(QStringLiteral("USR%1").arg(id));
    user.Name = QStringLiteral("User %1").arg(id);
    return user;
}

struct FakeWatcher : ICalendarWatcher
{
    void Start(qint32) override {}
    void CloseDown() override { ++closed; }
    static inline int closed = 0;
};

} // namespace

Q_DECLARE_METATYPE(PollCase)
Q_DECLARE_METATYPE(CloseDownCase)

class tst_ClientHnd : public QObject
{
    Q_OBJECT
    CClientNote m_note;
    CUserProperties m_options; // for the notes: work from 8:30, 45 minutes for lunch

private slots:
    void init()
    {
        m_options = CUserProperties();
        m_options.WorkStartTime = DateUtil::fromTime(QTime(8, 30));
        m_options.LunchTimePeriod = 45;
        g_oUserProperties = m_options;
    }
    void cleanup() { Clock::unpin(); }

    void defaultDueBack_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("dueBack"); // "" for none
        QTest::newRow("lunch") << fridayAt(12) << "LNC" << "2026-12-04 12:45:00";
        QTest::newRow("break") << fridayAt(10) << "BRK" << "2026-12-04 10:15:00";
        QTest::newRow("home on friday") << fridayAt(17, 5) << "HME" << "2026-12-07 08:30:00";
        QTest::newRow("sick on saturday") << fridayAt(9).addDays(1) << "SCK" << "2026-12-07 08:30:00";
        QTest::newRow("vacation on tuesday") << fridayAt(9).addDays(-3) << "VAC" << "2026-12-02 08:30:00";
        QTest::newRow("in") << fridayAt(9) << "INN" << "";
        QTest::newRow("out") << fridayAt(23, 30) << "OUT" << "2026-12-05 00:30:00";
        QTest::newRow("custom") << fridayAt(9) << "X0A" << "2026-12-04 10:00:00";
    }
    void defaultDueBack()
    {
        QFETCH(QDateTime, now);
        QFETCH(QString, status);
        QFETCH(QString, dueBack);
        StatusWorld w(false);
        Clock::pin(now);
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
        FETCH_ENGINE();
        auto w = std::make_unique<StatusWorld>(postgres);
        FakeMainWindow &window = w->withMainWindow();
        Clock::pin(QDateTime(QDate(2004, 8, 1), QTime(12, 0)));
        const double back = DateUtil::toDays(QDate(2004, 8, 1), QTime(13, 0));
        const Change c = change(StatusWorld::kMe, QStringLiteral("OUT"), QStringLiteral("  At the bank "), true, back);
        QCOMPARE(c.result, 10000);

        // The counter is the largest (7) plus one; the due-back time is the
        // number its decimal text gives, to the digit.
        QCOMPARE(w->statusRow(StatusWorld::kMe), QStringLiteral("OUT|At the bank|8|38200.5416666667|38200.5"));
        QCOMPARE(w->history(), QStringList{QStringLiteral("1|OUT|At the bank|2004-08-01 13:00:00|2004-08-01 12:00:00")});
        QCOMPARE(w->tray->sent.size(), 1);
        const CMCastUpdate &sent = w->tray->sent[0];
        QCOMPARE(QVariantList({sent.Seq, sent.UserID, sent.OriginatorID, sent.Status, sent.Note, sent.ETD, sent.ETA}),
                 QVariantList({7, 1, 1, "OUT", "  At the bank ", c.outAt, back})); // the note cut only in the database
        QCOMPARE(QVariantList({g_oCurrentUser.IsIn, g_oCurrentUser.Note, g_oCurrentUser.ETA}),
                 QVariantList({"OUT", "  At the bank ", back}));
        QCOMPARE(w->tray->icons, QStringList{QStringLiteral("OUT")});
        QCOMPARE(window.caption(), QStringLiteral("Viduruviva Tessaly v%1.%2 - User 1 - Out")
                                       .arg(TESSALY_VERSION_MAJOR).arg(TESSALY_VERSION_MINOR));
        QCOMPARE(w->popups, QStringList({"new", "title Qel Status Change",
                                         "message Your status has been set to Out, click Check In "
                                         "to set your status back to In",
                                         "checkin", "dueback 2004-08-01 13:00", "show", "display", "ontop"}));
        QVERIFY(w->calendar.added.isEmpty()); // not asked for

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

    // Apostrophes, the datagram separator, and a length past the limit, kept to it.
    void notesComeBackUnchanged_data() { addEngineRows(); }
    void notesComeBackUnchanged()
    {
        QString note = QStringLiteral("Bob's #! ").repeated(40);
        FETCH_ENGINE();
        auto w = std::make_unique<StatusWorld>(postgres);
        change(StatusWorld::kMe, QStringLiteral("OUT"), note);
        note.truncate(TextLimit::StatusNoteLength);
        const QString stored = w->statusRow(StatusWorld::kMe).section(u'|', 1, -4);
        QCOMPARE(stored, EncodeQuotes(note));
        QVERIFY(!stored.contains(u'\''));
        QCOMPARE(DecodeQuotes(stored), note);
        QCOMPARE(DecodeQuotes(w->history()[0].section(u'|', 2, -3)), note);
        QCOMPARE(w->statusRow(2).section(u'|', 0, 0), QStringLiteral("INN")); // nobody else touched
        QCOMPARE(w->tray->sent[0].Note + g_oCurrentUser.Note, note + note);
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
        const AppError e = raisedBy([&] { change(StatusWorld::kMe, status, QStringLiteral("note"), true); });
        QCOMPARE(e.number(), ErrNo::Raised);
        QVERIFY(e.source().startsWith(QStringLiteral("CClientHnd.UpdateStatus (5)\r\n")));
        QVERIFY2(e.description().startsWith(QStringLiteral("Invalid status code")), qPrintable(e.description()));
        QCOMPARE(w.statusRow(StatusWorld::kMe), before);
        QVERIFY(w.history().isEmpty() && w.tray->sent.isEmpty() && w.popups.isEmpty());
        QCOMPARE(g_oCurrentUser.IsIn, QStringLiteral("INN"));
        QVERIFY(readTextFile(w.db.env.path(QStringLiteral("logs/error.log"))).contains(QStringLiteral("Invalid status code")));
    }

    void editSeveralUsers()
    {
        StatusWorld w(false);
        FakeMainWindow &window = w.withMainWindow();
        g_fOutlook = true;
        Clock::pin(QDateTime(kFriday, QTime(9, 50)));
        g_vUserList.resize(3);
        for (qint32 id : {1, 2, 3})
            g_vUserList[id - 1].UserID = id;
        w.answerDialog({false, QStringLiteral("MTG"), QStringLiteral("Planning"), friday(10), friday(11, 30), true});
        const QList<CEntity> users{entity(2), entity(1), entity(3)};
        QCOMPARE(g_oClientHnd->EditUserStatus(users, false), 10000);
        QCOMPARE(w.dialogs, QStringList{"add=011;caption=Change Status for multiple staff members;code=OUT;invite=1;"
                                        "note=;own=1;target=0"});
        QCOMPARE(w.history(), QStringList({"2|MTG|Planning|2026-12-04 11:30:00|2026-12-04 10:00:00",
                                           "1|MTG|Planning|2026-12-04 11:30:00|2026-12-04 10:00:00",
                                           "3|MTG|Planning|2026-12-04 11:30:00|2026-12-04 10:00:00"}));
        // Only the signed-in user's change is interactive.
        QCOMPARE(w.popups.count(QStringLiteral("new")), 1);
        QCOMPARE(w.calendar.added, QStringList{QStringLiteral("10:00|11:30|Planning|MTG|User 2; User 3")});
        QCOMPARE(window.progress, (QVector<int>{0, 33, 67, 100}));
        QVERIFY(!window.progressShown);
        QCOMPARE(window.clicked, QStringList{QStringLiteral("TOP!")});
        for (const CUser &row : std::as_const(g_vUserList))
            QCOMPARE(QVariantList({row.IsIn, at(row.ETA), row.LastStatusChange}),
                     QVariantList({"MTG", "2026-12-04 11:30:00", Clock::nowDays()}));
        QCOMPARE(w.tray->sent.size(), 3);
    }

    // A colleague's change leaves one's own state alone; a cancelled dialog,
    // or none to show, writes nothing.
    void editOneColleagueOrCancel()
    {
        StatusWorld w(false);
        FakeMainWindow &window = w.withMainWindow();
        window.setCaption(QStringLiteral("before"));
        g_fOutlook = true;
        w.answerDialog({false, QStringLiteral("OUT"), QStringLiteral("Site visit"), friday(9), friday(15), false});
        QCOMPARE(g_oClientHnd->EditUserStatus({entity(2)}, false), 10000);
        QCOMPARE(w.history(), QStringList{QStringLiteral("2|OUT|Site visit|2026-12-04 15:00:00|2026-12-04 09:00:00")});
        QVERIFY(w.popups.isEmpty() && w.calendar.added.isEmpty() && w.tray->icons.isEmpty());
        QCOMPARE(w.tray->sent.size(), 1);
        QCOMPARE(w.tray->sent[0].OriginatorID, StatusWorld::kMe);
        QCOMPARE(g_oCurrentUser.IsIn + g_oCurrentUser.Note + window.caption(), QStringLiteral("INNbefore"));

        g_fOutlook = false;
        w.answerDialog({true, QStringLiteral("OUT"), QStringLiteral("x"), 0, 0, true});
        QCOMPARE(g_oClientHnd->EditUserStatus({entity(1)}, true), 10003);
        QCOMPARE(w.dialogs, QStringList({"add=001;caption=Change status for User 2;code=OUT;invite=0;label=;note=;own=0;"
                                         "target=2",
                                         "add=010;cancel=1;caption=Change status for User 1;code=OUT;in=0;invite=0;"
                                         "label=Set Status to Out;note=;own=1;target=1"}));
        g_uiFactory.statusChangeDialog = nullptr;
        QCOMPARE(g_oClientHnd->EditUserStatus({entity(1)}, false), 10003);
        QCOMPARE(w.history().size() + w.tray->sent.size() + w.calendar.added.size(), 2);
    }

    void mobileFlag_data() { addEngineRows(); }
    void mobileFlag()
    {
        FETCH_ENGINE();
        auto w = std::make_unique<StatusWorld>(postgres);
        QCOMPARE(g_oClientHnd->UpdatePhone(true), 10000);
        const auto stored = [] {
            return queryRows(QStringLiteral("SELECT MobileOn, LastUpdated FROM STAFF_STATUS WHERE UserID = 1")).value(0);
        };
        QCOMPARE(stored(), QStringLiteral("1|8"));
        QVERIFY(g_oCurrentUser.MobileOn);
        QVERIFY(w->tray->sent.isEmpty()); // other copies see it on their next poll

        FakeMainWindow &window = w->withMainWindow();
        QCOMPARE(g_oClientHnd->UpdatePhone(false), 0); // stored, but no row to show it in
        QCOMPARE(stored(), QStringLiteral("0|9"));
        window.rowKeys << QStringLiteral("USR1");
        QCOMPARE(g_oClientHnd->UpdatePhone(true), 10000);
        QCOMPARE(window.cells, QStringList({"USR1/5=OFF", "USR1/5=ON"}));
    }

    void calendarWatcherEvents()
    {
        StatusWorld w(false);
        w.withMainWindow();
        Clock::pin(QDateTime(kFriday, QTime(14, 0)));
        g_oClientHnd->setOutLookClient(std::make_unique<FakeWatcher>());
        const auto &event = g_oClientHnd->m_OutLookClient->onNeedToUpdateStatus;
        event(QStringLiteral("MTG"), QStringLiteral("Board"), friday(14), friday(15), friday(8, 12), QString());
        QCOMPARE(g_vLastApptModTime, friday(8, 12));
        QCOMPARE(w.history(), QStringList{QStringLiteral("1|MTG|Board|2026-12-04 15:00:00|2026-12-04 14:00:00")});
        QCOMPARE(w.popups.count(QStringLiteral("new")), 1);
        // A failing change is logged; the identity is kept all the same.
        event(QStringLiteral("M!"), QString(), friday(14), friday(15), friday(9), QStringLiteral("b"));
        QCOMPARE(g_sLastApptIdentity, QStringLiteral("b"));
        const QString errors = readTextFile(w.db.env.path(QStringLiteral("logs/error.log")));
        QVERIFY(errors.contains(QStringLiteral(".NeedToUpdateStatus")));

        g_fOutlook = g_fOutlookOOP = true;
        g_oClientHnd->CloseDownOutlook(1);
        QCOMPARE(FakeWatcher::closed, 1);
        QVERIFY(!g_oClientHnd->m_OutLookClient);
    }

    // The signed-in user's own status goes by his row: the periodic check
    // takes it from there (but for a damaged code), and so does the check-in
    // offer for an update that arrived from another copy, whatever it said.
    void ownStatusFollowsHisRow()
    {
        StatusWorld w(false);
        FakeMainWindow &window = w.withMainWindow();
        g_oClientHnd->CheckMyStatus();
        QVERIFY(w.tray->icons.isEmpty());
        w.storeMyStatus(QStringLiteral("HME"));
        g_oClientHnd->CheckMyStatus();
        QCOMPARE(g_oCurrentUser.IsIn, QStringLiteral("HME"));
        QCOMPARE(w.tray->icons, QStringList{QStringLiteral("HME")});
        QVERIFY(window.caption().endsWith(QStringLiteral(" - Gone Home")));
        w.storeMyStatus(QStringLiteral("x;"));
        g_oClientHnd->CheckMyStatus();
        QCOMPARE(g_oCurrentUser.IsIn, QStringLiteral("HME"));

        w.storeMyStatus(QStringLiteral("INN"));
        StatusMCastReceiver receiver;
        receiver.showCheckInDialog(2, QStringLiteral("OUT"), 0);
        receiver.showCheckInDialog(StatusWorld::kMe, QStringLiteral("LNC"), friday(13)); // his row says In
        QVERIFY(w.popups.isEmpty());
        w.storeMyStatus(QStringLiteral("LNC"), friday(13));
        receiver.showCheckInDialog(StatusWorld::kMe, QStringLiteral("INN"), 0);
        QCOMPARE(w.popups.count(QStringLiteral("new")), 1);
        QVERIFY(w.popups.contains(QStringLiteral("message Your status has been set to Lunch Break, click Check In "
                                                 "to set your status back to In")));
        QVERIFY(w.popups.contains(QStringLiteral("dueback 2026-12-04 13:00")));
        // A second out status replaces the notice; an in status removes it.
        w.storeMyStatus(QStringLiteral("OUT"));
        receiver.showCheckInDialog(StatusWorld::kMe, QStringLiteral("OUT"), 0);
        QCOMPARE(w.popups.count(QStringLiteral("gone")), 1);
        w.storeMyStatus(QStringLiteral("INN"));
        receiver.showCheckInDialog(StatusWorld::kMe, QStringLiteral("INN"), 0);
        QCOMPARE(w.popups.count(QStringLiteral("gone")) + w.popups.count(QStringLiteral("new")), 4);
        g_oClientHnd.reset();
        receiver.showCheckInDialog(StatusWorld::kMe, QStringLiteral("OUT"), 0); // after close-down: nothing
        receiver.updateView(2, QStringLiteral("OUT"), QString(), 0, 0);
    }

    // Where the option asks, the answer given (Home until Thursday 8:00) is stored.
    void closeDownOption_data()
    {
        QTest::addColumn<CloseDownCase>("given");
        QTest::addColumn<QString>("written"); // the history row, "" for none

        const QString out = QStringLiteral("1|OUT|Back Thursday|2026-12-03 08:30:00|2026-12-02 17:00:00");
        const QString home = QStringLiteral("1|HME|Home until Thursday|2026-12-03 08:30:00|2026-12-02 17:00:00");
        const QString asked = QStringLiteral("1|HME|Gone|2026-12-03 08:00:00|2026-12-02 17:00:00");
        QTest::newRow("1 in") << CloseDownCase{1, 1, "INN", 0} << out;
        QTest::newRow("1 pending meeting") << CloseDownCase{1, 1, "MTG", 60} << out;
        QTest::newRow("1 session ends") << CloseDownCase{1, 2, "INN", 0} << out;
        QTest::newRow("1 due back tomorrow") << CloseDownCase{1, 1, "OUT", 16 * 60} << "";
        QTest::newRow("2 in") << CloseDownCase{2, 0, "INN", 0} << home;
        QTest::newRow("3 in") << CloseDownCase{3, 1, "INN", 0} << asked;
        QTest::newRow("3 in, session ends") << CloseDownCase{3, 2, "INN", 0} << "";
        QTest::newRow("3 in, task manager") << CloseDownCase{3, 3, "INN", 0} << "";
        QTest::newRow("3 pending meeting") << CloseDownCase{3, 1, "MTG", 60} << "";
        QTest::newRow("3 lunch overrunning") << CloseDownCase{3, 1, "LNC", 60} << asked;
        QTest::newRow("3 overdue out") << CloseDownCase{3, 1, "OUT", -60} << asked;
        QTest::newRow("3 due back tomorrow") << CloseDownCase{3, 1, "INN", 16 * 60} << "";
        QTest::newRow("0 leaves it") << CloseDownCase{0, 1, "INN", 0} << "";
    }
    void closeDownOption()
    {
        QFETCH(CloseDownCase, given);
        QFETCH(QString, written);
        StatusWorld w(false);
        Clock::pin(QDateTime(kWednesday, QTime(17, 0)));
        g_vQuickNotes.rows[2].note = QStringLiteral("Back [next work day]");
        g_vQuickNotes.rows[6].note = QStringLiteral("Home until [next work day]");
        g_bOnClose = quint8(given.option);
        w.storeMyStatus(given.status, given.dueInMinutes ? Clock::nowDays() + given.dueInMinutes / 1440.0 : 0);
        // A stray update about him drew the opposite; his row decides.
        g_oCurrentUser.IsIn = QStringLiteral("VAC");
        g_oCurrentUser.ETA = given.dueInMinutes >= 16 * 60 ? 0 : Clock::nowDays() + 1;
        w.answerDialog({false, QStringLiteral("HME"), QStringLiteral("Gone"), Clock::nowDays(),
                        DateUtil::toDays(kWednesday.addDays(1), QTime(8, 0)), false});

        g_oClientHnd->CloseDown(given.reason);

        QCOMPARE(w.history(), written.isEmpty() ? QStringList() : QStringList{written});
        QCOMPARE(w.tray->sent.size(), written.isEmpty() ? 0 : 1);
        QCOMPARE(w.dialogs, written.contains(QStringLiteral("Gone"))
                                ? QStringList{"add=010;cancel=1;caption=Change status for User 1;code=OUT;in=0;"
                                              "invite=0;label=Set Status to Out;note=;own=1;target=1"}
                                : QStringList());
        QCOMPARE(w.popups.isEmpty(), w.dialogs.isEmpty()); // only a status chosen in the dialog is interactive
    }

    // The status row and its history row stand or fall together, and a
    // failure at close-down is logged rather than stopping it.
    void failedCloseDownStoresNothing()
    {
        StatusWorld w(false);
        g_bOnClose = 1;
        w.db.exec(QStringLiteral("DROP TABLE STATUS_HISTORY"));
        g_oClientHnd->CloseDown(1);
        QCOMPARE(w.statusRow(StatusWorld::kMe).section(u'|', 0, 0), QStringLiteral("INN"));
        QVERIFY(w.tray->sent.isEmpty());
        QVERIFY(readTextFile(w.db.env.path(QStringLiteral("logs/error.log"))).contains(QStringLiteral("CClientHnd.UpdateStatus")));
    }

    void pollCode_data()
    {
        QTest::addColumn<PollCase>("given");
        QTest::addColumn<int>("code");
        QTest::newRow("no window") << PollCase{NoWindow, QTime(12, 0), true, true, Armed} << 3;
        QTest::newRow("visible") << PollCase{Visible, QTime(12, 0), true, true, Armed} << 1;
        QTest::newRow("hidden") << PollCase{Hidden, QTime(12, 0), true, true, Armed} << 4;
        QTest::newRow("minimised") << PollCase{Minimised, QTime(12, 0), true, true, Armed} << 4;
        QTest::newRow("23:30 no window") << PollCase{NoWindow, QTime(23, 30), true, true, Armed} << 2;
        QTest::newRow("23:59:59 minimised") << PollCase{Minimised, QTime(23, 59, 59), true, true, Armed} << 2;
        // Where no sweep will run, the list goes on being polled.
        QTest::newRow("23:30 not an administrator") << PollCase{Visible, QTime(23, 30), false, true, Armed} << 1;
        QTest::newRow("23:30 option off") << PollCase{Visible, QTime(23, 30), true, false, Armed} << 1;
        QTest::newRow("23:45 hidden, option off") << PollCase{Hidden, QTime(23, 45), true, false, Armed} << 4;
        // The sweep is armed again each night by the date of the last one.
        QTest::newRow("swept tonight already") << PollCase{Visible, QTime(23, 45), true, true, SweptToday} << 1;
        QTest::newRow("swept last night, 23:29:59")
            << PollCase{Visible, QTime(23, 29, 59), true, true, SweptYesterday} << 1;
        QTest::newRow("swept last night, 23:30") << PollCase{Visible, QTime(23, 30), true, true, SweptYesterday} << 2;
        QTest::newRow("never swept") << PollCase{Visible, QTime(23, 40), true, true, NeverSwept} << 1;
    }
    void pollCode()
    {
        QFETCH(PollCase, given);
        StatusWorld w(false);
        if (given.window != NoWindow) {
            FakeMainWindow &main = w.withMainWindow();
            main.visible = given.window != Hidden;
            main.state = given.window == Minimised ? IMainWindow::Minimised : IMainWindow::Normal;
        }
        g_oCurrentUser.Admin = given.admin;
        g_fMarkOutOnClose = given.option;
        g_fMarkOutDue = given.sweep == Armed;
        Clock::pin(QDateTime(kWednesday, given.now));
        if (given.sweep == SweptToday || given.sweep == SweptYesterday)
            g_oClientHnd->MarkOutDone(Clock::nowDays() - (given.sweep == SweptYesterday ? 1 : 0));
        QTEST(int(g_oClientHnd->CanPollDatabase()), "code");
    }

    void tokens_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("expected");
        const QDateTime ten = fridayAt(14, 10);
        QTest::newRow("friday") << ten << "Back [next day], [next work day]" << "Back Saturday, Monday";
        QTest::newRow("saturday week day") << ten.addDays(1) << "Back [next week day]" << "Back Monday";
        QTest::newRow("sunday work day") << ten.addDays(2) << "Back [next work day]" << "Back Monday";
        QTest::newRow("thursday") << ten.addDays(-1) << "[next week day]/[next work day]" << "Friday/Friday";
        QTest::newRow("every occurrence") << ten << "[next day] or [next day]" << "Saturday or Saturday";
        QTest::newRow("case matters") << ten << "[Next Day] [Start Time]" << "[Next Day] [Start Time]";
        // After the point come minutes: +1.30 is an hour and a half, +1.5 fifty minutes.
        QTest::newRow("hours") << ten << "[+2] [+1.30] [+1.5] [+0.75] [+-1] [+] [+soon]"
                               << "4:10 PM 3:40 PM 4:00 PM 3:25 PM 1:10 PM 2:10 PM 2:10 PM";
        QTest::newRow("past midnight, no date") << fridayAt(23, 30) << "[+2]" << "1:30 AM";
        QTest::newRow("two tokens") << ten << "[start time] until [+2]" << "8:30 AM until 4:10 PM";
        QTest::newRow("stray brackets") << ten << "Ends] [+2], back [+2" << "Ends] 4:10 PM, back [+2";
        QTest::newRow("lunch") << fridayAt(12) << "Back [end of lunch period]" << "Back 12:45 PM";
        QTest::newRow("hash and bang kept") << ten << "#! back [+1]" << "#! back 3:10 PM";
        // 10,000 hours is about 417 days, within the calendar; more is a clear error.
        QTest::newRow("large") << ten << "[+10000]" << "6:10 AM";
        for (const char *huge : {"[+1e9]", "[+99999999]", "[+1e999]", "[+-1e9]"})
            QTest::newRow(huge) << ten << huge << "error 6: too large";
    }
    void tokens()
    {
        QFETCH(QDateTime, now);
        QFETCH(QString, note);
        QFETCH(QString, expected);
        Clock::pin(now);
        try {
            QCOMPARE(m_note.ParseNote(note, m_options), expected);
        } catch (const AppError &e) {
            QVERIFY2(e.description().contains(QStringLiteral("too large")), qPrintable(e.description()));
            QCOMPARE(QStringLiteral("error %1: too large").arg(e.number()), expected);
        }
    }

    // Quick notes are found by status code, and day names follow the user's language.
    void quickNotesAndLanguages()
    {
        Clock::pin(QDateTime(kFriday, QTime(14, 10)));
        g_vQuickNotes = QuickNoteTable();
        g_vQuickNotes.rows[6].note = QStringLiteral("Gone home, back [next work day]");
        QCOMPARE(m_note.GetParsedNote(QStringLiteral("HME"), m_options), QStringLiteral("Gone home, back Monday"));
        for (const char *unknown : {"XX2", "", "hme"})
            QCOMPARE(m_note.GetNote(QLatin1String(unknown)), QString());
        QuickNoteTable other;
        other.rows[3].note = QStringLiteral("Lunch until [end of lunch period]");
        QCOMPARE(m_note.getParsedNoteA(QStringLiteral("LNC"), other, m_options), QStringLiteral("Lunch until 2:55 PM"));

        m_options.Language = QStringLiteral("GER");
        QCOMPARE(m_note.ParseNote(QStringLiteral("[next day], [next work day] [+1]"), m_options),
                 QStringLiteral("Samstag, Montag 3:10 PM"));
        m_options.Language = QStringLiteral("FRA");
        QCOMPARE(m_note.ParseNote(QStringLiteral("[next work day]"), m_options), QStringLiteral("lundi"));
    }
};

QTEST_GUILESS_MAIN(tst_ClientHnd)
#include "tst_ClientHnd.moc"
