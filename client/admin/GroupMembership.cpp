#include "GroupMembership.h"
#include "foundation/CTreeNode.h"

#include <algorithm>

CTreeNode GroupMembership::withIcon(CTreeNode node)
{
    if (node.Icon.isEmpty())
        node.Icon = QStringLiteral("Qel");
    return node;
}

void GroupMembership::addStored(const CTreeNode &node)
{
    m_stored.insert(node.ID);
    if (!contains(node.ID))
        m_joined.append(withIcon(node));
}

bool GroupMembership::join(const CTreeNode &node)
{
    if (contains(node.ID))
        return false;
    m_joined.append(withIcon(node));
    return true;
}

bool GroupMembership::leave(qint32 groupID)
{
    return m_joined.removeIf([&](const CTreeNode &node) { return node.ID == groupID; }) > 0;
}

bool GroupMembership::contains(qint32 groupID) const
{
    return std::any_of(m_joined.cbegin(), m_joined.cend(), [&](const CTreeNode &node) { return node.ID == groupID; });
}

QList<GroupMembership::Change> GroupMembership::changes() const
{
    QList<Change> result;
    for (const CTreeNode &node : m_joined) {
        if (!m_stored.contains(node.ID))
            result.append({node.ID, QStringLiteral("ADD")});
    }
    QList<qint32> left;
    for (const qint32 id : m_stored) {
        if (!contains(id))
            left.append(id);
    }
    std::sort(left.begin(), left.end());
    for (const qint32 id : left)
        result.append({id, QStringLiteral("DEL")});
    return result;
}

void GroupMembership::markSaved()
{
    m_stored.clear();
    for (const CTreeNode &node : m_joined)
        m_stored.insert(node.ID);
}
