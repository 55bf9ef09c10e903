#include "TestSupport.h"
#include "foundation/CEntity.h"
#include "messaging/tray/IUpdateTimerActions.h"
#include "messaging/tray/UpdateTimer.h"
#include "platform/AppError.h"

#include <QtTest>
#include <functional>

namespace {

// Answers from its fields and writes every action into calls.
class RecordingActions : public IUpdateTimerActions
{
public:
    qint16 canPollDatabase() override { calls << "ask"; return code; }
    bool hasMainWindow() const override { return mainWindow; }
    QString viewType() const override { return view; }
    void refreshUserList(bool checksOnly) override
    {
        calls << (checksOnly ? "checks" : "poll");
        if (duringPoll)
            duringPoll();
    }
    void runListChecks() override { calls << "listchecks"; }
    bool selectedListItem(CEntity &item) const override
    {
        item.setKey(selectedKey);
        item.Name = "Room 1";
        return !selectedKey.isEmpty();
    }
    void refreshReservations(const CEntity &r) override { calls << "reservations " + r.Key() + ' ' + r.Name; }
    bool needToDoMarkout() const override { return flag; }
    void markOutDone() override { calls << "done"; }
    void markAllUsersOut() override { calls << "markout"; }
    void checkMyStatus() override
    {
        calls << "mystatus";
        if (failOwnStatus)
            throw AppError(ErrNo::Busy, "CClientHnd.CheckMyStatus", "locked");
    }
    bool calendarInProcess() const override { return flag; }

    qint16 code = 3;
    bool mainWindow = true;
    QString view = "GRP";
    QString selectedKey;
    bool flag = false; // mark-out due, calendar read here
    bool failOwnStatus = false;
    std::function<void()> duringPoll;
    QStringList calls;
};

} // namespace

class tst_UpdateTimer : public QObject
{
    Q_OBJECT
private slots:
    void cadence_data()
    {
        QTest::addColumn<qint16>("threshold");
        QTest::addColumn<QList<int>>("pollTicks");
        // The counter starts at 10: with 30 the first poll waits for tick 22.
        QTest::newRow("30") << qint16(30) << QList<int>{22, 53, 84};
        QTest::newRow("6") << qint16(6) << QList<int>{1, 8, 15, 22};
    }

    void cadence()
    {
        QFETCH(qint16, threshold);
        QFETCH(QList<int>, pollTicks);
        RecordingActions actions;
        UpdateTimer timer(actions);
        timer.PollThreshold = threshold;
        QList<int> polled;
        for (int tick = 1; tick <= pollTicks.last(); ++tick) {
            const qsizetype before = actions.calls.size();
            timer.tick();
            if (actions.calls.size() > before)
                polled << tick;
        }
        QCOMPARE(polled, pollTicks);
    }

    void dispatch_data()
    {
        QTest::addColumn<qint16>("code");
        QTest::addColumn<bool>("mainWindow");
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("flag");
        QTest::addColumn<QStringList>("expected");
        const QStringList none, checks{"listchecks"};
        QTest::newRow("1 users") << qint16(1) << true << "GRP" << "" << false << QStringList{"poll"};
        QTest::newRow("1 watch list") << qint16(1) << true << "NTF" << "" << false << QStringList{"poll"};
        QTest::newRow("1 search results") << qint16(1) << true << "SRH" << "" << false << QStringList{"poll"};
        QTest::newRow("1 users, no window") << qint16(1) << false << "GRP" << "" << false << none;
        QTest::newRow("1 resource") << qint16(1) << true << "RSG" << "RES7" << false
                                    << QStringList{"reservations RES7 Room 1", "listchecks"};
        QTest::newRow("1 user item in resource view") << qint16(1) << true << "RSG" << "USR7" << false << checks;
        QTest::newRow("1 nothing selected") << qint16(1) << true << "RSG" << "" << false << checks;
        QTest::newRow("1 other view") << qint16(1) << true << "CTL" << "" << false << checks;
        QTest::newRow("2 due") << qint16(2) << true << "GRP" << "" << true << QStringList{"done", "markout"};
        QTest::newRow("2 not due") << qint16(2) << true << "GRP" << "" << false << none;
        QTest::newRow("3") << qint16(3) << false << "GRP" << "" << true << none;
        QTest::newRow("4 calendar here") << qint16(4) << true << "GRP" << "" << true << QStringList{"mystatus", "checks"};
        QTest::newRow("4 calendar elsewhere") << qint16(4) << true << "GRP" << "" << false << QStringList{"mystatus"};
        QTest::newRow("4 no window") << qint16(4) << false << "GRP" << "" << true << none;
    }

    void dispatch()
    {
        QFETCH(qint16, code);
        QFETCH(bool, mainWindow);
        QFETCH(QString, view);
        QFETCH(QString, selected);
        QFETCH(bool, flag);
        QFETCH(QStringList, expected);
        RecordingActions actions;
        actions.code = code;
        actions.mainWindow = mainWindow;
        actions.view = view;
        actions.selectedKey = selected;
        actions.flag = flag;
        UpdateTimer timer(actions);
        timer.PollThreshold = 0;
        timer.tick(); // counter 10 > 0: this tick polls
        QCOMPARE(actions.calls, QStringList{"ask"} + expected);
        QCOMPARE(timer.pollCounter(), qint16(1));
    }

    void tickDuringPollDoesNothing()
    {
        RecordingActions actions;
        actions.code = 1;
        UpdateTimer timer(actions);
        timer.PollThreshold = 0;
        actions.duringPoll = [&] { timer.tick(); };
        timer.tick();
        QCOMPARE(actions.calls, (QStringList{"ask", "poll"}));
        QCOMPARE(timer.pollCounter(), qint16(1));
        actions.duringPoll = nullptr;
        timer.tick();
        QCOMPARE(actions.calls.size(), 4); // polling again once the poll is over
    }

    void failedStepIsLoggedAndNextRuns()
    {
        TestEnvironment env;
        RecordingActions actions;
        actions.flag = true;
        actions.failOwnStatus = true;
        UpdateTimer(actions).dispatch(4);
        QCOMPARE(actions.calls, (QStringList{"mystatus", "checks"}));
        const QString log = readTextFile(env.path("logs/error.log"));
        QVERIFY2(log.contains("frmSysTray.tmUpdateTimer") && log.contains("locked"), qPrintable(log));
    }
};

QTEST_GUILESS_MAIN(tst_UpdateTimer)
#include "tst_UpdateTimer.moc"
