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

} // namespace

DbConnection::Handle OpenWebConnection()
{
    ConnectionSpec spec = DataSourceRegistry::resolve(GetConnectionString(), true);
    spec.createIfMissing = false;
    return DbConnection::open(spec);
}

std::optional<RecordSet> RunSQLReturnRS(const QString &sql, const QVariantList &params)
{
    try {
        return OpenWebConnection()->query(sql, params);
    } catch (const AppError &e) {
        WriteErrorEvent(QStringLiteral("Error executing RunSQLReturnRS"), e);
        return std::nullopt;
    }
}

bool RunSQL(const QString &sql, const QVariantList &params)
{
    try {
        OpenWebConnection()->execute(sql, params);
        return true;
    } catch (const AppError &e) {
        WriteErrorEvent(QStringLiteral("Error executing RunSQL"), e);
        return false;
    }
}

void RunWriteTransaction(const std::function<void(DbConnection &)> &work)
{
    for (int attempt = 1;; ++attempt) {
        try {
            const DbConnection::Handle connection = OpenWebConnection();
            connection->beginWrite();
            work(*connection);
            connection->commit();
            return;
        } catch (const AppError &e) {
            // The connection's destructor has rolled back what was begun.
            if (e.number() != ErrNo::Busy || attempt == kWriteAttempts)
                throw;
            waitBeforeAttempt(attempt);
        }
    }
}

} // namespace QelWeb
