#pragma once

#include <QString>

namespace QelWeb {

// Error entries for the system log, sent to the local syslog socket under the
// ident "QelWeb" with the priority "error". The socket is written directly
// rather than through openlog(), which would rename the hosting server's own
// entries. Nothing happens when no syslog daemon listens.
class SystemLog
{
public:
    static void error(const QString &text);

    // Tests listen on a socket of their own.
    static void setSocketPath(const QString &path);
    static QString socketPath();
};

} // namespace QelWeb
