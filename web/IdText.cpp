#include "IdText.h"

#include "WebErrors.h"
#include "platform/AppError.h"
#include "platform/TextLimit.h"

namespace QelWeb {

qint32 ParseId(const QString &text, const QString &source)
{
    bool ok = false;
    const qint32 id = text.trimmed().toInt(&ok, 10);
    if (!ok)
        throw AppError(
            WebErr::TypeMismatch, source,
            QStringLiteral("Type mismatch: the id \"%1\" is not a whole number").arg(TextLimit::left(text, 40)));
    return id;
}

} // namespace QelWeb
