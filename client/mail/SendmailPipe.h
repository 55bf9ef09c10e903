#pragma once

#include <QByteArray>
#include <QString>

// Hands a whole message to the system's mail submission program on its
// standard input. The command is split into words and run without a shell.
class SendmailPipe
{
public:
    static constexpr int kTimeoutMs = 30000;

    // True when the program took the message and ended with 0 in time.
    static bool send(const QString &command, const QByteArray &message, int timeoutMs = kTimeoutMs);
};
