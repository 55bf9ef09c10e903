#pragma once

#include "TestSupport.h"
#include "foundation/MADOFunctions.h"

#include <QList>
#include <QString>

// A private world (configuration, logs, an embedded database at the current
// schema) holding a board of users, numbered 1 to users, with statuses, notes
// and times as an office has them, all in the group "Staff Members" (node
// "NOD3"). User 1 logs in as loginName.
class BenchBoard
{
public:
    explicit BenchBoard(int users, const QString &loginName = QStringLiteral("USER00001"));

    int users() const { return m_users; }
    QString databasePath() const { return m_path; }
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
    qint32 m_counter = 0;
    qint32 m_rotation = 0;
    DbHandle m_connection;
};
