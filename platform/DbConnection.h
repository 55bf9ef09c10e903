#pragma once

#include "ConnectionHealth.h"
#include "ConnectionSpec.h"
#include "RecordSet.h"
#include "StatementCache.h"

#include <QSqlDatabase>
#include <QVariantList>
#include <functional>
#include <memory>
#include <thread>

class QSqlError;
class QSqlQuery;

// One open connection to the shared database, over Qt SQL. Statements take
// their values as bound parameters ("?" placeholders); failures are raised as
// AppError with the numbers of ErrNo, so the error handler's rules apply.
//
// Closing a connection (the handle going) hands it to this thread's
// ConnectionPool, and opening one takes an idle one of the same database
// from there when it is still alive.
class DbConnection
{
public:
    struct Release
    {
        void operator()(DbConnection *connection) const;
    };
    using Handle = std::unique_ptr<DbConnection, Release>;

    ~DbConnection();
    DbConnection(const DbConnection &) = delete;
    DbConnection &operator=(const DbConnection &) = delete;

    // Opens a connection; raises AppError (ErrNo::ConnectFailed) when it cannot.
    static Handle open(const ConnectionSpec &spec);

    ConnectionSpec::Dialect dialect() const { return m_spec.dialect; }
    bool isSQLite() const { return m_spec.dialect == ConnectionSpec::SQLite; }
    const ConnectionSpec &spec() const { return m_spec; }

    // Runs a statement; gives the number of rows it changed.
    int execute(const QString &sql, const QVariantList &params = {});
    // Runs a query and reads every row at once.
    RecordSet query(const QString &sql, const QVariantList &params = {});
    // Runs a query and hands each row to the caller as it is read, so no
    // copy of the whole result is held: for reads of thousands of rows. The
    // query is positioned on the row; its record() names the columns.
    void queryEach(const QString &sql, const QVariantList &params, const std::function<void(const QSqlQuery &)> &row);

    // A write transaction: on SQLite it takes the write lock at once (BEGIN
    // IMMEDIATE), so two copies never read the same counter and both write it.
    void beginWrite();
    void commit();
    void rollback(); // never raises
    bool inTransaction() const { return m_inTransaction; }
    // Keeps other writers off a table until the transaction ends (PostgreSQL;
    // SQLite's write lock already covers the whole file).
    void lockTable(const QString &table);

    bool hasTable(const QString &table);

    // For the pool: whether an idle connection can serve again, whether a
    // transaction was left open on it, and whether this thread opened it.
    bool isStillUsable();
    bool isInTransaction() const;
    bool isOwnedByThisThread() const { return m_thread == std::this_thread::get_id(); }
    // The driver's own handle (sqlite3* or PGconn*).
    QVariant nativeHandle() const;

    // How long a SQLite connection waits for a lock before it reports busy.
    static void setSqliteBusyTimeout(int milliseconds);
    static constexpr int DefaultSqliteBusyTimeoutMs = 3000;

    // Maps a Qt SQL error onto the program's error numbers.
    static qint32 errorNumber(const QSqlError &error, ConnectionSpec::Dialect dialect);

private:
    explicit DbConnection(const ConnectionSpec &spec);
    [[noreturn]] void raise(const QSqlError &error, const QString &sql) const;
    QSqlQuery &run(const QString &sql, const QVariantList &params, bool forwardOnly);
    QSqlQuery &runPrepared(const QString &sql, const QVariantList &params);

    ConnectionSpec m_spec;
    QString m_name;
    QSqlDatabase m_db;
    bool m_inTransaction = false;
    StatementCache m_statements;
    QSqlQuery m_plain; // the last statement without values
    std::thread::id m_thread = std::this_thread::get_id();
    ConnectionHealth::FileIdentity m_file;
};
