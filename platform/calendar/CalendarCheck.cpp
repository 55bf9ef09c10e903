#include "CalendarCheck.h"

#include "CheckProcess.h"

#include <QScopeGuard>
#include <atomic>
#include <mutex>

// Owned by the check's thread and its owner together: a check left running
// when its owner stopped waiting keeps it until it ends.
struct CalendarCheck::Shared
{
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = true;
    bool abandoned = false; // its owner no longer waits: the thread leaves it alone
    std::optional<Result> result;
    std::atomic_bool cancelled = false;
    CalendarStore store; // used by the check's thread only
    CheckProcess helper; // by the check's thread, and by the owner once it ended
    bool helperMissing = false; // told once
};

namespace {
// A check ends this soon after it is cancelled, at its next step, unless it
// is inside a call of the library.
constexpr std::chrono::milliseconds kStopWait(200);

// The checks let go that still run, for the program's end to wait on. Never
// destroyed: a check let go may end after the program's statics are gone.
struct LetGo
{
    std::mutex mutex;
    std::condition_variable ended;
    int running = 0;
};

LetGo &letGo()
{
    static LetGo *checks = new LetGo;
    return *checks;
}

} // namespace

CalendarCheck::Result CalendarCheck::inProcess(CalendarStore &store, const QString &path, const QDateTime &now,
                                               const std::atomic_bool &cancelled, qint64 budgetMs)
{
    Result result;
    try {
        store.setPath(path);
        CheckBudget budget(CheckBudget::DefaultSteps, budgetMs, &cancelled);
        result.running = store.runningAt(now, result.warnings, budget);
    } catch (const std::exception &e) {
        result.warnings << QStringLiteral("the check failed: ") + QString::fromUtf8(e.what());
    }
    return result;
}

CalendarCheck::CalendarCheck(Work work) : m_work(std::move(work)), m_shared(std::make_shared<Shared>())
{
}

qint64 CalendarCheck::helperId() const
{
    std::lock_guard lock(m_shared->mutex);
    return m_shared->finished ? m_shared->helper.processId() : 0;
}

CalendarCheck::~CalendarCheck()
{
    stop();
}

void CalendarCheck::stop()
{
    m_shared->cancelled = true;
    bool ended = false;
    {
        std::unique_lock lock(m_shared->mutex);
        ended = m_shared->ended.wait_for(lock, kStopWait, [this] { return m_shared->finished; });
        m_shared->abandoned = !ended;
        m_shared->result.reset();
        if (!ended) {
            // Counted under the check's lock: it cannot count itself out first.
            std::lock_guard count(letGo().mutex);
            ++letGo().running;
        }
    }
    if (!ended) {
        // The thread ends on its own with the state it holds; the next check
        // starts on a state of its own.
        m_thread.detach();
        m_shared = std::make_shared<Shared>();
        return;
    }
    if (m_thread.joinable())
        m_thread.join();
    m_shared->helper.end();
    m_shared->cancelled = false;
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
    // A copy of the path of the check's own, not one that shares its text
    // with the caller's: the thread lets go of it as it ends, which nothing
    // orders with the caller's changes to its own string.
    QString own(path.constData(), path.size());
    m_thread = std::thread([this, work = m_work, shared = m_shared, path = std::move(own), now]() mutable {
        bool abandoned = false;
        {
            Result result = work ? work(shared->store, path, now, shared->cancelled) : checkIn(*shared, path, now);
            std::lock_guard lock(shared->mutex);
            shared->finished = true;
            shared->ended.notify_all();
            abandoned = shared->abandoned;
            if (!abandoned) {
                shared->result = std::move(result);
                // Under the lock: the owner cannot abandon the check, or go, meanwhile.
                QMetaObject::invokeMethod(&m_receiver, [this] { deliver(); }, Qt::QueuedConnection);
            }
        }
        if (!abandoned)
            return;
        // Its owner may be gone: the state it kept goes first, then the
        // program's end may go on.
        shared.reset();
        work = {};
        std::lock_guard count(letGo().mutex);
        --letGo().running;
        letGo().ended.notify_all();
    });
    failed.dismiss();
    return true;
}

// In the helper, or where none can start, here.
CalendarCheck::Result CalendarCheck::checkIn(Shared &shared, const QString &path, const QDateTime &now)
{
    if (std::optional<Result> result = shared.helper.check(path, now, shared.cancelled))
        return *result;
    Result result = inProcess(shared.store, path, now, shared.cancelled);
    if (!std::exchange(shared.helperMissing, true))
        result.warnings.prepend(QStringLiteral("the calendar's helper program could not start; "
                                               "the calendar is checked in this program"));
    return result;
}

bool CalendarCheck::checksLetGoEnded(std::chrono::milliseconds within)
{
    std::unique_lock lock(letGo().mutex);
    return letGo().ended.wait_for(lock, within, [] { return letGo().running == 0; });
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
