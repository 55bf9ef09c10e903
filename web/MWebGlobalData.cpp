#include "MWebGlobalData.h"

#include "platform/Clock.h"
#include "platform/Registry.h"

#include <QDateTime>

namespace QelWeb {

namespace {

const QString kConnection = QStringLiteral("WebConnection");
const QString kConnectionType = QStringLiteral("WebConnectionType");
constexpr qint64 kCacheSeconds = 120;

// Each thread of the hosting server keeps its own copy, empty at first.
struct WebGlobalData
{
    QString m_sWebConnection;
    QDateTime m_dtWebConnectionRead;
};
thread_local WebGlobalData t_data;

QString setDefault(const QString &name, const QString &value)
{
    const QString key = WebSettingsKey();
    if (Registry::keyExists(Registry::LocalMachine, key) || Registry::createKey(Registry::LocalMachine, key))
        Registry::writeString(Registry::LocalMachine, key, name, value);
    return value;
}

QString readOrDefault(const QString &name, const QString &value)
{
    const QString stored = Registry::readString(Registry::LocalMachine, WebSettingsKey(), name).value_or(QString());
    return stored.isEmpty() ? setDefault(name, value) : stored;
}

} // namespace

QString WebSettingsKey()
{
    return QStringLiteral("Software\\Halvard Software\\Qel\\4.0\\Server\\Database");
}

QString DefaultWebConnection()
{
    return QStringLiteral("Provider=MSDASQL;DSN=StaffDataDSN;");
}

QString DefaultWebConnectionType()
{
    return QStringLiteral("FOXPRO");
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
    return readOrDefault(kConnection, DefaultWebConnection());
}

QString InitWebConnectionTypeInfo()
{
    return readOrDefault(kConnectionType, DefaultWebConnectionType());
}

QString SetDefaultWebConnection()
{
    return setDefault(kConnection, DefaultWebConnection());
}

QString SetDefaultWebConnectionType()
{
    return setDefault(kConnectionType, DefaultWebConnectionType());
}

} // namespace QelWeb
