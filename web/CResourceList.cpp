#include "CResourceList.h"

#include "IdText.h"
#include "SqlRunner.h"
#include "platform/Clock.h"
#include "platform/StoredText.h"

namespace QelWeb {

KeyedCollection<CResource> CResourceList::LoadResourceList(const QString &sGroupId) const
{
    const qint32 groupId = ParseId(sGroupId, QStringLiteral("CResourceList.LoadResourceList"));
    // A resource comes once per booking that has not ended, the earliest
    // first; its first row carries its current booking. Bookings missing
    // sort first on both engines.
    const auto rs = RunSQLReturnRS(
        QStringLiteral("SELECT DISTINCT R.ID, R.Name, R.Code, R.Location, V.ReservedFrom, V.ReservedUntil, V.BookedTo, "
                       "V.Note FROM Resource R LEFT OUTER JOIN Reservation V ON R.ID = V.ResourceID "
                       "AND V.ReservedUntil >= ? WHERE R.GroupID = ? ORDER BY V.ReservedFrom NULLS FIRST, R.ID"),
        {HistoryDate(Clock::nowDays()), groupId});
    KeyedCollection<CResource> resources;
    for (RecordSet rows = rs; !rows.eof(); rows.moveNext()) {
        CResource resource;
        resource.ID = qint32(rows.integer(QStringLiteral("ID")));
        if (resources.find(resource.Key()))
            continue;
        resource.Name = DecodeQuotes(rows.text(QStringLiteral("Name")).trimmed());
        resource.code = DecodeQuotes(rows.text(QStringLiteral("Code")).trimmed());
        resource.Location = DecodeQuotes(rows.text(QStringLiteral("Location")).trimmed());
        resource.oCurrentReservation.fillFromRow(rows);
        resources.add(resource.Key(), resource);
    }
    return resources;
}

} // namespace QelWeb
