#pragma once

#include <libical/ical.h>

#include <QDateTime>
#include <QStringList>

#include <atomic>

// Times and time zones of a parsed iCalendar file.
namespace IcsTime {
// Loads the library's table of the system's zones, once for every thread.
// The library fills it on first use without holding back a second thread
// that reads it meanwhile, so it is loaded here before any file is read.
void loadZones();
// The moment a time stands for: in its zone, in UTC, or floating in the
// desktop's own time; a date is its local midnight.
QDateTime momentOf(const icaltimetype &t);
// A moment as a time of the same kind as like: a date, UTC, the wall clock
// of like's zone labelled with that zone, or floating.
icaltimetype timeLike(const QDateTime &moment, const icaltimetype &like);
// Made ready before any time is read from the file: a zone whose rules
// repeat too often to be worked out is dropped, and a TZID that names no
// zone of the file is pointed at the zone the system knows by that name, its
// trailing Area/City or as a Windows zone name, of the names the zone
// database and Qt list; failing all, its times float. No other name is ever
// looked up, so no file outside the zone database is opened.
// Stops, the file half settled, when cancelled is set.
void settleZones(icalcomponent *root, const QString &fileName, QStringList &warnings,
                 const std::atomic_bool *cancelled = nullptr);
// The zone a property's TZID names, of the file or of the system.
icaltimezone *zoneOf(icalproperty *property, icalcomponent *root);
} // namespace IcsTime
