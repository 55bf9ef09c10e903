#include "AppError.h"
#include "CSchemaTables.h"
#include "CUpdateDatabase.h"
#include "MADOFunctions.h"
#include "PgServer.h"
#include "TestDatabase.h"

#include <QtTest>

// Every case runs on a fresh, empty SQLite file and PostgreSQL database.
#define OPEN_NEW_DATABASE(connection) \
    QFETCH(bool, postgres);           \
    if (postgres)                     \
        REQUIRE_PG();                 \
    DbHandle connection = newDatabase(postgres)

class tst_Schema : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    QString m_pgName;
    int m_pgCount = 0;

    DbHandle newDatabase(bool postgres)
    {
        m_env = std::make_unique<TestEnvironment>();
        if (postgres) {
            m_pgName = QStringLiteral("schema_%1").arg(++m_pgCount);
            m_env->usePostgresDatabase(PgServer::createDatabase(m_pgName));
        } else {
            m_env->useSqliteDatabase();
        }
        return OpenADOConnection();
    }

    static void upgradeTo(DbHandle &connection, int version)
    {
        CUpdateDatabase upgrade;
        upgrade.setStopAtVersion(version);
        upgrade.checkDatabaseVersion(connection);
    }

    // Each row's fields, trimmed and joined by "|".
    static QStringList rows(DbHandle &connection, const QString &sql)
    {
        QStringList result;
        for (RecordSet rs = OpenADORecordSet(connection, sql); !rs.eof(); rs.moveNext()) {
            QStringList fields;
            for (int i = 0; i < rs.columns().size(); ++i)
                fields << rs.value(i).toString().trimmed();
            result << fields.join(u'|');
        }
        return result;
    }

    static QString version(DbHandle &connection)
    {
        return rows(connection, QStringLiteral("SELECT pvalue FROM Properties WHERE pkey = 'version'")).value(0);
    }

    // Users and groups as the oldest schema held them. Names with wildcards
    // and names differing only in case and blanks test the name matching.
    static void fillOldSchema(DbHandle &connection)
    {
        for (int id = 1; id <= 3; ++id) {
            Update(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, RealName, IsIn, LastUpdated) VALUES (?, ?, 'INN', ?)"),
                   connection, {id, QStringLiteral("User %1").arg(id), id});
            Update(QStringLiteral("INSERT INTO STAFF_OPTIONS (UserID, LoginName, Admin) VALUES (?, ?, 0)"),
                   connection, {id, QStringLiteral("USER%1").arg(id)});
        }
        const char *names[] = {"Everyone", "Sales", "A_C", "ABC", "100%", "100 and more", "SALES ", "Staff Members"};
        for (int i = 0; i < 8; ++i)
            Update(QStringLiteral("INSERT INTO Groups (GroupID, GroupName) VALUES (?, ?)"), connection,
                   {i + 1, QString::fromLatin1(names[i])});
        const QList<QPair<int, int>> members = {{2, 1}, {3, 2}, {4, 3}, {5, 1}, {6, 2}, {7, 3}, {8, 1}, {1, 2}};
        for (const auto &[group, user] : members)
            Update(QStringLiteral("INSERT INTO GroupMembers (GroupID, UserID) VALUES (?, ?)"), connection, {group, user});
    }

    // The oldest schema with its users and groups; the question will be answered Yes.
    void makeOldSchema(DbHandle &connection)
    {
        upgradeTo(connection, 3);
        fillOldSchema(connection);
        m_env->prompt.answers = {IPrompt::AnswerYes};
    }

    static void verifyCurrentSchema(DbHandle &connection)
    {
        QCOMPARE(rows(connection, QStringLiteral("SELECT pkey, pvalue FROM Properties ORDER BY pkey")),
                 QStringList({"enb_cht|false", "enb_olk|true", "help_url|https://tessaly.example.org/help/", "icon_home|",
                              "port_lstn|13909", "port_send|13905", "sec_olk|false", "version|46"}));
        QCOMPARE(rows(connection,
                      QStringLiteral("SELECT ID, Name, NodeType, ParentID, Icon FROM TreeNode WHERE ID <= 7 ORDER BY ID")),
                 QStringList({"1|Organisation|BRH|0|ORBIT", "2|Attendance|BRH|1|INN", "3|Staff Members|GRP|2|ORBIT",
                              "4|Reservations|BRH|1|ICOcopier", "5|Equipment|RSG|4|ICOfax", "6|Meeting Rooms|RSG|4|MTG",
                              "7|Vehicles|RSG|4|ICOpostaltruck"}));
    }

private Q_SLOTS:
    void cleanup()
    {
        if (!m_pgName.isEmpty())
            PgServer::dropDatabase(m_pgName);
        m_pgName.clear();
        m_env.reset();
    }

    void newDatabase_upgradedAtStartUpWithoutQuestion_data() { addEngineRows(); }
    void newDatabase_upgradedAtStartUpWithoutQuestion()
    {
        OPEN_NEW_DATABASE(connection);
        CUpdateDatabase::checkAtStartUp();

        QVERIFY(m_env->prompt.asked.isEmpty());
        verifyCurrentSchema(connection);
        QCOMPARE(rows(connection, QStringLiteral("SELECT COUNT(*) FROM TreeNode")), QStringList({"7"}));
        QVERIFY(rows(connection, QStringLiteral("SELECT pkey FROM Properties WHERE pvalue IS NULL")).isEmpty());
        QCOMPARE(rows(connection, QStringLiteral("SELECT tablename, id FROM idmanager ORDER BY tablename")),
                 QStringList({"resrce|1", "resrvn|1", "status|1", "trnode|8", "userid|0"}));
        QCOMPARE(rows(connection, QStringLiteral("SELECT ID, MarkOutOnClose, EnableTimeSheets FROM ADMIN")),
                 QStringList({"1|0|1"}));

        // The columns take what the rest of the program writes: day numbers as floating point, long notes.
        const QString longNote(300, u'n');
        Update(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, RealName, Email, MobileOn, IsIn, Note, LastUpdated, "
                              "LastStatusChange, ETA, ETD, MobilePh, PhExtension, IsActive) "
                              "VALUES (1, 'x', 'a@b', 0, 'INN', ?, 0, 38200.25, ?, NULL, '0123', '42', 1)"),
               connection, {longNote, 38200.5416666667});
        Update(QStringLiteral("INSERT INTO STAFF_OPTIONS (UserID, LoginName, Outlook, OutlookOOP, ChangeStatus, Timesheet, "
                              "Admin, WorkStartTime, LunchTimePeriod, OnClose, OnListDblClick, FastUpdates, Language, "
                              "StartMin, RefreshPeriod, BreakPeriod, WorkDays) "
                              "VALUES (1, 'X', 1, 1, 1, 0, 0, '8:30 AM', 60, 3, 2, 0, 'ENU', 1, 30, 15, '12345')"),
               connection);
        Update(QStringLiteral("INSERT INTO STATUS_HISTORY (Status, Note, ETA, ETD, UserID) VALUES ('OUT', 'x', %1, %2, 1)")
                   .arg(FormatSQLDate(38200.5), FormatSQLDate(38200.25)),
               connection);
        Update(QStringLiteral("INSERT INTO QUICKNOTES (NoteType, QuickNote, UserID) VALUES (13, 'away', 1)"), connection);
        Update(QStringLiteral("INSERT INTO Resource (ID, Name, Code, GroupID, AutoCheckIn) VALUES (2, 'Van', 'V1', 7, 0)"),
               connection);
        Update(QStringLiteral("INSERT INTO Custom_Status (id, description, status_type, Icon, Active) "
                              "VALUES ('X02', 'Gym', 'O', 'OUT', 1)"),
               connection);
        Update(QStringLiteral("INSERT INTO Reservation (ID, ResourceID, UserID, BookedTo, ReservedFrom, ReservedUntil, "
                              "Returned) VALUES (2, 2, 1, 'me', %1, %2, 0)")
                   .arg(FormatSQLDate(38200.5), FormatSQLDate(38201.5)),
               connection);
        RecordSet user = OpenADORecordSet(connection, QStringLiteral("SELECT ETA, ETD, Note FROM STAFF_STATUS"));
        QCOMPARE(user.number(QStringLiteral("ETA")), 38200.5416666667);
        QVERIFY(user.isNull(QStringLiteral("ETD")));
        QCOMPARE(user.text(QStringLiteral("Note")), longNote);
        QCOMPARE(rows(connection, QStringLiteral("SELECT COUNT(*) FROM Reservation WHERE ReservedUntil >= ")
                                      + FormatSQLDate(38201.0)),
                 QStringList({"1"}));
    }

    void oldSchema_noEndsYesMigrates_data() { addEngineRows(); }
    void oldSchema_noEndsYesMigrates()
    {
        OPEN_NEW_DATABASE(connection);
        makeOldSchema(connection);
        // No ends the program and changes nothing.
        m_env->prompt.answers = {IPrompt::AnswerNo};
        try {
            CUpdateDatabase().checkDatabaseVersion(connection);
            QFAIL("the program should have ended");
        } catch (const ProgramEnded &ended) {
            QCOMPARE(ended.exitCode, 0);
        }
        QVERIFY(!connection->hasTable(QStringLiteral("Properties")));
        QVERIFY(!CSchemaTables::hasColumn(connection, QStringLiteral("STAFF_STATUS"), QStringLiteral("IsActive")));

        m_env->prompt.answers = {IPrompt::AnswerYes};
        CUpdateDatabase().checkDatabaseVersion(connection);
        QCOMPARE(m_env->prompt.asked.size(), 2);
        const ScriptedPrompt::Asked &asked = m_env->prompt.asked[1];
        QCOMPARE(asked.text, CUpdateDatabase::upgradeQuestion());
        QCOMPARE(asked.title, QStringLiteral("Upgrade Now?"));
        QCOMPARE(asked.buttons, int(IPrompt::YesNo));
        QCOMPARE(asked.icon, int(IPrompt::Exclamation));
        verifyCurrentSchema(connection);
        QCOMPARE(rows(connection, QStringLiteral("SELECT ID, Name, NodeType, ParentID FROM TreeNode WHERE ID > 7 ORDER BY ID")),
                 QStringList({"8|Sales|GRP|2", "9|A_C|GRP|2", "10|ABC|GRP|2", "11|100%|GRP|2", "12|100 and more|GRP|2",
                              "13|SALES|GRP|2", "14|Staff Members|GRP|2"}));
        QCOMPARE(rows(connection, QStringLiteral("SELECT id FROM idmanager WHERE tablename = 'trnode'")), QStringList({"15"}));
        // "Sales" and "SALES " are one name; "ABC" is not "A_C", "100 and more" not "100%".
        QCOMPARE(rows(connection, QStringLiteral("SELECT UserID, GroupID FROM UserGroup ORDER BY UserID, GroupID")),
                 QStringList({"1|3", "1|8", "1|11", "1|13", "1|14", "2|3", "2|9", "2|12", "3|3", "3|8", "3|10", "3|13"}));
        QCOMPARE(rows(connection, QStringLiteral("SELECT UserID, IsActive FROM STAFF_STATUS ORDER BY UserID")),
                 QStringList({"1|1", "2|1", "3|1"}));
        QCOMPARE(rows(connection, QStringLiteral("SELECT COUNT(*) FROM STAFF_OPTIONS WHERE OutlookOOP = 1")),
                 QStringList({"3"}));

        // At the current version the check asks nothing and changes nothing.
        const auto snapshot = [&] {
            QStringList all;
            for (const char *table : {"Properties", "TreeNode", "UserGroup", "idmanager", "STAFF_STATUS", "STAFF_OPTIONS"})
                all << rows(connection, QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2").arg(QLatin1String(table)));
            return all;
        };
        const QStringList before = snapshot();
        CUpdateDatabase().checkDatabaseVersion(connection);
        QCOMPARE(m_env->prompt.asked.size(), 2);
        QCOMPARE(snapshot(), before);
    }

    // A database at 40 is asked before the step to 41 and again, with the
    // second text, before the step to 42; a No there keeps the step to 41.
    void from40_askedTwice_data() { addEngineRows(); }
    void from40_askedTwice()
    {
        OPEN_NEW_DATABASE(connection);
        upgradeTo(connection, 40);
        m_env->prompt.answers = {IPrompt::AnswerYes, IPrompt::AnswerNo};
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, CUpdateDatabase().checkDatabaseVersion(connection));
        QCOMPARE(m_env->prompt.asked.size(), 2);
        QCOMPARE(m_env->prompt.asked[0].text, CUpdateDatabase::upgradeQuestion());
        QCOMPARE(m_env->prompt.asked[1].text, CUpdateDatabase::upgradeFrom40Question());
        QVERIFY(m_env->prompt.asked[1].text.contains(QLatin1String("from v4.0.64")));
        QCOMPARE(version(connection), QStringLiteral("41"));

        m_env->prompt.answers = {IPrompt::AnswerYes};
        CUpdateDatabase().checkDatabaseVersion(connection);
        QCOMPARE(m_env->prompt.asked.size(), 3);
        QCOMPARE(m_env->prompt.asked[2].text, CUpdateDatabase::upgradeFrom40Question());
        verifyCurrentSchema(connection);
    }

    void from42or43_notAsked_data()
    {
        QTest::addColumn<bool>("postgres");
        QTest::addColumn<QString>("start");
        QTest::newRow("sqlite_42") << false << "42";
        QTest::newRow("sqlite_43") << false << "43";
        QTest::newRow("postgres_42") << true << "42";
        QTest::newRow("postgres_43") << true << "43";
    }
    void from42or43_notAsked()
    {
        QFETCH(QString, start);
        OPEN_NEW_DATABASE(connection);
        upgradeTo(connection, 42);
        Update(QStringLiteral("UPDATE Properties SET pvalue = ? WHERE pkey = 'version'"), connection, {start});

        CUpdateDatabase().checkDatabaseVersion(connection);
        QVERIFY(m_env->prompt.asked.isEmpty());
        verifyCurrentSchema(connection);
    }

    void failureInLastStep_rolledBackAndRecovered_data() { addEngineRows(); }
    void failureInLastStep_rolledBackAndRecovered()
    {
        OPEN_NEW_DATABASE(connection);
        upgradeTo(connection, 45);
        CUpdateDatabase failing;
        failing.setFailInStep(46);
        try {
            failing.checkDatabaseVersion(connection);
            QFAIL("the program should have ended");
        } catch (const ProgramEnded &ended) {
            QCOMPARE(ended.exitCode, 1);
        }
        QCOMPARE(m_env->errorWindow.shown.size(), 1);
        const QString details = m_env->errorWindow.shown[0].details;
        QVERIFY2(details.startsWith(QStringLiteral("The database required updating from v45 to v46\n where upon the "
                                                   "following error occurred: \n")),
                 qPrintable(details));
        QVERIFY(details.contains(QLatin1String("Please contact your system administrator for advice.")));
        QVERIFY(readTextFile(m_env->path(QStringLiteral("logs/error.log"))).contains(QLatin1String("to v46")));
        QCOMPARE(version(connection), QStringLiteral("45"));
        QVERIFY(rows(connection, QStringLiteral("SELECT pvalue FROM Properties WHERE pkey = 'enb_cht'")).isEmpty());

        CUpdateDatabase().checkDatabaseVersion(connection);
        QCOMPARE(m_env->errorWindow.shown.size(), 1);
        QVERIFY(m_env->prompt.asked.isEmpty());
        verifyCurrentSchema(connection);
    }

    // The step to 40 is two transactions; when the second fails, the next
    // run must pass over the columns the first one added.
    void failureInStep40_runsAgainCleanly_data() { addEngineRows(); }
    void failureInStep40_runsAgainCleanly()
    {
        OPEN_NEW_DATABASE(connection);
        makeOldSchema(connection);
        CUpdateDatabase failing;
        failing.setFailInStep(40);
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, failing.checkDatabaseVersion(connection));
        QVERIFY(m_env->errorWindow.shown.last().details.startsWith(QLatin1String("The database required updating from v3 to v40")));
        QVERIFY(!connection->hasTable(QStringLiteral("TreeNode")));

        m_env->prompt.asked.clear();
        m_env->prompt.answers = {IPrompt::AnswerYes};
        CUpdateDatabase().checkDatabaseVersion(connection);
        QCOMPARE(m_env->prompt.asked.size(), 1);
        verifyCurrentSchema(connection);
        QCOMPARE(rows(connection, QStringLiteral("SELECT COUNT(*) FROM UserGroup")), QStringList({"12"}));
    }

    // An index changes no version: a database already at 46 gets those it
    // lacks at its next start, with statistics, and one that has them all
    // is left as it is.
    void indexesCompletedAtCurrentVersion_data() { addEngineRows(); }
    void indexesCompletedAtCurrentVersion()
    {
        OPEN_NEW_DATABASE(connection);
        CUpdateDatabase().checkDatabaseVersion(connection);
        const QString indexes = connection->isSQLite()
            ? QStringLiteral("SELECT lower(name) FROM sqlite_master WHERE type = 'index' AND name NOT LIKE 'sqlite%' ORDER BY 1")
            : QStringLiteral("SELECT lower(indexname) FROM pg_indexes WHERE schemaname = current_schema() "
                             "AND indexname NOT LIKE '%pkey' ORDER BY 1");
        const QStringList all = {"staff_options_loginname", "staff_status_lastupdated", "usergroup_groupid_userid",
                                 "usergroup_userid"};
        QCOMPARE(rows(connection, indexes), all);
        Update(QStringLiteral("DROP INDEX UserGroup_GroupID_UserID"), connection);
        Update(QStringLiteral("DROP INDEX STAFF_OPTIONS_LoginName"), connection);
        Update(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, RealName, LastUpdated, IsActive) VALUES (1, 'A', 1, 1)"),
               connection);

        for (int start = 0; start < 2; ++start) {
            CUpdateDatabase().checkDatabaseVersion(connection);
            QCOMPARE(rows(connection, indexes), all);
            QCOMPARE(version(connection), QStringLiteral("46"));
        }
        QVERIFY(m_env->prompt.asked.isEmpty());
        QVERIFY(!QFile::exists(m_env->path(QStringLiteral("logs/error.log"))));
        if (connection->isSQLite())
            QCOMPARE(rows(connection, QStringLiteral("SELECT COUNT(*) FROM sqlite_stat1 WHERE tbl = 'STAFF_STATUS'")),
                     QStringList({"2"}));
    }

    // A version row lost half-way (an older release's failed step) runs the
    // step to 40 again, which keeps the rows it finds and duplicates none.
    void missingVersionRow_step40RunsAgain_data() { addEngineRows(); }
    void missingVersionRow_step40RunsAgain()
    {
        OPEN_NEW_DATABASE(connection);
        makeOldSchema(connection);
        upgradeTo(connection, 40);
        Update(QStringLiteral("UPDATE STAFF_STATUS SET IsActive = 0 WHERE UserID = 2"), connection);
        Update(QStringLiteral("DELETE FROM Properties WHERE pkey = 'version'"), connection);

        m_env->prompt.answers = {IPrompt::AnswerYes};
        CUpdateDatabase().checkDatabaseVersion(connection);
        QCOMPARE(m_env->prompt.asked.size(), 2);
        verifyCurrentSchema(connection);
        QCOMPARE(rows(connection, QStringLiteral("SELECT COUNT(*) FROM TreeNode")), QStringList({"14"}));
        QCOMPARE(rows(connection, QStringLiteral("SELECT COUNT(*) FROM UserGroup")), QStringList({"12"}));
        QCOMPARE(rows(connection, QStringLiteral("SELECT IsActive FROM STAFF_STATUS WHERE UserID = 2")), QStringList({"0"}));
    }
};

QTEST_GUILESS_MAIN(tst_Schema)
#include "tst_Schema.moc"
