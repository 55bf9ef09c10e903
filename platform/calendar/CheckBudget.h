#pragma once

#include <QDeadlineTimer>
#include <atomic>

// What one calendar check may spend on expanding repeats, over all its files
// and events together: a number of steps and a time, whichever ends first.
// A small file with a few hundred rules that repeat every second would
// otherwise stop the check for most of a minute.
class CheckBudget
{
public:
    static constexpr qint64 DefaultSteps = 400000;
    static constexpr qint64 DefaultMs = 2000;

    explicit CheckBudget(qint64 steps = DefaultSteps, qint64 ms = DefaultMs,
                         const std::atomic_bool *cancelled = nullptr);

    // Takes one step; false once the budget is spent.
    bool spend();
    bool spent() const { return m_spent; }

private:
    qint64 m_steps;
    QDeadlineTimer m_deadline;
    const std::atomic_bool *m_cancelled;
    bool m_spent = false;
};
