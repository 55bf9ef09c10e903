#include "UpdateTimerActions.h"

#include "admin/CClientAdmin.h"
#include "foundation/CEntity.h"
#include "foundation/Globals.h"
#include "foundation/IMainWindow.h"
#include "foundation/IResourceLists.h"
#include "platform/Clock.h"
#include "status/CClientHnd.h"
#include "status/UserListPoll.h"

qint16 UpdateTimerActions::canPollDatabase()
{
    return g_oClientHnd ? g_oClientHnd->CanPollDatabase() : 3;
}

bool UpdateTimerActions::hasMainWindow() const
{
    return g_frmMain != nullptr;
}

QString UpdateTimerActions::viewType() const
{
    return g_sViewType;
}

void UpdateTimerActions::refreshUserList(bool checksOnly)
{
    if (!g_oClientHnd)
        return;
    // Copies: the poll may open another node and so change the global key.
    QString query;
    QString nodeKey = g_sCurrentNodeKey;
    g_oClientHnd->RefreshUserList(checksOnly, false, query, nodeKey);
}

void UpdateTimerActions::runListChecks()
{
    if (g_oClientHnd)
        g_oClientHnd->userList().runChecks();
}

bool UpdateTimerActions::selectedListItem(CEntity &item) const
{
    return g_frmMain && g_frmMain->selectedListItem(item);
}

void UpdateTimerActions::refreshReservations(const CEntity &resource)
{
    if (g_resourceLists)
        g_resourceLists->refreshReservationDetails(resource.Name, resource.Key(), 0);
}

bool UpdateTimerActions::needToDoMarkout() const
{
    return g_oClientHnd && g_oClientHnd->NeedToDoMarkout();
}

void UpdateTimerActions::markOutDone()
{
    if (g_oClientHnd)
        g_oClientHnd->MarkOutDone(Clock::nowDays());
}

void UpdateTimerActions::markAllUsersOut()
{
    CClientAdmin().MarkAllUsersOut();
}

void UpdateTimerActions::checkMyStatus()
{
    if (g_oClientHnd)
        g_oClientHnd->CheckMyStatus();
}

bool UpdateTimerActions::calendarInProcess() const
{
    return g_fOutlook && !g_fOutlookOOP;
}
