#pragma once

#include "GroupMembership.h"
#include "OptionsValues.h"
#include "foundation/QuickNoteTable.h"

#include <QList>

// Saves what the options dialog holds: first the database, in one
// transaction (the user's rows, quick notes and group changes), then, when
// the dialog shows the signed-in user, the running program and this
// machine's settings; last the navigation tree is rebuilt.
class COptionsSaver
{
public:
    struct Request
    {
        OptionsValues values;       // validated
        qint32 userID = 0;          // 0 for a new user
        bool isNewUser = false;
        QuickNoteTable quickNotes;
        QList<GroupMembership::Change> groupChanges;
        bool calendarAllowed = true; // the system switch of the calendar link
    };

    // Gives the user's id (a new user's new one). A database failure is
    // raised before anything of the running program changed.
    qint32 saveOptions(const Request &request);
    // The dialog edits the signed-in user (not adding one).
    static bool isSelf(const Request &request);

private:
    static qint32 writeDatabase(const Request &request);
    static void writeExistingUser(DbHandle &connection, const Request &request);
    static void writeGroupChanges(DbHandle &connection, const Request &request, qint32 userID);
    static void applyToProgram(const Request &request);
    static void applyToCurrentUser(const OptionsValues &values);
    static void applyLanguage(const QString &code);
    static void applyAdmin(bool admin);
    static void applyCalendar(const Request &request);
    static void tellNextStart(const QString &what, const QString &title);
    static void applyDisplaySettings(const OptionsValues &values);
    static void rebuildTree(bool self);

    // The watcher process was chosen in this run, to begin at the next start.
    static bool s_watcherChosenForNextStart;
};
