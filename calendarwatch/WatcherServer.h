#pragma once

#include "COutlook.h"

#include "platform/calendar/WatcherChannel.h"

#include <QObject>
#include <QSocketNotifier>

// The watcher's side of the talk with Tessaly: commands read from standard
// input, events written to standard output, problems to standard error
// (which Tessaly puts in its debug log). It ends the program when its input
// closes, which is how it learns that Tessaly has gone.
class WatcherServer : public QObject
{
public:
    WatcherServer(int inputFd, int outputFd, qint32 firstIntervalMs = 10000);

    COutlook &outlook() { return m_outlook; }

private:
    void readInput();
    void command(const QString &name, const QJsonObject &message);
    void send(const QByteArray &line);

    int m_inputFd;
    int m_outputFd;
    COutlook m_outlook;
    WatcherChannel m_channel{WatcherChannel::Direction::Commands};
    QSocketNotifier m_notifier;
};
