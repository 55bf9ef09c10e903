#include "StatusMCastReceiver.h"

#include "CClientHnd.h"
#include "foundation/Globals.h"

qint64 StatusMCastReceiver::polledMark() const
{
    return g_lLastUpdated;
}

void StatusMCastReceiver::updateView(qint32 userId, const QString &status, const QString &note, double etd,
                                     double eta)
{
    // No rows to redraw while the program sits in the tray.
    if (g_frmMain && g_oClientHnd)
        g_oClientHnd->updateView(userId, status, note, etd, eta);
}

void StatusMCastReceiver::showCheckInDialog(qint32 userId, const QString &status, double eta)
{
    if (g_oClientHnd)
        g_oClientHnd->showCheckInDialog(userId, status, eta);
}
