#pragma once

#include <QString>

// What the status dialog proposes when a status is chosen, as plain rules so
// that they are tested without the dialog. Times are day numbers; a computed
// time carries into the next day when it passes midnight.
class StatusProposal
{
public:
    // The options a proposal follows: the signed-in user's, or a colleague's.
    struct Options
    {
        qint16 LunchTimePeriod = 0; // minutes
        double WorkStartTime = 0;   // the time part counts
        qint16 BreakPeriod = 0;     // minutes
    };

    static constexpr int kSpinMinutes = 30;

    // The due-back time the status proposes: Lunch and Break count from the
    // out time, Gone Home is the next working day at the work start. Every
    // other status keeps the current value.
    static double dueBack(const QString &code, double outAt, double current, const Options &options);
    // The time moved by whole spin clicks (negative goes back). An empty
    // time (0) stays empty: there is nothing to move.
    static double spin(double value, int clicks);
    // The due-back time first offered when the dialog opens.
    static double initialDueBack(double now);
};
