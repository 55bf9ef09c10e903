#include "ConnectionHealth.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <libpq-fe.h>
#include <poll.h>
#include <sqlite3.h>
#include <sys/stat.h>

namespace {

// The driver's handle when it is of the type named (Qt names the libpq
// handle by its struct tag, "pg_conn*").
template <typename Handle>
Handle *nativeHandle(const QSqlDatabase &db, const char *typeName)
{
    if (!db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), typeName) != 0)
        return nullptr;
    return *static_cast<Handle *const *>(handle.constData());
}

} // namespace

ConnectionHealth::FileIdentity ConnectionHealth::fileIdentity(const QString &path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {quint64(info.st_dev), quint64(info.st_ino), true};
}

bool ConnectionHealth::serverStillThere(const QSqlDatabase &db)
{
    PGconn *connection = nativeHandle<PGconn>(db, "pg_conn*");
    if (!connection || PQstatus(connection) != CONNECTION_OK)
        return false;
    pollfd socket{PQsocket(connection), POLLIN, 0};
    if (socket.fd < 0)
        return false;
    return ::poll(&socket, 1, 0) == 0;
}

bool ConnectionHealth::inTransaction(const QSqlDatabase &db)
{
    if (sqlite3 *file = nativeHandle<sqlite3>(db, "sqlite3*"))
        return sqlite3_get_autocommit(file) == 0;
    if (PGconn *server = nativeHandle<PGconn>(db, "pg_conn*"))
        return PQtransactionStatus(server) != PQTRANS_IDLE;
    return false;
}
