#include "COptionsSaver.h"

#include "CClientAdmin.h"
#include "CUserGroup.h"
#include "IUserOptionsHost.h"
#include "OptionsRegistry.h"
#include "foundation/ConnectionScope.h"
#include "foundation/CounterAllocator.h"
#include "foundation/Globals.h"
#include "foundation/IApplication.h"
#include "foundation/IMainWindow.h"
#include "foundation/IPrompt.h"
#include "foundation/ITrayWindow.h"
#include "foundation/MCIFunctions.h"
#include "foundation/MErrorHandler.h"
#include "foundation/RaiseAs.h"
#include "platform/AppError.h"
#include "status/CClientHnd.h"

qint32 COptionsSaver::saveOptions(const Request &request)
{
    const qint32 userID = writeDatabase(request);
    const bool self = isSelf(request);
    if (self)
        applyToProgram(request);
    rebuildTree(self);
    return userID;
}

bool COptionsSaver::isSelf(const Request &request)
{
    return !request.isNewUser && request.userID == g_lUserID;
}

qint32 COptionsSaver::writeDatabase(const Request &request)
{
    qint32 userID = request.userID;
    raisingAs(QStringLiteral("frmOptions.saveOptions"), [&] {
        DbHandle none;
        ConnectionScope scope(none);
        DbHandle &connection = scope.handle();
        CounterAllocator::inWriteTransaction(connection, [&](DbConnection &) {
            userID = request.userID;
            if (request.isNewUser) {
                UserRecord user = request.values.toRecord();
                CClientAdmin().AddUser(user, connection);
                userID = user.UserID;
            } else {
                writeExistingUser(connection, request);
            }
            CClientAdmin().UpdateQuickNotes(userID, request.quickNotes, connection);
            writeGroupChanges(connection, request, userID);
        });
    });
    return userID;
}

// The phone columns take a new change counter so other copies pick them up
// on their next poll; no datagram is sent for them.
void COptionsSaver::writeExistingUser(DbHandle &connection, const Request &request)
{
    const OptionsValues &v = request.values;
    const qint32 counter = CounterAllocator::nextLastUpdated(*connection);
    Update(QStringLiteral("UPDATE STAFF_STATUS SET MobilePh = ?, PhExtension = ?, LastUpdated = ? WHERE UserID = ?"),
           connection, {EncodeQuotes(v.MobilePh), EncodeQuotes(v.PhExtension), counter, request.userID});
    CClientAdmin admin;
    admin.UpdateUserOptions(request.userID, v.toOptions(), connection);
    admin.UpdateUser(request.userID, v.RealName, v.Email, v.Admin, connection);
}

// A join first removes any row of that membership, so a group is never
// stored twice for the user.
void COptionsSaver::writeGroupChanges(DbHandle &connection, const Request &request, qint32 userID)
{
    CUserGroup groups;
    for (const GroupMembership::Change &change : request.groupChanges) {
        if (change.action != QLatin1String("ADD") && change.action != QLatin1String("DEL"))
            continue;
        groups.DeleteFromGroup(userID, change.groupID, connection);
        if (change.action == QLatin1String("ADD"))
            groups.AddToGroup(userID, change.groupID, connection);
    }
}

void COptionsSaver::applyToProgram(const Request &request)
{
    const OptionsValues &v = request.values;
    if (g_frmSysTray)
        g_frmSysTray->setPollThreshold(v.RefreshPeriod);
    applyToCurrentUser(v);
    if (v.Language != g_oUserProperties.Language)
        applyLanguage(v.Language);
    g_vQuickNotes = request.quickNotes;
    applyAdmin(v.Admin);
    g_bOnListDblClick = v.onListDblClickChoice();
    g_bOnClose = v.onCloseChoice();
    applyCalendar(request);
    applyDisplaySettings(v);
}

void COptionsSaver::applyToCurrentUser(const OptionsValues &v)
{
    g_oUserProperties.WorkStartTime = v.WorkStartTime;
    g_oUserProperties.LunchTimePeriod = OptionsValues::parseMinutes(v.LunchText).value_or(0);
    g_oUserProperties.BreakPeriod = OptionsValues::parseMinutes(v.BreakText).value_or(0);
    g_oUserProperties.RefreshPeriod = v.RefreshPeriod;
    g_oUserProperties.StartMin = v.StartMin;
    const auto takeContact = [&](CUser &user) {
        user.RealName = v.RealName;
        user.Email = v.Email;
        user.MobilePh = v.MobilePh;
        user.PhExtension = v.PhExtension;
    };
    takeContact(g_oCurrentUser);
    if (g_fMyRowLoaded && g_lMyRowIndex >= 0 && g_lMyRowIndex < g_vUserList.size())
        takeContact(g_vUserList[g_lMyRowIndex]);
}

void COptionsSaver::applyLanguage(const QString &code)
{
    g_oUserProperties.Language = code;
    SetLanguage(code);
    if (g_frmMain)
        g_frmMain->populateMenuStrings();
}

void COptionsSaver::applyAdmin(bool admin)
{
    g_oCurrentUser.Admin = admin;
    if (IUserOptionsHost *host = IUserOptionsHost::ofMainWindow())
        host->setAdminMenuEnabled(admin);
    else if (!admin && g_frmMain)
        g_frmMain->DisableAdminMenu();
}

// The link runs only where the system switch allows it. A watcher process
// that is no longer wanted is closed down at once; a new one starts with the
// next run, so a check that runs in the program goes on until then.
bool COptionsSaver::s_watcherChosenForNextStart = false;

void COptionsSaver::applyCalendar(const Request &request)
{
    const bool linkOn = request.values.Outlook && request.calendarAllowed;
    const bool checkingHere = g_fOutlook && !g_fOutlookOOP;
    const bool watcherLater = checkingHere && linkOn && request.values.OutlookOOP;
    if (!g_fOutlook && linkOn)
        tellNextStart(QStringLiteral("Calendar appointment synchronization"), QStringLiteral("Calendar Enabled"));
    // Told when it is chosen, not again at each later OK that leaves it so.
    if (watcherLater && !s_watcherChosenForNextStart)
        tellNextStart(QStringLiteral("Parallel-Process Calendar Checking"), QStringLiteral("Calendar Checking"));
    s_watcherChosenForNextStart = watcherLater;
    g_fOutlook = linkOn;
    g_fOutlookOOP = request.values.OutlookOOP && !watcherLater;
    if ((!g_fOutlook || !g_fOutlookOOP) && g_oClientHnd && g_oClientHnd->m_OutLookClient)
        g_oClientHnd->m_OutLookClient->CloseDown();
}

void COptionsSaver::tellNextStart(const QString &what, const QString &title)
{
    g_prompt->message(what + QStringLiteral(" will begin next time you start Qel"), IPrompt::Ok, IPrompt::Information,
                      title);
}

void COptionsSaver::applyDisplaySettings(const OptionsValues &values)
{
    OptionsRegistry::write(values);
    if (IUserOptionsHost *host = IUserOptionsHost::ofMainWindow())
        host->setListIconSize(values.LargeIcons ? 32 : 16);
    g_fRefreshNeeded = true;
}

// The options are stored by now: a tree that cannot be read again is
// logged, not reported as a failed save.
void COptionsSaver::rebuildTree(bool self)
{
    try {
        if (!g_application)
            return;
        g_application->reloadGroupTree();
        if (self)
            g_application->applyCalendarSettings();
    } catch (const AppError &e) {
        WriteErrorLog(e.number(), e.description(), QStringLiteral("frmOptions.saveOptions\r\n") + e.source());
    }
}
