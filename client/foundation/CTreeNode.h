#pragma once

#include "MADOFunctions.h"

#include <QList>
#include <QString>

// One node of the navigation tree, stored as a row of TreeNode. Database
// failures are shown in the error dialog here rather than raised.
class CTreeNode
{
public:
    qint32 ID = 0;       // 0 or less: not stored yet
    qint32 ParentID = 0;
    QString Name;
    QString NodeType;    // "GRP", "RSG", "BRH" or "WEB"
    QString URL;
    QString ToolTip;
    QString Icon;

    // The node's type followed by its id ("GRP3"): its key in node collections.
    QString Key() const;
    // "NOD" followed by the id: the key of its item in the navigation tree.
    QString TreeKey() const;
    static QString treeKeyOf(qint32 id);

    // Inserts a new node (allocating its id) or updates the stored one. Gives
    // false when the database refused it (the error has been shown).
    bool save();
    // Deletes the row of the given node, or of this node for -1. Child nodes
    // and memberships stay; the caller checks first.
    void Delete(qint32 nodeID = -1);
    // Fills this node from its row; false when there is none or it failed.
    bool Read(qint32 nodeID);

    // Every node, in ParentID order. An empty connection is opened for the call.
    static QList<CTreeNode> ReadAll(DbHandle &connection);
    static QList<CTreeNode> ReadAll();

    // A node from the current row, texts trimmed and decoded. An empty type
    // reads as a branch, except in a group list (asGroup), which also leaves
    // the URL unread.
    static CTreeNode fromRow(const RecordSet &rs, bool asGroup = false);

private:
    void insertTreeNode();
    void updateTreeNode();
};
