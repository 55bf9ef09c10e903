#pragma once

#include <QDateTime>

// The one source of "now" for every rule that depends on the time of day.
// Tests pin it to a fixed moment; the program leaves it on the system clock.
class Clock
{
public:
    static QDateTime now();
    static double nowDays(); // now as a day number (see DateUtil)
    // Now as milliseconds since the epoch, for measuring spans: no local
    // time is worked out, which costs more than the rest of a pool's work.
    static qint64 nowMs();

    static void pin(const QDateTime &moment);
    static void advance(qint64 msecs); // moves a pinned clock on
    static void unpin();
    static bool isPinned();

    // With TZ unset the C library looks at /etc/localtime again on every
    // local-time conversion; naming the zone file once spares that. Call it
    // at the start of a program, before any thread starts.
    static void settleTimeZone();
};
