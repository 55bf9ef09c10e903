#include "UserListReader.h"

#include "foundation/BuiltInStatus.h"
#include "foundation/CStatus.h"
#include "foundation/Globals.h"
#include "platform/AppError.h"

#include <QSet>
#include <QSqlQuery>
#include <QSqlRecord>
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
    const bool ownConnection = !connection;
    QList<Row> rows;
    Fields fields;
    // Rows mostly come in id order (a full read asks for it): a twice-read
    // user is then the one just before, and a set of ids is built only
    // once the order breaks.
    bool ascending = true;
    QSet<qint32> seen;
    const auto start = [&] {
        rows.clear();
        seen.clear();
        ascending = true;
        m_highest = mark;
        fields.found = false;
    };
    const auto take = [&](const QSqlQuery &q) {
        if (!fields.found)
            fields = fieldsOf(query.sql, connection->spec(), q.record());
        if (fields.realName < 0 || q.isNull(fields.realName))
            return;
        Row row = rowFrom(q, fields);
        if (row.lastUpdated > m_highest)
            m_highest = row.lastUpdated;
        const qint32 id = row.user.UserID;
        if (ascending && !rows.isEmpty() && id <= rows.constLast().user.UserID) {
            if (id == rows.constLast().user.UserID)
                return;
            ascending = false;
            for (const Row &earlier : std::as_const(rows))
                seen.insert(earlier.user.UserID);
        }
        if (!ascending) {
            if (seen.contains(id))
                return;
            seen.insert(id);
        }
        rows.append(std::move(row));
    };
    try {
        ReadADORows(connection, query.sql, query.params, start, take);
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
    if (!ascending) {
        const auto byId = [](const Row &a, const Row &b) { return a.user.UserID < b.user.UserID; };
        std::stable_sort(rows.begin(), rows.end(), byId);
    }
    m_codes.clear();
    return rows;
}

UserListReader::Fields::Fields(const QSqlRecord &record)
    : found(true), columns(record.count()), userId(record.indexOf(QStringLiteral("UserID"))),
      realName(record.indexOf(QStringLiteral("RealName"))), isIn(record.indexOf(QStringLiteral("IsIn"))),
      note(record.indexOf(QStringLiteral("Note"))), mobileOn(record.indexOf(QStringLiteral("MobileOn"))),
      eta(record.indexOf(QStringLiteral("ETA"))),
      lastStatusChange(record.indexOf(QStringLiteral("LastStatusChange"))),
      mobilePh(record.indexOf(QStringLiteral("MobilePh"))), phExtension(record.indexOf(QStringLiteral("PhExtension"))),
      etd(record.indexOf(QStringLiteral("ETD"))), email(record.indexOf(QStringLiteral("Email"))),
      isActive(record.indexOf(QStringLiteral("IsActive"))), inGroup(record.indexOf(QStringLiteral("InGroup"))),
      lastUpdated(record.indexOf(QStringLiteral("LastUpdated")))
{
}

UserListReader::Fields UserListReader::fieldsOf(const QString &sql, const ConnectionSpec &database,
                                                const QSqlRecord &columns)
{
    // Looking the names up costs more than reading a poll's few rows, so it
    // is done once for a statement on a database: its columns keep their
    // places there (a column added to a table comes last, and changes the
    // count).
    const auto known = m_fields.constFind(sql);
    if (known != m_fields.constEnd() && known->columns == columns.count() && known->database == database)
        return *known;
    if (m_fields.size() >= 16)
        m_fields.clear();
    Fields fields(columns);
    fields.database = database;
    return *m_fields.insert(sql, fields);
}

UserListReader::Row UserListReader::rowFrom(const QSqlQuery &q, const Fields &f)
{
    const auto value = [&q](int field) { return field < 0 ? QVariant() : q.value(field); };
    const auto text = [&value](int field) { return DecodeQuotes(value(field).toString().trimmed()); };
    Row row;
    CUser &user = row.user;
    user.UserID = qint32(RecordSet::toInteger(value(f.userId)));
    user.RealName = text(f.realName);
    user.IsIn = sharedCode(text(f.isIn));
    user.Note = text(f.note);
    user.MobileOn = RecordSet::toFlag(value(f.mobileOn));
    user.ETA = RecordSet::toNumber(value(f.eta));
    user.LastStatusChange = RecordSet::toNumber(value(f.lastStatusChange));
    user.MobilePh = text(f.mobilePh);
    user.PhExtension = text(f.phExtension);
    user.ETD = RecordSet::toNumber(value(f.etd));
    user.Email = text(f.email);
    row.active = RecordSet::toInteger(value(f.isActive)) == 1;
    row.member = RecordSet::toInteger(value(f.inGroup), 1) != 0;
    row.lastUpdated = qint32(RecordSet::toInteger(value(f.lastUpdated), -1));
    return row;
}

QString UserListReader::sharedCode(const QString &code)
{
    // Thousands of rows hold a handful of status codes: each is kept once.
    const auto found = m_codes.constFind(code);
    if (found != m_codes.constEnd())
        return *found;
    m_codes.insert(code);
    return code;
}
