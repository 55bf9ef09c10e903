#include "CheckBudget.h"

#include <algorithm>

namespace {
constexpr qint64 kLeastShareNs = 250 * 1000 * 1000;
}

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
    if (m_deadline.isForever()) {
        m_shareDeadline = QDeadlineTimer(QDeadlineTimer::Forever);
        return;
    }
    // A share of the time is never so short that a cheap series on a busy
    // machine misses it: what it ends is a series whose steps run slow.
    const qint64 left = m_deadline.remainingTimeNSecs();
    const qint64 share = widened ? qint64(double(left) * double(least) / double(std::max<qint64>(m_steps, 1)))
                                 : left / parts;
    m_shareDeadline.setPreciseRemainingTime(0, std::max(share, std::min(left, kLeastShareNs)));
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
