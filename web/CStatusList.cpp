#include "CStatusList.h"

#include "SqlRunner.h"
#include "platform/StoredText.h"

namespace QelWeb {

KeyedCollection<CStatus> CStatusList::LoadCustomStatus() const
{
    const auto rs = RunSQLReturnRS(QStringLiteral("SELECT * FROM Custom_Status WHERE Active = 1 ORDER BY id"));
    KeyedCollection<CStatus> statuses;
    for (RecordSet rows = rs; !rows.eof(); rows.moveNext()) {
        CStatus status;
        status.Status = DecodeQuotes(rows.text(QStringLiteral("description")).trimmed());
        status.StatusCode = rows.text(QStringLiteral("id")).trimmed(); // PostgreSQL pads a short one
        status.CustomType = rows.text(QStringLiteral("status_type")).trimmed();
        const QString icon = DecodeQuotes(rows.text(QStringLiteral("Icon")).trimmed());
        status.Icon = icon.startsWith(QLatin1String("ICO")) ? icon.mid(3) : icon.toLower();
        statuses.add(status.Key(), status);
    }
    return statuses;
}

} // namespace QelWeb
