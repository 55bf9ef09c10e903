#include "CClientHnd.h"


#include "CClientNote.h"
#include "ContactList.h"
#include "ICheckInPopup.h"
#include "IStatusChangeDialog.h"
#include "UserListPoll.h"
#include "foundation/BuiltInStatus.h"
#include "foundation/CounterAllocator.h"
#include "foundation/Globals.h"
#include "foundation/ICalendarLink.h"
#include "foundation/IMainWindow.h"
#include "foundation/IResourceLists.h"
#include "foundation/ITrayWindow.h"
#include "foundation/MCIFunctions.h"
#include "foundation/MErrorHandler.h"
#include "foundation/Steps.h"
#include "messaging/CMCastUpdate.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/StatusCode.h"
#include "platform/TextLimit.h"

#include <QScopeGuard>
#include <QStringBuilder>

namespace {

const QString kClass = QStringLiteral("CClientHnd");
constexpr qint32 kCancelled = 10003;

// Hands a trapped error on to the caller with this class's step in front of
// its source, so the whole chain shows where it ends up.
[[noreturn]] void raiseFrom(const QString &operation, const AppError &trapped)
{
    throw AppError(ErrNo::Raised,
                   kClass + u'.' + operation + QStringLiteral(" (") + QString::number(trapped.number())
                       + QStringLiteral(")\r\n") + trapped.source(),
                   trapped.description());
}

// Runs a step of a status change: what it raises goes to the error log and
// on to the caller as this class's error.
template <typename Step>
void updateStep(Step &&step)
{
    try {
        step();
    } catch (const AppError &e) {
        WriteErrorLog(e.number(), e.description(), e.source());
        raiseFrom(QStringLiteral("UpdateStatus"), e);
    }
}

// Blanks only, as notes have always been trimmed; tabs and line breaks stay.
QString trimBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text.at(first) == u' ')
        ++first;
    while (end > first && text.at(end - 1) == u' ')
        --end;
    return text.mid(first, end - first);
}

double addMinutes(double day, qint64 minutes)
{
    return DateUtil::toDays(DateUtil::fromDays(day).addSecs(minutes * 60));
}

// Custom statuses, like any code not built in, are due back in an hour.
double defaultDueBack(const QString &status, double outAt)
{
    const BuiltInStatus::Row *builtIn = BuiltInStatus::find(status);
    switch (builtIn ? builtIn->dueBack : BuiltInStatus::DueBack::AnHour) {
    case BuiltInStatus::DueBack::None: return 0;
    case BuiltInStatus::DueBack::LunchPeriod: return addMinutes(outAt, g_oUserProperties.LunchTimePeriod);
    case BuiltInStatus::DueBack::BreakPeriod: return addMinutes(outAt, g_oUserProperties.BreakPeriod);
    case BuiltInStatus::DueBack::NextWorkingDay: return NextWorkingDay(g_oUserProperties.WorkStartTime);
    case BuiltInStatus::DueBack::AnHour: break;
    }
    return addMinutes(outAt, 60);
}

void copyIntoUserList(qint32 userId, const QString &status, const QString &note, double outAt, double dueBack)
{
    const qint32 index = FindUserIndex(userId);
    if (index < 0 || index >= g_vUserList.size())
        return;
    CUser &row = g_vUserList[index];
    row.IsIn = status;
    row.Note = note;
    row.ETA = dueBack;
    row.LastStatusChange = Clock::nowDays();
    row.ETD = outAt;
}

QString ownKey()
{
    return QStringLiteral("USR") + QString::number(g_lUserID);
}

// The signed-in user's status and due-back time as his row holds them. The
// list and g_oCurrentUser show what update pulses said, which a stray or
// forged datagram can change; decisions about his own status go by the row.
CUser ownStoredStatus()
{
    DbHandle connection;
    const RecordSet rs = OpenADORecordSet(connection, QStringLiteral("SELECT IsIn, ETA FROM STAFF_STATUS WHERE UserID = ?"),
                                          true, {g_lUserID});
    CloseADOConnection(connection);
    CUser stored;
    stored.IsIn = rs.text(QStringLiteral("IsIn")).trimmed();
    stored.ETA = rs.number(QStringLiteral("ETA"));
    return stored;
}

} // namespace

bool CClientHnd::s_changing = false;
QList<CClientHnd::StatusChange> CClientHnd::s_waitingChanges;

CClientHnd::CClientHnd()
    : m_userListPoll(std::make_unique<UserListPoll>()), m_contacts(std::make_unique<ContactList>())
{
    m_userListPoll->setFrameCaption = [this] { SetFrameCaption(); };
    m_userListPoll->refreshIcon = [](const QString &status) {
        if (g_frmSysTray)
            g_frmSysTray->RefreshIcon(status);
    };
}

CClientHnd::~CClientHnd() = default;

void CClientHnd::setOutLookClient(std::unique_ptr<ICalendarWatcher> watcher)
{
    m_OutLookClient = std::move(watcher);
    if (!m_OutLookClient)
        return;
    m_OutLookClient->onNeedToUpdateStatus = [this](const QString &status, const QString &note, double outAt,
                                                   double dueBack, double modTime, const QString &id) {
        m_OutlookClient_NeedToUpdateStatus(status, note, outAt, dueBack, modTime, id);
    };
    m_OutLookClient->onStatusBarMessage = [this](const QString &message) {
        m_OutLookClient_StatusBarMessage(message);
    };
}

bool CClientHnd::NeedToDoMarkout() const
{
    return g_fMarkOutOnClose && g_fMarkOutDue && g_oCurrentUser.Admin;
}

void CClientHnd::MarkOutDone(double today)
{
    g_fMarkOutDue = false;
    g_dtLastMarkOut = DateUtil::datePart(today);
}

qint32 CClientHnd::UpdateStatus(qint32 userId, const QString &status, const QString &note, double &outAt,
                                double &dueBack, bool addToCalendar, bool interactive)
{
    DbHandle connection;
    return UpdateStatus(userId, status, note, outAt, dueBack, addToCalendar, interactive, connection);
}

qint32 CClientHnd::UpdateStatus(qint32 userId, const QString &status, const QString &note, double &outAt,
                                double &dueBack, bool addToCalendar, bool interactive, DbHandle &connection)
{
    updateStep([&] {
        StatusCode::require(status, kClass + QStringLiteral(".UpdateStatus"));
        if (outAt == 0)
            outAt = Clock::nowDays();
        if (dueBack == 0)
            dueBack = defaultDueBack(status, outAt);
    });
    const StatusChange change{userId, status, TextLimit::statusNote(note), outAt, dueBack, addToCalendar,
                              interactive};
    // Made at once, a change asked for while another waits on a busy database
    // would be stored first and then overwritten by the older one.
    if (s_changing) {
        s_waitingChanges.append(change);
        return ErrNo::Success;
    }
    s_changing = true;
    const auto release = qScopeGuard([] {
        s_changing = false;
        s_waitingChanges.clear();
    });
    try {
        makeChange(change, connection);
    } catch (const AppError &) {
        makeWaitingChanges();
        throw;
    }
    makeWaitingChanges();
    return ErrNo::Success;
}

// The changes asked for while one was being made, in the order they came.
// Their callers have gone on, so a failure is only logged, as each step does.
void CClientHnd::makeWaitingChanges()
{
    while (!s_waitingChanges.isEmpty()) {
        const StatusChange next = s_waitingChanges.takeFirst();
        DbHandle connection;
        try {
            makeChange(next, connection);
        } catch (const AppError &) {
        }
    }
}

void CClientHnd::makeChange(const StatusChange &change, DbHandle &connection)
{
    const bool ownConnection = !connection;
    qint32 seq = 0;
    updateStep([&] {
        try {
            seq = storeStatus(connection, change.userId, change.status, change.note, change.outAt, change.dueBack);
        } catch (...) {
            if (ownConnection)
                CloseADOConnection(connection);
            throw;
        }
        if (ownConnection)
            CloseADOConnection(connection);
    });
    if (change.userId == g_lUserID)
        showOwnStatus(change.status, change.note, change.outAt, change.dueBack, change.interactive);
    if (change.addToCalendar)
        updateStep([&] {
            g_calendarLink->AddAppointmentToSchedule(change.outAt, change.dueBack, change.note, change.status,
                                                     QString());
        });
    Steps::skip([&] { announce(seq, change.userId, change.status, change.note, change.outAt, change.dueBack); });
    // His row holds what was just stored: read back, it would say the same.
    if (change.interactive && change.userId == g_lUserID) {
        CUser stored;
        stored.IsIn = change.status.trimmed();
        stored.ETA = StoredDay(change.dueBack).toDouble();
        updateStep([&] { offerCheckIn(stored); });
    }
    g_iDBRetryCount = 0;
}

// The status row and its history row go in together, with the change counter
// taken inside the same transaction, so two copies never share a counter and
// no change is stored without its history. Gives the counter less one, the
// sequence number of the update.
qint32 CClientHnd::storeStatus(DbHandle &connection, qint32 userId, const QString &status, const QString &note,
                               double outAt, double dueBack)
{
    const QString stored = EncodeQuotes(trimBlanks(note));
    qint32 counter = 0;
    CounterAllocator::inWriteTransaction(connection, [&](DbConnection &c) {
        const double now = Clock::nowDays();
        counter = CounterAllocator::nextLastUpdated(c);
        c.execute(QStringLiteral("UPDATE STAFF_STATUS SET IsIn = ?, Note = ?, LastUpdated = ?, LastStatusChange = ?, "
                                 "ETA = ?, ETD = ? WHERE UserID = ?"),
                  {status, stored, counter, StoredDay(now), StoredDay(dueBack), StoredDay(outAt), userId});
        c.execute(QStringLiteral("INSERT INTO STATUS_HISTORY (Status, Note, ETA, ETD, UserID) VALUES (?, ?, ?, ?, ?)"),
                  {status, stored, HistoryDate(dueBack == 0 ? now : dueBack), HistoryDate(outAt == 0 ? now : outAt),
                   userId});
    });
    return counter - 1;
}

void CClientHnd::showOwnStatus(const QString &status, const QString &note, double outAt, double dueBack,
                               bool interactive)
{
    g_oCurrentUser.IsIn = status;
    g_oCurrentUser.ETA = dueBack;
    g_oCurrentUser.ETD = outAt;
    g_oCurrentUser.Note = note;
    if (g_frmMain) {
        Steps::skip([&] {
            if (interactive && g_sViewType == QLatin1String("GRP") && g_frmMain->isUserListVisible()) {
                QString query;
                QString nodeKey = g_sCurrentNodeKey;
                RefreshUserList(false, true, query, nodeKey);
            }
        });
        SetFrameCaption();
    }
    Steps::skip([&] {
        if (g_frmSysTray)
            g_frmSysTray->RefreshIcon(g_oCurrentUser.IsIn);
    });
}

void CClientHnd::announce(qint32 seq, qint32 userId, const QString &status, const QString &note, double outAt,
                          double dueBack)
{
    CMCastUpdate update;
    update.ETA = dueBack;
    update.ETD = outAt;
    update.Note = note;
    update.Status = status;
    update.Seq = seq;
    update.UserID = userId;
    update.OriginatorID = g_lUserID;
    if (g_frmSysTray)
        g_frmSysTray->sendUpdatePulse(update);
}

void CClientHnd::showCheckInDialog(qint32 userId, const QString &, double)
{
    if (userId != g_lUserID)
        return;
    try {
        offerCheckIn(ownStoredStatus());
    } catch (const AppError &e) {
        WriteErrorLog(e.number(), e.description(), kClass + QStringLiteral(".showCheckInDialog\r\n") + e.source());
    }
}

void CClientHnd::offerCheckIn(const CUser &stored)
{
    const QString &status = stored.IsIn;
    dropCheckInPopup();
    if (IsInStatus(status) || !g_uiFactory.checkInPopup)
        return;
    m_checkInPopup = g_uiFactory.checkInPopup();
    ICheckInPopup *popup = m_checkInPopup.get();
    if (!popup)
        return;
    popup->setTitle(QStringLiteral("Qel Status Change"));
    popup->setMessage(QStringLiteral("Your status has been set to ") + GetStatusDescription(status)
                      + QStringLiteral(", click Check In to set your status back to ")
                      + GetStatusDescription(BuiltInStatus::In));
    popup->setCheckIn();
    popup->setDueBack(stored.ETA);
    popup->showModeless();
    popup->display();
    // Events served while it slid in may have replaced it already.
    if (m_checkInPopup.get() == popup)
        popup->setAlwaysOnTop();
}

void CClientHnd::dropCheckInPopup()
{
    // Let go first, so that a status arriving while it slides out finds none.
    std::unique_ptr<ICheckInPopup> old = std::move(m_checkInPopup);
    if (old)
        old->undisplay();
}

qint32 CClientHnd::EditUserStatus(const QList<CEntity> &users, bool setOutMode)
{
    if (users.isEmpty())
        return kCancelled; // nobody chosen: nothing to ask or change
    try {
        const bool several = users.size() > 1;
        const bool own = several ? std::any_of(users.begin(), users.end(),
                                               [](const CEntity &user) { return user.Key() == ownKey(); })
                                 : users.first().ID == g_lUserID;
        std::unique_ptr<IStatusChangeDialog> dialog =
            g_uiFactory.statusChangeDialog ? g_uiFactory.statusChangeDialog() : nullptr;
        if (!dialog)
            return kCancelled;
        dialog->setStatusCode(BuiltInStatus::Out);
        dialog->setNote(QString());
        if (several) {
            dialog->setTargetUserID(0);
            dialog->setCaption(GetResString(322));
        } else {
            dialog->setStatusLabel(QString());
            dialog->setTargetUserID(users.first().ID);
            dialog->setCaption(GetResString(321) + u' ' + users.first().Name);
        }
        dialog->setOwnStatus(own);
        dialog->setAddToOutlook(false, own, g_fOutlook);
        dialog->setInviteAttendeesVisible(g_fOutlook && several);
        if (setOutMode) {
            dialog->setStatusCode(BuiltInStatus::Out);
            dialog->setStatusLabel(GetResString(323));
            dialog->setCancelEnabled(true);
            dialog->setInButtonVisible(false);
        }
        if (dialog->showModal())
            return kCancelled;
        applyChosenStatus(users, dialog->statusCode(), dialog->note(), dialog->outTime(), dialog->dueBack(),
                          dialog->addToOutlook());
        return ErrNo::Success;
    } catch (const AppError &e) {
        raiseFrom(QStringLiteral("EditUserStatus"), e);
    }
}

void CClientHnd::applyChosenStatus(const QList<CEntity> &users, const QString &status, const QString &note,
                                   double outAt, double dueBack, bool addToCalendar)
{
    const bool several = users.size() > 1;
    const auto showProgress = [](bool visible) {
        if (g_frmMain)
            g_frmMain->setProgressVisible(visible);
    };
    if (g_frmMain)
        g_frmMain->setProgressValue(0);
    showProgress(true);
    try {
        DbHandle connection = OpenADOConnection();
        const double n = users.size();
        int k = 1;
        for (const CEntity &user : users) {
            try {
                // One change failing leaves the others to be made.
                UpdateStatus(user.ID, status, note, outAt, dueBack, false, user.ID == g_lUserID, connection);
                if (g_frmMain)
                    g_frmMain->setProgressValue(int(DateUtil::roundHalfEven(k * (100.0 / n))));
                copyIntoUserList(user.ID, status, note, outAt, dueBack);
            } catch (const AppError &) {
                if (!several)
                    throw;
            }
            ++k;
        }
    } catch (...) {
        showProgress(false);
        throw;
    }
    if (addToCalendar) {
        QStringList attendees;
        for (const CEntity &user : users)
            if (user.ID != g_lUserID)
                attendees << user.Name;
        g_calendarLink->AddAppointmentToSchedule(outAt, dueBack, note, status, attendees.join(QStringLiteral("; ")));
    }
    showProgress(false);
    Steps::skip([] {
        if (g_frmMain)
            g_frmMain->treeViewClick(g_sCurrentNodeKey, true);
    });
}

void CClientHnd::SetFrameCaption()
{
    Steps::skip([] {
        if (!g_frmMain)
            return;
        // Built in one go: every status change sets it.
        const QString caption = GetResString(140) % u" v" % QString::number(TESSALY_VERSION_MAJOR) % u'.'
            % QString::number(TESSALY_VERSION_MINOR) % u" - " % g_oCurrentUser.RealName % u" - "
            % GetStatusDescription(g_oCurrentUser.IsIn);
        g_frmMain->setCaption(caption);
    });
}

qint32 CClientHnd::UpdatePhone(bool mobileOn)
{
    try {
        DbHandle connection;
        CounterAllocator::inWriteTransaction(connection, [&](DbConnection &c) {
            const qint32 counter = CounterAllocator::nextLastUpdated(c);
            c.execute(QStringLiteral("UPDATE STAFF_STATUS SET MobileOn = ?, LastUpdated = ? WHERE UserID = ?"),
                      {mobileOn ? 1 : 0, counter, g_lUserID});
        });
    } catch (const AppError &e) {
        raiseFrom(QStringLiteral("UpdatePhone"), e);
    }
    if (g_fMyRowLoaded) {
        const qint32 index = FindUserIndex(g_lUserID);
        if (index >= 0 && index < g_vUserList.size())
            g_vUserList[index].MobileOn = mobileOn;
    }
    g_oCurrentUser.MobileOn = mobileOn;
    if (!g_frmMain)
        return ErrNo::Success;
    bool shown = false;
    Steps::skip([&] {
        shown = g_frmMain->setUserItemText(ownKey(), 5, mobileOn ? QStringLiteral("ON") : QStringLiteral("OFF"));
    });
    return shown ? ErrNo::Success : 0;
}

qint32 CClientHnd::RefreshUserList(bool checksOnly, bool skipCalendar, QString &query, QString &nodeKey)
{
    DbHandle connection;
    return m_userListPoll->refresh(checksOnly, skipCalendar, query, nodeKey, connection);
}

void CClientHnd::refreshResourceList(const QString &nodeKey)
{
    try {
        g_resourceLists->refreshResourceList(nodeKey);
        g_iDBRetryCount = 0;
    } catch (const AppError &e) {
        ErrorDialog(e.number(), e.description(), e.source());
    }
}

void CClientHnd::refreshContactList()
{
    try {
        m_contacts->refresh();
    } catch (const AppError &e) {
        ErrorDialog(e.number(), e.description(), e.source());
    }
}

void CClientHnd::updateView(qint32 userId, const QString &status, const QString &note, double etd, double eta)
{
    m_userListPoll->updateView(userId, status, note, etd, eta);
}

qint16 CClientHnd::CanPollDatabase()
{
    try {
        const double now = Clock::nowDays();
        const double today = DateUtil::datePart(now);
        // A copy that ran the sweep on an earlier night runs it again tonight.
        if (!g_fMarkOutDue && g_dtLastMarkOut > 0 && today > g_dtLastMarkOut)
            g_fMarkOutDue = true;
        qint16 code = 1;
        if (!g_frmMain)
            code = 3;
        else if (g_frmMain->windowStateCode() == IMainWindow::Minimised || !g_frmMain->isWindowVisible())
            code = 4;
        // Only where the sweep will really run: elsewhere the list goes on
        // being polled after 23:30.
        const double markOutTime = today + DateUtil::fromTime(QTime(23, 29));
        if (DateUtil::minutesBetween(markOutTime, now) > 0 && NeedToDoMarkout())
            code = 2;
        return code;
    } catch (const std::exception &) {
        return 1;
    }
}

qint32 CClientHnd::ShowHelp()
{
    try {
        ShellOpen(GetSystemProperty(QStringLiteral("help_url")));
    } catch (const AppError &e) {
        raiseFrom(QStringLiteral("ShowHelp"), e);
    }
    return ErrNo::Success;
}

qint32 CClientHnd::PhHistory()
{
    try {
        if (g_uiFactory.showPhoneHistory)
            g_uiFactory.showPhoneHistory(*this);
    } catch (const AppError &e) {
        raiseFrom(QStringLiteral("PhHistory"), e);
    }
    return ErrNo::Success;
}

void CClientHnd::CloseDownOutlook(int unloadMode)
{
    Q_UNUSED(unloadMode);
    if (!g_fOutlook)
        return;
    Steps::skip([this] {
        if (g_fOutlookOOP) {
            std::unique_ptr<ICalendarWatcher> watcher = std::move(m_OutLookClient);
            if (watcher)
                watcher->CloseDown();
        } else {
            g_calendarLink->CloseOutlook();
        }
    });
}

bool CClientHnd::CloseDown(int unloadMode)
{
    try {
        const CUser stored = ownStoredStatus();
        // Someone due back on a later day keeps the status he set.
        if (DateUtil::daysBetween(Clock::nowDays(), stored.ETA) >= 1)
            return true;
        applyOnCloseOption(unloadMode, stored.IsIn, stored.ETA);
        return true;
    } catch (const AppError &e) {
        WriteErrorLog(e.number(), e.description(), e.source());
        return false;
    }
}

void CClientHnd::applyOnCloseOption(int unloadMode, const QString &storedStatus, double storedDueBack)
{
    const auto setStatus = [this](const QString &status) {
        const CClientNote notes;
        double outAt = Clock::nowDays();
        double dueBack = notes.NextWorkDay();
        UpdateStatus(g_lUserID, status, notes.GetParsedNote(status, g_oUserProperties), outAt, dueBack, false, false);
    };
    switch (g_bOnClose) {
    case 1: setStatus(BuiltInStatus::Out); break;
    case 2: setStatus(BuiltInStatus::Home); break;
    case 3: {
        // No dialog while the desktop session ends (2) or the program is
        // killed (3): nobody would be there to answer it.
        if (unloadMode == 2 || unloadMode == 3 || IsStatusPending(storedStatus, storedDueBack))
            return;
        CEntity me;
        me.setKey(ownKey());
        me.Name = g_oCurrentUser.RealName;
        EditUserStatus({me}, true);
        break;
    }
    default: break;
    }
}

void CClientHnd::CheckMyStatus()
{
    try {
        const QString status = ownStoredStatus().IsIn;
        if (!StatusCode::isValid(status) || status == g_oCurrentUser.IsIn)
            return;
        g_oCurrentUser.IsIn = status;
        SetFrameCaption();
        if (g_frmSysTray)
            g_frmSysTray->RefreshIcon(status);
    } catch (const std::exception &) {
    }
}

void CClientHnd::m_OutlookClient_NeedToUpdateStatus(const QString &sStatus, const QString &sNote, double dtOutAt,
                                                    double dtDueBack, double modTime, const QString &id)
{
    g_vLastApptModTime = modTime;
    g_sLastApptIdentity = id;
    try {
        UpdateStatus(g_lUserID, sStatus, sNote, dtOutAt, dtDueBack, false, true);
    } catch (const AppError &e) {
        WriteErrorLog(e.number(), e.description(), kClass + QStringLiteral(".NeedToUpdateStatus\r\n") + e.source());
    } catch (const std::exception &e) {
        WriteErrorLog(ErrNo::Raised, QString::fromUtf8(e.what()), kClass + QStringLiteral(".NeedToUpdateStatus"));
    }
}

void CClientHnd::m_OutLookClient_StatusBarMessage(const QString &sMsg)
{
    if (g_frmMain)
        g_frmMain->setStatusText(sMsg);
}
