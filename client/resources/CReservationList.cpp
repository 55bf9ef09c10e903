#include "CReservationList.h"

#include "BookingDisplay.h"
#include "ListRows.h"
#include "StoredFields.h"
#include "foundation/MADOFunctions.h"
#include "foundation/RaiseAs.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/StoredText.h"

#include <QStandardItemModel>

namespace {

enum Column { BookedToColumn, NoteColumn, FromColumn, UntilColumn, OwnerColumn };

} // namespace

const QStringList &CReservationList::columnKeys()
{
    static const QStringList keys{QStringLiteral("V_BKD"), QStringLiteral("V_NOT"), QStringLiteral("V_FRM"),
                                  QStringLiteral("V_UNT"), QStringLiteral("V_BKB")};
    return keys;
}

QList<CReservation> CReservationList::getReservationDetails(qint32 resourceId, int days)
{
    QList<CReservation> bookings;
    raisingAs(QStringLiteral("CReservationList.getReservationDetails"), [&] {
        const double since = DateUtil::datePart(Clock::nowDays()) - days;
        DbHandle connection;
        RecordSet rs = OpenADORecordSet(
            connection,
            QStringLiteral("SELECT V.*, S.RealName, COALESCE(R.AutoCheckIn, 0) AS ItemChecksIn FROM Reservation V "
                           "INNER JOIN STAFF_STATUS S ON S.UserID = V.UserID "
                           "INNER JOIN Resource R ON R.ID = V.ResourceID "
                           "WHERE V.ResourceID = ? AND (V.ReservedUntil >= ? "
                           "OR (COALESCE(R.AutoCheckIn, 0) = 0 AND COALESCE(V.Returned, 0) = 0)) "
                           "ORDER BY V.ReservedFrom, V.ID"),
            true, {resourceId, HistoryDate(since)});
        for (; !rs.eof(); rs.moveNext()) {
            CReservation booking;
            booking.iID = qint32(rs.integer(QStringLiteral("ID")));
            booking.sUserName = storedText(rs, QStringLiteral("RealName"));
            booking.sBookedOutTo = storedText(rs, QStringLiteral("BookedTo"));
            booking.sNote = storedText(rs, QStringLiteral("Note"));
            booking.iUserID = qint32(rs.integer(QStringLiteral("UserID"), -1));
            booking.dReservedFrom = DayFromColumn(rs.value(QStringLiteral("ReservedFrom")));
            booking.dReservedUntil = DayFromColumn(rs.value(QStringLiteral("ReservedUntil")));
            booking.fReturned = rs.integer(QStringLiteral("Returned")) == 1;
            booking.fAutoCheckIn = rs.integer(QStringLiteral("ItemChecksIn")) == 1;
            bookings.append(booking);
        }
    });
    return bookings;
}

int CReservationList::addReservationItem(QStandardItemModel &model, const CReservation &booking)
{
    return ListRows::appendRow(model, QStringLiteral("RES") + QString::number(booking.iID), booking.sBookedOutTo);
}

void CReservationList::updateReservationItem(QStandardItemModel &model, int row, const CReservation &booking)
{
    ListRows::setText(model, row, BookedToColumn, booking.sBookedOutTo);
    model.setData(model.index(row, BookedToColumn), booking.iUserID, OwnerRole);
    ListRows::setText(model, row, NoteColumn, booking.sNote);
    ListRows::setText(model, row, OwnerColumn, booking.sUserName);
    ListRows::setTime(model, row, FromColumn, booking.dReservedFrom);
    ListRows::setTime(model, row, UntilColumn, booking.dReservedUntil);
    const BookingDisplay::State state = BookingDisplay::state(booking);
    for (int column = 0; column < model.columnCount(); ++column) {
        model.setData(model.index(row, column), state.foreground(), Qt::ForegroundRole);
        if (state.toolTip)
            model.setData(model.index(row, column), *state.toolTip, Qt::ToolTipRole);
    }
}
