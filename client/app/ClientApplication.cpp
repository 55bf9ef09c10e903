#include "ClientApplication.h"

#include "CClientInitialise.h"
#include "MStartUp.h"
#include "foundation/MADOFunctions.h"

void ClientApplication::closeDownApplication(int unloadMode)
{
    CloseDownApplication(unloadMode);
}

bool ClientApplication::reopenMainWindow()
{
    return CClientInitialise().Initialise(false, false);
}

void ClientApplication::reloadGroupTree()
{
    DbHandle connection;
    CClientInitialise().UpdateGroupList(connection);
    CloseADOConnection(connection);
}

void ClientApplication::applyCalendarSettings()
{
    CClientInitialise().initOutLookSettings();
}

ClientApplication &ClientApplication::instance()
{
    static ClientApplication application;
    return application;
}
