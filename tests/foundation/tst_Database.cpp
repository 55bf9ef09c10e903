#include "TestDatabase.h"
#include "foundation/CSchemaTables.h"
#include "foundation/CUpdateDatabase.h"
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

// The schema's cases run on a fresh, empty SQLite file and PostgreSQL database.
#define OPEN_NEW_DATABASE(db)                                                                   \
    FETCH_ENGINE();                                                                             \
    TestDatabase db(postgres, QStringLiteral("schema_") + QTest::currentTestFunction(), false); \
    DbHandle connection = OpenADOConnection()

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

void upgradeTo(DbHandle &connection, int version)
{
    CUpdateDatabase upgrade;
    upgrade.setStopAtVersion(version);
    upgrade.checkDatabaseVersion(connection);
}

QString version(TestDatabase &db)
{
    return db.value(QStringLiteral("SELECT pvalue FROM Properties WHERE pkey = 'version'")).toString();
}

// The oldest schema with users and groups as it held them; the question will
// be answered Yes. Names with wildcards and names differing only in case and
// blanks test the name matching.
void makeOldSchema(TestDatabase &db, DbHandle &connection)
{
    upgradeTo(connection, 3);
    for (int id = 1; id <= 3; ++id) {
        Update(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, RealName, IsIn, LastUpdated) VALUES (?, ?, 'INN', ?)"),
               connection, {id, QStringLiteral("User %1").arg(id), id});
        Update(QStringLiteral("INSERT INTO STAFF_OPTIONS (UserID, LoginName, Admin) VALUES (?, ?, 0)"), connection,
               {id, QStringLiteral("USER%1").arg(id)});
    }
    const char *names[] = {"Everyone", "Sales", "A_C", "ABC", "100%", "100 and more", "SALES ", "Staff Members"};
    for (int i = 0; i < 8; ++i)
        Update(QStringLiteral("INSERT INTO Groups (GroupID, GroupName) VALUES (?, ?)"), connection,
               {i + 1, QString::fromLatin1(names[i])});
    const QList<QPair<int, int>> members = {{2, 1}, {3, 2}, {4, 3}, {5, 1}, {6, 2}, {7, 3}, {8, 1}, {1, 2}};
    for (const auto &[group, user] : members)
        Update(QStringLiteral("INSERT INTO GroupMembers (GroupID, UserID) VALUES (?, ?)"), connection, {group, user});
    db.env.prompt.answers = {IPrompt::AnswerYes};
}

void verifyCurrentSchema(TestDatabase &db)
{
    QCOMPARE(db.rows(QStringLiteral("SELECT pkey, pvalue FROM Properties ORDER BY pkey")),
             QStringList({"enb_cht|false", "enb_olk|true", "help_url|https://tessaly.example.org/help/", "icon_home|",
                          "port_lstn|13909", "port_send|13905", "sec_olk|false", "version|46"}));
    QCOMPARE(db.rows(QStringLiteral("SELECT ID, ParentID FROM TreeNode WHERE ID IN (3, 7) ORDER BY ID")), QStringList({"3|2", "7|4"}));
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

    void statementsRecordSetsTheCounterAndFailures_data() { addEngineRows(); }
    void statementsRecordSetsTheCounterAndFailures()
    {
        OPEN_TEST_DATABASE(tdb, "tst_database_");
        DbHandle db;
        QCOMPARE(OpenADORecordSet(db, QStringLiteral("SELECT 1 AS one")).integer(QStringLiteral("ONE")), 1);
        QVERIFY(db); // the connection opened here is handed back
        QCOMPARE(getLastUpdatedValue(db), -1); // an empty table

        QString number = QStringLiteral("12,5,7"); // a decimal comma
        QCOMPARE(FormatSQLNumber(number), QStringLiteral("12.5,7"));
        QCOMPARE(number, QStringLiteral("12.5,7")); // the argument changes too
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

    // A session the server ended under the idle pool is replaced without an
    // error; a lock another session holds is "busy".
    void serverSessionEndedOrLocking()
    {
        REQUIRE_PG();
        TestDatabase tdb(true, QStringLiteral("tst_database_sessions"));
        markConnection();
        const qint64 pid = tdb.value(QStringLiteral("SELECT pg_backend_pid()")).toLongLong();
        auto admin = DbConnection::open(ConnectionSpec::fromConnInfo(PgServer::adminConnInfo()));
        admin->query(QStringLiteral("SELECT pg_terminate_backend(?)"), {pid});
        QTRY_COMPARE_WITH_TIMEOUT(
            admin->query(QStringLiteral("SELECT pid FROM pg_stat_activity WHERE pid = ?"), {pid}).recordCount(), 0,
            stretched(5000));
        QVERIFY(!gotMarkedConnection());
        QVERIFY(tdb.value(QStringLiteral("SELECT pg_backend_pid()")).toLongLong() != pid);

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

    // A new database is made without a question. An index changes no
    // version: a database at 46 gets those it lacks at its next start, with
    // statistics, and one that has them all is left as it is.
    void newDatabase_madeWithoutQuestionIndexesCompleted_data() { addEngineRows(); }
    void newDatabase_madeWithoutQuestionIndexesCompleted()
    {
        OPEN_NEW_DATABASE(db);
        CUpdateDatabase::checkAtStartUp();
        verifyCurrentSchema(db);
        QCOMPARE(db.rows(QStringLiteral("SELECT tablename, id FROM idmanager ORDER BY tablename")),
                 QStringList({"resrce|1", "resrvn|1", "status|1", "trnode|8", "userid|0"}));

        // The columns take what the rest of the program writes: day numbers as floating point, long notes.
        const QString longNote(300, u'n');
        Update(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, RealName, IsIn, Note, LastUpdated, ETA, ETD, IsActive) "
                              "VALUES (1, 'x', 'INN', ?, 0, ?, NULL, 1)"),
               connection, {longNote, 38200.5416666667});
        Update(QStringLiteral("INSERT INTO Reservation (ID, ResourceID, UserID, BookedTo, ReservedFrom, ReservedUntil, "
                              "Returned) VALUES (2, 2, 1, 'me', %1, %2, 0)").arg(FormatSQLDate(38200.5), FormatSQLDate(38201.5)),
               connection);
        RecordSet user = OpenADORecordSet(connection, QStringLiteral("SELECT ETA, ETD, Note FROM STAFF_STATUS"));
        QCOMPARE(user.number(QStringLiteral("ETA")), 38200.5416666667);
        QVERIFY(user.isNull(QStringLiteral("ETD")));
        QCOMPARE(user.text(QStringLiteral("Note")), longNote);
        QCOMPARE(db.rows(QStringLiteral("SELECT COUNT(*) FROM Reservation WHERE ReservedUntil >= ") + FormatSQLDate(38201.0)),
                 QStringList({"1"}));

        const QString indexes = connection->isSQLite()
            ? QStringLiteral("SELECT lower(name) FROM sqlite_master WHERE type = 'index' AND name NOT LIKE 'sqlite%' ORDER BY 1")
            : QStringLiteral("SELECT lower(indexname) FROM pg_indexes WHERE schemaname = current_schema() "
                             "AND indexname NOT LIKE '%pkey' ORDER BY 1");
        const QStringList all = {"staff_options_loginname", "staff_status_lastupdated", "usergroup_groupid_userid",
                                 "usergroup_userid"};
        QCOMPARE(db.rows(indexes), all);
        Update(QStringLiteral("DROP INDEX UserGroup_GroupID_UserID"), connection);
        Update(QStringLiteral("DROP INDEX STAFF_OPTIONS_LoginName"), connection);

        for (int start = 0; start < 2; ++start) {
            CUpdateDatabase().checkDatabaseVersion(connection);
            QCOMPARE(db.rows(indexes), all);
            QCOMPARE(version(db), QStringLiteral("46"));
        }
        QVERIFY(db.env.prompt.asked.isEmpty());
        QVERIFY(!QFile::exists(db.env.path(QStringLiteral("logs/error.log"))));
        if (connection->isSQLite())
            QCOMPARE(db.rows(QStringLiteral("SELECT COUNT(*) FROM sqlite_stat1 WHERE tbl = 'STAFF_STATUS'")),
                     QStringList({"2"}));
    }

    void oldSchema_noEndsYesMigrates_data() { addEngineRows(); }
    void oldSchema_noEndsYesMigrates()
    {
        OPEN_NEW_DATABASE(db);
        makeOldSchema(db, connection);
        // No ends the program and changes nothing.
        db.env.prompt.answers = {IPrompt::AnswerNo};
        QCOMPARE(exitCodeOf([&] { CUpdateDatabase().checkDatabaseVersion(connection); }), 0);
        QVERIFY(!connection->hasTable(QStringLiteral("Properties")));
        QVERIFY(!CSchemaTables::hasColumn(connection, QStringLiteral("STAFF_STATUS"), QStringLiteral("IsActive")));

        db.env.prompt.answers = {IPrompt::AnswerYes};
        CUpdateDatabase().checkDatabaseVersion(connection);
        QCOMPARE(db.env.prompt.asked.size(), 2);
        verifyCurrentSchema(db);
        QCOMPARE(db.rows(QStringLiteral("SELECT ID, Name, NodeType, ParentID FROM TreeNode WHERE ID > 7 ORDER BY ID")),
                 QStringList({"8|Sales|GRP|2", "9|A_C|GRP|2", "10|ABC|GRP|2", "11|100%|GRP|2", "12|100 and more|GRP|2",
                              "13|SALES|GRP|2", "14|Staff Members|GRP|2"}));
        QCOMPARE(db.value(QStringLiteral("SELECT id FROM idmanager WHERE tablename = 'trnode'")).toInt(), 15);
        // "Sales" and "SALES " are one name; "ABC" is not "A_C", "100 and more" not "100%".
        QCOMPARE(db.rows(QStringLiteral("SELECT UserID, GroupID FROM UserGroup ORDER BY UserID, GroupID")),
                 QStringList({"1|3", "1|8", "1|11", "1|13", "1|14", "2|3", "2|9", "2|12", "3|3", "3|8", "3|10", "3|13"}));

        // At the current version the check asks nothing and changes nothing.
        const auto snapshot = [&] {
            QStringList all;
            for (const char *table : {"Properties", "TreeNode", "UserGroup", "idmanager", "STAFF_STATUS", "STAFF_OPTIONS"})
                all << db.rows(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2").arg(QLatin1String(table)));
            return all;
        };
        const QStringList before = snapshot();
        CUpdateDatabase().checkDatabaseVersion(connection);
        QCOMPARE(db.env.prompt.asked.size(), 2);
        QCOMPARE(snapshot(), before);
    }

    // A database at 40 is asked before the step to 41 and again, with the
    // second text, before the step to 42; a No there keeps the step to 41.
    void from40_askedTwice_data() { addEngineRows(); }
    void from40_askedTwice()
    {
        OPEN_NEW_DATABASE(db);
        upgradeTo(connection, 40);
        db.env.prompt.answers = {IPrompt::AnswerYes, IPrompt::AnswerNo};
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, CUpdateDatabase().checkDatabaseVersion(connection));
        QCOMPARE(db.env.prompt.asked.size(), 2);
        QCOMPARE(db.env.prompt.asked[0].text, CUpdateDatabase::upgradeQuestion());
        QCOMPARE(db.env.prompt.asked[1].text, CUpdateDatabase::upgradeFrom40Question());
        QCOMPARE(version(db), QStringLiteral("41"));
    }

    void failureInLastStep_rolledBackAndRecovered_data() { addEngineRows(); }
    void failureInLastStep_rolledBackAndRecovered()
    {
        OPEN_NEW_DATABASE(db);
        upgradeTo(connection, 45);
        CUpdateDatabase failing;
        failing.setFailInStep(46);
        QCOMPARE(exitCodeOf([&] { failing.checkDatabaseVersion(connection); }), 1);
        QCOMPARE(db.env.errorWindow.shown.size(), 1);
        QVERIFY(db.env.errorWindow.shown[0].details.startsWith(QLatin1String("The database required updating from v45 to v46")));
        QVERIFY(readTextFile(db.env.path(QStringLiteral("logs/error.log"))).contains(QLatin1String("to v46")));
        QCOMPARE(version(db), QStringLiteral("45"));
        QVERIFY(db.rows(QStringLiteral("SELECT pvalue FROM Properties WHERE pkey = 'enb_cht'")).isEmpty());

        CUpdateDatabase().checkDatabaseVersion(connection);
        QCOMPARE(db.env.errorWindow.shown.size(), 1);
        QVERIFY(db.env.prompt.asked.isEmpty());
        verifyCurrentSchema(db);
    }

    // The step to 40 is two transactions; when the second fails, the next
    // run must pass over the columns the first one added.
    void failureInStep40_runsAgainCleanly_data() { addEngineRows(); }
    void failureInStep40_runsAgainCleanly()
    {
        OPEN_NEW_DATABASE(db);
        makeOldSchema(db, connection);
        CUpdateDatabase failing;
        failing.setFailInStep(40);
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, failing.checkDatabaseVersion(connection));
        QVERIFY(db.env.errorWindow.shown.last().details.startsWith(QLatin1String("The database required updating from v3 to v40")));
        QVERIFY(!connection->hasTable(QStringLiteral("TreeNode")));

        db.env.prompt.asked.clear();
        db.env.prompt.answers = {IPrompt::AnswerYes};
        CUpdateDatabase().checkDatabaseVersion(connection);
        QCOMPARE(db.env.prompt.asked.size(), 1);
        verifyCurrentSchema(db);
        QCOMPARE(db.value(QStringLiteral("SELECT COUNT(*) FROM UserGroup")).toInt(), 12);
    }

    // A version row lost half-way (an older release's failed step) runs the
    // step to 40 again, which keeps the rows it finds and duplicates none,
    // nor brings back the memberships removed since the first run.
    void missingVersionRow_step40RunsAgain_data() { addEngineRows(); }
    void missingVersionRow_step40RunsAgain()
    {
        OPEN_NEW_DATABASE(db);
        makeOldSchema(db, connection);
        upgradeTo(connection, 40);
        Update(QStringLiteral("UPDATE STAFF_STATUS SET IsActive = 0 WHERE UserID = 2"), connection);
        Update(QStringLiteral("DELETE FROM UserGroup WHERE UserID = 2 OR (UserID = 1 AND GroupID IN (3, 8))"), connection);
        Update(QStringLiteral("DELETE FROM Properties WHERE pkey = 'version'"), connection);

        db.env.prompt.answers = {IPrompt::AnswerYes};
        CUpdateDatabase().checkDatabaseVersion(connection);
        QCOMPARE(db.env.prompt.asked.size(), 2);
        verifyCurrentSchema(db);
        QCOMPARE(db.value(QStringLiteral("SELECT COUNT(*) FROM TreeNode")).toInt(), 14);
        QCOMPARE(db.rows(QStringLiteral("SELECT UserID, GroupID FROM UserGroup ORDER BY UserID, GroupID")),
                 QStringList({"1|11", "1|13", "1|14", "3|3", "3|8", "3|10", "3|13"}));
        QCOMPARE(db.value(QStringLiteral("SELECT IsActive FROM STAFF_STATUS WHERE UserID = 2")).toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_Database)
#include "tst_Database.moc"
