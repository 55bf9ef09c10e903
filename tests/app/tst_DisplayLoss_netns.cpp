#include "SanitizerBounds.h"
#include "TestDatabase.h"
#include "foundation/SystemUserName.h"
#include "platform/ChildProcesses.h"
#include "platform/SettingsKeys.h"

#include <QProcess>
#include <QtTest>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

// The real program on a virtual X server that goes away under it, as when a
// session is killed or a remote display drops, or sent the signals that end
// a session.
class tst_DisplayLoss : public QObject
{
    Q_OBJECT

private slots:
    // Orphans come to the test instead of the system's first process, so that
    // whatever the program leaves running is seen.
    void initTestCase() { QCOMPARE(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0); }

    // However the session ends under the program (a signal of the session's
    // end, the display going, both in either order) once the board is up,
    // the close-down ends it: the user's on-exit choice "set OUT" written,
    // every process it started ended (a phone message's mail command and
    // what that left running, or the web pane's page reader), and the debug
    // log saying how it ended. In the
    // options dialog that signs a new user in, before the board is up, the
    // display's end ends the program as Qt does. Two SIGTERMs 1 ms apart do
    // not cut the close-down short; nor does the mail command's time-out
    // falling inside it (the database held by another copy for a moment
    // keeps the close-down waiting across it): what its box would say goes
    // to the debug log.
    void theProgramEndsInOrderWhenItsSessionEnds_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QByteArray>("shown");
        QTest::addColumn<int>("signalNumber"); // 0: none
        QTest::addColumn<int>("displayGoesMs"); // after the signal; -1: it stays
        QTest::addColumn<bool>("twice");
        QTest::addColumn<bool>("mailing");
        QTest::addColumn<bool>("atMailTimeOut");
        QTest::addColumn<QString>("ending"); // the debug log's line; empty: no close-down
        const QString me = SystemUserName().toUpper();
        const QByteArray board("Ada L");
        const QString displayGone = QStringLiteral("The display has gone");
        QTest::newRow("the board, the display goes") << me << board << 0 << 0 << false << false << false << displayGone;
        QTest::newRow("a new user's options, the display goes")
            << QStringLiteral("SOMEONE ELSE") << QByteArray("Add User") << 0 << 0 << false << false << false
            << QString();
        QTest::newRow("the board, SIGTERM") << me << board << int(SIGTERM) << -1 << false << false << false
                                            << QStringLiteral("The session ended (SIGTERM)");
        QTest::newRow("the board, SIGHUP") << me << board << int(SIGHUP) << -1 << false << false << false
                                           << QStringLiteral("The session ended (SIGHUP)");
        QTest::newRow("mailing, SIGINT") << me << board << int(SIGINT) << -1 << false << true << false
                                         << QStringLiteral("The session ended (SIGINT)");
        QTest::newRow("mailing, SIGQUIT") << me << board << int(SIGQUIT) << -1 << false << true << false
                                          << QStringLiteral("The session ended (SIGQUIT)");
        QTest::newRow("mailing, two SIGTERMs") << me << board << int(SIGTERM) << -1 << true << true << false
                                               << QStringLiteral("The session ended (SIGTERM)");
        QTest::newRow("mailing, SIGTERM and the display at once")
            << me << board << int(SIGTERM) << 0 << false << true << false << QStringLiteral("Closing down");
        QTest::newRow("mailing, SIGTERM, the display 0.3 s later")
            << me << board << int(SIGTERM) << 300 << false << true << false << QStringLiteral("Closing down");
        QTest::newRow("mailing, SIGTERM as the mail time-out's box is due")
            << me << board << int(SIGTERM) << -1 << false << true << true
            << QStringLiteral("Not shown during the close-down: \"E-mail\": The message could not be sent: the mail "
                              "command \"%1 -t -i\" did not answer in time");
    }
    void theProgramEndsInOrderWhenItsSessionEnds()
    {
        QFETCH(QString, login);
        QFETCH(QByteArray, shown);
        QFETCH(int, signalNumber);
        QFETCH(int, displayGoesMs);
        QFETCH(bool, twice);
        QFETCH(bool, mailing);
        QFETCH(bool, atMailTimeOut);
        QFETCH(QString, ending);
        for (const char *tool : {"Xvfb", "xwininfo", "xdotool"})
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                QSKIP("Xvfb, xwininfo or xdotool is not installed");
        TestDatabase db(false, QString());
        db.exec("INSERT INTO STAFF_STATUS (UserID, RealName, IsIn, LastUpdated, IsActive, Email) "
                "VALUES (1, 'Ada L', 'INN', 1, 1, 'ada@example.org')");
        // A double click on a row writes a phone message.
        db.exec("INSERT INTO STAFF_OPTIONS (UserID, LoginName, WorkStartTime, OnClose, OnListDblClick) "
                "VALUES (1, ?, '09:00:00', 1, 2)",
                {login});
        db.exec("INSERT INTO UserGroup (UserID, GroupID) VALUES (1, 3)");
        SettingsKeys::DefaultBranch.write(QStringLiteral("NOD3")); // the board opens on a list that shows her
        // A page in the web pane, served here: the tree's last node.
        db.exec("INSERT INTO TreeNode (ID, ParentID, Name, NodeType, URL) "
                "VALUES (60, 0, 'Intranet', 'WEB', 'http://127.0.0.1:8111/')");
        QVERIFY(QDir().mkpath(db.env.path(QStringLiteral("web"))));
        QVERIFY(saveFile(db.env.path(QStringLiteral("web/index.html")), "<html><body><h1>News</h1></body></html>"));
        QProcess web;
        web.setWorkingDirectory(db.env.path(QStringLiteral("web")));
        web.start("python3", {"-m", "http.server", "--bind", "127.0.0.1", "8111"});
        QVERIFY(web.waitForStarted());
        // Takes the message and runs on, leaving a process of its group
        // whose parent is gone.
        const QString mailCommand = writeScript(db.env.path(QStringLiteral("slow-sendmail")),
                                                "cat > \"$0.mail\"\n(sleep 60 &)\ntouch \"$0.running\"\nsleep 60\n");
        SettingsKeys::SendmailCommand.write(mailCommand + QStringLiteral(" -t -i"));
        if (ending.contains(QLatin1String("%1")))
            ending = ending.arg(mailCommand);
        // Its debug log is written beside it: here, not beside the build's.
        const QString program = db.env.path(QStringLiteral("tessaly"));
        // A plain user may not link to a file of another's: a copy then.
        QVERIFY(::link(TESSALY_PROGRAM, QFile::encodeName(program).constData()) == 0
                || QFile::copy(QStringLiteral(TESSALY_PROGRAM), program));
        // The text pane starts its page reader from the program's folder.
        QVERIFY(QFile::link(QStringLiteral(TESSALY_PAGEREADER), db.env.path(QStringLiteral("tessaly-pagereader"))));

        QProcess server;
        server.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
        QTRY_VERIFY_WITH_TIMEOUT(server.canReadLine(), 30000 * kSanitizerStretch);
        const QString display = u':' + QString::fromLatin1(server.readLine().trimmed());
        QProcess tessaly;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", display);
        environment.insert("QT_QPA_PLATFORM", "xcb");
        tessaly.setProcessEnvironment(environment);
        tessaly.setProcessChannelMode(QProcess::ForwardedChannels);
        // As from a terminal: Ctrl-C and Ctrl-\ end it, whatever this test took over.
        tessaly.setChildProcessModifier([] {
            std::signal(SIGINT, SIG_DFL);
            std::signal(SIGQUIT, SIG_DFL);
        });
        tessaly.start(program);
        const auto onScreen = [&](const QByteArray &caption) {
            QProcess windows;
            windows.start("xwininfo", {"-display", display, "-root", "-tree"});
            return windows.waitForFinished() && windows.readAllStandardOutput().contains(caption);
        };
        QTRY_VERIFY_WITH_TIMEOUT(onScreen(shown) || tessaly.state() == QProcess::NotRunning, 60000 * kSanitizerStretch);
        QCOMPARE(tessaly.state(), QProcess::Running);

        QElapsedTimer mailRunning;
        if (mailing) {
            sendPhoneMessage(environment, [&] { return onScreen("Phone Message For Ada L"); }, mailCommand);
            if (QTest::currentTestFailed())
                return;
            mailRunning.start();
        }
        // The phone message's form stays up while its command runs, over the
        // board's tree: the page is opened on the board's rows without one.
        if (login == SystemUserName().toUpper() && !mailing) {
            openWebPage(environment, pid_t(tessaly.processId()));
            if (QTest::currentTestFailed())
                return;
        }
        QProcess otherCopy;
        if (atMailTimeOut) {
            holdDatabaseAcross(otherCopy, mailRunning);
            if (QTest::currentTestFailed())
                return;
        }
        if (signalNumber) {
            QCOMPARE(::kill(pid_t(tessaly.processId()), signalNumber), 0);
            if (twice) {
                ::usleep(1000);
                QCOMPARE(::kill(pid_t(tessaly.processId()), signalNumber), 0);
            }
        }
        if (displayGoesMs >= 0) {
            ::usleep(useconds_t(displayGoesMs) * 1000);
            server.kill();
        }
        QVERIFY(tessaly.waitForFinished(60000 * kSanitizerStretch));
        otherCopy.waitForFinished();
        const QString log = readTextFile(db.env.path(QStringLiteral("debug.log")));
        const bool closedDown = !ending.isEmpty();
        QVERIFY2(log.contains(ending), qPrintable(log.right(2000)));
        QCOMPARE(log.contains(QStringLiteral("Closing down (unload mode 2)")), closedDown);
        QCOMPARE(tessaly.exitStatus(), QProcess::NormalExit); // nothing torn down in the wrong order
        QCOMPARE(tessaly.exitCode(), closedDown ? 0 : 1); // as the close-down ends it, or as Qt does
        QCOMPARE(log.contains(QStringLiteral("Close Down Complete")), closedDown);
        QCOMPARE(log.contains(QStringLiteral("The on-exit status is set")), closedDown);
        if (login == SystemUserName().toUpper())
            QCOMPARE(db.value("SELECT IsIn FROM STAFF_STATUS WHERE UserID = 1").toString().trimmed(),
                     QLatin1String(closedDown ? "OUT" : "INN"));
        server.kill();
        server.waitForFinished();
        web.kill();
        web.waitForFinished();
        QTRY_COMPARE(ChildProcesses::countDescendants(::getpid()), 0);
    }

private:
    // A click on the tree's last node (the board opens at the screen's
    // corner, its tree as the standard nodes leave it): the pane shows the
    // page through a process of its own (the page reader, or the web
    // engine's), the program's first. The tree may still be filling when the
    // window shows: clicked again every few seconds until the page is there.
    void openWebPage(const QProcessEnvironment &environment, pid_t tessaly)
    {
        QTRY_COMPARE_WITH_TIMEOUT(ChildProcesses::countDescendants(tessaly), 0, 10000 * kSanitizerStretch);
        QElapsedTimer sinceClick;
        bool clickFailed = false;
        const auto shown = [&] {
            if (ChildProcesses::countDescendants(tessaly) > 0)
                return true;
            if (!sinceClick.isValid() || sinceClick.elapsed() > 3000 * kSanitizerStretch) {
                sinceClick.start();
                QProcess click;
                click.setProcessEnvironment(environment);
                click.start("xdotool", {"mousemove", "30", "148", "click", "1"});
                clickFailed = !click.waitForFinished(30000) || click.exitCode() != 0;
            }
            return clickFailed;
        };
        QTRY_VERIFY_WITH_TIMEOUT(shown(), 60000 * kSanitizerStretch);
        QVERIFY(!clickFailed);
    }

    // Another copy holds the database's write lock from 27 s after the mail
    // command started until 31 s: the close-down's tries to store the status
    // wait it out, the mail command's 30 s run out meanwhile, and its time-out
    // comes as soon as the close-down's next step lets events run.
    void holdDatabaseAcross(QProcess &holder, const QElapsedTimer &mailRunning)
    {
        QTest::qWait(int(qMax<qint64>(0, 27000 - mailRunning.elapsed())));
        holder.start("python3", {"-c",
                                 "import sqlite3, sys, time\n"
                                 "c = sqlite3.connect(sys.argv[1], isolation_level=None)\n"
                                 "c.execute('BEGIN IMMEDIATE')\n"
                                 "print('held', flush=True)\n"
                                 "time.sleep(float(sys.argv[2]) / 1000)\n"
                                 "c.execute('COMMIT')\n",
                                 SettingsKeys::DatabaseServer.read(), QString::number(31000 - mailRunning.elapsed())});
        QTRY_VERIFY_WITH_TIMEOUT(holder.canReadLine(), 10000 * kSanitizerStretch);
        QCOMPARE(holder.readLine(), QByteArray("held\n"));
    }

    // As the user does it: a double click on her row (the board opens at the
    // screen's corner, 800 by 600, her row the list's first), a caller's name
    // typed in the form that opens, Enter. Returns once the mail command runs.
    void sendPhoneMessage(const QProcessEnvironment &environment, const std::function<bool()> &formShown,
                          const QString &mailCommand)
    {
        const auto xdotool = [&](const QString &commands) {
            QProcess tool;
            tool.setProcessEnvironment(environment);
            tool.start("sh", {"-c", commands});
            return tool.waitForFinished(30000) && tool.exitCode() == 0;
        };
        QVERIFY(xdotool(QStringLiteral("xdotool mousemove 245 176 click --repeat 2 1")));
        QTRY_VERIFY_WITH_TIMEOUT(formShown(), 20000);
        QVERIFY(xdotool(QStringLiteral("form=$(xdotool search --name 'Phone Message For') && "
                                       "xdotool windowfocus --sync $form && xdotool type Bob && xdotool key Return")));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(mailCommand + QStringLiteral(".running")), 20000);
        QVERIFY(readTextFile(mailCommand + QStringLiteral(".mail")).contains(QStringLiteral("Caller:Bob")));
    }
};

QTEST_GUILESS_MAIN(tst_DisplayLoss)
#include "tst_DisplayLoss_netns.moc"
