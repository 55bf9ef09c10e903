#pragma once

#include <QtGlobal>

// Users, rights and the administrator's routines.
class CClientAdmin
{
public:
    // The nightly sweep that marks out everyone still in. Gives 10000.
    qint32 MarkAllUsersOut();
};
