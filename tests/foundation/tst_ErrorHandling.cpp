#include "TestSupport.h"
#include "foundation/Globals.h"
#include "foundation/LogFile.h"
#include "foundation/MCIFunctions.h"
#include "foundation/MErrorHandler.h"
#include "platform/AppError.h"
#include "platform/Clock.h"

#include <QtTest>

class tst_ErrorHandling : public QObject
{
    Q_OBJECT

    QVector<int> m_waits;
    std::function<void(int)> m_realWait;

    void recordWaits()
    {
        m_waits.clear();
        g_busyWait = [this](int ms) { m_waits.append(ms); };
    }

    static AppError error(qint32 number)
    {
        return AppError(number, QStringLiteral("MADOFunctions.Update\r\nQSQLITE"), QStringLiteral("database is locked"));
    }

private Q_SLOTS:
    void initTestCase() { m_realWait = g_busyWait; } // before any test replaces it
    void cleanup()
    {
        Clock::unpin();
        CloseDebugLog();
        LogFile::limits = {};
    }

    void busyDatabaseWaitsLongerAndLongerThenAsks()
    {
        TestEnvironment env;
        recordWaits();
        for (int i = 0; i < 15; ++i)
            QCOMPARE(HandleDBError(error(ErrNo::Busy)), 4);
        QCOMPARE(m_waits.first(), 1000);
        QCOMPARE(m_waits.last(), 6000);
        QVERIFY(env.prompt.asked.isEmpty());

        env.prompt.answers = {IPrompt::AnswerRetry};
        QCOMPARE(HandleDBError(error(ErrNo::Busy)), 0);
        QCOMPARE(env.prompt.asked.size(), 1);
        QCOMPARE(env.prompt.asked[0].buttons, int(IPrompt::AbortRetryIgnore));

        // The count starts again after the box; Abort there ends the program.
        QCOMPARE(HandleDBError(error(ErrNo::Busy)), 4);
        QCOMPARE(m_waits.last(), 1000);
        g_iDBRetryCount = 15;
        env.prompt.answers = {IPrompt::AnswerAbort};
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, HandleDBError(error(ErrNo::Busy)));
    }

    // Within a bound (the close-down's), a busy or slow database is retried
    // until the time is spent, then given up without a box and the count
    // started again; other errors are as ever.
    void boundedRetriesGiveUpOnceTheTimeIsSpent()
    {
        TestEnvironment env;
        recordWaits();
        BoundDatabaseRetries(60000);
        QCOMPARE(HandleDBError(error(ErrNo::Busy)), 4);
        BoundDatabaseRetries(0);
        for (const qint32 number : {ErrNo::Busy, ErrNo::Raised, ErrNo::Timeout})
            QCOMPARE(HandleDBError(error(number)), 3);
        QCOMPARE(m_waits.size(), 1);
        QCOMPARE(g_iDBRetryCount, qint16(0));
        QVERIFY(env.prompt.asked.isEmpty() && env.errorWindow.shown.isEmpty());
        QVERIFY(readTextFile(env.path("logs/debug.log")).contains("The database did not answer in the time left"));
        BoundDatabaseRetries(-1);
        QCOMPARE(HandleDBError(error(ErrNo::Busy)), 4);
    }

    // Gave up and timed out pause briefly fifteen times; other errors give up at once.
    void shortPausesOrNone()
    {
        for (const auto &[number, pauses] : QList<QPair<qint32, int>>{{ErrNo::Raised, 15}, {ErrNo::Timeout, 15}, {ErrNo::BadStatement, 0}}) {
            TestEnvironment env;
            recordWaits();
            for (int i = 0; i < pauses; ++i)
                QCOMPARE(HandleDBError(error(number)), 4);
            QCOMPARE(HandleDBError(error(number)), 3);
            QCOMPARE(m_waits, QVector<int>(pauses, kShortBusyPauseMs));
            QCOMPARE(g_iDBRetryCount, qint16(pauses ? 16 : 0));
            QVERIFY(env.prompt.asked.isEmpty() && env.errorWindow.shown.isEmpty());
        }
        // The real pause waits in real time: 2,500 event-pump calls would be no pause at all.
        QElapsedTimer timer;
        timer.start();
        m_realWait(kShortBusyPauseMs);
        QVERIFY(timer.elapsed() >= kShortBusyPauseMs - 5);
    }

    // The title is looked up by its own id, whatever the language; system
    // errors add their text to the details.
    void errorWindowShowsTitleVersionAndDetails()
    {
        const QString fallback = QStringLiteral("An Error has Occurred");
        const QList<std::tuple<qint32, qint32, QString, QString>> rows = {
            {ErrNo::Busy, 0, fallback, QStringLiteral("\nUnspecified error\n")},
            {5, 1128, QStringLiteral("Changer le statut"), QString()}};
        for (const auto &[number, titleId, title, systemText] : rows) {
            TestEnvironment env;
            SetLanguage(QStringLiteral("GER"));
            g_iDBRetryCount = 7;
            QCOMPARE(ErrorDialog(number, QStringLiteral("Object not set"), QStringLiteral("frmMain.Load\r\nfrmMain"), titleId), 5);
            QCOMPARE(env.errorWindow.shown.value(0).userMessage, title + QStringLiteral("\n(Qel v5.0.36)"));
            QCOMPARE(env.errorWindow.shown.value(0).details, QStringLiteral("Object not set\n\nfrmMain.Load\nfrmMain") + systemText);
            QCOMPARE(g_iDBRetryCount, qint16(0));
        }

        // Exit, and a failure of the database layer, end the program after logging.
        TestEnvironment env;
        env.errorWindow.answers = {IErrorWindow::AnswerExit};
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, ErrorDialog(13, QStringLiteral("Type mismatch"), QStringLiteral("here")));

        QVERIFY_THROWS_EXCEPTION(ProgramEnded, ErrorDialog(ErrNo::AdoUnusable, QStringLiteral("no driver"), QString()));
        QCOMPARE(env.prompt.asked.size(), 1);
        QCOMPARE(env.errorWindow.shown.size(), 1);
        QVERIFY(readTextFile(env.path(QStringLiteral("logs/error.log"))).contains(QStringLiteral("[10010] ")));
    }

    // Each line ends in LF; what callers pass is written as one line, a
    // source's chained steps too.
    void logsAppendOneLineEachLeaveFloodsOutAndMoveFullLogsAside()
    {
        TestEnvironment env;
        const QString debug = env.path(QStringLiteral("logs/debug.log"));
        QVERIFY(saveFile(debug, "from an earlier run\n"));
        Clock::pin(QDateTime(QDate(2004, 3, 5), QTime(14, 7, 9)));
        WriteDebugLog(QStringLiteral("Starting ") + logBreakingText());
        CloseDebugLog();
        QCOMPARE(readTextFile(debug), QStringLiteral("from an earlier run\n05-Mar-04 2:07:09 PM(Qel v5.0.36)    Starting ")
                                          + logBreakingCodes() + u'\n');

        WriteErrorLog(42, QStringLiteral("Bad thing"), QStringLiteral("frmMain.cmdOK_Click\r\nCClientHnd.UpdateStatus"));
        Clock::advance(1000);
        WriteErrorLog(qint32(0x80004005), logBreakingText() + QStringLiteral(". "), QString()); // a system error's text
        QCOMPARE(readTextFile(env.path(QStringLiteral("logs/error.log"))),
                 QStringLiteral("05-Mar-04 2:07:09 PM(Qel v5.0.36) [42] \n"
                                "     frmMain.cmdOK_Click\\x0d\\x0aCClientHnd.UpdateStatus\n"
                                "     Bad thing(System Error Msg not found.)\n"
                                "05-Mar-04 2:07:10 PM(Qel v5.0.36) [-2147467259] \n"
                                "     \n"
                                "     ") + logBreakingCodes() + QStringLiteral(". Unspecified error\n"
                                "\n"));

        // Floods are left out and full logs moved aside.
        QVERIFY(QFile::remove(env.path(QStringLiteral("logs/error.log"))));
        LogFile::limits = {2000, 10};
        for (int i = 0; i < 50; ++i)
            WriteDebugLog(QStringLiteral("the same line"));
        CloseDebugLog();
        const QString flooded = readTextFile(debug);
        QCOMPARE(flooded.count(QStringLiteral("the same line")), 10);
        QVERIFY(flooded.endsWith(QStringLiteral("    (40 lines left out: more than 10 a second)\n")));

        // Entries of 390 bytes: every sixth would pass the limit, so the five
        // before it are moved aside, over the ones moved aside the time before.
        LogFile::limits.linesPerSecond = 100;
        for (int i = 1; i <= 18; ++i)
            WriteErrorLog(i, QString(300, u'e'), QStringLiteral("tst_Logs"));
        const QString errors = readTextFile(env.path(QStringLiteral("logs/error.log")));
        const QString older = readTextFile(env.path(QStringLiteral("logs/error.log.1")));
        QVERIFY(errors.section(u'\n', 0, 0).endsWith(QStringLiteral(") [16] ")));
        QVERIFY(older.section(u'\n', 0, 0).endsWith(QStringLiteral(") [11] ")));
        QCOMPARE(older.count(QStringLiteral("tst_Logs")), 5);
        QVERIFY(errors.toUtf8().size() <= 2000 && older.toUtf8().size() <= 2000);
    }

};
QTEST_MAIN(tst_ErrorHandling)
#include "tst_ErrorHandling.moc"
