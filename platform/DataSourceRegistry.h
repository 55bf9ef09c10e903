#pragma once

#include "ConnectionSpec.h"

#include <QString>

// Data source records in the manner of ODBC: a named record under the user's
// "Software\ODBC\ODBC.INI" key, whose Driver names the Qt driver it stands for
// ("QSQLITE" for the embedded file database, "QPSQL" for the server database).
// Connection strings are ADO-style ("Provider=...;DSN=StaffDataDSN;") or, for
// the server database, a libpq connection string.
class DataSourceRegistry
{
public:
    static QString sqliteDriver() { return QStringLiteral("QSQLITE"); }
    static QString postgresDriver() { return QStringLiteral("QPSQL"); }

    // Turns a connection string into what is needed to open the database;
    // raises AppError when the string names a data source that is not registered.
    // A data source is looked up among the user's records, and then, with
    // alsoMachine, among the machine's (ODBC's user and system data sources).
    static ConnectionSpec resolve(const QString &connectionString, bool alsoMachine = false);

    // A PostgreSQL server given as "host", "host:port" or a libpq connection
    // string, with the database and user it gives none of its own.
    static ConnectionSpec serverSpec(const QString &server, const QString &database, const QString &user);

    // The connection string with any password replaced by asterisks, for
    // error texts and logs.
    static QString masked(const QString &connectionString);
};
