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
    // A check under way ends here, and its result goes with it.
    m_check.stop();
    m_path.clear();
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
    m_path = path;
    return true;
}

void COutlook::raiseStatusBarMessage(const QString &msg)
{
    if (StatusBarMessage)
        StatusBarMessage(msg);
}

void COutlook::CheckSchedule()
{
    // A tick while the check before still runs is dropped.
    if (m_fClosing || m_check.isRunning() || !ConnectToOutlook())
        return;
    try {
        raiseStatusBarMessage(QStringLiteral("Checking calendar..."));
        if (!m_fClosing)
            m_check.start(m_path, Clock::now(), [this](const CalendarCheck::Result &r) { checked(r); });
    } catch (const std::exception &e) {
        MDLLErrorHandler::LogError(kCalendarError, QString::fromUtf8(e.what()), procedure("CheckSchedule"));
        if (!m_fClosing)
            raiseStatusBarMessage(QStringLiteral("Ready."));
    }
}

void COutlook::checked(const CalendarCheck::Result &result)
{
    try {
        for (const QString &w : result.warnings)
            if (debugLog)
                debugLog(QStringLiteral("Calendar: ") + w);
        // Own status changes and whole-day events other than out of office
        // were left out; the earliest start won.
        if (result.running && !m_fClosing)
            UpdateStatusFromAppointment(*result.running);
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
