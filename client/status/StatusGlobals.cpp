// The program's globals of the status engine's types (declared with the
// others in foundation/Globals.h).
#include "CClientHnd.h"
#include "IUserNotification.h"
#include "NotifyUserList.h"
#include "foundation/Globals.h"

namespace {
NoUserNotification g_noNotification;
}

std::unique_ptr<CClientHnd> g_oClientHnd;
NotifyUserList g_colNotifyUsers;
IUserNotification *g_userNotification = &g_noNotification;
