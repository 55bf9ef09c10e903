#include "MADOFunctions.h"

#include "Globals.h"
#include "MErrorHandler.h"
#include "platform/AppError.h"
#include "platform/ConnectionPool.h"
#include "platform/DataSourceRegistry.h"
#include "platform/DateUtil.h"
#include "platform/Registry.h"
#include "platform/SettingsKeys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString kModule = QStringLiteral("MADOFunctions");
// The server database, and the user it is opened as, when the user's choice
// names only the server.
const QString kServerDatabase = QStringLiteral("StaffData");
const QString kServerUser = QStringLiteral("tessal");

// A connection closed inside its transaction is a fault of the routine that
// held it: the pool rolls the transaction back, and the error log tells.
const bool g_poolReportsToErrorLog = [] {
    ConnectionPool::setReporter([](const QString &text) {
        WriteErrorLog(ErrNo::BadStatement, text, kModule + QStringLiteral(".CloseADOConnection"));
    });
    return true;
}();

[[noreturn]] void raiseFrom(const QString &tag, const QString &phrase, const AppError &trapped)
{
    throw AppError(ErrNo::Raised, kModule + tag + QStringLiteral("\r\n") + trapped.source(),
                   QString::number(trapped.number()) + phrase + QStringLiteral("\r\nDue to ")
                       + trapped.description());
}

QString executingPhrase(const QString &sql)
{
    return QStringLiteral(" Error Executing [") + sql + u']';
}

// Where the connection-failure text sends the user for help; an administrator
// may point it at the office's own page.
QString HelpAddressForErrors()
{
    const QString stored = SettingsKeys::ErrorHelpAddress.stored().value_or(QString());
    return stored.isEmpty() ? SettingsKeys::ErrorHelpAddress.defaultValue() : stored;
}

} // namespace

std::function<bool(DatabaseChoice &)> g_chooseDatabase;

QString DatabaseRegistryKey()
{
    return QString::fromLatin1(SettingsKeys::ServerDatabase);
}

QString DataSourceName()
{
    return QStringLiteral("StaffDataDSN");
}

QString DefaultEmbeddedDatabasePath()
{
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return data + QStringLiteral("/tessaly/StaffData.db");
}

DbHandle OpenADOConnection()
{
    const QString connectionString = GetDB();
    for (;;) {
        try {
            DbHandle connection = DbConnection::open(DataSourceRegistry::resolve(connectionString));
            g_iDBRetryCount = 0;
            return connection;
        } catch (const AppError &e) {
            if (HandleDBError(e) != 4)
                raiseFrom(QStringLiteral(".OpenADOConnection "),
                          QStringLiteral(" Error Opening [") + DataSourceRegistry::masked(connectionString) + u']', e);
        }
    }
}

RecordSet OpenADORecordSet(DbHandle &connection, const QString &sql, bool readOnly, const QVariantList &params)
{
    Q_UNUSED(readOnly); // record sets are always read whole; writes go through Update
    if (!connection)
        connection = OpenADOConnection();
    for (;;) {
        try {
            RecordSet rs = connection->query(sql, params);
            g_iDBRetryCount = 0;
            return rs;
        } catch (const AppError &e) {
            // Inside a caller's transaction a failed statement spoils the
            // transaction, so the caller retries the whole of it instead.
            if (connection->inTransaction() || HandleDBError(e) != 4)
                raiseFrom(QStringLiteral(".OpenADORecordSet "), executingPhrase(sql), e);
        }
    }
}

void ReadADORows(DbHandle &connection, const QString &sql, const QVariantList &params,
                 const std::function<void()> &start, const std::function<void(const QSqlQuery &)> &row)
{
    if (!connection)
        connection = OpenADOConnection();
    for (;;) {
        try {
            start();
            connection->queryEach(sql, params, row);
            g_iDBRetryCount = 0;
            return;
        } catch (const AppError &e) {
            if (connection->inTransaction() || HandleDBError(e) != 4)
                raiseFrom(QStringLiteral(".ReadADORows "), executingPhrase(sql), e);
        }
    }
}

void CloseADOConnection(DbHandle &connection)
{
    connection.reset();
}

QString GetDB()
{
    if (g_sConnectionString.isEmpty()) {
        try {
            g_sConnectionString = GetDBFromRegistry();
        } catch (const AppError &e) {
            if (e.number() == ErrNo::Raised)
                throw;
            raiseFrom(QStringLiteral(".GetDB "), QStringLiteral(" Error Getting Database Info"), e);
        }
    }
    return g_sConnectionString;
}

QString GetDBFromRegistry()
{
    for (;;) {
        while (!SettingsKeys::DatabaseType.keyExists())
            SaveDBToRegistry();
        g_sDBType = SettingsKeys::DatabaseType.stored().value_or(QString());
        const QString server = SettingsKeys::DatabaseServer.stored().value_or(QString());
        const QString connection = SettingsKeys::DatabaseConnection.stored().value_or(QString());

        QString result;
        const QString viaDsn = QStringLiteral("Provider=MSDASQL;DSN=") + DataSourceName() + u';';
        if (g_sDBType == QLatin1String("MSAccess"))
            result = viaDsn;
        else if (g_sDBType == QLatin1String("SQLServer"))
            result = connection.isEmpty() ? viaDsn : connection;
        else
            result = QStringLiteral("DSN=") + server + u';';

        try {
            DbConnection::open(DataSourceRegistry::resolve(result));
            g_iDBRetryCount = 0;
            return result;
        } catch (const AppError &e) {
            ErrorDialog(e.number(),
                        QStringLiteral("Cannot connect to the database, please confirm database settings... \r\n\r\n"
                                       "If this is the first time running the program you may need to install the "
                                       "SQLite and PostgreSQL drivers for Qt 6 (packages libqt6sql6-sqlite and "
                                       "libqt6sql6-psql). Please visit this online help page for details ")
                            + HelpAddressForErrors() + QStringLiteral("\r\n\r\n[")
                            + DataSourceRegistry::masked(result) + u']',
                        e.description() + QStringLiteral("\r\n") + e.source());
            // The user corrects the stored choice or tries it again; ending
            // there leaves the settings as they were.
            SaveDBToRegistry();
        }
    }
}

namespace {

DatabaseChoice storedChoice()
{
    const auto read = [](const SettingKey &key) { return key.stored().value_or(QString()); };
    return {read(SettingsKeys::DatabaseType), read(SettingsKeys::DatabaseServer), read(SettingsKeys::DatabaseConnection)};
}

ConnectionSpec specOf(const DatabaseChoice &choice)
{
    if (choice.type != QLatin1String("SQLServer")) {
        ConnectionSpec spec;
        spec.path = choice.location;
        return spec;
    }
    if (!choice.connection.isEmpty())
        return ConnectionSpec::fromConnInfo(choice.connection);
    return DataSourceRegistry::serverSpec(choice.location, kServerDatabase, kServerUser);
}

} // namespace

QString ServerDatabaseName()
{
    return kServerDatabase;
}

QString ServerRoleName()
{
    return kServerUser;
}

QString TestDatabaseChoice(const DatabaseChoice &choice)
{
    const QString named = choice.type + QStringLiteral(" [") + choice.location + QStringLiteral("] [")
                          + DataSourceRegistry::masked(choice.connection) + u']';
    try {
        DbConnection::open(specOf(choice));
        WriteDebugLog(QStringLiteral("Database choice works: ") + named);
        return QString();
    } catch (const AppError &e) {
        const QString reason = DataSourceRegistry::masked(e.description());
        WriteDebugLog(QStringLiteral("Database choice failed: ") + named + QStringLiteral(": ") + reason);
        return reason;
    }
}

void SaveDBToRegistry()
{
    DatabaseChoice choice = storedChoice();
    if (!g_chooseDatabase || !g_chooseDatabase(choice) || choice.location.isEmpty())
        EndProgram(0);
    SettingsKeys::DatabaseType.createKey();
    SettingsKeys::DatabaseType.write(choice.type);
    SettingsKeys::DatabaseServer.write(choice.location);
    if (choice.type == QLatin1String("SQLServer"))
        SettingsKeys::DatabaseConnection.write(choice.connection.trimmed());
    if (choice.type == QLatin1String("MSAccess") || choice.type == QLatin1String("SQLServer"))
        CreateDSN(choice.type, choice.location);
    // The connection string may hold a password: the file is the user's alone.
    QFile::setPermissions(Registry::filePath(Registry::CurrentUser), QFile::ReadOwner | QFile::WriteOwner);
}

void CreateDSN(const QString &dbType, const QString &location)
{
    const bool file = dbType == QLatin1String("MSAccess");
    if (!file && dbType != QLatin1String("SQLServer"))
        return;
    const QString dsn = DataSourceName();
    SettingsKeys::DataSourceList.write(
        file ? QStringLiteral("SQLite (embedded database)") : QStringLiteral("PostgreSQL"), dsn);

    if (!SettingsKeys::DsnDriver.createKey(dsn))
        return;
    const auto put = [&](const SettingKey &key, const QString &value) { key.write(value, dsn); };
    const auto drop = [&](const SettingKey &key) { key.remove(dsn); };
    put(SettingsKeys::DsnDriver, file ? DataSourceRegistry::sqliteDriver() : DataSourceRegistry::postgresDriver());
    put(SettingsKeys::DsnDescription, QStringLiteral("Viduruviva Tessaly DSN"));
    if (file) {
        put(SettingsKeys::DsnSourceDB, location);
        put(SettingsKeys::DsnSourceType, QStringLiteral("DBC"));
        put(SettingsKeys::DsnExclusive, QStringLiteral("No"));
        put(SettingsKeys::DsnBackgroundFetch, QStringLiteral("Yes"));
        put(SettingsKeys::DsnCollate, QStringLiteral("Machine"));
        put(SettingsKeys::DsnSetNoCountOn, QStringLiteral("No"));
        drop(SettingsKeys::DsnServer);
        drop(SettingsKeys::DsnLastUser);
    } else {
        for (const SettingKey *key : {&SettingsKeys::DsnSourceDB, &SettingsKeys::DsnSourceType, &SettingsKeys::DsnExclusive,
                                      &SettingsKeys::DsnBackgroundFetch, &SettingsKeys::DsnCollate,
                                      &SettingsKeys::DsnSetNoCountOn})
            drop(*key);
        put(SettingsKeys::DsnServer, location);
        put(SettingsKeys::DsnDatabase, kServerDatabase);
        put(SettingsKeys::DsnLastUser, kServerUser);
    }
}

namespace {

// Runs one statement on the caller's connection, or on one opened for it and
// closed after, retrying a busy database as the error handler says. Inside a
// caller's transaction nothing is retried here: a failed statement spoils the
// transaction, so the caller retries the whole of it.
template <typename Work>
auto withRetries(DbHandle &connection, const QString &tag, const QString &sql, Work &&work)
{
    for (;;) {
        DbHandle own;
        DbConnection *target = connection.get();
        try {
            if (!target) {
                own = OpenADOConnection();
                target = own.get();
            }
            auto result = work(*target);
            g_iDBRetryCount = 0;
            return result;
        } catch (const AppError &e) {
            if (e.number() == ErrNo::Raised && !target)
                throw; // the connection could not be opened: already reported
            if ((connection && connection->inTransaction()) || HandleDBError(e) != 4)
                raiseFrom(tag, executingPhrase(sql), e);
        }
    }
}

} // namespace

qint32 Update(const QString &sql, DbHandle &connection, const QVariantList &params)
{
    return withRetries(connection, QStringLiteral(".Update "), sql, [&](DbConnection &db) {
        db.execute(sql, params);
        return ErrNo::Success;
    });
}

qint32 getLastUpdatedValue(DbHandle &connection)
{
    const QString sql = QStringLiteral("SELECT MAX(LastUpdated) AS maxid FROM STAFF_STATUS");
    return withRetries(connection, QStringLiteral(".getLastUpdatedValue "), sql, [&](DbConnection &db) {
        const RecordSet rs = db.query(sql);
        if (rs.eof() || rs.isNull(QStringLiteral("maxid")))
            return qint32(-1);
        return qint32(rs.integer(QStringLiteral("maxid")));
    });
}
