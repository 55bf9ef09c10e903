#pragma once

#include "IShell.h"

// The desktop's own opener.
class QtShell : public IShell
{
public:
    bool openUrl(const QUrl &url) override;

    // Whether the desktop names a program for mailto: addresses.
    static bool desktopTakesMail();
};
