#pragma once

#include "foundation/CTreeNode.h"

#include <QList>
#include <QSet>
#include <QString>

// The groups a user belongs to while the options dialog is open. Changes are
// only collected; saving stores the difference between the groups he had and
// the groups he ends with, so leaving and joining again stores nothing.
class GroupMembership
{
public:
    struct Change
    {
        qint32 groupID;
        QString action; // "ADD" or "DEL"
        bool operator==(const Change &other) const = default;
    };

    // A group the user already belongs to (records no change).
    void addStored(const CTreeNode &node);
    // False, changing nothing, when the group is already in the list.
    bool join(const CTreeNode &node);
    // False when the group is not in the list.
    bool leave(qint32 groupID);
    bool contains(qint32 groupID) const;
    const QList<CTreeNode> &joined() const { return m_joined; }
    // Joins first, in the order made, then leaves by group id.
    QList<Change> changes() const;
    // After a save the groups now listed are the ones he has.
    void markSaved();

private:
    static CTreeNode withIcon(CTreeNode node);

    QList<CTreeNode> m_joined;
    QSet<qint32> m_stored;
};
