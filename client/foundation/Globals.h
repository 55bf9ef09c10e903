#pragma once

// The program's global state, gathered in one place. Each lives from start-up
// to the end of the run; the comment says who fills it.

#include "CUser.h"
#include "CUserProperties.h"
#include "QuickNoteTable.h"
#include "UiFactory.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>

class CClientHnd;
class CStatus;
class CTreeNode;
class NotifyUserList;
class IApplication;
class CMCastWindow;
class IMainWindow;
class ITrayWindow;
class IPrompt;
class ICalendarLink;
class ICalendarWatcherFactory;
class IResourceLists;
class IUserEditor;
class IErrorWindow;
class IShell;
class IUserNotification;
class ICommonDialogBackend;

// Start-up and close-down
extern CUser g_oCurrentUser;                 // signed-in user, filled by the log-in
extern CUserProperties g_oUserProperties;    // his options, filled by the log-in
extern std::unique_ptr<CClientHnd> g_oClientHnd; // the client controller
extern std::unique_ptr<IMainWindow> g_frmMain;   // empty while the program sits in the tray
extern std::unique_ptr<ITrayWindow> g_frmSysTray;
extern bool m_fClosingDown;                  // a close-down is under way
extern qint32 g_lUserID;                     // id of the signed-in user
extern bool g_fMyRowLoaded;                  // own row of the user list copied into g_oCurrentUser
extern bool g_fOutlook;                      // calendar link on
extern bool g_fOutlookOOP;                   // calendar watched by the separate watcher process
extern int g_fInTray;                        // window state kept while the program sits in the tray
extern QuickNoteTable g_vQuickNotes;         // the signed-in user's quick notes, loaded at log-in

// Initialisation and log-in
extern bool g_fEnableTimeSheets;             // ADMIN: record status history
extern bool g_fCanChangeStatus;              // the signed-in user may change other users' status
extern bool g_fFastUpdates;
extern bool g_fTimesheet;
extern quint8 g_bOnListDblClick;             // list double-click: 0 status, 1 e-mail, 2 phone message
extern bool g_fSecureOutlook;                // Properties sec_olk: plain e-mail goes the secure way
extern bool g_fEnableChat;                   // Properties enb_cht
extern std::function<QString()> g_systemUserName; // the desktop user's name; tests replace it

// Multicast link between the running copies
extern std::unique_ptr<CMCastWindow> g_oMCastWindow; // recent status updates, made by the tray window
extern qint32 g_lLastSeq;                    // highest update number accounted for; 0 until set

// Status engine
extern bool g_fMarkOutOnClose;               // ADMIN: mark every user out at night
extern bool g_fMarkOutDue;                   // the nightly mark-out is still to run (administrators only)
extern double g_dtLastMarkOut;               // day of this copy's last nightly mark-out; 0 before the first
extern quint8 g_bOnClose;                    // on-exit action: 0 none, 1 Out, 2 Gone Home, 3 ask
extern double g_vLastApptModTime;            // modification time of the last calendar appointment applied
extern QString g_sLastApptIdentity;          // event, occurrence and edit of the last one a calendar check applied

// Database layer
extern QString g_sDBType;                    // "MSAccess", "SQLServer" or another word
extern QString g_sConnectionString;          // built once per run
extern qint16 g_iDBRetryCount;               // consecutive busy failures

// Shared lists and texts
extern qint32 g_lLanguageOffset;             // string-table offset of the user's language, set by SetLanguage
extern QList<CUser> g_vUserList;             // users shown in the list, ascending UserID, filled by the list reader
extern QList<CStatus> g_colCustomStatus;     // active custom statuses in load order, filled at start-up
extern QList<CTreeNode> g_colTreeNodes;      // navigation-tree nodes in ParentID order, filled with the tree
extern NotifyUserList g_colNotifyUsers;      // the watch list, filled from the user list's pop-up menu

// The user list and its poll
extern qint32 g_lLastUpdated;                // highest LastUpdated the list has read; -1 forces a full read
extern qint32 g_lMyRowIndex;                 // the signed-in user's row in g_vUserList, -1 when not listed
extern QString g_sCurrentNodeKey;            // key of the tree node whose view is shown
extern QString g_sViewType;                  // that view's kind: "GRP" users, "RSG" resources, ...
extern bool g_fRefreshNeeded;                // a setting changed: rebuild the user view's columns

// Services that tests replace
extern IApplication *g_application;          // start-up's services to the layers below it
extern IPrompt *g_prompt;                    // message boxes
extern IErrorWindow *g_errorWindow;          // the error window with Continue and Exit
extern IShell *g_shell;                      // opens documents and addresses
extern UiFactory g_uiFactory;                // the long-lived windows
extern ICalendarLink *g_calendarLink;        // calendar, mail and contacts link
extern ICalendarWatcherFactory *g_calendarWatcherFactory; // starts the calendar watcher process
extern IResourceLists *g_resourceLists;      // fills the resource and reservation lists
extern IUserEditor *g_userEditor;            // the options dialog that edits a user
extern IUserNotification *g_userNotification; // slide-in notifications
extern ICommonDialogBackend *g_commonDialogs; // the desktop's font (and later file, colour, print) dialogs

// Ends the program: flushes and closes the logs and leaves at once, without
// unwinding through whatever modal loops are open. Tests replace it.
extern std::function<void(int)> g_endProgram;
[[noreturn]] void EndProgram(int exitCode = 0);
// The last of every end, whatever was torn down before: the debug log closed,
// output flushed, every process the program started ended, and gone.
[[noreturn]] void LeaveAtOnce(int exitCode);
