#include "SqlRunner.h"

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

} // namespace

DbConnection::Handle OpenWebConnection()
{
    ConnectionSpec spec = DataSourceRegistry::resolve(GetConnectionString(), true);
    spec.createIfMissing = false;
    return DbConnection::open(spec);
}

RecordSet RunSQLReturnRS(const QString &sql, const QVariantList &params)
{
    return OpenWebConnection()->query(sql, params);
}

void RunSQL(const QString &sql, const QVariantList &params)
{
    OpenWebConnection()->execute(sql, params);
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
