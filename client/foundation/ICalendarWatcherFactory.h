#pragma once

#include <QString>
#include <functional>
#include <memory>

// The calendar watcher running in its own process, as the client controller
// holds it: started with a period, closed down at the end, and heard through
// its two events.
class ICalendarWatcher
{
public:
    virtual ~ICalendarWatcher() = default;
    virtual void Start(qint32 periodMs) = 0;
    virtual void CloseDown() = 0;

    // id tells one appointment's occurrence and edit from every other.
    std::function<void(const QString &status, const QString &note, double outAt, double dueBack, double modTime,
                       const QString &id)>
        onNeedToUpdateStatus;
    std::function<void(const QString &message)> onStatusBarMessage;
};

class ICalendarWatcherFactory
{
public:
    virtual ~ICalendarWatcherFactory() = default;
    // Gives an empty pointer where the watcher cannot be started.
    virtual std::unique_ptr<ICalendarWatcher> create() = 0;
};

class NoCalendarWatcher : public ICalendarWatcherFactory
{
public:
    std::unique_ptr<ICalendarWatcher> create() override { return nullptr; }
};
