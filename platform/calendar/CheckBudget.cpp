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

void CheckBudget::beginShare(qint64 parts, qint64 least)
{
    // Read once a series: a series of a few steps never reads it otherwise.
    if (m_deadline.hasExpired())
        m_spent = true;
    parts = std::max<qint64>(parts, 1);
    m_shareSteps = m_steps / parts;
    const bool widened = least > m_shareSteps && least <= m_steps;
    if (widened)
        m_shareSteps = least;
    if (m_deadline.isForever())
        m_shareDeadline = QDeadlineTimer(QDeadlineTimer::Forever);
    else if (widened)
        m_shareDeadline.setPreciseRemainingTime(
            0, qint64(double(m_deadline.remainingTimeNSecs()) * double(least) / double(std::max<qint64>(m_steps, 1))));
    else
        m_shareDeadline.setPreciseRemainingTime(0, m_deadline.remainingTimeNSecs() / parts);
}

bool CheckBudget::spend(qint64 steps)
{
    if (m_spent || steps > m_shareSteps || cancelled()) {
        m_shareSteps = 0;
        return false;
    }
    // The clock is read every 16 steps (a step costs about a microsecond),
    // and before every larger piece of work.
    if ((m_taken += steps) >= m_nextClockRead) {
        m_nextClockRead = m_taken + 16;
        if (m_deadline.hasExpired() || m_shareDeadline.hasExpired()) {
            m_spent = m_deadline.hasExpired();
            m_shareSteps = 0;
            return false;
        }
    }
    m_shareSteps -= steps;
    if ((m_steps -= steps) < 0)
        m_spent = true;
    return !m_spent;
}
