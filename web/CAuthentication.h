#pragma once

#include "KeyedCollection.h"

#include <QVariant>

namespace QelWeb {

// Who the visitor is, by the log-in name the web server authenticated. No
// password is asked for or compared: the page must take the name from the
// server's own authentication, never from a form field.
class CAuthentication
{
public:
    // "auth" (true for an active user's log-in name, ignoring case and
    // surrounding blanks), then "RealName", "UserId" and "Status" when found,
    // or "uname" and "reason" when not.
    KeyedCollection<QVariant> checkuser(const QString &sUserName) const;
};

} // namespace QelWeb
