#pragma once

#include "XTimer.h"

#include "platform/calendar/CalendarCheck.h"

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

    // Starts a check; what it finds is reported when it ends, and a check
    // under way stops at once when the watcher closes down.
    void CheckSchedule();

private:
    void mwXTimer_Tick();
    bool ConnectToOutlook();
    void checked(const CalendarCheck::Result &result);
    void UpdateStatusFromAppointment(const CalendarAppointment &appointment);
    void raiseStatusBarMessage(const QString &msg);

    const qint32 m_firstInterval;
    qint32 m_lPeriod = 0;
    bool m_fClosing = false;
    QString m_lastIdentity; // of the last appointment accepted; never cleared
    QString m_path;
    std::unique_ptr<XTimer> mwXTimer;
    CalendarCheck m_check; // last: it goes first, and with it a check under way
};
