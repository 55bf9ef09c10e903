#include "MWebGlobalData.h"

#include "platform/Clock.h"
#include "platform/SettingsKeys.h"

#include <QDateTime>

namespace QelWeb {

namespace {

constexpr qint64 kCacheSeconds = 120;

// Each thread of the hosting server keeps its own copy, empty at first.
struct WebGlobalData
{
    QString m_sWebConnection;
    QDateTime m_dtWebConnectionRead;
};
thread_local WebGlobalData t_data;

QString setDefault(const SettingKey &key)
{
    const QString value = key.defaultValue();
    if (key.keyExists() || key.createKey())
        key.write(value);
    return value;
}

QString readOrDefault(const SettingKey &key)
{
    const QString stored = key.stored().value_or(QString());
    return stored.isEmpty() ? setDefault(key) : stored;
}

} // namespace

QString WebSettingsKey()
{
    return SettingsKeys::WebConnection.keyPath();
}

QString DefaultWebConnection()
{
    return SettingsKeys::WebConnection.defaultValue();
}

QString DefaultWebConnectionType()
{
    return SettingsKeys::WebConnectionType.defaultValue();
}

QString GetConnectionString()
{
    WebGlobalData &data = t_data;
    const QDateTime now = Clock::now();
    if (!data.m_dtWebConnectionRead.isValid())
        data.m_dtWebConnectionRead = now;
    if (data.m_dtWebConnectionRead.secsTo(now) > kCacheSeconds) {
        data.m_sWebConnection = InitWebConnectionInfo();
        data.m_dtWebConnectionRead = now;
    }
    if (data.m_sWebConnection.isEmpty())
        data.m_sWebConnection = InitWebConnectionInfo();
    return data.m_sWebConnection;
}

QString InitWebConnectionInfo()
{
    return readOrDefault(SettingsKeys::WebConnection);
}

QString InitWebConnectionTypeInfo()
{
    return readOrDefault(SettingsKeys::WebConnectionType);
}

QString SetDefaultWebConnection()
{
    return setDefault(SettingsKeys::WebConnection);
}

QString SetDefaultWebConnectionType()
{
    return setDefault(SettingsKeys::WebConnectionType);
}

} // namespace QelWeb
