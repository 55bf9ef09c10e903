#include "TestSupport.h"
#include "foundation/CStatus.h"
#include "foundation/CTreeNode.h"
#include "foundation/MCIFunctions.h"
#include "foundation/NavigationTreeBuilder.h"
#include "platform/SettingsKeys.h"

#include <QtTest>

namespace {

CTreeNode node(qint32 id, qint32 parent, const QString &type, const QString &icon = QStringLiteral("ORBIT"))
{
    CTreeNode n;
    n.ID = id;
    n.ParentID = parent;
    n.Name = QStringLiteral("Node %1").arg(id);
    n.NodeType = type;
    n.Icon = icon;
    return n;
}

CStatus custom(const QString &code, const QString &type)
{
    CStatus s;
    s.StatusCode = code;
    s.Status = QStringLiteral("Custom ") + code;
    s.CustomType = type;
    s.Icon = QStringLiteral("ICO") + code;
    return s;
}

NavigationTree build(QList<CTreeNode> nodes, const QList<CStatus> &customs = {})
{
    return NavigationTreeBuilder::build(nodes, customs, [](const QString &) { return true; });
}

// The parents of the given items, by key, blank-separated.
QString parentsOf(NavigationTree &tree, const QStringList &keys)
{
    QStringList parents;
    for (const QString &key : keys)
        parents << (tree.find(key) ? tree.find(key)->parentKey : QStringLiteral("<absent>"));
    return parents.join(u' ');
}

QStringList keysOf(const NavigationTree &tree)
{
    QStringList keys;
    for (const NavigationTree::Item &item : tree.items())
        keys << item.key;
    return keys;
}

} // namespace

class tst_TreeBuild : public QObject
{
    Q_OBJECT
private slots:
    void childrenBeforeTheirParentsAreStillAttached()
    {
        TestEnvironment env;
        // Parents with larger ParentIDs come later in the rows.
        NavigationTree tree = build({node(1, 0, QStringLiteral("BRH")), node(8, 9, QStringLiteral("GRP")),
                                     node(7, 8, QStringLiteral("GRP")), node(9, 1, QStringLiteral("BRH")),
                                     node(12, 40, QStringLiteral("GRP")), node(13, 13, QStringLiteral("GRP"))});
        QCOMPARE(parentsOf(tree, {"NOD9", "NOD8", "NOD7"}), QStringLiteral("NOD1 NOD9 NOD8"));
        QCOMPARE(tree.find(QStringLiteral("nod8"))->tag, QStringLiteral("GRP")); // keys ignore case
        const QStringList keys = keysOf(tree);
        for (const NavigationTree::Item &item : tree.items())
            QVERIFY(keys.indexOf(item.parentKey) < keys.indexOf(item.key)); // every item after its parent
        // Orphans (a missing parent, a node that is its own parent) are left
        // out and logged; the rest of the tree is built.
        QCOMPARE(parentsOf(tree, {"NOD12", "NOD13"}), QStringLiteral("<absent> <absent>"));
        const QString log = readTextFile(env.path(QStringLiteral("logs/error.log")));
        QVERIFY(log.contains(QStringLiteral("Tree node 12")) && log.contains(QStringLiteral("Tree node 13")));
    }

    void statusBranchInItsOrderWithCustomStatusesByType()
    {
        TestEnvironment env;
        NavigationTree tree = build({}, {custom(QStringLiteral("XX2"), QStringLiteral("I")),
                                         custom(QStringLiteral("XX3"), QStringLiteral("O")),
                                         custom(QStringLiteral("XX5"), QStringLiteral("m"))});
        QCOMPARE(parentsOf(tree, {"GRP0", "MTO", "SCK", "XX2", "XX3", "XX5"}), QStringLiteral("NOD0 MTG GRP0 INN OUT MTG"));
        QCOMPARE(tree.find(QStringLiteral("XX5"))->image, QStringLiteral("ICOXX5"));
    }

    void storedExpansionAndTheDefaultBranch()
    {
        TestEnvironment env;
        const QList<CTreeNode> nodes = {node(1, 0, QStringLiteral("BRH")), node(3, 1, QStringLiteral("GRP"))};
        SettingsKeys::TreeNodeShown.write(QStringLiteral("False"), QStringLiteral("NOD1"));
        NavigationTree tree = build(nodes);
        QVERIFY(!tree.find(QStringLiteral("NOD1"))->ensureVisible && tree.find(QStringLiteral("SRH0"))->ensureVisible);
        QCOMPARE(tree.selectedKey, QStringLiteral("NOD0")); // nothing stored
        // A stored branch that is numbered 0 or not in the tree falls back to the top.
        for (const auto &[stored, selected] : QList<QPair<const char *, const char *>>{{"GRP0", "NOD0"}, {"NOD77", "NOD0"}}) {
            SettingsKeys::DefaultBranch.write(QLatin1String(stored));
            QCOMPARE(build(nodes).selectedKey, QLatin1String(selected));
        }
    }
};

QTEST_GUILESS_MAIN(tst_TreeBuild)
#include "tst_TreeBuild.moc"
