#pragma once

// Stand-ins for the windows the options dialog talks to, and a database
// with the users and groups its tests edit.

#include "StubMainWindow.h"
#include "StubTrayWindow.h"
#include "TestDatabase.h"
#include "admin/CClientAdmin.h"
#include "admin/IUserOptionsHost.h"
#include "foundation/CTreeNode.h"
#include "foundation/Globals.h"
#include "foundation/ICalendarWatcherFactory.h"
#include "foundation/MCIFunctions.h"
#include "foundation/NavigationTree.h"
#include "status/CClientHnd.h"

#include <QStringList>

class OptionsTray : public StubTrayWindow
{
public:
    void setPollThreshold(qint16 threshold) override { pollThreshold = threshold; }

    int pollThreshold = -1;
};

class OptionsHostWindow : public StubMainWindow, public IUserOptionsHost
{
public:
    QString selectedListItemKey() const override { return selectedKey; }
    void setAdminMenuEnabled(bool on) override { calls << QStringLiteral("admin menu %1").arg(on); }
    void setListIconSize(int pixels) override { calls << QStringLiteral("icons %1").arg(pixels); }
    QIcon smallImage(const QString &) const override { return QIcon(); }
    void populateMenuStrings() override { calls << QStringLiteral("menu strings"); }
    void loadNavigationTree(const NavigationTree &) override { calls << QStringLiteral("tree"); }
    void treeViewClick(const QString &key, bool force) override { calls << "click " + key + (force ? "!" : ""); }
    bool setUserItemText(const QString &key, int sub, const QString &text) override
    {
        calls << QStringLiteral("%1/%2=%3").arg(key).arg(sub).arg(text);
        return true;
    }

    QString selectedKey;
    QStringList calls;
};

// A user as the options read him, with his quick notes.
inline UserRecord readUser(qint32 userID, QuickNoteTable *notes = nullptr)
{
    UserRecord user;
    QList<CTreeNode> groups;
    QuickNoteTable read;
    DbHandle none;
    CClientAdmin().ReadUser(userID, user, groups, notes ? *notes : read, none);
    return user;
}

class RecordingWatcher : public ICalendarWatcher
{
public:
    void Start(qint32) override {}
    void CloseDown() override { ++closedDown; }
    int closedDown = 0;
};

// A fresh database with group nodes 30 "Sales" and 40 "Support" and a web
// node 50 beside the standard tree, the signed-in user 1 and user 2 (in
// Sales), and the program's globals for user 1.
// In a data-driven test function: a fresh world on the row's engine.
#define OPEN_OPTIONS_WORLD(world)                                                  \
    QFETCH(bool, postgres);                                                        \
    if (postgres)                                                                  \
        REQUIRE_PG();                                                              \
    OptionsWorld world(postgres, QStringLiteral("options_") + QTest::currentTestFunction())

class OptionsWorld
{
public:
    static constexpr qint32 kMe = 1;
    static constexpr qint32 kOther = 2;

    OptionsWorld(bool postgres, const QString &name) : db(postgres, name)
    {
        struct Node { int id; const char *type; const char *name; };
        for (const Node &n : {Node{30, "GRP", "Sales"}, Node{40, "GRP", "Support"}, Node{50, "WEB", "Intranet"}})
            db.exec(QStringLiteral("INSERT INTO TreeNode (ID, ParentID, Name, NodeType) VALUES (?, 0, ?, ?)"),
                    {n.id, QString::fromLatin1(n.name), QString::fromLatin1(n.type)});
        addUser(kMe, QStringLiteral("ME"), QStringLiteral("Me Myself"));
        addUser(kOther, QStringLiteral("OTHER"), QStringLiteral("Anne Other"));
        db.exec(QStringLiteral("INSERT INTO UserGroup (UserID, GroupID) VALUES (2, 30)"));
        db.exec(QStringLiteral("UPDATE idmanager SET id = 2 WHERE tablename = 'userid'"));
        g_colTreeNodes = CTreeNode::ReadAll();
        resetGlobals();
    }
    ~OptionsWorld()
    {
        g_frmMain.reset();
        g_frmSysTray.reset();
        g_oClientHnd.reset();
        SetLanguage(QStringLiteral("ENU"));
    }

    void addUser(qint32 id, const QString &login, const QString &name)
    {
        db.exec(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, RealName, IsIn, LastUpdated, IsActive, MobilePh) "
                               "VALUES (?, ?, 'INN', ?, 1, '0700')"),
                {id, name, id});
        db.exec(QStringLiteral("INSERT INTO STAFF_OPTIONS (UserID, LoginName, Admin, ChangeStatus, Outlook, "
                               "OutlookOOP, LunchTimePeriod, BreakPeriod, RefreshPeriod, Language, OnClose, "
                               "OnListDblClick, StartMin, WorkStartTime) "
                               "VALUES (?, ?, 1, 1, 1, 1, 45, 10, 20, 'ENU', 1, 0, 0, '08:30:00')"),
                {id, login});
    }

    // Group ids of a user's UserGroup rows, duplicates included, ascending.
    QList<int> groupRows(qint32 userID)
    {
        DbHandle connection;
        QList<int> ids;
        for (RecordSet rs = OpenADORecordSet(connection,
                                             QStringLiteral("SELECT GroupID FROM UserGroup WHERE UserID = ? "
                                                            "ORDER BY GroupID"),
                                             true, {userID});
             !rs.eof(); rs.moveNext())
            ids << int(rs.integer(QStringLiteral("GroupID")));
        return ids;
    }

    TestDatabase db;
    OptionsTray *tray = nullptr;
    OptionsHostWindow *main = nullptr;

private:
    void resetGlobals()
    {
        SetLanguage(QStringLiteral("ENU"));
        g_lUserID = kMe;
        g_oCurrentUser = CUser();
        g_oCurrentUser.UserID = kMe;
        g_oCurrentUser.Admin = true;
        g_oUserProperties = CUserProperties();
        g_vQuickNotes = QuickNoteTable();
        g_fOutlook = g_fOutlookOOP = g_fCanChangeStatus = g_fMyRowLoaded = g_fRefreshNeeded = false;
        g_bOnClose = g_bOnListDblClick = 0;
        g_lLastUpdated = 100;
        g_sCurrentNodeKey.clear();
        g_frmSysTray.reset(tray = new OptionsTray);
        g_frmMain.reset(main = new OptionsHostWindow);
        g_oClientHnd = std::make_unique<CClientHnd>();
    }
};
