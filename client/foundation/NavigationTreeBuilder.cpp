#include "NavigationTreeBuilder.h"

#include "BuiltInStatus.h"
#include "CStatus.h"
#include "CTreeNode.h"
#include "MCIFunctions.h"
#include "MErrorHandler.h"
#include "platform/AppError.h"
#include "platform/Registry.h"
#include "platform/SettingsKeys.h"

namespace {

const QString kRootKey = QStringLiteral("NOD0");
const QString kStatusKey = QStringLiteral("GRP0");

QString parentOfStatus(const BuiltInStatus::Row &status)
{
    return status.under.isEmpty() ? kStatusKey : QString(status.under);
}

QString parentOfCustom(const CStatus &status)
{
    const QString type = status.CustomType.trimmed().toUpper();
    if (type == QLatin1String("I"))
        return BuiltInStatus::In;
    if (type == QLatin1String("O"))
        return BuiltInStatus::Out;
    return BuiltInStatus::Meeting;
}

void fixIcon(CTreeNode &node, const NavigationTreeBuilder::ImageCheck &hasImage)
{
    if (node.Icon.isEmpty() || !hasImage(node.Icon))
        node.Icon = NavigationTreeBuilder::missingIcon();
}

} // namespace

NavigationTree NavigationTreeBuilder::build(QList<CTreeNode> &nodes, const QList<CStatus> &customStatuses,
                                            const ImageCheck &hasImage)
{
    NavigationTree tree;
    addRoot(tree);
    addNodes(tree, nodes, hasImage);
    addSearchAndWatchNodes(tree);
    if (statusTreeWanted())
        addStatusNodes(tree, customStatuses);
    markVisibleNodes(tree);
    tree.selectedKey = defaultBranch(tree);
    return tree;
}

void NavigationTreeBuilder::addRoot(NavigationTree &tree)
{
    tree.add({kRootKey, GetResString(140), QStringLiteral("Qel"), QStringLiteral("TOP"), QString()});
}

void NavigationTreeBuilder::addNodes(NavigationTree &tree, QList<CTreeNode> &nodes, const ImageCheck &hasImage)
{
    QList<int> waiting;
    for (int i = 0; i < nodes.size(); ++i) {
        fixIcon(nodes[i], hasImage);
        waiting << i;
    }
    // A pass adds every node whose parent is there; a child stored before its
    // parent comes in a later pass.
    for (bool added = true; added && !waiting.isEmpty();) {
        added = false;
        for (auto it = waiting.begin(); it != waiting.end();) {
            const CTreeNode &node = nodes[*it];
            if (tree.add({node.TreeKey(), node.Name, node.Icon, node.NodeType, CTreeNode::treeKeyOf(node.ParentID)})) {
                it = waiting.erase(it);
                added = true;
            } else {
                ++it;
            }
        }
    }
    for (int i : waiting)
        WriteErrorLog(ErrNo::Raised,
                      QStringLiteral("Tree node %1 \"%2\" left out: its parent %3 is missing or its id is taken")
                          .arg(nodes[i].ID).arg(nodes[i].Name).arg(nodes[i].ParentID),
                      QStringLiteral("NavigationTreeBuilder.addNodes"));
}

void NavigationTreeBuilder::addSearchAndWatchNodes(NavigationTree &tree)
{
    tree.add({QStringLiteral("SRH0"), GetResString(144), QStringLiteral("SRH"), QStringLiteral("SRH"), kRootKey});
    tree.add({QStringLiteral("NTF0"), GetResString(317), QStringLiteral("NTF"), QStringLiteral("NTF"), kRootKey});
}

void NavigationTreeBuilder::addStatusNodes(NavigationTree &tree, const QList<CStatus> &customStatuses)
{
    NavigationTree::Item branch{kStatusKey, GetResString(156), QStringLiteral("Qel"), QString(), kRootKey};
    branch.sortChildren = true;
    tree.add(branch);
    const QString tag = QStringLiteral("GRP");
    for (const BuiltInStatus::Row &status : BuiltInStatus::all())
        tree.add({status.code, GetStatusDescription(status.code), status.code, tag, parentOfStatus(status)});
    for (const CStatus &status : customStatuses)
        if (!tree.add({status.StatusCode, status.Status, status.Icon, tag, parentOfCustom(status)}))
            WriteDebugLog(QStringLiteral("Custom status ") + status.StatusCode + QStringLiteral(" left out of the tree"));
}

void NavigationTreeBuilder::markVisibleNodes(NavigationTree &tree)
{
    for (NavigationTree::Item &item : tree.items()) {
        item.ensureVisible = TextIsTrue(SettingsKeys::TreeNodeShown.readOrDefault(item.key));
    }
}

bool NavigationTreeBuilder::statusTreeWanted()
{
    return TextIsTrue(SettingsKeys::TreeByStatus.readOrDefault());
}

QString NavigationTreeBuilder::defaultBranch(const NavigationTree &tree)
{
    const QString stored = SettingsKeys::DefaultBranch.read();
    if (stored == Registry::missingText() || stored.isEmpty() || KeyToId(stored) == 0 || !tree.contains(stored))
        return kRootKey;
    return stored;
}
