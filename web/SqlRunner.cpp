#include "SqlRunner.h"

#include "ErrorHandling.h"
#include "MWebGlobalData.h"
#include "platform/AppError.h"
#include "platform/DataSourceRegistry.h"

#include <chrono>
#include <thread>

namespace QelWeb {

namespace {

constexpr int kWriteAttempts = 8;

void waitBeforeAttempt(int attempt)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(50 * attempt));
}

void runOnce(const std::function<void(DbConnection &)> &work)
{
    const DbConnection::Handle connection = OpenWebConnection();
    connection->beginWrite();
    try {
        work(*connection);
        connection->commit();
    } catch (...) {
        // Here, not in the pool, which would take an open transaction for a fault.
        connection->rollback();
        throw;
    }
}

// Runs one statement on its own connection; a failure is logged under the
// runner's name.
template <typename Statement>
auto logged(const QString &runner, const Statement &statement)
{
    try {
        return statement(*OpenWebConnection());
    } catch (const AppError &e) {
        WriteErrorEvent(QStringLiteral("Error executing ") + runner, e);
        throw LoggedError(e);
    }
}

} // namespace

DbConnection::Handle OpenWebConnection()
{
    ConnectionSpec spec = DataSourceRegistry::resolve(GetConnectionString(), true);
    spec.createIfMissing = false;
    return DbConnection::open(spec);
}

RecordSet RunSQLReturnRS(const QString &sql, const QVariantList &params)
{
    return RunSQLReturnRS([&](DbConnection &connection) { return connection.query(sql, params); });
}

RecordSet RunSQLReturnRS(const std::function<RecordSet(DbConnection &)> &query)
{
    return logged(QStringLiteral("RunSQLReturnRS"), query);
}

void RunSQL(const QString &sql, const QVariantList &params)
{
    logged(QStringLiteral("RunSQL"), [&](DbConnection &connection) { connection.execute(sql, params); });
}

void RunWriteTransaction(const std::function<void(DbConnection &)> &work)
{
    for (int attempt = 1;; ++attempt) {
        try {
            runOnce(work);
            return;
        } catch (const AppError &e) {
            if (e.number() != ErrNo::Busy || attempt == kWriteAttempts)
                throw;
            waitBeforeAttempt(attempt);
        }
    }
}

} // namespace QelWeb
