#include "Globals.h"

#include "CStatus.h"
#include "CTreeNode.h"
#include "IApplication.h"
#include "ICalendarLink.h"
#include "ICalendarWatcherFactory.h"
#include "IErrorWindow.h"
#include "IMainWindow.h"
#include "IPrompt.h"
#include "IResourceLists.h"
#include "ITrayWindow.h"
#include "IUserEditor.h"
#include "MErrorHandler.h"
#include "QtShell.h"
#include "SystemUserName.h"
#include "platform/ChildProcesses.h"
#include "platform/ConnectionPool.h"

#include <cstdio>
#include <cstdlib>

namespace {
NoPrompt g_noPrompt;
NoErrorWindow g_noErrorWindow;
QtShell g_realShell;
CalendarLinkNotAvailable g_noCalendar;
NoCalendarWatcher g_noWatcher;
NoResourceLists g_noResources;
NoUserEditor g_noUserEditor;
}

CUser g_oCurrentUser;
CUserProperties g_oUserProperties;
std::unique_ptr<IMainWindow> g_frmMain;
std::unique_ptr<ITrayWindow> g_frmSysTray;
bool m_fClosingDown = false;
qint32 g_lUserID = 0;
bool g_fMyRowLoaded = false;
bool g_fOutlook = false;
bool g_fOutlookOOP = false;
int g_fInTray = 0;
QuickNoteTable g_vQuickNotes;

bool g_fEnableTimeSheets = true;
bool g_fCanChangeStatus = false;
bool g_fFastUpdates = false;
bool g_fTimesheet = false;
quint8 g_bOnListDblClick = 0;
bool g_fSecureOutlook = false;
bool g_fEnableChat = false;
std::function<QString()> g_systemUserName = SystemUserName;

qint32 g_lLastSeq = 0;

bool g_fMarkOutOnClose = false;
bool g_fMarkOutDue = false;
double g_dtLastMarkOut = 0;
quint8 g_bOnClose = 0;
double g_vLastApptModTime = 0;
QString g_sLastApptIdentity;

QString g_sDBType;
QString g_sConnectionString;
qint16 g_iDBRetryCount = 0;

qint32 g_lLanguageOffset = 0;
QList<CUser> g_vUserList;
QList<CStatus> g_colCustomStatus;
QList<CTreeNode> g_colTreeNodes;

qint32 g_lLastUpdated = -1;
qint32 g_lMyRowIndex = -1;
QString g_sCurrentNodeKey;
QString g_sViewType;
bool g_fRefreshNeeded = false;

IApplication *g_application = nullptr;
IPrompt *g_prompt = &g_noPrompt;
IErrorWindow *g_errorWindow = &g_noErrorWindow;
IShell *g_shell = &g_realShell;
UiFactory g_uiFactory;
ICalendarLink *g_calendarLink = &g_noCalendar;
ICalendarWatcherFactory *g_calendarWatcherFactory = &g_noWatcher;
IResourceLists *g_resourceLists = &g_noResources;
IUserEditor *g_userEditor = &g_noUserEditor;

std::function<void(int)> g_endProgram;

void EndProgram(int exitCode)
{
    // Closed properly: the server ends its sessions at once, and SQLite
    // folds its write-ahead log back into the file.
    ConnectionPool::closeLocal();
    CloseDebugLog();
    if (g_endProgram) {
        g_endProgram(exitCode);
        // A test's replacement returns by throwing; should it return plainly,
        // the program still must not go on.
    }
    LeaveAtOnce(exitCode);
}

void LeaveAtOnce(int exitCode)
{
    CloseDebugLog();
    std::fflush(nullptr);
    // Left behind, they would run on with nobody to end them.
    ChildProcesses::endAll();
    std::_Exit(exitCode);
}
