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
        QCOMPARE(g_iDBRetryCount, qint16(0));
        QVERIFY(readTextFile(env.path(QStringLiteral("logs/error.log"))).contains(QStringLiteral("[10011] ")));

        // The count starts again after the box; Abort there ends the program.
        QCOMPARE(HandleDBError(error(ErrNo::Busy)), 4);
        QCOMPARE(m_waits.last(), 1000);
        g_iDBRetryCount = 15;
        env.prompt.answers = {IPrompt::AnswerAbort};
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, HandleDBError(error(ErrNo::Busy)));
        // Called directly, the busy box gives its answer.
        env.prompt.answers = {IPrompt::AnswerIgnore};
        QCOMPARE(ErrorDialog(ErrNo::DatabaseBusy, QStringLiteral("locked"), QStringLiteral("src")), int(IPrompt::AnswerIgnore));
    }

    // Gave up and timed out pause briefly fifteen times; other errors give up at once.
    void shortPausesOrNone_data()
    {
        QTest::addColumn<qint32>("number");
        QTest::addColumn<int>("pauses");
        QTest::newRow("gave up") << ErrNo::Raised << 15;
        QTest::newRow("timed out") << ErrNo::Timeout << 15;
        QTest::newRow("bad statement") << ErrNo::BadStatement << 0;
        QTest::newRow("constraint") << ErrNo::ConstraintFailed << 0;
    }
    void shortPausesOrNone()
    {
        QFETCH(qint32, number);
        QFETCH(int, pauses);
        TestEnvironment env;
        recordWaits();
        for (int i = 0; i < pauses; ++i)
            QCOMPARE(HandleDBError(error(number)), 4);
        QCOMPARE(HandleDBError(error(number)), 3);
        QCOMPARE(m_waits, QVector<int>(pauses, kShortBusyPauseMs));
        QCOMPARE(g_iDBRetryCount, qint16(pauses ? 16 : 0));
        QVERIFY(env.prompt.asked.isEmpty() && env.errorWindow.shown.isEmpty());
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

    // The title is looked up by its own id, whatever the language; system
    // errors add their text to the details.
    void errorWindowShowsTitleVersionAndDetails_data()
    {
        QTest::addColumn<qint32>("number");
        QTest::addColumn<qint32>("titleId");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("systemText");
        const QString fallback = QStringLiteral("An Error has Occurred");
        QTest::newRow("program error") << qint32(91) << 0 << fallback << QString();
        QTest::newRow("system error") << ErrNo::Busy << 0 << fallback << QStringLiteral("\nUnspecified error\n");
        QTest::newRow("English id") << qint32(5) << 128 << QStringLiteral("Change Status") << QString();
        QTest::newRow("French id") << qint32(5) << 1128 << QStringLiteral("Changer le statut") << QString();
        QTest::newRow("id without text") << qint32(5) << 102 << fallback << QString();
    }
    void errorWindowShowsTitleVersionAndDetails()
    {
        QFETCH(qint32, number);
        QFETCH(qint32, titleId);
        QFETCH(QString, title);
        QFETCH(QString, systemText);
        TestEnvironment env;
        SetLanguage(QStringLiteral("GER"));
        g_iDBRetryCount = 7;
        QCOMPARE(ErrorDialog(number, QStringLiteral("Object not set"), QStringLiteral("frmMain.mnuFile_Click\r\nfrmMain"),
                             titleId),
                 5);
        QCOMPARE(env.errorWindow.shown.size(), 1);
        QCOMPARE(env.errorWindow.shown[0].userMessage, title + QStringLiteral("\n(Qel v5.0.36)"));
        QCOMPARE(env.errorWindow.shown[0].details, QStringLiteral("Object not set\n\nfrmMain.mnuFile_Click\nfrmMain") + systemText);
        QCOMPARE(g_iDBRetryCount, qint16(0));
        QVERIFY(env.prompt.asked.isEmpty());
    }

    void exitAndADatabaseLayerFailureEndTheProgramAfterLogging()
    {
        TestEnvironment env;
        env.errorWindow.answers = {IErrorWindow::AnswerExit};
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, ErrorDialog(13, QStringLiteral("Type mismatch"), QStringLiteral("here")));
        QVERIFY(readTextFile(env.path(QStringLiteral("logs/error.log"))).contains(QStringLiteral("     Type mismatch")));

        QVERIFY_THROWS_EXCEPTION(ProgramEnded, ErrorDialog(ErrNo::AdoUnusable, QStringLiteral("no driver"), QString()));
        QCOMPARE(env.prompt.asked.size(), 1);
        QCOMPARE(env.prompt.asked[0].icon, int(IPrompt::Critical));
        QCOMPARE(env.errorWindow.shown.size(), 1);
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
