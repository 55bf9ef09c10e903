#pragma once

#include <QString>

// The rules of the status tool bar without its widgets: what a button's key
// asks for, and what a status button sends.
class StatusToolbar
{
public:
    enum class Command { Mobile, Journal, PhoneMessage, Help, Tray, Broadcast, Chat, Separator, Status };

    // By key, ignoring case; any key that is not a tool is a status code.
    static Command commandFor(const QString &key);

    struct Note
    {
        QString text;
        bool typed = false; // from the note box, to be remembered
    };
    // The note box's text as typed when it holds more than blanks, else the
    // signed-in user's quick note for the status. Tokens are not expanded.
    static Note noteFor(const QString &statusCode, const QString &boxText);

    // The due-back moment from the date-and-time box: none (0) stays none;
    // a time with no date counts for today; a moment already past means the
    // same time tomorrow.
    static double dueBackFrom(double chosen, double now);

    // A new chat room: the user's name and the moment as a day number.
    static QString chatRoomId(const QString &realName, double now);

    // The phone message needs a selected person in a shown user list.
    static bool canSendPhoneMessage(const QString &selectedKey, bool userListVisible, bool reservationsVisible);
};
