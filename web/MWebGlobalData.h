#pragma once

#include <QString>

namespace QelWeb {

// The web component's own connection settings, kept apart from the program's:
// "WebConnection" and "WebConnectionType" under the machine's database key.
// Each thread of the hosting server caches them for 120 seconds.

QString WebSettingsKey();
QString DefaultWebConnection();     // "Provider=MSDASQL;DSN=StaffDataDSN;"
QString DefaultWebConnectionType(); // "FOXPRO"

// The connection string in use on this thread: read from the machine's
// settings on the thread's first call, then again at its first call more than
// 120 seconds after the last read.
QString GetConnectionString();

// Read the value now, writing the default first when it is missing or empty.
QString InitWebConnectionInfo();
QString InitWebConnectionTypeInfo();
// Write the default (when the settings may be written) and give it.
QString SetDefaultWebConnection();
QString SetDefaultWebConnectionType();

} // namespace QelWeb
