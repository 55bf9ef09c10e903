#include "CUser.h"

#include "platform/RecordSet.h"
#include "platform/StoredText.h"

namespace QelWeb {

CUser CUser::fromRow(const RecordSet &rs)
{
    CUser user;
    user.ID = qint32(rs.integer(QStringLiteral("UserID")));
    user.Name = DecodeQuotes(rs.text(QStringLiteral("RealName")).trimmed());
    user.Email = DecodeQuotes(rs.text(QStringLiteral("Email")).trimmed());
    user.Status = rs.text(QStringLiteral("IsIn")).trimmed();
    user.DueBack = rs.number(QStringLiteral("ETA"));
    user.OutAt = rs.number(QStringLiteral("ETD"));
    user.Note = DecodeQuotes(rs.text(QStringLiteral("Note")).trimmed());
    return user;
}

} // namespace QelWeb
