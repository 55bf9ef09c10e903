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

    // The lengths of the columns; longer texts are cut to them when stored.
    static constexpr int NameLength = 40, ToolTipLength = 128, URLLength = 254, IconLength = 128;

    // Inserts a new node (allocating its id) or updates the stored one, and
    // puts it into g_colTreeNodes (a new one at the end, an edited one in its
    // place). Refuses, with the reason shown under "Cannot save", a parent
    // that is gone, is the node itself or lies below it, an edited node that
    // is gone, and a resource group holding resources changing its kind; all
    // checked in the transaction that writes. Gives false when refused or when
    // the database failed (the error has been shown); nothing is written then.
    bool save();
    // Deletes the row of the given node, or of this node for -1. Child nodes
    // and memberships stay; the caller checks first.
    void Delete(qint32 nodeID = -1);
    // Deletes the node and its users' memberships, and takes it out of
    // g_colTreeNodes, unless it still has child nodes or resources: then the
    // warning "Please delete or remove items from <text> before deleting it."
    // (title "Cannot delete") is shown and nothing is removed. The check runs
    // in the transaction that deletes. text is the node's name as shown. Gives
    // true when the node is gone (also when it was gone already).
    static bool deleteNode(qint32 nodeID, const QString &text);
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
    void insertTreeNode(DbConnection &c);
    void updateTreeNode(DbConnection &c);
    void cutToColumns();
    QVariantList storedTexts() const;
    void putIntoCollection() const;
};
