#pragma once

#include <QString>

// One active user with his four rights, as the administrator's list shows them.
struct UserRights
{
    qint32 UserID = 0;
    QString RealName;
    bool Admin = false;
    bool ChangeStatus = false;
    bool FastUpdates = false;
    bool Timesheet = false;
};
