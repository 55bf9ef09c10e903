#pragma once

#include "platform/DbConnection.h"

#include <QHash>
#include <QString>

class CTreeNode;

// What the database must still hold for a tree node to be saved or deleted.
// Each check runs on the connection of the write transaction that then makes
// the change, so another copy cannot slip a change in between.
class TreeNodeChecks
{
public:
    // Why the node cannot be stored as it is, or "" when it can: its parent
    // is gone, is the node itself or lies below it; an edited node is gone;
    // a resource group holding resources would lose its kind.
    static QString saveRefusal(DbConnection &c, const CTreeNode &node);
    // Whether the node still has child nodes or resources.
    static bool holdsItems(DbConnection &c, qint32 nodeID);
    static bool holdsResources(DbConnection &c, qint32 nodeID);

    // Whether ancestor is node itself or one of the nodes above it, following
    // the map of node id to parent id.
    static bool isWithin(const QHash<qint32, qint32> &parents, qint32 node, qint32 ancestor);
};
