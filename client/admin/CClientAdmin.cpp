#include "CClientAdmin.h"

#include "AppError.h"

qint32 CClientAdmin::MarkAllUsersOut()
{
    return ErrNo::Success;
}
