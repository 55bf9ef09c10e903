#include "CDebug.h"

#include "MWebGlobalData.h"
#include "platform/DataSourceRegistry.h"

namespace QelWeb {

QString CDebug::GetVersion() const
{
    return QStringLiteral("Qel Web %1.%2.%3")
        .arg(TESSALY_VERSION_MAJOR)
        .arg(TESSALY_VERSION_MINOR)
        .arg(TESSALY_VERSION_REVISION);
}

QString CDebug::GetDSN() const
{
    return DataSourceRegistry::masked(GetConnectionString());
}

QString CDebug::GetDBType() const
{
    return InitWebConnectionTypeInfo();
}

} // namespace QelWeb
