#pragma once

#include "CheckBudget.h"

#include <libical/ical.h>

#include <QDateTime>
#include <QList>

// The starts of one event inside a window, by RFC 5545 3.8.5: DTSTART, every
// RRULE, the RDATE date-times, dates and periods, less the EXDATEs. Repeats
// are walked from near the window where the rule allows it, and every step
// is paid from the check's budget.
class RecurrenceSet
{
public:
    struct Start
    {
        QDateTime start;
        QDateTime end; // an RDATE period's own end; else invalid
    };
    struct Result
    {
        QList<Start> starts;
        bool budgetSpent = false;
        bool unreadableRule = false;
    };

    // Starts in [from, to).
    static Result between(icalcomponent *event, icalcomponent *root, const QDateTime &from, const QDateTime &to,
                          CheckBudget &budget);
};
