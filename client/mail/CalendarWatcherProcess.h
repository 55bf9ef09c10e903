#pragma once

#include "foundation/ICalendarWatcherFactory.h"
#include "platform/calendar/WatcherChannel.h"

#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTimer>

// The calendar watcher program as Tessaly runs it: started at the first
// Start, told its commands one JSON line each, and heard through its events.
// A watcher that dies on its own is started again after one period, at most
// three times a run. Nothing it says after CloseDown is passed on.
class CalendarWatcherProcess : public QObject, public ICalendarWatcher
{
public:
    CalendarWatcherProcess(const QString &program, const QStringList &arguments);
    ~CalendarWatcherProcess() override;

    void Start(qint32 periodMs) override;
    void CloseDown() override;

    static constexpr int MaxRestarts = 3;
    static constexpr int CloseDownWaitMs = 2000;
    qint64 processId() const { return m_process.processId(); }

private:
    void launch();
    void send(const QByteArray &line);
    void event(const QString &name, const QJsonObject &message);
    void finished();
    void readErrors();

    QString m_program;
    QStringList m_arguments;
    QProcess m_process;
    WatcherChannel m_channel{WatcherChannel::Direction::Events};
    QTimer m_restartTimer;
    qint32 m_period = 0;
    int m_restarts = 0;
    bool m_closed = true;
    QByteArray m_errorText;
};
