#pragma once

#include <QString>

namespace QelWeb {

// What an administrator asks a page when the board does not show: the
// component's version and the settings it runs with.
class CDebug
{
public:
    QString GetVersion() const; // "Qel Web 5.0.36"
    QString GetDSN() const;     // the connection string in use, passwords masked
    QString GetDBType() const;  // "WebConnectionType", read afresh
};

} // namespace QelWeb
