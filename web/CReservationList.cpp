#include "CReservationList.h"

#include "IdText.h"
#include "SqlRunner.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/StoredText.h"

namespace QelWeb {

KeyedCollection<CReservation> CReservationList::LoadReservationList(const QString &sResourceId) const
{
    const qint32 resourceId = ParseId(sResourceId, QStringLiteral("CReservationList.LoadReservationList"));
    const double startOfToday = DateUtil::toDays(Clock::now().date());
    const auto rs = RunSQLReturnRS(QStringLiteral("SELECT * FROM Reservation WHERE ReservedUntil > ? AND ResourceID = ? "
                                                  "ORDER BY ReservedFrom, ID"),
                                   {HistoryDate(startOfToday), resourceId});
    KeyedCollection<CReservation> reservations;
    for (RecordSet rows = rs; !rows.eof(); rows.moveNext()) {
        CReservation reservation;
        reservation.ID = qint32(rows.integer(QStringLiteral("ID")));
        reservation.fillFromRow(rows);
        reservations.add(reservation.Key(), reservation);
    }
    return reservations;
}

} // namespace QelWeb
