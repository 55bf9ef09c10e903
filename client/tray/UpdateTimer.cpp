#include "UpdateTimer.h"

#include "IUpdateTimerActions.h"
#include "foundation/CEntity.h"
#include "foundation/MErrorHandler.h"
#include "platform/AppError.h"
#include "status/UserListColumns.h"

#include <QScopeGuard>

void UpdateTimer::tick()
{
    if (m_polling)
        return;
    if (m_iPollCounter <= PollThreshold) {
        ++m_iPollCounter;
        return;
    }
    m_iPollCounter = 1;
    m_polling = true;
    const auto done = qScopeGuard([this] { m_polling = false; });
    qint16 code = 3;
    step([&] { code = m_actions.canPollDatabase(); });
    dispatch(code);
}

void UpdateTimer::dispatch(qint16 code)
{
    switch (code) {
    case 1: poll(); break;
    case 2: markOut(); break;
    case 4: checkOwnStatus(); break;
    default: break; // 3: no main window, nothing to show a poll in
    }
}

void UpdateTimer::poll()
{
    if (!m_actions.hasMainWindow())
        return;
    const QString view = m_actions.viewType();
    if (UserListColumns::showsUsers(view)) {
        step([&] { m_actions.refreshUserList(false); });
        return;
    }
    if (view == QLatin1String("RSG")) {
        step([&] {
            CEntity item;
            if (m_actions.selectedListItem(item) && item.Key().startsWith(QLatin1String("RES")))
                m_actions.refreshReservations(item);
        });
    }
    // Whatever the view, watched colleagues are announced and pending rows
    // come due.
    step([&] { m_actions.runListChecks(); });
}

void UpdateTimer::markOut()
{
    bool due = false;
    step([&] { due = m_actions.needToDoMarkout(); });
    if (!due)
        return;
    // Recorded before the sweep, so that a sweep that fails is not retried
    // every poll for the rest of the night.
    step([&] { m_actions.markOutDone(); });
    step([&] { m_actions.markAllUsersOut(); });
}

void UpdateTimer::checkOwnStatus()
{
    if (!m_actions.hasMainWindow())
        return;
    step([&] { m_actions.checkMyStatus(); });
    if (m_actions.calendarInProcess())
        step([&] { m_actions.refreshUserList(true); });
}

void UpdateTimer::step(const std::function<void()> &work)
{
    try {
        work();
    } catch (const AppError &e) {
        WriteErrorLog(e.number(), e.description(), QStringLiteral("frmSysTray.tmUpdateTimer\r\n") + e.source());
    }
}
