// Start-up: the program, started as a user starts it, until its main window
// is shown and painted, on the embedded database with 1,000 users, offscreen.
// The user's default branch is the group of all of them, so the start reads
// the whole list.
// The floor is a bare Qt program showing an empty main window. A probe
// loaded into both (LD_PRELOAD) reports the moments; the program opens its
// multicast sockets, so this runs only inside a private network namespace.

#include "BenchBoard.h"
#include "BenchReport.h"
#include "admin/OptionsRegistry.h"
#include "foundation/SystemUserName.h"

#include <QCoreApplication>
#include <QDir>
#include <QNetworkInterface>
#include <QProcess>
#include <QRegularExpression>
#include <cstdio>

namespace {

constexpr int kRuns = 7;
constexpr int kUsers = 1000;

bool insidePrivateNamespace()
{
    for (const QNetworkInterface &nic : QNetworkInterface::allInterfaces())
        if (!nic.flags().testFlag(QNetworkInterface::IsLoopBack))
            return false;
    return true;
}

// Milliseconds from the start of the process to its main window painted;
// rows tells how many rows its fullest list then held.
double startOnce(const QString &program, const BenchBoard &board, int &rows)
{
    // A copy ended at once leaves its lock behind; the next start would
    // find it stale anyway, but without the wait.
    for (const QFileInfo &lock : QDir(board.env.path(QStringLiteral("runtime"))).entryInfoList({QStringLiteral("*.lock")}))
        QFile::remove(lock.filePath());
    const QString here = QCoreApplication::applicationDirPath();
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("LD_PRELOAD"), here + QStringLiteral("/libstartup_probe.so"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const qint64 start = BenchReport::nowNs();
    process.start(program, {});
    if (!process.waitForFinished(60000))
        qFatal("%s did not show its main window", qPrintable(program));
    static const QRegularExpression probe(QStringLiteral("PROBE shown=(\\d+) painted=(\\d+) rows=(\\d+)"));
    const QRegularExpressionMatch match = probe.match(QString::fromLatin1(process.readAllStandardOutput()));
    if (!match.hasMatch())
        qFatal("%s ended without showing its main window", qPrintable(program));
    rows = match.captured(3).toInt();
    return double(match.captured(2).toLongLong() - start) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (!insidePrivateNamespace()) {
        std::fprintf(stderr, "not inside a private network namespace: run through tests/support/run-in-netns.sh\n");
        return 77;
    }
    BenchBoard board(kUsers, SystemUserName());
    OptionsRegistry::storeDefaultBranch(QStringLiteral("NOD3"));
    const QString here = QCoreApplication::applicationDirPath();
    const QString program = here + QStringLiteral("/../client/tessaly");
    const QString bare = here + QStringLiteral("/bench_bare_window");
    QList<double> starts, floors;
    int rows = 0, bareRows = 0;
    startOnce(program, board, rows); // the first start leaves the file and the libraries warm for all
    for (int run = 0; run < kRuns; ++run) {
        floors << startOnce(bare, board, bareRows);
        starts << startOnce(program, board, rows);
    }
    std::fprintf(stderr, "start-up: median %.0f ms (bare window %.0f ms) over %d starts; the fullest list held %d rows\n",
                 BenchReport::median(starts), BenchReport::median(floors), kRuns, rows);
    BenchReport::limitFigure(QStringLiteral("5 start-up to main window painted, 1,000 users (median)"),
                             BenchReport::median(starts), BenchReport::median(floors), QStringLiteral("ms"), 700,
                             QStringLiteral("< 700 ms"));
    return 0;
}
