#include "XTimer.h"

XTimer::XTimer()
{
    QObject::connect(&m_timer, &QTimer::timeout, [this] { RaiseTick(); });
}

XTimer::~XTimer()
{
    *m_alive = false;
}

void XTimer::setEnabled(bool enabled)
{
    if (enabled == m_fEnabled)
        return;
    m_fEnabled = enabled;
    apply();
}

void XTimer::setInterval(qint32 intervalMs)
{
    if (intervalMs == m_lInterval)
        return;
    m_lInterval = intervalMs;
    m_timer.stop();
    apply();
}

void XTimer::apply()
{
    // A negative interval stops the timer as 0 does.
    if (m_fEnabled && m_lInterval > 0)
        m_timer.start(m_lInterval);
    else
        m_timer.stop();
}

void XTimer::RaiseTick()
{
    if (m_busy || !Tick)
        return;
    m_busy = true;
    const std::shared_ptr<bool> alive = m_alive;
    bool failed = false;
    try {
        Tick();
    } catch (...) {
        failed = true;
    }
    if (!*alive)
        return;
    // A handler that fails stops its timer for good.
    if (failed)
        m_timer.stop();
    m_busy = false;
}
