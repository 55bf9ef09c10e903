#include "CounterAllocator.h"

#include "Globals.h"
#include "MErrorHandler.h"
#include "platform/AppError.h"

void CounterAllocator::inWriteTransaction(DbHandle &connection, const std::function<void(DbConnection &)> &work)
{
    if (!connection)
        connection = OpenADOConnection();
    if (connection->inTransaction()) {
        work(*connection);
        return;
    }
    // Statements that succeed inside an attempt reset the shared retry count,
    // so the failed attempts are counted here: a lasting failure must end.
    qint16 failedAttempts = g_iDBRetryCount;
    for (;;) {
        try {
            connection->beginWrite();
            work(*connection);
            connection->commit();
            g_iDBRetryCount = 0;
            return;
        } catch (const AppError &e) {
            connection->rollback();
            g_iDBRetryCount = failedAttempts;
            if (HandleDBError(e) != 4)
                throw;
            failedAttempts = g_iDBRetryCount;
        }
    }
}
