#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

// The watcher's poll timer: it runs while it is enabled with a non-zero
// interval. A changed interval restarts it, an unchanged one does not. A tick
// that falls due while the handler of the previous one still runs (it may
// serve events while it waits) is dropped, not queued.
class XTimer
{
public:
    XTimer();
    ~XTimer();
    XTimer(const XTimer &) = delete;
    XTimer &operator=(const XTimer &) = delete;

    bool Enabled() const { return m_fEnabled; }
    void setEnabled(bool enabled);
    qint32 Interval() const { return m_lInterval; }
    void setInterval(qint32 intervalMs);

    std::function<void()> Tick;

private:
    void apply();
    void RaiseTick();

    QTimer m_timer;
    qint32 m_lInterval = 0;
    bool m_fEnabled = false;
    bool m_busy = false;
    // Cleared when the timer goes, so a tick whose handler released it
    // touches nothing of it afterwards.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
