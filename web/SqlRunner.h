#pragma once

#include "platform/DbConnection.h"
#include "platform/RecordSet.h"

#include <QString>
#include <QVariantList>
#include <functional>
#include <memory>

namespace QelWeb {

// The web component's road to the shared database. Every call opens its own
// connection on the calling thread from the thread's connection settings and
// closes it before returning; values always go in bound, never spliced into
// the statement. A failure, an unreachable database included, is written to
// the log under the runner's name and raised as LoggedError, so a page is
// told rather than handed an empty answer.

// Opens a connection as the settings say; raises AppError when it cannot. A
// missing SQLite file is reported, never made.
DbConnection::Handle OpenWebConnection();

// The rows of a query, read whole.
RecordSet RunSQLReturnRS(const QString &sql, const QVariantList &params = {});
// The rows a shared rule reads on the connection it is given.
RecordSet RunSQLReturnRS(const std::function<RecordSet(DbConnection &)> &query);
// Runs a statement that returns no rows.
void RunSQL(const QString &sql, const QVariantList &params = {});

// Runs work in one write transaction (the write lock taken at its start), so
// counters read inside it are not handed out twice. A busy database is tried
// again a few times. A failure rolls back, before the connection goes back
// to its pool, and is raised to the caller.
void RunWriteTransaction(const std::function<void(DbConnection &)> &work);

} // namespace QelWeb
