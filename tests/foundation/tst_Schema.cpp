#include "TestDatabase.h"
#include "foundation/CSchemaTables.h"
#include "foundation/CUpdateDatabase.h"
#include "foundation/MADOFunctions.h"

#include <QtTest>

// Every case runs on a fresh, empty SQLite file and PostgreSQL database.
#define OPEN_NEW_DATABASE(db)                                                                   \
    QFETCH(bool, postgres);                                                                     \
    if (postgres)                                                                               \
        REQUIRE_PG();                                                                           \
    TestDatabase db(postgres, QStringLiteral("schema_") + QTest::currentTestFunction(), false); \
    DbHandle connection = OpenADOConnection()

namespace {

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

class tst_Schema : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newDatabase_upgradedAtStartUpWithoutQuestion_data() { addEngineRows(); }
    void newDatabase_upgradedAtStartUpWithoutQuestion()
    {
        OPEN_NEW_DATABASE(db);
        CUpdateDatabase::checkAtStartUp();
        QVERIFY(db.env.prompt.asked.isEmpty());
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

    // An index changes no version: a database already at 46 gets those it
    // lacks at its next start, with statistics, and one that has them all
    // is left as it is.
    void indexesCompletedAtCurrentVersion_data() { addEngineRows(); }
    void indexesCompletedAtCurrentVersion()
    {
        OPEN_NEW_DATABASE(db);
        CUpdateDatabase().checkDatabaseVersion(connection);
        const QString indexes = connection->isSQLite()
            ? QStringLiteral("SELECT lower(name) FROM sqlite_master WHERE type = 'index' AND name NOT LIKE 'sqlite%' ORDER BY 1")
            : QStringLiteral("SELECT lower(indexname) FROM pg_indexes WHERE schemaname = current_schema() "
                             "AND indexname NOT LIKE '%pkey' ORDER BY 1");
        const QStringList all = {"staff_options_loginname", "staff_status_lastupdated", "usergroup_groupid_userid",
                                 "usergroup_userid"};
        QCOMPARE(db.rows(indexes), all);
        Update(QStringLiteral("DROP INDEX UserGroup_GroupID_UserID"), connection);
        Update(QStringLiteral("DROP INDEX STAFF_OPTIONS_LoginName"), connection);
        Update(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, RealName, LastUpdated, IsActive) VALUES (1, 'A', 1, 1)"),
               connection);

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

QTEST_GUILESS_MAIN(tst_Schema)
#include "tst_Schema.moc"
