#pragma once

#include "CReservation.h"
#include "KeyedCollection.h"

namespace QelWeb {

// The bookings of one resource that have not ended before today.
class CReservationList
{
public:
    // Keyed "RSV" + id, by their start. sResourceId must be a whole number;
    // anything else raises AppError before any statement runs.
    KeyedCollection<CReservation> LoadReservationList(const QString &sResourceId) const;
};

} // namespace QelWeb
