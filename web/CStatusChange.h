#pragma once

#include <QString>

namespace QelWeb {

// A status change made from a page. It writes the user's row and a history
// row as the program does, with a new change counter, so running copies of
// the program show it at their next poll; no datagram is sent.
class CStatusChange
{
public:
    // Dates are day numbers, 0 for none. The note is cut as the program cuts
    // it. Raises AppError, and writes nothing, for a code that is neither
    // built in nor an active custom status, a date outside 1900 to 9999, a
    // note with a NUL, a user id without a row, or a failed write.
    void ChangeStatus(qint32 iUserID, const QString &sStatusCode, double dtOutAt, double dtDueBack,
                      const QString &sNote) const;
    // The highest LastUpdated; 0 when there is none.
    qint32 getLastUpdatedValue() const;
};

} // namespace QelWeb
