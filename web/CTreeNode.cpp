#include "CTreeNode.h"

#include "WebErrors.h"
#include "platform/AppError.h"

namespace QelWeb {

void CTreeNode::addChild(const CTreeNode &node)
{
    if (!Children.add(node.Key(), node))
        throw AppError(WebErr::DuplicateKey, QStringLiteral("CTreeNode.addChild"),
                       QStringLiteral("This key is already associated with an element of this collection: ")
                           + node.Key());
}

} // namespace QelWeb
