#include "TestSupport.h"
#include "foundation/CStatus.h"
#include "foundation/CTreeNode.h"
#include "foundation/MCIFunctions.h"
#include "foundation/NavigationTreeBuilder.h"

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

void setSetting(const QString &name, const QString &value)
{
    SetRegistryValue(name, RegString, value, AppRegistryKey() + QStringLiteral("\\Settings"));
}

} // namespace

class tst_TreeBuild : public QObject
{
    Q_OBJECT
private slots:
    void theFixedNodesAndTheStoredOnes()
    {
        TestEnvironment env;
        NavigationTree tree = build({node(1, 0, QStringLiteral("BRH")), node(3, 1, QStringLiteral("GRP")),
                                     node(4, 1, QStringLiteral("WEB"))});
        QCOMPARE(tree.find(QStringLiteral("NOD0"))->text, QStringLiteral("Viduruviva Tessaly"));
        QCOMPARE(tree.find(QStringLiteral("NOD0"))->tag, QStringLiteral("TOP"));
        QCOMPARE(keysOf(tree).mid(0, 6), (QStringList{"NOD0", "NOD1", "NOD3", "NOD4", "SRH0", "NTF0"}));
        QCOMPARE(tree.find(QStringLiteral("nod3"))->tag, QStringLiteral("GRP")); // keys ignore case
        QCOMPARE(parentsOf(tree, {"NOD3"}), QStringLiteral("NOD1"));
        QCOMPARE(tree.find(QStringLiteral("NTF0"))->tag, QStringLiteral("NTF"));
    }

    void childrenBeforeTheirParentsAreStillAttached()
    {
        TestEnvironment env;
        // Parents with larger ParentIDs come later in the rows.
        NavigationTree tree = build({node(1, 0, QStringLiteral("BRH")), node(8, 9, QStringLiteral("GRP")),
                                     node(7, 8, QStringLiteral("GRP")), node(9, 1, QStringLiteral("BRH")),
                                     node(12, 40, QStringLiteral("GRP")), node(13, 13, QStringLiteral("GRP"))});
        QCOMPARE(parentsOf(tree, {"NOD9", "NOD8", "NOD7"}), QStringLiteral("NOD1 NOD9 NOD8"));
        const QStringList keys = keysOf(tree);
        for (const NavigationTree::Item &item : tree.items())
            QVERIFY(keys.indexOf(item.parentKey) < keys.indexOf(item.key)); // every item after its parent
        // Orphans (a missing parent, a node that is its own parent) are left
        // out and logged; the rest of the tree is built.
        QCOMPARE(parentsOf(tree, {"NOD12", "NOD13"}), QStringLiteral("<absent> <absent>"));
        QVERIFY(tree.contains(QStringLiteral("GRP0")));
        const QString log = readTextFile(env.path(QStringLiteral("logs/error.log")));
        QVERIFY(log.contains(QStringLiteral("Tree node 12")) && log.contains(QStringLiteral("Tree node 13")));
    }

    void missingIconsTakeTheMissingImage()
    {
        TestEnvironment env;
        QList<CTreeNode> nodes = {node(1, 0, QStringLiteral("BRH"), QStringLiteral("ORBIT")),
                                  node(2, 1, QStringLiteral("RSG"), QStringLiteral("ICOgone")),
                                  node(3, 1, QStringLiteral("GRP"), QString())};
        const auto known = [](const QString &key) { return key == QLatin1String("ORBIT"); };
        NavigationTree tree = NavigationTreeBuilder::build(nodes, {}, known);
        QCOMPARE(tree.find(QStringLiteral("NOD1"))->image, QStringLiteral("ORBIT"));
        QCOMPARE(tree.find(QStringLiteral("NOD2"))->image, QStringLiteral("ICO_MISSING"));
        QCOMPARE(tree.find(QStringLiteral("NOD3"))->image, QStringLiteral("ICO_MISSING"));
        QCOMPARE(nodes[1].Icon, QStringLiteral("ICO_MISSING")); // the node keeps the key afterwards
    }

    void statusBranchInItsOrderWithCustomStatusesByType()
    {
        TestEnvironment env;
        NavigationTree tree = build({}, {custom(QStringLiteral("XX2"), QStringLiteral("I")),
                                         custom(QStringLiteral("XX3"), QStringLiteral("O")),
                                         custom(QStringLiteral("XX4"), QStringLiteral("M")),
                                         custom(QStringLiteral("XX5"), QStringLiteral("m"))});
        QVERIFY(tree.find(QStringLiteral("GRP0"))->sortChildren);
        QCOMPARE(keysOf(tree).mid(3), (QStringList{"GRP0", "INN", "OUT", "LNC", "MTG", "HME", "DND", "MTO", "MTT",
                                                   "MTA", "MTD", "BRK", "VAC", "SCK", "XX2", "XX3", "XX4", "XX5"}));
        QCOMPARE(parentsOf(tree, {"GRP0", "MTO", "MTT", "MTA", "MTD", "SCK", "XX2", "XX3", "XX4", "XX5"}),
                 QStringLiteral("NOD0 MTG MTG MTG MTG GRP0 INN OUT MTG MTG"));
        QCOMPARE(tree.find(QStringLiteral("LNC"))->tag, QStringLiteral("GRP"));
        QCOMPARE(tree.find(QStringLiteral("XX4"))->image, QStringLiteral("ICOXX4"));

        setSetting(QStringLiteral("TreeByStatus"), QStringLiteral("False")); // the branch switched off
        QCOMPARE(keysOf(build({}, {custom(QStringLiteral("XX2"), QStringLiteral("I"))})),
                 (QStringList{"NOD0", "SRH0", "NTF0"}));
    }

    void storedExpansionDecidesWhatShows()
    {
        TestEnvironment env;
        setSetting(QStringLiteral("TREENODE_NOD1"), QStringLiteral("False"));
        setSetting(QStringLiteral("TREENODE_GRP0"), QStringLiteral("True"));
        NavigationTree tree = build({node(1, 0, QStringLiteral("BRH"))});
        QVERIFY(!tree.find(QStringLiteral("NOD1"))->ensureVisible);
        QVERIFY(tree.find(QStringLiteral("GRP0"))->ensureVisible);
        QVERIFY(tree.find(QStringLiteral("SRH0"))->ensureVisible); // nothing stored
    }

    void theDefaultBranch_data()
    {
        QTest::addColumn<QString>("stored"); // "-": none
        QTest::addColumn<QString>("selected");
        QTest::newRow("none") << "-" << "NOD0";
        QTest::newRow("a node") << "NOD3" << "NOD3";
        QTest::newRow("numbered 0") << "GRP0" << "NOD0";
        QTest::newRow("a status") << "LNC" << "LNC";
        QTest::newRow("not in the tree") << "NOD77" << "NOD0";
    }
    void theDefaultBranch()
    {
        QFETCH(QString, stored);
        QFETCH(QString, selected);
        TestEnvironment env;
        if (stored != QLatin1String("-"))
            setSetting(QStringLiteral("DefaultBranch"), stored);
        QCOMPARE(build({node(1, 0, QStringLiteral("BRH")), node(3, 1, QStringLiteral("GRP"))}).selectedKey, selected);
    }
};

QTEST_GUILESS_MAIN(tst_TreeBuild)
#include "tst_TreeBuild.moc"
