#pragma once

#include "CUser.h"

#include <QList>

namespace QelWeb {

// The users of one group, for a page that shows the board.
class CUserList
{
public:
    // The group's active users, by name ignoring case, then by id; empty for
    // a group without members or when the database cannot be read.
    QList<CUser> LoadUserList(qint32 iGroupID) const;
};

} // namespace QelWeb
