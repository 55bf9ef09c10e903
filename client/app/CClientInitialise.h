#pragma once

#include "foundation/CTreeNode.h"
#include "foundation/MADOFunctions.h"

#include <QString>

struct UserRecord;

// Brings the program from its fresh globals to a signed-in user with the board
// on screen: the splash, the database check, the windows, the administrator
// options, the log-in, the navigation tree and the first view. Make one for
// each run of Initialise.
class CClientInitialise
{
public:
    // Gives true when the board is up; false when initialisation failed (the
    // failure has been reported and the splash closed). Without doLogin (the
    // return from the tray) the signed-in user's globals stay as they are.
    bool Initialise(bool showSplash, bool doLogin);

    // Administrator options, custom statuses, the tree and the status menus.
    qint32 InitialiseClient(DbHandle &connection);
    // Rebuilds g_colTreeNodes and the main window's navigation tree.
    qint32 UpdateGroupList(DbHandle &connection);
    // The calendar-link menu items and buttons, and the secure-mail switch.
    void initOutLookSettings();

    // The poll runs every threshold + 1 timer ticks: the refresh period when
    // it lies between 1 and 59, else 30.
    static qint16 pollThresholdFor(qint16 refreshPeriod);
    // The node the board opens on: the current one, else the user's default
    // branch, else the top node.
    static QString startNodeKey();

private:
    void LoginUser();
    bool signIn();
    bool lookUpUser(const QString &loginName, bool &found);
    void loadSignedInUser();
    static void copyToGlobals(const UserRecord &user, bool outlookAllowed);
    static void openStartNode(const QString &key);
    void applySystemSwitches();
    qint32 SaveLoginName(const QString &loginName);

    DbHandle m_connection;
};
