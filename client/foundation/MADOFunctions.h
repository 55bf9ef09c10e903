#pragma once

#include "platform/DbConnection.h"
#include "platform/RecordSet.h"
#include "platform/StoredText.h"

#include <QString>
#include <QVariantList>
#include <functional>
#include <memory>

// The only road from the program to the shared database.
//
// Each routine takes a connection that may be empty: an empty one is opened
// for the call (and, for OpenADORecordSet, handed back to the caller); one that
// was passed in stays open. Values from users always go in as bound parameters
// ("?" in the SQL text). Failures are raised as AppError with the number
// ErrNo::Raised and a source and description that name the routine.

using DbHandle = DbConnection::Handle;

// Registry key of the database location, and the data source name.
QString DatabaseRegistryKey();
QString DataSourceName();

DbHandle OpenADOConnection();
RecordSet OpenADORecordSet(DbHandle &connection, const QString &sql, bool readOnly = true,
                           const QVariantList &params = {});
// Runs a query and hands each row to row() as it is read, without holding
// the whole result. start() runs before each attempt: after a wait on a busy
// database the rows come again from the first.
void ReadADORows(DbHandle &connection, const QString &sql, const QVariantList &params,
                 const std::function<void()> &start, const std::function<void(const QSqlQuery &)> &row);
void CloseADOConnection(DbHandle &connection);
QString GetDB();
QString GetDBFromRegistry();
void SaveDBToRegistry();
void CreateDSN(const QString &dbType, const QString &location);
qint32 Update(const QString &sql, DbHandle &connection, const QVariantList &params = {});
qint32 getLastUpdatedValue(DbHandle &connection);

// Where the embedded database lives when the user has chosen none.
QString DefaultEmbeddedDatabasePath();

// The user's choice of database: the type ("MSAccess" for the embedded file,
// "SQLServer" for a PostgreSQL server), its location (the file, or the server
// as host or host:port) and, for a server, a libpq connection string of the
// user's own that takes the place of the default.
struct DatabaseChoice { QString type; QString location; QString connection; };

// The database, and the role it is opened as, when a server choice names
// only the server (host or host:port). Stored choices rely on these names.
QString ServerDatabaseName();
QString ServerRoleName();

// Asks the user where the database is, starting from the stored choice
// (empty on a first run): gives false when he ends the program instead. The
// program shows the database-location dialog; with none installed the
// program ends.
extern std::function<bool(DatabaseChoice &)> g_chooseDatabase;

// Opens the chosen database once and closes it: empty when that worked, else
// the reason, with any password masked.
QString TestDatabaseChoice(const DatabaseChoice &choice);
