#include "AppError.h"
#include "DataSourceRegistry.h"
#include "DateUtil.h"
#include "MErrorHandler.h"
#include "Globals.h"
#include "MADOFunctions.h"
#include "PgServer.h"
#include "Registry.h"
#include "TestSupport.h"

#include <QtTest>

namespace {

void createStatusTable(DbHandle &db)
{
    Update(QStringLiteral("CREATE TABLE STAFF_STATUS (UserID integer PRIMARY KEY, RealName varchar(50), "
                          "IsIn varchar(3), Note varchar(255), ETA double precision, LastUpdated integer, "
                          "IsActive integer)"),
           db);
}

} // namespace

class tst_Database : public QObject
{
    Q_OBJECT
private:
    // Runs the body once on a SQLite file and once on PostgreSQL.
    void onBothEngines(const std::function<void(TestEnvironment &)> &body)
    {
        {
            TestEnvironment env;
            env.useSqliteDatabase();
            body(env);
        }
        if (!PgServer::available() && !PgServer::required())
            return;
        QVERIFY2(PgServer::available(), "PostgreSQL test server required");
        TestEnvironment env;
        env.usePostgresDatabase(PgServer::createDatabase(QStringLiteral("tst_database")));
        body(env);
        PgServer::dropDatabase(QStringLiteral("tst_database"));
    }

private slots:
    void connectionStringFollowsTheStoredType()
    {
        TestEnvironment env;
        const QString key = DatabaseRegistryKey();
        const QString file = env.useSqliteDatabase();
        QCOMPARE(GetDB(), QStringLiteral("Provider=MSDASQL;DSN=StaffDataDSN;"));
        QCOMPARE(g_sDBType, QStringLiteral("MSAccess"));

        // The server type with no connection of its own goes through the data source.
        g_sConnectionString.clear();
        Registry::writeString(Registry::CurrentUser, key, QStringLiteral("Type"), QStringLiteral("SQLServer"));
        Registry::writeString(Registry::CurrentUser, key, QStringLiteral("Connection"), QString());
        QCOMPARE(GetDB(), QStringLiteral("Provider=MSDASQL;DSN=StaffDataDSN;"));

        // Any other type names a data source by its Server value.
        g_sConnectionString.clear();
        Registry::writeString(Registry::CurrentUser, key, QStringLiteral("Type"), QStringLiteral("OtherDSN"));
        Registry::writeString(Registry::CurrentUser, key, QStringLiteral("Server"), QStringLiteral("StaffDataDSN"));
        QCOMPARE(GetDB(), QStringLiteral("DSN=StaffDataDSN;"));
        Q_UNUSED(file);
    }

    void firstRunRegistersTheEmbeddedDatabase()
    {
        TestEnvironment env;
        QVERIFY(!Registry::keyExists(Registry::CurrentUser, DatabaseRegistryKey()));
        QCOMPARE(GetDB(), QStringLiteral("Provider=MSDASQL;DSN=StaffDataDSN;"));
        const QString expected = env.path(QStringLiteral("data/tessaly/StaffData.db"));
        QCOMPARE(Registry::readString(Registry::CurrentUser, DatabaseRegistryKey(), QStringLiteral("Server")).value(), expected);
        const QString dsn = QStringLiteral("Software\\ODBC\\ODBC.INI\\StaffDataDSN");
        QCOMPARE(Registry::readString(Registry::CurrentUser, dsn, QStringLiteral("Driver")).value(), QStringLiteral("QSQLITE"));
        QCOMPARE(Registry::readString(Registry::CurrentUser, dsn, QStringLiteral("SourceDB")).value(), expected);
        QVERIFY(QFile::exists(expected));
        // The second run finds it without asking.
        g_sConnectionString.clear();
        QCOMPARE(GetDB(), QStringLiteral("Provider=MSDASQL;DSN=StaffDataDSN;"));
        QVERIFY(env.prompt.asked.isEmpty());
    }

    void switchingTheDataSourceLeavesNoStaleValues()
    {
        TestEnvironment env;
        const QString dsn = QStringLiteral("Software\\ODBC\\ODBC.INI\\StaffDataDSN");
        CreateDSN(QStringLiteral("MSAccess"), QStringLiteral("/tmp/x.db"));
        CreateDSN(QStringLiteral("SQLServer"), QStringLiteral("dbhost"));
        QCOMPARE(Registry::readString(Registry::CurrentUser, dsn, QStringLiteral("Driver")).value(), QStringLiteral("QPSQL"));
        QCOMPARE(Registry::readString(Registry::CurrentUser, dsn, QStringLiteral("Database")).value(), QStringLiteral("StaffData"));
        QVERIFY(!Registry::readString(Registry::CurrentUser, dsn, QStringLiteral("SourceDB")).has_value());
        CreateDSN(QStringLiteral("MSAccess"), QStringLiteral("/tmp/x.db"));
        QVERIFY(!Registry::readString(Registry::CurrentUser, dsn, QStringLiteral("Server")).has_value());
        QVERIFY(!Registry::readString(Registry::CurrentUser, dsn, QStringLiteral("LastUser")).has_value());
    }

    void unreachableDatabaseIsReportedAndEndsWhenTheUserGivesUp()
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
    }

    void passwordsAreMasked()
    {
        QCOMPARE(DataSourceRegistry::masked(QStringLiteral("host=h password='a b' user=u")),
                 QStringLiteral("host=h password=***** user=u"));
        QCOMPARE(DataSourceRegistry::masked(QStringLiteral("DSN=x;PWD=secret;UID=me")),
                 QStringLiteral("DSN=x;PWD=*****;UID=me"));
    }

    void quotesAndNumbers()
    {
        const QString name = QStringLiteral("O'Neill's desk");
        const QString encoded = EncodeQuotes(name);
        QCOMPARE(encoded, QStringLiteral("O\bNeill\bs desk"));
        QCOMPARE(DecodeQuotes(encoded), name);
        QCOMPARE(EncodeQuotes(QString()), QString());

        QString number = QStringLiteral("12,5,7");
        QCOMPARE(FormatSQLNumber(number), QStringLiteral("12.5,7"));
        QCOMPARE(number, QStringLiteral("12.5,7")); // the argument changes too
    }

    void sqlDatesAreAcceptedByBothEngines()
    {
        const double moment = DateUtil::toDays(QDate(2004, 3, 5), QTime(14, 7, 9));
        QCOMPARE(FormatSQLDate(moment), QStringLiteral("'2004-03-05 14:07:09'"));
    }

    void statementsRecordSetsAndTheCounter()
    {
        onBothEngines([](TestEnvironment &) {
            DbHandle db;
            RecordSet probe = OpenADORecordSet(db, QStringLiteral("SELECT 1 AS one"));
            QVERIFY(db); // the connection opened here is handed back
            QCOMPARE(probe.integer(QStringLiteral("ONE")), 1);
            createStatusTable(db);
            QCOMPARE(getLastUpdatedValue(db), -1);

            const QString note = QStringLiteral("back at 3 o'clock #! [+1.30]");
            QCOMPARE(Update(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, RealName, Note, LastUpdated, IsActive) "
                                           "VALUES (?, ?, ?, ?, 1)"),
                            db, {7, EncodeQuotes(QStringLiteral("Sé O'Brien")), EncodeQuotes(note), 41}),
                     ErrNo::Success);
            DbHandle none;
            QCOMPARE(getLastUpdatedValue(none), 41);
            const RecordSet rs = OpenADORecordSet(db, QStringLiteral("SELECT * FROM STAFF_STATUS WHERE UserID = ?"),
                                                  true, {7});
            QCOMPARE(rs.recordCount(), 1);
            QCOMPARE(DecodeQuotes(rs.text(QStringLiteral("realname"))), QStringLiteral("Sé O'Brien"));
            QCOMPARE(DecodeQuotes(rs.text(QStringLiteral("Note"))), note);
            QVERIFY(rs.isNull(QStringLiteral("ETA")));
            CloseADOConnection(db);
            QVERIFY(!db);
        });
    }

    void failuresCarryTheRoutineAndStatement()
    {
        onBothEngines([](TestEnvironment &) {
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
            try {
                DbHandle none;
                Update(QStringLiteral("UPDATE NO_SUCH_TABLE SET x = 1"), none);
                QFAIL("no error raised");
            } catch (const AppError &e) {
                QVERIFY(e.source().startsWith(QStringLiteral("MADOFunctions.Update ")));
            }
        });
    }

    void aLockedSqliteFileIsBusyAndRetried()
    {
        TestEnvironment env;
        const QString file = env.useSqliteDatabase();
        DbHandle holder = OpenADOConnection();
        createStatusTable(holder);
        holder->beginWrite();
        holder->execute(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, LastUpdated) VALUES (1, 1)"));

        // Another connection cannot take the write lock: busy, retried, then the
        // "Database Busy" box; Retry returns and the routine gives up.
        int waits = 0;
        g_busyWait = [&](int) {
            if (++waits == 3)
                holder->commit(); // the lock goes away after the third wait
        };
        DbHandle none;
        QCOMPARE(Update(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, LastUpdated) VALUES (2, 2)"), none),
                 ErrNo::Success);
        QCOMPARE(waits, 3);
        QCOMPARE(g_iDBRetryCount, qint16(0));
        QCOMPARE(getLastUpdatedValue(none), 2);
        Q_UNUSED(file);
    }

    void busyErrorsMapToTheBusyNumber()
    {
        TestEnvironment env;
        env.useSqliteDatabase();
        DbHandle holder = OpenADOConnection();
        createStatusTable(holder);
        holder->beginWrite();
        auto other = DbConnection::open(DataSourceRegistry::resolve(GetDB()));
        try {
            other->beginWrite();
            QFAIL("the second writer got the lock");
        } catch (const AppError &e) {
            QCOMPARE(e.number(), ErrNo::Busy);
        }
        holder->rollback();
    }
};

QTEST_GUILESS_MAIN(tst_Database)
#include "tst_Database.moc"
