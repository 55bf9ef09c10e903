#pragma once

#include <QString>

// What closing the main window leads to, by how it was closed (the unload
// mode: 0 close box, 1 the program, 2 the session ending, 3 a task manager)
// and what the program is doing.
class QueryUnload
{
public:
    enum class Action {
        Unload,            // a close-down is under way: let the window go
        RaiseDoExit,       // the close box: the owner closes the program; the window stays
        CloseDown,         // File Exit: run the close-down, which unloads the window
        UnloadToTray,      // File To Sys-Tray: the window goes, the program stays
        HideAndCloseLink,  // anything else: hide, close the calendar link, unload
    };

    static Action decide(int unloadMode, bool closingDown, bool exitRequested);
    static QString reason(int unloadMode);
    // The debug-log line written for every request.
    static QString logLine(int unloadMode, bool closingDown, const QString &windowName);
};
