#pragma once

#include "MADOFunctions.h"

// Hands out the shared counters so that no two copies ever get the same
// number: the change counter LastUpdated of STAFF_STATUS and the ids of the
// idmanager table. Each allocation happens inside one write transaction.
class CounterAllocator
{
public:
    // The next LastUpdated value (the table's largest + 1; 0 for an empty
    // table). The connection must be inside a write transaction, and the row
    // that takes the value must be written before it commits.
    static qint32 nextLastUpdated(DbConnection &connection);

    // The next id of an idmanager row ("userid", "status", "resrce", "resrvn",
    // "trnode"): stored id + 1, or whenNull when the value is null. A missing
    // row is created when createMissing is set, else the id is whenNull and
    // nothing is stored. Runs in the caller's transaction when there is one,
    // else in a transaction of its own.
    static qint32 nextId(DbConnection &connection, const QString &table, qint32 whenNull, bool createMissing);

    // Runs work inside a write transaction on the connection, committing when
    // it returns and rolling back when it raises. A busy database is retried
    // as the error handler says. On a connection already inside a transaction
    // the work joins it: the caller commits, rolls back and retries.
    static void inWriteTransaction(DbHandle &connection, const std::function<void(DbConnection &)> &work);
};
