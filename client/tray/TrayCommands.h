#pragma once

#include <QString>

class ITrayWindow;

// What the tray icon and its menu do, apart from the widgets.
class TrayCommands
{
public:
    // Sets the signed-in user's status chosen in the tray menu, with his
    // quick note for it; failures go to the error dialog.
    static void changeStatusFromTray(const QString &code);
    // Brings the main window back in the state it had when it went to the
    // tray; makes it again (and restarts the tray's timer) when it was unloaded.
    static void restoreMainWindow(ITrayWindow &tray);
};
