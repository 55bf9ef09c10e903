#include "AppError.h"
#include "Clock.h"
#include "ConnectionPool.h"
#include "DataSourceRegistry.h"
#include "DateUtil.h"
#include "MErrorHandler.h"
#include "Globals.h"
#include "Registry.h"
#include "TestDatabase.h"

#include <QtTest>
#include <thread>

namespace {

const QString kDsnKey = QStringLiteral("Software\\ODBC\\ODBC.INI\\StaffDataDSN");
const QString kViaDsn = QStringLiteral("Provider=MSDASQL;DSN=StaffDataDSN;");

QString dsnValue(const QString &name)
{
    return Registry::readString(Registry::CurrentUser, kDsnKey, name).value_or(QStringLiteral("<none>"));
}

void createStatusTable(DbHandle &db)
{
    Update(QStringLiteral("CREATE TABLE STAFF_STATUS (UserID integer PRIMARY KEY, LastUpdated integer)"), db);
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
    void connectionStringFollowsTheStoredType()
    {
        TestEnvironment env;
        const QString key = DatabaseRegistryKey();
        env.useSqliteDatabase();
        QCOMPARE(GetDB(), kViaDsn);
        QCOMPARE(g_sDBType, QStringLiteral("MSAccess"));

        // The server type with no connection of its own goes through the data source.
        g_sConnectionString.clear();
        Registry::writeString(Registry::CurrentUser, key, QStringLiteral("Type"), QStringLiteral("SQLServer"));
        Registry::writeString(Registry::CurrentUser, key, QStringLiteral("Connection"), QString());
        QCOMPARE(GetDB(), kViaDsn);

        // Any other type names a data source by its Server value.
        g_sConnectionString.clear();
        Registry::writeString(Registry::CurrentUser, key, QStringLiteral("Type"), QStringLiteral("OtherDSN"));
        Registry::writeString(Registry::CurrentUser, key, QStringLiteral("Server"), QStringLiteral("StaffDataDSN"));
        QCOMPARE(GetDB(), QStringLiteral("DSN=StaffDataDSN;"));
    }

    void firstRunRegistersTheEmbeddedDatabase()
    {
        TestEnvironment env;
        QVERIFY(!Registry::keyExists(Registry::CurrentUser, DatabaseRegistryKey()));
        QCOMPARE(GetDB(), kViaDsn);
        const QString expected = env.path(QStringLiteral("data/tessaly/StaffData.db"));
        QCOMPARE(Registry::readString(Registry::CurrentUser, DatabaseRegistryKey(), QStringLiteral("Server")).value(), expected);
        QCOMPARE(dsnValue(QStringLiteral("Driver")), QStringLiteral("QSQLITE"));
        QCOMPARE(dsnValue(QStringLiteral("SourceDB")), expected);
        QVERIFY(QFile::exists(expected));
        // The second run finds it without asking.
        g_sConnectionString.clear();
        QCOMPARE(GetDB(), kViaDsn);
        QVERIFY(env.prompt.asked.isEmpty());

        // Switching the data source's type leaves no stale values behind.
        CreateDSN(QStringLiteral("SQLServer"), QStringLiteral("dbhost"));
        QCOMPARE(dsnValue(QStringLiteral("Driver")), QStringLiteral("QPSQL"));
        QCOMPARE(dsnValue(QStringLiteral("Database")), QStringLiteral("StaffData"));
        QCOMPARE(dsnValue(QStringLiteral("SourceDB")), QStringLiteral("<none>"));
        CreateDSN(QStringLiteral("MSAccess"), QStringLiteral("/tmp/x.db"));
        QCOMPARE(dsnValue(QStringLiteral("Server")), QStringLiteral("<none>"));
        QCOMPARE(dsnValue(QStringLiteral("LastUser")), QStringLiteral("<none>"));
    }

    void unreachableDatabaseIsReportedMaskedAndEndsWhenTheUserGivesUp()
    {
        TestEnvironment env;
        env.usePostgresDatabase(QStringLiteral("host=127.0.0.1 port=1 dbname=none user=nobody password=s3cret connect_timeout=2"));
        g_chooseDatabase = [](DatabaseChoice &) { return false; };
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, GetDB());
        QCOMPARE(env.errorWindow.shown.size(), 1);
        const QString shown = env.errorWindow.shown.first().details;
        QVERIFY(shown.contains(QStringLiteral("Cannot connect to the database")));
        QVERIFY2(!shown.contains(QStringLiteral("s3cret")), qPrintable(shown));
        QVERIFY(shown.contains(QStringLiteral("password=*****")));
        QVERIFY(readTextFile(env.path(QStringLiteral("logs/error.log"))).contains(QStringLiteral("Cannot connect")));
        QCOMPARE(DataSourceRegistry::masked(QStringLiteral("host=h password='a b' user=u")),
                 QStringLiteral("host=h password=***** user=u"));
        QCOMPARE(DataSourceRegistry::masked(QStringLiteral("DSN=x;PWD=secret;UID=me")), QStringLiteral("DSN=x;PWD=*****;UID=me"));
    }

    void quotesNumbersAndDates()
    {
        const QString name = QStringLiteral("O'Neill's desk");
        QCOMPARE(EncodeQuotes(name), QStringLiteral("O\bNeill\bs desk"));
        QCOMPARE(DecodeQuotes(EncodeQuotes(name)), name);
        QCOMPARE(EncodeQuotes(QString()), QString());
        QString number = QStringLiteral("12,5,7");
        QCOMPARE(FormatSQLNumber(number), QStringLiteral("12.5,7"));
        QCOMPARE(number, QStringLiteral("12.5,7")); // the argument changes too
        QCOMPARE(FormatSQLDate(DateUtil::toDays(QDate(2004, 3, 5), QTime(14, 7, 9))), QStringLiteral("'2004-03-05 14:07:09'"));
    }

    void statementsRecordSetsAndTheCounter_data() { addEngineRows(); }
    void statementsRecordSetsAndTheCounter()
    {
        OPEN_TEST_DATABASE(tdb, "tst_database_");
        DbHandle db;
        RecordSet probe = OpenADORecordSet(db, QStringLiteral("SELECT 1 AS one"));
        QVERIFY(db); // the connection opened here is handed back
        QCOMPARE(probe.integer(QStringLiteral("ONE")), 1);
        QCOMPARE(getLastUpdatedValue(db), -1); // an empty table

        const QString note = QStringLiteral("back at 3 o'clock #! [+1.30]");
        QCOMPARE(Update(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, RealName, Note, LastUpdated, IsActive) "
                                       "VALUES (?, ?, ?, ?, 1)"),
                        db, {7, EncodeQuotes(QStringLiteral("Sé O'Brien")), EncodeQuotes(note), 41}),
                 ErrNo::Success);
        DbHandle none;
        QCOMPARE(getLastUpdatedValue(none), 41);
        const RecordSet rs = OpenADORecordSet(db, QStringLiteral("SELECT * FROM STAFF_STATUS WHERE UserID = ?"), true, {7});
        QCOMPARE(rs.recordCount(), 1);
        QCOMPARE(DecodeQuotes(rs.text(QStringLiteral("realname"))), QStringLiteral("Sé O'Brien"));
        QCOMPARE(DecodeQuotes(rs.text(QStringLiteral("Note"))), note);
        QVERIFY(rs.isNull(QStringLiteral("ETA")));
        CloseADOConnection(db);
        QVERIFY(!db);
    }

    void failuresCarryTheRoutineAndStatement_data() { addEngineRows(); }
    void failuresCarryTheRoutineAndStatement()
    {
        OPEN_TEST_DATABASE(tdb, "tst_database_");
        DbHandle db;
        try {
            OpenADORecordSet(db, QStringLiteral("SELECT * FROM NO_SUCH_TABLE"));
            QFAIL("no error raised");
        } catch (const AppError &e) {
            QCOMPARE(e.number(), ErrNo::Raised);
            QVERIFY2(e.source().startsWith(QStringLiteral("MADOFunctions.OpenADORecordSet \r\n")), qPrintable(e.source()));
            QVERIFY2(e.description().startsWith(QString::number(ErrNo::BadStatement)
                                                + QStringLiteral(" Error Executing [SELECT * FROM NO_SUCH_TABLE]\r\nDue to ")),
                     qPrintable(e.description()));
        }
        // A bad statement is not "busy": it fails at once, without retries.
        QCOMPARE(g_iDBRetryCount, qint16(0));
        DbHandle none;
        try {
            Update(QStringLiteral("UPDATE NO_SUCH_TABLE SET x = 1"), none);
            QFAIL("no error raised");
        } catch (const AppError &e) {
            QVERIFY(e.source().startsWith(QStringLiteral("MADOFunctions.Update ")));
        }
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

    void aLockedSqliteFileIsBusyAndRetried()
    {
        TestEnvironment env;
        env.useSqliteDatabase();
        DbHandle holder = OpenADOConnection();
        createStatusTable(holder);
        holder->beginWrite();
        holder->execute(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, LastUpdated) VALUES (1, 1)"));
        auto other = DbConnection::open(DataSourceRegistry::resolve(GetDB()));
        try {
            other->beginWrite();
            QFAIL("the second writer got the lock");
        } catch (const AppError &e) {
            QCOMPARE(e.number(), ErrNo::Busy);
        }

        // The statement is retried while the lock lasts and goes through once it is gone.
        int waits = 0;
        g_busyWait = [&](int) {
            if (++waits == 3)
                holder->commit(); // the lock goes away after the third wait
        };
        DbHandle none;
        QCOMPARE(Update(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, LastUpdated) VALUES (2, 2)"), none), ErrNo::Success);
        QCOMPARE(waits, 3);
        QCOMPARE(g_iDBRetryCount, qint16(0));
        QCOMPARE(getLastUpdatedValue(none), 2);
    }
};

QTEST_GUILESS_MAIN(tst_Database)
#include "tst_Database.moc"
