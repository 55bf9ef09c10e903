#pragma once

#include <QObject>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

class QSocketNotifier;

// The end of a session that comes as a signal: SIGTERM (a log-out without a
// session manager, the system's shutdown), SIGHUP (the terminal or remote
// session gone), SIGINT and SIGQUIT (Ctrl-C or Ctrl-\ in the terminal the
// program was started from). A signal ignored when the program started (as
// nohup or a shell's background job leave them) stays ignored. The handler
// only writes the signal's number to two sockets.
// The window's thread reads one and runs `onSignal` for the first signal, where
// anything may be done; later ones do not cut that short. A thread of its own
// reads the other: should the program still run `bound` after the first
// signal (a close-down that hangs), it ends the processes the program started
// and ends the program with the code of one the signal ended (128 + its
// number), the debug log told so first, and whether the user's on-exit status
// was settled.
class SessionEndSignals : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void(int signalNumber)>;
    static constexpr std::chrono::milliseconds kCloseDownBound{10000};

    explicit SessionEndSignals(Handler onSignal, std::chrono::milliseconds bound = kCloseDownBound);
    ~SessionEndSignals() override;

    // A close-down that no signal started (the display gone) is watched as
    // one a signal started; should it hang, the program ends with code 1.
    static void watchCloseDown();
    // The user's on-exit status is as he chose it (written, or none due).
    static void recordStatusSettled();

private:
    void readSignals();

    Handler m_onSignal;
    QSocketNotifier *m_notifier = nullptr;
    bool m_heard = false;
    std::thread m_watchdog;
    std::vector<int> m_taken; // the signals whose handler is ours
};
