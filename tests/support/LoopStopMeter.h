#pragma once

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

private:
    void tick()
    {
        m_longest = std::max(m_longest, m_clock.elapsed() - m_last);
        m_last = m_clock.elapsed();
    }

    QElapsedTimer m_clock;
    QTimer m_beat;
    qint64 m_last = 0, m_longest = 0;
};
