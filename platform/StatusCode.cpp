#include "StatusCode.h"

#include "AppError.h"
#include "TextLimit.h"

bool StatusCode::isValid(const QString &code)
{
    if (code.size() != 3)
        return false;
    for (const QChar c : code)
        if (!((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')))
            return false;
    return true;
}

void StatusCode::require(const QString &code, const QString &source)
{
    if (!isValid(code))
        throw AppError(InvalidCodeError, source,
                       QStringLiteral("Invalid status code [%1]: a status code is three characters, A-Z and 0-9.")
                           .arg(TextLimit::left(code, 40)));
}
