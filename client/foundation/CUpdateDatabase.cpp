#include "CUpdateDatabase.h"

#include "CGroupMigration.h"
#include "CounterAllocator.h"
#include "CSchemaTables.h"
#include "Globals.h"
#include "IPrompt.h"
#include "MErrorHandler.h"
#include "platform/AppError.h"
#include "platform/DateUtil.h"

#include <algorithm>

namespace {

const QString kHelpUrl = QStringLiteral("https://tessaly.example.org/help/");
const QString kSupportAddress = QStringLiteral("your system administrator");

struct DefaultNode { qint32 id; const char *name; const char *type; qint32 parent; const char *icon; };
constexpr DefaultNode kDefaultNodes[] = {
    {1, "Organisation", "BRH", 0, "ORBIT"},
    {2, "Attendance", "BRH", 1, "INN"},
    {3, "Staff Members", "GRP", 2, "ORBIT"},
    {4, "Reservations", "BRH", 1, "ICOcopier"},
    {5, "Equipment", "RSG", 4, "ICOfax"},
    {6, "Meeting Rooms", "RSG", 4, "MTG"},
    {7, "Vehicles", "RSG", 4, "ICOpostaltruck"},
};
constexpr qint32 kStaffMembersNodeId = 3;

} // namespace

QString CUpdateDatabase::upgradeQuestion()
{
    return QStringLiteral("Your database needs upgrading to run this version. Please ensure no other users have Qel "
                          "running. To use this version all other users must also have their machines upgraded. "
                          "Click Yes to continue or No to exit.");
}

QString CUpdateDatabase::upgradeFrom40Question()
{
    return QStringLiteral("Your database needs upgrading from v4.0.64 to run this version. Please ensure no other "
                          "users have Qel running. To use this version all other users must also have their "
                          "machines upgraded. Click Yes to continue or No to exit.");
}

void CUpdateDatabase::checkAtStartUp()
{
    DbHandle connection = OpenADOConnection();
    CUpdateDatabase().checkDatabaseVersion(connection);
    CloseADOConnection(connection);
}

void CUpdateDatabase::checkDatabaseVersion(DbHandle &connection)
{
    double previous = -1;
    try {
        if (!connection)
            connection = OpenADOConnection();
        for (;;) {
            if (const std::optional<QString> stored = readVersion(connection)) {
                m_versionRead = *stored;
            } else if (previous < 0 && !connection->hasTable(QStringLiteral("STAFF_STATUS"))) {
                // A new, empty database: nobody can be running on it, so no question.
                runStep(connection, 40, &CUpdateDatabase::CreateOldestTables);
                m_answered = true;
            }
            const double version = DateUtil::roundHalfEven(DateUtil::val(m_versionRead));
            if (version >= std::min(m_stopAt, CurrentVersion)) {
                if (version >= CurrentVersion)
                    completeIndexes(*connection);
                return;
            }
            // A step that leaves the version where it was would run for ever.
            if (version <= previous)
                throw AppError(ErrNo::BadStatement, QStringLiteral("CUpdateDatabase.checkDatabaseVersion"),
                               QStringLiteral("The version stayed at ") + m_versionRead + QStringLiteral(". "));
            previous = version;
            runNextStep(connection, version);
        }
    } catch (const AppError &error) {
        failed(connection, error);
    }
}

// The stored version, "" when there is no version row; nothing when there is
// no Properties table (the schema before version 4).
std::optional<QString> CUpdateDatabase::readVersion(DbHandle &connection)
{
    const QString sql = QStringLiteral("SELECT pvalue FROM Properties WHERE pkey = ?");
    const QVariantList key = {QStringLiteral("version")};
    RecordSet rs;
    try {
        rs = connection->query(sql, key);
    } catch (const AppError &) {
        if (!connection->hasTable(QStringLiteral("Properties")))
            return std::nullopt;
        // Another failure, a busy database for one, gets the usual retries.
        rs = OpenADORecordSet(connection, sql, true, key);
    }
    return rs.eof() ? QString() : rs.text(QStringLiteral("pvalue")).trimmed();
}

void CUpdateDatabase::runNextStep(DbHandle &connection, double version)
{
    if (version < 40) {
        if (!m_answered)
            ask(upgradeQuestion());
        m_answered = true;
        runStep(connection, 40, &CUpdateDatabase::AddVersion4Columns);
        runStep(connection, 40, &CUpdateDatabase::CreateVersion4Tables);
    } else if (version < 41) {
        if (!m_answered)
            ask(upgradeQuestion());
        runStep(connection, 41, &CUpdateDatabase::UpgradeToVersion41);
    } else if (version < 42) {
        if (!m_answered)
            ask(upgradeFrom40Question());
        runStep(connection, 42, &CUpdateDatabase::UpgradeToVersion42);
    } else if (version < 44) {
        runStep(connection, 44, &CUpdateDatabase::UpgradeToVersion44);
    } else if (version < 45) {
        runStep(connection, 45, &CUpdateDatabase::UpgradeToVersion45);
    } else {
        runStep(connection, 46, &CUpdateDatabase::UpgradeToVersion46);
    }
}

void CUpdateDatabase::runStep(DbHandle &connection, int version, Step step)
{
    m_step = version;
    CounterAllocator::inWriteTransaction(connection, [&](DbConnection &) { (this->*step)(connection); });
}

// An index changes no version: a database already at the current one gets
// those it lacks here, at any start. Without them the program only runs
// slower, so a failure (a user without the right to change the schema, say)
// is logged and the start goes on.
void CUpdateDatabase::completeIndexes(DbConnection &connection)
{
    try {
        if (CSchemaTables::completeIndexes(connection))
            WriteDebugLog(QStringLiteral("Database indexes completed"));
    } catch (const AppError &e) {
        WriteErrorLog(e.number(), e.description(), QStringLiteral("CUpdateDatabase.completeIndexes\r\n") + e.source());
    }
}

void CUpdateDatabase::ask(const QString &text)
{
    if (g_prompt->message(text, IPrompt::YesNo, IPrompt::Exclamation, QStringLiteral("Upgrade Now?"))
        != IPrompt::AnswerYes)
        EndProgram(0);
}

void CUpdateDatabase::failed(DbHandle &connection, const AppError &error)
{
    if (connection && connection->inTransaction())
        connection->rollback();
    ErrorDialog(error.number(),
                QStringLiteral("The database required updating from v") + m_versionRead + QStringLiteral(" to v")
                    + QString::number(m_step) + QStringLiteral("\r\n where upon the following error occurred: \r\n")
                    + error.description() + QStringLiteral("Please contact ") + kSupportAddress
                    + QStringLiteral(" for advice."),
                error.source());
    EndProgram(1);
}

void CUpdateDatabase::CreateOldestTables(DbHandle &connection)
{
    const CSchemaTables tables(connection->isSQLite());
    for (const QString &table : CSchemaTables::oldestTables())
        tables.createIfMissing(connection, table);
    CSchemaTables::insertIfMissing(connection, QStringLiteral("ADMIN"),
                                   {QStringLiteral("ID"), QStringLiteral("MarkOutOnClose"), QStringLiteral("EnableTimeSheets")},
                                   {1, 0, 1});
    // A new user's id is the stored one + 1, so the first user gets 1.
    CSchemaTables::insertIfMissing(connection, QStringLiteral("idmanager"),
                                   {QStringLiteral("tablename"), QStringLiteral("id")}, {QStringLiteral("userid"), 0});
}

void CUpdateDatabase::AddVersion4Columns(DbHandle &connection)
{
    const CSchemaTables tables(connection->isSQLite());
    for (const char *column : {"Language char(3) NULL", "StartMin int NULL", "RefreshPeriod int NULL", "BreakPeriod int NULL"})
        tables.addColumnIfMissing(connection, QStringLiteral("Staff_Options"), QString::fromLatin1(column));
    tables.addColumnIfMissing(connection, QStringLiteral("Staff_Status"), QStringLiteral("IsActive int NULL"));
    // Only rows not marked yet: running the step again must not bring deleted users back.
    Update(QStringLiteral("UPDATE STAFF_STATUS SET IsActive = 1 WHERE IsActive IS NULL"), connection);
}

void CUpdateDatabase::CreateVersion4Tables(DbHandle &connection)
{
    const CSchemaTables tables(connection->isSQLite());
    tables.createIfMissing(connection, QStringLiteral("Custom_Status"));
    tables.createIfMissing(connection, QStringLiteral("Properties"));
    insertProperty(connection, QStringLiteral("version"), QStringLiteral("4.0"));
    insertProperty(connection, QStringLiteral("help_url"), kHelpUrl);
    insertProperty(connection, QStringLiteral("icon_home"), QStringLiteral(""));
    // The memberships are carried over by the run that creates their table,
    // as the first upgrade from 3.x does. A later run (a lost version row)
    // must not bring back the members an administrator removed since, nor
    // deleted users.
    const bool firstMemberships = !connection->hasTable(QStringLiteral("UserGroup"));
    for (const char *table : {"Resource", "Reservation", "TreeNode", "UserGroup"})
        tables.createIfMissing(connection, QString::fromLatin1(table));

    const QStringList counter = {QStringLiteral("tablename"), QStringLiteral("id")};
    for (const char *name : {"status", "resrce", "resrvn"})
        CSchemaTables::insertIfMissing(connection, QStringLiteral("idmanager"), counter, {QString::fromLatin1(name), 1});
    for (const DefaultNode &node : kDefaultNodes)
        CSchemaTables::insertIfMissing(connection, QStringLiteral("TreeNode"),
                                       {QStringLiteral("ID"), QStringLiteral("Name"), QStringLiteral("NodeType"),
                                        QStringLiteral("ParentID"), QStringLiteral("Icon")},
                                       {node.id, QString::fromLatin1(node.name), QString::fromLatin1(node.type),
                                        node.parent, QString::fromLatin1(node.icon)});

    const qint32 firstFreeNode = CGroupMigration::migrateGroups(connection);
    CSchemaTables::insertIfMissing(connection, QStringLiteral("idmanager"), counter, {QStringLiteral("trnode"), firstFreeNode});
    if (firstMemberships)
        addFirstMemberships(connection);
    setVersion(connection, QStringLiteral("40"));
}

// The old groups' members, and every user in Staff Members.
void CUpdateDatabase::addFirstMemberships(DbHandle &connection)
{
    CGroupMigration::migrateMemberships(connection);
    for (RecordSet users = OpenADORecordSet(connection, QStringLiteral("SELECT UserID FROM Staff_Status"));
         !users.eof(); users.moveNext())
        CSchemaTables::insertIfMissing(connection, QStringLiteral("UserGroup"),
                                       {QStringLiteral("UserID"), QStringLiteral("GroupID")},
                                       {users.integer(QStringLiteral("UserID")), kStaffMembersNodeId}, 2);
}

void CUpdateDatabase::UpgradeToVersion41(DbHandle &connection)
{
    CSchemaTables(connection->isSQLite()).addColumnIfMissing(connection, QStringLiteral("Staff_Options"),
                                                             QStringLiteral("OutlookOOP int NULL"));
    Update(QStringLiteral("UPDATE Staff_Options SET OutlookOOP = 1 WHERE OutlookOOP IS NULL"), connection);
    setVersion(connection, QStringLiteral("41"));
}

void CUpdateDatabase::UpgradeToVersion42(DbHandle &connection)
{
    const CSchemaTables tables(connection->isSQLite());
    tables.addColumnIfMissing(connection, QStringLiteral("Resource"), QStringLiteral("AutoCheckIn int NULL"));
    tables.addColumnIfMissing(connection, QStringLiteral("Reservation"), QStringLiteral("Returned int NULL"));
    Update(QStringLiteral("UPDATE Resource SET AutoCheckIn = 1 WHERE AutoCheckIn IS NULL"), connection);
    Update(QStringLiteral("UPDATE Reservation SET Returned = 1 WHERE Returned IS NULL"), connection);
    setVersion(connection, QStringLiteral("42"));
}

void CUpdateDatabase::UpgradeToVersion44(DbHandle &connection)
{
    insertProperty(connection, QStringLiteral("port_send"), QStringLiteral("13905"));
    insertProperty(connection, QStringLiteral("port_lstn"), QStringLiteral("13909"));
    setVersion(connection, QStringLiteral("44"));
}

void CUpdateDatabase::UpgradeToVersion45(DbHandle &connection)
{
    insertProperty(connection, QStringLiteral("enb_olk"), QStringLiteral("true"));
    insertProperty(connection, QStringLiteral("sec_olk"), QStringLiteral("false"));
    setVersion(connection, QStringLiteral("45"));
}

void CUpdateDatabase::UpgradeToVersion46(DbHandle &connection)
{
    insertProperty(connection, QStringLiteral("enb_cht"), QStringLiteral("false"));
    CSchemaTables::createIndexes(*connection);
    setVersion(connection, QStringLiteral("46"));
}

void CUpdateDatabase::insertProperty(DbHandle &connection, const QString &key, const QString &value)
{
    CSchemaTables::insertIfMissing(connection, QStringLiteral("Properties"),
                                   {QStringLiteral("pkey"), QStringLiteral("pvalue")}, {key, value});
}

void CUpdateDatabase::setVersion(DbHandle &connection, const QString &version)
{
    Update(QStringLiteral("UPDATE Properties SET pvalue = ? WHERE pkey = ?"), connection,
           {version, QStringLiteral("version")});
    if (m_failInStep == m_step)
        throw AppError(ErrNo::BadStatement, QStringLiteral("CUpdateDatabase.setVersion"),
                       QStringLiteral("A failure injected into the step to v") + version + QStringLiteral(". "));
}
