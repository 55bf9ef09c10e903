#include "CStartUp.h"

#include "MStartUp.h"
#include "foundation/Globals.h"
#include "foundation/IMainWindow.h"
#include "foundation/ITrayWindow.h"

namespace {
CStartUp g_startUp;
}

CStartUp *g_oStartUp = &g_startUp;

void CStartUp::Init()
{
    g_frmMain = g_uiFactory.mainWindow ? g_uiFactory.mainWindow() : nullptr;
    m_frmDisplayRef = g_frmMain.get();
    if (m_frmDisplayRef)
        m_frmDisplayRef->onDoExit = [this](int &mode) { m_frmDisplayRef_DoExit(mode); };
    if (!g_frmSysTray && g_uiFactory.trayWindow) {
        g_frmSysTray = g_uiFactory.trayWindow();
        if (g_frmSysTray)
            g_frmSysTray->showOffscreen();
    }
}

void CStartUp::CloseDown()
{
    if (g_frmSysTray) {
        g_frmSysTray->setUpdateTimerEnabled(false);
        g_frmSysTray->removeTrayIcon();
    }
    m_frmDisplayRef = nullptr;
    if (g_frmSysTray) {
        g_frmSysTray->hideWindow();
        g_frmSysTray.reset();
    }
}

void CStartUp::m_frmDisplayRef_DoExit(int &unloadMode)
{
    // The close-down runs with the window's own unload mode; it unloads the
    // tray window itself, so the tray's handler cannot start it a second time
    // with another mode.
    CloseDownApplication(unloadMode);
}
