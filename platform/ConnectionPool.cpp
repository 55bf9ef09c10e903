#include "ConnectionPool.h"

#include "Clock.h"
#include "DbConnection.h"

#include <QAbstractEventDispatcher>
#include <QTimer>
#include <algorithm>

namespace {

thread_local bool t_poolGone = false;

std::function<void(const QString &)> &reporter()
{
    static std::function<void(const QString &)> report = [](const QString &text) {
        qWarning("%s", qPrintable(text));
    };
    return report;
}

} // namespace

ConnectionPool::~ConnectionPool()
{
    closeAll();
    t_poolGone = true;
}

ConnectionPool *ConnectionPool::local()
{
    if (t_poolGone)
        return nullptr;
    thread_local ConnectionPool pool;
    return &pool;
}

void ConnectionPool::closeLocal()
{
    if (ConnectionPool *pool = local())
        pool->closeAll();
}

void ConnectionPool::setReporter(std::function<void(const QString &)> report)
{
    reporter() = std::move(report);
}

qint64 ConnectionPool::nowMs()
{
    return Clock::nowMs();
}

std::unique_ptr<DbConnection> ConnectionPool::take(const ConnectionSpec &spec)
{
    closeExpired();
    // The most recently used first: its pages and plans are the warmest.
    for (std::size_t i = m_idle.size(); i-- > 0;) {
        if (!(m_idle[i].connection->spec() == spec))
            continue;
        std::unique_ptr<DbConnection> connection = std::move(m_idle[i].connection);
        m_idle.erase(m_idle.begin() + std::ptrdiff_t(i));
        if (connection->isStillUsable())
            return connection;
        // A broken one is closed as it goes out of scope here.
    }
    return nullptr;
}

void ConnectionPool::giveBack(std::unique_ptr<DbConnection> connection)
{
    if (!connection || !connection->isOwnedByThisThread())
        return;
    if (connection->isInTransaction()) {
        connection->rollback();
        reporter()(QStringLiteral("A database connection was closed inside a transaction; the transaction was "
                                  "rolled back."));
    }
    if (!connection->isStillUsable())
        return;
    closeExpired();
    m_idle.push_back({std::move(connection), nowMs()});
    if (m_idle.size() > kMaxIdle)
        m_idle.erase(m_idle.begin());
    scheduleSweep();
}

void ConnectionPool::closeExpired()
{
    const qint64 now = nowMs();
    std::erase_if(m_idle, [now](const Idle &idle) { return now - idle.since >= kIdleTimeoutMs; });
}

void ConnectionPool::closeAll()
{
    m_idle.clear();
}

// A thread that runs an event loop closes its idle connections on time even
// when it does nothing else; others close them at their next open or close.
void ConnectionPool::scheduleSweep()
{
    QAbstractEventDispatcher *loop = QAbstractEventDispatcher::instance();
    if (m_sweepScheduled || !loop || m_idle.empty())
        return;
    m_sweepScheduled = true;
    const qint64 due = m_idle.front().since + kIdleTimeoutMs - nowMs();
    QTimer::singleShot(int(std::clamp<qint64>(due + 100, 1000, kIdleTimeoutMs + 100)), loop, [] {
        ConnectionPool *pool = local();
        if (!pool)
            return;
        pool->m_sweepScheduled = false;
        pool->closeExpired();
        pool->scheduleSweep();
    });
}
