#pragma once

#include "DbConnection.h"
#include "RecordSet.h"

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
void CloseADOConnection(DbHandle &connection);
QString GetDB();
QString GetDBFromRegistry();
void SaveDBToRegistry();
void CreateDSN(const QString &dbType, const QString &location);
qint32 Update(const QString &sql, DbHandle &connection, const QVariantList &params = {});
qint32 getLastUpdatedValue(DbHandle &connection);

QString FormatSQLNumber(QString &numberText);
QString EncodeQuotes(const QString &text);
QString DecodeQuotes(const QString &text);
QString FormatSQLDate(double date);

// Where the embedded database lives when the user has chosen none.
QString DefaultEmbeddedDatabasePath();

// Chooses the database on a first run (or after a failed connection): gives
// false when the user ends the program instead. Tests and the location dialog
// replace the default, which takes the embedded database once.
struct DatabaseChoice { QString type; QString location; QString connection; };
extern std::function<bool(DatabaseChoice &)> g_chooseDatabase;
std::function<bool(DatabaseChoice &)> EmbeddedDatabaseChooser();
