#pragma once

#include <QDeadlineTimer>
#include <atomic>

// What one calendar check may spend on expanding repeats, over all its files
// and events together: a number of steps and a time, whichever ends first,
// and nothing more once the check is cancelled. A small file with a few
// hundred rules that repeat every second would otherwise stop the check for
// most of a minute.
//
// The budget is handed out in shares, so a costly series cannot take what a
// cheap one after it needs: each series is given an equal part of what is
// left, and the rest goes to those a part was not enough for. Work the
// library does in one call is taken as several steps at once, before the
// call is made.
class CheckBudget
{
public:
    static constexpr qint64 DefaultSteps = 400000;
    static constexpr qint64 DefaultMs = 2000;

    explicit CheckBudget(qint64 steps = DefaultSteps, qint64 ms = DefaultMs,
                         const std::atomic_bool *cancelled = nullptr);

    // The time runs from here: reading the files is not expanding them.
    void startClock();
    // From here on steps are taken from one of parts equal shares of what is
    // left, or from a share of least steps where what is left holds them,
    // until the next share begins. The time is shared as the steps are.
    void beginShare(qint64 parts, qint64 least = 0);
    // Takes so many steps; false, and none taken, once they pass the share,
    // the budget or the check.
    bool spend(qint64 steps = 1);
    // Whether so many steps are left in the share, none taken.
    bool holds(qint64 steps) const { return !spent() && steps <= m_shareSteps; }
    qint64 stepsLeft() const { return m_steps; }
    // The whole budget is gone, or the check was cancelled.
    bool spent() const { return m_spent || cancelled(); }
    bool cancelled() const { return m_cancelled && m_cancelled->load(std::memory_order_relaxed); }
    const std::atomic_bool *cancelFlag() const { return m_cancelled; }
    // The work the library's calls did, as they were paid: what a series was
    // charged beforehand must cover it.
    void countLibrary(qint64 work) { m_libraryWork += work; }
    qint64 libraryWork() const { return m_libraryWork; }

private:
    qint64 m_ms;
    qint64 m_steps;
    QDeadlineTimer m_deadline;
    qint64 m_shareSteps;
    QDeadlineTimer m_shareDeadline;
    qint64 m_taken = 0;
    qint64 m_libraryWork = 0;
    qint64 m_nextClockRead = 16;
    const std::atomic_bool *m_cancelled;
    bool m_spent = false;
};
