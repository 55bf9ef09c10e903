#include "CClientAdmin.h"

#include "CUserGroup.h"
#include "frmAdminOptions.h"
#include "foundation/BuiltInStatus.h"
#include "foundation/ConnectionScope.h"
#include "foundation/CounterAllocator.h"
#include "foundation/CStatus.h"
#include "foundation/CTreeNode.h"
#include "foundation/Globals.h"
#include "foundation/IMainWindow.h"
#include "foundation/MCIFunctions.h"
#include "foundation/MErrorHandler.h"
#include "foundation/RaiseAs.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"

#include <algorithm>

namespace {

const double kDefaultWorkStart = 8.5 / 24.0;
const QString kMarkedOutNote = QStringLiteral("Marked Out by Qel");

// Runs one operation; a failure goes to the caller with the operation named.
template <typename Work>
qint32 guarded(const char *operation, Work &&work)
{
    return raisingAs(QStringLiteral("CClientAdmin.") + QLatin1String(operation), std::forward<Work>(work));
}

[[noreturn]] void raiseMissing(const QString &what, qint32 userID)
{
    throw AppError(ErrNo::BadStatement, what, QStringLiteral("No row for the user %1").arg(userID));
}

QString textOf(const RecordSet &rs, const QString &field)
{
    return DecodeQuotes(rs.text(field).trimmed());
}

// Flags count as set only when they hold 1.
bool isOne(const RecordSet &rs, const QString &field)
{
    return !rs.isNull(field) && rs.integer(field) == 1;
}

qint16 shortOf(const RecordSet &rs, const QString &field, qint16 whenNull)
{
    return qint16(std::clamp<qint64>(rs.integer(field, whenNull), -32768, 32767));
}

quint8 byteOf(const RecordSet &rs, const QString &field)
{
    return quint8(std::clamp<qint64>(rs.integer(field, 0), 0, 255));
}

int flagValue(bool value)
{
    return value ? 1 : 0;
}

void readStatusRow(DbHandle &connection, qint32 userID, UserRecord &user)
{
    const RecordSet rs = OpenADORecordSet(connection, QStringLiteral("SELECT * FROM STAFF_STATUS WHERE UserID = ?"),
                                          true, {userID});
    if (rs.eof())
        raiseMissing(QStringLiteral("STAFF_STATUS"), userID);
    user.UserID = qint32(rs.integer(QStringLiteral("UserID")));
    user.RealName = textOf(rs, QStringLiteral("RealName"));
    user.Email = textOf(rs, QStringLiteral("Email"));
    user.PhExtension = textOf(rs, QStringLiteral("PhExtension"));
    user.MobilePh = textOf(rs, QStringLiteral("MobilePh"));
}

void readWorkStartInto(const RecordSet &rs, qint32 userID, double &timeOfDay)
{
    const QString field = QStringLiteral("WorkStartTime");
    if (rs.isNull(field) || CClientAdmin::readWorkStart(rs.text(field), timeOfDay))
        return;
    WriteDebugLog(QStringLiteral("Work start time \"%1\" of user %2 unreadable; 8:30 taken").arg(rs.text(field)).arg(userID));
    timeOfDay = kDefaultWorkStart;
}

void readOptionsRow(DbHandle &connection, qint32 userID, UserRecord &user)
{
    const RecordSet rs = OpenADORecordSet(connection, QStringLiteral("SELECT * FROM STAFF_OPTIONS WHERE UserID = ?"),
                                          true, {userID});
    if (rs.eof())
        raiseMissing(QStringLiteral("STAFF_OPTIONS"), userID);
    user.LoginName = textOf(rs, QStringLiteral("LoginName")).toUpper();
    user.ChangeStatus = isOne(rs, QStringLiteral("ChangeStatus"));
    user.FastUpdates = isOne(rs, QStringLiteral("FastUpdates"));
    user.Admin = isOne(rs, QStringLiteral("Admin"));
    readWorkStartInto(rs, userID, user.WorkStartTime);
    user.LunchTimePeriod = shortOf(rs, QStringLiteral("LunchTimePeriod"), 60);
    user.OnClose = byteOf(rs, QStringLiteral("OnClose"));
    user.OnListDblClick = byteOf(rs, QStringLiteral("OnListDblClick"));
    user.Outlook = isOne(rs, QStringLiteral("Outlook"));
    user.OutlookOOP = isOne(rs, QStringLiteral("OutlookOOP"));
    user.Timesheet = isOne(rs, QStringLiteral("Timesheet"));
    user.BreakPeriod = shortOf(rs, QStringLiteral("BreakPeriod"), 15);
    user.StartMin = isOne(rs, QStringLiteral("StartMin"));
    if (!rs.isNull(QStringLiteral("Language")))
        user.Language = textOf(rs, QStringLiteral("Language"));
    user.RefreshPeriod = shortOf(rs, QStringLiteral("RefreshPeriod"), 30);
}

// Note types outside 1 to 13 belong to no status and are passed over.
void readQuickNotes(DbHandle &connection, qint32 userID, QuickNoteTable &quickNotes)
{
    quickNotes = QuickNoteTable();
    for (RecordSet rs = OpenADORecordSet(connection, QStringLiteral("SELECT * FROM QUICKNOTES WHERE UserID = ?"), true,
                                         {userID});
         !rs.eof(); rs.moveNext()) {
        if (rs.isNull(QStringLiteral("NoteType")))
            continue;
        const qint64 type = rs.integer(QStringLiteral("NoteType"));
        if (type < 1 || type >= QuickNoteTable::kRows) {
            WriteDebugLog(QStringLiteral("Quick note of type %1 of user %2 skipped").arg(type).arg(userID));
            continue;
        }
        quickNotes.rows[type].note = textOf(rs, QStringLiteral("QuickNote"));
        quickNotes.rows[type].stored = true;
    }
}

// The form a log-in name is stored in, and looked up by at log-in.
QString storedLoginName(const QString &login)
{
    return EncodeQuotes(login.trimmed().toUpper());
}

// The log-in finds a user by his name among the active users, so no two of
// them may share one; a deleted user's name is free again. The lock keeps
// another copy from taking the name before this transaction commits.
void ensureLoginFree(DbConnection &c, const QString &login, qint32 userID)
{
    c.lockTable(QStringLiteral("STAFF_STATUS"));
    const RecordSet rs = c.query(QStringLiteral("SELECT SS.RealName FROM STAFF_OPTIONS SO, STAFF_STATUS SS "
                                                "WHERE SO.LoginName = ? AND SO.UserID <> ? AND SS.UserID = SO.UserID "
                                                "AND SS.IsActive = 1 ORDER BY SO.UserID"),
                                 {storedLoginName(login), userID});
    if (rs.eof())
        return;
    throw AppError(ErrNo::LoginInUse, QStringLiteral("CClientAdmin"),
                   QStringLiteral("The login name %1 is already used by %2. Each user needs a login name of his own.")
                       .arg(login.trimmed().toUpper(), textOf(rs, QStringLiteral("RealName"))));
}

// Users who shared a name before names were checked can still save their
// options as long as they keep it.
bool loginChanged(DbConnection &c, qint32 userID, const QString &login)
{
    const RecordSet rs = c.query(QStringLiteral("SELECT LoginName FROM STAFF_OPTIONS WHERE UserID = ?"), {userID});
    return rs.eof() || rs.text(QStringLiteral("LoginName")).trimmed().toUpper() != storedLoginName(login);
}

void insertUserRows(DbConnection &c, const UserRecord &user, qint32 id)
{
    c.execute(QStringLiteral("INSERT INTO STAFF_OPTIONS (UserID, LoginName, Outlook, OutlookOOP, ChangeStatus, "
                             "Timesheet, Admin, WorkStartTime, LunchTimePeriod, OnClose, OnListDblClick, FastUpdates, "
                             "Language, StartMin, RefreshPeriod, BreakPeriod) "
                             "VALUES (?, ?, 1, 1, 1, ?, ?, ?, ?, ?, ?, 0, ?, ?, ?, ?)"),
              {id, storedLoginName(user.LoginName), flagValue(user.Admin), flagValue(user.Admin),
               CClientAdmin::workStartText(user.WorkStartTime), user.LunchTimePeriod, user.OnClose,
               user.OnListDblClick, EncodeQuotes(user.Language), flagValue(user.StartMin), user.RefreshPeriod,
               user.BreakPeriod});
    const qint32 lastUpdated = CounterAllocator::nextLastUpdated(c);
    c.execute(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, RealName, Email, MobileOn, IsIn, LastUpdated, "
                             "LastStatusChange, MobilePh, PhExtension, IsActive) "
                             "VALUES (?, ?, ?, 0, ?, ?, 0, ?, ?, 1)"),
              {id, EncodeQuotes(user.RealName), EncodeQuotes(user.Email), QString(BuiltInStatus::In), lastUpdated, EncodeQuotes(user.MobilePh),
               EncodeQuotes(user.PhExtension)});
}

// The options statement: the fields always written, then those that do not
// hold their "no change" value.
void updateOptionsRow(DbHandle &connection, qint32 userID, const UserOptions &o)
{
    QString sql = QStringLiteral("UPDATE STAFF_OPTIONS SET LoginName = ?, Admin = ?, Outlook = ?, OutlookOOP = ?, "
                                 "StartMin = ?, Language = ?, WorkStartTime = ?");
    QVariantList params = {storedLoginName(o.LoginName), flagValue(o.Admin), flagValue(o.Outlook),
                           flagValue(o.OutlookOOP), flagValue(o.StartMin), EncodeQuotes(o.Language),
                           CClientAdmin::workStartText(o.WorkStartTime)};
    const auto add = [&](bool changed, const char *column, const QVariant &value) {
        if (!changed)
            return;
        sql += QStringLiteral(", %1 = ?").arg(QLatin1String(column));
        params << value;
    };
    add(o.LunchTimePeriod != UserOptions::NoChange, "LunchTimePeriod", o.LunchTimePeriod);
    add(o.BreakPeriod != UserOptions::NoChange, "BreakPeriod", o.BreakPeriod);
    add(o.RefreshPeriod != UserOptions::NoChange, "RefreshPeriod", o.RefreshPeriod);
    add(o.WorkDays != QLatin1String("-"), "WorkDays", EncodeQuotes(o.WorkDays));
    add(o.OnClose != UserOptions::NoChoice, "OnClose", o.OnClose);
    add(o.OnListDblClick != UserOptions::NoChoice, "OnListDblClick", o.OnListDblClick);
    sql += QStringLiteral(" WHERE UserID = ?");
    params << userID;
    Update(sql, connection, params);
}

void writeQuickNotes(DbConnection &c, qint32 userID, const QuickNoteTable &quickNotes)
{
    for (int type = 1; type < QuickNoteTable::kRows; ++type) {
        const QuickNoteTable::Row &row = quickNotes.rows[type];
        if (row.note.isEmpty() && !row.stored)
            continue;
        const QString text = EncodeQuotes(row.note).trimmed();
        // A row may exist although the table says otherwise (saved twice in
        // one session): update first, insert only when nothing was there.
        if (c.execute(QStringLiteral("UPDATE QUICKNOTES SET QuickNote = ? WHERE NoteType = ? AND UserID = ?"),
                      {text, type, userID})
            == 0)
            c.execute(QStringLiteral("INSERT INTO QUICKNOTES (NoteType, QuickNote, UserID) VALUES (?, ?, ?)"),
                      {type, text, userID});
    }
}

// The built-in statuses that do not count as out, as values to bind.
QVariantList notOutCodes()
{
    QVariantList codes;
    for (const BuiltInStatus::Row &status : BuiltInStatus::all())
        if (status.presence != BuiltInStatus::Presence::Out)
            codes.append(QString(status.code));
    return codes;
}

// Everyone still in, on a break, or overdue (a due-back time of 0 means none)
// goes Out until his work start on the next working day.
void sweep(DbConnection &c)
{
    QVariantList params = notOutCodes();
    const QString sql = QStringLiteral("SELECT SS.UserID, SO.WorkStartTime FROM STAFF_STATUS SS, STAFF_OPTIONS SO "
                                       "WHERE SO.UserID = SS.UserID AND ((SS.IsIn IN (%1)) "
                                       "OR (SS.ETA > 0 AND SS.ETA < ?)) ORDER BY SS.UserID")
                            .arg(QStringList(params.size(), QStringLiteral("?")).join(u','));
    params.append(Clock::nowDays());
    RecordSet rs = c.query(sql, params);
    for (; !rs.eof(); rs.moveNext()) {
        const qint32 userID = qint32(rs.integer(QStringLiteral("UserID")));
        double workStart = kDefaultWorkStart;
        readWorkStartInto(rs, userID, workStart);
        if (rs.isNull(QStringLiteral("WorkStartTime")))
            WriteDebugLog(QStringLiteral("No work start time for user %1; 8:30 taken").arg(userID));
        const qint32 counter = CounterAllocator::nextLastUpdated(c);
        c.execute(QStringLiteral("UPDATE STAFF_STATUS SET IsIn = ?, Note = ?, LastUpdated = ?, "
                                 "LastStatusChange = ?, ETA = ?, ETD = 0 WHERE UserID = ?"),
                  {QString(BuiltInStatus::Out), kMarkedOutNote, counter, Clock::nowDays(), NextWorkingDay(workStart),
                   userID});
    }
}

} // namespace

QString CClientAdmin::workStartText(double timeOfDay)
{
    return DateUtil::timeOf(timeOfDay).toString(QStringLiteral("HH:mm:ss"));
}

bool CClientAdmin::readWorkStart(const QString &text, double &timeOfDay)
{
    const QTime time = DateUtil::parseTime(text.trimmed());
    if (!time.isValid())
        return false;
    timeOfDay = DateUtil::fromTime(time);
    return true;
}

qint32 CClientAdmin::ReadUser(qint32 userID, UserRecord &user, QList<CTreeNode> &groups, QuickNoteTable &quickNotes,
                              DbHandle &connection)
{
    return guarded("ReadUser", [&] {
        ConnectionScope scope(connection);
        UserRecord read;
        readStatusRow(scope.handle(), userID, read);
        readOptionsRow(scope.handle(), userID, read);
        QList<CTreeNode> readGroups = CUserGroup().GetGroups(userID, scope.handle());
        readQuickNotes(scope.handle(), userID, quickNotes);
        user = read;
        groups = readGroups;
    });
}

qint32 CClientAdmin::ReadAllUsers(QList<UserRights> &users)
{
    return guarded("ReadAllUsers", [&] {
        DbHandle connection;
        users.clear();
        for (RecordSet rs = OpenADORecordSet(connection,
                                             QStringLiteral("SELECT * FROM STAFF_STATUS SS, STAFF_OPTIONS SO "
                                                            "WHERE SO.UserID = SS.UserID AND SS.IsActive = 1 "
                                                            "ORDER BY SS.UserID"));
             !rs.eof(); rs.moveNext())
            users.append({qint32(rs.integer(QStringLiteral("UserID"))), textOf(rs, QStringLiteral("RealName")),
                          isOne(rs, QStringLiteral("Admin")), isOne(rs, QStringLiteral("ChangeStatus")),
                          isOne(rs, QStringLiteral("FastUpdates")), isOne(rs, QStringLiteral("Timesheet"))});
    });
}

qint32 CClientAdmin::AddUser(UserRecord &user, DbHandle &connection)
{
    return guarded("AddUser", [&] {
        ConnectionScope scope(connection);
        qint32 id = 0;
        CounterAllocator::inWriteTransaction(scope.handle(), [&](DbConnection &c) {
            ensureLoginFree(c, user.LoginName, 0);
            id = CounterAllocator::nextId(c, QStringLiteral("userid"), 1, true);
            insertUserRows(c, user, id);
        });
        user.UserID = id;
    });
}

qint32 CClientAdmin::AddUser(UserRecord &user)
{
    DbHandle connection;
    return AddUser(user, connection);
}

qint32 CClientAdmin::UpdateUser(qint32 userID, const QString &realName, const QString &email, bool admin,
                                DbHandle &connection)
{
    return guarded("UpdateUser", [&] {
        ConnectionScope scope(connection);
        Update(QStringLiteral("UPDATE STAFF_STATUS SET RealName = ?, Email = ? WHERE UserID = ?"), scope.handle(),
               {EncodeQuotes(realName), EncodeQuotes(email), userID});
        Update(QStringLiteral("UPDATE STAFF_OPTIONS SET Admin = ? WHERE UserID = ?"), scope.handle(),
               {flagValue(admin), userID});
    });
}

qint32 CClientAdmin::UpdateUserOptions(qint32 userID, const UserOptions &options, DbHandle &connection)
{
    return guarded("UpdateUserOptions", [&] {
        ConnectionScope scope(connection);
        CounterAllocator::inWriteTransaction(scope.handle(), [&](DbConnection &c) {
            if (loginChanged(c, userID, options.LoginName))
                ensureLoginFree(c, options.LoginName, userID);
            updateOptionsRow(scope.handle(), userID, options);
        });
    });
}

qint32 CClientAdmin::UpdateUserSecurity(qint32 userID, bool admin, bool changeStatus, bool fastUpdates, bool timesheet)
{
    return guarded("UpdateUserSecurity", [&] {
        DbHandle connection;
        Update(QStringLiteral("UPDATE STAFF_OPTIONS SET Admin = ?, ChangeStatus = ?, FastUpdates = ?, Timesheet = ? "
                              "WHERE UserID = ?"),
               connection,
               {flagValue(admin), flagValue(changeStatus), flagValue(fastUpdates), flagValue(timesheet), userID});
    });
}

qint32 CClientAdmin::UpdateQuickNotes(qint32 userID, const QuickNoteTable &quickNotes, DbHandle &connection)
{
    return guarded("UpdateQuickNotes", [&] {
        ConnectionScope scope(connection);
        CounterAllocator::inWriteTransaction(scope.handle(),
                                             [&](DbConnection &c) { writeQuickNotes(c, userID, quickNotes); });
    });
}

qint32 CClientAdmin::MarkAllUsersOut()
{
    return guarded("MarkAllUsersOut", [&] {
        DbHandle connection;
        ConnectionScope scope(connection);
        CounterAllocator::inWriteTransaction(scope.handle(), sweep);
        // The shown view is redrawn at once; run without a window there is none.
        if (g_frmMain)
            g_frmMain->treeViewClick(g_sCurrentNodeKey, true);
    });
}

qint32 CClientAdmin::GetAdminOptions(bool &markOutOnClose, bool &enableTimeSheets, DbHandle &connection)
{
    return guarded("GetAdminOptions", [&] {
        ConnectionScope scope(connection);
        const RecordSet rs = OpenADORecordSet(scope.handle(), QStringLiteral("SELECT * FROM ADMIN WHERE ID = 1"));
        if (rs.eof())
            return;
        markOutOnClose = isOne(rs, QStringLiteral("MarkOutOnClose"));
        enableTimeSheets = rs.isNull(QStringLiteral("EnableTimeSheets")) || isOne(rs, QStringLiteral("EnableTimeSheets"));
    });
}

qint32 CClientAdmin::UpdateAdminOptions(bool markOutOnClose, bool enableTimeSheets)
{
    return guarded("UpdateAdminOptions", [&] {
        DbHandle connection;
        Update(QStringLiteral("UPDATE ADMIN SET MarkOutOnClose = ?, EnableTimeSheets = ? WHERE ID = 1"), connection,
               {flagValue(markOutOnClose), flagValue(enableTimeSheets)});
    });
}

qint32 CClientAdmin::EditAdminOptions(const std::function<void(frmAdminOptions &)> &runDialog)
{
    return guarded("EditAdminOptions", [&] {
        AdminOptions stored;
        stored.markOutOnClose = g_fMarkOutOnClose;
        stored.enableTimeSheets = g_fEnableTimeSheets;
        stored.read();
        frmAdminOptions form(dynamic_cast<QWidget *>(g_frmMain.get()));
        form.fill(stored);
        for (;;) {
            if (runDialog)
                runDialog(form);
            else
                form.exec();
            if (form.Cancelled || saveAdminOptions(form.values(), stored))
                return;
        }
    });
}

// The flags in memory change only once the database holds them.
bool CClientAdmin::saveAdminOptions(const AdminOptions &options, const AdminOptions &stored)
{
    try {
        options.save(stored);
    } catch (const AppError &e) {
        ErrorDialog(e.number(), e.description(), QStringLiteral("CClientAdmin.EditAdminOptions\r\n") + e.source());
        return false;
    }
    g_fMarkOutOnClose = options.markOutOnClose;
    g_fEnableTimeSheets = options.enableTimeSheets;
    g_fEnableChat = options.enableChat;
    if (g_frmMain)
        g_frmMain->refreshEnableChat();
    return true;
}

qint32 CClientAdmin::LoadCustomStatus(DbHandle &connection)
{
    return guarded("LoadCustomStatus", [&] {
        ConnectionScope scope(connection);
        QList<CStatus> loaded;
        for (RecordSet rs = OpenADORecordSet(scope.handle(), QStringLiteral("SELECT * FROM Custom_Status WHERE Active = 1"));
             !rs.eof(); rs.moveNext()) {
            CStatus status;
            status.StatusCode = rs.text(QStringLiteral("id")).trimmed();
            status.Status = textOf(rs, QStringLiteral("description"));
            status.CustomType = rs.text(QStringLiteral("status_type")).trimmed();
            status.Icon = textOf(rs, QStringLiteral("Icon"));
            const bool known = std::any_of(loaded.cbegin(), loaded.cend(), [&](const CStatus &s) {
                return s.StatusCode == status.StatusCode;
            });
            if (!known)
                loaded.append(status);
        }
        g_colCustomStatus = loaded;
    });
}

namespace {

constexpr qint32 kLastCustomNumber = 0xFF;

bool codeTaken(DbConnection &c, const QString &code)
{
    return !c.query(QStringLiteral("SELECT id FROM Custom_Status WHERE id = ?"), {code}).eof();
}

// The number the counter would hand out next, read under the counter's lock
// so that the limit is judged on what nextId will really give.
qint32 peekNextCustomNumber(DbConnection &c)
{
    c.lockTable(QStringLiteral("idmanager"));
    const RecordSet rs = c.query(QStringLiteral("SELECT id FROM idmanager WHERE tablename = 'status'"));
    if (rs.eof() || rs.isNull(QStringLiteral("id")))
        return 2;
    return qint32(rs.integer(QStringLiteral("id")) + 1);
}

void moveHoldersOut(DbConnection &c, const QString &code)
{
    RecordSet rs = c.query(QStringLiteral("SELECT UserID, Note, ETA, ETD FROM STAFF_STATUS WHERE IsIn = ? ORDER BY UserID"),
                           {code});
    for (; !rs.eof(); rs.moveNext()) {
        const qint32 userID = qint32(rs.integer(QStringLiteral("UserID")));
        const QString note = rs.text(QStringLiteral("Note"));
        const double eta = rs.number(QStringLiteral("ETA"));
        const double etd = rs.number(QStringLiteral("ETD"));
        const qint32 counter = CounterAllocator::nextLastUpdated(c);
        const double now = Clock::nowDays();
        c.execute(QStringLiteral("UPDATE STAFF_STATUS SET IsIn = ?, LastUpdated = ?, LastStatusChange = ? "
                                 "WHERE UserID = ?"),
                  {QString(BuiltInStatus::Out), counter, StoredDay(now), userID});
        // History rows carry a time in both columns, as every status change writes them.
        c.execute(QStringLiteral("INSERT INTO STATUS_HISTORY (Status, Note, ETA, ETD, UserID) VALUES (?, ?, ?, ?, ?)"),
                  {QString(BuiltInStatus::Out), note, HistoryDate(eta == 0 ? now : eta), HistoryDate(etd == 0 ? now : etd),
                   userID});
    }
}

} // namespace

QString CClientAdmin::customStatusCode(qint32 number)
{
    if (number < 0 || number > kLastCustomNumber)
        return QString();
    const QString hex = QString::number(number, 16).toUpper();
    return (hex.size() == 1 ? QStringLiteral("XX") : QStringLiteral("X")) + hex;
}

std::optional<CStatus> CClientAdmin::AddCustomStatus(const QString &description, const QString &type,
                                                     const QString &icon)
{
    std::optional<CStatus> added;
    guarded("AddCustomStatus", [&] {
        DbHandle connection;
        ConnectionScope scope(connection);
        CStatus status{description, QString(), type, icon};
        CounterAllocator::inWriteTransaction(scope.handle(), [&](DbConnection &c) {
            status.StatusCode.clear();
            // A code some other writer already stored (a counter set back by
            // hand) is passed over rather than refused.
            while (status.StatusCode.isEmpty() || codeTaken(c, status.StatusCode)) {
                if (peekNextCustomNumber(c) > kLastCustomNumber) {
                    status.StatusCode.clear();
                    return; // nothing written: the transaction commits no change
                }
                status.StatusCode = customStatusCode(CounterAllocator::nextId(c, QStringLiteral("status"), 2, true));
            }
            c.execute(QStringLiteral("INSERT INTO Custom_Status (id, description, status_type, Icon, Active) "
                                     "VALUES (?, ?, ?, ?, 1)"),
                      {status.StatusCode, EncodeQuotes(description), type, icon});
        });
        if (status.StatusCode.isEmpty())
            return;
        g_colCustomStatus.append(status);
        added = status;
    });
    return added;
}

qint32 CClientAdmin::DeleteCustomStatus(const QString &code)
{
    return guarded("DeleteCustomStatus", [&] {
        DbHandle connection;
        ConnectionScope scope(connection);
        CounterAllocator::inWriteTransaction(scope.handle(), [&](DbConnection &c) {
            c.execute(QStringLiteral("UPDATE Custom_Status SET Active = 0 WHERE id = ?"), {code});
            moveHoldersOut(c, code);
        });
        g_colCustomStatus.removeIf([&](const CStatus &s) { return s.StatusCode == code; });
        if (g_oCurrentUser.IsIn == code)
            g_oCurrentUser.IsIn = BuiltInStatus::Out;
    });
}
