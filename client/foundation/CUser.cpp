#include "CUser.h"

#include "CounterAllocator.h"
#include "MADOFunctions.h"
#include "platform/AppError.h"

// The row takes a new change counter, so that every copy's next poll reads it
// and drops the user from its list.
qint32 CUser::Delete(qint32 userID)
{
    try {
        DbHandle connection;
        CounterAllocator::inWriteTransaction(connection, [&](DbConnection &c) {
            c.execute(QStringLiteral("UPDATE STAFF_STATUS SET IsActive = 0, LastUpdated = ? WHERE UserID = ?"),
                      {CounterAllocator::nextLastUpdated(c), userID});
        });
    } catch (const AppError &e) {
        throw AppError(ErrNo::Raised,
                       QStringLiteral(".DeleteUser (%1)\r\n").arg(e.number()) + e.source(),
                       e.description());
    }
    return ErrNo::Success;
}
