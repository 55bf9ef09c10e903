#include "UserListReader.h"

#include "foundation/BuiltInStatus.h"
#include "foundation/CStatus.h"
#include "foundation/Globals.h"
#include "platform/AppError.h"

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
                                                 bool filtered, const QList<qint32> &reread)
{
    Query query;
    QString changed = QStringLiteral("S.LastUpdated > ?");
    QVariantList changedParams = {mark};
    if (!reread.isEmpty()) {
        changed = u'(' + changed + QStringLiteral(" OR S.UserID IN (") + placeholders(reread.size()) + QStringLiteral("))");
        for (qint32 id : reread)
            changedParams.append(id);
    }
    const QString active = filtered ? QStringLiteral(" AND IsActive = 1") : QString();
    // A full read comes in id order. A poll leaves the order to read(): asked
    // to sort, the database would walk every row in id order instead of
    // looking up the few changed ones by their LastUpdated.
    const QString order = mark < 0 ? QStringLiteral(" ORDER BY S.UserID") : QString();
    if (groupId >= 1) {
        query.sql = filtered ? QStringLiteral("SELECT S.* FROM STAFF_STATUS S, USERGROUP G WHERE G.GroupID = ? "
                                              "AND G.UserID = S.UserID AND ")
                             : QStringLiteral("SELECT S.*, CASE WHEN EXISTS (SELECT 1 FROM USERGROUP G WHERE "
                                              "G.GroupID = ? AND G.UserID = S.UserID) THEN 1 ELSE 0 END AS InGroup "
                                              "FROM STAFF_STATUS S WHERE ");
        query.sql += changed + active + order;
        query.params = QVariantList{groupId} + changedParams;
        return query;
    }
    query.sql = QStringLiteral("SELECT * FROM STAFF_STATUS S WHERE ") + changed;
    query.params = changedParams;
    if (filtered && !statusCodes.isEmpty()) {
        query.sql += QStringLiteral(" AND ") + statusCondition(statusCodes);
        for (const QString &code : statusCodes)
            query.params.append(code);
    }
    query.sql += active + order;
    return query;
}

UserListReader::Query UserListReader::usersByIdQuery(const QList<qint32> &userIds)
{
    Query query;
    query.sql = QStringLiteral("SELECT * FROM STAFF_STATUS WHERE UserID IN (") + placeholders(userIds.size()) + u')';
    for (qint32 id : userIds)
        query.params.append(id);
    return query;
}

QStringList UserListReader::statusCodesFor(const QString &nodeCode)
{
    QStringList codes = {nodeCode};
    QString customType;
    if (nodeCode == BuiltInStatus::Meeting) {
        codes += BuiltInStatus::codes(BuiltInStatus::meetingStates());
        customType = QStringLiteral("M");
    } else if (nodeCode == BuiltInStatus::Out) {
        customType = QStringLiteral("O");
    } else if (nodeCode == BuiltInStatus::In) {
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
            if (row.lastUpdated > m_highest)
                m_highest = row.lastUpdated;
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
    row.member = rs.integer(QStringLiteral("InGroup"), 1) != 0;
    row.lastUpdated = qint32(rs.integer(QStringLiteral("LastUpdated"), -1));
    return row;
}
