#include "CUser.h"

#include "MADOFunctions.h"
#include "platform/AppError.h"

qint32 CUser::Delete(qint32 userID)
{
    try {
        DbHandle none;
        Update(QStringLiteral("UPDATE STAFF_STATUS SET IsActive = 0 WHERE UserID = ?"), none, {userID});
    } catch (const AppError &e) {
        throw AppError(ErrNo::Raised,
                       QStringLiteral(".DeleteUser (%1)\r\n").arg(e.number()) + e.source(),
                       e.description());
    }
    return ErrNo::Success;
}
