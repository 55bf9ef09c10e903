#include "CUserList.h"

#include "SqlRunner.h"

#include <algorithm>

namespace QelWeb {

QList<CUser> CUserList::LoadUserList(qint32 iGroupID) const
{
    const auto rs = RunSQLReturnRS(QStringLiteral("SELECT S.* FROM STAFF_STATUS S, UserGroup G WHERE G.GroupID = ? "
                                                  "AND G.UserID = S.UserID AND S.IsActive = 1"),
                                   {iGroupID});
    QList<CUser> users;
    for (RecordSet rows = rs; !rows.eof(); rows.moveNext())
        users.append(CUser::fromRow(rows));
    // Sorted here, not by the database: the engines' collations order names differently.
    std::stable_sort(users.begin(), users.end(), [](const CUser &a, const CUser &b) {
        const int byName = a.Name.compare(b.Name, Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a.ID < b.ID;
    });
    return users;
}

} // namespace QelWeb
