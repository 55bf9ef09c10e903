#pragma once

#include <QString>

namespace QelWeb {

// A status change made from a page. It writes the user's row and a history
// row as the program does, with a new change counter, so running copies of
// the program show it at their next poll; no datagram is sent.
class CStatusChange
{
public:
    // Dates are day numbers, 0 for none. Raises AppError, and writes nothing,
    // for an invalid status code, a user id without a row, or a failed write.
    void ChangeStatus(qint32 iUserID, const QString &sStatusCode, double dtOutAt, double dtDueBack,
                      const QString &sNote) const;
    // The highest LastUpdated; 0 when there is none or it cannot be read.
    qint32 getLastUpdatedValue() const;
};

} // namespace QelWeb
