#include "PgServer.h"

#include "platform/ConnectionSpec.h"
#include "platform/DbConnection.h"

#include <QCoreApplication>

bool PgServer::available()
{
    return !adminConnInfo().isEmpty();
}

bool PgServer::required()
{
    return qEnvironmentVariableIntValue("TESSALY_REQUIRE_PG") == 1;
}

QString PgServer::adminConnInfo()
{
    return qEnvironmentVariable("TESSALY_PG_CONNINFO");
}

QString PgServer::createDatabase(const QString &name)
{
    const QString db = (name + QStringLiteral("_%1").arg(QCoreApplication::applicationPid())).toLower();
    auto admin = DbConnection::open(ConnectionSpec::fromConnInfo(adminConnInfo()));
    admin->execute(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(db));
    admin->execute(QStringLiteral("CREATE DATABASE %1").arg(db));
    return adminConnInfo() + QStringLiteral(" dbname=") + db;
}

void PgServer::dropDatabase(const QString &name)
{
    const QString db = (name + QStringLiteral("_%1").arg(QCoreApplication::applicationPid())).toLower();
    try {
        auto admin = DbConnection::open(ConnectionSpec::fromConnInfo(adminConnInfo()));
        admin->execute(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(db));
    } catch (...) {
    }
}
