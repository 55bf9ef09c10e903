#pragma once

#include "IShell.h"

// The desktop's own opener.
class QtShell : public IShell
{
public:
    bool openUrl(const QUrl &url) override;

    // Asks the desktop, without waiting, which program takes mailto:
    // addresses; the program asks at its start.
    static void askDesktopForMail();
    // False when the desktop's last answer named no program for mailto:
    // addresses; true when it named one or could not say (the opener then
    // has its try). Asks again for the next time unless one was named.
    static bool desktopTakesMail();
};
