#include "CheckBudget.h"

CheckBudget::CheckBudget(qint64 steps, qint64 ms, const std::atomic_bool *cancelled)
    : m_steps(steps), m_deadline(ms), m_cancelled(cancelled)
{
}

bool CheckBudget::spend()
{
    if (m_spent)
        return false;
    // The clock is read every 64 steps: a step costs about a microsecond.
    const bool timeUp = (m_steps & 63) == 0 && m_deadline.hasExpired();
    if (--m_steps < 0 || timeUp || (m_cancelled && *m_cancelled))
        m_spent = true;
    return !m_spent;
}
