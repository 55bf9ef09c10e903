#include "CalendarCheck.h"

#include <QScopeGuard>
#include <atomic>
#include <mutex>

struct CalendarCheck::Shared
{
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = true;
    std::optional<Result> result;
    std::atomic_bool cancelled = false;
    CalendarStore store; // used by the check's thread only
};

namespace {
CalendarCheck::Result check(CalendarStore &store, const QString &path, const QDateTime &now,
                            const std::atomic_bool &cancelled)
{
    CalendarCheck::Result result;
    try {
        store.setPath(path);
        CheckBudget budget(CheckBudget::DefaultSteps, CheckBudget::DefaultMs, &cancelled);
        result.running = store.runningAt(now, result.warnings, budget);
    } catch (const std::exception &e) {
        result.warnings << QStringLiteral("the check failed: ") + QString::fromUtf8(e.what());
    }
    return result;
}
} // namespace

CalendarCheck::CalendarCheck() : m_shared(std::make_shared<Shared>()) {}

CalendarCheck::~CalendarCheck()
{
    stop();
}

void CalendarCheck::stop()
{
    m_shared->cancelled = true;
    if (m_thread.joinable())
        m_thread.join();
    m_shared->cancelled = false;
    std::lock_guard lock(m_shared->mutex);
    m_shared->result.reset();
}

bool CalendarCheck::start(const QString &path, const QDateTime &now, Done done)
{
    deliver(); // a result that ended before its queued delivery came round
    {
        std::lock_guard lock(m_shared->mutex);
        if (!m_shared->finished)
            return false;
        m_shared->finished = false;
        m_shared->result.reset();
    }
    if (m_thread.joinable())
        m_thread.join();
    m_done = std::move(done);
    auto failed = qScopeGuard([this] {
        std::lock_guard lock(m_shared->mutex);
        m_shared->finished = true;
    });
    m_thread = std::thread([this, shared = m_shared, path, now] {
        Result result = check(shared->store, path, now, shared->cancelled);
        {
            std::lock_guard lock(shared->mutex);
            shared->result = std::move(result);
            shared->finished = true;
        }
        shared->ended.notify_all();
        QMetaObject::invokeMethod(&m_receiver, [this] { deliver(); }, Qt::QueuedConnection);
    });
    failed.dismiss();
    return true;
}

bool CalendarCheck::isRunning() const
{
    std::lock_guard lock(m_shared->mutex);
    return !m_shared->finished || m_shared->result.has_value();
}

void CalendarCheck::wait(int ms)
{
    {
        std::unique_lock lock(m_shared->mutex);
        m_shared->ended.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_shared->finished; });
    }
    deliver();
}

void CalendarCheck::deliver()
{
    std::optional<Result> result;
    {
        std::lock_guard lock(m_shared->mutex);
        result.swap(m_shared->result);
    }
    if (result && m_done)
        m_done(*result);
}
