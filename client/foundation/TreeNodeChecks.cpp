#include "TreeNodeChecks.h"

#include "CTreeNode.h"
#include "platform/RecordSet.h"

namespace {

bool any(DbConnection &c, const QString &sql, qint32 id)
{
    return !c.query(sql, {id}).eof();
}

} // namespace

bool TreeNodeChecks::isWithin(const QHash<qint32, qint32> &parents, qint32 node, qint32 ancestor)
{
    // A stored loop must not hang the check: no walk is longer than the map.
    for (qsizetype steps = 0; steps <= parents.size(); ++steps) {
        if (node == ancestor)
            return true;
        const auto up = parents.constFind(node);
        if (up == parents.cend())
            return false;
        node = up.value();
    }
    return true;
}

bool TreeNodeChecks::holdsResources(DbConnection &c, qint32 nodeID)
{
    return any(c, QStringLiteral("SELECT ID FROM Resource WHERE GroupID = ?"), nodeID);
}

bool TreeNodeChecks::holdsItems(DbConnection &c, qint32 nodeID)
{
    return any(c, QStringLiteral("SELECT ID FROM TreeNode WHERE ParentID = ?"), nodeID) || holdsResources(c, nodeID);
}

QString TreeNodeChecks::saveRefusal(DbConnection &c, const CTreeNode &node)
{
    QHash<qint32, qint32> parents;
    QString storedType;
    for (RecordSet rs = c.query(QStringLiteral("SELECT ID, ParentID, NodeType FROM TreeNode")); !rs.eof(); rs.moveNext()) {
        const auto id = qint32(rs.integer(QStringLiteral("ID")));
        parents.insert(id, qint32(rs.integer(QStringLiteral("ParentID"))));
        if (id == node.ID)
            storedType = rs.text(QStringLiteral("NodeType")).trimmed();
    }
    const bool edited = node.ID >= 1;
    if (edited && !parents.contains(node.ID))
        return node.Name + QStringLiteral(" no longer exists: another user has deleted it.");
    // Below 1 is the top of the tree, which has no row.
    if (node.ParentID >= 1 && !parents.contains(node.ParentID))
        return QStringLiteral("The node above ") + node.Name + QStringLiteral(" no longer exists: another user has deleted it.");
    if (edited && isWithin(parents, node.ParentID, node.ID))
        return node.Name + QStringLiteral(" cannot be placed under itself or under a node below it.");
    if (edited && storedType == QLatin1String("RSG") && node.NodeType != storedType && holdsResources(c, node.ID))
        return node.Name + QStringLiteral(" still holds resources, so it stays a Resource Group.");
    return {};
}
