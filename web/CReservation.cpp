#include "CReservation.h"

#include "ErrorHandling.h"
#include "SqlRunner.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/SharedCounters.h"
#include "platform/StoredText.h"

namespace QelWeb {

namespace {

QString html(const QString &text)
{
    return text.toHtmlEscaped().replace(u'\'', QLatin1String("&#39;"));
}

QString dateText(double day)
{
    const QDateTime moment = DateUtil::fromDays(day);
    return DateUtil::shortDate(moment.date()) + u' ' + DateUtil::longTime(moment);
}

QString storedText(const RecordSet &rs, const QString &field)
{
    return DecodeQuotes(rs.text(field).trimmed());
}

} // namespace

void CReservation::fillFromRow(const RecordSet &rs)
{
    BookedOutTo = storedText(rs, QStringLiteral("BookedTo"));
    Note = storedText(rs, QStringLiteral("Note"));
    if (!rs.isNull(QStringLiteral("ReservedFrom")))
        ReservedFrom = DayFromColumn(rs.value(QStringLiteral("ReservedFrom")));
    if (!rs.isNull(QStringLiteral("ReservedUntil")))
        ReservedUntil = DayFromColumn(rs.value(QStringLiteral("ReservedUntil")));
}

QString CReservation::Status() const
{
    const double now = Clock::nowDays();
    const qint64 sinceStart = DateUtil::minutesBetween(ReservedFrom, now);
    const qint64 sinceEnd = DateUtil::minutesBetween(ReservedUntil, now);
    if (sinceStart >= 0 && sinceEnd < 0)
        return QStringLiteral("Booked Out");
    if (sinceStart < 0)
        return QStringLiteral("Booked");
    return QStringLiteral("Returned");
}

QString CReservation::getConflicts(qint32 iResourceID, double dFrom, double dUntil) const
{
    const auto rs = RunSQLReturnRS(QStringLiteral("SELECT * FROM Reservation WHERE ResourceID = ? AND ReservedFrom < ? "
                                                  "AND ReservedUntil > ? ORDER BY ReservedFrom, ID"),
                                   {iResourceID, HistoryDate(dUntil), HistoryDate(dFrom)});
    QString lines;
    if (!rs)
        return lines;
    for (RecordSet rows = *rs; !rows.eof(); rows.moveNext()) {
        lines += html(storedText(rows, QStringLiteral("BookedTo")));
        if (!rows.isNull(QStringLiteral("Note")))
            lines += QStringLiteral(" - ") + html(storedText(rows, QStringLiteral("Note")));
        if (!rows.isNull(QStringLiteral("ReservedFrom")))
            lines += QStringLiteral("  ( ") + html(dateText(DayFromColumn(rows.value(QStringLiteral("ReservedFrom")))))
                + QStringLiteral(" - ");
        if (!rows.isNull(QStringLiteral("ReservedUntil")))
            lines += html(dateText(DayFromColumn(rows.value(QStringLiteral("ReservedUntil"))))) + QStringLiteral(" )");
        lines += QStringLiteral("<br>");
    }
    return lines;
}

void CReservation::BookResource(qint32 iResourceID, qint32 iUserID, const QString &sBookedOutTo, double dReservedFrom,
                                double dReservedUntil, const QString &sNote)
{
    const QString counter = QStringLiteral("resrvn");
    qint32 id = 0;
    try {
        RunWriteTransaction([&](DbConnection &c) {
            if (c.query(QStringLiteral("SELECT id FROM idmanager WHERE tablename = ?"), {counter}).eof())
                throw AppError(ErrNo::Raised, QStringLiteral("CReservation.BookResource"),
                               QStringLiteral("The idmanager table has no row \"resrvn\"."));
            id = SharedCounters::nextId(c, counter, 2, false);
            c.execute(QStringLiteral("INSERT INTO Reservation (ID, ResourceID, UserID, BookedTo, Note, ReservedFrom, "
                                     "ReservedUntil) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                      {id, iResourceID, iUserID, EncodeQuotes(sBookedOutTo), EncodeQuotes(sNote),
                       HistoryDate(dReservedFrom), HistoryDate(dReservedUntil)});
        });
    } catch (const AppError &e) {
        // The page is not told, as pages have always booked; the log is.
        WriteErrorEvent(QStringLiteral("Error executing CReservation.BookResource"), e);
        return;
    }
    ID = id;
}

void CReservation::Delete(qint32 iRsvID)
{
    RunSQL(QStringLiteral("DELETE FROM Reservation WHERE ID = ?"), {iRsvID == -1 ? ID : iRsvID});
    ID = -1;
}

void CReservation::Read(qint32 iRsvID)
{
    const auto rs = RunSQLReturnRS(QStringLiteral("SELECT R.*, S.RealName FROM Reservation R, STAFF_STATUS S "
                                                  "WHERE R.ID = ? AND S.UserID = R.UserID"),
                                   {iRsvID});
    if (!rs || rs->eof())
        return;
    ID = qint32(rs->integer(QStringLiteral("ID")));
    ResourceID = qint32(rs->integer(QStringLiteral("ResourceID")));
    UserID = qint32(rs->integer(QStringLiteral("UserID")));
    UserName = storedText(*rs, QStringLiteral("RealName"));
    fillFromRow(*rs);
}

} // namespace QelWeb
