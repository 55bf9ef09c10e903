#pragma once

#include "OwnTime.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>

// The longest time the window's event loop did not run, as a user who keeps
// using the window would notice it: a timer that should fire every few
// milliseconds, and the longest gap between two of its ticks.
class LoopStopMeter
{
public:
    explicit LoopStopMeter(int periodMs = 5)
    {
        QObject::connect(&m_beat, &QTimer::timeout, [this] { tick(); });
        m_clock.start();
        m_beat.start(periodMs);
    }

    // Called by a test that drives the window from the same timer.
    QTimer &beat() { return m_beat; }
    // The stop under way counts too: a test may ask right after one.
    qint64 longestMs() const { return std::max(m_longest, m_clock.elapsed() - m_last); }
    // The same in the window thread's own time (OwnTime), which a loaded
    // machine does not stretch. Asked on the window's thread.
    qint64 longestOwnMs() const { return std::max(m_longestOwn, m_sinceTick.elapsedMs()); }

private:
    void tick()
    {
        m_longest = std::max(m_longest, m_clock.elapsed() - m_last);
        m_longestOwn = std::max(m_longestOwn, m_sinceTick.elapsedMs());
        m_last = m_clock.elapsed();
        m_sinceTick.restart();
    }

    QElapsedTimer m_clock;
    QTimer m_beat;
    OwnTime m_sinceTick;
    qint64 m_last = 0, m_longest = 0, m_longestOwn = 0;
};
