#pragma once

#include "CTreeNode.h"

class RecordSet;

namespace QelWeb {

// The navigation tree of branches, groups, resource groups and web links.
class CGroupList
{
public:
    // The root ("GRP0") with every stored node below its parent, in the order
    // of their ids within a parent. A node stored before its parent is
    // attached all the same; a node whose parent is missing, or that is its
    // own ancestor, is logged and left out. Raises AppError when the table
    // cannot be read.
    CTreeNode LoadGroupList() const;

private:
    static CTreeNode nodeFromRow(const RecordSet &rs);
};

} // namespace QelWeb
