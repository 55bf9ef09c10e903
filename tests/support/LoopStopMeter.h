#pragma once

#include <QElapsedTimer>
#include <QFile>
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
        m_lastQueuedNs = queuedNs();
        m_beat.start(periodMs);
    }

    // Called by a test that drives the window from the same timer.
    QTimer &beat() { return m_beat; }
    // The stop under way counts too: a test may ask right after one.
    qint64 longestMs() const { return std::max(m_longest, m_clock.elapsed() - m_last); }
    // The same less the time the window's thread stood ready while other
    // processes had every processor: what the window's own work and waits
    // cost. A loaded machine stretches the plain stop several times over;
    // this one it leaves as it is. Asked on the window's thread.
    qint64 longestOwnMs() const { return std::max(m_longestOwn, ownMs(m_clock.elapsed() - m_last)); }

private:
    void tick()
    {
        const qint64 gap = m_clock.elapsed() - m_last;
        m_longest = std::max(m_longest, gap);
        m_longestOwn = std::max(m_longestOwn, ownMs(gap));
        m_last = m_clock.elapsed();
        m_lastQueuedNs = queuedNs();
    }

    qint64 ownMs(qint64 gapMs) const { return std::max<qint64>(0, gapMs - (queuedNs() - m_lastQueuedNs) / 1000000); }

    // How long the calling thread has waited in the run queue (the kernel's
    // schedstat, second field); 0 where the kernel does not say.
    static qint64 queuedNs()
    {
        QFile stat(QStringLiteral("/proc/thread-self/schedstat"));
        if (!stat.open(QIODevice::ReadOnly))
            return 0;
        return stat.readAll().split(' ').value(1).toLongLong();
    }

    QElapsedTimer m_clock;
    QTimer m_beat;
    qint64 m_last = 0, m_longest = 0, m_longestOwn = 0, m_lastQueuedNs = 0;
};
