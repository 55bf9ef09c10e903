#include "TestSupport.h"
#include "foundation/frmError.h"
#include "foundation/Globals.h"
#include "foundation/MCIFunctions.h"
#include "foundation/MErrorHandler.h"
#include "platform/AppError.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
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

    void busyDatabaseWaitsLongerAndLongerThenAsks()
    {
        TestEnvironment env;
        recordWaits();
        for (int i = 0; i < 15; ++i)
            QCOMPARE(HandleDBError(error(ErrNo::Busy)), 4);
        QCOMPARE(m_waits, (QVector<int>{1000, 1000, 2000, 2000, 2000, 3000, 3000, 3000, 4000, 4000, 4000, 5000,
                                        5000, 5000, 6000}));
        QVERIFY(env.prompt.asked.isEmpty());

        env.prompt.answers = {IPrompt::AnswerRetry};
        QCOMPARE(HandleDBError(error(ErrNo::Busy)), 0);
        QCOMPARE(m_waits.size(), 15);
        QCOMPARE(env.prompt.asked.size(), 1);
        QCOMPARE(env.prompt.asked[0].title, QStringLiteral("Database Busy"));
        QCOMPARE(env.prompt.asked[0].buttons, int(IPrompt::AbortRetryIgnore));
        QCOMPARE(env.prompt.asked[0].icon, int(IPrompt::Exclamation));
        QVERIFY(env.prompt.asked[0].text.startsWith(QStringLiteral("Database Busy: Cannot access database right now")));
        QCOMPARE(g_iDBRetryCount, qint16(0));
        QVERIFY(readTextFile(env.path(QStringLiteral("logs/error.log"))).contains(QStringLiteral("[10011] ")));

        // The count starts again after the box; Abort there ends the program.
        QCOMPARE(HandleDBError(error(ErrNo::Busy)), 4);
        QCOMPARE(m_waits.last(), 1000);
        g_iDBRetryCount = 15;
        env.prompt.answers = {IPrompt::AnswerAbort};
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, HandleDBError(error(ErrNo::Busy)));
    }

    void shortPausesThenGiveUp_data()
    {
        QTest::addColumn<qint32>("number");
        QTest::newRow("gave up") << ErrNo::Raised;
        QTest::newRow("timed out") << ErrNo::Timeout;
    }

    void shortPausesThenGiveUp()
    {
        QFETCH(qint32, number);
        TestEnvironment env;
        recordWaits();
        for (int i = 0; i < 15; ++i)
            QCOMPARE(HandleDBError(error(number)), 4);
        QCOMPARE(HandleDBError(error(number)), 3);
        QCOMPARE(m_waits, QVector<int>(15, kShortBusyPauseMs));
        QVERIFY(env.prompt.asked.isEmpty());
        QVERIFY(env.errorWindow.shown.isEmpty());
    }

    void otherErrorsGiveUpAtOnce()
    {
        TestEnvironment env;
        recordWaits();
        g_iDBRetryCount = 3;
        QCOMPARE(HandleDBError(error(ErrNo::BadStatement)), 3);
        QCOMPARE(HandleDBError(error(ErrNo::ConstraintFailed)), 3);
        QCOMPARE(g_iDBRetryCount, qint16(3));
        QVERIFY(m_waits.isEmpty());
    }

    void theRealShortPauseTakesTime()
    {
        // The default pause must wait in real time: 2,500 event-pump calls
        // would be no pause at all.
        QVERIFY(kShortBusyPauseMs >= 100 && kShortBusyPauseMs <= 250);
        QElapsedTimer timer;
        timer.start();
        m_realWait(kShortBusyPauseMs);
        QVERIFY(timer.elapsed() >= kShortBusyPauseMs - 5);
    }

    void errorWindowShowsTitleVersionAndDetails_data()
    {
        QTest::addColumn<qint32>("number");
        QTest::addColumn<QString>("details");
        QTest::newRow("program error: no system text")
            << qint32(91) << QStringLiteral("Object not set\n\nfrmMain.mnuFile_Click\nfrmMain");
        QTest::newRow("system error: its text follows")
            << ErrNo::Busy << QStringLiteral("Object not set\n\nfrmMain.mnuFile_Click\nfrmMain\nUnspecified error\n");
    }

    void errorWindowShowsTitleVersionAndDetails()
    {
        QFETCH(qint32, number);
        QFETCH(QString, details);
        TestEnvironment env;
        g_iDBRetryCount = 7;
        QCOMPARE(ErrorDialog(number, QStringLiteral("Object not set"), QStringLiteral("frmMain.mnuFile_Click\r\nfrmMain")),
                 5);
        QCOMPARE(env.errorWindow.shown.size(), 1);
        QCOMPARE(env.errorWindow.shown[0].userMessage, QStringLiteral("An Error has Occurred\n(Qel v5.0.36)"));
        QCOMPARE(env.errorWindow.shown[0].details, details);
        QCOMPARE(g_iDBRetryCount, qint16(0));
        QVERIFY(env.prompt.asked.isEmpty());
    }

    void titleIdIsLookedUpWithoutTheLanguageOffset()
    {
        TestEnvironment env;
        SetLanguage(QStringLiteral("GER"));
        ErrorDialog(5, QStringLiteral("d"), QStringLiteral("s"), 128);
        ErrorDialog(5, QStringLiteral("d"), QStringLiteral("s"), 1128);
        ErrorDialog(5, QStringLiteral("d"), QStringLiteral("s"), 102); // an id without text
        QCOMPARE(env.errorWindow.shown.size(), 3);
        QCOMPARE(env.errorWindow.shown[0].userMessage, QStringLiteral("Change Status\n(Qel v5.0.36)"));
        QCOMPARE(env.errorWindow.shown[1].userMessage, QStringLiteral("Changer le statut\n(Qel v5.0.36)"));
        QCOMPARE(env.errorWindow.shown[2].userMessage, QStringLiteral("An Error has Occurred\n(Qel v5.0.36)"));

        // Exit ends the program after logging.
        env.errorWindow.answers = {IErrorWindow::AnswerExit};
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, ErrorDialog(13, QStringLiteral("Type mismatch"), QStringLiteral("here")));
        QVERIFY(readTextFile(env.path(QStringLiteral("logs/error.log"))).contains(QStringLiteral("     Type mismatch")));
    }

    void busyAndDatabaseLayerFailuresShowTheirOwnBoxes()
    {
        TestEnvironment env;
        env.prompt.answers = {IPrompt::AnswerIgnore};
        QCOMPARE(ErrorDialog(ErrNo::DatabaseBusy, QStringLiteral("locked"), QStringLiteral("src")), int(IPrompt::AnswerIgnore));
        QCOMPARE(env.prompt.asked.size(), 1);
        QCOMPARE(env.prompt.asked[0].title, QStringLiteral("Database Busy"));
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, ErrorDialog(ErrNo::AdoUnusable, QStringLiteral("no driver"), QString()));
        QCOMPARE(env.prompt.asked.size(), 2);
        QCOMPARE(env.prompt.asked[1].buttons, int(IPrompt::Ok));
        QCOMPARE(env.prompt.asked[1].icon, int(IPrompt::Critical));
        QVERIFY(env.errorWindow.shown.isEmpty());
        QVERIFY(readTextFile(env.path(QStringLiteral("logs/error.log"))).contains(QStringLiteral("[10010] ")));
    }

    void theErrorFormTogglesDetailsAndAnswers()
    {
        frmError form;
        QCOMPARE(form.answer(), 5); // closing from the title bar continues
        // Collapsed, the window ends below its button and above the details.
        QVERIFY(form.cmdDetails->geometry().bottom() < form.height() && form.txtDetails->y() >= form.height());
        QVERIFY(form.cmdDetails->width() >= form.cmdDetails->sizeHint().width()
                && form.cmdContinue->geometry().right() < form.width());
        form.cmdDetails->click();
        QVERIFY(form.detailsShown());
        QCOMPARE(form.heightTwips(), frmError::kTallHeightTwips);
        QVERIFY(form.txtDetails->geometry().bottom() < form.height());
        QCOMPARE(form.cmdDetails->text(), QStringLiteral("Hide Details <<"));
        form.cmdDetails->click();
        QVERIFY(!form.detailsShown());
        QCOMPARE(form.heightTwips(), frmError::kShortHeightTwips);
        QCOMPARE(form.cmdDetails->text(), QStringLiteral("View Details >>"));
        form.show();
        form.cmdExit->click();
        QCOMPARE(form.answer(), 3);
        QVERIFY(!form.isVisible());
        form.show();
        form.cmdContinue->click();
        QCOMPARE(form.answer(), 5);
    }
};
QTEST_MAIN(tst_ErrorHandling)
#include "tst_ErrorHandling.moc"
