#include "CStatusChange.h"

#include "SqlRunner.h"
#include "WebValues.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/SharedCounters.h"
#include "platform/StatusCode.h"
#include "platform/StoredText.h"

namespace QelWeb {

namespace {

const QString kSource = QStringLiteral("CStatusChange.ChangeStatus");

// A code the program does not know would show as a blank status with no
// picture on every board.
void requireKnownStatus(DbConnection &c, const QString &code)
{
    if (!WebValues::isBuiltInStatus(code)
        && c.query(QStringLiteral("SELECT id FROM Custom_Status WHERE id = ? AND Active = 1"), {code}).eof())
        throw AppError(StatusCode::InvalidCodeError, kSource, QStringLiteral("No status has the code %1.").arg(code));
}

} // namespace

void CStatusChange::ChangeStatus(qint32 iUserID, const QString &sStatusCode, double dtOutAt, double dtDueBack,
                                 const QString &sNote) const
{
    StatusCode::require(sStatusCode, kSource);
    const QString note = EncodeQuotes(WebValues::columnText(sNote, WebValues::TextLength, kSource).trimmed());
    if (dtOutAt != 0)
        WebValues::requireDate(dtOutAt, QStringLiteral("time out"), kSource);
    if (dtDueBack != 0)
        WebValues::requireDate(dtDueBack, QStringLiteral("time due back"), kSource);
    RunWriteTransaction([&](DbConnection &c) {
        requireKnownStatus(c, sStatusCode);
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
    return qint32(RunSQLReturnRS(QStringLiteral("SELECT MAX(LastUpdated) AS maxid FROM STAFF_STATUS"))
                      .integer(QStringLiteral("maxid"), 0));
}

} // namespace QelWeb
