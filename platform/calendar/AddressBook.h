#pragma once

#include "VCardReader.h"

#include <QObject>
#include <QPointer>
#include <functional>

// The user's contacts for a program with a window: the files are read on a
// thread of their own and kept while they stay as they are, so no address
// book (a huge card, a hundred photos, a folder of links) stops the window.
// One for the whole program.
class AddressBook
{
public:
    struct Cards
    {
        QList<VCardContact> cards;
        QStringList warnings; // only from a read, so each is told once
    };
    using Done = std::function<void(const Cards &)>;

    // Gives done, on this thread, the cards at path as they are now; never
    // before this returns. Nothing when a context was given and is gone.
    static void fetch(const QString &path, QObject *context, Done done);
    // Reads on the calling thread; what fetch runs on its own.
    static Cards readNow(const QString &path);
};
