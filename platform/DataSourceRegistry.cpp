#include "DataSourceRegistry.h"

#include "AppError.h"
#include "Registry.h"

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

QString readDsnValue(const QString &dsn, const QString &name)
{
    return Registry::readString(Registry::CurrentUser, DataSourceRegistry::odbcIniKey() + u'\\' + dsn, name)
        .value_or(QString());
}

ConnectionSpec resolveNow(const QString &connectionString);

} // namespace

// Every operation opens a connection, and reading the settings file for its
// data source each time costs more than taking the connection from the pool;
// what a string stands for changes only when this process writes settings
// (another copy's change counts from the next start, as the connection string
// itself does).
ConnectionSpec DataSourceRegistry::resolve(const QString &connectionString)
{
    struct Resolved
    {
        QString connectionString;
        QString file;
        quint64 changes;
        ConnectionSpec spec;
    };
    thread_local std::optional<Resolved> last;
    const QString file = Registry::filePath(Registry::CurrentUser);
    const quint64 changes = Registry::changeCount();
    if (!last || last->connectionString != connectionString || last->file != file || last->changes != changes)
        last = Resolved{connectionString, file, changes, resolveNow(connectionString)};
    return last->spec;
}

namespace {

ConnectionSpec resolveNow(const QString &connectionString)
{
    const QString dsn = dataSourceName(connectionString);
    if (dsn.isEmpty()) {
        if (connectionString.contains(u'='))
            return ConnectionSpec::fromConnInfo(connectionString);
        throw AppError(ErrNo::ConnectFailed, QStringLiteral("DataSource"),
                       QStringLiteral("The connection string names no data source."));
    }
    const QString driver = readDsnValue(dsn, QStringLiteral("Driver"));
    ConnectionSpec spec;
    if (driver.compare(DataSourceRegistry::sqliteDriver(), Qt::CaseInsensitive) == 0) {
        spec.dialect = ConnectionSpec::SQLite;
        spec.path = readDsnValue(dsn, QStringLiteral("SourceDB"));
    } else if (driver.compare(DataSourceRegistry::postgresDriver(), Qt::CaseInsensitive) == 0) {
        const QString server = readDsnValue(dsn, QStringLiteral("Server"));
        if (server.contains(u'='))
            spec = ConnectionSpec::fromConnInfo(server);
        else {
            spec.dialect = ConnectionSpec::PostgreSQL;
            const int colon = server.lastIndexOf(u':');
            spec.host = colon > 0 ? server.left(colon) : server;
            if (colon > 0)
                spec.port = server.mid(colon + 1).toInt();
        }
        if (spec.database.isEmpty())
            spec.database = readDsnValue(dsn, QStringLiteral("Database"));
        if (spec.user.isEmpty())
            spec.user = readDsnValue(dsn, QStringLiteral("LastUser"));
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

QString DataSourceRegistry::masked(const QString &connectionString)
{
    static const QRegularExpression password(
        QStringLiteral("((?:password|pwd)\\s*=\\s*)('(?:[^'\\\\]|\\\\.)*'|[^;\\s]*)"),
        QRegularExpression::CaseInsensitiveOption);
    QString text = connectionString;
    text.replace(password, QStringLiteral("\\1*****"));
    return text;
}
