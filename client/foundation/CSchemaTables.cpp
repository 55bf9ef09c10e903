#include "CSchemaTables.h"

#include "platform/AppError.h"

#include <QHash>
#include <algorithm>

namespace {

// Column lists in the form both engines read. Free text of the oldest tables
// is unbounded varchar: SQLite never enforces a length, so a limit would only
// make PostgreSQL refuse what SQLite keeps.
const QHash<QString, QString> &columnLists()
{
    static const QHash<QString, QString> lists = {
        // The oldest schema.
        {QStringLiteral("STAFF_STATUS"),
         QStringLiteral("UserID int NOT NULL PRIMARY KEY, RealName varchar NULL, Email varchar NULL, "
                        "MobilePh varchar NULL, PhExtension varchar NULL, MobileOn int NULL, IsIn char(3) NULL, "
                        "Note varchar NULL, LastUpdated int NULL, LastStatusChange float NULL, ETA float NULL, "
                        "ETD float NULL")},
        {QStringLiteral("STAFF_OPTIONS"),
         QStringLiteral("UserID int NOT NULL PRIMARY KEY, LoginName varchar NULL, Outlook int NULL, "
                        "ChangeStatus int NULL, Timesheet int NULL, Admin int NULL, FastUpdates int NULL, "
                        "WorkStartTime varchar NULL, LunchTimePeriod int NULL, OnClose int NULL, "
                        "OnListDblClick int NULL, WorkDays varchar NULL")},
        {QStringLiteral("STATUS_HISTORY"),
         QStringLiteral("Status char(3) NULL, Note varchar NULL, ETA datetime NULL, ETD datetime NULL, "
                        "UserID int NOT NULL")},
        {QStringLiteral("QUICKNOTES"), QStringLiteral("UserID int NOT NULL, NoteType int NOT NULL, QuickNote varchar NULL")},
        {QStringLiteral("ADMIN"),
         QStringLiteral("ID int NOT NULL PRIMARY KEY, MarkOutOnClose int NULL, EnableTimeSheets int NULL")},
        {QStringLiteral("idmanager"), QStringLiteral("tablename varchar(10) NOT NULL PRIMARY KEY, id int NULL")},
        // Group names become tree-node names, so they share that length.
        {QStringLiteral("Groups"), QStringLiteral("GroupID int NOT NULL PRIMARY KEY, GroupName varchar(40) NOT NULL")},
        {QStringLiteral("GroupMembers"), QStringLiteral("GroupID int NOT NULL, UserID int NOT NULL")},

        // The tables of version 4.
        {QStringLiteral("Custom_Status"),
         QStringLiteral("id char(3) NOT NULL PRIMARY KEY, description varchar(36) NOT NULL, "
                        "status_type char(1) NOT NULL, Icon varchar(128) NOT NULL, Active int NOT NULL")},
        {QStringLiteral("Properties"), QStringLiteral("pkey varchar(10) NOT NULL PRIMARY KEY, pvalue varchar(254) NULL")},
        {QStringLiteral("Resource"),
         QStringLiteral("ID int NOT NULL PRIMARY KEY, Name varchar(120) NOT NULL, Code varchar(24) NOT NULL, "
                        "Location varchar(40) NULL, GroupID int NOT NULL")},
        // Note and BookedTo are as wide as the reservation dialog lets them be.
        {QStringLiteral("Reservation"),
         QStringLiteral("ID int NOT NULL PRIMARY KEY, Status char(3) NULL, ResourceID int NOT NULL, "
                        "Note varchar(254) NULL, ClientID int NULL, UserID int NOT NULL, BookedTo varchar(254) NOT NULL, "
                        "ReservedFrom datetime NOT NULL, ReservedUntil datetime NOT NULL, Cost float NULL")},
        {QStringLiteral("TreeNode"),
         QStringLiteral("ID int NOT NULL PRIMARY KEY, Name varchar(40) NOT NULL, NodeType char(3) NOT NULL, "
                        "ParentID int NOT NULL, ToolTip varchar(128) NULL, URL varchar(254) NULL, Icon varchar(128) NULL")},
        {QStringLiteral("UserGroup"), QStringLiteral("UserID int NOT NULL, GroupID int NOT NULL")},
    };
    return lists;
}

struct Index { const char *name; const char *table; const char *columns; };
constexpr Index kIndexes[] = {
    {"STAFF_STATUS_LastUpdated", "STAFF_STATUS", "LastUpdated"},
    {"UserGroup_GroupID_UserID", "UserGroup", "GroupID, UserID"},
    {"UserGroup_UserID", "UserGroup", "UserID"},
    {"STAFF_OPTIONS_LoginName", "STAFF_OPTIONS", "LoginName"},
};

// The names of the database's indexes, in lower case, and on SQLite the
// statistics table too when there is one.
QStringList indexNames(DbConnection &connection)
{
    const RecordSet rs = connection.query(
        connection.isSQLite()
            ? QStringLiteral("SELECT lower(name) AS name FROM sqlite_master WHERE type = 'index' OR name = 'sqlite_stat1'")
            : QStringLiteral("SELECT lower(indexname) AS name FROM pg_indexes WHERE schemaname = current_schema()"));
    QStringList names;
    for (RecordSet row = rs; !row.eof(); row.moveNext())
        names << row.text(QStringLiteral("name"));
    return names;
}

} // namespace

const QStringList &CSchemaTables::oldestTables()
{
    static const QStringList tables = {
        QStringLiteral("STAFF_STATUS"), QStringLiteral("STAFF_OPTIONS"), QStringLiteral("STATUS_HISTORY"),
        QStringLiteral("QUICKNOTES"),   QStringLiteral("ADMIN"),         QStringLiteral("idmanager"),
        QStringLiteral("Groups"),       QStringLiteral("GroupMembers"),
    };
    return tables;
}

QString CSchemaTables::createStatement(const QString &table) const
{
    const auto found = columnLists().constFind(table);
    if (found == columnLists().constEnd())
        throw AppError(ErrNo::BadStatement, QStringLiteral("CSchemaTables.createStatement"),
                       QStringLiteral("No definition for the table ") + table);
    QString columns = *found;
    if (!m_sqlite)
        columns.replace(QLatin1String(" datetime "), QLatin1String(" timestamp "));
    return QStringLiteral("CREATE TABLE ") + table + QStringLiteral(" (") + columns + u')';
}

QString CSchemaTables::addColumnStatement(const QString &table, const QString &definition) const
{
    return QStringLiteral("ALTER TABLE ") + table + (m_sqlite ? QStringLiteral(" ADD COLUMN ") : QStringLiteral(" ADD "))
        + definition;
}

void CSchemaTables::createIfMissing(DbHandle &connection, const QString &table) const
{
    if (!connection->hasTable(table))
        Update(createStatement(table), connection);
}

void CSchemaTables::createIndexes(DbConnection &connection)
{
    for (const Index &index : kIndexes)
        connection.execute(QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)")
                               .arg(QLatin1String(index.name), QLatin1String(index.table), QLatin1String(index.columns)));
}

bool CSchemaTables::completeIndexes(DbConnection &connection)
{
    const QStringList names = indexNames(connection);
    const bool missing = !std::all_of(std::begin(kIndexes), std::end(kIndexes), [&](const Index &index) {
        return names.contains(QString::fromLatin1(index.name).toLower());
    });
    const bool statisticsDue = connection.isSQLite() && !names.contains(QStringLiteral("sqlite_stat1"))
        && !connection.query(QStringLiteral("SELECT UserID FROM STAFF_STATUS LIMIT 1")).eof();
    if (!missing && !statisticsDue)
        return false;
    connection.beginWrite();
    try {
        createIndexes(connection);
        connection.execute(QStringLiteral("ANALYZE"));
        connection.commit();
    } catch (const AppError &) {
        connection.rollback();
        throw;
    }
    return true;
}

void CSchemaTables::addColumnIfMissing(DbHandle &connection, const QString &table, const QString &definition) const
{
    const QString column = definition.section(u' ', 0, 0);
    if (!hasColumn(connection, table, column))
        Update(addColumnStatement(table, definition), connection);
}

void CSchemaTables::insertIfMissing(DbHandle &connection, const QString &table, const QStringList &columns,
                                    const QVariantList &values, int keyCount)
{
    QStringList conditions;
    for (int i = 0; i < keyCount; ++i)
        conditions << columns[i] + QStringLiteral(" = ?");
    const QString lookup = QStringLiteral("SELECT 1 AS found FROM ") + table + QStringLiteral(" WHERE ")
        + conditions.join(QStringLiteral(" AND "));
    const RecordSet existing = OpenADORecordSet(connection, lookup, true, values.mid(0, keyCount));
    if (!existing.eof())
        return;
    const QString placeholders = QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", "));
    Update(QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") + columns.join(QStringLiteral(", "))
               + QStringLiteral(") VALUES (") + placeholders + u')',
           connection, values);
}

bool CSchemaTables::hasColumn(DbHandle &connection, const QString &table, const QString &column)
{
    const QString sql = connection->isSQLite()
        ? QStringLiteral("SELECT name FROM pragma_table_info(?) WHERE lower(name) = lower(?)")
        : QStringLiteral("SELECT column_name FROM information_schema.columns WHERE table_schema = current_schema() "
                         "AND lower(table_name) = lower(?) AND lower(column_name) = lower(?)");
    return OpenADORecordSet(connection, sql, true, {table, column}).recordCount() > 0;
}
