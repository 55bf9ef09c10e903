#pragma once

#include <QString>

class DbConnection;
class RecordSet;

namespace QelWeb {

// One booking of a resource, and what a page does with bookings: check a
// period for conflicts, book, read and delete.
class CReservation
{
public:
    qint32 ID = 0;
    qint32 ResourceID = 0;
    qint32 UserID = 0;
    QString BookedOutTo;
    double ReservedFrom = 0; // day numbers; 0 = none
    double ReservedUntil = 0;
    QString Note;
    QString UserName;

    QString Key() const { return QStringLiteral("RSV") + QString::number(ID); }
    // "Booked" before the start, "Booked Out" from the minute it starts
    // until the minute it ends, "Returned" from then on.
    QString Status() const;

    // One line per booking that holds the resource in the period (the
    // program's rule, platform/BookingRule), each ended by "<br>"; the stored texts and the dates
    // HTML-escaped. "" when none.
    QString getConflicts(qint32 iResourceID, double dFrom, double dUntil) const;
    // Stores a new booking under the next reservation id, which ID then
    // holds. Raises AppError, stores nothing and leaves ID 0 for a resource
    // or user without a row, an end not after the start, a date outside 1900
    // to 9999, a text with a NUL, or a period another booking holds; texts
    // are cut to their columns.
    void BookResource(qint32 iResourceID, qint32 iUserID, const QString &sBookedOutTo, double dReservedFrom,
                      double dReservedUntil, const QString &sNote);
    // Deletes the booking iRsvID, or this one's when it is -1; ID is -1 after.
    void Delete(qint32 iRsvID = -1);
    // Fills this object from the booking iRsvID; leaves it as it was when the
    // booking or its user's row is missing.
    void Read(qint32 iRsvID);

    // The dates and texts of the current row of a Reservation read.
    void fillFromRow(const RecordSet &rs);
};

} // namespace QelWeb
