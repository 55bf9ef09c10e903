#include "MCastBasicReceiver.h"

#include "foundation/Globals.h"

qint32 MCastBasicReceiver::signedInUserId() const
{
    return g_lUserID;
}

QString MCastBasicReceiver::signedInUserName() const
{
    return g_oCurrentUser.RealName;
}
