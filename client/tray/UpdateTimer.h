#pragma once

#include <QString>
#include <functional>

class IUpdateTimerActions;

// The rules of the tray window's update timer: it ticks every 5000 ms, and
// after every PollThreshold + 1 ticks asks what to do and does it.
class UpdateTimer
{
public:
    static constexpr int kIntervalMs = 5000;

    explicit UpdateTimer(IUpdateTimerActions &actions) : m_actions(actions) {}

    // Ticks between two polls, minus one; the log-in and the options dialog set it.
    qint16 PollThreshold = 18;
    qint16 pollCounter() const { return m_iPollCounter; }

    // One tick. A tick that arrives while a poll runs (the poll pumps events)
    // does nothing, not even count.
    void tick();
    // Does what the answer of CanPollDatabase asks for.
    void dispatch(qint16 code);

private:
    void poll();
    void markOut();
    void checkOwnStatus();
    // Runs one step; a failure goes to the error log and the next step runs.
    void step(const std::function<void()> &work);

    IUpdateTimerActions &m_actions;
    qint16 m_iPollCounter = 10;
    bool m_polling = false;
};
