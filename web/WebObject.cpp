#include "WebObject.h"

namespace QelWeb {

QJsonValue WebObject::call(const QString &member, const QJsonArray &arguments)
{
    const std::lock_guard<std::timed_mutex> lock(m_mutex);
    Args args(arguments, this);
    return invoke(member, args);
}

} // namespace QelWeb
