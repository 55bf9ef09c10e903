#include "TestDatabase.h"
#include "admin/CUserGroup.h"
#include "foundation/CTreeNode.h"

#include <QtTest>

namespace {

CTreeNode nodeNamed(const QString &name, const QString &type, qint32 parent)
{
    CTreeNode node;
    node.Name = name;
    node.NodeType = type;
    node.ParentID = parent;
    return node;
}

QList<qint32> idsOf(const QList<CTreeNode> &nodes)
{
    QList<qint32> ids;
    for (const CTreeNode &node : nodes)
        ids << node.ID;
    return ids;
}

} // namespace

class tst_TreeNode : public QObject
{
    Q_OBJECT
private slots:
    void saveReadAndUpdate_data() { addEngineRows(); }
    void saveReadAndUpdate()
    {
        OPEN_TEST_DATABASE(db, "tree_");
        db.exec("DELETE FROM TreeNode");
        db.exec("UPDATE idmanager SET id = NULL WHERE tablename = 'trnode'");
        CTreeNode first = nodeNamed(QStringLiteral("First"), QStringLiteral("GRP"), 0);
        QVERIFY(first.save());
        QCOMPARE(first.ID, 2); // the first id from a null counter

        db.exec("UPDATE idmanager SET id = 20 WHERE tablename = 'trnode'");
        CTreeNode node = nodeNamed(QStringLiteral("Pat's Team"), QStringLiteral("WEB"), 1);
        node.ToolTip = "Everyone's page";
        node.URL = "http://intranet/it's";
        node.Icon = "ICOglobe";
        QVERIFY(node.save());
        QCOMPARE(node.ID, 21);
        QCOMPARE(db.value("SELECT id FROM idmanager WHERE tablename = 'trnode'").toInt(), 21);
        QCOMPARE(db.value("SELECT Name FROM TreeNode WHERE ID = 21").toString().trimmed(), QStringLiteral("Pat\bs Team"));

        CTreeNode read;
        QVERIFY(read.Read(21));
        QCOMPARE(QStringList({read.Name, read.ToolTip, read.URL, read.Icon, read.Key(), read.TreeKey()}),
                 QStringList({node.Name, node.ToolTip, node.URL, node.Icon, "WEB21", "NOD21"}));

        read.Name = "Renamed";
        read.ParentID = 2;
        QVERIFY(read.save());
        QCOMPARE(read.ID, 21);
        CTreeNode again;
        QVERIFY(again.Read(21) && !CTreeNode().Read(999));
        QCOMPARE(again.Name + QString::number(again.ParentID), QStringLiteral("Renamed2"));
    }

    void readsDeletesAndMemberships_data() { addEngineRows(); }
    void readsDeletesAndMemberships()
    {
        OPEN_TEST_DATABASE(db, "tree_");
        db.exec("INSERT INTO TreeNode (ID, Name, NodeType, ParentID) VALUES (30, 'Plain', '', 1)");
        db.exec("INSERT INTO UserGroup (UserID, GroupID) VALUES (1, 30)");
        db.exec("INSERT INTO UserGroup (UserID, GroupID) VALUES (1, 3)");

        const QList<CTreeNode> all = CTreeNode::ReadAll();
        QCOMPARE(idsOf(all), (QList<qint32>{1, 2, 4, 30, 3, 5, 6, 7})); // by ParentID
        QCOMPARE(all[3].Key(), QStringLiteral("BRH30"));
        CTreeNode one;
        QVERIFY(one.Read(30));
        QCOMPARE(one.NodeType, QStringLiteral("BRH"));

        DbHandle none;
        const QList<CTreeNode> groups = CUserGroup().GetGroups(1, none);
        QCOMPARE(idsOf(groups), (QList<qint32>{3, 30}));
        QCOMPARE(QStringList({groups[0].Key(), groups[1].NodeType, groups[1].Key()}), QStringList({"GRP3", "", "30"}));

        const auto ids = [&] { return db.value("SELECT SUM(ID) FROM TreeNode").toInt(); };
        QVERIFY(one.Read(6));
        one.Delete(7); // the given row
        QCOMPARE(ids(), 1 + 2 + 3 + 4 + 5 + 6 + 30);
        one.Delete(); // its own
        QCOMPARE(ids(), 1 + 2 + 3 + 4 + 5 + 30);

        DbHandle connection = OpenADOConnection();
        CUserGroup memberships;
        memberships.AddToGroup(12, 3, connection);
        memberships.AddToGroup(12, 5, connection);
        QCOMPARE(idsOf(memberships.GetGroups(12, connection)), (QList<qint32>{3, 5}));
        memberships.DeleteFromGroup(12, 3, connection);
        QCOMPARE(idsOf(memberships.GetGroups(12, connection)), (QList<qint32>{5}));
        QVERIFY(connection);
    }

    void aFailedReadIsShownAndGivesNothing()
    {
        TestEnvironment env;
        env.useSqliteDatabase(); // no tables
        QVERIFY(CTreeNode::ReadAll().isEmpty());
        QCOMPARE(env.errorWindow.shown.size(), 1);
        QVERIFY(env.errorWindow.shown[0].details.contains(QStringLiteral("CTreeNode.ReadAll")));
    }
};

QTEST_GUILESS_MAIN(tst_TreeNode)
#include "tst_TreeNode.moc"
