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

    // On the board, or in the options dialog that signs a new user in, a
    // modal dialog of the main window's own on the stack; or ended by a
    // signal of the session's end, the user's on-exit choice "set OUT": once,
    // or twice 1 ms apart while a phone message's mail command runs (the
    // second must not cut the close-down short).
    void theProgramEndsInOrderWhenItsSessionEnds_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QByteArray>("shown");
        QTest::addColumn<int>("signalNumber"); // 0: the display goes
        QTest::addColumn<bool>("twice");
        QTest::addColumn<bool>("mailing");
        const QString me = SystemUserName().toUpper();
        QTest::newRow("the board") << me << QByteArray("Ada L") << 0 << false << false;
        QTest::newRow("a new user's options") << QStringLiteral("SOMEONE ELSE") << QByteArray("Add User") << 0 << false
                                              << false;
        QTest::newRow("the board, SIGTERM") << me << QByteArray("Ada L") << int(SIGTERM) << false << false;
        QTest::newRow("the board, SIGHUP") << me << QByteArray("Ada L") << int(SIGHUP) << false << false;
        QTest::newRow("mailing, two SIGTERMs") << me << QByteArray("Ada L") << int(SIGTERM) << true << true;
    }
    void theProgramEndsInOrderWhenItsSessionEnds()
    {
        QFETCH(QString, login);
        QFETCH(QByteArray, shown);
        QFETCH(int, signalNumber);
        QFETCH(bool, twice);
        QFETCH(bool, mailing);
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
        // Takes the message and runs on, leaving a process of its group
        // whose parent is gone.
        const QString mailCommand = writeScript(db.env.path(QStringLiteral("slow-sendmail")),
                                                "cat > \"$0.mail\"\n(sleep 60 &)\ntouch \"$0.running\"\nsleep 60\n");
        SettingsKeys::SendmailCommand.write(mailCommand + QStringLiteral(" -t -i"));
        // Its debug log is written beside it: here, not beside the build's.
        const QString program = db.env.path(QStringLiteral("tessaly"));
        QCOMPARE(::link(TESSALY_PROGRAM, QFile::encodeName(program).constData()), 0);

        QProcess server;
        server.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
        QTRY_VERIFY_WITH_TIMEOUT(server.canReadLine(), 30000);
        const QString display = u':' + QString::fromLatin1(server.readLine().trimmed());
        QProcess tessaly;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", display);
        environment.insert("QT_QPA_PLATFORM", "xcb");
        tessaly.setProcessEnvironment(environment);
        tessaly.setProcessChannelMode(QProcess::ForwardedChannels);
        tessaly.start(program);
        const auto onScreen = [&](const QByteArray &caption) {
            QProcess windows;
            windows.start("xwininfo", {"-display", display, "-root", "-tree"});
            return windows.waitForFinished() && windows.readAllStandardOutput().contains(caption);
        };
        QTRY_VERIFY_WITH_TIMEOUT(onScreen(shown) || tessaly.state() == QProcess::NotRunning, 60000);
        QCOMPARE(tessaly.state(), QProcess::Running);

        if (mailing) {
            sendPhoneMessage(environment, [&] { return onScreen("Phone Message For Ada L"); }, mailCommand);
            if (QTest::currentTestFailed())
                return;
        }
        if (signalNumber) {
            QCOMPARE(::kill(pid_t(tessaly.processId()), signalNumber), 0);
            if (twice) {
                ::usleep(1000);
                QCOMPARE(::kill(pid_t(tessaly.processId()), signalNumber), 0);
            }
        } else {
            server.kill();
        }
        QVERIFY(tessaly.waitForFinished(60000));
        const QString log = readTextFile(db.env.path(QStringLiteral("debug.log")));
        QCOMPARE(log.contains(QStringLiteral("Closing down (unload mode 2)")), signalNumber != 0);
        QCOMPARE(tessaly.exitStatus(), QProcess::NormalExit); // nothing torn down in the wrong order
        QCOMPARE(tessaly.exitCode(), signalNumber ? 0 : 1); // as the close-down ends it, or as Qt does
        QCOMPARE(log.contains(QStringLiteral("Close Down Complete")), signalNumber != 0);
        if (login == SystemUserName().toUpper())
            QCOMPARE(db.value("SELECT IsIn FROM STAFF_STATUS WHERE UserID = 1").toString().trimmed(),
                     QLatin1String(signalNumber ? "OUT" : "INN"));
        server.kill();
        server.waitForFinished();
        QTRY_COMPARE(ChildProcesses::countDescendants(::getpid()), 0);
    }

private:
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
