#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// The end of a session that comes as a signal: SIGTERM (a log-out without a
// session manager, the system's shutdown) and SIGHUP (the terminal or remote
// session gone). The handler only writes the signal's number to a socket; the
// window's thread reads it there and runs `onSignal`, where anything may be
// done. A second such signal, once the first was taken, ends the program as
// the system would, should its close-down hang.
class SessionEndSignals : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void(int signalNumber)>;

    explicit SessionEndSignals(Handler onSignal);
    ~SessionEndSignals() override;

private:
    void readSignals();

    Handler m_onSignal;
    QSocketNotifier *m_notifier = nullptr;
};
