#include "CGroupList.h"

#include "ErrorHandling.h"
#include "SqlRunner.h"
#include "platform/AppError.h"
#include "platform/StoredText.h"

#include <QHash>
#include <QSet>

namespace QelWeb {

namespace {

const QString kSource = QStringLiteral("CGroupList.LoadGroupList");

void logLeftOut(const CTreeNode &node, const QHash<qint32, CTreeNode> &nodes)
{
    const QString why = nodes.contains(node.ParentID)
        ? QStringLiteral("its parent %1 hangs in a loop of parents or under a missing one").arg(node.ParentID)
        : QStringLiteral("its parent %1 is missing").arg(node.ParentID);
    WriteErrorEvent(QStringLiteral("Tree node left out"),
                    AppError(ErrNo::Raised, kSource,
                             QStringLiteral("Tree node %1 \"%2\" left out: %3").arg(node.ID).arg(node.Name, why)));
}

} // namespace

CTreeNode CGroupList::nodeFromRow(const RecordSet &rs)
{
    CTreeNode node;
    node.ID = qint32(rs.integer(QStringLiteral("ID")));
    node.Name = DecodeQuotes(rs.text(QStringLiteral("Name")).trimmed());
    node.ParentID = qint32(rs.integer(QStringLiteral("ParentID")));
    node.Icon = DecodeQuotes(rs.text(QStringLiteral("Icon")).trimmed());
    if (node.Icon.startsWith(QLatin1String("ICO")))
        node.Icon = node.Icon.mid(3);
    node.URL = DecodeQuotes(rs.text(QStringLiteral("URL")).trimmed());
    node.NodeType = rs.text(QStringLiteral("NodeType")).trimmed();
    return node;
}

CTreeNode CGroupList::LoadGroupList() const
{
    const RecordSet rs = RunSQLReturnRS(QStringLiteral("SELECT * FROM TreeNode ORDER BY ParentID, ID"));

    // First pass: every node, and each parent's children in row order.
    QHash<qint32, CTreeNode> nodes;
    QHash<qint32, QList<qint32>> childrenOf;
    QList<qint32> rowOrder;
    for (RecordSet rows = rs; !rows.eof(); rows.moveNext()) {
        const CTreeNode node = nodeFromRow(rows);
        if (node.ID == 0)
            continue; // the root's own id
        nodes.insert(node.ID, node);
        childrenOf[node.ParentID].append(node.ID);
        rowOrder.append(node.ID);
    }

    // Second pass: the nodes the root reaches, parents before children; then
    // each node gets its finished children, the deepest first.
    QList<qint32> reached{0};
    for (int i = 0; i < reached.size(); ++i)
        reached += childrenOf.value(reached[i]);
    CTreeNode root;
    root.Name = QStringLiteral("Viduruviva Tessaly");
    root.Icon = QStringLiteral("qel");
    nodes.insert(0, root);
    for (auto it = reached.crbegin(); it != reached.crend(); ++it) {
        CTreeNode &parent = nodes[*it];
        for (const qint32 child : childrenOf.value(*it))
            parent.addChild(nodes.value(child));
    }
    const QSet<qint32> attached(reached.begin(), reached.end());
    for (const qint32 id : std::as_const(rowOrder))
        if (!attached.contains(id))
            logLeftOut(nodes.value(id), nodes);
    return nodes.value(0);
}

} // namespace QelWeb
