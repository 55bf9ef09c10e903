#pragma once

#include <QString>

class CEntity;

// What the update timer reads and runs on each poll; the program's globals
// behind it, a recording stand-in in tests.
class IUpdateTimerActions
{
public:
    virtual ~IUpdateTimerActions() = default;

    // 1 poll, 2 mark-out time, 3 no main window, 4 main window hidden or minimised.
    virtual qint16 canPollDatabase() = 0;
    virtual bool hasMainWindow() const = 0;
    virtual QString viewType() const = 0;        // "GRP" users, "RSG" resources, ...
    // The user list's poll of the current node; checksOnly runs only its
    // checks (the calendar among them).
    virtual void refreshUserList(bool checksOnly) = 0;
    // The user list's pending-status and watch-list checks, without reading
    // the list.
    virtual void runListChecks() = 0;
    virtual bool selectedListItem(CEntity &item) const = 0;
    virtual void refreshReservations(const CEntity &resource) = 0;
    virtual bool needToDoMarkout() const = 0;
    virtual void markOutDone() = 0;
    virtual void markAllUsersOut() = 0;
    virtual void checkMyStatus() = 0;
    // The calendar is read inside this program, not by the watcher process.
    virtual bool calendarInProcess() const = 0;
};
