#pragma once

class QApplication;

// What the program sets on its application object before any window opens:
// its name, that closing the last window does not end it (the tray stays),
// and one icon for every window and message box that sets none of its own
// (the chat room, the instant message, the notices), where the window
// manager would otherwise show its default.
void SetUpApplication(QApplication &app);

// What must be set before the application object is made: the web engine,
// loaded on the first web page, shares its drawing contexts with the
// program's windows.
void PrepareApplication();
