#include "CClientInitialise.h"

#include "AppError.h"
#include "CUpdateDatabase.h"
#include "Globals.h"
#include "ISplash.h"
#include "MADOFunctions.h"
#include "MErrorHandler.h"
#include "MStartUp.h"

bool CClientInitialise::Initialise(bool showSplash, bool doLogin)
{
    Q_UNUSED(doLogin);
    m_fClosingDown = false;
    std::unique_ptr<ISplash> splash;
    if (showSplash && g_uiFactory.splash) {
        splash = g_uiFactory.splash();
        if (splash)
            splash->showWindow();
    }
    try {
        GetDB();
        CUpdateDatabase::checkAtStartUp();
        StartUserInterface();
        ShowMainWindow();
    } catch (const AppError &e) {
        if (splash)
            splash->hideWindow();
        ErrorDialog(e.number(), e.description(), QStringLiteral("CClientInitialise.Initialise\r\n") + e.source());
        return false;
    }
    if (splash)
        splash->hideWindow();
    return true;
}
