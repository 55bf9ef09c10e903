#pragma once

#include "MADOFunctions.h"

#include <QStringList>
#include <QVariantList>

// The tables of the shared database and how each engine spells them. Column
// lists are written once; PostgreSQL takes timestamp where SQLite keeps
// datetime. Flags are int 0/1 columns on both engines.
//
// The operations that change the schema only do what is still missing, so an
// upgrade step that failed half-way can simply run again.
class CSchemaTables
{
public:
    explicit CSchemaTables(bool sqlite) : m_sqlite(sqlite) {}

    // The tables of the oldest schema, which a new, empty database gets first.
    static const QStringList &oldestTables();

    // "CREATE TABLE ..." for a table this program knows.
    QString createStatement(const QString &table) const;
    // "ALTER TABLE ... ADD ..." for one column definition ("Name type NULL").
    QString addColumnStatement(const QString &table, const QString &definition) const;

    void createIfMissing(DbHandle &connection, const QString &table) const;
    void addColumnIfMissing(DbHandle &connection, const QString &table, const QString &definition) const;
    // Inserts a row unless a row with the same values in the first keyCount
    // columns is already there.
    static void insertIfMissing(DbHandle &connection, const QString &table, const QStringList &columns,
                                const QVariantList &values, int keyCount = 1);

    static bool hasColumn(DbHandle &connection, const QString &table, const QString &column);

    // The indexes of what every poll, status change and log-in asks: rows
    // above a LastUpdated value or its largest value, a group's members, a
    // user's groups, a login name. Without them each of these reads a whole
    // table that grows with the users.
    static void createIndexes(DbConnection &connection);
    // Creates the indexes a database lacks and then gathers the statistics
    // the planners choose an index by, in one transaction; gives whether it
    // had to. SQLite gathers statistics only when asked: they are also due
    // when its users are in and it never has been asked.
    static bool completeIndexes(DbConnection &connection);

private:
    bool m_sqlite;
};
