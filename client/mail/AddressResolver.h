#pragma once

#include "platform/calendar/VCardReader.h"

#include <QList>
#include <QStringList>
#include <functional>

class QObject;

// Names as mail addresses, found among the board's users first, then in the
// user's contacts; what mail and appointments both resolve with.
class AddressResolver
{
public:
    using Done = std::function<void(const QList<VCardContact> &)>;

    // A name from the user table or the contacts as a mail address; an
    // address stays as it is; empty when it cannot be found.
    static QString resolveAddress(const QString &nameOrAddress, const QList<VCardContact> &contacts);
    // Gives done the contacts the names need: read off the window's thread
    // when any of them (blank ones aside) is not a user's; at once and none
    // otherwise.
    static void forNames(const QStringList &names, Done done);
    // Gives done, on this thread, the user's contacts once they are read off
    // it; a file left out is named once in the debug log. Nothing when a
    // context was given and is gone.
    static void withContacts(QObject *context, Done done);
    // The name a card is known by: its full name, else first and last.
    static QString fullName(const VCardContact &c);
};
