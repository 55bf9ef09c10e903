#pragma once

#include "CheckBudget.h"
#include "RuleCost.h"

#include <libical/ical.h>

#include <QDateTime>
#include <QList>
#include <QStringList>

#include <optional>

// The starts of one event inside a window, by RFC 5545 3.8.5: DTSTART, every
// RRULE, the RDATE date-times, dates and periods, less the EXDATEs. Every
// step is paid from the check's budget: each repeat walked, each added or
// excluded date, each zone looked up. Only starts inside the window are
// kept, however many are walked to reach it.
class RecurrenceSet
{
public:
    // How repeats are found: walked from the event's start, as a full
    // expansion does, or sought near the window where the rule allows it,
    // which must give the same starts.
    enum class Walk { FromStart, Near };

    struct Start
    {
        QDateTime start;
        QDateTime end; // an RDATE period's own end; else invalid
    };
    struct Result
    {
        QList<Start> starts;
        bool cut = false; // the budget ended before the set was complete
        bool unreadableRule = false;
        QStringList refusedRules; // rules the library finds no start of, as written
    };

    // Where the costs of an event's rules are kept once worked out, one a
    // rule in the order of the event, for the checks after.
    using KnownCosts = QList<std::optional<RuleCost>>;

    // Starts in [from, to), and the RDATE periods that start before to and
    // end after from, of the event starting at dtstart.
    static Result between(icalcomponent *event, const icaltimetype &dtstart, icalcomponent *root, const QDateTime &from,
                          const QDateTime &to, Walk walk, CheckBudget &budget, KnownCosts *known = nullptr);
};
