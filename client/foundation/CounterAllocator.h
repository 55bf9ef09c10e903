#pragma once

#include "MADOFunctions.h"
#include "platform/SharedCounters.h"

// Hands out the shared counters (SharedCounters) inside the program's write
// transactions, with the program's retries of a busy database.
class CounterAllocator : public SharedCounters
{
public:
    // Runs work inside a write transaction on the connection, committing when
    // it returns and rolling back when it raises. A busy database is retried
    // as the error handler says. On a connection already inside a transaction
    // the work joins it: the caller commits, rolls back and retries.
    static void inWriteTransaction(DbHandle &connection, const std::function<void(DbConnection &)> &work);
};
