#pragma once

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>

// How long a stretch of the calling thread's work took, less the time the
// thread stood ready while other processes had every processor: what the
// work and its waits cost. A loaded machine stretches the plain elapsed time
// several times over; this it leaves as it is. Read on the thread it was
// started on.
class OwnTime
{
public:
    OwnTime() { restart(); }

    void restart()
    {
        m_clock.start();
        m_queuedAtStart = queuedNs();
    }
    qint64 elapsedMs() const
    {
        return std::max<qint64>(0, m_clock.elapsed() - (queuedNs() - m_queuedAtStart) / 1000000);
    }

    // How long the calling thread has waited in the run queue (the kernel's
    // schedstat, second field); 0 where the kernel does not say.
    static qint64 queuedNs()
    {
        QFile stat(QStringLiteral("/proc/thread-self/schedstat"));
        if (!stat.open(QIODevice::ReadOnly))
            return 0;
        return stat.readAll().split(' ').value(1).toLongLong();
    }

private:
    QElapsedTimer m_clock;
    qint64 m_queuedAtStart = 0;
};
