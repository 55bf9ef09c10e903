#pragma once

#include "platform/AppError.h"

#include <QString>

namespace QelWeb {

// Writes one error entry: to the system log, and as one line to the
// component's own log, $XDG_STATE_HOME/tessaly/qelweb.log of the user the
// web server runs as. Never raises and never shows anything. Passwords in the
// text (a connection string's) are masked.
void WriteErrorEvent(const QString &message, const AppError &error);

QString WebLogPath();

// An error whose entry has been written already; whoever reports it on does
// not write it again.
class LoggedError : public AppError
{
public:
    explicit LoggedError(const AppError &error) : AppError(error) {}
};

} // namespace QelWeb
