#include "BookingRule.h"

#include "DbConnection.h"
#include "StoredText.h"

RecordSet BookingRule::holding(DbConnection &connection, qint32 resourceId, double from, double until,
                               qint32 exceptId)
{
    return connection.query(
        QStringLiteral("SELECT V.ID, V.BookedTo, V.Note, V.ReservedFrom, V.ReservedUntil FROM Reservation V "
                       "INNER JOIN Resource R ON R.ID = V.ResourceID WHERE V.ResourceID = ? AND V.ID <> ? "
                       "AND V.ReservedFrom < ? AND V.ReservedUntil > ? "
                       "AND (COALESCE(R.AutoCheckIn, 0) = 1 OR COALESCE(V.Returned, 0) = 0) "
                       "ORDER BY V.ReservedFrom, V.ID"),
        {resourceId, exceptId, HistoryDate(until), HistoryDate(from)});
}

bool BookingRule::resourceExists(DbConnection &connection, qint32 resourceId)
{
    const QString share = connection.isSQLite() ? QString() : QStringLiteral(" FOR SHARE");
    return !connection.query(QStringLiteral("SELECT ID FROM Resource WHERE ID = ?") + share, {resourceId}).eof();
}
