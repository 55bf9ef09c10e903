#pragma once

#include "foundation/ICalendarWatcherFactory.h"

// Runs the calendar watcher program from Tessaly's own folder, and from
// nowhere else, so no other program of that name is ever started.
class CalendarWatcherFactory : public ICalendarWatcherFactory
{
public:
    std::unique_ptr<ICalendarWatcher> create() override;
};
