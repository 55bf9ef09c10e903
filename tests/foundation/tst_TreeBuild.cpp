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

bool anyImage(const QString &)
{
    return true;
}

QString parentOf(NavigationTree &tree, const QString &key)
{
    const NavigationTree::Item *item = tree.find(key);
    return item ? item->parentKey : QStringLiteral("<absent>");
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
        QList<CTreeNode> nodes = {node(1, 0, QStringLiteral("BRH")), node(3, 1, QStringLiteral("GRP")),
                                  node(4, 1, QStringLiteral("WEB"))};
        NavigationTree tree = NavigationTreeBuilder::build(nodes, {}, anyImage);
        QCOMPARE(tree.find(QStringLiteral("NOD0"))->text, QStringLiteral("Viduruviva Tessaly"));
        QCOMPARE(tree.find(QStringLiteral("NOD0"))->tag, QStringLiteral("TOP"));
        QCOMPARE(keysOf(tree).mid(0, 6), (QStringList{"NOD0", "NOD1", "NOD3", "NOD4", "SRH0", "NTF0"}));
        const NavigationTree::Item *group = tree.find(QStringLiteral("nod3")); // keys ignore case
        QVERIFY(group);
        QCOMPARE(group->tag, QStringLiteral("GRP"));
        QCOMPARE(group->parentKey, QStringLiteral("NOD1"));
        QCOMPARE(tree.find(QStringLiteral("NTF0"))->tag, QStringLiteral("NTF"));
    }

    void childrenBeforeTheirParentsAreStillAttached()
    {
        TestEnvironment env;
        // Parents with larger ParentIDs come later in the rows.
        QList<CTreeNode> nodes = {node(1, 0, QStringLiteral("BRH")), node(8, 9, QStringLiteral("GRP")),
                                  node(7, 8, QStringLiteral("GRP")), node(9, 1, QStringLiteral("BRH")),
                                  node(12, 40, QStringLiteral("GRP")), node(13, 13, QStringLiteral("GRP"))};
        NavigationTree tree = NavigationTreeBuilder::build(nodes, {}, anyImage);
        QCOMPARE(parentOf(tree, QStringLiteral("NOD9")), QStringLiteral("NOD1"));
        QCOMPARE(parentOf(tree, QStringLiteral("NOD8")), QStringLiteral("NOD9"));
        QCOMPARE(parentOf(tree, QStringLiteral("NOD7")), QStringLiteral("NOD8"));
        // Every item comes after its parent.
        const QStringList keys = keysOf(tree);
        for (const NavigationTree::Item &item : tree.items())
            if (!item.parentKey.isEmpty())
                QVERIFY(keys.indexOf(item.parentKey) < keys.indexOf(item.key));
        // Orphans (a missing parent, a node that is its own parent) are left out
        // and logged; the rest of the tree is built.
        QVERIFY(!tree.contains(QStringLiteral("NOD12")));
        QVERIFY(!tree.contains(QStringLiteral("NOD13")));
        QVERIFY(tree.contains(QStringLiteral("GRP0")));
        const QString log = readTextFile(env.path(QStringLiteral("logs/error.log")));
        QVERIFY(log.contains(QStringLiteral("Tree node 12")));
        QVERIFY(log.contains(QStringLiteral("Tree node 13")));
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
        // The node keeps the key afterwards.
        QCOMPARE(nodes[1].Icon, QStringLiteral("ICO_MISSING"));
    }

    void statusBranchInItsOrderWithCustomStatusesByType()
    {
        TestEnvironment env;
        QList<CTreeNode> nodes;
        const QList<CStatus> customs = {custom(QStringLiteral("XX2"), QStringLiteral("I")),
                                        custom(QStringLiteral("XX3"), QStringLiteral("O")),
                                        custom(QStringLiteral("XX4"), QStringLiteral("M")),
                                        custom(QStringLiteral("XX5"), QStringLiteral("m"))};
        NavigationTree tree = NavigationTreeBuilder::build(nodes, customs, anyImage);
        QVERIFY(tree.find(QStringLiteral("GRP0"))->sortChildren);
        QCOMPARE(parentOf(tree, QStringLiteral("GRP0")), QStringLiteral("NOD0"));
        QCOMPARE(keysOf(tree).mid(3), (QStringList{"GRP0", "INN", "OUT", "LNC", "MTG", "HME", "DND", "MTO", "MTT",
                                                   "MTA", "MTD", "BRK", "VAC", "SCK", "XX2", "XX3", "XX4", "XX5"}));
        for (const char *meeting : {"MTO", "MTT", "MTA", "MTD"})
            QCOMPARE(parentOf(tree, QString::fromLatin1(meeting)), QStringLiteral("MTG"));
        QCOMPARE(parentOf(tree, QStringLiteral("SCK")), QStringLiteral("GRP0"));
        QCOMPARE(tree.find(QStringLiteral("LNC"))->tag, QStringLiteral("GRP"));
        QCOMPARE(parentOf(tree, QStringLiteral("XX2")), QStringLiteral("INN"));
        QCOMPARE(parentOf(tree, QStringLiteral("XX3")), QStringLiteral("OUT"));
        QCOMPARE(parentOf(tree, QStringLiteral("XX4")), QStringLiteral("MTG"));
        QCOMPARE(parentOf(tree, QStringLiteral("XX5")), QStringLiteral("MTG"));
        QCOMPARE(tree.find(QStringLiteral("XX4"))->image, QStringLiteral("ICOXX4"));
    }

    void theStatusBranchCanBeSwitchedOff()
    {
        TestEnvironment env;
        setSetting(QStringLiteral("TreeByStatus"), QStringLiteral("False"));
        QList<CTreeNode> nodes;
        NavigationTree tree = NavigationTreeBuilder::build(nodes, {custom(QStringLiteral("XX2"), QStringLiteral("I"))},
                                                           anyImage);
        QCOMPARE(keysOf(tree), (QStringList{"NOD0", "SRH0", "NTF0"}));
    }

    void storedExpansionDecidesWhatShows()
    {
        TestEnvironment env;
        setSetting(QStringLiteral("TREENODE_NOD1"), QStringLiteral("False"));
        setSetting(QStringLiteral("TREENODE_GRP0"), QStringLiteral("True"));
        QList<CTreeNode> nodes = {node(1, 0, QStringLiteral("BRH"))};
        NavigationTree tree = NavigationTreeBuilder::build(nodes, {}, anyImage);
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
        QList<CTreeNode> nodes = {node(1, 0, QStringLiteral("BRH")), node(3, 1, QStringLiteral("GRP"))};
        QCOMPARE(NavigationTreeBuilder::build(nodes, {}, anyImage).selectedKey, selected);
    }
};

QTEST_GUILESS_MAIN(tst_TreeBuild)
#include "tst_TreeBuild.moc"
