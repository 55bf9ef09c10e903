#pragma once

#include <QString>

class UserListPoll;

// The search band's name search: the active users whose name holds the
// typed text, trimmed, as a run of letters anywhere in the name. Case is
// ignored for every letter, and every character, "%", "_" and the
// apostrophe included, stands for itself. The names are compared here
// rather than by the database, whose case rules differ from engine to engine
// (SQLite folds only A to Z, PostgreSQL as its locale says), so both engines
// give the same rows.
class UserSearch
{
public:
    // The text as names are compared: composed, case folded.
    static QString folded(const QString &text);
    static bool matches(const QString &name, const QString &foldedText);
    // Fills the list under the search node with the matching users; an empty
    // text lists every active user. Gives what the list's refresh gives.
    static qint32 fill(UserListPoll &list, const QString &typed);
};
