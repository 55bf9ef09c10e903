#pragma once

#include "foundation/CUser.h"
#include "foundation/MADOFunctions.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>
#include <QVariantList>

class QSqlQuery;
class QSqlRecord;

// Reads users' rows of STAFF_STATUS for the user list: the statements for
// each kind of list, and the read itself, which keeps count of the rows and
// of the highest change counter it saw.
class UserListReader
{
public:
    struct Query
    {
        QString sql;
        QVariantList params;
    };
    struct Row
    {
        CUser user;
        bool active = false;   // IsActive = 1
        bool member = true;    // in the group asked for (unfiltered group reads)
        qint32 lastUpdated = -1;
    };

    // Rows changed since the mark, and those of the users to reread whatever
    // their counter, in UserID order: of every user when the group id is
    // below 1, else of the group's members. Filtered, the rows are only those
    // of active users whose status is one of statusCodes (none: any status)
    // and who are in the group; unfiltered, every such row comes, with
    // whether its user is in the group, so that the caller can see who left
    // the list.
    static Query usersQuery(qint32 groupId, const QStringList &statusCodes, qint32 mark, bool filtered,
                            const QList<qint32> &reread = {});
    // The rows of these users, in no particular order.
    static Query usersByIdQuery(const QList<qint32> &userIds);
    // The codes a status node of the tree lists: a Meeting node its four
    // variants, and the In, Out and Meeting nodes the custom statuses that
    // count as them.
    static QStringList statusCodesFor(const QString &nodeCode);

    // Runs the query on the connection, or on one of its own when the handle
    // is empty. Rows without a name are left out, and a user who comes twice
    // is read once.
    QList<Row> read(const Query &query, DbHandle &connection, qint32 mark);
    // Rows the last read gave.
    qint32 rowsRead() const { return m_rowsRead; }
    // The highest LastUpdated of the last read, or the mark it started from.
    qint32 highest() const { return m_highest; }

private:
    // Where the fields a row needs are in the query's columns (-1 for none).
    struct Fields
    {
        Fields() = default;
        explicit Fields(const QSqlRecord &record);
        bool found = false;
        int columns = 0;
        ConnectionSpec database;
        int userId = -1, realName = -1, isIn = -1, note = -1, mobileOn = -1, eta = -1, lastStatusChange = -1,
            mobilePh = -1, phExtension = -1, etd = -1, email = -1, isActive = -1, inGroup = -1, lastUpdated = -1;
    };
    Fields fieldsOf(const QString &sql, const ConnectionSpec &database, const QSqlRecord &columns);
    Row rowFrom(const QSqlQuery &q, const Fields &fields);
    QString sharedCode(const QString &code);

    QSet<QString> m_codes; // the status codes of the read under way
    QHash<QString, Fields> m_fields; // by statement

    qint32 m_rowsRead = 0;
    qint32 m_highest = -1;
};
