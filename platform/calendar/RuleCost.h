#pragma once

#include <libical/ical.h>

#include <QtGlobal>

// What the library's iterator costs for one repeat rule, in the check's
// steps (about a microsecond of its work each), told from the rule's parts
// before it is paid: a call into the library cannot be stopped once made.
struct RuleCost
{
    qint64 setUp = 0;     // making the iterator, or seeking it, up to its first start
    qint64 perPeriod = 0; // expanding the days of each period it enters
    qint64 worstScan = 0; // what it may pass over, at most, to reach one start
    qint64 toWindow = 1;  // the starts of one period
    bool never = false;   // no start from the library, which one call would search for: not handed to it

    static RuleCost of(const icalrecurrencetype &rule);
    // What the library passed over between two starts so many wall-clock
    // seconds apart, and the periods it entered.
    qint64 scanned(qint64 seconds) const;
    qint64 entered(qint64 periods) const;
    // What one call may cost at most, held before it is made.
    qint64 worstCall() const { return 1 + worstScan + m_gapPeriods * perPeriod; }
    // What a walk of so many wall-clock seconds from where the library
    // starts costs at most, of at most so many starts (COUNT; 0: any).
    qint64 walk(qint64 seconds, qint64 mostStarts) const;
    // The longest wall-clock span of one period of the rule.
    qint64 longestPeriod() const { return m_longest; }

private:
    qint64 m_unitSeconds = 1;  // of one step of the rule
    qint64 m_shortest = 1;     // of one period
    qint64 m_longest = 1;
    qint64 m_gapPeriods = 1;   // the periods the library may pass to reach a start
    qint64 m_passedOver = 0;   // the most seconds it passes over to reach a start
    bool m_scans = false;      // its parts leave steps out
};
