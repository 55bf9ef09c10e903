#pragma once

#include <libical/ical.h>

#include <QtGlobal>

// What the library's iterator costs for one repeat rule, in the check's
// steps (about a microsecond of its work each), told from the rule's parts
// before it is paid: a call into the library cannot be stopped once made.
struct RuleCost
{
    qint64 setUp = 0;     // making the iterator
    qint64 perPeriod = 0; // expanding the days of each period it enters
    qint64 worstScan = 0; // what it may pass over, at most, to reach one start
    qint64 toWindow = 1;  // the starts of one period, walked from near a window to it
    bool never = false;   // a month day no month of the rule has: no start at all

    static RuleCost of(const icalrecurrencetype &rule);
    // What the library passed over between two starts so many wall-clock
    // seconds apart.
    qint64 scanned(qint64 seconds) const;
    // What a walk near a window costs in all, for ordering series cheapest first.
    qint64 nearWindow() const;

private:
    qint64 m_unitSeconds = 1; // of one step of the rule
    bool m_scans = false;     // its parts leave steps out
};
