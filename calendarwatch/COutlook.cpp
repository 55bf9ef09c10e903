#include "COutlook.h"

#include "MDLLErrorHandler.h"

#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/calendar/CalendarSettings.h"

#include <QFileInfo>
#include <stdexcept>

namespace {
constexpr qint32 kCalendarError = 10008;

QString procedure(const char *name)
{
    return QString::fromLatin1(name) + QStringLiteral("\r\nzoroutlook");
}

// LAST-MODIFIED as written ("20261206T093000Z") as a local day number; 0
// when it has another form.
double modifiedDays(const QString &text)
{
    QDateTime stamp = QDateTime::fromString(text, QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    if (!stamp.isValid())
        return 0;
    stamp.setTimeSpec(Qt::UTC);
    return DateUtil::toDays(stamp.toLocalTime());
}
} // namespace

COutlook::COutlook(qint32 firstIntervalMs) : m_firstInterval(firstIntervalMs) {}

void COutlook::Start(qint32 periodMs, const QString &lastIdentity)
{
    m_lPeriod = periodMs;
    if (!lastIdentity.isEmpty())
        m_lastIdentity = lastIdentity;
    m_fClosing = false;
    // The timer of an earlier Start goes, or the checks would double.
    mwXTimer = std::make_unique<XTimer>();
    mwXTimer->Tick = [this] { mwXTimer_Tick(); };
    mwXTimer->setInterval(m_firstInterval);
    mwXTimer->setEnabled(true);
}

void COutlook::CloseDown()
{
    m_fClosing = true;
    if (mwXTimer)
        mwXTimer->setEnabled(false);
    mwXTimer.reset();
    CloseOutlook();
}

void COutlook::CloseOutlook()
{
    m_store.setPath(QString());
}

void COutlook::mwXTimer_Tick()
{
    // After the first check the period takes over; 0 or less stops the timer.
    mwXTimer->setInterval(m_lPeriod);
    CheckSchedule();
}

bool COutlook::ConnectToOutlook()
{
    const QString path = CalendarSettings::calendarPath();
    if (path.isEmpty() || !QFileInfo::exists(path))
        return false;
    m_store.setPath(path);
    return true;
}

void COutlook::raiseStatusBarMessage(const QString &msg)
{
    if (StatusBarMessage)
        StatusBarMessage(msg);
}

void COutlook::CheckSchedule()
{
    if (m_fClosing || !ConnectToOutlook())
        return;
    try {
        raiseStatusBarMessage(QStringLiteral("Checking calendar..."));
        QStringList warnings;
        CheckBudget budget;
        // Own status changes and whole-day events other than out of office
        // are left out; the earliest start wins.
        const std::optional<CalendarAppointment> running = m_store.runningAt(Clock::now(), warnings, budget);
        for (const QString &w : warnings)
            if (debugLog)
                debugLog(QStringLiteral("Calendar: ") + w);
        if (running && !m_fClosing)
            UpdateStatusFromAppointment(*running);
    } catch (const std::exception &e) {
        MDLLErrorHandler::LogError(kCalendarError, QString::fromUtf8(e.what()), procedure("CheckSchedule"));
    }
    if (!m_fClosing)
        raiseStatusBarMessage(QStringLiteral("Ready."));
}

void COutlook::UpdateStatusFromAppointment(const CalendarAppointment &appointment)
{
    try {
        if (!appointment.takeAsNew(m_lastIdentity) || m_fClosing)
            return;
        QString problem;
        const QString status = CalendarSettings::statusFor(appointment.busy, &problem);
        if (!problem.isEmpty())
            MDLLErrorHandler::LogError(kCalendarError, problem, procedure("UpdateStatusFromAppointment"));
        if (NeedToUpdateStatus)
            NeedToUpdateStatus(status, appointment.note(), DateUtil::toDays(appointment.start.toLocalTime()),
                               DateUtil::toDays(appointment.end.toLocalTime()), modifiedDays(appointment.modified),
                               m_lastIdentity);
    } catch (const std::exception &e) {
        MDLLErrorHandler::LogError(kCalendarError, QString::fromUtf8(e.what()),
                                   procedure("UpdateStatusFromAppointment"));
    }
}
