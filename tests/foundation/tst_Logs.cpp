#include "TestSupport.h"
#include "foundation/LogFile.h"
#include "foundation/MErrorHandler.h"
#include "platform/Clock.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class tst_Logs : public QObject
{
    Q_OBJECT

private:
    static void pinClock() { Clock::pin(QDateTime(QDate(2004, 3, 5), QTime(14, 7, 9))); }

private Q_SLOTS:
    void cleanup()
    {
        Clock::unpin();
        CloseDebugLog();
        LogFile::limits = {};
    }

    void debugLogAppendsToEarlierRuns()
    {
        TestEnvironment env;
        const QString file = env.path(QStringLiteral("logs/debug.log"));
        {
            QFile earlier(file);
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.write("from an earlier run\n");
        }
        pinClock();
        WriteDebugLog(QStringLiteral("Starting"));
        Clock::advance(61 * 1000);
        WriteDebugLog(QStringLiteral("Sent s#!12#!"));
        CloseDebugLog();
        Clock::pin(QDateTime(QDate(2004, 12, 25), QTime(0, 5, 0)));
        WriteDebugLog(QStringLiteral("after close"));
        CloseDebugLog();

        QCOMPARE(readTextFile(file),
                 QStringLiteral("from an earlier run\n"
                                "05-Mar-04 2:07:09 PM(Qel v5.0.36)    Starting\n"
                                "05-Mar-04 2:08:10 PM(Qel v5.0.36)    Sent s#!12#!\n"
                                "25-Dec-04 12:05:00 AM(Qel v5.0.36)    after close\n"));
    }

    void errorLogUsesLineFeedsOnlyAndAppends()
    {
        TestEnvironment env;
        pinClock();
        WriteErrorLog(42, QStringLiteral("Bad thing"), QStringLiteral("frmMain.cmdOK_Click\r\nCClientHnd.UpdateStatus"));
        Clock::advance(1000);
        WriteErrorLog(qint32(0x80004005), QStringLiteral("database is locked. "), QString()); // a system error's text
        QCOMPARE(readTextFile(env.path(QStringLiteral("logs/error.log"))),
                 QStringLiteral("05-Mar-04 2:07:09 PM(Qel v5.0.36) [42] \n"
                                "     frmMain.cmdOK_Click\nCClientHnd.UpdateStatus\n"
                                "     Bad thing(System Error Msg not found.)\n"
                                "05-Mar-04 2:07:10 PM(Qel v5.0.36) [-2147467259] \n"
                                "     \n"
                                "     database is locked. Unspecified error\n"
                                "\n"));
        QCOMPARE(GetSystemErrorText(qint32(0x80042711)), QStringLiteral("(System Error Msg not found.)"));
    }

    void floodsLeftOutAndFullLogsMovedAside()
    {
        TestEnvironment env;
        LogFile::limits = {2000, 10};
        for (int i = 0; i < 50; ++i)
            WriteDebugLog(QStringLiteral("the same line"));
        CloseDebugLog();
        const QString debug = readTextFile(env.path(QStringLiteral("logs/debug.log")));
        QCOMPARE(debug.count(QStringLiteral("the same line")), 10);
        QVERIFY(debug.endsWith(QStringLiteral("    (40 lines left out: more than 10 a second)\n")));

        // Entries of 390 bytes: the sixth would pass the limit, so the first
        // five are moved aside.
        pinClock();
        for (int i = 1; i <= 10; ++i)
            WriteErrorLog(i, QString(300, u'e'), QStringLiteral("tst_Logs"));
        const QString errors = readTextFile(env.path(QStringLiteral("logs/error.log")));
        const QString older = readTextFile(env.path(QStringLiteral("logs/error.log.1")));
        QVERIFY(errors.startsWith(QStringLiteral("05-Mar-04 2:07:09 PM(Qel v5.0.36) [6] ")));
        QVERIFY(older.startsWith(QStringLiteral("05-Mar-04 2:07:09 PM(Qel v5.0.36) [1] ")));
        QCOMPARE(older.count(QStringLiteral("tst_Logs")), 5);
        QVERIFY(errors.toUtf8().size() <= 2000 && older.toUtf8().size() <= 2000);
    }

    void logFolderAndAnUnwritableLog()
    {
        TestEnvironment env;
        // A folder where the files should be makes every open fail.
        const QString folder = env.path(QStringLiteral("blocked"));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/debug.log")));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/error.log")));
        SetLogFolder(folder);
        WriteDebugLog(QStringLiteral("lost"));
        WriteErrorLog(1, QStringLiteral("lost"), QStringLiteral("lost"));
        QVERIFY(QFileInfo(folder + QStringLiteral("/debug.log")).isDir());

        // The logs go to the program's folder when it is writable, else to the state folder.
        const QString program = env.path(QStringLiteral("program"));
        QVERIFY(QDir().mkpath(program));
        QCOMPARE(DefaultLogFolder(program), program);
        QCOMPARE(DefaultLogFolder(env.path(QStringLiteral("no-such-folder"))),
                 env.path(QStringLiteral("state/tessaly")));
        QCOMPARE(DefaultLogFolder(QString()), env.path(QStringLiteral("state/tessaly")));
    }
};

QTEST_GUILESS_MAIN(tst_Logs)
#include "tst_Logs.moc"
