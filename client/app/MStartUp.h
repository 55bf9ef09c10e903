#pragma once

#include <QString>
#include <QStringList>

// The life of one run: entry, the two long-lived windows, close-down.

// What the command line asks for, read after Qt has taken its own options.
struct CommandLine
{
    bool admin = false;     // "-admin": administration for this run
    bool doMarkOut = false; // "-domarkout": the nightly sweep, then end
    static CommandLine parse(const QStringList &arguments); // arguments without the program name
};

// The whole start-up. Gives false when the program ended early (the mark-out
// run or a second copy) and there is nothing to run an event loop for.
bool Main(const QStringList &arguments);

// The ordered close-down; ends the program. Runs once, however often called.
void CloseDownApplication(int unloadMode);
// The display has gone under the program (its session ended): the steps of
// the close-down that need none, those a close-down under way has not yet
// run: the on-exit status and its announcement, the calendar link, the
// processes the program started. The windows are left. Ends the program;
// returns only when called again while it runs.
void CloseDownWithoutDisplay();
void StartUserInterface();
void ReleaseUserInterface();
void ShowMainWindow();

// For tests: forget that a close-down ran.
void ResetCloseDownForTests();
