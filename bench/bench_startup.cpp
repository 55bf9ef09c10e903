// Start-up: the program, started as a user starts it, until its main window
// is shown and painted, on the embedded database with 1,000 users, offscreen.
// The user's default branch is the group of all of them, so the start reads
// the whole list.
// The floor is a bare Qt program showing an empty main window. A probe
// loaded into both (LD_PRELOAD) reports the moments; the program opens its
// multicast sockets, so this runs only inside a private network namespace.
//
// Then, when the script started a PostgreSQL server (reached through its
// socket folder, which the namespace shares), the server connections one
// copy opens: until its window is painted, and in the minute after, while it
// sits idle and polls every ten seconds. The server logs every connection
// and statement (BENCH_PG_LOG); its lines carry the time and the database.

#include "BenchBoard.h"
#include "BenchReport.h"
#include "PgServer.h"
#include "admin/OptionsRegistry.h"
#include "foundation/SystemUserName.h"
#include "platform/ConnectionPool.h"
#include "platform/DataSourceRegistry.h"

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

struct Start
{
    double ms = 0;    // from the start of the process to its main window painted
    int rows = 0;     // the most rows a list of it held then
    qint64 wall = 0;  // the wall clock then, in milliseconds
};

Start startOnce(const QString &program, const BenchBoard &board, int stayMs = 0)
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
    environment.insert(QStringLiteral("STARTUP_PROBE_STAY_MS"), QString::number(stayMs));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const qint64 start = BenchReport::nowNs();
    process.start(program, {});
    if (!process.waitForFinished(60000 + stayMs))
        qFatal("%s did not show its main window", qPrintable(program));
    static const QRegularExpression probe(
        QStringLiteral("PROBE shown=(\\d+) painted=(\\d+) rows=(\\d+) wall=(\\d+)"));
    const QRegularExpressionMatch match = probe.match(QString::fromLatin1(process.readAllStandardOutput()));
    if (!match.hasMatch())
        qFatal("%s ended without showing its main window", qPrintable(program));
    return {double(match.captured(2).toLongLong() - start) / 1e6, match.captured(3).toInt(),
            match.captured(4).toLongLong()};
}

// Connections and statements the server logged for the database, before
// and after a moment.
struct ServerLog
{
    int connectionsBefore = 0;
    int connectionsAfter = 0;
    int statementsAfter = 0;
};

ServerLog readServerLog(const QString &database, qint64 since, qint64 moment)
{
    QFile file(qEnvironmentVariable("BENCH_PG_LOG"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read the server log (BENCH_PG_LOG)");
    // "%n [%p] %d " comes first on every line: epoch seconds, process, database.
    static const QRegularExpression line(QStringLiteral("^(\\d+\\.\\d+) \\[\\d+\\] (\\S*) LOG:  (\\w+)"));
    ServerLog log;
    for (const QByteArray &text : file.readAll().split('\n')) {
        const QRegularExpressionMatch match = line.match(QString::fromUtf8(text));
        if (!match.hasMatch() || match.captured(2) != database)
            continue;
        const qint64 at = qint64(match.captured(1).toDouble() * 1000);
        if (at < since)
            continue;
        const bool connection = match.captured(3) == QLatin1String("connection") && text.contains("authorized");
        const bool statement = match.captured(3) == QLatin1String("statement");
        if (connection && at <= moment)
            ++log.connectionsBefore;
        else if (connection)
            ++log.connectionsAfter;
        else if (statement && at > moment)
            ++log.statementsAfter;
    }
    return log;
}

// One start on a PostgreSQL board whose user polls every ten seconds, kept
// running for a minute after its window is painted.
void measureServerConnections(const QString &program)
{
    constexpr int kIdleMs = 65000;
    BenchBoard board(kUsers, SystemUserName(), true);
    OptionsRegistry::storeDefaultBranch(QStringLiteral("NOD3"));
    const QString database = board.spec().database;
    {
        DbHandle connection = OpenADOConnection();
        // A refresh period of one minute polls every second tick of the timer.
        connection->execute(QStringLiteral("UPDATE STAFF_OPTIONS SET RefreshPeriod = 1 WHERE UserID = 1"));
        connection->execute(QStringLiteral("ALTER DATABASE %1 SET log_statement = 'all'").arg(database));
    }
    // This process's own connections close before the copy starts.
    ConnectionPool::closeLocal();
    const qint64 since = QDateTime::currentMSecsSinceEpoch();
    const Start start = startOnce(program, board, kIdleMs);
    const ServerLog log = readServerLog(database, since, start.wall);
    std::fprintf(stderr, "PostgreSQL: the start opened %d connections; the idle minute after %d, with %d statements\n",
                 log.connectionsBefore, log.connectionsAfter, log.statementsAfter);
    if (log.statementsAfter == 0)
        qFatal("the idle copy sent no statement: it did not poll");
    BenchReport::figure(QStringLiteral("3 start-up on PostgreSQL, server connections opened"),
                        QString::number(log.connectionsBefore), QStringLiteral("-"), QStringLiteral("-"),
                        QStringLiteral("<= 2"), log.connectionsBefore <= 2);
    BenchReport::figure(QStringLiteral("3 idle copy polling for a minute on PostgreSQL (%1 statements), new connections")
                            .arg(log.statementsAfter),
                        QString::number(log.connectionsAfter), QStringLiteral("-"), QStringLiteral("-"),
                        QStringLiteral("0"), log.connectionsAfter == 0);
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
    int rows = 0;
    startOnce(program, board); // the first start leaves the file and the libraries warm for all
    for (int run = 0; run < kRuns; ++run) {
        floors << startOnce(bare, board).ms;
        const Start start = startOnce(program, board);
        starts << start.ms;
        rows = start.rows;
    }
    std::fprintf(stderr, "start-up: median %.0f ms (bare window %.0f ms) over %d starts; the fullest list held %d rows\n",
                 BenchReport::median(starts), BenchReport::median(floors), kRuns, rows);
    BenchReport::limitFigure(QStringLiteral("start-up to main window painted, 1,000 users (median)"),
                             BenchReport::median(starts), BenchReport::median(floors), QStringLiteral("ms"), 700,
                             QStringLiteral("<= 700 ms"));
    if (PgServer::available())
        measureServerConnections(program);
    else
        BenchReport::figure(QStringLiteral("3 server connections of a copy on PostgreSQL"),
                            QStringLiteral("skipped: no server"), QStringLiteral("-"), QStringLiteral("-"),
                            QStringLiteral("<= 2 at start, 0 idle"), std::nullopt);
    return 0;
}
