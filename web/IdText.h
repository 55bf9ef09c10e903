#pragma once

#include <QString>

namespace QelWeb {

// Ids that pages pass as text (a group or resource id): a whole 32-bit
// number, blanks around it allowed; anything else raises AppError
// (WebErr::TypeMismatch) before any statement runs.
qint32 ParseId(const QString &text, const QString &source);

} // namespace QelWeb
