#include "CReservation.h"

#include "StoredFields.h"
#include "foundation/CounterAllocator.h"
#include "foundation/IPrompt.h"
#include "foundation/LogFile.h"
#include "foundation/MADOFunctions.h"
#include "foundation/RaiseAs.h"
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
    const RecordSet found = connection.query(
        QStringLiteral("SELECT V.ID, V.BookedTo, V.Note, V.ReservedFrom, V.ReservedUntil FROM Reservation V "
                       "INNER JOIN Resource R ON R.ID = V.ResourceID WHERE V.ResourceID = ? AND V.ID <> ? "
                       "AND V.ReservedFrom < ? AND V.ReservedUntil > ? "
                       "AND (COALESCE(R.AutoCheckIn, 0) = 1 OR COALESCE(V.Returned, 0) = 0) "
                       "ORDER BY V.ReservedFrom, V.ID"),
        {resourceId, exceptId, HistoryDate(until), HistoryDate(from)});
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

bool CReservation::storeIfFree(DbConnection &connection, const QSet<qint32> &accepted, QList<Conflict> &unseen)
{
    // On PostgreSQL two transactions would both see the slot free; the table
    // lock makes the second wait until the first has stored its booking.
    connection.lockTable(QStringLiteral("Reservation"));
    unseen.clear();
    for (const Conflict &conflict : conflicts(connection, iResourceID, dReservedFrom, dReservedUntil, iID))
        if (!accepted.contains(conflict.id))
            unseen.append(conflict);
    if (!unseen.isEmpty())
        return false;
    if (iID < 1)
        Add(connection);
    else
        Update(connection);
    return true;
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
        bool stored = false;
        try {
            DbHandle connection;
            CounterAllocator::inWriteTransaction(connection, [&](DbConnection &c) {
                iID = idBefore;
                stored = storeIfFree(c, accepted, unseen);
            });
        } catch (const AppError &) {
            iID = idBefore;
            fReturned = returnedBefore;
            throw;
        }
        if (stored)
            return Stored;
        if (prompt.message(conflictMessage(unseen), IPrompt::OkCancel, IPrompt::Exclamation,
                           QStringLiteral("Item Reservation Conflict"))
            != IPrompt::AnswerOk) {
            fReturned = returnedBefore;
            return UserCancelled;
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
