#pragma once

#include "foundation/Globals.h"
#include "foundation/IMainWindow.h"

#include <QIcon>
#include <QString>

// What the options dialog asks of the main window beyond IMainWindow. The
// main window implements it next to IMainWindow; the dialog finds it there.
class IUserOptionsHost
{
public:
    virtual ~IUserOptionsHost() = default;

    static IUserOptionsHost *ofMainWindow() { return dynamic_cast<IUserOptionsHost *>(g_frmMain.get()); }

    // The key of the user list's selected item ("USR12", "RES3"); empty when none.
    virtual QString selectedListItemKey() const = 0;
    // The administration entry of the pop-up menu.
    virtual void setAdminMenuEnabled(bool enabled) = 0;
    // The user list's and the tree's icons: 16 (small) or 32 pixels.
    virtual void setListIconSize(int pixels) = 0;
    // A picture of the window's small image list by its key; null when none.
    virtual QIcon smallImage(const QString &imageKey) const = 0;
};
