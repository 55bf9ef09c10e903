#include "SanitizerBounds.h"
#include "TestSupport.h"
#include "app/SessionEndSignals.h"
#include "platform/ChildProcesses.h"

#include <QProcess>
#include <QtTest>
#include <csignal>
#include <cstring>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr std::chrono::milliseconds kBound{1500};
constexpr char kHangWhenEnded[] = "--hang-when-ended";

// The program whose close-down never ends, started by the test: a command
// runs in a group of its own, with a process whose parent is gone, and two
// SIGTERMs come 1 ms apart. They are raised here, and the handler is set
// before the command starts: under the thread sanitizer a signal from outside,
// or one to a program that has started a process first, may wait for ever.
int hangWhenEnded(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    TestEnvironment env;
    const SessionEndSignals sessionEnd(
        [](int) {
            for (;;)
                ::pause();
        },
        kBound);
    QProcess command;
    command.setChildProcessModifier([] { ::setpgid(0, 0); });
    command.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("(sleep 60 &); exec sleep 60")});
    if (!command.waitForStarted())
        return 2;
    std::fputs("ending\n", stdout);
    std::fflush(stdout);
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
    // that come after it are noted and leave it to run.
    void theFirstSignalEndsTheSessionAndLaterOnesLeaveItToRun()
    {
        TestEnvironment env;
        QList<int> heard;
        const SessionEndSignals sessionEnd([&](int signalNumber) { heard << signalNumber; });
        for (int signalNumber : {SIGHUP, SIGTERM, SIGTERM})
            QCOMPARE(::raise(signalNumber), 0);
        const QString logPath = env.path(QStringLiteral("logs/debug.log"));
        QTRY_VERIFY(readTextFile(logPath).count(QStringLiteral("The session ended again (SIGTERM)")) == 2);
        QCOMPARE(heard, QList<int>{SIGHUP});
        QVERIFY(readTextFile(logPath).contains(QStringLiteral("The session ended (SIGHUP)")));
        struct sigaction now = {};
        QCOMPARE(::sigaction(SIGTERM, nullptr, &now), 0);
        QVERIFY(now.sa_handler != SIG_DFL);
    }

    // Two signals 1 ms apart, the close-down stuck: the program ends once its
    // bound has passed, not before, with the code of a program the signal
    // ended, and takes what it started with it.
    void aCloseDownThatHangsEndsWithinItsBound()
    {
        // Orphans come to this process instead of the system's first, so
        // that what is left can be counted.
        QCOMPARE(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
        QProcess program;
        program.start(QCoreApplication::applicationFilePath(), {QLatin1String(kHangWhenEnded)});
        QTRY_VERIFY_WITH_TIMEOUT(program.canReadLine() || program.state() == QProcess::NotRunning,
                                 30000 * kSanitizerStretch);
        QElapsedTimer ending;
        ending.start();
        QCOMPARE(program.readLine(), QByteArray("ending\n"));
        QVERIFY(program.waitForFinished(int(kBound.count()) + 20000 * kSanitizerStretch));
        const qint64 took = ending.elapsed();
        QVERIFY2(took >= kBound.count() / 2, qPrintable(QString::number(took)));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 128 + SIGTERM);
        QVERIFY(program.readAllStandardError().contains("did not end within 1500 ms"));
        QTRY_COMPARE(ChildProcesses::countDescendants(::getpid()), 0);
        while (::waitpid(-1, nullptr, WNOHANG) > 0) {
        }
        QCOMPARE(::prctl(PR_SET_CHILD_SUBREAPER, 0), 0);
    }
};

int main(int argc, char *argv[])
{
    if (argc == 2 && std::strcmp(argv[1], kHangWhenEnded) == 0)
        return hangWhenEnded(argc, argv);
    QCoreApplication app(argc, argv);
    tst_SessionEnd test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_SessionEnd.moc"
