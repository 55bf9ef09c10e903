#pragma once

#include <QString>

// When a click on the user list opens the status dialog.
class UserListClicks
{
public:
    // Whether a click at (x, y) lands on the status icon of a row whose
    // rectangle starts at (rowLeft, rowTop), in the list style shown; all in
    // twips. The bounds are strict.
    static bool onStatusIcon(int viewMode, int rowLeft, int rowTop, int x, int y);
    // Only rows of people, and only with the right.
    static bool mayEditStatus(const QString &rowKey, bool canChangeStatus);
};
