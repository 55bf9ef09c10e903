#include "CResourceList.h"

#include "BookingDisplay.h"
#include "ListRows.h"
#include "StoredFields.h"
#include "foundation/MADOFunctions.h"
#include "foundation/MCIFunctions.h"
#include "foundation/RaiseAs.h"
#include "platform/Clock.h"
#include "platform/StoredText.h"

#include <QStandardItemModel>

namespace {

enum Column { NameColumn, CodeColumn, StatusColumn, BookedToColumn, NoteColumn, FromColumn, UntilColumn };

// The booking is chosen by a subquery rather than by grouping, so that both
// engines pick the same row: the latest start, then the highest id.
const char kResourceQuery[] =
    "SELECT R.ID, R.Name, R.Code, R.Location, COALESCE(R.AutoCheckIn, 0) AS AutoCheckIn, V.ReservedFrom, "
    "V.ReservedUntil, V.BookedTo, V.UserID, V.Note, V.Returned FROM Resource R LEFT OUTER JOIN Reservation V "
    "ON V.ID = (SELECT C.ID FROM Reservation C WHERE C.ResourceID = R.ID AND C.ReservedFrom <= ? "
    "AND (COALESCE(R.AutoCheckIn, 0) = 1 OR COALESCE(C.Returned, 0) = 0) "
    "ORDER BY C.ReservedFrom DESC, C.ID DESC LIMIT 1) "
    "WHERE R.GroupID = ? ORDER BY CASE WHEN V.ReservedFrom IS NULL THEN 0 ELSE 1 END, V.ReservedFrom, R.ID";

} // namespace

const QStringList &CResourceList::columnKeys()
{
    static const QStringList keys{QStringLiteral("R_NME"), QStringLiteral("R_COD"), QStringLiteral("R_STS"),
                                  QStringLiteral("R_BKD"), QStringLiteral("R_NOT"), QStringLiteral("R_FRM"),
                                  QStringLiteral("R_UNT")};
    return keys;
}

QList<CResource> CResourceList::getResourceDetails(qint32 groupId)
{
    QList<CResource> resources;
    raisingAs(QStringLiteral("CResourceList.getResourceDetails"), [&] {
        DbHandle connection;
        RecordSet rs = OpenADORecordSet(connection, QString::fromLatin1(kResourceQuery), true,
                                        {HistoryDate(Clock::nowDays()), groupId});
        for (; !rs.eof(); rs.moveNext()) {
            CResource resource;
            resource.ID = qint32(rs.integer(QStringLiteral("ID")));
            resource.Name = storedText(rs, QStringLiteral("Name"));
            resource.code = storedText(rs, QStringLiteral("Code"));
            resource.Location = storedText(rs, QStringLiteral("Location"));
            resource.AutoCheckIn = rs.integer(QStringLiteral("AutoCheckIn")) == 1;
            if (!rs.isNull(QStringLiteral("UserID"))) {
                auto booking = std::make_shared<CReservation>();
                booking->iUserID = qint32(rs.integer(QStringLiteral("UserID")));
                booking->dReservedFrom = DayFromColumn(rs.value(QStringLiteral("ReservedFrom")));
                booking->dReservedUntil = DayFromColumn(rs.value(QStringLiteral("ReservedUntil")));
                booking->sBookedOutTo = storedText(rs, QStringLiteral("BookedTo"));
                booking->sNote = storedText(rs, QStringLiteral("Note"));
                booking->fReturned = rs.integer(QStringLiteral("Returned")) == 1;
                booking->fAutoCheckIn = resource.AutoCheckIn;
                resource.oCurrentReservation = booking;
            }
            resources.append(resource);
        }
    });
    return resources;
}

int CResourceList::addResourceItem(QStandardItemModel &model, const CResource &resource, const QString &iconKey)
{
    const int row = ListRows::appendRow(model, resource.Key(), resource.Name);
    model.setData(model.index(row, 0), iconKey, Qt::UserRole + 1);
    return row;
}

void CResourceList::updateResourceItem(QStandardItemModel &model, int row, const CResource &resource)
{
    ListRows::setText(model, row, NameColumn, resource.Name);
    ListRows::setText(model, row, CodeColumn, resource.code);
    const CReservation *booking = resource.oCurrentReservation.get();
    if (!booking) {
        ListRows::setText(model, row, StatusColumn, QStringLiteral("Available"));
        for (int column : {BookedToColumn, NoteColumn, FromColumn, UntilColumn})
            ListRows::setText(model, row, column, QString());
        // A row whose booking has gone no longer wears its colour.
        model.setData(model.index(row, StatusColumn), QVariant(), Qt::ForegroundRole);
        return;
    }
    ListRows::setText(model, row, StatusColumn, booking->Status(resource.AutoCheckIn));
    ListRows::setText(model, row, BookedToColumn, booking->sBookedOutTo);
    ListRows::setText(model, row, NoteColumn, booking->sNote);
    ListRows::setTime(model, row, FromColumn, booking->dReservedFrom);
    ListRows::setTime(model, row, UntilColumn, booking->dReservedUntil);
    const BookingDisplay::State state = BookingDisplay::state(*booking);
    model.setData(model.index(row, StatusColumn), state.foreground(), Qt::ForegroundRole);
    if (state.toolTip)
        for (int column = 0; column < model.columnCount(); ++column)
            model.setData(model.index(row, column), *state.toolTip, Qt::ToolTipRole);
}
