#include "CUserGroup.h"

#include "foundation/ConnectionScope.h"
#include "foundation/CounterAllocator.h"
#include "foundation/CTreeNode.h"
#include "foundation/MErrorHandler.h"
#include "platform/AppError.h"

namespace {

// A change of membership takes a new change counter on the user's row, so
// that every copy's next poll of the group adds or drops him.
void changeMembership(const QString &sql, qint32 userID, qint32 groupID, DbHandle &connection)
{
    CounterAllocator::inWriteTransaction(connection, [&](DbConnection &c) {
        if (c.execute(sql, {userID, groupID}) == 0)
            return;
        c.execute(QStringLiteral("UPDATE STAFF_STATUS SET LastUpdated = ? WHERE UserID = ?"),
                  {CounterAllocator::nextLastUpdated(c), userID});
    });
}

} // namespace

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
    changeMembership(QStringLiteral("INSERT INTO UserGroup (UserID, GroupID) VALUES (?, ?)"), userID, groupID,
                     connection);
}

void CUserGroup::DeleteFromGroup(qint32 userID, qint32 groupID, DbHandle &connection)
{
    changeMembership(QStringLiteral("DELETE FROM UserGroup WHERE UserID = ? AND GroupID = ?"), userID, groupID,
                     connection);
}
