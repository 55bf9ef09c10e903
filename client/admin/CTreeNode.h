#pragma once

#include <QString>

// One node of the navigation tree.
class CTreeNode
{
public:
    qint32 ID = 0;
    qint32 ParentID = 0;
    QString Name;
    QString NodeType; // "GRP", "RSG", "BRH", "WEB", ...
    QString URL;
    QString ToolTip;
    QString Icon;

    // "NOD" followed by the id: the node's key in the tree.
    QString Key() const { return QStringLiteral("NOD") + QString::number(ID); }
};
