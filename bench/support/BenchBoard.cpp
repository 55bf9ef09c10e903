#include "BenchBoard.h"

#include "PgServer.h"
#include "foundation/CUpdateDatabase.h"
#include "platform/Clock.h"
#include "platform/DataSourceRegistry.h"
#include "platform/DateUtil.h"

#include <QFile>

namespace {

const QStringList kStatuses = {QStringLiteral("INN"), QStringLiteral("OUT"), QStringLiteral("LNC"),
                               QStringLiteral("MTG"), QStringLiteral("INN"), QStringLiteral("HME"),
                               QStringLiteral("BRK"), QStringLiteral("INN"), QStringLiteral("DND")};

QString statusOf(qint32 id, qint32 round)
{
    return kStatuses.at((id + round) % kStatuses.size());
}

} // namespace

BenchBoard::BenchBoard(int users, const QString &loginName, bool postgres)
    : m_users(users)
{
    // Qt wants the runtime folder private to its user.
    QFile::setPermissions(env.path(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (postgres) {
        m_pgName = QStringLiteral("bench_%1").arg(users);
        env.usePostgresDatabase(PgServer::createDatabase(m_pgName));
    } else {
        m_path = env.useSqliteDatabase();
    }
    CUpdateDatabase::checkAtStartUp();
    fill(loginName);
    // As the next start of the program finds it: with the statistics its
    // planner goes by.
    CUpdateDatabase::checkAtStartUp();
    if (postgres) {
        DbHandle connection = OpenADOConnection();
        connection->execute(QStringLiteral("ANALYZE"));
    }
}

BenchBoard::~BenchBoard()
{
    if (!m_pgName.isEmpty())
        PgServer::dropDatabase(m_pgName);
}

ConnectionSpec BenchBoard::spec() const
{
    return DataSourceRegistry::resolve(GetDB());
}

void BenchBoard::fill(const QString &loginName)
{
    const double now = Clock::nowDays();
    DbHandle connection = OpenADOConnection();
    DbConnection &c = *connection;
    c.beginWrite();
    for (qint32 id = 1; id <= m_users; ++id) {
        const QString status = statusOf(id, 0);
        const bool in = status == QLatin1String("INN");
        c.execute(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, RealName, Email, MobilePh, PhExtension, MobileOn, "
                                 "IsIn, Note, LastUpdated, LastStatusChange, ETA, ETD, IsActive) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1)"),
                  {id, QStringLiteral("Surname%1, Given").arg(id, 5, 10, QLatin1Char('0')),
                   QStringLiteral("user%1@example.org").arg(id), QStringLiteral("+44 7700 9%1").arg(id, 5, 10, QLatin1Char('0')),
                   QStringLiteral("x%1").arg(id % 10000, 4, 10, QLatin1Char('0')), id % 3 == 0 ? 1 : 0, status,
                   in ? QString() : QStringLiteral("Back after the meeting with %1").arg(id), ++m_counter, now,
                   in ? 0.0 : now + 1.0 / 24, in ? 0.0 : now - 1.0 / 48});
        c.execute(QStringLiteral("INSERT INTO STAFF_OPTIONS (UserID, LoginName, Outlook, OutlookOOP, ChangeStatus, "
                                 "Timesheet, Admin, WorkStartTime, LunchTimePeriod, OnClose, OnListDblClick, "
                                 "FastUpdates, Language, StartMin, RefreshPeriod, BreakPeriod) "
                                 "VALUES (?, ?, 0, 0, 1, 0, 0, '08:30:00', 45, 0, 0, 0, 'ENU', 0, 30, 15)"),
                  {id, id == 1 ? loginName.toUpper() : QStringLiteral("USER%1").arg(id, 5, 10, QLatin1Char('0'))});
        c.execute(QStringLiteral("INSERT INTO UserGroup (UserID, GroupID) VALUES (?, ?)"), {id, kStaffMembers});
        c.execute(QStringLiteral("INSERT INTO UserGroup (UserID, GroupID) VALUES (?, ?)"), {id, 10 + id % 50});
    }
    c.execute(QStringLiteral("UPDATE idmanager SET id = ? WHERE tablename = 'userid'"), {m_users});
    c.commit();
}

QList<qint32> BenchBoard::nextUsers(int count)
{
    QList<qint32> ids;
    for (int i = 0; i < count && i < m_users; ++i)
        ids << qint32((m_rotation + i) % m_users + 1);
    m_rotation = (m_rotation + count) % m_users;
    return ids;
}

void BenchBoard::changeUsers(const QList<qint32> &ids)
{
    DbHandle connection = OpenADOConnection();
    DbConnection &c = *connection;
    c.beginWrite();
    for (qint32 id : ids) {
        ++m_counter;
        c.execute(QStringLiteral("UPDATE STAFF_STATUS SET IsIn = ?, Note = ?, LastUpdated = ? WHERE UserID = ?"),
                  {statusOf(id, m_counter), QStringLiteral("change %1").arg(m_counter), m_counter, id});
    }
    c.commit();
}
