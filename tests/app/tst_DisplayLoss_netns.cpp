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
    void theProgramEndsCleanlyWhenItsDisplayGoes()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("xwininfo")).isEmpty())
            QSKIP("Xvfb or xwininfo is not installed");
        TestDatabase db(false, QString());
        db.exec(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, RealName, IsIn, LastUpdated, IsActive) "
                               "VALUES (1, 'Ada L', 'INN', 1, 1)"));
        db.exec(QStringLiteral("INSERT INTO STAFF_OPTIONS (UserID, LoginName, WorkStartTime) VALUES (1, ?, '09:00:00')"),
                {SystemUserName().toUpper()});
        db.exec(QStringLiteral("INSERT INTO UserGroup (UserID, GroupID) VALUES (1, 3)"));
        SettingsKeys::DefaultBranch.write(QStringLiteral("NOD3")); // the board opens on a list that shows her

        QProcess server;
        server.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                                              QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                                              QStringLiteral("1024x768x24")});
        QVERIFY(server.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(server.canReadLine(), 30000);
        const QString display = u':' + QString::fromLatin1(server.readLine().trimmed());

        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), display);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(QStringLiteral(TESSALY_PROGRAM));
        QVERIFY(program.waitForStarted());
        // The board is up when its caption names the user.
        const auto onScreen = [&] {
            QProcess tree;
            tree.start(QStringLiteral("xwininfo"), {QStringLiteral("-display"), display, QStringLiteral("-root"),
                                                    QStringLiteral("-tree")});
            tree.waitForFinished();
            return tree.readAllStandardOutput().contains("Ada L");
        };
        QTRY_VERIFY_WITH_TIMEOUT(onScreen() || program.state() == QProcess::NotRunning, 60000);
        QCOMPARE(program.state(), QProcess::Running);

        server.kill();
        QVERIFY(server.waitForFinished());
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit); // no signal: nothing torn down in the wrong order
    }
};

QTEST_GUILESS_MAIN(tst_DisplayLoss)
#include "tst_DisplayLoss_netns.moc"
