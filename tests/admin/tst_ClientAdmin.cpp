#include "TestDatabase.h"
#include "admin/CClientAdmin.h"
#include "foundation/CStatus.h"
#include "foundation/CTreeNode.h"
#include "foundation/Globals.h"
#include "platform/AppError.h"

#include <QtTest>

namespace {

const QString kApostrophe = QString(QChar(8));

// A user's status row and, for a login name, his options row.
void insertUser(TestDatabase &db, int id, const QString &login, int active = 1, const QString &name = QString())
{
    db.exec("INSERT INTO STAFF_STATUS (UserID, RealName, IsIn, LastUpdated, IsActive) VALUES (?, ?, 'INN', ?, ?)",
            {id, name.isNull() ? QStringLiteral("User %1").arg(id) : name, id * 10, active});
    if (!login.isNull())
        db.exec("INSERT INTO STAFF_OPTIONS (UserID, LoginName, Admin, ChangeStatus, FastUpdates, Timesheet, "
                "LunchTimePeriod, BreakPeriod, RefreshPeriod, OnClose, WorkStartTime) "
                "VALUES (?, ?, 1, 0, 1, 0, 45, 10, 20, 2, '07:45:00')",
                {id, login});
}

// The error a call raises; number 0 when it raises none.
template <typename Call>
AppError thrownBy(Call call)
{
    try {
        call();
    } catch (const AppError &e) {
        return e;
    }
    return AppError(0, QString(), QString());
}

// The fields of the first row a query gives, trimmed, as "a|b|c".
QString row(const QString &sql, const QVariantList &params = {})
{
    DbHandle connection;
    const RecordSet rs = OpenADORecordSet(connection, sql, true, params);
    QStringList fields;
    for (int i = 0; i < rs.columns().size(); ++i)
        fields << rs.value(i).toString().trimmed();
    return fields.join(u'|');
}

// A user's options as "login|lunch|break|refresh|language|start|on close|double-click|flags", the flags being
// the letters of those set: Admin, Change status, Fast updates, Outlook, OOP watcher, Start minimised, Timesheet.
QString options(const UserRecord &u)
{
    QString flags;
    for (const auto &[set, letter] : {std::pair{u.Admin, 'A'}, {u.ChangeStatus, 'C'}, {u.FastUpdates, 'F'},
                                      {u.Outlook, 'O'}, {u.OutlookOOP, 'P'}, {u.StartMin, 'S'}, {u.Timesheet, 'T'}})
        if (set)
            flags += QLatin1Char(letter);
    return QStringList{u.LoginName, QString::number(u.LunchTimePeriod), QString::number(u.BreakPeriod),
                       QString::number(u.RefreshPeriod), u.Language, CClientAdmin::workStartText(u.WorkStartTime),
                       QString::number(u.OnClose), QString::number(u.OnListDblClick), flags}
        .join(u'|');
}

} // namespace

class tst_ClientAdmin : public QObject
{
    Q_OBJECT
private slots:
    void readUser_data() { addEngineRows(); }
    void readUser()
    {
        OPEN_TEST_DATABASE(db, "admin_");
        insertUser(db, 7, QString(), 1, "O" + kApostrophe + "Brien  ");
        UserRecord user;
        QList<CTreeNode> groups{CTreeNode()};
        QuickNoteTable notes;
        DbHandle none;
        const AppError e = thrownBy([&] { CClientAdmin().ReadUser(7, user, groups, notes, none); });
        QCOMPARE(e.number(), ErrNo::Raised); // no options row
        QVERIFY2(e.source().startsWith("CClientAdmin.ReadUser ("), qPrintable(e.source()));
        QCOMPARE(user.UserID, 0); // nothing half-filled

        // Null options read as the defaults; nothing is kept from before.
        db.exec("INSERT INTO STAFF_OPTIONS (UserID, LoginName) VALUES (7, 'obrien')");
        user.LunchTimePeriod = 1;
        notes.rows[2].note = "stale";
        QCOMPARE(CClientAdmin().ReadUser(7, user, groups, notes, none), ErrNo::Success);
        QVERIFY(!none); // its own connection was closed again
        QCOMPARE(QString::number(user.UserID) + user.RealName, QStringLiteral("7O'Brien"));
        QCOMPARE(options(user), QStringLiteral("OBRIEN|60|15|30|ENU|08:30:00|0|0|"));
        QVERIFY(user.Email.isEmpty() && user.MobilePh.isEmpty() && user.PhExtension.isEmpty() && groups.isEmpty());
        for (int type = 1; type <= 13; ++type)
            QVERIFY(notes.rows[type].note.isEmpty() && !notes.rows[type].stored);

        insertUser(db, 4, "anna");
        db.exec("UPDATE STAFF_OPTIONS SET OutlookOOP = 2, Outlook = 1, Language = 'FRA' WHERE UserID = 4");
        db.exec("INSERT INTO UserGroup (UserID, GroupID) VALUES (4, 3)");
        const QString note = "INSERT INTO QUICKNOTES (UserID, NoteType, QuickNote) VALUES (4, ?, ?)";
        db.exec(note, {3, " Back at one" + kApostrophe + "ish "});
        db.exec(note, {6, QVariant(QMetaType(QMetaType::QString))});
        // Types that belong to no status are passed over, not a failed log-in.
        db.exec(note, {14, "x"});
        db.exec(note, {0, "y"});
        DbHandle connection = OpenADOConnection();
        QCOMPARE(CClientAdmin().ReadUser(4, user, groups, notes, connection), ErrNo::Success);
        QVERIFY(connection); // a connection passed in stays open
        QCOMPARE(options(user), QStringLiteral("ANNA|45|10|20|FRA|07:45:00|2|0|AFO")); // only 1 counts as set
        QCOMPARE(groups.size(), 1);
        QCOMPARE(groups[0].Key(), QStringLiteral("GRP3"));
        QCOMPARE(notes.rows[3].note, QStringLiteral("Back at one'ish"));
        QVERIFY(notes.rows[3].stored && notes.rows[6].stored && notes.rows[6].note.isEmpty());
        QVERIFY(!notes.rows[0].stored && notes.rows[0].note.isEmpty() && !notes.rows[4].stored);
    }

    void addUserWritesBothRowsUnderTheNextId_data()
    {
        QTest::addColumn<bool>("postgres");
        QTest::addColumn<QVariant>("stored"); // invalid: no "userid" row
        QTest::addColumn<bool>("admin");
        QTest::addColumn<int>("expected");
        for (const bool pg : {false, true}) {
            const char *engine = pg ? "postgres" : "sqlite";
            QTest::addRow("%s, counter at 41, administrator", engine) << pg << QVariant(41) << true << 42;
            QTest::addRow("%s, null counter, user", engine) << pg << QVariant(QMetaType(QMetaType::Int)) << false << 1;
            QTest::addRow("%s, no counter row", engine) << pg << QVariant() << false << 1;
        }
    }
    void addUserWritesBothRowsUnderTheNextId()
    {
        QFETCH(QVariant, stored);
        QFETCH(bool, admin);
        QFETCH(int, expected);
        OPEN_TEST_DATABASE(db, "admin_");
        insertUser(db, 100, "FIRST"); // change counter 1000
        db.exec("DELETE FROM idmanager WHERE tablename = 'userid'");
        if (stored.isValid())
            db.exec("INSERT INTO idmanager (tablename, id) VALUES ('userid', ?)", {stored});

        UserRecord user;
        user.LoginName = "dora";
        user.RealName = "Dora D'Arcy";
        user.Email = "d'arcy@example.org";
        user.MobilePh = "555 1234";
        user.Admin = admin;
        user.WorkStartTime = 9.25 / 24.0;
        user.StartMin = true;
        user.Language = "GER";
        QCOMPARE(CClientAdmin().AddUser(user), ErrNo::Success);
        QCOMPARE(user.UserID, expected);
        QCOMPARE(row("SELECT MAX(id), COUNT(*) FROM idmanager WHERE tablename = 'userid'"),
                 QStringLiteral("%1|1").arg(expected));
        // Administrators keep time sheets; everyone gets the calendar link and may change status.
        QCOMPARE(row("SELECT Timesheet, Admin, Outlook, OutlookOOP, ChangeStatus, StartMin, FastUpdates, WorkStartTime, "
                     "Language, LoginName FROM STAFF_OPTIONS WHERE UserID = ?",
                     {expected}),
                 (admin ? "1|1|" : "0|0|") + QStringLiteral("1|1|1|1|0|09:15:00|GER|DORA"));
        QCOMPARE(row("SELECT IsIn, IsActive, MobileOn, LastUpdated, RealName, Email, MobilePh FROM STAFF_STATUS "
                     "WHERE UserID = ?",
                     {expected}),
                 QStringLiteral("INN|1|0|1001|Dora D'Arcy|d'arcy@example.org|555 1234").replace(u'\'', kApostrophe));

        user.LoginName = " Dora";
        QCOMPARE(thrownBy([&] { CClientAdmin().AddUser(user); }).number(), ErrNo::LoginInUse);
        QCOMPARE(db.value("SELECT COUNT(*) FROM STAFF_OPTIONS").toInt(), 2);
    }

    void updateUserOptionsLeavesTheNoChangeFields_data() { addEngineRows(); }
    void updateUserOptionsLeavesTheNoChangeFields()
    {
        OPEN_TEST_DATABASE(db, "admin_");
        insertUser(db, 3, "CARL");
        db.exec("UPDATE STAFF_OPTIONS SET WorkDays = 'MTWTF', OnListDblClick = 1 WHERE UserID = 3");
        const QString stored = "SELECT LoginName, Admin, Outlook, Language, WorkStartTime, LunchTimePeriod, "
                               "BreakPeriod, RefreshPeriod, WorkDays, OnClose, OnListDblClick FROM STAFF_OPTIONS "
                               "WHERE UserID = 3";
        UserOptions options;
        options.LoginName = "carl.c";
        options.Outlook = true;
        options.Language = "ITA";
        options.WorkStartTime = 10.0 / 24.0;
        DbHandle none;
        QCOMPARE(CClientAdmin().UpdateUserOptions(3, options, none), ErrNo::Success);
        QCOMPARE(row(stored), QStringLiteral("CARL.C|0|1|ITA|10:00:00|45|10|20|MTWTF|2|1"));

        options.LunchTimePeriod = 30;
        options.RefreshPeriod = 5;
        options.OnClose = 0;
        options.WorkDays = QString();
        DbHandle connection = OpenADOConnection();
        CClientAdmin().UpdateUserOptions(3, options, connection);
        QCOMPARE(row(stored), QStringLiteral("CARL.C|0|1|ITA|10:00:00|30|10|5||0|1"));

        // A name shared from before is kept; another active user's is refused.
        insertUser(db, 4, "CARL.C");
        insertUser(db, 5, "EVE");
        QCOMPARE(CClientAdmin().UpdateUserOptions(3, options, connection), ErrNo::Success);
        options.LoginName = " eve";
        const AppError e = thrownBy([&] { CClientAdmin().UpdateUserOptions(3, options, connection); });
        QCOMPARE(QString::number(e.number()) + e.description(),
                 QStringLiteral("10004The login name EVE is already used by User 5. Each user needs a login name "
                                "of his own."));
    }

    void updateUserRightsAndNotes_data() { addEngineRows(); }
    void updateUserRightsAndNotes()
    {
        OPEN_TEST_DATABASE(db, "admin_");
        insertUser(db, 5, "EVE");
        insertUser(db, 6, "GONE", 0);
        db.exec("INSERT INTO QUICKNOTES (UserID, NoteType, QuickNote) VALUES (5, 3, 'old lunch')");
        DbHandle none;
        CClientAdmin().UpdateUser(5, "Eve O'Neill", "o'neill@example.org", false, none);
        CClientAdmin().UpdateUserSecurity(5, false, true, false, true);
        QuickNoteTable notes;
        notes.rows[3] = {"Lunch, back at [+1]", true};
        notes.rows[4] = {"Coffee's on ", false};
        QCOMPARE(CClientAdmin().UpdateQuickNotes(5, notes, none), ErrNo::Success);
        // Saved again with the same table (type 4 still marked new): no second row.
        QCOMPARE(CClientAdmin().UpdateQuickNotes(5, notes, none), ErrNo::Success);

        QList<UserRights> users{UserRights()};
        QCOMPARE(CClientAdmin().ReadAllUsers(users), ErrNo::Success);
        QCOMPARE(users.size(), 1); // the inactive user is not listed
        QCOMPARE(QString::number(users[0].UserID) + users[0].RealName, QStringLiteral("5Eve O'Neill"));
        QVERIFY(!users[0].Admin && users[0].ChangeStatus && !users[0].FastUpdates && users[0].Timesheet);
        QCOMPARE(row("SELECT Email FROM STAFF_STATUS WHERE UserID = 5"), "o" + kApostrophe + "neill@example.org");
        QCOMPARE(db.value("SELECT COUNT(*) FROM QUICKNOTES WHERE UserID = 5").toInt(), 2);
        const QString note = "SELECT QuickNote FROM QUICKNOTES WHERE UserID = 5 AND NoteType = ?";
        QCOMPARE(db.value(note, {3}).toString(), QStringLiteral("Lunch, back at [+1]"));
        QCOMPARE(db.value(note, {4}).toString(), "Coffee" + kApostrophe + "s on");
    }

    void adminOptionsAndCustomStatuses_data() { addEngineRows(); }
    void adminOptionsAndCustomStatuses()
    {
        OPEN_TEST_DATABASE(db, "admin_");
        db.exec("UPDATE ADMIN SET MarkOutOnClose = NULL, EnableTimeSheets = NULL WHERE ID = 1");
        bool markOut = true;
        bool history = false;
        DbHandle none;
        QCOMPARE(CClientAdmin().GetAdminOptions(markOut, history, none), ErrNo::Success);
        QVERIFY(!markOut && history);
        QCOMPARE(CClientAdmin().UpdateAdminOptions(true, false), ErrNo::Success);
        CClientAdmin().GetAdminOptions(markOut, history, none);
        QVERIFY(markOut && !history);
        // Without the row the caller's values stay, and the update creates none.
        db.exec("DELETE FROM ADMIN");
        CClientAdmin().UpdateAdminOptions(false, true);
        CClientAdmin().GetAdminOptions(markOut, history, none);
        QVERIFY(markOut && !history);
        QCOMPARE(db.value("SELECT COUNT(*) FROM ADMIN").toInt(), 0);

        const QString sql = "INSERT INTO Custom_Status (id, description, status_type, Icon, Active) VALUES (?, ?, ?, ?, ?)";
        db.exec(sql, {"XX2", "At the client" + kApostrophe + "s", "O", "ICOcar", 1});
        db.exec(sql, {"XX3", "Retired", "I", "INN", 0});
        db.exec(sql, {"XX4", "Workshop", "M", "MTG", 1});
        g_colCustomStatus = {CStatus()};
        QCOMPARE(CClientAdmin().LoadCustomStatus(none), ErrNo::Success);
        QCOMPARE(g_colCustomStatus.size(), 2); // the active ones
        const CStatus &first = g_colCustomStatus[0];
        QCOMPARE(QStringList({first.StatusCode, first.Status, first.CustomType, first.Icon, g_colCustomStatus[1].StatusCode}),
                 QStringList({"XX2", "At the client's", "O", "ICOcar", "XX4"}));
        g_colCustomStatus.clear();
    }

    void workStartTimesReadLiberally_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored"); // "-": unreadable
        QTest::newRow("stored form") << "08:30:00" << "08:30:00";
        QTest::newRow("short") << "9:05" << "09:05:00";
        QTest::newRow("with AM/PM") << "1:15:00 PM" << "13:15:00";
        QTest::newRow("seconds kept") << "9:00:45 AM" << "09:00:45";
        QTest::newRow("junk") << "soon" << "-";
        QTest::newRow("empty") << "" << "-";
    }
    void workStartTimesReadLiberally()
    {
        QFETCH(QString, text);
        QFETCH(QString, stored);
        double time = -1;
        QCOMPARE(CClientAdmin::readWorkStart(text, time) ? CClientAdmin::workStartText(time) : "-", stored);
    }
};

QTEST_GUILESS_MAIN(tst_ClientAdmin)
#include "tst_ClientAdmin.moc"
