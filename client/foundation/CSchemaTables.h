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

    // Every poll and every status change looks for rows above a LastUpdated
    // value or for its largest value; without an index both read the table.
    static void indexChangeCounter(DbHandle &connection);

private:
    bool m_sqlite;
};
