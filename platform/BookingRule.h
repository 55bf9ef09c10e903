#pragma once

#include "RecordSet.h"

#include <QtGlobal>

class DbConnection;

// When a resource is taken, the one rule of every writer of bookings (the
// program's copies and the web pages alike), so that of any number of them
// booking one slot exactly one wins. Read inside the writer's transaction,
// after it locked the Reservation table.
namespace BookingRule {

// The bookings that hold the resource in the period, earliest first, with
// their ID, BookedTo, Note, ReservedFrom and ReservedUntil. Periods that only
// touch do not clash; of a resource that must be checked in, a booking
// already returned no longer holds it. exceptId: the booking being edited.
RecordSet holding(DbConnection &connection, qint32 resourceId, double from, double until, qint32 exceptId = 0);

// Whether the resource still exists. On PostgreSQL its row is then held until
// the transaction ends, so no other writer deletes it meanwhile.
bool resourceExists(DbConnection &connection, qint32 resourceId);

} // namespace BookingRule
