#include "DbConnection.h"

#include "AppError.h"
#include "ConnectionPool.h"

#include <QFileInfo>
#include <QDir>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QScopeGuard>
#include <QSqlDriver>
#include <QSqlRecord>
#include <QUrl>
#include <atomic>
#include <mutex>

namespace {
// How long a server statement waits for a lock another session holds. The
// driver's wait blocks the window; past this it reports busy, and the error
// handler's waits, which keep the window alive, take over.
const int kServerLockTimeoutMs = 2000;

// Database files this process has opened. Such a file that has gone away is
// reported, never made afresh and empty.
std::mutex g_openedFilesMutex;
QSet<QString> g_openedFiles;

bool openedBefore(const QString &path)
{
    const std::lock_guard<std::mutex> lock(g_openedFilesMutex);
    return g_openedFiles.contains(path);
}

void rememberOpened(const QString &path)
{
    const std::lock_guard<std::mutex> lock(g_openedFilesMutex);
    g_openedFiles.insert(path);
}

std::atomic<quint64> g_connectionCounter{0};

// How long SQLite waits for another copy's write lock before reporting busy;
// the error handler's own waits follow.
int g_sqliteBusyTimeoutMs = DbConnection::DefaultSqliteBusyTimeoutMs;
}

void DbConnection::setSqliteBusyTimeout(int milliseconds)
{
    g_sqliteBusyTimeoutMs = milliseconds;
}

DbConnection::DbConnection(const ConnectionSpec &spec)
    : m_spec(spec), m_name(QStringLiteral("tessaly-%1").arg(++g_connectionCounter))
{
}

DbConnection::~DbConnection()
{
    if (m_inTransaction)
        rollback();
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
    // Let go once the driver is gone: the server forgets a session's
    // prepared statements itself, so none is freed one by one.
    m_statements.clear();
    m_plain = QSqlQuery();
}

DbConnection::Handle DbConnection::open(const ConnectionSpec &spec)
{
    if (ConnectionPool *pool = ConnectionPool::local())
        if (std::unique_ptr<DbConnection> idle = pool->take(spec))
            return Handle(idle.release());
    Handle connection(new DbConnection(spec));
    QSqlDatabase &db = connection->m_db;
    if (spec.dialect == ConnectionSpec::SQLite) {
        // A missing folder is an unmounted share or a wrong path: the file is
        // made only in a folder that exists, and only on its first open.
        const QFileInfo file(spec.path);
        const bool mayCreate = spec.createIfMissing && file.absoluteDir().exists() && !openedBefore(file.absoluteFilePath());
        if (!mayCreate && !file.exists())
            throw AppError(ErrNo::ConnectFailed, QStringLiteral("DbConnection.open"),
                           QStringLiteral("database not found at ") + spec.path);
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection->m_name);
        db.setDatabaseName(QUrl::fromLocalFile(file.absoluteFilePath()).toString(QUrl::FullyEncoded)
                           + (mayCreate ? QStringLiteral("?mode=rwc") : QStringLiteral("?mode=rw")));
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1;QSQLITE_OPEN_URI").arg(g_sqliteBusyTimeoutMs));
    } else {
        db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection->m_name);
        db.setHostName(spec.host);
        if (spec.port > 0)
            db.setPort(spec.port);
        db.setDatabaseName(spec.database);
        db.setUserName(spec.user);
        db.setPassword(spec.password);
        QString options = QStringLiteral("connect_timeout=10");
        if (!spec.options.isEmpty())
            options += u' ' + spec.options;
        db.setConnectOptions(options);
    }
    if (!db.isValid())
        throw AppError(ErrNo::AdoUnusable, QStringLiteral("DbConnection.open"),
                       QStringLiteral("The database driver is not installed."));
    if (!db.open())
        throw AppError(ErrNo::ConnectFailed, QStringLiteral("DbConnection.open"),
                       db.lastError().text());
    if (spec.dialect == ConnectionSpec::SQLite) {
        // Write-ahead logging lets readers go on while another copy writes.
        QSqlQuery pragma(db);
        pragma.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        rememberOpened(QFileInfo(spec.path).absoluteFilePath());
    } else {
        QSqlQuery(db).exec(QStringLiteral("SET lock_timeout = %1").arg(kServerLockTimeoutMs));
    }
    return connection;
}

qint32 DbConnection::errorNumber(const QSqlError &error, ConnectionSpec::Dialect dialect)
{
    const QString code = error.nativeErrorCode();
    if (dialect == ConnectionSpec::SQLite) {
        // SQLITE_BUSY (5) and SQLITE_LOCKED (6): another copy holds the file.
        if (code == QLatin1String("5") || code == QLatin1String("6")
            || error.databaseText().contains(QLatin1String("locked")))
            return ErrNo::Busy;
        // SQLITE_CONSTRAINT (19)
        if (code == QLatin1String("19"))
            return ErrNo::ConstraintFailed;
        if (error.type() == QSqlError::ConnectionError)
            return ErrNo::ConnectFailed;
        return ErrNo::BadStatement;
    }
    if (error.type() == QSqlError::ConnectionError)
        return ErrNo::ConnectFailed;
    // PostgreSQL: lock not available, serialization failure, deadlock.
    if (code == QLatin1String("55P03") || code == QLatin1String("40001") || code == QLatin1String("40P01"))
        return ErrNo::Busy;
    if (code == QLatin1String("57014"))
        return ErrNo::Timeout;
    if (code.startsWith(QLatin1String("08")) || code.startsWith(QLatin1String("57P")))
        return ErrNo::ConnectFailed;
    if (code.startsWith(QLatin1String("23")))
        return ErrNo::ConstraintFailed;
    return ErrNo::BadStatement;
}

void DbConnection::raise(const QSqlError &error, const QString &sql) const
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.text();
    Q_UNUSED(sql);
    throw AppError(errorNumber(error, m_spec.dialect),
                   m_spec.dialect == ConnectionSpec::SQLite ? QStringLiteral("SQLite") : QStringLiteral("PostgreSQL"),
                   text);
}

// PostgreSQL's driver reads a forward-only result row by row and leaves the
// command open until the next one; read whole, the command ends at once, and
// the reads here take every row anyway. SQLite prepares every statement, so
// each is kept; PostgreSQL prepares only statements with values (its PREPARE
// takes no BEGIN or LOCK), the others go as they are.
QSqlQuery &DbConnection::run(const QString &sql, const QVariantList &params, bool forwardOnly)
{
    if (!params.isEmpty() || isSQLite())
        return runPrepared(sql, params);
    m_plain = QSqlQuery(m_db);
    m_plain.setForwardOnly(forwardOnly && isSQLite());
    if (!m_plain.exec(sql)) {
        const QSqlError error = m_plain.lastError();
        m_plain = QSqlQuery();
        raise(error, sql);
    }
    return m_plain;
}

// Prepared once per connection and kept.
QSqlQuery &DbConnection::runPrepared(const QString &sql, const QVariantList &params)
{
    for (bool again = !m_inTransaction;; again = false) {
        QSqlError error;
        QSqlQuery *q = m_statements.statement(m_db, sql, isSQLite(), error);
        if (!q)
            raise(error, sql);
        for (int i = 0; i < params.size(); ++i)
            q->bindValue(i, params.at(i));
        if (q->exec())
            return *q;
        // PostgreSQL refuses a prepared statement whose table has changed
        // shape since; prepared anew, it runs (inside a transaction the
        // failure has spoilt the transaction, so the caller starts over).
        error = q->lastError();
        q->finish();
        const QString code = error.nativeErrorCode();
        const bool stale = code == QLatin1String("0A000") || code == QLatin1String("26000");
        if (stale)
            m_statements.drop(sql);
        if (!stale || !again)
            raise(error, sql);
    }
}

int DbConnection::execute(const QString &sql, const QVariantList &params)
{
    QSqlQuery &q = run(sql, params, false);
    const int changed = q.numRowsAffected();
    // Kept for the next run, but holding no lock or cursor meanwhile.
    q.finish();
    return changed;
}

void DbConnection::queryEach(const QString &sql, const QVariantList &params,
                             const std::function<void(const QSqlQuery &)> &row)
{
    QSqlQuery &q = run(sql, params, true);
    const auto finished = qScopeGuard([&q] { q.finish(); });
    while (q.next())
        row(q);
    if (q.lastError().isValid())
        raise(q.lastError(), sql);
}

RecordSet DbConnection::query(const QString &sql, const QVariantList &params)
{
    QSqlQuery &q = run(sql, params, true);
    const auto finished = qScopeGuard([&q] { q.finish(); });
    QStringList columns;
    const QSqlRecord record = q.record();
    for (int i = 0; i < record.count(); ++i)
        columns << record.fieldName(i);
    QVector<QVector<QVariant>> rows;
    while (q.next()) {
        QVector<QVariant> row(record.count());
        for (int i = 0; i < record.count(); ++i)
            row[i] = q.value(i);
        rows.append(std::move(row));
    }
    if (q.lastError().isValid())
        raise(q.lastError(), sql);
    return RecordSet(columns, std::move(rows));
}

void DbConnection::beginWrite()
{
    execute(isSQLite() ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"));
    m_inTransaction = true;
}

void DbConnection::commit()
{
    execute(QStringLiteral("COMMIT"));
    m_inTransaction = false;
}

void DbConnection::rollback()
{
    QSqlQuery q(m_db);
    q.exec(QStringLiteral("ROLLBACK"));
    m_inTransaction = false;
}

void DbConnection::lockTable(const QString &table)
{
    if (!isSQLite())
        execute(QStringLiteral("LOCK TABLE %1 IN SHARE ROW EXCLUSIVE MODE").arg(table));
}

bool DbConnection::hasTable(const QString &table)
{
    if (isSQLite())
        return query(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND lower(name) = lower(?)"),
                     {table}).recordCount() > 0;
    return query(QStringLiteral("SELECT table_name FROM information_schema.tables "
                                "WHERE table_schema = current_schema() AND lower(table_name) = lower(?)"),
                 {table}).recordCount() > 0;
}

void DbConnection::Release::operator()(DbConnection *connection) const
{
    std::unique_ptr<DbConnection> closing(connection);
    if (ConnectionPool *pool = ConnectionPool::local())
        pool->giveBack(std::move(closing));
}

bool DbConnection::isStillUsable()
{
    if (!m_db.isOpen())
        return false;
    if (!isSQLite())
        return ConnectionHealth::serverStillThere(m_db);
    // Noted when first handed back: the file this connection has open.
    if (!m_file.valid)
        m_file = ConnectionHealth::fileIdentity(m_spec.path);
    return m_file.valid && ConnectionHealth::fileIdentity(m_spec.path) == m_file;
}

bool DbConnection::isInTransaction() const
{
    return m_inTransaction || ConnectionHealth::inTransaction(m_db);
}

QVariant DbConnection::nativeHandle() const
{
    return m_db.driver() ? m_db.driver()->handle() : QVariant();
}
