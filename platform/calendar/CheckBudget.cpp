#include "CheckBudget.h"

#include <algorithm>

CheckBudget::CheckBudget(qint64 steps, qint64 ms, const std::atomic_bool *cancelled)
    : m_ms(ms), m_steps(steps), m_deadline(ms), m_shareSteps(steps), m_shareDeadline(QDeadlineTimer::Forever),
      m_cancelled(cancelled)
{
}

void CheckBudget::startClock()
{
    m_deadline.setRemainingTime(m_ms);
}

void CheckBudget::beginShare(qint64 parts)
{
    // Read once a series: a series of a few steps never reads it otherwise.
    if (m_deadline.hasExpired())
        m_spent = true;
    parts = std::max<qint64>(parts, 1);
    m_shareSteps = m_steps / parts;
    if (m_deadline.isForever())
        m_shareDeadline = QDeadlineTimer(QDeadlineTimer::Forever);
    else
        m_shareDeadline.setPreciseRemainingTime(0, m_deadline.remainingTimeNSecs() / parts);
}

bool CheckBudget::spend()
{
    if (m_spent || m_shareSteps <= 0 || cancelled())
        return false;
    // The clock is read every 16 steps: a step costs about a microsecond.
    if ((++m_taken & 15) == 0 && (m_deadline.hasExpired() || m_shareDeadline.hasExpired())) {
        m_spent = m_deadline.hasExpired();
        m_shareSteps = 0;
        return false;
    }
    --m_shareSteps;
    if (--m_steps < 0)
        m_spent = true;
    return !m_spent;
}
