#pragma once

#include "RuleCost.h"

#include <libical/ical.h>

#include <QDateTime>

#include <optional>

// Where the library is started on one repeat rule for a window, and what
// the walk from there to the window's end costs at most. A rule is started
// near the window wherever that gives the same starts as a walk from its
// DTSTART: by arithmetic (the n-th start from DTSTART and INTERVAL, COUNT
// lowered by the starts passed, for rules whose periods each hold one start
// or whose grid of steps is even), or by the library's own seek for rules
// of another calendar scale (RFC 7529). Anything else is walked from its
// start and charged for all of it.
struct RulePlan
{
    enum class Road { Arithmetic, Seek, FromStart };

    icalrecurrencetype rule{}; // as the library is given it
    icaltimetype start{};      // DTSTART as walked: a date as its midnight
    icaltimetype first{};      // where the library starts
    icaltimetype seekTo{};     // where it is sought to, on the Seek road
    Road road = Road::FromStart;
    RuleCost cost;
    qint64 charge = 0; // the most the walk costs, set-up and seek included
    bool none = false; // no start of the rule reaches the window
    bool refused = false; // the library finds no start of the rule: it is not handed to it
    qint64 wallFrom = 0, wallTo = 0; // the window's wall clock in the start's zone, its end a little later

    // known: where the rule's cost is kept once worked out, for the checks
    // after (it changes only with the rule).
    static RulePlan of(icalrecurrencetype rule, const icaltimetype &dtstart, const QDateTime &from,
                       const QDateTime &to, bool fromStart, std::optional<RuleCost> *known = nullptr);
    // The wall clock of a time as seconds, its days counted as the library
    // counts them from 1583 on.
    static qint64 wallSeconds(const icaltimetype &t);

private:
    void near(const icaltimetype &at);
};
