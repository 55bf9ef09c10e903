#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class QProcess;

// Hands a whole message to the system's mail submission program on its
// standard input. The command is split into words and run without a shell.
class SendmailPipe : public QObject
{
    Q_OBJECT
public:
    static constexpr int kTimeoutMs = 30000;
    // What is kept of the program's complaints; the rest is counted.
    static constexpr qsizetype kSaidBytes = 4096;
    // Sent: it took the message and ended with 0 in time. Refused: it ended
    // otherwise. TimedOut: it was still running at the time limit. NotStarted:
    // it never ran (no such program, or no command at all).
    enum Result { Sent, Refused, TimedOut, NotStarted };
    using Done = std::function<void(Result result, const QString &said)>;

    // Runs the program while the window goes on; `done` learns, once and
    // never before this returns, how it ended and the start of what it
    // wrote to its error output. A
    // program still running at the time limit is killed, and every process
    // it started with it.
    static void start(const QString &command, const QByteArray &message, Done done, int timeoutMs = kTimeoutMs);

private:
    SendmailPipe(const QString &command, Done done);
    void run(const QByteArray &message, int timeoutMs);
    void readComplaints();
    QString said() const;
    void end(Result result, const QString &why);

    QString m_command;
    Done m_done;
    QProcess *m_process = nullptr;
    QTimer m_timer;
    QByteArray m_said;
    qint64 m_leftOut = 0;
};
