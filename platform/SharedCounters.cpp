#include "SharedCounters.h"

#include "AppError.h"

qint32 SharedCounters::nextLastUpdated(DbConnection &connection)
{
    if (!connection.inTransaction())
        throw AppError(ErrNo::BadStatement, QStringLiteral("SharedCounters.nextLastUpdated"),
                       QStringLiteral("The change counter is only handed out inside a write transaction."));
    connection.lockTable(QStringLiteral("STAFF_STATUS"));
    const RecordSet rs = connection.query(QStringLiteral("SELECT MAX(LastUpdated) AS maxid FROM STAFF_STATUS"));
    if (rs.eof() || rs.isNull(QStringLiteral("maxid")))
        return 0;
    return qint32(rs.integer(QStringLiteral("maxid")) + 1);
}

qint32 SharedCounters::nextId(DbConnection &connection, const QString &table, qint32 whenNull, bool createMissing)
{
    const bool own = !connection.inTransaction();
    if (own)
        connection.beginWrite();
    try {
        connection.lockTable(QStringLiteral("idmanager"));
        const RecordSet rs = connection.query(QStringLiteral("SELECT id FROM idmanager WHERE tablename = ?"), {table});
        qint32 id = whenNull;
        if (!rs.eof() && !rs.isNull(QStringLiteral("id")))
            id = qint32(rs.integer(QStringLiteral("id")) + 1);
        if (!rs.eof())
            connection.execute(QStringLiteral("UPDATE idmanager SET id = ? WHERE tablename = ?"), {id, table});
        else if (createMissing)
            connection.execute(QStringLiteral("INSERT INTO idmanager (tablename, id) VALUES (?, ?)"), {table, id});
        if (own)
            connection.commit();
        return id;
    } catch (...) {
        if (own)
            connection.rollback();
        throw;
    }
}
