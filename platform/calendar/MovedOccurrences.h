#pragma once

#include "CalendarAppointment.h"

#include <QDateTime>
#include <QList>
#include <QSet>
#include <optional>

// The entries of one series that move or cancel its occurrences
// (RECURRENCE-ID), as one check reads them. An occurrence finds the entry
// that concerns it in a few steps, however many there are.
class MovedOccurrences
{
public:
    // An entry for the occurrence at original; with andLater
    // (RANGE=THISANDFUTURE) for that one and every later one.
    void add(const QDateTime &original, const CalendarAppointment &entry, bool cancelled, bool andLater);
    // Orders what was added; once, before the look-ups.
    void settle();

    // The occurrence the series' own rule starts at start (ending at end when
    // an added period gives it its own end), as the entries leave it: none
    // when it has an entry of its own or was cancelled.
    std::optional<CalendarAppointment> occurrence(const CalendarAppointment &master, const QDateTime &start,
                                                  const QDateTime &end) const;
    // How long before a window an occurrence may start and still reach into
    // it, and how long after it one may start that is moved into it. (A whole
    // day is an hour longer on the day the clocks change.)
    std::pair<qint64, qint64> reach(const CalendarAppointment &master) const;

private:
    // Moments as seconds: a date-time in the desktop's zone is worked out
    // again at every comparison, and there may be thousands.
    struct Later
    {
        qint64 original;
        qint64 shift;  // from the original start to the entry's
        qint64 length; // of the entry; -1: it has no end
        CalendarAppointment entry;
        bool cancelled = false;
    };

    QSet<qint64> m_own;   // starts replaced by an entry of their own
    QList<Later> m_later; // by their original start
};
