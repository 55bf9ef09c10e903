#include "CUserGroup.h"

#include "foundation/ConnectionScope.h"
#include "foundation/CTreeNode.h"
#include "foundation/MErrorHandler.h"
#include "platform/AppError.h"

QList<CTreeNode> CUserGroup::GetGroups(qint32 userID, DbHandle &connection)
{
    QList<CTreeNode> groups;
    try {
        ConnectionScope scope(connection);
        for (RecordSet rs = OpenADORecordSet(scope.handle(),
                                             QStringLiteral("SELECT T.* FROM TreeNode T, UserGroup U "
                                                            "WHERE U.GroupID = T.ID AND U.UserID = ? ORDER BY T.ID"),
                                             true, {userID});
             !rs.eof(); rs.moveNext())
            groups.append(CTreeNode::fromRow(rs, true));
    } catch (const AppError &e) {
        ErrorDialog(e.number(), e.description(), QStringLiteral("CUserGroup.GetGroups\r\n") + e.source());
    }
    return groups;
}

void CUserGroup::AddToGroup(qint32 userID, qint32 groupID, DbHandle &connection)
{
    Update(QStringLiteral("INSERT INTO UserGroup (UserID, GroupID) VALUES (?, ?)"), connection, {userID, groupID});
}

void CUserGroup::DeleteFromGroup(qint32 userID, qint32 groupID, DbHandle &connection)
{
    Update(QStringLiteral("DELETE FROM UserGroup WHERE UserID = ? AND GroupID = ?"), connection, {userID, groupID});
}
