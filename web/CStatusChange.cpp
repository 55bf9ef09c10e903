#include "CStatusChange.h"

#include "SqlRunner.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/SharedCounters.h"
#include "platform/StatusCode.h"
#include "platform/StoredText.h"

namespace QelWeb {

namespace {
const QString kSource = QStringLiteral("CStatusChange.ChangeStatus");
}

void CStatusChange::ChangeStatus(qint32 iUserID, const QString &sStatusCode, double dtOutAt, double dtDueBack,
                                 const QString &sNote) const
{
    StatusCode::require(sStatusCode, kSource);
    const QString note = EncodeQuotes(sNote.trimmed());
    RunWriteTransaction([&](DbConnection &c) {
        const double now = Clock::nowDays();
        const qint32 counter = SharedCounters::nextLastUpdated(c);
        const int changed = c.execute(QStringLiteral("UPDATE STAFF_STATUS SET IsIn = ?, Note = ?, LastUpdated = ?, "
                                                     "LastStatusChange = ?, ETA = ?, ETD = ? WHERE UserID = ?"),
                                      {sStatusCode, note, counter, StoredDay(now), StoredDay(dtDueBack),
                                       StoredDay(dtOutAt), iUserID});
        if (changed == 0)
            throw AppError(ErrNo::Raised, kSource, QStringLiteral("No user has the id %1.").arg(iUserID));
        c.execute(QStringLiteral("INSERT INTO STATUS_HISTORY (Status, Note, ETA, ETD, UserID) VALUES (?, ?, ?, ?, ?)"),
                  {sStatusCode, note, HistoryDate(dtDueBack == 0 ? now : dtDueBack),
                   HistoryDate(dtOutAt == 0 ? now : dtOutAt), iUserID});
    });
}

qint32 CStatusChange::getLastUpdatedValue() const
{
    const auto rs = RunSQLReturnRS(QStringLiteral("SELECT MAX(LastUpdated) AS maxid FROM STAFF_STATUS"));
    return rs ? qint32(rs->integer(QStringLiteral("maxid"), 0)) : 0;
}

} // namespace QelWeb
