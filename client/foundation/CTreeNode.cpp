#include "CTreeNode.h"

#include "ConnectionScope.h"
#include "CounterAllocator.h"
#include "MErrorHandler.h"
#include "platform/AppError.h"

namespace {

void showFailure(const QString &operation, const AppError &e)
{
    ErrorDialog(e.number(), e.description(),
                QStringLiteral("CTreeNode.") + operation + QStringLiteral("\r\n") + e.source());
}

QString textOf(const RecordSet &rs, const QString &field)
{
    return DecodeQuotes(rs.text(field).trimmed());
}

} // namespace

QString CTreeNode::Key() const
{
    return NodeType + QString::number(ID);
}

QString CTreeNode::TreeKey() const
{
    return treeKeyOf(ID);
}

QString CTreeNode::treeKeyOf(qint32 id)
{
    return QStringLiteral("NOD") + QString::number(id);
}

CTreeNode CTreeNode::fromRow(const RecordSet &rs, bool asGroup)
{
    CTreeNode node;
    node.ID = qint32(rs.integer(QStringLiteral("ID")));
    node.ParentID = qint32(rs.integer(QStringLiteral("ParentID")));
    node.Name = textOf(rs, QStringLiteral("Name"));
    node.NodeType = rs.text(QStringLiteral("NodeType")).trimmed();
    if (node.NodeType.isEmpty() && !asGroup)
        node.NodeType = QStringLiteral("BRH");
    if (!asGroup)
        node.URL = textOf(rs, QStringLiteral("URL"));
    node.ToolTip = textOf(rs, QStringLiteral("ToolTip"));
    node.Icon = textOf(rs, QStringLiteral("Icon"));
    return node;
}

bool CTreeNode::save()
{
    try {
        if (ID < 1)
            insertTreeNode();
        else
            updateTreeNode();
        return true;
    } catch (const AppError &e) {
        showFailure(QStringLiteral("save"), e);
        return false;
    }
}

void CTreeNode::insertTreeNode()
{
    DbHandle connection;
    qint32 newId = 0;
    // The id and the row go in together, so a failure hands out no id.
    CounterAllocator::inWriteTransaction(connection, [&](DbConnection &c) {
        newId = CounterAllocator::nextId(c, QStringLiteral("trnode"), 2, true);
        c.execute(QStringLiteral("INSERT INTO TreeNode (ID, ParentID, Name, NodeType, URL, ToolTip, Icon) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?)"),
                  {newId, ParentID, EncodeQuotes(Name), NodeType, EncodeQuotes(URL), EncodeQuotes(ToolTip),
                   EncodeQuotes(Icon)});
    });
    ID = newId;
}

void CTreeNode::updateTreeNode()
{
    DbHandle connection;
    Update(QStringLiteral("UPDATE TreeNode SET Name = ?, ParentID = ?, NodeType = ?, URL = ?, ToolTip = ?, Icon = ? "
                          "WHERE ID = ?"),
           connection,
           {EncodeQuotes(Name), ParentID, NodeType, EncodeQuotes(URL), EncodeQuotes(ToolTip), EncodeQuotes(Icon), ID});
}

void CTreeNode::Delete(qint32 nodeID)
{
    try {
        DbHandle connection;
        Update(QStringLiteral("DELETE FROM TreeNode WHERE ID = ?"), connection, {nodeID == -1 ? ID : nodeID});
    } catch (const AppError &e) {
        showFailure(QStringLiteral("Delete"), e);
    }
}

bool CTreeNode::Read(qint32 nodeID)
{
    try {
        DbHandle connection;
        const RecordSet rs = OpenADORecordSet(connection, QStringLiteral("SELECT * FROM TreeNode WHERE ID = ?"), true,
                                              {nodeID});
        if (rs.eof())
            return false;
        *this = fromRow(rs);
        return true;
    } catch (const AppError &e) {
        showFailure(QStringLiteral("Read"), e);
        return false;
    }
}

QList<CTreeNode> CTreeNode::ReadAll(DbHandle &connection)
{
    QList<CTreeNode> nodes;
    try {
        ConnectionScope scope(connection);
        for (RecordSet rs = OpenADORecordSet(scope.handle(), QStringLiteral("SELECT * FROM TreeNode ORDER BY ParentID, ID"));
             !rs.eof(); rs.moveNext())
            nodes.append(fromRow(rs));
    } catch (const AppError &e) {
        showFailure(QStringLiteral("ReadAll"), e);
    }
    return nodes;
}

QList<CTreeNode> CTreeNode::ReadAll()
{
    DbHandle connection;
    return ReadAll(connection);
}
