#include "UserListReader.h"

#include "AppError.h"
#include "Globals.h"

#include <QSet>
#include <algorithm>

namespace {

QString placeholders(qsizetype count)
{
    return QStringList(count, QStringLiteral("?")).join(QStringLiteral(", "));
}

QString statusCondition(const QStringList &codes)
{
    if (codes.size() == 1)
        return QStringLiteral("IsIn = ?");
    return QStringLiteral("IsIn IN (") + placeholders(codes.size()) + u')';
}

QString trimmedText(const RecordSet &rs, const char *field)
{
    return DecodeQuotes(rs.text(QString::fromLatin1(field)).trimmed());
}

} // namespace

UserListReader::Query UserListReader::usersQuery(qint32 groupId, const QStringList &statusCodes, qint32 mark,
                                                 bool filtered)
{
    Query query;
    const QString active = filtered ? QStringLiteral(" AND IsActive = 1") : QString();
    // A full read comes in id order. A poll leaves the order to read(): asked
    // to sort, the database would walk every row in id order instead of
    // looking up the few changed ones by their LastUpdated.
    const bool full = mark < 0;
    if (groupId >= 1) {
        // A poll starts from the few changed rows and looks each up in the
        // group (CROSS JOIN keeps SQLite to that order); walking a group of
        // thousands for them costs what a full read does.
        query.sql = QStringLiteral("SELECT S.* FROM STAFF_STATUS S") + (full ? QStringLiteral(", ") : QStringLiteral(" CROSS JOIN "))
                    + QStringLiteral("USERGROUP G WHERE G.GroupID = ? AND G.UserID = S.UserID AND S.LastUpdated > ?")
                    + active + (full ? QStringLiteral(" ORDER BY S.UserID") : QString());
        query.params = {groupId, mark};
        return query;
    }
    query.sql = QStringLiteral("SELECT * FROM STAFF_STATUS WHERE LastUpdated > ?");
    query.params = {mark};
    if (filtered && !statusCodes.isEmpty()) {
        query.sql += QStringLiteral(" AND ") + statusCondition(statusCodes);
        for (const QString &code : statusCodes)
            query.params.append(code);
    }
    query.sql += active + (full ? QStringLiteral(" ORDER BY UserID") : QString());
    return query;
}

UserListReader::Query UserListReader::watchListQuery(const QList<qint32> &userIds)
{
    Query query;
    query.sql = QStringLiteral("SELECT * FROM STAFF_STATUS WHERE UserID IN (") + placeholders(userIds.size()) + u')';
    for (qint32 id : userIds)
        query.params.append(id);
    return query;
}

QStringList UserListReader::statusCodesFor(const QString &nodeCode)
{
    QStringList codes;
    QString customType;
    if (nodeCode == QLatin1String("MTG")) {
        codes = {QStringLiteral("MTG"), QStringLiteral("MTO"), QStringLiteral("MTD"), QStringLiteral("MTA"),
                 QStringLiteral("MTT")};
        customType = QStringLiteral("M");
    } else {
        codes = {nodeCode};
        if (nodeCode == QLatin1String("OUT"))
            customType = QStringLiteral("O");
        else if (nodeCode == QLatin1String("INN"))
            customType = QStringLiteral("I");
    }
    if (!customType.isEmpty())
        for (const CStatus &status : g_colCustomStatus)
            if (status.CustomType.compare(customType, Qt::CaseInsensitive) == 0)
                codes.append(status.StatusCode);
    return codes;
}

QList<UserListReader::Row> UserListReader::read(const Query &query, DbHandle &connection, qint32 mark)
{
    m_rowsRead = 0;
    m_highest = mark;
    const bool ownConnection = !connection;
    QList<Row> rows;
    try {
        RecordSet rs = OpenADORecordSet(connection, query.sql, true, query.params);
        QSet<qint32> seen;
        rows.reserve(rs.recordCount());
        for (; !rs.eof(); rs.moveNext()) {
            if (rs.isNull(QStringLiteral("RealName")))
                continue;
            Row row = rowFrom(rs);
            const qint64 lastUpdated = rs.integer(QStringLiteral("LastUpdated"), -1);
            if (lastUpdated > m_highest)
                m_highest = qint32(lastUpdated);
            if (seen.contains(row.user.UserID))
                continue;
            seen.insert(row.user.UserID);
            rows.append(std::move(row));
        }
    } catch (const AppError &e) {
        if (ownConnection)
            CloseADOConnection(connection);
        throw AppError(ErrNo::Raised,
                       QStringLiteral("CClientHnd.RefreshUserListDataAccess (") + QString::number(e.number())
                           + QStringLiteral(")\r\n") + e.source(),
                       e.description());
    }
    if (ownConnection)
        CloseADOConnection(connection);
    g_iDBRetryCount = 0;
    m_rowsRead = qint32(rows.size());
    const auto byId = [](const Row &a, const Row &b) { return a.user.UserID < b.user.UserID; };
    if (!std::is_sorted(rows.begin(), rows.end(), byId))
        std::stable_sort(rows.begin(), rows.end(), byId);
    return rows;
}

UserListReader::Row UserListReader::rowFrom(const RecordSet &rs)
{
    Row row;
    CUser &user = row.user;
    user.UserID = qint32(rs.integer(QStringLiteral("UserID")));
    user.RealName = trimmedText(rs, "RealName");
    user.IsIn = trimmedText(rs, "IsIn");
    user.Note = trimmedText(rs, "Note");
    user.MobileOn = rs.flag(QStringLiteral("MobileOn"));
    user.ETA = rs.number(QStringLiteral("ETA"));
    user.LastStatusChange = rs.number(QStringLiteral("LastStatusChange"));
    user.MobilePh = trimmedText(rs, "MobilePh");
    user.PhExtension = trimmedText(rs, "PhExtension");
    user.ETD = rs.number(QStringLiteral("ETD"));
    user.Email = trimmedText(rs, "Email");
    row.active = rs.integer(QStringLiteral("IsActive")) == 1;
    return row;
}
