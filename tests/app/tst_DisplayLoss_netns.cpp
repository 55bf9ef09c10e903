#include "TestDatabase.h"
#include "foundation/SystemUserName.h"
#include "platform/SettingsKeys.h"

#include <QProcess>
#include <QtTest>

// The real program on a virtual X server that goes away under it, as when a
// session is killed or a remote display drops.
class tst_DisplayLoss : public QObject
{
    Q_OBJECT

private slots:
    // On the board, or in the options dialog that signs a new user in, a
    // modal dialog of the main window's own on the stack.
    void theProgramEndsWithoutASignalWhenItsDisplayGoes_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("the board") << SystemUserName().toUpper() << QByteArray("Ada L");
        QTest::newRow("a new user's options") << QStringLiteral("SOMEONE ELSE") << QByteArray("Add User");
    }
    void theProgramEndsWithoutASignalWhenItsDisplayGoes()
    {
        QFETCH(QString, login);
        QFETCH(QByteArray, shown);
        for (const char *tool : {"Xvfb", "xwininfo"})
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                QSKIP("Xvfb or xwininfo is not installed");
        TestDatabase db(false, QString());
        db.exec("INSERT INTO STAFF_STATUS (UserID, RealName, IsIn, LastUpdated, IsActive) VALUES (1, 'Ada L', 'INN', 1, 1)");
        db.exec("INSERT INTO STAFF_OPTIONS (UserID, LoginName, WorkStartTime) VALUES (1, ?, '09:00:00')",
                {login});
        db.exec("INSERT INTO UserGroup (UserID, GroupID) VALUES (1, 3)");
        SettingsKeys::DefaultBranch.write(QStringLiteral("NOD3")); // the board opens on a list that shows her

        QProcess server;
        server.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
        QTRY_VERIFY_WITH_TIMEOUT(server.canReadLine(), 30000);
        const QString display = u':' + QString::fromLatin1(server.readLine().trimmed());
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", display);
        environment.insert("QT_QPA_PLATFORM", "xcb");
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(TESSALY_PROGRAM);
        const auto onScreen = [&] { // a window's caption
            QProcess windows;
            windows.start("xwininfo", {"-display", display, "-root", "-tree"});
            return windows.waitForFinished() && windows.readAllStandardOutput().contains(shown);
        };
        QTRY_VERIFY_WITH_TIMEOUT(onScreen() || program.state() == QProcess::NotRunning, 60000);
        QCOMPARE(program.state(), QProcess::Running);

        server.kill();
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit); // nothing torn down in the wrong order
        QCOMPARE(program.exitCode(), 1); // as Qt ends it
    }
};

QTEST_GUILESS_MAIN(tst_DisplayLoss)
#include "tst_DisplayLoss_netns.moc"
