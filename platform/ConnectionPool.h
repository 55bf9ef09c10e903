#pragma once

#include "ConnectionSpec.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class DbConnection;

// The idle connections of one thread. Routines still open a connection for
// each operation and close it after, but closing hands it back here and the
// next open of the same database takes it again, so a poll or a status
// change does not pay for a new server session (or, on SQLite, for the
// write-ahead log being flushed and deleted at every last close).
//
// A connection never crosses threads: each thread has a pool of its own.
// Connections idle longer than the timeout are closed, and so are all of them
// at close-down.
class ConnectionPool
{
public:
    static constexpr qint64 kIdleTimeoutMs = 300000; // longer than the default 155 s between polls
    // Routines nest a few connections deep at most; more idle ones than that
    // only hold server sessions.
    static constexpr std::size_t kMaxIdle = 4;

    ConnectionPool() = default;
    ~ConnectionPool();
    ConnectionPool(const ConnectionPool &) = delete;
    ConnectionPool &operator=(const ConnectionPool &) = delete;

    // This thread's pool; none while the thread is ending.
    static ConnectionPool *local();
    // Closes this thread's idle connections; the close-down calls it.
    static void closeLocal();

    // An idle connection to the database, found alive; none when there is none.
    std::unique_ptr<DbConnection> take(const ConnectionSpec &spec);
    // Takes back a connection its user has finished with. One left inside a
    // transaction is rolled back and reported; a broken one is closed.
    void giveBack(std::unique_ptr<DbConnection> connection);
    void closeExpired();
    void closeAll();
    std::size_t idleCount() const { return m_idle.size(); }

    // Where a connection handed back inside a transaction is reported (the
    // program's error log); by default a warning on standard error.
    static void setReporter(std::function<void(const QString &)> reporter);

private:
    struct Idle
    {
        std::unique_ptr<DbConnection> connection;
        qint64 since;
    };
    static qint64 nowMs();
    void scheduleSweep();

    std::vector<Idle> m_idle;
    bool m_sweepScheduled = false;
};
