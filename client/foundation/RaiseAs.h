#pragma once

#include "platform/AppError.h"

#include <QString>

// Runs one operation of a class that raises its failures to the caller: a
// trapped error goes on as ErrNo::Raised with the source
// "<where> (<number>)" CR LF <its source>, and its description. Gives 10000.
// A log-in name already in use goes on as it is: it is no failure, but a
// value the user must change, and his dialog tells him so.
template <typename Work>
qint32 raisingAs(const QString &where, Work &&work)
{
    try {
        work();
        return ErrNo::Success;
    } catch (const AppError &e) {
        if (e.number() == ErrNo::LoginInUse)
            throw;
        throw AppError(ErrNo::Raised, where + QStringLiteral(" (%1)\r\n").arg(e.number()) + e.source(),
                       e.description());
    }
}
