#include "TestDatabase.h"
#include "admin/CClientAdmin.h"
#include "admin/CUserGroup.h"
#include "foundation/CStatus.h"
#include "foundation/CTreeNode.h"
#include "foundation/Globals.h"
#include "foundation/MCIFunctions.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"

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

QList<qint32> idsOf(const QList<CTreeNode> &nodes)
{
    QList<qint32> ids;
    for (const CTreeNode &node : nodes)
        ids << node.ID;
    return ids;
}

void insertSwept(TestDatabase &db, int id, const QString &status, const QVariant &eta, const QVariant &workStart,
                 int active = 1)
{
    db.exec(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, RealName, IsIn, Note, ETA, ETD, LastUpdated, IsActive) "
                           "VALUES (?, ?, ?, 'as before', ?, 5, ?, ?)"),
            {id, QStringLiteral("User %1").arg(id), status, eta, 100 - id, active});
    db.exec(QStringLiteral("INSERT INTO STAFF_OPTIONS (UserID, LoginName, WorkStartTime) VALUES (?, ?, ?)"),
            {id, QStringLiteral("U%1").arg(id), workStart});
}

// A user's status row as "IsIn|Note|ETA|ETD|LastUpdated", the due-back moment as "yyyy-MM-dd HH:mm:ss".
QString rowOf(int id)
{
    DbHandle connection;
    const RecordSet rs = OpenADORecordSet(connection, "SELECT * FROM STAFF_STATUS WHERE UserID = ?", true, {id});
    return QStringList{rs.text("IsIn").trimmed(), rs.text("Note"),
                       DateUtil::fromDays(rs.number("ETA")).toString("yyyy-MM-dd HH:mm:ss"),
                       QString::number(rs.number("ETD")), QString::number(rs.integer("LastUpdated"))}
        .join(u'|');
}

} // namespace

class tst_ClientAdmin : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { Clock::unpin(); }

    void readUser_data() { addEngineRows(); }
    void readUser()
    {
        OPEN_TEST_DATABASE(db, "admin_");
        insertUser(db, 7, QString(), 1, "O" + kApostrophe + "Brien  ");
        UserRecord user;
        QList<CTreeNode> groups{CTreeNode()};
        QuickNoteTable notes;
        DbHandle none;
        const AppError e = raisedBy([&] { CClientAdmin().ReadUser(7, user, groups, notes, none); });
        QCOMPARE(e.number(), ErrNo::Raised); // no options row
        QCOMPARE(user.UserID, 0); // nothing half-filled

        // Null options read as the defaults; nothing is kept from before.
        db.exec("INSERT INTO STAFF_OPTIONS (UserID, LoginName, OutlookOOP, Outlook) VALUES (7, 'obrien', 2, 1)");
        user.LunchTimePeriod = 1;
        notes.rows[2].note = "stale";
        const QString note = "INSERT INTO QUICKNOTES (UserID, NoteType, QuickNote) VALUES (7, ?, ?)";
        db.exec(note, {3, " Back at one" + kApostrophe + "ish "});
        // Types that belong to no status are passed over, not a failed log-in.
        db.exec(note, {14, "x"});
        db.exec(note, {0, "y"});
        QCOMPARE(CClientAdmin().ReadUser(7, user, groups, notes, none), ErrNo::Success);
        QVERIFY(!none); // its own connection was closed again
        QCOMPARE(QString::number(user.UserID) + user.RealName, QStringLiteral("7O'Brien"));
        QCOMPARE(QStringList({user.LoginName, QString::number(user.LunchTimePeriod), QString::number(user.RefreshPeriod),
                              user.Language, CClientAdmin::workStartText(user.WorkStartTime)}).join(u'|'),
                 QStringLiteral("OBRIEN|60|30|ENU|08:30:00"));
        QVERIFY(user.Outlook && !user.OutlookOOP && !user.Admin); // only 1 counts as set
        QVERIFY(groups.isEmpty() && notes.rows[2].note.isEmpty() && !notes.rows[0].stored);
        QCOMPARE(notes.rows[3].note, QStringLiteral("Back at one'ish"));
    }

    void addUserWritesBothRowsUnderTheNextId_data() { addEngineRows(); }
    void addUserWritesBothRowsUnderTheNextId()
    {
        OPEN_TEST_DATABASE(db, "admin_");
        insertUser(db, 100, "FIRST"); // change counter 1000
        // the counter stored (none: no "userid" row), an administrator; the id given, the change counter
        for (const auto &[stored, admin, expected, counter] :
             {std::tuple{QVariant(), false, 1, 1001}, {QVariant(41), true, 42, 1002}}) {
            db.exec("DELETE FROM idmanager WHERE tablename = 'userid'");
            if (stored.isValid())
                db.exec("INSERT INTO idmanager (tablename, id) VALUES ('userid', ?)", {stored});
            UserRecord user;
            user.LoginName = expected == 1 ? "dora" : "eric";
            user.RealName = "Dora D'Arcy";
            user.Admin = admin;
            user.WorkStartTime = 9.25 / 24.0;
            QCOMPARE(CClientAdmin().AddUser(user), ErrNo::Success);
            QCOMPARE(user.UserID, expected);
            QCOMPARE(db.rows("SELECT MAX(id), COUNT(*) FROM idmanager WHERE tablename = 'userid'"),
                     QStringList{QStringLiteral("%1|1").arg(expected)});
            // Administrators keep time sheets; everyone gets the calendar link and may change status.
            const QString id = QString::number(expected);
            QCOMPARE(db.rows("SELECT Timesheet, Admin, Outlook, ChangeStatus, WorkStartTime, LoginName "
                             "FROM STAFF_OPTIONS WHERE UserID = " + id),
                     QStringList{(admin ? "1|1|1|1|09:15:00|" : "0|0|1|1|09:15:00|") + user.LoginName.toUpper()});
            QCOMPARE(db.rows("SELECT IsIn, IsActive, LastUpdated, RealName FROM STAFF_STATUS WHERE UserID = " + id),
                     QStringList{QStringLiteral("INN|1|%1|Dora D").arg(counter) + kApostrophe + "Arcy"});
        }
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
        QCOMPARE(db.rows(stored), QStringList{"CARL.C|0|1|ITA|10:00:00|45|10|20|MTWTF|2|1"});

        // A name shared from before is kept; another active user's is refused.
        insertUser(db, 4, "CARL.C");
        insertUser(db, 5, "EVE");
        QCOMPARE(CClientAdmin().UpdateUserOptions(3, options, none), ErrNo::Success);
        options.LoginName = " eve";
        const AppError e = raisedBy([&] { CClientAdmin().UpdateUserOptions(3, options, none); });
        QCOMPARE(QString::number(e.number()) + e.description(),
                 QStringLiteral("10004The login name EVE is already used by User 5. Each user needs a login name "
                                "of his own."));
    }

    void addCustomStatus_data() { addEngineRows(); }
    void addCustomStatus()
    {
        OPEN_TEST_DATABASE(db, "admin_");
        // the counter, a code already stored and retired, the code given (none: refused)
        const QList<std::tuple<QVariant, QString, QString>> rows = {
            {1, "", "XX2"},  {QVariant(QMetaType(QMetaType::Int)), "", "XX2"}, {9, "", "XXA"}, {15, "", "X10"},
            {1, "XX2", "XX3"}, {254, "", "XFF"}, {255, "", ""}};
        for (const auto &[counter, taken, code] : rows) {
            db.exec("DELETE FROM Custom_Status");
            db.exec("DELETE FROM idmanager WHERE tablename = 'status'");
            db.exec("INSERT INTO idmanager (tablename, id) VALUES ('status', ?)", {counter});
            if (!taken.isEmpty())
                db.exec("INSERT INTO Custom_Status (id, description, status_type, Icon, Active) "
                        "VALUES (?, 'x', 'I', 'INN', 0)", {taken});
            const QStringList before = db.rows("SELECT * FROM Custom_Status ORDER BY id");
            g_colCustomStatus.clear();
            const std::optional<CStatus> added = CClientAdmin().AddCustomStatus("Client's site", "O", "ICOcar");
            QCOMPARE(added ? added->StatusCode : QString(), code);
            if (code.isEmpty()) {
                QCOMPARE(db.rows("SELECT * FROM Custom_Status ORDER BY id"), before);
                QCOMPARE(db.value("SELECT id FROM idmanager WHERE tablename = 'status'").toInt(), 255);
                QVERIFY(g_colCustomStatus.isEmpty());
                continue;
            }
            QCOMPARE(db.rows("SELECT description, status_type, Icon, Active FROM Custom_Status "
                             "WHERE id = '" + code + "'"),
                     QStringList({"Client" + kApostrophe + "s site|O|ICOcar|1"}));
            QCOMPARE(g_colCustomStatus.size(), 1);
            QCOMPARE(g_colCustomStatus[0].Status, QStringLiteral("Client's site"));
            DbHandle none;
            g_colCustomStatus = {CStatus()};
            // What it wrote is read back, the retired one passed over.
            QCOMPARE(CClientAdmin().LoadCustomStatus(none), ErrNo::Success);
            QCOMPARE(g_colCustomStatus.size(), 1);
            const CStatus &read = g_colCustomStatus[0];
            QCOMPARE(QStringList({read.StatusCode, read.Status, read.CustomType, read.Icon}),
                     QStringList({code, "Client's site", "O", "ICOcar"}));
        }
        g_colCustomStatus.clear();
    }

    void deleteCustomStatusMovesHoldersOut_data() { addEngineRows(); }
    void deleteCustomStatusMovesHoldersOut()
    {
        OPEN_TEST_DATABASE(db, "admin_");
        db.exec("INSERT INTO Custom_Status (id, description, status_type, Icon, Active) VALUES ('XX2', 'Site', 'O', 'OUT', 1)");
        insertSwept(db, 1, "XX2", 46000.5, "08:30:00");
        insertSwept(db, 2, "INN", 0, "08:30:00");
        insertSwept(db, 3, "XX2", 0, "08:30:00");
        g_colCustomStatus = {CStatus{"Site", "XX2", "O", "OUT"}};
        g_oCurrentUser.IsIn = "XX2";
        QCOMPARE(CClientAdmin().DeleteCustomStatus("XX2"), ErrNo::Success);
        QCOMPARE(db.value("SELECT Active FROM Custom_Status WHERE id = 'XX2'").toInt(), 0);
        // Each holder gets a counter above every earlier one; the others keep theirs.
        QCOMPARE(QStringList({rowOf(1), rowOf(2), rowOf(3)}),
                 QStringList({"OUT|as before|2025-12-09 12:00:00|5|100", "INN|as before|1899-12-30 00:00:00|5|98",
                              "OUT|as before|1899-12-30 00:00:00|5|101"}));
        QCOMPARE(db.rows("SELECT UserID, Status FROM STATUS_HISTORY ORDER BY UserID"), QStringList({"1|OUT", "3|OUT"}));
        QVERIFY(g_colCustomStatus.isEmpty());
        QCOMPARE(g_oCurrentUser.IsIn, QStringLiteral("OUT"));
        g_oCurrentUser.IsIn.clear();
    }

    void treeNodesAndGroups_data() { addEngineRows(); }
    void treeNodesAndGroups()
    {
        OPEN_TEST_DATABASE(db, "admin_");
        db.exec("INSERT INTO TreeNode (ID, Name, NodeType, ParentID) VALUES (30, 'Plain', '', 1)");
        db.exec("INSERT INTO UserGroup (UserID, GroupID) VALUES (1, 30)");
        db.exec("INSERT INTO UserGroup (UserID, GroupID) VALUES (1, 3)");

        const QList<CTreeNode> all = CTreeNode::ReadAll();
        QCOMPARE(idsOf(all), (QList<qint32>{1, 2, 4, 30, 3, 5, 6, 7})); // by ParentID
        QCOMPARE(all[3].Key(), QStringLiteral("BRH30")); // no type read as a branch

        DbHandle none;
        const QList<CTreeNode> groups = CUserGroup().GetGroups(1, none);
        QCOMPARE(idsOf(groups), (QList<qint32>{3, 30}));
        QCOMPARE(QStringList({groups[0].Key(), groups[1].NodeType, groups[1].Key()}), QStringList({"GRP3", "", "30"}));
    }

    void checkedNodeChanges()
    {
        // what is done to which node (a move: under which parent, as a branch); the refusal's title, "" when done
        const struct { const char *name; bool remove; qint32 node, parent; const char *refusal; } rows[] = {
            {"branch with children", true, 4, 0, "Cannot delete"},
            {"group with resources", true, 6, 0, "Cannot delete"},
            {"group with members", true, 3, 0, ""},
            {"under itself", false, 4, 4, "Cannot save"},
            {"under its grandchild", false, 1, 6, "Cannot save"},
            {"under a deleted node", false, 2, 99, "Cannot save"},
            {"resources keep their group", false, 6, 4, "Cannot save"},
            {"empty group to a branch", false, 7, 2, ""}};
        for (const auto &r : rows) {
            TestDatabase db(false, "nodes");
            db.exec("INSERT INTO Resource (ID, Name, Code, GroupID) VALUES (1, 'Room 1', 'R1', 6)");
            db.exec("INSERT INTO UserGroup (UserID, GroupID) VALUES (1, 3), (2, 3), (2, 30)");
            g_colTreeNodes = CTreeNode::ReadAll();
            const auto stored = [&] {
                return db.rows("SELECT * FROM TreeNode ORDER BY ID") + db.rows("SELECT * FROM UserGroup");
            };
            const QStringList before = stored();
            CTreeNode changed;
            changed.Read(r.node);
            changed.ParentID = r.parent;
            changed.NodeType = QStringLiteral("BRH");
            const bool done = r.remove ? CTreeNode::deleteNode(r.node, "Rooms") : changed.save();
            QVERIFY2(db.env.prompt.asked.value(0).title == QLatin1String(r.refusal) && done == !*r.refusal, r.name);
            if (!done)
                QCOMPARE(stored(), before);
            else if (r.remove)
                QCOMPARE(db.rows("SELECT ID FROM TreeNode WHERE ID = 3") + db.rows("SELECT UserID FROM UserGroup")
                             << (FindTreeNode("NOD3") ? "kept" : "gone"),
                         QStringList({"2", "gone"}));
            else
                QCOMPARE(FindTreeNode("NOD7")->ParentID,
                         db.value("SELECT ParentID FROM TreeNode WHERE ID = 7").toInt());
        }
    }

    void whoIsSwept_data() { addEngineRows(); }
    void whoIsSwept()
    {
        OPEN_TEST_DATABASE(db, "admin_");
        const QDate friday(2026, 12, 4);
        Clock::pin(QDateTime(friday, QTime(23, 35))); // the nightly sweep's hour
        const double tomorrow = DateUtil::toDays(friday.addDays(1), QTime(9, 0));
        const double anHourAgo = DateUtil::toDays(friday, QTime(22, 35));
        const QString start = QStringLiteral("08:30:00");
        insertSwept(db, 1, QStringLiteral("INN"), tomorrow, start);
        insertSwept(db, 2, QStringLiteral("MTG"), tomorrow, start);     // in a meeting till tomorrow: left
        insertSwept(db, 3, QStringLiteral("OUT"), anHourAgo, start);    // overdue Out: swept again
        insertSwept(db, 4, QStringLiteral("HME"), anHourAgo, start);    // overdue Gone Home: swept
        insertSwept(db, 5, QStringLiteral("OUT"), 0, start);            // no due-back time: left
        insertSwept(db, 6, QStringLiteral("VAC"), QVariant(QMetaType(QMetaType::Double)), start); // null: left
        insertSwept(db, 7, QStringLiteral("INN"), QVariant(QMetaType(QMetaType::Double)), start, 0); // deleted, still In
        insertSwept(db, 8, QStringLiteral("LNC"), tomorrow, start);
        insertSwept(db, 11, QStringLiteral("XX2"), tomorrow, start);    // a custom status not yet due: left
        // Start times read liberally: none or unreadable is 8:30, seconds dropped.
        const QVariant starts[] = {QVariant(QMetaType(QMetaType::QString)), "after breakfast", "9:00:45 AM",
                                   "1:15:00 PM"};
        for (int i = 0; i < 4; ++i)
            insertSwept(db, 21 + i, QStringLiteral("INN"), 0, starts[i]);

        QCOMPARE(CClientAdmin().MarkAllUsersOut(), ErrNo::Success);

        int counter = 99; // the largest LastUpdated before the sweep, one higher per row in user order
        for (int id : {1, 3, 4, 7, 8})
            QCOMPARE(rowOf(id),
                     QStringLiteral("OUT|Marked Out by Qel|2026-12-07 08:30:00|0|%1").arg(++counter));
        for (const auto &[id, status] : {std::pair{2, "MTG"}, {5, "OUT"}, {6, "VAC"}, {11, "XX2"}})
            QCOMPARE(rowOf(id).section(u'|', 0, 1) + u'|' + rowOf(id).section(u'|', 4),
                     QStringLiteral("%1|as before|%2").arg(QLatin1String(status)).arg(100 - id));
        QCOMPARE(db.value(QStringLiteral("SELECT COUNT(*) FROM STATUS_HISTORY")).toInt(), 0);
        QStringList dueBack;
        for (int id = 21; id <= 24; ++id)
            dueBack << rowOf(id).section(u'|', 2, 2);
        QCOMPARE(dueBack, QStringList({"2026-12-07 08:30:00", "2026-12-07 08:30:00", "2026-12-07 09:00:00",
                                       "2026-12-07 13:15:00"}));
        QVERIFY(readTextFile(db.env.path(QStringLiteral("logs/debug.log"))).contains(QStringLiteral("after breakfast")));
    }
};

QTEST_GUILESS_MAIN(tst_ClientAdmin)
#include "tst_ClientAdmin.moc"
