#pragma once

#include "VCardReader.h"

#include <QObject>
#include <QPointer>
#include <functional>

// The user's contacts for a program with a window: the files are read on a
// thread of their own and kept while they stay as they are, so no address
// book (a huge card, a hundred photos, a folder of links) stops the window.
// One for the whole program.
//
// At most one read runs at a time, and look-ups made while it runs are
// answered by it. Cards are believed only from files that stayed as they
// were while read and for a moment before (a file rewritten in place is
// empty, or half written, for a moment); until then a look-up gets the last
// cards so believed.
class AddressBook
{
public:
    struct Cards
    {
        QList<VCardContact> cards;
        QStringList warnings; // only from a read, so each is told once
    };
    using Done = std::function<void(const Cards &)>;

    // How long the files must have stayed as they are before their cards are
    // believed; longer when they would take every card away or end inside a
    // card.
    static constexpr qint64 SettledMs = 20;
    static constexpr qint64 DoubtfulSettledMs = 1000;
    // Reads made before giving up on files that never settle.
    static constexpr int Attempts = 10;

    // Gives done, on this thread, the cards at path as they are now; never
    // before this returns. Nothing when a context was given and is gone.
    static void fetch(const QString &path, QObject *context, Done done);
    // Reads on the calling thread; what fetch runs on its own.
    static Cards readNow(const QString &path);
};
