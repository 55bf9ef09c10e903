#include "StatusFakes.h"
#include "TestSupport.h"
#include "app/ISplash.h"
#include "app/MStartUp.h"
#include "foundation/CEntity.h"
#include "foundation/CStatus.h"
#include "foundation/Globals.h"
#include "messaging/CMCastWindow.h"
#include "messaging/MCastBus.h"
#include "messaging/MCastProtocol.h"
#include "platform/AppError.h"
#include "status/CClientHnd.h"
#include "status/IconArt.h"
#include "tray/CheckInPopup.h"
#include "tray/IUpdateTimerActions.h"
#include "tray/MessageWindows.h"
#include "tray/NoticePlacement.h"
#include "tray/NoticeStack.h"
#include "tray/TrayCommands.h"
#include "tray/TrayIconLoader.h"
#include "tray/TrayIconRules.h"
#include "tray/TrayMenu.h"
#include "tray/UpdateTimer.h"
#include "tray/frmInstantMessage.h"
#include "tray/frmSysTray.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>
#include <functional>

namespace {

QStringList tags(const QList<TrayMenuItem> &items)
{
    QStringList result;
    for (const TrayMenuItem &item : items)
        result << item.tag;
    return result;
}

QAction *actionTagged(QMenu *menu, const QString &tag)
{
    for (QAction *action : menu->actions()) {
        if (action->data().toString() == tag)
            return action;
        if (QAction *inner = action->menu() ? actionTagged(action->menu(), tag) : nullptr)
            return inner;
    }
    return nullptr;
}

// Counts the close-downs by their first step.
struct CountingProgress : ISplash
{
    explicit CountingProgress(int &count) : closeDowns(count) {}
    void showWindow() override {}
    void hideWindow() override {}
    void setStatusText(const QString &text) override { closeDowns += text == "Updating Status..." ? 1 : 0; }
    int &closeDowns;
};

class TimerTray : public StubTrayWindow
{
public:
    void setUpdateTimerEnabled(bool on) override { timer << on; }
    bool isUpdateTimerEnabled() const override { return !timer.isEmpty() && timer.last(); }
    QList<bool> timer;
};

// What the stand-in below answers; the flag is both "mark-out due" and "calendar read here".
struct Setup
{
    qint16 code;
    bool mainWindow;
    QString view, selectedKey;
    bool flag;
};

// Answers from its setup and writes every action into calls.
class RecordingActions : public IUpdateTimerActions
{
public:
    explicit RecordingActions(const Setup &given = {3, true, "GRP", "", false}) : setup(given) {}
    qint16 canPollDatabase() override { calls << "ask"; return setup.code; }
    bool hasMainWindow() const override { return setup.mainWindow; }
    QString viewType() const override { return setup.view; }
    void refreshUserList(bool checksOnly) override
    {
        calls << (checksOnly ? "checks" : "poll");
        if (duringPoll)
            duringPoll();
    }
    void runListChecks() override { calls << "listchecks"; }
    bool selectedListItem(CEntity &item) const override
    {
        item.setKey(setup.selectedKey);
        item.Name = "Room 1";
        return !setup.selectedKey.isEmpty();
    }
    void refreshReservations(const CEntity &r) override { calls << "reservations " + r.Key() + ' ' + r.Name; }
    bool needToDoMarkout() const override { return setup.flag; }
    void markOutDone() override { calls << "done"; }
    void markAllUsersOut() override { calls << "markout"; }
    void checkMyStatus() override
    {
        calls << "mystatus";
        if (failOwnStatus)
            throw AppError(ErrNo::Busy, "CClientHnd.CheckMyStatus", "locked");
    }
    bool calendarInProcess() const override { return setup.flag; }

    Setup setup;
    bool failOwnStatus = false;
    std::function<void()> duringPoll;
    QStringList calls;
};

// A copy's senders on an in-memory group; what it sent is read back decoded.
struct Sender
{
    MCastBus bus;
    CMCastWindow window;
    qint32 lastSeq = 0;
    MessageWindows windows{[this] { return protocol.get(); }};
    std::unique_ptr<MCastProtocol> protocol =
        std::make_unique<MCastProtocol>(window, lastSeq, bus.attach(), windows);

    QStringList sent() const
    {
        QStringList result;
        for (const QByteArray &datagram : bus.sent())
            result << QString::fromUtf8(datagram.left(1));
        return result;
    }
};

QList<frmDialog *> notices()
{
    QList<frmDialog *> result;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *notice = qobject_cast<frmDialog *>(widget); notice && !notice->isLeaving())
            result << notice;
    return result;
}

} // namespace

Q_DECLARE_METATYPE(Setup)

class tst_SysTray : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        g_colCustomStatus.clear();
        NoticeStack::instance().availableGeometry = [] { return QRect(0, 0, 1280, 994); };
        g_oCurrentUser.RealName = QStringLiteral("Ada");
    }
    void cleanup() { qDeleteAll(notices()); }

    void customStatusMenus()
    {
        TestEnvironment env;
        g_colCustomStatus = {{"Training", "X01", "I", ""}, {"Board", "X02", "M", ""}, {"Reception", "X03", "I", ""}};
        TrayMenu menu;
        menu.populateMenuStrings();
        menu.loadCustomStatusMenus(g_colCustomStatus);
        menu.loadCustomStatusMenus(g_colCustomStatus); // a reload replaces, never adds
        QVERIFY(menu.statusItems()[TrayMenu::InMore].visible && !menu.statusItems()[TrayMenu::OutMore].visible);
        QCOMPARE(tags(*menu.subMenu(TrayMenu::InMore)), (QStringList{"INN", "X01", "X03"}));
        QCOMPARE(tags(*menu.subMenu(TrayMenu::Meeting)), (QStringList{"MTG", "MTA", "MTD", "MTO", "MTT", "X02"}));
        menu.loadCustomStatusMenus({});
        QVERIFY(!menu.statusItems()[TrayMenu::InMore].visible && menu.subMenu(TrayMenu::InMore)->size() == 1);

        // In the tray window the entries that open a sub-menu change nothing.
        frmSysTray tray;
        QStringList changed;
        tray.changeStatus = [&](const QString &code) { changed << code; };
        tray.loadCustomStatusMenus();
        for (const char *tag : {"QINN", "QMTG", "LNC", "X01", "X02", "MTA"})
            actionTagged(tray.mnuSysTray(), tag)->trigger();
        QCOMPARE(changed, (QStringList{"LNC", "X01", "X02", "MTA"}));
    }

    void tipsAndPictures()
    {
        TestEnvironment env;
        g_colCustomStatus = {{"  Offsite " + QString(70, u'w'), "X01", "O", "ICOcopier"}, {"Plain", "X02", "I", ""}};
        const QString tip = TrayIconRules::toolTip("X01");
        QCOMPARE(tip.size(), 63); // the tray's 64 characters hold the closing NUL too
        QVERIFY(tip.startsWith("Qel - Offsite www"));
        QCOMPARE(QStringList({TrayIconRules::iconName("X01"), TrayIconRules::iconName("X02"),
                              TrayIconRules::iconName("X77")}), // the last not loaded
                 QStringList({"ICOcopier", "Qel", "OUT"}));
        // The tray shows the pictures of the main window's list (each status's own: tst_ImageLists).
        for (const char *name : {"INN", "LNC", "MTA", "VAC", "Qel", "ICOcopier"})
            QCOMPARE(TrayIconLoader::load(name, {}, {}).pixmap(32).toImage(), IconArt::picture(name, 32).toImage());

        frmSysTray tray;
        tray.RefreshIcon("LNC");
        QCOMPARE(tray.trayToolTip(), QStringLiteral("Qel - Lunch Break"));
    }

    void iconFilesFromTheIconFolder()
    {
        QTemporaryDir program;
        const QString dir = program.path();
        QDir(dir).mkpath("icons");
        QImage picture(32, 32, QImage::Format_ARGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(dir + "/icons/copier.ico", "ICO"));
        QVERIFY(picture.save(dir + "/escaped.ico", "ICO"));

        // An empty icon_home means the icons folder beside the program.
        QCOMPARE(TrayIconRules::iconFilePath("ICOcopier", "", dir), dir + "/icons/copier.ico");
        QVERIFY(TrayIconLoader::load("ICOcopier", "", dir).availableSizes().contains(QSize(16, 16)));
        QVERIFY(TrayIconLoader::load("ICOmissing", "", dir).isNull());
        // Names that could reach outside the folder are refused, even where the file is there.
        QVERIFY(TrayIconLoader::load("ICO../escaped", "", dir).isNull());
        for (const char *name : {"ICOa/b", "ICOa\\b", "ICO"})
            QVERIFY2(TrayIconRules::iconFilePath(name, "", dir).isEmpty(), name);

        QCOMPARE(TrayIconRules::iconFolder("/srv/qel\\icons\\", "/opt/qel"), QStringLiteral("/srv/qel/icons/"));
        for (const char *elsewhere : {"C:\\Qel\\icons\\", "\\\\server\\icons"}) // folders of another system
            QCOMPARE(TrayIconRules::iconFolder(elsewhere, "/opt/qel"), QStringLiteral("/opt/qel/icons/"));
    }

    void restoreBringsTheWindowBack()
    {
        TestEnvironment env;
        env.useSqliteDatabase();
        FakeMainWindow *window = nullptr;
        g_uiFactory.mainWindow = [&] {
            auto made = std::make_unique<FakeMainWindow>();
            made->visible = false;
            window = made.get();
            return std::unique_ptr<IMainWindow>(std::move(made));
        };
        auto *tray = new TimerTray;
        g_frmSysTray.reset(tray);
        g_fInTray = IMainWindow::Maximised;

        TrayCommands::restoreMainWindow(*tray);
        QVERIFY(window && g_frmMain.get() == window && window->visible && window->state == IMainWindow::Maximised);
        QCOMPARE(window->clicked.last(), g_sCurrentNodeKey + '!');
        QCOMPARE(tray->timer, (QList<bool>{false, true})); // stopped by the initialisation, started again

        // Sent to the tray minimised, it comes back where it can be seen.
        g_fInTray = window->state = IMainWindow::Minimised;
        TrayCommands::restoreMainWindow(*tray);
        QCOMPARE(window->state, int(IMainWindow::Normal));

        g_frmMain.reset();
        g_frmSysTray.reset();
        g_uiFactory.mainWindow = nullptr;
        g_fInTray = 0;
    }

    void exitClosesDownOnce()
    {
        TestEnvironment env;
        int closeDowns = 0;
        g_uiFactory.closeProgress = [&] { return std::unique_ptr<ISplash>(std::make_unique<CountingProgress>(closeDowns)); };
        {
            frmSysTray tray; // not in g_frmSysTray, so the close-down leaves it to us
            QAction *exitAction = tray.mnuSysTray()->actions().last();
            QVERIFY_THROWS_EXCEPTION(ProgramEnded, exitAction->trigger());
            // A second Exit and the tray window's own unload find it under way.
            exitAction->trigger();
            tray.close();
        }
        QCOMPARE(closeDowns, 1);
        g_uiFactory.closeProgress = nullptr;
        ResetCloseDownForTests();
    }

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
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QStringList>("expected");
        const QStringList none, poll{"poll"}, checks{"listchecks"};
        QTest::newRow("1 users") << Setup{1, true, "GRP", "", false} << poll;
        QTest::newRow("1 watch list") << Setup{1, true, "NTF", "", false} << poll;
        QTest::newRow("1 search results") << Setup{1, true, "SRH", "", false} << poll;
        QTest::newRow("1 users, no window") << Setup{1, false, "GRP", "", false} << none;
        QTest::newRow("1 resource") << Setup{1, true, "RSG", "RES7", false}
                                    << QStringList{"reservations RES7 Room 1", "listchecks"};
        QTest::newRow("1 other view") << Setup{1, true, "CTL", "", false} << checks;
        QTest::newRow("2 due") << Setup{2, true, "GRP", "", true} << QStringList{"done", "markout"};
        QTest::newRow("3") << Setup{3, false, "GRP", "", true} << none;
        QTest::newRow("4 calendar here") << Setup{4, true, "GRP", "", true} << QStringList{"mystatus", "checks"};
        QTest::newRow("4 calendar elsewhere") << Setup{4, true, "GRP", "", false} << QStringList{"mystatus"};
    }
    void dispatch()
    {
        QFETCH(Setup, setup);
        QFETCH(QStringList, expected);
        RecordingActions actions(setup);
        UpdateTimer timer(actions);
        timer.PollThreshold = 0;
        timer.tick(); // counter 10 > 0: this tick polls
        QCOMPARE(actions.calls, QStringList{"ask"} + expected);
        QCOMPARE(timer.pollCounter(), qint16(1));
    }

    void tickDuringPollDoesNothing()
    {
        RecordingActions actions({1, true, "GRP", "", false});
        UpdateTimer timer(actions);
        timer.PollThreshold = 0;
        actions.duringPoll = [&] { timer.tick(); };
        timer.tick();
        QCOMPARE(actions.calls, (QStringList{"ask", "poll"}));
        actions.duringPoll = nullptr;
        timer.tick();
        QCOMPARE(actions.calls.size(), 4); // polling again once the poll is over
    }

    void failedStepIsLoggedAndNextRuns()
    {
        TestEnvironment env;
        RecordingActions actions({3, true, "GRP", "", true});
        actions.failOwnStatus = true;
        UpdateTimer(actions).dispatch(4);
        QCOMPARE(actions.calls, (QStringList{"mystatus", "checks"}));
        const QString log = readTextFile(env.path("logs/error.log"));
        QVERIFY2(log.contains("frmSysTray.tmUpdateTimer") && log.contains("locked"), qPrintable(log));
    }

    // Work area 1280 x 994 at the top of the screen; the notice 230 x 152. The
    // slots stacked above and how many fit are the eight notices' below.
    void placement()
    {
        const auto path = [](const QRect &tray, int slot) {
            const auto p = NoticePlacement::path(QRect(0, 0, 1280, 994), tray, QSize(230, 152), slot);
            return QList<QPoint>{p.from, p.to};
        };
        QCOMPARE(path(QRect(), 0), (QList<QPoint>{{1024, 994}, {1024, 842}})); // no icon: bottom right
        QCOMPARE(path(QRect(4, 4, 22, 22), 1), (QList<QPoint>{{26, -152}, {26, 152}})); // icon top left
        QCOMPARE(NoticePlacement::capacity(QRect(0, 0, 800, 400), QSize(230, 152)), 2);
    }

    void eightNoticesLeaveFiveApart()
    {
        MessageWindows windows([] { return nullptr; });
        for (int i = 1; i <= 8; ++i)
            windows.notify(QStringLiteral("Qel"), QStringLiteral("Notice %1").arg(i), true);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const auto texts = [] {
            QStringList shown;
            for (QWidget *widget : NoticeStack::instance().shown())
                shown << widget->findChild<QLabel *>("lblMessage")->text() + ' ' + QString::number(widget->y());
            return shown;
        };
        // Where the slides end.
        QTRY_COMPARE_WITH_TIMEOUT(texts(), QStringList({"Notice 6 842", "Notice 7 690", "Notice 8 538", "Notice 4 386",
                                                        "Notice 5 234"}),
                                  stretched(5000));
        QCOMPARE(notices().size(), 5);
    }

    void droppedMidSlideOrFromItsOwnClickKeptOnAFailedCheckIn()
    {
        QPointer<frmDialog> mid;
        {
            CheckInPopup popup;
            mid = popup.notice();
            popup.display();
            QTest::qWait(50);
            popup.undisplay();
        }
        QTRY_VERIFY_WITH_TIMEOUT(!mid, stretched(5000));
        auto *notice = new frmDialog;
        QPointer<frmDialog> clicked = notice;
        notice->display();
        notice->findChild<QPushButton *>("imgClose")->click();
        notice->undisplay();
        QTRY_VERIFY_WITH_TIMEOUT(!clicked, stretched(5000));

        // A check-in that fails keeps the notice.
        TestDatabase db(false, QStringLiteral("checkin"), false); // no tables: the change fails
        g_oClientHnd = std::make_unique<CClientHnd>();
        CheckInPopup popup;
        popup.setCheckIn();
        popup.display();
        popup.notice()->findChild<QPushButton *>("imgCheckIn")->click();
        QVERIFY(!popup.notice()->isLeaving());
        QVERIFY(readTextFile(db.env.path("logs/error.log")).contains("frmDialog.imgCheckIn_Click"));
        g_oClientHnd.reset();
    }

    // Join and leave, by the room, the close box and Leave; a typing notice every fifteen keys.
    void joinLeaveTheCloseBoxAndTyping()
    {
        Sender ada;
        frmChat &chat = ada.windows.chat();
        chat.joinRoom(QString());
        QVERIFY(chat.roomId().isEmpty());
        chat.joinRoom(QStringLiteral("Bruno1"));
        chat.joinRoom(QStringLiteral("Bruno1"));
        QCOMPARE(ada.sent(), QStringList({"j"}));
        chat.appendMessage("Bruno", "hello");
        chat.joinRoom(QStringLiteral("Chiara2"));
        QCOMPARE(ada.sent(), QStringList({"j", "l", "j"}));
        QCOMPARE(chat.findChild<QTextEdit *>("RichTextBox1")->toPlainText(), QString());
        chat.close();
        QCOMPARE(ada.sent(), QStringList({"j", "l", "j", "l"}));
        QVERIFY(chat.roomId().isEmpty());
        chat.openRoom(QStringLiteral("Ada9"));
        auto *line = chat.findChild<QLineEdit *>("txtMessage");
        QTest::keyClicks(line, QString(14, u'x'));
        QCOMPARE(ada.sent().count("w"), 0);
        QTest::keyClick(line, 'x');
        QCOMPARE(ada.sent().count("w"), 1);
        QTest::keyClicks(line, QString(15, u'x'));
        QCOMPARE(ada.sent().count("w"), 2);
        chat.findChild<QPushButton *>("cmdLeave")->click();
        QCOMPARE(ada.sent().last(), QStringLiteral("l"));
        QVERIFY(chat.roomId().isEmpty() && !chat.isVisible());
    }

    void membersAndTheHeldStatusLine()
    {
        frmChat chat([] { return nullptr; });
        auto *members = chat.findChild<QListWidget *>("lstMembers");
        auto *status = chat.findChild<QLabel *>("lblStatus");
        chat.join("Bruno");
        chat.join("Bruno");
        chat.join("bruno");
        QCOMPARE(members->count(), 2);
        chat.Timer1_Timer();
        QCOMPARE(status->text(), QStringLiteral("bruno has joined the Chat Room"));
        chat.Timer1_Timer();
        QCOMPARE(status->text(), QStringLiteral("Qel Chat Room"));
        members->addItem("Bruno");
        chat.leave("Bruno");
        QCOMPARE(members->count(), 1);
        QCOMPARE(status->text(), QStringLiteral("Bruno has left the Chat Room"));
    }

    void instantMessage()
    {
        TestEnvironment env;
        Sender ada;
        frmInstantMessage &dialog = ada.windows.instantMessage();
        dialog.setRecipientList(QStringLiteral("/5/17/"));
        QCOMPARE(dialog.findChild<QLabel *>("lblTo")->text(), QStringLiteral("Send to 2 Qel users"));
        dialog.findChild<QPlainTextEdit *>("txtMessage")->setPlainText("   ");
        dialog.cmdOK_Click();
        QCOMPARE(env.prompt.asked.value(0).text, QStringLiteral("Please enter your message."));
        QVERIFY(ada.sent().isEmpty());
        dialog.findChild<QPlainTextEdit *>("txtMessage")->setPlainText(QString(4100, u'a'));
        QCOMPARE(dialog.findChild<QPlainTextEdit *>("txtMessage")->toPlainText().size(), 4000);
        dialog.cmdOK_Click();
        QCOMPARE(ada.sent(), QStringList({"m"}));
        QCOMPARE(env.prompt.asked.value(1).text, QStringLiteral("Your instant message has been sent."));
    }
};

QTEST_MAIN(tst_SysTray)
#include "tst_SysTray.moc"
