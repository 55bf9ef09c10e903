#include "TrayCommands.h"

#include "foundation/Globals.h"
#include "foundation/IApplication.h"
#include "foundation/IMainWindow.h"
#include "foundation/ITrayWindow.h"
#include "foundation/MErrorHandler.h"
#include "foundation/Steps.h"
#include "status/CClientHnd.h"
#include "status/CClientNote.h"

namespace {

} // namespace

void TrayCommands::changeStatusFromTray(const QString &code)
{
    QString note;
    // Each step that fails is reported, and the next one still runs.
    const auto reported = [&](auto &&step) {
        const QString context = QStringLiteral("\r\nSystray ChangeStatus(Note=") + note + QStringLiteral("; UserId=")
            + QString::number(g_lUserID) + QStringLiteral("; StatusKey=") + code;
        Steps::reportAndSkip(QStringLiteral("frmSysTray.ChangeStatus\r\n"), context, step);
    };
    const CClientNote notes;
    reported([&] { note = notes.GetNote(code); });
    reported([&] { note = notes.ParseNote(note, g_oUserProperties); });
    if (!g_oClientHnd)
        return;
    reported([&] {
        double outAt = 0;
        double dueBack = 0;
        g_oClientHnd->UpdateStatus(g_lUserID, code, note, outAt, dueBack, false, true);
    });
    reported([&] { g_oClientHnd->SetFrameCaption(); });
}

void TrayCommands::restoreMainWindow(ITrayWindow &tray)
{
    Steps::skip([&] {
        if (g_frmMain)
            return;
        g_fRefreshNeeded = true;
        if (g_application)
            g_application->reopenMainWindow();
        // The initialisation switches the timer off.
        tray.setUpdateTimerEnabled(true);
    });
    Steps::skip([] {
        if (!g_frmMain)
            return;
        // A window sent to the tray while minimised comes back in its normal
        // state: restoring it minimised would leave nothing on the screen.
        const int wanted = g_fInTray == IMainWindow::Minimised ? IMainWindow::Normal : g_fInTray;
        const int state = g_frmMain->windowStateCode();
        if (state != IMainWindow::Minimised && state == wanted && g_frmMain->isWindowVisible())
            return;
        g_frmMain->bringToFront();
        g_frmMain->setWindowStateCode(wanted);
        g_frmMain->showWindow();
        const QString nodeKey = g_sCurrentNodeKey;
        g_frmMain->treeViewClick(nodeKey, true);
    });
}
