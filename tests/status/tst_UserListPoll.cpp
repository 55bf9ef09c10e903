#include "StatusFakes.h"
#include "foundation/CStatus.h"
#include "foundation/CounterAllocator.h"
#include "foundation/MCIFunctions.h"
#include "messaging/CMCastWindow.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/SettingsKeys.h"
#include "platform/StoredText.h"
#include "status/IUserNotification.h"
#include "status/NotifyUserList.h"
#include "status/UserListModel.h"
#include "status/UserListPoll.h"
#include "status/UserListReader.h"
#include "status/UserSearch.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

// Each case that reads the database runs on a fresh SQLite file and on a fresh
// PostgreSQL database: the poll's queries are built for both.
#define OPEN_DATABASE() \
    FETCH_ENGINE();     \
    openDatabase(postgres)

namespace {
const QDate kToday(2026, 12, 4);
const QString kAllUsers = QStringLiteral("GRP0");
const QString kGroup = QStringLiteral("GRP5");

// The notices as "title|message", "|top" after one kept on top.
struct RecordingNotification : IUserNotification
{
    void notify(const QString &title, const QString &message, bool onTop) override
    {
        shown << title + u'|' + message + (onTop ? QStringLiteral("|top") : QString());
    }
    QStringList shown;
};
} // namespace

class tst_UserListPoll : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestDatabase> m_world;
    DbHandle m_db;
    std::unique_ptr<UserListPoll> m_poll;
    FakeMainWindow *m_window = nullptr;
    RecordingNotification m_notifications;
    qint32 m_counter = 0;
    QStringList m_icons;

    void openDatabase(bool postgres)
    {
        m_world = std::make_unique<TestDatabase>(postgres, QStringLiteral("userlist_") + QTest::currentTestFunction());
        m_db = OpenADOConnection();
    }

    // Users A1, B2, C3, ... by id, each written after the one before.
    void addUser(qint32 id, const QString &status = QStringLiteral("INN"), double outTime = 0)
    {
        Update(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, RealName, IsIn, Note, ETD, MobileOn, PhExtension, "
                              "LastUpdated, IsActive) VALUES (?, ?, ?, ?, ?, 0, ?, ?, 1)"),
               m_db, {id, QString(QChar(u'A' + id - 1)) + QString::number(id), status,
                      QStringLiteral("it's %1").arg(id).replace(u'\'', QChar(8)), outTime, QStringLiteral("x%1").arg(id),
                      ++m_counter});
    }
    void addUsers(qint32 last)
    {
        for (qint32 id = 1; id <= last; ++id)
            addUser(id);
    }
    void setStatus(qint32 id, const QString &status)
    {
        Update(QStringLiteral("UPDATE STAFF_STATUS SET IsIn = ?, LastUpdated = ? WHERE UserID = ?"), m_db,
               {status, ++m_counter, id});
    }
    void addToGroup(qint32 group, qint32 user)
    {
        Update(QStringLiteral("INSERT INTO UserGroup (UserID, GroupID) VALUES (?, ?)"), m_db, {user, group});
    }
    // As the group editor writes a change of members: the row, and the
    // member's change counter, which is what the poll hears.
    void changeMember(const char *sql, qint32 group, qint32 user)
    {
        CounterAllocator::inWriteTransaction(m_db, [&](DbConnection &c) {
            c.execute(QLatin1String(sql), {user, group});
            c.execute(QStringLiteral("UPDATE STAFF_STATUS SET LastUpdated = ? WHERE UserID = ?"),
                      {CounterAllocator::nextLastUpdated(c), user});
        });
    }

    // Where the statement's plan reads a table that grows with the users
    // from end to end (a full scan, an index walked whole, or an index built
    // on the fly), or every member of a group; empty when it reads none.
    QString fullScans(const QString &statement, const QVariantList &params = {})
    {
        QString sql = statement;
        for (const QVariant &value : params)
            sql.replace(sql.indexOf(u'?'), 1,
                        value.typeId() == QMetaType::QString ? u'\'' + value.toString() + u'\'' : value.toString());
        QString found;
        if (m_db->isSQLite()) {
            static const QRegularExpression scan(QStringLiteral("^SCAN (?!T\\b|TreeNode\\b)|AUTOMATIC|\\(GroupID=\\?\\)"));
            for (RecordSet step = m_db->query(QStringLiteral("EXPLAIN QUERY PLAN ") + sql); !step.eof(); step.moveNext())
                if (scan.match(step.text(QStringLiteral("detail"))).hasMatch())
                    found += step.text(QStringLiteral("detail")) + u';';
            return found;
        }
        const QString plan = m_db->query(QStringLiteral("EXPLAIN (FORMAT JSON) ") + sql).value(0).toString();
        const std::function<void(const QJsonObject &)> walk = [&](const QJsonObject &node) {
            const QString type = node.value(QLatin1String("Node Type")).toString();
            const QString table = node.value(QLatin1String("Relation Name")).toString();
            if (table != QLatin1String("treenode")
                && (type == QLatin1String("Seq Scan") || (type.startsWith(QLatin1String("Index")) && !node.contains(QLatin1String("Index Cond")))))
                found += type + QStringLiteral(" on ") + table + u';';
            for (const QJsonValue child : node.value(QLatin1String("Plans")).toArray())
                walk(child.toObject());
        };
        walk(QJsonDocument::fromJson(plan.toUtf8()).array().at(0).toObject().value(QLatin1String("Plan")).toObject());
        return found;
    }

    qint32 poll(const QString &key, bool checksOnly = false)
    {
        DbHandle none;
        return m_poll->refresh(checksOnly, true, QString(), key, none);
    }

    // The list as shown: "name status" per row, in row order.
    QStringList shown() const
    {
        QStringList rows;
        const UserListModel &model = m_poll->model();
        for (int row = 0; row < model.rowCount(); ++row)
            rows << model.index(row, 0).data().toString() + u' ' + model.index(row, 1).data().toString();
        return rows;
    }
    static QList<qint32> arrayIds()
    {
        QList<qint32> ids;
        for (const CUser &user : g_vUserList)
            ids << user.UserID;
        return ids;
    }

private slots:
    void init()
    {
        g_frmMain = std::make_unique<FakeMainWindow>();
        m_window = static_cast<FakeMainWindow *>(g_frmMain.get());
        m_notifications.shown.clear();
        g_userNotification = &m_notifications;
        g_colNotifyUsers.clear();
        g_lLastUpdated = g_lMyRowIndex = -1;
        g_lLastSeq = m_counter = 0;
        g_sCurrentNodeKey = g_sViewType = QString();
        g_lUserID = 99;
        g_oCurrentUser = CUser();
        m_icons.clear();
        m_poll = std::make_unique<UserListPoll>();
        m_poll->refreshIcon = [this](const QString &status) { m_icons << status; };
        Clock::pin(QDateTime(kToday, QTime(10, 0)));
    }
    void cleanup()
    {
        Clock::unpin();
        m_poll.reset();
        m_db.reset();
        g_frmMain.reset();
        m_world.reset();
    }

    void fullThenIncremental_data() { addEngineRows(); }
    void fullThenIncremental()
    {
        OPEN_DATABASE();
        for (qint32 id : {4, 1, 3, 2})
            addUser(id);
        Update(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, RealName, LastUpdated, IsActive) VALUES (9, NULL, 50, 1)"),
               m_db);
        QCOMPARE(poll(kAllUsers), 10000);
        QCOMPARE(shown(), QStringList({"A1 In", "B2 In", "C3 In", "D4 In"}));
        QCOMPARE(m_poll->model().index(1, 2).data().toString() + m_poll->model().index(1, 7).data().toString(),
                 QStringLiteral("it's 2x2"));
        QCOMPARE(QVariantList({g_lLastUpdated, g_lLastSeq, g_sCurrentNodeKey, m_window->statusTexts.last()}),
                 QVariantList({4, 4, kAllUsers, "Ready."}));
        poll(kAllUsers);
        QCOMPARE(m_poll->lastRowsRead(), 0);

        setStatus(3, QStringLiteral("OUT"));
        addUser(7);
        addUser(5);
        QCOMPARE(poll(kAllUsers), 10000);
        QCOMPARE(QList<qint32>({m_poll->lastRowsRead(), g_lLastUpdated}), QList<qint32>({3, 7}));
        QCOMPARE(shown(), QStringList({"A1 In", "B2 In", "C3 Out", "D4 In", "E5 In", "G7 In"}));
        QCOMPARE(arrayIds(), QList<qint32>({1, 2, 3, 4, 5, 7}));
    }

    // A group is read in full when it is chosen, then follows who left it,
    // joined it or was deleted.
    void groupNode_readInFullThenFollowsItsMembers_data() { addEngineRows(); }
    void groupNode_readInFullThenFollowsItsMembers()
    {
        OPEN_DATABASE();
        addUsers(5);
        for (qint32 member : {4, 2, 4}) // one listed twice
            addToGroup(5, member);
        for (const QString &node : {kGroup, kAllUsers, kGroup})
            poll(node);
        QCOMPARE(m_poll->lastRowsRead(), 2);
        QCOMPARE(shown(), QStringList({"B2 In", "D4 In"}));
        QCOMPARE(arrayIds(), QList<qint32>({2, 4}));

        changeMember("DELETE FROM UserGroup WHERE UserID = ? AND GroupID = ?", 5, 4);
        changeMember("INSERT INTO UserGroup (UserID, GroupID) VALUES (?, ?)", 5, 5);
        CUser::Delete(2);
        poll(kGroup);
        QCOMPARE(shown(), QStringList({"E5 In"}));
    }

    // A status node lists its custom statuses by their type, and its poll
    // hears of users who changed to another status or were removed.
    void statusNode_dropsUsersWhoLeftIt_data() { addEngineRows(); }
    void statusNode_dropsUsersWhoLeftIt()
    {
        OPEN_DATABASE();
        g_colCustomStatus = {CStatus{QStringLiteral("Training"), QStringLiteral("XTR"), QStringLiteral("O"), QString()},
                             CStatus{QStringLiteral("Home office"), QStringLiteral("XHO"), QStringLiteral("I"), QString()}};
        for (const char *status : {"OUT", "XTR", "XHO", "OUT"})
            addUser(m_counter + 1, QLatin1String(status));
        poll(QStringLiteral("OUT"));
        QCOMPARE(shown(), QStringList({"A1 Out", "B2 Training", "D4 Out"}));

        setStatus(1, QStringLiteral("INN"));
        setStatus(3, QStringLiteral("OUT"));
        CUser::Delete(4);
        poll(QStringLiteral("OUT"));
        QCOMPARE(m_poll->lastRowsRead(), 3);
        QCOMPARE(shown(), QStringList({"B2 Training", "C3 Out"}));
        QCOMPARE(arrayIds(), QList<qint32>({2, 3}));
    }

    // What every poll and log-in asks goes through an index on both engines,
    // never through a whole table that grows with the users.
    void pollAndLogInQueries_useIndexes_data() { addEngineRows(); }
    void pollAndLogInQueries_useIndexes()
    {
        OPEN_DATABASE();
        const QString users = QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000) ");
        Update(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, RealName, IsIn, LastUpdated, IsActive) ") + users
                   + QStringLiteral("SELECT i, 'User ' || i, 'INN', i, 1 FROM n"), m_db);
        Update(QStringLiteral("INSERT INTO STAFF_OPTIONS (UserID, LoginName) ") + users
                   + QStringLiteral("SELECT i, 'USER' || i FROM n"), m_db);
        Update(QStringLiteral("INSERT INTO UserGroup (UserID, GroupID) ") + users
                   + QStringLiteral("SELECT i, 3 FROM n UNION ALL SELECT i, 10 + i % 50 FROM n"), m_db);
        // The next start gathers SQLite's statistics; the server's own vacuum does PostgreSQL's.
        CUpdateDatabase::checkAtStartUp();
        if (!m_db->isSQLite())
            m_db->execute(QStringLiteral("ANALYZE"));

        const qint32 mark = 4990;
        for (const UserListReader::Query &poll : {UserListReader::usersQuery(3, {}, mark, false),
                                                  UserListReader::usersQuery(12, {}, mark, false),
                                                  UserListReader::usersQuery(0, {}, mark, false),
                                                  UserListReader::usersByIdQuery({17, 4711})})
            QVERIFY2(fullScans(poll.sql, poll.params).isEmpty(), qPrintable(poll.sql + u' ' + fullScans(poll.sql, poll.params)));
        const QStringList asked = {
            QStringLiteral("SELECT MAX(LastUpdated) AS maxid FROM STAFF_STATUS"),
            QStringLiteral("SELECT SO.UserID FROM STAFF_OPTIONS SO, STAFF_STATUS SS "
                           "WHERE (SO.LoginName = 'USER4321') AND (SS.UserID = SO.UserID) AND (SS.IsActive = 1)"),
            QStringLiteral("SELECT T.* FROM TreeNode T, UserGroup U WHERE U.GroupID = T.ID AND U.UserID = 4321 ORDER BY T.ID"),
        };
        for (const QString &sql : asked)
            QVERIFY2(fullScans(sql).isEmpty(), qPrintable(sql + u' ' + fullScans(sql)));
    }

    // Events pumped while rows are written may ask for another refresh: it
    // waits until the running one is done, then runs once.
    void nestedRefresh_heldBackUntilTheFirstEnds()
    {
        openDatabase(false);
        addUsers(26);
        addToGroup(5, 3);
        int nestedResult = -1;
        m_poll->pumpIntervalMs = 0;
        m_poll->pumpEvents = [&] {
            if (nestedResult != -1 || m_poll->model().rowCount() == 0)
                return;
            QCOMPARE(m_poll->model().rowCount(), 25);
            nestedResult = poll(kGroup);
            QCOMPARE(m_poll->model().rowCount(), 25);
            QCOMPARE(g_sCurrentNodeKey, kAllUsers);
        };
        QCOMPARE(poll(kAllUsers), 10000);
        QCOMPARE(nestedResult, 10003);
        // The held-back request ran after the first.
        QCOMPARE(g_sCurrentNodeKey, kGroup);
        QCOMPARE(shown(), QStringList({"C3 In"}));
        QVERIFY(!m_poll->isRefreshing());
    }

    // The signed-in user's row is copied to him; an update pulse patches the
    // one row it names, and only where that user is shown.
    void ownRowAndUpdateView_data() { addEngineRows(); }
    void ownRowAndUpdateView()
    {
        OPEN_DATABASE();
        addUser(1);
        addUser(2, QStringLiteral("LNC"));
        addUser(3);
        addToGroup(5, 1);
        addToGroup(5, 3);
        g_lUserID = 2;
        g_oCurrentUser.LoginName = QStringLiteral("BOB");
        poll(kAllUsers);
        QVERIFY(g_fMyRowLoaded);
        QCOMPARE(g_lMyRowIndex, 1);
        QCOMPARE(QStringList({g_oCurrentUser.IsIn, g_oCurrentUser.RealName, g_oCurrentUser.LoginName}),
                 QStringList({"LNC", "B2", "BOB"}));
        QCOMPARE(m_icons, QStringList({"LNC"}));
        poll(kGroup); // without him: his row index no longer points anywhere
        QCOMPARE(g_lMyRowIndex, -1);

        Clock::pin(QDateTime(kToday, QTime(11, 0)));
        const double due = DateUtil::toDays(kToday, QTime(12, 30));
        m_poll->updateView(1, QStringLiteral("LNC"), QStringLiteral("canteen"), Clock::nowDays(), due);
        QCOMPARE(shown(), QStringList({"A1 Lunch Break", "C3 In"}));
        QCOMPARE(m_poll->model().index(0, 4).data().toString(), QStringLiteral("12:30 pm"));
        const CUser &first = g_vUserList.at(0);
        QCOMPARE(QVariantList({first.IsIn, first.Note, first.ETA, first.LastStatusChange}),
                 QVariantList({"LNC", "canteen", due, Clock::nowDays()}));
        // User 2 is not in this list: nothing changes, not even his own copy.
        m_poll->updateView(2, QStringLiteral("OUT"), QString(), Clock::nowDays(), due);
        QCOMPARE(shown(), QStringList({"A1 Lunch Break", "C3 In"}));
        QCOMPARE(arrayIds(), QList<qint32>({1, 3}));
        QCOMPARE(g_oCurrentUser.IsIn, QStringLiteral("LNC"));

        // No row says A1 is at lunch: the next poll reads his row again, and
        // forgets the number the pulse claimed, lest it hold back his own.
        g_oMCastWindow = std::make_unique<CMCastWindow>();
        g_oMCastWindow->Add(CMCastUpdate{5000, 1, QStringLiteral("LNC"), {}, 0, 0, -1});
        poll(kGroup);
        QCOMPARE(shown(), QStringList({"A1 In", "C3 In"}));
        QVERIFY(!g_oMCastWindow->NewerUpdateExist(10, 1));
        g_oMCastWindow.reset();
    }

    // The watch list's node shows the watched; polls of other nodes, the
    // checks alone and update pulses announce who came In, once, without
    // moving the shared mark past rows of the shown list.
    void watchList_data() { addEngineRows(); }
    void watchList()
    {
        OPEN_DATABASE();
        addUser(1);
        for (qint32 id = 2; id <= 5; ++id)
            addUser(id, QStringLiteral("OUT"));
        addToGroup(5, 1);
        QVERIFY(g_colNotifyUsers.add(4, QStringLiteral("D4")) && g_colNotifyUsers.add(2, QStringLiteral("B2")));
        QVERIFY(!g_colNotifyUsers.add(2, QStringLiteral("again")) && !g_colNotifyUsers.add(0, QStringLiteral("no")));
        poll(QStringLiteral("NTF0"));
        QCOMPARE(m_poll->lastRowsRead(), 2);
        // Found by id whatever the order the rows came in; a meeting is not In.
        m_poll->updateView(2, QStringLiteral("MTG"), QString(), 0, 0);
        m_poll->updateView(4, QStringLiteral("DND"), QString(), 0, 0);
        QStringList rows = shown();
        rows.sort();
        QCOMPARE(rows, QStringList({"B2 Meeting", "D4 Do Not Disturb"}));
        QCOMPARE(g_vUserList.at(FindUserIndex(2)).IsIn, QStringLiteral("MTG"));
        QVERIFY(m_notifications.shown.isEmpty());
        // An empty status is In.
        m_poll->updateView(2, QString(), QString(), 0, 0);
        m_poll->updateView(2, QStringLiteral("INN"), QString(), 0, 0);
        QCOMPARE(m_notifications.shown, QStringList{"Qel Notification|B2 is now 'In'.\r\n|top"});

        g_colNotifyUsers.add(3, QStringLiteral("C3"));
        g_colNotifyUsers.add(5, QStringLiteral("E5"));
        setStatus(3, QStringLiteral("INN"));
        setStatus(4, QStringLiteral("INN"));
        poll(kGroup);
        QCOMPARE(m_notifications.shown.size(), 2);
        QCOMPARE(m_notifications.shown[1], QStringLiteral("Qel Notification|C3 is now 'In'.\r\nD4 is now 'In'.\r\n"));
        QCOMPARE(g_colNotifyUsers.userIds(), QList<qint32>({5}));
        QCOMPARE(g_lLastUpdated, 1);
        setStatus(5, QStringLiteral("INN"));
        m_poll->runChecks();
        QCOMPARE(m_notifications.shown.size(), 3);
        QCOMPARE(shown(), QStringList({"A1 In"}));
    }

    // Search results are read once, then only rows an update pulse redrew.
    void search_readOnceThenOnlyChecked_data() { addEngineRows(); }
    void search_readOnceThenOnlyChecked()
    {
        OPEN_DATABASE();
        addUsers(3);
        DbHandle none;
        m_poll->refresh(false, true, QStringLiteral("SELECT * FROM STAFF_STATUS WHERE RealName = ?"),
                        QStringLiteral("SRH0"), none, {QStringLiteral("B2")});
        QCOMPARE(shown(), QStringList({"B2 In"}));
        setStatus(2, QStringLiteral("OUT"));
        poll(QStringLiteral("SRH0"));
        QCOMPARE(m_poll->lastRowsRead(), 0);
        QCOMPARE(shown(), QStringList({"B2 In"}));
        m_poll->updateView(2, QStringLiteral("LNC"), QString(), 0, 0);
        poll(QStringLiteral("SRH0"));
        QCOMPARE(shown(), QStringList({"B2 Out"}));
    }

    // The search box finds what was typed, as typed but for case, on both engines.
    void search_namesHoldTheTextAsTyped_data() { addEngineRows(); }
    void search_namesHoldTheTextAsTyped()
    {
        OPEN_DATABASE();
        const QStringList names = {"Seán O'Brien", "Émile Zola", "Rate 50% Ltd", "Rate 50 Ltd", "Ann a_b", "Ann axb",
                                   "Dir a\\b", "Old O'Brien"};
        for (int i = 0; i < names.size(); ++i)
            Update(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, RealName, IsIn, LastUpdated, IsActive) "
                                  "VALUES (?, ?, 'INN', ?, ?)"),
                   m_db, {i + 1, EncodeQuotes(names.at(i)), i + 1, names.at(i).startsWith(u'O') ? 0 : 1});
        const QList<std::pair<const char *, QStringList>> searches = {
            {"o'br", {"Seán O'Brien In"}},       {"  ÉMILE ", {"Émile Zola In"}},  {"émile", {"Émile Zola In"}},
            {"50%", {"Rate 50% Ltd In"}},        {"a_b", {"Ann a_b In"}},          {"\\", {"Dir a\\b In"}},
            {"SEÁN", {"Seán O'Brien In"}},       {"nobody", {}},
            {"", {"Seán O'Brien In", "Émile Zola In", "Rate 50% Ltd In", "Rate 50 Ltd In", "Ann a_b In", "Ann axb In",
                  "Dir a\\b In"}}};
        for (const auto &[typed, found] : searches) {
            UserSearch::fill(*m_poll, QString::fromUtf8(typed));
            QCOMPARE(shown(), found);
        }
    }

    void pendingRow_rewrittenOnceItsTimeCame_data() { addEngineRows(); }
    void pendingRow_rewrittenOnceItsTimeCame()
    {
        OPEN_DATABASE();
        Clock::pin(QDateTime(kToday, QTime(13, 30)));
        addUser(1, QStringLiteral("MTG"), DateUtil::toDays(kToday, QTime(14, 0)));
        poll(kAllUsers);
        QCOMPARE(shown(), QStringList({"A1 In (Out Later)"}));
        Clock::pin(QDateTime(kToday, QTime(14, 0)));
        QCOMPARE(poll(kAllUsers, true), 10000);
        QCOMPARE(shown(), QStringList({"A1 Meeting"}));
        QCOMPARE(m_poll->model().index(0, 0).data(UserListModel::IconKeyRole).toString(), QStringLiteral("MTG"));
    }

    // Without a main window nothing is read; the top node shows nothing until
    // a stored branch names a tree node.
    void topNode_opensTheStoredBranch()
    {
        openDatabase(false);
        addUsers(2);
        addToGroup(5, 2);
        auto away = std::move(g_frmMain);
        QCOMPARE(poll(kAllUsers), 0);
        QCOMPARE(m_poll->model().rowCount(), 0);
        g_frmMain = std::move(away);
        poll(QStringLiteral("NOD0"));
        QCOMPARE(m_poll->model().rowCount(), 0);
        QCOMPARE(m_window->statusTexts, QStringList({"Ready."}));
        SettingsKeys::DefaultBranch.write(kGroup);
        poll(QStringLiteral("NOD0"));
        QCOMPARE(m_window->selectedNode, kGroup);
        QCOMPARE(m_poll->model().rowCount(), 0); // no such tree node
        m_window->treeNodes.insert(kGroup);
        poll(QStringLiteral("NOD0"));
        QCOMPARE(shown(), QStringList({"B2 In"}));
        QCOMPARE(g_sCurrentNodeKey, kGroup);
    }
};

QTEST_MAIN(tst_UserListPoll)
#include "tst_UserListPoll.moc"
