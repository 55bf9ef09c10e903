#pragma once

// Stand-ins for the windows the status engine and the user list talk to,
// each remembering what it was asked, and a database of users for the engine
// to change.

#include "PgServer.h"
#include "StaffRows.h"
#include "StubTrayWindow.h"
#include "TestDatabase.h"
#include "foundation/CUpdateDatabase.h"
#include "foundation/Globals.h"
#include "foundation/ICalendarLink.h"
#include "foundation/IMainWindow.h"
#include "foundation/ITrayWindow.h"
#include "messaging/CMCastUpdate.h"
#include "platform/ConnectionPool.h"
#include "platform/DateUtil.h"
#include "status/CClientHnd.h"
#include "status/ICheckInPopup.h"
#include "status/IStatusChangeDialog.h"
#include "status/IUserListView.h"

#include <QMap>
#include <QSet>
#include <utility>

// A main window without widgets that records what the status engine and the
// user-list code ask of it.
class FakeMainWindow : public IMainWindow, public IUserListView
{
public:
    void showWindow() override { visible = true; }
    void hideWindow() override { visible = false; }
    bool isWindowVisible() const override { return visible; }
    int windowStateCode() const override { return state; }
    void setWindowStateCode(int s) override { state = s; }
    QString caption() const override { return text; }
    void setCaption(const QString &c) override { text = c; }
    void treeViewClick(const QString &key, bool force) override { clicked << key + (force ? "!" : ""); }
    bool setUserItemText(const QString &key, int subItem, const QString &t) override
    {
        cells << QStringLiteral("%1/%2=%3").arg(key).arg(subItem).arg(t);
        return rowKeys.contains(key);
    }
    void setProgressValue(int value) override { progress << value; }
    void setProgressVisible(bool on) override { progressShown = on; }
    void setStatusText(const QString &t) override { statusTexts << t; }
    void hideWebPage() override { ++webPageHidden; }
    bool selectTreeNode(const QString &nodeKey) override
    {
        selectedNode = nodeKey;
        return treeNodes.contains(nodeKey);
    }
    void setProgress(int percent) override { progress << percent; }
    void showUserColumns(const QList<UserListColumns::Column> &shown) override { columns = shown, ++columnsShown; }
    void saveColumnSettings() override { ++columnSettingsSaved; }
    void scrollToSelection() override {}

    bool visible = true, progressShown = false;
    int state = Normal, webPageHidden = 0, columnsShown = 0, columnSettingsSaved = 0;
    QString text, selectedNode;
    QStringList clicked, rowKeys, cells, statusTexts;
    QSet<QString> treeNodes;
    QVector<int> progress;
    QList<UserListColumns::Column> columns;
};

class FakeTray : public StubTrayWindow
{
public:
    void sendUpdatePulse(const CMCastUpdate &update) override { sent.append(update); }
    void RefreshIcon(const QString &status) override { icons.append(status); }
    QVector<CMCastUpdate> sent;
    QStringList icons;
};

// Every call of every check-in notice, in order, into one shared log.
class FakeCheckInPopup : public ICheckInPopup
{
public:
    explicit FakeCheckInPopup(QStringList &log) : m_log(log) { m_log << QStringLiteral("new"); }
    ~FakeCheckInPopup() override { m_log << QStringLiteral("gone"); }
    void setTitle(const QString &t) override { m_log << QStringLiteral("title ") + t; }
    void setMessage(const QString &m) override { m_log << QStringLiteral("message ") + m; }
    void setCheckIn() override { m_log << QStringLiteral("checkin"); }
    void setDueBack(double d) override { m_log << "dueback " + DateUtil::fromDays(d).toString("yyyy-MM-dd HH:mm"); }
    void showModeless() override { m_log << QStringLiteral("show"); }
    void display() override { m_log << QStringLiteral("display"); }
    void undisplay() override { m_log << QStringLiteral("undisplay"); }
    void setAlwaysOnTop() override { m_log << QStringLiteral("ontop"); }

private:
    QStringList &m_log;
};

// Writes how it was prepared into the shown list, as "name=value" in the
// order of the names ("1"/"0" for flags), and answers with a scripted choice.
class FakeStatusDialog : public IStatusChangeDialog
{
public:
    struct Choice
    {
        bool cancel = false;
        QString statusCode, note;
        double outTime = 0, dueBack = 0;
        bool addToOutlook = false;
    };
    FakeStatusDialog(QStringList &shown, const Choice &choice) : m_shown(shown), m_choice(choice) {}

    void setCaption(const QString &c) override { m_set["caption"] = c; }
    void setStatusLabel(const QString &t) override { m_set["label"] = t; }
    void setStatusCode(const QString &c) override { m_set["code"] = c; }
    void setNote(const QString &n) override { m_set["note"] = n; }
    void setTargetUserID(qint32 id) override { m_set["target"] = QString::number(id); }
    void setOwnStatus(bool own) override { m_set["own"] = flag(own); }
    void setAddToOutlook(bool t, bool e, bool v) override { m_set["add"] = flag(t) + flag(e) + flag(v); }
    void setInviteAttendeesVisible(bool v) override { m_set["invite"] = flag(v); }
    void setCancelEnabled(bool e) override { m_set["cancel"] = flag(e); }
    void setInButtonVisible(bool v) override { m_set["in"] = flag(v); }
    bool showModal() override
    {
        QStringList words;
        for (auto it = m_set.cbegin(); it != m_set.cend(); ++it)
            words << it.key() + u'=' + it.value();
        m_shown << words.join(u';');
        return m_choice.cancel;
    }
    QString statusCode() const override { return m_choice.statusCode; }
    QString note() const override { return m_choice.note; }
    double outTime() const override { return m_choice.outTime; }
    double dueBack() const override { return m_choice.dueBack; }
    bool addToOutlook() const override { return m_choice.addToOutlook; }

private:
    static QString flag(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }
    QStringList &m_shown;
    Choice m_choice;
    QMap<QString, QString> m_set;
};

// Appointments as "start|end|note|status|attendees".
class RecordingCalendar : public CalendarLinkNotAvailable
{
public:
    void AddAppointmentToSchedule(double start, double end, const QString &note, const QString &status,
                                  const QString &attendees) override
    {
        const auto hm = [](double day) { return DateUtil::fromDays(day).toString(QStringLiteral("HH:mm")); };
        added << QStringList{hm(start), hm(end), note, status, attendees}.join(u'|');
    }
    QStringList added;
};

// A database at the current schema with three users, the signed-in user 1
// among them, and the engine's globals set for him; each world starts afresh.
class StatusWorld
{
public:
    static constexpr qint32 kMe = 1;

    explicit StatusWorld(bool postgres, const QString &name = QStringLiteral("status_engine")) : db(postgres, name)
    {
        addStaff(3, 4);
        g_lUserID = kMe;
        g_oCurrentUser = CUser();
        g_oCurrentUser.UserID = kMe;
        g_oCurrentUser.RealName = QStringLiteral("User 1");
        g_oCurrentUser.IsIn = QStringLiteral("INN");
        g_oUserProperties = CUserProperties();
        g_oUserProperties.LunchTimePeriod = 45;
        g_oUserProperties.BreakPeriod = 15;
        g_oUserProperties.WorkStartTime = DateUtil::fromTime(QTime(8, 30));
        g_vQuickNotes = QuickNoteTable();
        g_fOutlook = g_fOutlookOOP = g_fMyRowLoaded = g_fMarkOutOnClose = g_fMarkOutDue = m_fClosingDown = false;
        g_sViewType = QStringLiteral("GRP");
        g_sCurrentNodeKey = QStringLiteral("TOP");
        g_bOnClose = 0;
        g_dtLastMarkOut = 0;
        g_frmSysTray = std::make_unique<FakeTray>();
        tray = static_cast<FakeTray *>(g_frmSysTray.get());
        g_oClientHnd = std::make_unique<CClientHnd>();
        g_uiFactory.checkInPopup = [this] {
            return std::unique_ptr<ICheckInPopup>(std::make_unique<FakeCheckInPopup>(popups));
        };
        m_savedCalendar = std::exchange(g_calendarLink, &calendar);
    }
    ~StatusWorld()
    {
        g_oClientHnd.reset();
        g_frmMain.reset();
        g_frmSysTray.reset();
        g_uiFactory = {};
        g_calendarLink = m_savedCalendar;
    }

    FakeMainWindow &withMainWindow()
    {
        g_frmMain = std::make_unique<FakeMainWindow>();
        return static_cast<FakeMainWindow &>(*g_frmMain);
    }

    void answerDialog(const FakeStatusDialog::Choice &choice)
    {
        g_uiFactory.statusChangeDialog = [this, choice] {
            return std::unique_ptr<IStatusChangeDialog>(std::make_unique<FakeStatusDialog>(dialogs, choice));
        };
    }

    // One row of STAFF_STATUS as "IsIn|Note|LastUpdated|ETA|ETD".
    static QString statusRow(qint32 userId)
    {
        return queryRows("SELECT IsIn, COALESCE(Note, ''), LastUpdated, ETA, ETD FROM STAFF_STATUS WHERE UserID = ?",
                         {userId})
            .value(0);
    }
    // The rows of STATUS_HISTORY in insertion order as "UserID|Status|Note|ETA|ETD".
    static QStringList history()
    {
        return queryRows("SELECT UserID, Status, COALESCE(Note, ''), CAST(ETA AS VARCHAR(19)), "
                         "CAST(ETD AS VARCHAR(19)) FROM STATUS_HISTORY");
    }

    // The signed-in user's row as another copy left it.
    void storeMyStatus(const QString &status, double dueBack = 0)
    {
        db.exec(QStringLiteral("UPDATE STAFF_STATUS SET IsIn = ?, ETA = ? WHERE UserID = 1"), {status, dueBack});
    }

    TestDatabase db;
    FakeTray *tray = nullptr;
    QStringList popups, dialogs;
    RecordingCalendar calendar;

private:
    ICalendarLink *m_savedCalendar = nullptr;
};
