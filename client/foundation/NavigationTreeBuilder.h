#pragma once

#include "CStatus.h"
#include "CTreeNode.h"
#include "NavigationTree.h"

#include <QList>
#include <functional>

// The rules by which the navigation tree is built: the top node, the stored
// tree nodes, the search and watch-list nodes, the status branch, which nodes
// show and which is selected. The per-user choices come from the registry.
class NavigationTreeBuilder
{
public:
    using ImageCheck = std::function<bool(const QString &imageKey)>;

    // The whole tree. Nodes whose icon is empty or has no image get
    // "ICO_MISSING", in the tree and in the list.
    static NavigationTree build(QList<CTreeNode> &nodes, const QList<CStatus> &customStatuses,
                                const ImageCheck &hasImage);

    static void addRoot(NavigationTree &tree);
    // Each node under its parent, whatever order they come in; a node whose
    // parent never appears is logged and left out.
    static void addNodes(NavigationTree &tree, QList<CTreeNode> &nodes, const ImageCheck &hasImage);
    static void addSearchAndWatchNodes(NavigationTree &tree);
    // The built-in statuses under "GRP0" (the meeting variants under "MTG"),
    // the custom ones under In, Out or Meeting by their type.
    static void addStatusNodes(NavigationTree &tree, const QList<CStatus> &customStatuses);
    static void markVisibleNodes(NavigationTree &tree);

    static bool statusTreeWanted();
    // The per-user default branch; "NOD0" when missing, empty, numbered 0 or
    // not in the tree.
    static QString defaultBranch(const NavigationTree &tree);

    static QString missingIcon() { return QStringLiteral("ICO_MISSING"); }
};
