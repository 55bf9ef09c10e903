#include "CTreeNode.h"

#include "ConnectionScope.h"
#include "CounterAllocator.h"
#include "Globals.h"
#include "IPrompt.h"
#include "MErrorHandler.h"
#include "TreeNodeChecks.h"
#include "platform/AppError.h"
#include "platform/TextLimit.h"

#include <algorithm>

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
    cutToColumns();
    try {
        DbHandle connection;
        QString refusal;
        CounterAllocator::inWriteTransaction(connection, [&](DbConnection &c) {
            refusal = TreeNodeChecks::saveRefusal(c, *this);
            if (!refusal.isEmpty())
                return;
            if (ID < 1)
                insertTreeNode(c);
            else
                updateTreeNode(c);
        });
        if (!refusal.isEmpty()) {
            g_prompt->message(refusal, IPrompt::Ok, IPrompt::Exclamation, QStringLiteral("Cannot save"));
            return false;
        }
        putIntoCollection();
        return true;
    } catch (const AppError &e) {
        showFailure(QStringLiteral("save"), e);
        return false;
    }
}

// Encoding keeps the length, so the texts cut to their columns fit them.
QVariantList CTreeNode::storedTexts() const
{
    return {EncodeQuotes(Name), NodeType, EncodeQuotes(URL), EncodeQuotes(ToolTip), EncodeQuotes(Icon)};
}

// The server refuses a text longer than its column where the embedded database
// keeps it: cut both the same, and the node in memory as it is stored.
void CTreeNode::cutToColumns()
{
    Name = TextLimit::left(Name, NameLength);
    URL = TextLimit::left(URL, URLLength);
    ToolTip = TextLimit::left(ToolTip, ToolTipLength);
    Icon = TextLimit::left(Icon, IconLength);
}

void CTreeNode::insertTreeNode(DbConnection &c)
{
    const qint32 newId = CounterAllocator::nextId(c, QStringLiteral("trnode"), 2, true);
    c.execute(QStringLiteral("INSERT INTO TreeNode (Name, NodeType, URL, ToolTip, Icon, ID, ParentID) "
                             "VALUES (?, ?, ?, ?, ?, ?, ?)"),
              storedTexts() + QVariantList{newId, ParentID});
    // Set only now: a refused or failed insert leaves the node new.
    ID = newId;
}

void CTreeNode::updateTreeNode(DbConnection &c)
{
    c.execute(QStringLiteral("UPDATE TreeNode SET Name = ?, NodeType = ?, URL = ?, ToolTip = ?, Icon = ?, ParentID = ? "
                             "WHERE ID = ?"),
              storedTexts() + QVariantList{ParentID, ID});
}

void CTreeNode::putIntoCollection() const
{
    const auto same = std::find_if(g_colTreeNodes.begin(), g_colTreeNodes.end(),
                                   [&](const CTreeNode &node) { return node.ID == ID; });
    if (same == g_colTreeNodes.end())
        g_colTreeNodes.append(*this);
    else
        *same = *this;
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

bool CTreeNode::deleteNode(qint32 nodeID, const QString &text)
{
    try {
        DbHandle connection;
        bool kept = false;
        CounterAllocator::inWriteTransaction(connection, [&](DbConnection &c) {
            kept = TreeNodeChecks::holdsItems(c, nodeID);
            if (kept)
                return;
            c.execute(QStringLiteral("DELETE FROM UserGroup WHERE GroupID = ?"), {nodeID});
            c.execute(QStringLiteral("DELETE FROM TreeNode WHERE ID = ?"), {nodeID});
        });
        if (kept) {
            g_prompt->message(QStringLiteral("Please delete or remove items from ") + text
                                  + QStringLiteral(" before deleting it."),
                              IPrompt::Ok, IPrompt::Exclamation, QStringLiteral("Cannot delete"));
            return false;
        }
        g_colTreeNodes.removeIf([&](const CTreeNode &node) { return node.ID == nodeID; });
        return true;
    } catch (const AppError &e) {
        showFailure(QStringLiteral("deleteNode"), e);
        return false;
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
