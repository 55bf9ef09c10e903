#pragma once

#include "KeyedCollection.h"

#include <QString>

namespace QelWeb {

// One node of the navigation tree as a page draws it, with its children.
class CTreeNode
{
public:
    qint32 ID = 0;
    QString Name;
    qint32 ParentID = 0; // 0 = under the root
    QString Icon;        // an icon file's name without "ICO", or a built-in icon name
    QString URL;
    QString NodeType;
    KeyedCollection<CTreeNode> Children; // keyed by their Key

    QString Key() const { return keyOf(ID); }
    QString ParentKey() const { return keyOf(ParentID); }
    bool hasChildren() const { return !Children.isEmpty(); }
    // Adds the node under its Key; raises AppError when the key is taken.
    void addChild(const CTreeNode &node);

    static QString keyOf(qint32 id) { return QStringLiteral("GRP") + QString::number(id); }
};

} // namespace QelWeb
