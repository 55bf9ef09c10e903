#include "TestDatabase.h"
#include "foundation/CounterAllocator.h"
#include "foundation/Globals.h"
#include "foundation/MErrorHandler.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/ConnectionPool.h"
#include "platform/DataSourceRegistry.h"
#include "platform/Registry.h"
#include "platform/SettingsKeys.h"

#include <QtTest>
#include <thread>

namespace {

const QString kViaDsn = QStringLiteral("Provider=MSDASQL;DSN=StaffDataDSN;");

QString dsnValue(const SettingKey &key)
{
    return key.stored(QStringLiteral("StaffDataDSN")).value_or(QStringLiteral("<none>"));
}

// A temporary table lives as long as its connection: an operation that finds
// it got the connection that made it.
void markConnection()
{
    DbHandle db = OpenADOConnection();
    db->execute(QStringLiteral("CREATE TEMP TABLE pool_mark (x int)"));
}
bool gotMarkedConnection()
{
    DbHandle db = OpenADOConnection();
    try {
        db->query(QStringLiteral("SELECT x FROM pool_mark"));
        return true;
    } catch (const AppError &) {
        return false;
    }
}

} // namespace

class tst_Database : public QObject
{
    Q_OBJECT
private slots:
    void firstRunRegistersTheChosenDatabase()
    {
        TestEnvironment env;
        const QString chosen = env.path(QStringLiteral("data/StaffData.db"));
        const QString corrected = env.path(QStringLiteral("data/Corrected.db"));
        QVector<DatabaseChoice> offered;
        g_chooseDatabase = [&](DatabaseChoice &choice) {
            offered << choice;
            choice = {QStringLiteral("MSAccess"), offered.size() == 1 ? chosen : corrected, QString()};
            return true;
        };
        const QString settingsFile = Registry::filePath(Registry::CurrentUser);
        Registry::createKey(Registry::CurrentUser, QStringLiteral("Software\\Other"));
        QFile::setPermissions(settingsFile, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        QCOMPARE(GetDB(), kViaDsn);
        QCOMPARE(std::tuple(offered.size(), offered.value(0).location), std::tuple(1, QString()));
        QCOMPARE(SettingsKeys::DatabaseServer.stored().value(), chosen);
        QCOMPARE(dsnValue(SettingsKeys::DsnDriver), QStringLiteral("QSQLITE"));
        QCOMPARE(dsnValue(SettingsKeys::DsnSourceDB), chosen);
        QVERIFY(!(QFile::permissions(settingsFile) & (QFile::ReadGroup | QFile::ReadOther)));
        QVERIFY(QFile::exists(chosen));
        // The second run finds it without asking.
        g_sConnectionString.clear();
        QCOMPARE(GetDB(), kViaDsn);
        QCOMPARE(offered.size(), 1);
        QVERIFY(QFile::remove(chosen)); // once opened, a file that goes away is not made afresh
        QVERIFY_THROWS_EXCEPTION(AppError, OpenADOConnection());
        QVERIFY(!QFile::exists(chosen));

        // A stored database that cannot be opened is reported, then offered
        // for correction; what the user gives is used at once.
        const QString unmounted = env.useSqliteDatabase(QStringLiteral("share/StaffData.db")); // folder missing
        QCOMPARE(GetDB(), kViaDsn);
        QVERIFY(env.errorWindow.shown.value(0).details.contains(QStringLiteral("database not found at ") + unmounted));
        QCOMPARE(offered.value(1).location, unmounted);
        QCOMPARE(SettingsKeys::DatabaseServer.stored().value(), corrected);

        // Switching the data source's type leaves no stale values behind.
        CreateDSN(QStringLiteral("SQLServer"), QStringLiteral("dbhost"));
        QCOMPARE(dsnValue(SettingsKeys::DsnSourceDB), QStringLiteral("<none>"));
    }

    void unreachableDatabaseIsReportedMaskedAndCancelChangesNothing()
    {
        TestEnvironment env;
        env.usePostgresDatabase(QStringLiteral("host=127.0.0.1 port=1 dbname=none user=nobody password=s3cret connect_timeout=2"));
        const QString before = readTextFile(Registry::filePath(Registry::CurrentUser));
        DatabaseChoice offered;
        g_chooseDatabase = [&](DatabaseChoice &choice) {
            offered = choice;
            return false; // Cancel
        };
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, GetDB()); // after Continue in the error window
        QCOMPARE(std::tuple(offered.type, offered.location), std::tuple(QStringLiteral("SQLServer"), QStringLiteral("127.0.0.1")));
        QCOMPARE(readTextFile(Registry::filePath(Registry::CurrentUser)), before);
        QCOMPARE(env.errorWindow.shown.size(), 1);
        const QString shown = env.errorWindow.shown.first().details;
        QVERIFY(shown.contains(QStringLiteral("Cannot connect to the database")));
        QVERIFY2(!shown.contains(QStringLiteral("s3cret")), qPrintable(shown));
        QVERIFY(shown.contains(QStringLiteral("password=*****")));
        QCOMPARE(DataSourceRegistry::masked(QStringLiteral("host=h password='a b' user=u")),
                 QStringLiteral("host=h password=***** user=u"));
        QCOMPARE(DataSourceRegistry::masked(QStringLiteral("DSN=x;PWD=secret;UID=me")), QStringLiteral("DSN=x;PWD=*****;UID=me"));
    }

    void numbersWithADecimalComma()
    {
        QString number = QStringLiteral("12,5,7");
        QCOMPARE(FormatSQLNumber(number), QStringLiteral("12.5,7"));
        QCOMPARE(number, QStringLiteral("12.5,7")); // the argument changes too
    }

    void statementsRecordSetsTheCounterAndFailures_data() { addEngineRows(); }
    void statementsRecordSetsTheCounterAndFailures()
    {
        OPEN_TEST_DATABASE(tdb, "tst_database_");
        DbHandle db;
        QCOMPARE(OpenADORecordSet(db, QStringLiteral("SELECT 1 AS one")).integer(QStringLiteral("ONE")), 1);
        QVERIFY(db); // the connection opened here is handed back
        QCOMPARE(getLastUpdatedValue(db), -1); // an empty table

        const QString note = QStringLiteral("back at 3 o'clock #! [+1.30]");
        QCOMPARE(Update(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, RealName, Note, LastUpdated, IsActive) "
                                       "VALUES (?, ?, ?, ?, 1)"),
                        db, {7, EncodeQuotes(QStringLiteral("Sé O'Brien")), EncodeQuotes(note), 41}),
                 ErrNo::Success);
        DbHandle none;
        QCOMPARE(getLastUpdatedValue(none), 41);
        const RecordSet rs = OpenADORecordSet(db, QStringLiteral("SELECT * FROM STAFF_STATUS WHERE UserID = ?"), true, {7});
        QCOMPARE(DecodeQuotes(rs.text(QStringLiteral("realname"))), QStringLiteral("Sé O'Brien"));
        QCOMPARE(DecodeQuotes(rs.text(QStringLiteral("Note"))), note);
        CloseADOConnection(db);
        QVERIFY(!db);

        // Failures carry the routine and the statement.
        const AppError e = raisedBy([&] { OpenADORecordSet(db, QStringLiteral("SELECT * FROM NO_SUCH_TABLE")); });
        QCOMPARE(e.number(), ErrNo::Raised);
        QVERIFY2(e.description().startsWith(QString::number(ErrNo::BadStatement)
                                            + QStringLiteral(" Error Executing [SELECT * FROM NO_SUCH_TABLE]\r\nDue to ")),
                 qPrintable(e.description()));
        // A bad statement is not "busy": it fails at once, without retries.
        QCOMPARE(g_iDBRetryCount, qint16(0));
    }

    void connectionsArePooledPerThreadUntilIdleTooLong_data() { addEngineRows(); }
    void connectionsArePooledPerThreadUntilIdleTooLong()
    {
        OPEN_TEST_DATABASE(tdb, "tst_database_");
        Clock::pin(QDateTime(QDate(2026, 3, 4), QTime(10, 0)));
        markConnection();
        bool markedInOtherThread = true;
        std::thread([&] { markedInOtherThread = gotMarkedConnection(); }).join();
        QVERIFY(!markedInOtherThread);
        Clock::advance(ConnectionPool::kIdleTimeoutMs - 1000);
        QVERIFY(gotMarkedConnection());

        // Handed back inside a transaction: rolled back, reported, and reused.
        {
            DbHandle db = OpenADOConnection();
            db->beginWrite();
            db->execute(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, LastUpdated) VALUES (5, 5)"));
        }
        QCOMPARE(tdb.value(QStringLiteral("SELECT COUNT(*) FROM STAFF_STATUS")).toInt(), 0);
        QVERIFY(readTextFile(tdb.env.path(QStringLiteral("logs/error.log"))).contains(QStringLiteral("inside a transaction")));
        QVERIFY(gotMarkedConnection());

        Clock::advance(ConnectionPool::kIdleTimeoutMs);
        QVERIFY(!gotMarkedConnection());
        Clock::unpin();
    }

    void aServerSessionEndedUnderTheIdlePoolIsReplaced()
    {
        REQUIRE_PG();
        TestDatabase tdb(true, QStringLiteral("tst_database_ended"));
        markConnection();
        const qint64 pid = tdb.value(QStringLiteral("SELECT pg_backend_pid()")).toLongLong();
        QVERIFY(gotMarkedConnection());
        auto admin = DbConnection::open(ConnectionSpec::fromConnInfo(PgServer::adminConnInfo()));
        admin->query(QStringLiteral("SELECT pg_terminate_backend(?)"), {pid});
        QTRY_COMPARE(admin->query(QStringLiteral("SELECT pid FROM pg_stat_activity WHERE pid = ?"), {pid}).recordCount(), 0);
        QVERIFY(!gotMarkedConnection()); // a new session, and no error on the way
        QVERIFY(tdb.value(QStringLiteral("SELECT pg_backend_pid()")).toLongLong() != pid);
    }


    void aLockHeldByAnotherServerSessionIsBusy()
    {
        REQUIRE_PG();
        TestDatabase tdb(true, QStringLiteral("tst_database_lock"));
        DbHandle holder = OpenADOConnection(), waiter = OpenADOConnection();
        holder->beginWrite();
        holder->lockTable(QStringLiteral("STAFF_STATUS"));
        waiter->execute(QStringLiteral("SET statement_timeout = 10000")); // fail rather than hang without a lock timeout
        QCOMPARE(raisedBy([&] { waiter->execute(QStringLiteral("INSERT INTO STAFF_STATUS (UserID) VALUES (1)")); }).number(),
                 ErrNo::Busy);
    }

    // Copies competing for the counters are the concurrent-writers stress test's.
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
};

QTEST_GUILESS_MAIN(tst_Database)
#include "tst_Database.moc"
