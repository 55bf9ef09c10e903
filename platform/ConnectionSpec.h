#pragma once

#include <QString>

// Where a database lives and how to open it: a SQLite file (the embedded
// database) or a PostgreSQL server (the shared server database).
struct ConnectionSpec
{
    enum Dialect { SQLite, PostgreSQL };

    Dialect dialect = SQLite;
    QString path;     // SQLite file
    QString host;     // PostgreSQL
    int port = -1;
    QString database;
    QString user;
    QString password;
    QString options;  // further libpq options, "key=value" separated by blanks
    // A SQLite file that is missing is made afresh on the process's first
    // open when this is set; otherwise it is reported.
    bool createIfMissing = true;

    bool isValid() const { return dialect == SQLite ? !path.isEmpty() : !database.isEmpty() || !host.isEmpty(); }
    bool operator==(const ConnectionSpec &) const = default;

    // Parses a libpq connection string ("host=h port=5432 dbname=d user=u").
    static ConnectionSpec fromConnInfo(const QString &conninfo);
};
