#pragma once

#include "DbConnection.h"

#include <QString>

// The shared counters, handed out so that no two writers ever get the same
// number, whichever program writes: the change counter LastUpdated of
// STAFF_STATUS and the ids of the idmanager table. The program and the web
// component both take them from here, so their rows agree.
class SharedCounters
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
};
