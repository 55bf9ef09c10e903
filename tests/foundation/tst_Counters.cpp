#include "CopyProcess.h"
#include "TestDatabase.h"
#include "foundation/CounterAllocator.h"
#include "foundation/Globals.h"
#include "foundation/MErrorHandler.h"
#include "platform/AppError.h"
#include "platform/DbConnection.h"

#include <QProcess>
#include <QtTest>

namespace {

constexpr int kWorkers = 6;
constexpr int kRounds = 60;

ConnectionSpec specFor(const QString &where)
{
    if (where.startsWith(QStringLiteral("sqlite:"))) {
        ConnectionSpec spec;
        spec.path = where.mid(7);
        return spec;
    }
    return ConnectionSpec::fromConnInfo(where);
}

void createTables(DbConnection &db)
{
    db.execute(QStringLiteral("CREATE TABLE STAFF_STATUS (UserID integer PRIMARY KEY, LastUpdated integer)"));
    db.execute(QStringLiteral("CREATE TABLE idmanager (tablename varchar(10), id integer)"));
    db.execute(QStringLiteral("CREATE TABLE handed_out (kind varchar(10), value integer, worker integer)"));
    for (int w = 1; w <= kWorkers; ++w)
        db.execute(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, LastUpdated) VALUES (?, NULL)"), {w});
}

// One competing copy: allocates change counters and ids and writes down each
// value it was given.
int runWorker(int worker, const QString &where)
{
    g_busyWait = [](int ms) { QThread::msleep(std::min(ms, 50)); };
    DbHandle db = DbConnection::open(specFor(where));
    for (int round = 0; round < kRounds; ++round) {
        CounterAllocator::inWriteTransaction(db, [&](DbConnection &c) {
            const qint32 value = CounterAllocator::nextLastUpdated(c);
            c.execute(QStringLiteral("UPDATE STAFF_STATUS SET LastUpdated = ? WHERE UserID = ?"), {value, worker});
            c.execute(QStringLiteral("INSERT INTO handed_out (kind, value, worker) VALUES ('counter', ?, ?)"),
                      {value, worker});
        });
        CounterAllocator::inWriteTransaction(db, [&](DbConnection &c) {
            const qint32 id = CounterAllocator::nextId(c, QStringLiteral("userid"), 1, true);
            c.execute(QStringLiteral("INSERT INTO handed_out (kind, value, worker) VALUES ('id', ?, ?)"), {id, worker});
        });
    }
    return 0;
}

} // namespace

class tst_Counters : public QObject
{
    Q_OBJECT
private:
    void competeOn(const QString &where)
    {
        {
            DbHandle db = DbConnection::open(specFor(where));
            createTables(*db);
        }
        QList<QProcess *> workers;
        for (int w = 1; w <= kWorkers; ++w) {
            auto *p = new QProcess(this);
            p->setProcessChannelMode(QProcess::ForwardedChannels);
            p->start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--worker"), QString::number(w), where});
            workers << p;
        }
        for (QProcess *p : workers) {
            QVERIFY(p->waitForFinished(120000));
            QCOMPARE(p->exitCode(), 0);
        }
        DbHandle db = DbConnection::open(specFor(where));
        for (const char *kind : {"counter", "id"}) {
            const RecordSet rs = db->query(QStringLiteral("SELECT COUNT(*) AS n, COUNT(DISTINCT value) AS d, MIN(value) AS lo, "
                                                          "MAX(value) AS hi FROM handed_out WHERE kind = ?"), {QString::fromLatin1(kind)});
            QCOMPARE(rs.integer(QStringLiteral("n")), qint64(kWorkers * kRounds));
            QCOMPARE(rs.integer(QStringLiteral("d")), qint64(kWorkers * kRounds)); // none handed out twice
            const qint64 first = kind[0] == 'c' ? 0 : 1; // an empty table's counter starts at 0
            QCOMPARE(rs.integer(QStringLiteral("lo")), first);
            QCOMPARE(rs.integer(QStringLiteral("hi")), first + kWorkers * kRounds - 1);
        }
        const RecordSet ids = db->query(QStringLiteral("SELECT id FROM idmanager WHERE tablename = 'userid'"));
        QCOMPARE(ids.recordCount(), 1); // the missing row was created once
        QCOMPARE(ids.integer(QStringLiteral("id")), qint64(kWorkers * kRounds));
    }

private slots:
    void idsAndTheChangeCounter()
    {
        TestEnvironment env;
        ConnectionSpec spec;
        spec.path = env.path(QStringLiteral("scratch.db"));
        DbHandle db = DbConnection::open(spec);
        db->execute(QStringLiteral("CREATE TABLE idmanager (tablename varchar(10), id integer)"));
        // Without a row: the first id, and the row only when asked for.
        QCOMPARE(CounterAllocator::nextId(*db, QStringLiteral("trnode"), 2, false), 2);
        QCOMPARE(db->query(QStringLiteral("SELECT * FROM idmanager")).recordCount(), 0);
        QCOMPARE(CounterAllocator::nextId(*db, QStringLiteral("userid"), 1, true), 1);
        QCOMPARE(CounterAllocator::nextId(*db, QStringLiteral("userid"), 1, true), 2);
        db->execute(QStringLiteral("INSERT INTO idmanager (tablename, id) VALUES ('resrce', 41), ('resrvn', NULL)"));
        QCOMPARE(CounterAllocator::nextId(*db, QStringLiteral("resrce"), 2, false), 42);
        QCOMPARE(CounterAllocator::nextId(*db, QStringLiteral("resrvn"), 2, false), 2);
        QCOMPARE(db->query(QStringLiteral("SELECT id FROM idmanager WHERE tablename = 'resrvn'")).integer(QStringLiteral("id")), 2);

        // The change counter needs a transaction.
        db->execute(QStringLiteral("CREATE TABLE STAFF_STATUS (UserID integer, LastUpdated integer)"));
        QVERIFY_THROWS_EXCEPTION(AppError, CounterAllocator::nextLastUpdated(*db));
        db->beginWrite();
        QCOMPARE(CounterAllocator::nextLastUpdated(*db), 0);
        db->rollback();
    }

    void concurrentCopies_data() { addEngineRows(); }
    void concurrentCopies()
    {
        QFETCH(bool, postgres);
        TestEnvironment env;
        if (!postgres)
            return competeOn(QStringLiteral("sqlite:") + env.path(QStringLiteral("shared.db")));
        REQUIRE_PG();
        competeOn(PgServer::createDatabase(QStringLiteral("tst_counters")));
        PgServer::dropDatabase(QStringLiteral("tst_counters"));
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    tst_Counters test;
    return CopyProcess::main(argc, argv, "--worker", [](const QStringList &args) {
        return runWorker(args.value(0).toInt(), args.value(1));
    }, test);
}

#include "tst_Counters.moc"
