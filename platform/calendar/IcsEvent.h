#pragma once

#include "CalendarAppointment.h"

#include <libical/ical.h>

// One VEVENT as the status check sees it.
namespace IcsEvent {
// The event as one occurrence at its own start. Its end is invalid when the
// event gives a length no calendar can hold.
CalendarAppointment appointmentOf(icalcomponent *event, const QString &fileName, int position);
// Whether the event gives both DTEND and DURATION, which RFC 5545 forbids;
// its DTEND is taken.
bool hasEndAndLength(icalcomponent *event);
} // namespace IcsEvent
