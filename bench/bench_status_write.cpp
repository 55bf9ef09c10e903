// Status write: a click on a status button of the main window's tool bar, as
// the click runs it (the change stored, the list of the group shown polled
// for it, the caption and the tray icon set), on a board of 1,000 users.
// On SQLite the program is the file's only user while it is measured, and
// the floor is the bare transaction of the change (BEGIN IMMEDIATE, UPDATE,
// INSERT, COMMIT) on a connection of its own, open only for its own rounds.
// On PostgreSQL (when the script started a server) the floor is the same
// statements the click sends, prepared once on one open connection.

#include "BenchBoard.h"
#include "BenchReport.h"
#include "PgServer.h"
#include "StubTrayWindow.h"
#include "foundation/Globals.h"
#include "mainwindow/frmMain.h"
#include "platform/Clock.h"
#include "platform/ConnectionPool.h"
#include "platform/DateUtil.h"
#include "status/CClientHnd.h"
#include "status/UserListModel.h"
#include "status/UserListPoll.h"
#include "status/UserListReader.h"

#include <QAction>
#include <QApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <cstdio>

namespace {

constexpr int kRounds = 24;
constexpr int kPerRound = 25;
constexpr int kUsers = 1000;
constexpr qint32 kUser = 1;

QString statusFor(int i)
{
    return i % 2 ? QStringLiteral("OUT") : QStringLiteral("INN");
}

// The statements of a status change on a connection of its own, each
// prepared once. On SQLite the counter is kept here, not read.
class DirectWriter
{
public:
    explicit DirectWriter(const ConnectionSpec &spec) : m_sqlite(spec.dialect == ConnectionSpec::SQLite)
    {
        m_db = QSqlDatabase::addDatabase(m_sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"),
                                         QStringLiteral("floor"));
        if (m_sqlite) {
            m_db.setDatabaseName(spec.path);
            m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
        } else {
            m_db.setHostName(spec.host);
            m_db.setPort(spec.port);
            m_db.setDatabaseName(spec.database);
            m_db.setUserName(spec.user);
        }
        if (!m_db.open())
            qFatal("cannot open the floor's connection: %s", qPrintable(m_db.lastError().text()));
        if (m_sqlite)
            run(QStringLiteral("PRAGMA journal_mode=WAL"));
        m_update = prepared(QStringLiteral("UPDATE STAFF_STATUS SET IsIn = ?, Note = ?, LastUpdated = ?, "
                                           "LastStatusChange = ?, ETA = ?, ETD = ? WHERE UserID = ?"));
        m_insert = prepared(QStringLiteral("INSERT INTO STATUS_HISTORY (Status, Note, ETA, ETD, UserID) "
                                           "VALUES (?, ?, ?, ?, ?)"));
        const UserListReader::Query poll = UserListReader::usersQuery(BenchBoard::kStaffMembers, {}, 0, false);
        m_poll = prepared(poll.sql);
    }
    ~DirectWriter()
    {
        m_update = QSqlQuery();
        m_insert = QSqlQuery();
        m_poll = QSqlQuery();
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("floor"));
    }

    void startFrom(qint32 counter) { m_counter = counter; }

    void write(const QString &status, const QString &note)
    {
        const double now = Clock::nowDays();
        const QString when = DateUtil::fromDays(now).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (m_sqlite) {
            run(QStringLiteral("BEGIN IMMEDIATE"));
            ++m_counter;
        } else {
            run(QStringLiteral("BEGIN"));
            run(QStringLiteral("LOCK TABLE STAFF_STATUS IN SHARE ROW EXCLUSIVE MODE"));
            QSqlQuery highest = run(QStringLiteral("SELECT MAX(LastUpdated) AS maxid FROM STAFF_STATUS"));
            highest.next();
            m_counter = highest.value(0).toInt() + 1;
        }
        exec(m_update, {status, note, m_counter, now, now + 1.0 / 24, now, kUser});
        exec(m_insert, {status, note, when, when, kUser});
        run(QStringLiteral("COMMIT"));
        if (!m_sqlite) {
            exec(m_poll, {BenchBoard::kStaffMembers, m_counter - 1});
            while (m_poll.next()) {
            }
        }
    }

private:
    QSqlQuery prepared(const QString &sql)
    {
        QSqlQuery q(m_db);
        if (!q.prepare(sql))
            qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return q;
    }
    QSqlQuery run(const QString &sql)
    {
        QSqlQuery q(m_db);
        if (!q.exec(sql))
            qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return q;
    }
    static void exec(QSqlQuery &q, const QVariantList &values)
    {
        for (int i = 0; i < values.size(); ++i)
            q.bindValue(i, values.at(i));
        if (!q.exec())
            qFatal("%s", qPrintable(q.lastError().text()));
    }

    bool m_sqlite;
    QSqlDatabase m_db;
    QSqlQuery m_update;
    QSqlQuery m_insert;
    QSqlQuery m_poll;
    qint32 m_counter = 0;
};

template <typename Work>
void timeEach(QList<double> &samples, Work &&work)
{
    for (int i = 0; i < kPerRound; ++i) {
        const qint64 start = BenchReport::nowNs();
        work(i);
        samples << double(BenchReport::nowNs() - start) / 1000.0;
    }
}

qint32 highestCounter()
{
    DbHandle none;
    return getLastUpdatedValue(none);
}

// The main window showing the group of all users, as after a click on its
// node, with the controller behind it.
frmMain &showBoard()
{
    g_lLastUpdated = -1;
    g_sCurrentNodeKey.clear();
    g_vUserList.clear();
    g_oClientHnd = std::make_unique<CClientHnd>();
    auto window = std::make_unique<frmMain>();
    frmMain &main = *window;
    g_frmMain = std::move(window);
    main.showWindow();
    g_sViewType = QStringLiteral("GRP");
    QString query;
    QString node = QStringLiteral("GRP%1").arg(BenchBoard::kStaffMembers);
    g_oClientHnd->RefreshUserList(false, true, query, node);
    QApplication::processEvents();
    if (g_oClientHnd->userList().model().rowCount() != kUsers || !main.isUserListVisible())
        qFatal("the main window does not show the board");
    return main;
}

void measure(bool postgres)
{
    BenchBoard board(kUsers, QStringLiteral("USER00001"), postgres);
    g_lUserID = kUser;
    g_frmSysTray = std::make_unique<StubTrayWindow>();
    frmMain *main = &showBoard();

    QList<double> clicks, floor;
    std::unique_ptr<DirectWriter> direct;
    for (int round = 0; round < kRounds; ++round) {
        // Interleaved, so that a slow spell of the machine falls on both.
        timeEach(clicks, [&](int i) { main->findChild<QAction *>(statusFor(i))->trigger(); });
        QApplication::processEvents();
        if (!direct)
            direct = std::make_unique<DirectWriter>(board.spec());
        direct->startFrom(highestCounter());
        timeEach(floor, [&](int i) { direct->write(statusFor(i), QStringLiteral("floor %1").arg(i)); });
        // On SQLite the program is the file's only user while it is measured.
        if (!postgres)
            direct.reset();
    }
    direct.reset();
    if (g_oCurrentUser.IsIn != statusFor(kPerRound - 1))
        qFatal("the clicks did not change the status");
    const double floorMedian = BenchReport::median(floor);
    const QString engine = postgres ? QStringLiteral("PostgreSQL") : QStringLiteral("SQLite");
    std::fprintf(stderr, "status write on %s: %lld clicks; medians %.0f us, floor %.0f us\n", qPrintable(engine),
                 static_cast<long long>(clicks.size()), BenchReport::median(clicks), floorMedian);
    BenchReport::ratioFigure(QStringLiteral("1 status write on %1, a tool-bar click with its list refresh (median)")
                                 .arg(engine),
                             BenchReport::median(clicks), floorMedian, QStringLiteral("us"), 1.5);
    main->hideWindow();
    g_frmMain.reset();
    g_oClientHnd.reset();
    g_frmSysTray.reset();
    ConnectionPool::closeLocal();
}

} // namespace

int main(int argc, char *argv[])
{
    Clock::settleTimeZone(); // as the program does
    QApplication app(argc, argv);
    measure(false);
    if (PgServer::available())
        measure(true);
    else
        BenchReport::figure(QStringLiteral("1 status write on PostgreSQL"), QStringLiteral("skipped: no server"),
                            QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("<= 1.5x floor"), std::nullopt);
    return 0;
}
