#include "UserListPoll.h"
#include "NotifyUserList.h"

#include <QElapsedTimer>

#include "IUserListView.h"
#include "IUserNotification.h"
#include "UserListColumns.h"
#include "UserListModel.h"
#include "UserListRows.h"
#include "foundation/BuiltInStatus.h"
#include "foundation/Globals.h"
#include "foundation/ICalendarLink.h"
#include "foundation/IMainWindow.h"
#include "foundation/MCIFunctions.h"
#include "messaging/CMCastUpdate.h"
#include "messaging/CMCastWindow.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/Registry.h"
#include "platform/SettingsKeys.h"

#include <QCoreApplication>
#include <algorithm>

namespace {

const QString kTop = QStringLiteral("NOD0");
const QString kSearch = QStringLiteral("SRH0");
const QString kWatchList = QStringLiteral("NTF0");
const QString kNotificationTitle = QStringLiteral("Qel Notification");

bool sameKey(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString isNowIn(const QString &name)
{
    return name + QStringLiteral(" is now 'In'.\r\n");
}

// g_vUserList stays in ascending UserID order, which FindUserIndex relies on,
// whatever order the rows were read in.
void storeUser(const CUser &user)
{
    const qint32 found = FindUserIndex(user.UserID);
    if (found >= 0) {
        g_vUserList[found] = user;
        return;
    }
    const auto at = std::lower_bound(g_vUserList.begin(), g_vUserList.end(), user.UserID,
                                     [](const CUser &row, qint32 id) { return row.UserID < id; });
    g_vUserList.insert(at, user);
}

// Writes a user's status into his row from the values stored for him.
void writeStatus(UserListItem &item, const CUser &user)
{
    double outTime = user.ETD;
    double dueBack = user.ETA;
    QString note = user.Note;
    QString status = user.IsIn;
    UserListRows::SetListItemStatus(item, outTime, dueBack, note, status);
}

// A held update that the rows just read do not back is a stray or a forgery;
// kept, it would hold back the user's real updates as if it were newer.
void forgetUnstoredUpdates(const QList<UserListReader::Row> &rows)
{
    if (!g_oMCastWindow)
        return;
    QHash<qint32, qint32> counters;
    for (const UserListReader::Row &row : rows)
        counters.insert(row.user.UserID, row.lastUpdated);
    g_oMCastWindow->ForgetUnstored(counters);
}

} // namespace

UserListPoll::UserListPoll()
    : pumpEvents([] { QCoreApplication::processEvents(); }), m_model(std::make_unique<UserListModel>())
{
}

UserListPoll::~UserListPoll() = default;

qint32 UserListPoll::refresh(bool checksOnly, bool skipCalendar, const QString &sql, const QString &nodeKey,
                             DbHandle &connection, const QVariantList &params,
                             const std::function<bool(const CUser &)> &keep)
{
    return start(Request{checksOnly, skipCalendar, !checksOnly, sql, params, nodeKey, keep}, connection);
}

qint32 UserListPoll::runChecks()
{
    DbHandle none;
    return start(Request{true, true, true, QString(), QVariantList(), QString(), {}}, none);
}

qint32 UserListPoll::start(const Request &request, DbHandle &connection)
{
    if (m_refreshing) {
        // Only a request that changes the list needs to run afterwards; the
        // checks run at the end of the refresh under way anyway.
        if (!request.checksOnly)
            m_heldBack = request;
        return 10003;
    }
    struct Running
    {
        UserListPoll &poll;
        explicit Running(UserListPoll &p) : poll(p) { poll.m_refreshing = true; }
        ~Running()
        {
            poll.m_refreshing = false;
            poll.m_heldBack.reset();
        }
    } running(*this);

    qint32 result = run(request, connection);
    while (m_heldBack) {
        const Request next = *m_heldBack;
        m_heldBack.reset();
        DbHandle none;
        run(next, none);
    }
    return result;
}

qint32 UserListPoll::run(const Request &request, DbHandle &connection)
{
    m_rowsRead = 0;
    try {
        if (g_lUserID > 0) {
            const Reload reload = request.checksOnly ? Reload::Checks : reloadList(request, connection);
            if (reload == Reload::NoWindow)
                return 0;
            if (reload == Reload::Checks) {
                checkCalendar(request.skipCalendar);
                checkPendingRows();
                if (request.watchList)
                    checkWatchList();
                if (setFrameCaption)
                    setFrameCaption();
            }
        }
        g_iDBRetryCount = 0;
        setStatusText(QStringLiteral("Ready."));
        return ErrNo::Success;
    } catch (const AppError &e) {
        throw AppError(ErrNo::Raised,
                       QStringLiteral("CClientHnd.RefreshUserList (") + QString::number(e.number())
                           + QStringLiteral(")\r\n") + e.source(),
                       e.description());
    }
}

UserListPoll::Reload UserListPoll::reloadList(const Request &request, DbHandle &connection)
{
    g_fMyRowLoaded = false;
    if (!g_frmMain)
        return Reload::NoWindow;
    UserListColumns::SetupUserListColumns(*m_model);

    QString key = request.nodeKey;
    if (sameKey(key, kTop)) {
        const QString branch = SettingsKeys::DefaultBranch.read();
        if (branch == Registry::missingText() || branch.isEmpty() || KeyToId(branch) == 0)
            return Reload::Finish;
        key = branch;
        IUserListView *view = IUserListView::ofMainWindow();
        if (!view || !view->selectTreeNode(key))
            return Reload::Finish;
        g_frmMain->setCurrentViewMsg();
    }
    const qint32 id = KeyToId(key);
    const bool search = sameKey(key, kSearch);
    if (search && request.sql.isEmpty()) {
        // Search results are never polled again, but for the rows update
        // pulses redrew.
        if (!sameKey(key, g_sCurrentNodeKey)) {
            clearList();
            g_sCurrentNodeKey = key;
        } else {
            rereadPatchedRows(connection);
        }
        return Reload::Checks;
    }
    if (!sameKey(key, g_sCurrentNodeKey) || search)
        g_lLastUpdated = -1;
    g_frmMain->hideWebPage();

    const bool watchList = sameKey(key, kWatchList);
    UserListReader::Query query{request.sql, request.params};
    if (watchList) {
        if (g_colNotifyUsers.isEmpty()) {
            clearList();
            g_sCurrentNodeKey = kWatchList;
            return Reload::Checks;
        }
        query = UserListReader::usersByIdQuery(g_colNotifyUsers.userIds());
    }
    const bool incremental = sameKey(key, g_sCurrentNodeKey) && g_lLastUpdated != -1 && !search && !watchList;
    const QStringList statusCodes = id < 0 ? UserListReader::statusCodesFor(key.left(3)) : QStringList();
    // A poll reads again the rows update pulses redrew; a full read reads
    // every row anyway.
    const QList<qint32> reread = incremental ? m_patched.values() : QList<qint32>();
    if (query.sql.isEmpty())
        query = UserListReader::usersQuery(id, statusCodes, g_lLastUpdated, !incremental, reread);

    setStatusText(QStringLiteral("Accessing Database..."));
    QList<UserListReader::Row> rows = m_reader.read(query, connection, g_lLastUpdated);
    if (request.keep)
        rows.removeIf([&](const UserListReader::Row &row) { return !request.keep(row.user); });
    m_rowsRead = m_reader.rowsRead();
    g_lLastUpdated = m_reader.highest();
    g_lLastSeq = g_lLastUpdated;
    for (qint32 userId : reread)
        m_patched.remove(userId);
    forgetUnstoredUpdates(rows);
    setStatusText(QStringLiteral("Updating List..."));

    if (!incremental) {
        g_sCurrentNodeKey = key;
        clearList();
    }
    applyRows(rows, incremental, statusCodes);
    return Reload::Checks;
}

void UserListPoll::rereadPatchedRows(DbHandle &connection)
{
    if (m_patched.isEmpty())
        return;
    const QList<qint32> reread = m_patched.values();
    // A reader of its own: these rows say nothing of the rows changed since
    // the shared mark.
    UserListReader reader;
    const QList<UserListReader::Row> rows =
        reader.read(UserListReader::usersByIdQuery(reread), connection, g_lLastUpdated);
    m_rowsRead = reader.rowsRead();
    for (qint32 userId : reread)
        m_patched.remove(userId);
    forgetUnstoredUpdates(rows);
    applyRows(rows, true, QStringList());
}

void UserListPoll::clearList()
{
    m_patched.clear();
    m_model->clear();
    g_vUserList.clear();
    g_lMyRowIndex = -1;
}

void UserListPoll::applyRows(const QList<UserListReader::Row> &rows, bool incremental, const QStringList &statusCodes)
{
    const qsizetype count = rows.size();
    if (count == 0)
        return;
    if (IUserListView *view = IUserListView::ofMainWindow())
        view->setProgress(0);
    if (!incremental) {
        g_vUserList.reserve(count);
        m_model->reserve(int(count));
    }
    UserListModel::HeldRows held(*m_model);
    QElapsedTimer sincePump;
    sincePump.start();
    int shownPercent = 0;
    for (qsizetype i = 0; i < count; ++i) {
        if (i % 25 == 0 && i > 0 && pumpEvents && sincePump.elapsed() >= pumpIntervalMs) {
            m_model->showHeldRows();
            pumpEvents();
            sincePump.start();
        }
        // Told only when it moves: thousands of rows share each percent.
        const int percent = int(DateUtil::roundHalfEven(double(i) * (100.0 / double(count))));
        if (percent != shownPercent) {
            shownPercent = percent;
            // The pump may have unloaded the main window, so it is asked anew.
            if (IUserListView *view = IUserListView::ofMainWindow())
                view->setProgress(percent);
        }

        const UserListReader::Row &row = rows.at(i);
        const CUser &user = row.user;
        // Unfiltered polls also bring the rows of users who left this list.
        const bool belongs = row.active && row.member && (statusCodes.isEmpty() || statusCodes.contains(user.IsIn));
        if (incremental && !belongs) {
            forgetUser(user.UserID);
            continue;
        }
        storeUser(user);
        if (user.UserID <= 0)
            continue;
        if (user.UserID == g_lUserID)
            updateCurrentUserFromRow(user);
        showUser(user);
    }
    m_model->showHeldRows();
    g_lMyRowIndex = FindUserIndex(g_lUserID);
    if (IUserListView *view = IUserListView::ofMainWindow()) {
        view->scrollToSelection();
        view->setProgress(-1);
    }
}

void UserListPoll::showUser(const CUser &user)
{
    const int row = m_model->addUser(user.UserID, user.RealName);
    m_model->patch(row, [&user](UserListItem &item) {
        item.Text = user.RealName;
        writeStatus(item, user);
        item.Mobile = user.MobileOn ? QStringLiteral("ON") : QStringLiteral("OFF");
        item.MobilePh = user.MobilePh;
        item.PhoneNumber = user.PhExtension;
    });
}

void UserListPoll::forgetUser(qint32 userId)
{
    m_model->removeUser(userId);
    const qint32 index = FindUserIndex(userId);
    if (index >= 0)
        g_vUserList.removeAt(index);
}

void UserListPoll::updateCurrentUserFromRow(const CUser &user)
{
    CUser &me = g_oCurrentUser;
    me.UserID = user.UserID;
    me.RealName = user.RealName;
    me.IsIn = user.IsIn;
    me.Note = user.Note;
    me.MobileOn = user.MobileOn;
    me.ETA = user.ETA;
    me.LastStatusChange = user.LastStatusChange;
    me.MobilePh = user.MobilePh;
    me.PhExtension = user.PhExtension;
    me.ETD = user.ETD;
    me.Email = user.Email;
    g_fMyRowLoaded = true;
    if (refreshIcon)
        refreshIcon(me.IsIn);
}

void UserListPoll::checkCalendar(bool skipCalendar)
{
    if (skipCalendar || !g_fOutlook || g_fOutlookOOP)
        return;
    setStatusText(QStringLiteral("Checking calendar..."));
    g_calendarLink->CheckSchedule2();
}

void UserListPoll::checkPendingRows()
{
    setStatusText(QStringLiteral("Checking Pending Status Changes..."));
    const double now = Clock::nowDays();
    for (const qint32 userId : m_model->pendingUsers()) {
        const int row = m_model->rowOf(userId);
        const UserListItem *item = m_model->item(row);
        if (!item || !item->Pending || DateUtil::minutesBetween(item->OutTime, now) < 0)
            continue;
        const qint32 index = FindUserIndex(item->UserID);
        if (index < 0 || index >= g_vUserList.size())
            continue;
        const CUser user = g_vUserList.at(index);
        m_model->patch(row, [&user](UserListItem &shown) { writeStatus(shown, user); });
    }
}

void UserListPoll::checkWatchList()
{
    if (g_colNotifyUsers.isEmpty())
        return;
    setStatusText(QStringLiteral("Checking User Status Notifications..."));
    // A reader of its own, and the shared mark left alone: raising it to the
    // watched users' rows would hide rows of the shown list written meanwhile.
    UserListReader reader;
    DbHandle none;
    const QList<UserListReader::Row> rows =
        reader.read(UserListReader::usersByIdQuery(g_colNotifyUsers.userIds()), none, g_lLastUpdated);
    QString message;
    for (const UserListReader::Row &row : rows) {
        if (row.user.IsIn != BuiltInStatus::In)
            continue;
        message += isNowIn(row.user.RealName);
        g_colNotifyUsers.remove(row.user.UserID);
    }
    if (!message.isEmpty())
        g_userNotification->notify(kNotificationTitle, message, false);
}

void UserListPoll::updateView(qint32 userId, QString status, QString note, double outTime, double dueBack)
{
    const int row = m_model->rowOf(userId);
    if (row < 0)
        return;
    m_patched.insert(userId);
    m_model->patch(row, [&](UserListItem &item) {
        UserListRows::SetListItemStatus(item, outTime, dueBack, note, status);
    });

    const double now = Clock::nowDays();
    const qint32 index = FindUserIndex(userId);
    if (index >= 0) {
        CUser &shown = g_vUserList[index];
        shown.IsIn = status;
        shown.Note = note;
        shown.LastStatusChange = now;
        shown.ETD = outTime;
        shown.ETA = dueBack;
    }
    if (userId == g_lUserID) {
        g_oCurrentUser.IsIn = status;
        g_oCurrentUser.Note = note;
        g_oCurrentUser.ETA = dueBack;
        g_oCurrentUser.LastStatusChange = now;
        g_oCurrentUser.ETD = outTime;
    }
    if (index < 0 || status != BuiltInStatus::In || !g_colNotifyUsers.find(userId))
        return;
    const QString message = isNowIn(g_vUserList.at(index).RealName);
    g_colNotifyUsers.remove(userId);
    g_userNotification->notify(kNotificationTitle, message, true);
}

void UserListPoll::updateView(const CMCastUpdate &update)
{
    updateView(update.UserID, update.Status, update.Note, update.ETD, update.ETA);
}

void UserListPoll::setStatusText(const QString &text)
{
    if (g_frmMain)
        g_frmMain->setStatusText(text);
}
