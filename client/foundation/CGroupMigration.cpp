#include "CGroupMigration.h"

#include "CSchemaTables.h"

#include <QMultiHash>
#include <QVector>

qint32 CGroupMigration::migrateGroups(DbHandle &connection)
{
    RecordSet groups = OpenADORecordSet(
        connection, QStringLiteral("SELECT GroupID, GroupName FROM Groups WHERE GroupID > 1 ORDER BY GroupID"));
    qint32 id = FirstNodeId;
    for (; !groups.eof(); groups.moveNext(), ++id)
        CSchemaTables::insertIfMissing(connection, QStringLiteral("TreeNode"),
                                       {QStringLiteral("ID"), QStringLiteral("Name"), QStringLiteral("NodeType"),
                                        QStringLiteral("ParentID")},
                                       {id, groups.text(QStringLiteral("GroupName")).trimmed(), QStringLiteral("GRP"),
                                        AttendanceNodeId});
    return id;
}

void CGroupMigration::migrateMemberships(DbHandle &connection)
{
    QMultiHash<qint64, QString> groupNames;
    for (RecordSet rs = OpenADORecordSet(connection, QStringLiteral("SELECT GroupID, GroupName FROM Groups"));
         !rs.eof(); rs.moveNext())
        groupNames.insert(rs.integer(QStringLiteral("GroupID")), rs.text(QStringLiteral("GroupName")));

    struct Node { qint64 id; QString name; };
    QVector<Node> nodes;
    for (RecordSet rs = OpenADORecordSet(
             connection, QStringLiteral("SELECT ID, Name FROM TreeNode WHERE ID > 7 ORDER BY ID"));
         !rs.eof(); rs.moveNext())
        nodes.append({rs.integer(QStringLiteral("ID")), rs.text(QStringLiteral("Name"))});

    RecordSet members = OpenADORecordSet(
        connection, QStringLiteral("SELECT GroupID, UserID FROM GroupMembers ORDER BY GroupID, UserID"));
    for (; !members.eof(); members.moveNext()) {
        const qint64 userId = members.integer(QStringLiteral("UserID"));
        const QList<QString> names = groupNames.values(members.integer(QStringLiteral("GroupID")));
        for (const QString &name : names)
            for (const Node &node : nodes)
                if (sameName(name, node.name))
                    CSchemaTables::insertIfMissing(connection, QStringLiteral("UserGroup"),
                                                   {QStringLiteral("UserID"), QStringLiteral("GroupID")},
                                                   {userId, node.id}, 2);
    }
}

bool CGroupMigration::sameName(const QString &a, const QString &b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}
