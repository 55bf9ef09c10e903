#include "CReservation.h"

#include "StoredFields.h"
#include "foundation/CounterAllocator.h"
#include "foundation/IPrompt.h"
#include "foundation/LogFile.h"
#include "foundation/MADOFunctions.h"
#include "foundation/RaiseAs.h"
#include "platform/BookingRule.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/StoredText.h"

namespace {

QString momentText(double day)
{
    const QDateTime moment = DateUtil::fromDays(day);
    return DateUtil::shortDate(moment.date()) + u' ' + DateUtil::shortTime(moment);
}

QString conflictMessage(const QList<CReservation::Conflict> &found)
{
    QString lines;
    for (const CReservation::Conflict &conflict : found)
        lines += conflict.line + QStringLiteral("\r\n");
    return QStringLiteral("The following reservation conflicts have been found:\r\n\r\n") + lines
        + QStringLiteral("\r\nClick OK to book anyway; or Cancel to enter a different time.");
}

bool bookAnyway(const QList<CReservation::Conflict> &found, IPrompt &prompt)
{
    return prompt.message(conflictMessage(found), IPrompt::OkCancel, IPrompt::Exclamation,
                          QStringLiteral("Item Reservation Conflict"))
        == IPrompt::AnswerOk;
}

} // namespace

QString CReservation::Status(bool autoCheckIn) const
{
    if (iUserID == -1)
        return QStringLiteral("Available");
    const double now = Clock::nowDays();
    const bool started = DateUtil::minutesBetween(dReservedFrom, now) >= 0;
    const bool current = started && DateUtil::minutesBetween(dReservedUntil, now) <= 0;
    if (autoCheckIn)
        return current ? QStringLiteral("Booked Out") : QStringLiteral("Available");
    if (fReturned)
        return current ? QStringLiteral("Returned") : QStringLiteral("Available");
    if (!started)
        return QStringLiteral("Available");
    return current ? QStringLiteral("Booked Out") : QStringLiteral("Overdue");
}

QList<CReservation::Conflict> CReservation::conflicts(DbConnection &connection, qint32 resourceId, double from,
                                                      double until, qint32 exceptId)
{
    const RecordSet found = BookingRule::holding(connection, resourceId, from, until, exceptId);
    QList<Conflict> result;
    for (RecordSet rs = found; !rs.eof(); rs.moveNext()) {
        QString line = storedText(rs, QStringLiteral("BookedTo"));
        if (!rs.isNull(QStringLiteral("Note")))
            line += QStringLiteral(" - ") + storedText(rs, QStringLiteral("Note"));
        line += QStringLiteral("  ( ") + momentText(DayFromColumn(rs.value(QStringLiteral("ReservedFrom"))))
            + QStringLiteral(" - ") + momentText(DayFromColumn(rs.value(QStringLiteral("ReservedUntil"))))
            + QStringLiteral(" )");
        result.append({qint32(rs.integer(QStringLiteral("ID"))), line});
    }
    return result;
}

// Checked inside the write transaction: a copy that deleted the resource or
// the booking a moment ago has committed, and no copy can delete it before
// this one commits (the Reservation lock holds off a resource's deletion,
// which removes its bookings first; PostgreSQL also holds the resource row).
CReservation::Outcome CReservation::missingRow(DbConnection &connection) const
{
    if (!BookingRule::resourceExists(connection, iResourceID))
        return ResourceGone;
    if (iID >= 1 && connection.query(QStringLiteral("SELECT ID FROM Reservation WHERE ID = ?"), {iID}).eof())
        return BookingGone;
    return Stored;
}

CReservation::Outcome CReservation::storeIfFree(DbConnection &connection, const QSet<qint32> &accepted,
                                                QList<Conflict> &unseen)
{
    // On PostgreSQL two transactions would both see the slot free; the table
    // lock makes the second wait until the first has stored its booking.
    connection.lockTable(QStringLiteral("Reservation"));
    if (const Outcome missing = missingRow(connection); missing != Stored)
        return missing;
    unseen.clear();
    for (const Conflict &conflict : conflicts(connection, iResourceID, dReservedFrom, dReservedUntil, iID))
        if (!accepted.contains(conflict.id))
            unseen.append(conflict);
    if (!unseen.isEmpty())
        return UserCancelled; // unless the user books anyway
    if (iID < 1)
        Add(connection);
    else
        Update(connection);
    return Stored;
}

CReservation::Outcome CReservation::save(bool autoCheckIn, IPrompt &prompt)
{
    const qint32 idBefore = iID;
    const bool returnedBefore = fReturned;
    if (iID < 1)
        fReturned = autoCheckIn;
    QSet<qint32> accepted;
    for (;;) {
        QList<Conflict> unseen;
        Outcome outcome = Stored;
        try {
            DbHandle connection;
            CounterAllocator::inWriteTransaction(connection, [&](DbConnection &c) {
                iID = idBefore;
                outcome = storeIfFree(c, accepted, unseen);
            });
        } catch (const AppError &) {
            iID = idBefore;
            fReturned = returnedBefore;
            throw;
        }
        if (outcome == Stored)
            return Stored;
        if (unseen.isEmpty() || !bookAnyway(unseen, prompt)) {
            fReturned = returnedBefore;
            return outcome;
        }
        for (const Conflict &conflict : unseen)
            accepted.insert(conflict.id);
    }
}

void CReservation::Add(DbConnection &connection)
{
    raisingAs(QStringLiteral("CReservation.Add"), [&] {
        iID = CounterAllocator::nextId(connection, QStringLiteral("resrvn"), 2, true);
        connection.execute(QStringLiteral("INSERT INTO Reservation (ID, ResourceID, UserID, BookedTo, Note, ReservedFrom, "
                                          "ReservedUntil, Cost, Returned) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                           {iID, iResourceID, iUserID, EncodeQuotes(sBookedOutTo), EncodeQuotes(sNote),
                            HistoryDate(dReservedFrom), HistoryDate(dReservedUntil), iCost, fReturned ? 1 : 0});
    });
}

void CReservation::Update(DbConnection &connection)
{
    raisingAs(QStringLiteral("CReservation.Update"), [&] {
        connection.execute(QStringLiteral("UPDATE Reservation SET Note = ?, ReservedFrom = ?, ReservedUntil = ?, "
                                          "BookedTo = ?, Cost = ?, Returned = ? WHERE ID = ?"),
                           {EncodeQuotes(sNote), HistoryDate(dReservedFrom), HistoryDate(dReservedUntil),
                            EncodeQuotes(sBookedOutTo), iCost, fReturned ? 1 : 0, iID});
    });
}

void CReservation::Delete(qint32 iRsvID)
{
    raisingAs(QStringLiteral("CReservation.Delete"), [&] {
        DbHandle connection;
        ::Update(QStringLiteral("DELETE FROM Reservation WHERE ID = ?"), connection, {iRsvID == -1 ? iID : iRsvID});
    });
    iID = -1;
}

bool CReservation::CheckIn()
{
    int changed = 0;
    raisingAs(QStringLiteral("CReservation.CheckIn"), [&] {
        DbHandle connection;
        CounterAllocator::inWriteTransaction(connection, [&](DbConnection &c) {
            changed = c.execute(QStringLiteral("UPDATE Reservation SET Returned = 1 WHERE ID = ?"), {iID});
        });
    });
    fReturned = changed > 0;
    return fReturned;
}

void CReservation::Read(qint32 iRsvID)
{
    raisingAs(QStringLiteral("CReservation.Read"), [&] {
        DbHandle connection;
        const RecordSet rs = OpenADORecordSet(connection,
                                              QStringLiteral("SELECT R.*, S.RealName FROM Reservation R "
                                                             "INNER JOIN STAFF_STATUS S ON S.UserID = R.UserID "
                                                             "WHERE R.ID = ?"),
                                              true, {iRsvID});
        if (rs.eof())
            throw AppError(ErrNo::Raised, QStringLiteral("CReservation.Read"),
                           QStringLiteral("The booking %1 no longer exists.").arg(iRsvID));
        iID = qint32(rs.integer(QStringLiteral("ID")));
        iResourceID = qint32(rs.integer(QStringLiteral("ResourceID")));
        iUserID = qint32(rs.integer(QStringLiteral("UserID")));
        iCost = rs.number(QStringLiteral("Cost"));
        fReturned = rs.integer(QStringLiteral("Returned")) == 1;
        sBookedOutTo = storedText(rs, QStringLiteral("BookedTo"));
        sUserName = storedText(rs, QStringLiteral("RealName"));
        sNote = storedText(rs, QStringLiteral("Note"));
        dReservedFrom = DayFromColumn(rs.value(QStringLiteral("ReservedFrom")));
        dReservedUntil = DayFromColumn(rs.value(QStringLiteral("ReservedUntil")));
    });
}
