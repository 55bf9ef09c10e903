#include "DataSourceRegistry.h"

#include "AppError.h"
#include "Registry.h"
#include "SettingsKeys.h"

#include <QRegularExpression>
#include <optional>

namespace {

// The "DSN=name" part of an ADO-style string, empty when it has none.
QString dataSourceName(const QString &connectionString)
{
    const QStringList parts = connectionString.split(u';', Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const int eq = part.indexOf(u'=');
        if (eq > 0 && part.left(eq).trimmed().compare(QLatin1String("DSN"), Qt::CaseInsensitive) == 0)
            return part.mid(eq + 1).trimmed();
    }
    return QString();
}

QString readDsnValue(Registry::Hive hive, const QString &dsn, const SettingKey &key)
{
    return key.in(hive).stored(dsn).value_or(QString());
}

ConnectionSpec resolveNow(const QString &connectionString, bool alsoMachine);

} // namespace

// Every operation opens a connection, and reading the settings file for its
// data source each time costs more than taking the connection from the pool;
// what a string stands for changes only when this process writes settings
// (another copy's change counts from the next start, as the connection string
// itself does).
ConnectionSpec DataSourceRegistry::resolve(const QString &connectionString, bool alsoMachine)
{
    struct Resolved
    {
        QString connectionString;
        bool alsoMachine;
        QString file;
        quint64 changes;
        ConnectionSpec spec;
    };
    thread_local std::optional<Resolved> last;
    const QString file = Registry::filePath(Registry::CurrentUser);
    const quint64 changes = Registry::changeCount();
    if (!last || last->connectionString != connectionString || last->alsoMachine != alsoMachine
        || last->file != file || last->changes != changes)
        last = Resolved{connectionString, alsoMachine, file, changes, resolveNow(connectionString, alsoMachine)};
    return last->spec;
}

namespace {

ConnectionSpec resolveNow(const QString &connectionString, bool alsoMachine)
{
    const QString dsn = dataSourceName(connectionString);
    if (dsn.isEmpty()) {
        if (connectionString.contains(u'='))
            return ConnectionSpec::fromConnInfo(connectionString);
        throw AppError(ErrNo::ConnectFailed, QStringLiteral("DataSource"),
                       QStringLiteral("The connection string names no data source."));
    }
    const Registry::Hive hive = alsoMachine && !SettingsKeys::DsnDriver.keyExists(dsn)
        ? Registry::LocalMachine
        : Registry::CurrentUser;
    const QString driver = readDsnValue(hive, dsn, SettingsKeys::DsnDriver);
    ConnectionSpec spec;
    if (driver.compare(DataSourceRegistry::sqliteDriver(), Qt::CaseInsensitive) == 0) {
        spec.dialect = ConnectionSpec::SQLite;
        spec.path = readDsnValue(hive, dsn, SettingsKeys::DsnSourceDB);
    } else if (driver.compare(DataSourceRegistry::postgresDriver(), Qt::CaseInsensitive) == 0) {
        spec = DataSourceRegistry::serverSpec(readDsnValue(hive, dsn, SettingsKeys::DsnServer),
                          readDsnValue(hive, dsn, SettingsKeys::DsnDatabase),
                          readDsnValue(hive, dsn, SettingsKeys::DsnLastUser));
    } else {
        throw AppError(ErrNo::ConnectFailed, QStringLiteral("DataSource"),
                       QStringLiteral("Data source name not found and no default driver specified: %1").arg(dsn));
    }
    if (!spec.isValid())
        throw AppError(ErrNo::ConnectFailed, QStringLiteral("DataSource"),
                       QStringLiteral("The data source %1 names no database.").arg(dsn));
    return spec;
}

} // namespace

ConnectionSpec DataSourceRegistry::serverSpec(const QString &server, const QString &database, const QString &user)
{
    ConnectionSpec spec;
    if (server.contains(u'=')) {
        spec = ConnectionSpec::fromConnInfo(server);
    } else {
        spec.dialect = ConnectionSpec::PostgreSQL;
        const int colon = server.lastIndexOf(u':');
        spec.host = colon > 0 ? server.left(colon) : server;
        if (colon > 0)
            spec.port = server.mid(colon + 1).toInt();
    }
    if (spec.database.isEmpty())
        spec.database = database;
    if (spec.user.isEmpty())
        spec.user = user;
    return spec;
}

QString DataSourceRegistry::masked(const QString &connectionString)
{
    static const QRegularExpression password(
        QStringLiteral("((?:password|pwd)\\s*=\\s*)('(?:[^'\\\\]|\\\\.)*'|[^;\\s]*)"),
        QRegularExpression::CaseInsensitiveOption);
    QString text = connectionString;
    text.replace(password, QStringLiteral("\\1*****"));
    return text;
}
