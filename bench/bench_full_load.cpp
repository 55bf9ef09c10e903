// Full load: the first load of the whole board into the user-list model and
// the main window's list showing it (offscreen), in a new process each time
// as at a start, until the list has painted the loaded rows; and the
// resident memory the load added. Boards of 10,000 and 50,000 users, five
// starts each. The floor is reading the same rows with a bare query.

#include "BenchBoard.h"
#include "BenchReport.h"
#include "foundation/CUpdateDatabase.h"
#include "foundation/Globals.h"
#include "mainwindow/frmMain.h"
#include "platform/Clock.h"
#include "platform/ConnectionPool.h"
#include "status/UserListModel.h"
#include "status/UserListPoll.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kStarts = 5;
// The moment every load takes as now, so that most times on the board are
// today's, as in an office.
const QDateTime kNow(QDate(2026, 3, 4), QTime(10, 0));

double residentMegabytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? double(fields.at(1).toLongLong()) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0)
                             : 0;
}

// One start: the board's file in a world of its own, the main window shown,
// then the whole board loaded as opening the all-users node does. Prints the
// milliseconds until the list has painted and the megabytes the load added.
int firstLoad(int users, const QString &file)
{
    Clock::pin(kNow);
    TestEnvironment env;
    QFile::setPermissions(env.path(QStringLiteral("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString path = env.useSqliteDatabase();
    if (!QFile::copy(file, path))
        qFatal("cannot copy the board");
    CUpdateDatabase::checkAtStartUp();
    g_lUserID = 1;
    UserListPoll userList;
    auto main = std::make_unique<frmMain>();
    frmMain &window = *main;
    g_frmMain = std::move(main);
    window.setUserListModel(&userList.model());
    window.showWindow();
    QApplication::processEvents();

    const double before = residentMegabytes();
    const qint64 start = BenchReport::nowNs();
    DbHandle none;
    userList.refresh(false, true, QString(), QStringLiteral("GRP0"), none);
    QApplication::processEvents();
    window.repaint();
    const double ms = double(BenchReport::nowNs() - start) / 1e6;
    if (userList.model().rowCount() != users)
        qFatal("the view shows %d users, not %d", userList.model().rowCount(), users);
    std::printf("LOAD %.3f %.3f\n", ms, residentMegabytes() - before);
    // Hidden before it goes, as the close-down does.
    window.hideWindow();
    g_frmMain.reset();
    return 0;
}

// The same rows read with one bare query into plain values.
double bareRead(const QString &path, int users)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("floor"));
    db.setDatabaseName(path);
    const qint64 start = BenchReport::nowNs();
    db.open();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.exec(QStringLiteral("SELECT * FROM STAFF_STATUS WHERE LastUpdated > -1 ORDER BY UserID"));
    QList<QList<QVariant>> rows;
    while (q.next()) {
        QList<QVariant> row;
        for (int i = 0; i < 13; ++i)
            row << q.value(i);
        rows << row;
    }
    const double ms = double(BenchReport::nowNs() - start) / 1e6;
    q = QSqlQuery();
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("floor"));
    if (rows.size() != users)
        qFatal("the bare read gave %lld rows", static_cast<long long>(rows.size()));
    return ms;
}

void measure(int users)
{
    Clock::pin(kNow);
    BenchBoard board(users);
    // Closed, so that the file holds everything and each start copies it whole.
    ConnectionPool::closeLocal();
    QList<double> loads, added, floors;
    for (int run = 0; run < kStarts; ++run) {
        floors << bareRead(board.databasePath(), users);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--first-load"), QString::number(users), board.databasePath()});
        if (!child.waitForFinished(120000) || child.exitCode() != 0)
            qFatal("the load of %d users failed", users);
        const QList<QByteArray> line = child.readAllStandardOutput().trimmed().split(' ');
        if (line.size() != 3 || line.at(0) != "LOAD")
            qFatal("the load of %d users said nothing", users);
        loads << line.at(1).toDouble();
        added << line.at(2).toDouble();
    }
    const QString count = QLocale(QLocale::English).toString(users);
    std::fprintf(stderr, "full load of %s users: median %.1f ms over %d starts (bare read %.1f ms), +%.1f MB\n",
                 qPrintable(count), BenchReport::median(loads), kStarts, BenchReport::median(floors),
                 BenchReport::median(added));
    const double limit = users > 10000 ? 500 : 100;
    BenchReport::limitFigure(QStringLiteral("4 first full load of %1 users into the list and window (median of %2 starts)")
                                 .arg(count)
                                 .arg(kStarts),
                             BenchReport::median(loads), BenchReport::median(floors), QStringLiteral("ms"), limit,
                             QStringLiteral("<= %1 ms").arg(limit));
    if (users > 10000)
        BenchReport::limitFigure(QStringLiteral("4 full load of %1 users, added resident memory (median)").arg(count),
                                 BenchReport::median(added), std::nullopt, QStringLiteral("MB"), 60,
                                 QStringLiteral("<= 60 MB"));
}

} // namespace

int main(int argc, char *argv[])
{
    Clock::settleTimeZone(); // as the program does
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 4 && arguments.at(1) == QLatin1String("--first-load"))
        return firstLoad(arguments.at(2).toInt(), arguments.at(3));
    measure(10000);
    measure(50000);
    return 0;
}
