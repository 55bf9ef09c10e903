#include "CAuthentication.h"

#include "MWebGlobalData.h"
#include "SqlRunner.h"
#include "platform/AppError.h"
#include "platform/DataSourceRegistry.h"
#include "platform/StoredText.h"

namespace QelWeb {

KeyedCollection<QVariant> CAuthentication::checkuser(const QString &sUserName) const
{
    KeyedCollection<QVariant> result;
    // Log-in names are stored as the program stores them: upper case, with
    // the stored-text convention.
    RecordSet rs;
    try {
        rs = RunSQLReturnRS(QStringLiteral("SELECT SS.RealName, SS.UserID, SS.IsIn "
                                           "FROM STAFF_STATUS SS, STAFF_OPTIONS SO WHERE SO.UserID = SS.UserID "
                                           "AND SO.LoginName = ? AND SS.IsActive = 1 ORDER BY SS.UserID"),
                            {EncodeQuotes(sUserName.trimmed().toUpper())});
    } catch (const AppError &) {
        // The runner has logged it; the page is told in the answer itself,
        // which says why no one was found.
        result.add(QStringLiteral("auth"), false);
        result.add(QStringLiteral("reason"), QStringLiteral("Problem accessing database:")
                                                 + DataSourceRegistry::masked(GetConnectionString()));
        return result;
    }
    if (!rs.eof()) {
        result.add(QStringLiteral("auth"), true);
        result.add(QStringLiteral("RealName"), DecodeQuotes(rs.text(QStringLiteral("RealName")).trimmed()));
        result.add(QStringLiteral("UserId"), qint32(rs.integer(QStringLiteral("UserID"))));
        result.add(QStringLiteral("Status"), rs.text(QStringLiteral("IsIn")).trimmed());
    } else {
        result.add(QStringLiteral("auth"), false);
        result.add(QStringLiteral("uname"), sUserName);
        result.add(QStringLiteral("reason"), QStringLiteral("User '") + sUserName
                                                 + QStringLiteral("' not found in database"));
    }
    return result;
}

} // namespace QelWeb
