#pragma once

#include "TestSupport.h"
#include "foundation/MADOFunctions.h"
#include "platform/ConnectionSpec.h"

#include <QList>
#include <QString>

// A private world (configuration, logs, a database at the current schema)
// holding a board of users, numbered 1 to users, with statuses, notes and
// times as an office has them, all in the group "Staff Members" (node
// "NOD3", group id 3), and each also in one of 50 smaller groups (ids 10 to
// 59). User 1 logs in as loginName. The database is an embedded file, or a
// new database on the PostgreSQL server the benchmark script started
// (TESSALY_PG_CONNINFO), dropped afterwards.
class BenchBoard
{
public:
    static constexpr qint32 kStaffMembers = 3;

    explicit BenchBoard(int users, const QString &loginName = QStringLiteral("USER00001"), bool postgres = false);
    ~BenchBoard();
    BenchBoard(const BenchBoard &) = delete;
    BenchBoard &operator=(const BenchBoard &) = delete;

    int users() const { return m_users; }
    QString databasePath() const { return m_path; }
    // Where the board's database is, to open a connection of one's own.
    ConnectionSpec spec() const;
    // The highest change counter written so far.
    qint32 lastUpdated() const { return m_counter; }

    // Changes these users' statuses in one transaction, as other copies do:
    // every row gets the next change counter.
    void changeUsers(const QList<qint32> &ids);
    // The first count users after a rotating start, so that repeated calls
    // touch different rows.
    QList<qint32> nextUsers(int count);

    TestEnvironment env;

private:
    void fill(const QString &loginName);

    int m_users;
    QString m_path;
    QString m_pgName;
    qint32 m_counter = 0;
    qint32 m_rotation = 0;
};
