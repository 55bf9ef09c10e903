// Status write: CClientHnd::UpdateStatus on an embedded database file against
// the floor of the same UPDATE and INSERT issued directly, on an open
// connection, in one transaction.

#include "BenchBoard.h"
#include "BenchReport.h"
#include "StubTrayWindow.h"
#include "foundation/Globals.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "status/CClientHnd.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <cstdio>

namespace {

constexpr int kRounds = 24;
constexpr int kPerRound = 25;
constexpr qint32 kUser = 1;

QString statusFor(int i)
{
    return i % 2 ? QStringLiteral("OUT") : QStringLiteral("INN");
}

// The two statements of a status change, prepared once on a connection of
// their own, with the counter kept here instead of read from the table.
class DirectWriter
{
public:
    explicit DirectWriter(const QString &path)
        : m_db(QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("floor")))
    {
        m_db.setDatabaseName(path);
        m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
        if (!m_db.open())
            qFatal("cannot open %s", qPrintable(path));
        QSqlQuery(m_db).exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        m_update = QSqlQuery(m_db);
        m_update.prepare(QStringLiteral("UPDATE STAFF_STATUS SET IsIn = ?, Note = ?, LastUpdated = ?, "
                                        "LastStatusChange = ?, ETA = ?, ETD = ? WHERE UserID = ?"));
        m_insert = QSqlQuery(m_db);
        m_insert.prepare(QStringLiteral("INSERT INTO STATUS_HISTORY (Status, Note, ETA, ETD, UserID) "
                                        "VALUES (?, ?, ?, ?, ?)"));
    }

    void startFrom(qint32 counter) { m_counter = counter; }

    void write(const QString &status, const QString &note)
    {
        const double now = Clock::nowDays();
        const double dueBack = now + 1.0 / 24;
        const QString when = DateUtil::fromDays(now).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        run(QStringLiteral("BEGIN IMMEDIATE"));
        for (const QVariant &value : {QVariant(status), QVariant(note), QVariant(++m_counter), QVariant(now),
                                      QVariant(dueBack), QVariant(now), QVariant(kUser)})
            m_update.addBindValue(value);
        exec(m_update);
        for (const QVariant &value : {QVariant(status), QVariant(note), QVariant(when), QVariant(when), QVariant(kUser)})
            m_insert.addBindValue(value);
        exec(m_insert);
        run(QStringLiteral("COMMIT"));
    }

private:
    void run(const QString &sql)
    {
        QSqlQuery q(m_db);
        if (!q.exec(sql))
            qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    }
    static void exec(QSqlQuery &q)
    {
        if (!q.exec())
            qFatal("%s", qPrintable(q.lastError().text()));
    }

    QSqlDatabase m_db;
    QSqlQuery m_update;
    QSqlQuery m_insert;
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

} // namespace

int main(int argc, char *argv[])
{
    Clock::settleTimeZone(); // as the program does
    QCoreApplication app(argc, argv);
    BenchBoard board(1000);
    g_lUserID = kUser;
    g_frmSysTray = std::make_unique<StubTrayWindow>();
    CClientHnd engine;
    DirectWriter direct(board.databasePath());
    DbHandle shared = OpenADOConnection();

    QList<double> own, given, floor;
    for (int round = 0; round < kRounds; ++round) {
        // Interleaved, so that a slow spell of the machine falls on all three.
        timeEach(own, [&](int i) {
            double outAt = 0, dueBack = 0;
            engine.UpdateStatus(kUser, statusFor(i), QStringLiteral("own %1").arg(i), outAt, dueBack, false, false);
        });
        timeEach(given, [&](int i) {
            double outAt = 0, dueBack = 0;
            engine.UpdateStatus(kUser, statusFor(i), QStringLiteral("given %1").arg(i), outAt, dueBack, false, false,
                                shared);
        });
        direct.startFrom(highestCounter());
        timeEach(floor, [&](int i) { direct.write(statusFor(i), QStringLiteral("floor %1").arg(i)); });
    }
    const double floorMedian = BenchReport::median(floor);
    std::fprintf(stderr, "status write: %lld changes each; medians %.0f / %.0f / %.0f us\n",
                 static_cast<long long>(own.size()), BenchReport::median(own), BenchReport::median(given), floorMedian);
    BenchReport::ratioFigure(QStringLiteral("1 status write, UpdateStatus opening its connection (median)"),
                             BenchReport::median(own), floorMedian, QStringLiteral("us"), 1.5);
    BenchReport::ratioFigure(QStringLiteral("1 status write, UpdateStatus on an open connection (median)"),
                             BenchReport::median(given), floorMedian, QStringLiteral("us"), 1.5);
    g_frmSysTray.reset();
    return 0;
}
