#pragma once

#include "foundation/CTreeNode.h"

#include <QList>

// Which user groups a user belongs to (rows of UserGroup).
class CUserGroup
{
public:
    // The group nodes of the user, types as stored and without their URL.
    // A database failure is shown in the error dialog and gives what was read.
    QList<CTreeNode> GetGroups(qint32 userID, DbHandle &connection);
    // Raise their failures, so that a caller saving several changes can undo them.
    void AddToGroup(qint32 userID, qint32 groupID, DbHandle &connection);
    void DeleteFromGroup(qint32 userID, qint32 groupID, DbHandle &connection);
};
