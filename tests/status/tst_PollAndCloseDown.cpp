#include "StatusFakes.h"
#include "foundation/MADOFunctions.h"
#include "platform/Clock.h"
#include "status/CClientHnd.h"

#include <QtTest>

namespace {

// 2 December 2026 is a Wednesday.
const QDate kWednesday(2026, 12, 2);
constexpr int kNoDueBack = std::numeric_limits<int>::min();

enum Window { NoWindow, Visible, Hidden, Minimised };

} // namespace

class tst_PollAndCloseDown : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Clock::unpin(); }

    // Where the option asks, the answer given (Home until Thursday 8:00) is stored.
    void closeDownOption_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<int>("reason");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("dueInMinutes"); // from now; kNoDueBack for none
        QTest::addColumn<QString>("written");  // the history row, "" for none

        const QString out = QStringLiteral("1|OUT|Back Thursday|2026-12-03 08:30:00|2026-12-02 17:00:00");
        const QString home = QStringLiteral("1|HME|Home until Thursday|2026-12-03 08:30:00|2026-12-02 17:00:00");
        const QString asked = QStringLiteral("1|HME|Gone|2026-12-03 08:00:00|2026-12-02 17:00:00");
        QTest::newRow("1 in") << 1 << 1 << "INN" << kNoDueBack << out;
        QTest::newRow("1 pending meeting") << 1 << 1 << "MTG" << 60 << out;
        QTest::newRow("1 session ends") << 1 << 2 << "INN" << kNoDueBack << out;
        QTest::newRow("1 due back tomorrow") << 1 << 1 << "OUT" << 16 * 60 << "";
        QTest::newRow("2 in") << 2 << 0 << "INN" << kNoDueBack << home;
        QTest::newRow("2 pending meeting") << 2 << 1 << "MTG" << 60 << home;
        QTest::newRow("2 due back tomorrow") << 2 << 1 << "VAC" << 16 * 60 << "";
        QTest::newRow("3 in") << 3 << 1 << "INN" << kNoDueBack << asked;
        QTest::newRow("3 in, session ends") << 3 << 2 << "INN" << kNoDueBack << "";
        QTest::newRow("3 in, task manager") << 3 << 3 << "INN" << kNoDueBack << "";
        QTest::newRow("3 pending meeting") << 3 << 1 << "MTG" << 60 << "";
        QTest::newRow("3 lunch overrunning") << 3 << 1 << "LNC" << 60 << asked;
        QTest::newRow("3 overdue out") << 3 << 1 << "OUT" << -60 << asked;
        QTest::newRow("3 due back tomorrow") << 3 << 1 << "INN" << 16 * 60 << "";
        QTest::newRow("0 leaves it") << 0 << 1 << "INN" << kNoDueBack << "";
    }
    void closeDownOption()
    {
        QFETCH(int, option);
        QFETCH(int, reason);
        QFETCH(QString, status);
        QFETCH(int, dueInMinutes);
        QFETCH(QString, written);
        StatusWorld w(false);
        Clock::pin(QDateTime(kWednesday, QTime(17, 0)));
        g_vQuickNotes.rows[2].note = QStringLiteral("Back [next work day]");
        g_vQuickNotes.rows[6].note = QStringLiteral("Home until [next work day]");
        g_bOnClose = quint8(option);
        w.storeMyStatus(status, dueInMinutes == kNoDueBack ? 0 : Clock::nowDays() + dueInMinutes / 1440.0);
        // A stray update about him drew the opposite; his row decides.
        g_oCurrentUser.IsIn = QStringLiteral("VAC");
        g_oCurrentUser.ETA = dueInMinutes >= 16 * 60 ? 0 : Clock::nowDays() + 1;
        w.answerDialog({false, QStringLiteral("HME"), QStringLiteral("Gone"), Clock::nowDays(),
                        DateUtil::toDays(kWednesday.addDays(1), QTime(8, 0)), false});

        g_oClientHnd->CloseDown(reason);

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
        QTest::addColumn<int>("window");
        QTest::addColumn<QTime>("now");
        QTest::addColumn<bool>("admin");
        QTest::addColumn<bool>("option");
        QTest::addColumn<int>("code");
        QTest::newRow("no window") << int(NoWindow) << QTime(12, 0) << true << true << 3;
        QTest::newRow("visible") << int(Visible) << QTime(12, 0) << true << true << 1;
        QTest::newRow("hidden") << int(Hidden) << QTime(12, 0) << true << true << 4;
        QTest::newRow("minimised") << int(Minimised) << QTime(12, 0) << true << true << 4;
        QTest::newRow("23:29:59") << int(Visible) << QTime(23, 29, 59) << true << true << 1;
        QTest::newRow("23:30:00") << int(Visible) << QTime(23, 30) << true << true << 2;
        QTest::newRow("23:30 no window") << int(NoWindow) << QTime(23, 30) << true << true << 2;
        QTest::newRow("23:59:59 minimised") << int(Minimised) << QTime(23, 59, 59) << true << true << 2;
        // Where no sweep will run, the list goes on being polled.
        QTest::newRow("23:30 not an administrator") << int(Visible) << QTime(23, 30) << false << true << 1;
        QTest::newRow("23:30 option off") << int(Visible) << QTime(23, 30) << true << false << 1;
        QTest::newRow("23:45 hidden, option off") << int(Hidden) << QTime(23, 45) << true << false << 4;
    }
    void pollCode()
    {
        QFETCH(int, window);
        QFETCH(QTime, now);
        QFETCH(bool, admin);
        QFETCH(bool, option);
        QFETCH(int, code);
        StatusWorld w(false);
        if (window != NoWindow) {
            FakeMainWindow &main = w.withMainWindow();
            main.visible = window != Hidden;
            main.state = window == Minimised ? IMainWindow::Minimised : IMainWindow::Normal;
        }
        g_oCurrentUser.Admin = admin;
        g_fMarkOutOnClose = option;
        g_fMarkOutDue = true;
        Clock::pin(QDateTime(kWednesday, now));
        QCOMPARE(int(g_oClientHnd->CanPollDatabase()), code);
        QCOMPARE(g_oClientHnd->NeedToDoMarkout(), admin && option);
    }

    // The sweep is armed again each night by the date of the last one; a
    // copy that never swept (cleared at log-in) is not armed.
    void markOutIsDueAgainNextNight()
    {
        StatusWorld w(false);
        w.withMainWindow();
        g_oCurrentUser.Admin = g_fMarkOutOnClose = true;
        const auto codeAt = [](int days, const QTime &time) {
            Clock::pin(QDateTime(kWednesday.addDays(days), time));
            return int(g_oClientHnd->CanPollDatabase());
        };
        QCOMPARE(codeAt(5, QTime(23, 40)), 1);
        QVERIFY(!g_fMarkOutDue);
        g_fMarkOutDue = true;
        QCOMPARE(codeAt(0, QTime(23, 30)), 2);
        g_oClientHnd->MarkOutDone(Clock::nowDays());
        QVERIFY(!g_fMarkOutDue);
        QCOMPARE(codeAt(0, QTime(23, 45)), 1); // swept tonight already
        QCOMPARE(codeAt(1, QTime(0, 5)), 1);
        QCOMPARE(codeAt(1, QTime(23, 29, 59)), 1);
        QCOMPARE(codeAt(1, QTime(23, 30)), 2);
    }
};

QTEST_GUILESS_MAIN(tst_PollAndCloseDown)
#include "tst_PollAndCloseDown.moc"
