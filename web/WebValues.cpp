#include "WebValues.h"

#include "WebErrors.h"
#include "platform/AppError.h"
#include "platform/DateUtil.h"
#include "platform/TextLimit.h"

#include <QStringList>

namespace QelWeb {

QString WebValues::columnText(const QString &text, qsizetype length, const QString &source)
{
    if (text.contains(QChar(0)))
        throw AppError(WebErr::BadArguments, source, QStringLiteral("A text holds a NUL character."));
    return TextLimit::leftCharacters(text, length);
}

void WebValues::requireDate(double day, const QString &what, const QString &source)
{
    static const double first = DateUtil::toDays(QDate(1900, 1, 1));
    static const double afterLast = DateUtil::toDays(QDate(9999, 12, 31)) + 1;
    // Written so that NaN fails too.
    if (!(day >= first && day < afterLast))
        throw AppError(WebErr::BadArguments, source,
                       QStringLiteral("The %1 must be a date between 1900 and 9999, not %2.").arg(what).arg(day));
}

bool WebValues::isBuiltInStatus(const QString &code)
{
    // The program's thirteen; a code beside them needs a custom status row.
    static const QStringList codes =
        QStringLiteral("INN OUT LNC MTG HME DND MTO MTT MTA MTD BRK VAC SCK").split(u' ');
    return codes.contains(code);
}

} // namespace QelWeb
