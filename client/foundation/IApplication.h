#pragma once

// What the layers below start-up ask of it: the program's close-down, the
// return of the main window from the tray, and the rebuilding of what the
// log-in built once. Start-up implements it; g_application points to it.
class IApplication
{
public:
    virtual ~IApplication() = default;

    // The whole close-down: on-exit status, calendar link, windows, end.
    virtual void closeDownApplication(int unloadMode) = 0;
    // Makes and shows the main window again after it was sent to the tray.
    // Gives false when that failed (the failure has been reported).
    virtual bool reopenMainWindow() = 0;
    // Reads the navigation tree again and shows it in the main window.
    virtual void reloadGroupTree() = 0;
    // The calendar-link switches of the signed-in user, applied again.
    virtual void applyCalendarSettings() = 0;
};
