#pragma once

#include <QList>
#include <QSet>
#include <QString>

class DbConnection;
class IPrompt;

// One booking of a resource by a user for a period, as stored in table
// Reservation. Times are day numbers (DateUtil); 0 means none.
class CReservation
{
public:
    qint32 iID = -1;
    qint32 iResourceID = -1;
    qint32 iUserID = -1; // -1: no booking loaded
    QString sBookedOutTo;
    double dReservedFrom = 0;
    double dReservedUntil = 0;
    QString sNote;
    bool fReturned = false;
    double iCost = 0;
    qint32 iClientID = -1; // neither stored nor read
    QString sUserName;    // the booking user's name, from a join
    bool fAutoCheckIn = false; // the resource's, copied in by the lists

    QString Key() const { return QStringLiteral("RSV") + QString::number(iID); }
    // "Available", "Booked Out", "Returned" or "Overdue" at this moment.
    QString Status(bool autoCheckIn) const;

    // The answers of save: the first three are those of the conflict check;
    // the last two say another copy deleted what was to be written.
    enum Outcome { CheckFailed = 0, Stored = 1, UserCancelled = 2, ResourceGone = 3, BookingGone = 4 };

    // Stores the booking: inserts it under a new id while iID is below 1,
    // else rewrites it. Either way the period is checked against the other
    // bookings of the resource first, inside the write transaction that
    // stores it, so two copies booking one slot at once cannot both win.
    // Conflicts are shown through the prompt; the user may book anyway, and
    // is asked again only about conflicts that appeared since. A new
    // booking of an item that checks itself in is stored as returned.
    // When the resource, or the booking being rewritten, is no longer stored,
    // nothing is written and the outcome says which is gone.
    Outcome save(bool autoCheckIn, IPrompt &prompt);
    // Deletes the booking iRsvID (this one's when -1); iID is -1 after.
    void Delete(qint32 iRsvID = -1);
    // Marks the booking returned; false when it is no longer stored.
    bool CheckIn();
    void Read(qint32 iRsvID);

    // A stored booking that overlaps the period [from, until) of a resource:
    // it starts before the period ends and ends after it starts. A checked-in
    // booking of a manual item no longer holds it. exceptId is left out.
    struct Conflict
    {
        qint32 id = 0;
        QString line; // booked to, note and period, as the message lists it
    };
    static QList<Conflict> conflicts(DbConnection &connection, qint32 resourceId, double from, double until,
                                     qint32 exceptId);

private:
    Outcome storeIfFree(DbConnection &connection, const QSet<qint32> &accepted, QList<Conflict> &unseen);
    Outcome missingRow(DbConnection &connection) const;
    void Add(DbConnection &connection);
    void Update(DbConnection &connection);
};
