#pragma once

#include <QString>

class QSqlDatabase;

// What a connection's own driver handle tells without a round trip to the
// server: whether an idle connection can still serve, and whether a
// transaction is open on it.
class ConnectionHealth
{
public:
    // The file a SQLite connection opened; a file deleted or replaced since
    // then has another identity (the open connection keeps the old inode
    // alive, so a new file cannot take its number).
    struct FileIdentity
    {
        quint64 device = 0;
        quint64 inode = 0;
        bool valid = false;
        bool operator==(const FileIdentity &) const = default;
    };
    static FileIdentity fileIdentity(const QString &path);

    // An idle PostgreSQL connection has nothing to read: a server that
    // restarted or ended the session has sent its farewell or closed the
    // socket, and either makes it readable.
    static bool serverStillThere(const QSqlDatabase &db);

    // Asks the driver itself, so a transaction begun by a plain "BEGIN"
    // statement counts too.
    static bool inTransaction(const QSqlDatabase &db);
};
