#include "CReservation.h"

#include "SqlRunner.h"
#include "WebErrors.h"
#include "WebValues.h"
#include "platform/AppError.h"
#include "platform/BookingRule.h"
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

const QString kBookSource = QStringLiteral("CReservation.BookResource");
const QString kCounter = QStringLiteral("resrvn");

void requireRow(DbConnection &c, const QString &sql, qint32 id, const QString &missing)
{
    if (c.query(sql, {id}).eof())
        throw AppError(ErrNo::Raised, kBookSource, missing.arg(id));
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
    QString lines;
    const auto holding = [&](DbConnection &c) { return BookingRule::holding(c, iResourceID, dFrom, dUntil); };
    for (RecordSet rows = RunSQLReturnRS(holding); !rows.eof(); rows.moveNext()) {
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
    // Left at an earlier booking's id, a failed one would send the page's
    // Delete to that booking.
    ID = 0;
    const QString bookedTo = EncodeQuotes(WebValues::columnText(sBookedOutTo, WebValues::TextLength, kBookSource));
    const QString note = EncodeQuotes(WebValues::columnText(sNote, WebValues::TextLength, kBookSource));
    WebValues::requireDate(dReservedFrom, QStringLiteral("start"), kBookSource);
    WebValues::requireDate(dReservedUntil, QStringLiteral("end"), kBookSource);
    // Compared as stored, to the second: a booking shorter than that would
    // be stored ending where it starts.
    const QString from = HistoryDate(dReservedFrom), until = HistoryDate(dReservedUntil);
    if (!(until > from))
        throw AppError(WebErr::BadArguments, kBookSource, QStringLiteral("A booking must end after it starts."));
    qint32 id = 0;
    RunWriteTransaction([&](DbConnection &c) {
        // Taken before the check, as the program's booking takes it, so of two
        // writers the second checks after the first has stored its booking.
        c.lockTable(QStringLiteral("Reservation"));
        if (!BookingRule::resourceExists(c, iResourceID))
            throw AppError(ErrNo::Raised, kBookSource, QStringLiteral("No resource has the id %1.").arg(iResourceID));
        requireRow(c, QStringLiteral("SELECT UserID FROM STAFF_STATUS WHERE UserID = ?"), iUserID,
                   QStringLiteral("No user has the id %1."));
        if (!BookingRule::holding(c, iResourceID, dReservedFrom, dReservedUntil).eof())
            throw AppError(ErrNo::Raised, kBookSource,
                           QStringLiteral("Resource %1 is already booked in this period.").arg(iResourceID));
        if (c.query(QStringLiteral("SELECT id FROM idmanager WHERE tablename = ?"), {kCounter}).eof())
            throw AppError(ErrNo::Raised, kBookSource, QStringLiteral("The idmanager table has no row \"resrvn\"."));
        id = SharedCounters::nextId(c, kCounter, 2, false);
        c.execute(QStringLiteral("INSERT INTO Reservation (ID, ResourceID, UserID, BookedTo, Note, ReservedFrom, "
                                 "ReservedUntil) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                  {id, iResourceID, iUserID, bookedTo, note, from, until});
    });
    ID = id;
}

void CReservation::Delete(qint32 iRsvID)
{
    RunSQL(QStringLiteral("DELETE FROM Reservation WHERE ID = ?"), {iRsvID == -1 ? ID : iRsvID});
    ID = -1;
}

void CReservation::Read(qint32 iRsvID)
{
    const RecordSet rs = RunSQLReturnRS(QStringLiteral("SELECT R.*, S.RealName FROM Reservation R, STAFF_STATUS S "
                                                       "WHERE R.ID = ? AND S.UserID = R.UserID"),
                                        {iRsvID});
    if (rs.eof())
        return;
    ID = qint32(rs.integer(QStringLiteral("ID")));
    ResourceID = qint32(rs.integer(QStringLiteral("ResourceID")));
    UserID = qint32(rs.integer(QStringLiteral("UserID")));
    UserName = storedText(rs, QStringLiteral("RealName"));
    fillFromRow(rs);
}

} // namespace QelWeb
