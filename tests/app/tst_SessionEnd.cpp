#include "SanitizerBounds.h"
#include "TestSupport.h"
#include "app/SessionEndSignals.h"
#include "foundation/MErrorHandler.h"
#include "platform/ChildProcesses.h"

#include <QProcess>
#include <QtTest>
#include <csignal>
#include <cstring>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr char kHangWhenEnded[] = "--hang-when-ended";

// The program whose close-down never ends, started by the test with its
// bound in milliseconds (0: the program's own), whether the on-exit status
// was set before it hung, and how the close-down began: a command runs in a
// group of its own, with a process whose parent is gone, and two SIGTERMs
// come 1 ms apart, or the display goes. The signals are raised here, and the
// handler is set before the command starts: under the thread sanitizer a
// signal from outside, or one to a program that has started a process first,
// may wait for ever. Says where its debug log is.
int hangWhenEnded(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    TestEnvironment env;
    const int boundMs = QByteArray(argv[2]).toInt();
    const bool statusSet = QByteArray(argv[3]) == "set";
    const auto hang = [statusSet](int) {
        if (statusSet)
            SessionEndSignals::recordStatusSettled();
        for (;;)
            ::pause();
    };
    const SessionEndSignals sessionEnd(hang, boundMs ? std::chrono::milliseconds(boundMs)
                                                     : SessionEndSignals::kCloseDownBound);
    QProcess command;
    command.setChildProcessModifier([] { ::setpgid(0, 0); });
    command.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("(sleep 60 &); exec sleep 60")});
    if (!command.waitForStarted())
        return 2;
    std::printf("ending %s\n", qPrintable(LogFolder() + QStringLiteral("/debug.log")));
    std::fflush(stdout);
    if (QByteArray(argv[4]) == "display") {
        SessionEndSignals::watchCloseDown();
        hang(0);
    }
    ::raise(SIGTERM);
    ::usleep(1000);
    ::raise(SIGTERM);
    return app.exec();
}

} // namespace

class tst_SessionEnd : public QObject
{
    Q_OBJECT

private slots:
    // Heard on the window's thread: the first starts the close-down; those
    // that come after it are noted and leave it to run. Ctrl-C and Ctrl-\ from
    // the terminal end the session as SIGTERM does; a signal ignored when the
    // program started (nohup, a shell's background job) stays ignored.
    void theFirstSignalEndsTheSessionAndLaterOnesLeaveItToRun_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<bool>("quitIgnored");
        QTest::newRow("SIGHUP") << int(SIGHUP) << false;
        QTest::newRow("SIGINT") << int(SIGINT) << false;
        QTest::newRow("SIGQUIT") << int(SIGQUIT) << false;
        QTest::newRow("SIGINT, SIGQUIT ignored at start") << int(SIGINT) << true;
    }
    void theFirstSignalEndsTheSessionAndLaterOnesLeaveItToRun()
    {
        QFETCH(int, first);
        QFETCH(bool, quitIgnored);
        TestEnvironment env;
        const auto wasQuit = std::signal(SIGQUIT, quitIgnored ? SIG_IGN : SIG_DFL);
        QList<int> heard;
        {
            // No close-down runs here for the watchdog to end.
            const SessionEndSignals sessionEnd([&](int signalNumber) { heard << signalNumber; }, std::chrono::hours(1));
            for (int signalNumber : {first, SIGTERM, SIGTERM, SIGQUIT})
                QCOMPARE(::raise(signalNumber), 0);
            const QString logPath = env.path(QStringLiteral("logs/debug.log"));
            QTRY_VERIFY(readTextFile(logPath).count(QStringLiteral("The session ended again (SIGTERM)")) == 2);
            QTRY_COMPARE(readTextFile(logPath).count(QStringLiteral("ended again (SIGQUIT)")),
                         quitIgnored ? 0 : 1);
            QCOMPARE(heard, QList<int>{first});
            const QString name = first == SIGHUP ? "SIGHUP" : first == SIGINT ? "SIGINT" : "SIGQUIT";
            QVERIFY(readTextFile(logPath).contains(QStringLiteral("The session ended (%1)").arg(name)));
            struct sigaction now = {};
            QCOMPARE(::sigaction(SIGTERM, nullptr, &now), 0);
            QVERIFY(now.sa_handler != SIG_DFL);
            QCOMPARE(::sigaction(SIGQUIT, nullptr, &now), 0);
            QCOMPARE(now.sa_handler == SIG_IGN, quitIgnored);
        }
        struct sigaction after = {};
        QCOMPARE(::sigaction(SIGQUIT, nullptr, &after), 0);
        QVERIFY(after.sa_handler == (quitIgnored ? SIG_IGN : SIG_DFL)); // left as it was found
        std::signal(SIGQUIT, wasQuit);
    }

    // Two signals 1 ms apart, or the display gone, the close-down stuck: the
    // program ends once its bound has passed, not before, with the code of a
    // program the signal ended (1 for the display, as Qt ends it), takes what
    // it started with it, and says in its debug log why it
    // ended and whether the user's on-exit status was set. The program's own
    // bound is the one it is started with. Under the thread sanitizer, which
    // may miss a race in one run, the short bound's ending runs several times.
    void aCloseDownThatHangsEndsWithinItsBound_data()
    {
        QTest::addColumn<int>("boundMs"); // 0: the program's own
        QTest::addColumn<bool>("statusSet");
        QTest::addColumn<int>("runs");
        QTest::addColumn<bool>("displayGone"); // else two SIGTERMs
        QTest::newRow("1.5 s, the status set") << 1500 << true << (kSanitizerStretch > 1 ? 4 : 1) << false;
        QTest::newRow("the program's own bound, the status not set") << 0 << false << 1 << false;
        QTest::newRow("1.5 s, the display gone") << 1500 << false << 1 << true;
    }
    void aCloseDownThatHangsEndsWithinItsBound()
    {
        QFETCH(int, boundMs);
        QFETCH(bool, statusSet);
        QFETCH(int, runs);
        QFETCH(bool, displayGone);
        const qint64 bound = boundMs ? boundMs : SessionEndSignals::kCloseDownBound.count();
        QCOMPARE(bound, boundMs ? boundMs : 10000);
        // Orphans come to this process instead of the system's first, so
        // that what is left can be counted.
        QCOMPARE(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
        for (int run = 0; run < runs; ++run) {
            QProcess program;
            program.start(QCoreApplication::applicationFilePath(),
                          {QLatin1String(kHangWhenEnded), QString::number(boundMs),
                           QLatin1String(statusSet ? "set" : "unset"),
                           QLatin1String(displayGone ? "display" : "signals")});
            QTRY_VERIFY_WITH_TIMEOUT(program.canReadLine() || program.state() == QProcess::NotRunning,
                                     30000 * kSanitizerStretch);
            QElapsedTimer ending;
            ending.start();
            const QByteArray line = program.readLine().trimmed();
            QVERIFY2(line.startsWith("ending "), line.constData());
            const QString log = QFile::decodeName(line.mid(7));
            QVERIFY(program.waitForFinished(int(bound) + 20000 * kSanitizerStretch));
            const qint64 took = ending.elapsed();
            QVERIFY2(took >= bound / 2, qPrintable(QString::number(took)));
            QCOMPARE(program.exitStatus(), QProcess::NormalExit);
            QCOMPARE(program.exitCode(), displayGone ? 1 : 128 + SIGTERM); // as Qt or a shell would say
            const QString said = QStringLiteral("did not end within %1 ms of the session's end: the program ends at "
                                                "once; the on-exit status was %2")
                                     .arg(bound)
                                     .arg(QLatin1String(statusSet ? "set" : "not set"));
            QVERIFY(QString::fromUtf8(program.readAllStandardError()).contains(said));
            const QString logged = readTextFile(log);
            QVERIFY2(logged.contains(said) && logged.endsWith(u'\n'), qPrintable(logged));
            // A line as the log's own: its time, in English, and the version.
            static const QRegularExpression logLine(QStringLiteral(
                "^\\d\\d-[A-Z][a-z]{2}-\\d\\d \\d{1,2}:\\d\\d:\\d\\d [AP]M\\(Qel v[0-9.]+\\)    The close-down did not end "),
                                                    QRegularExpression::MultilineOption);
            QVERIFY2(logLine.match(logged).hasMatch(), qPrintable(logged));
            QDir(QFileInfo(log).path()).removeRecursively();
            QTRY_COMPARE(ChildProcesses::countDescendants(::getpid()), 0);
            while (::waitpid(-1, nullptr, WNOHANG) > 0) {
            }
        }
        QCOMPARE(::prctl(PR_SET_CHILD_SUBREAPER, 0), 0);
    }
};

int main(int argc, char *argv[])
{
    if (argc == 5 && std::strcmp(argv[1], kHangWhenEnded) == 0)
        return hangWhenEnded(argc, argv);
    QCoreApplication app(argc, argv);
    tst_SessionEnd test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_SessionEnd.moc"
