#pragma once

#include "XTimer.h"

#include "platform/calendar/CalendarStore.h"

#include <QString>
#include <functional>
#include <memory>

// Watches the user's calendar: every period it looks for the appointment
// running now and, when that is not the one reported last (another event,
// occurrence or edit), tells its client which status it sets.
class COutlook
{
public:
    // The first check comes firstIntervalMs after Start; later ones every period.
    explicit COutlook(qint32 firstIntervalMs = 10000);

    // lastIdentity: the appointment the client applied last, which a
    // watcher started again must not report again.
    void Start(qint32 periodMs, const QString &lastIdentity = QString());
    void CloseDown();
    void CloseOutlook();

    std::function<void(const QString &status, const QString &note, double outAt, double dueBack, double modTime,
                       const QString &id)>
        NeedToUpdateStatus;
    std::function<void(const QString &msg)> StatusBarMessage;
    // Where the check's passing problems go (a calendar file that does not read).
    std::function<void(const QString &text)> debugLog;

    void CheckSchedule();

private:
    void mwXTimer_Tick();
    bool ConnectToOutlook();
    void UpdateStatusFromAppointment(const CalendarAppointment &appointment);
    void raiseStatusBarMessage(const QString &msg);

    const qint32 m_firstInterval;
    qint32 m_lPeriod = 0;
    bool m_fClosing = false;
    QString m_lastIdentity; // of the last appointment accepted; never cleared
    CalendarStore m_store;
    std::unique_ptr<XTimer> mwXTimer;
};
