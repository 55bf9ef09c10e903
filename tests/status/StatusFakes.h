#pragma once

// Stand-ins for the windows the status engine talks to, each remembering what
// it was asked, and a database of users for the engine to change.

#include "ConnectionPool.h"
#include "CClientHnd.h"
#include "CMCastUpdate.h"
#include "CUpdateDatabase.h"
#include "DateUtil.h"
#include "Globals.h"
#include "ICalendarLink.h"
#include "ICheckInPopup.h"
#include "IMainWindow.h"
#include "IStatusChangeDialog.h"
#include "ITrayWindow.h"
#include "PgServer.h"
#include "StubTrayWindow.h"
#include "TestSupport.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QStringList>
#include <QVector>

class FakeTray : public StubTrayWindow
{
public:
    void sendUpdatePulse(const CMCastUpdate &update) override { sent.append(update); }
    void RefreshIcon(const QString &status) override { icons.append(status); }

    QVector<CMCastUpdate> sent;
    QStringList icons;
};

class FakeMainWindow : public IMainWindow
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
        if (rowKeys.contains(key))
            cells << QStringLiteral("%1/%2=%3").arg(key).arg(subItem).arg(t);
        return rowKeys.contains(key);
    }
    void setProgressValue(int value) override { progress << value; }
    void setProgressVisible(bool on) override { progressShown = on; }

    bool visible = true, progressShown = false;
    int state = Normal;
    QString text;
    QStringList clicked, rowKeys, cells;
    QVector<int> progress;
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

// Remembers how it was prepared and answers with a scripted choice.
class FakeStatusDialog : public IStatusChangeDialog
{
public:
    struct Setup
    {
        QString caption, statusLabel = QStringLiteral("<unset>"), statusCode, note;
        qint32 targetUserID = -1;
        bool own = false, addTicked = true, addEnabled = false, addVisible = false, inviteVisible = false;
        bool cancelEnabled = false, inButtonVisible = true;
    };
    struct Choice
    {
        bool cancel = false;
        QString statusCode, note;
        double outTime = 0, dueBack = 0;
        bool addToOutlook = false;
    };

    FakeStatusDialog(QVector<Setup> &shown, const Choice &choice) : m_shown(shown), m_choice(choice) {}

    void setCaption(const QString &c) override { m_setup.caption = c; }
    void setStatusLabel(const QString &t) override { m_setup.statusLabel = t; }
    void setStatusCode(const QString &c) override { m_setup.statusCode = c; }
    void setNote(const QString &n) override { m_setup.note = n; }
    void setTargetUserID(qint32 id) override { m_setup.targetUserID = id; }
    void setOwnStatus(bool own) override { m_setup.own = own; }
    void setAddToOutlook(bool ticked, bool enabled, bool visible) override
    {
        m_setup.addTicked = ticked, m_setup.addEnabled = enabled, m_setup.addVisible = visible;
    }
    void setInviteAttendeesVisible(bool v) override { m_setup.inviteVisible = v; }
    void setCancelEnabled(bool e) override { m_setup.cancelEnabled = e; }
    void setInButtonVisible(bool v) override { m_setup.inButtonVisible = v; }
    bool showModal() override { m_shown.append(m_setup); return m_choice.cancel; }
    QString statusCode() const override { return m_choice.statusCode; }
    QString note() const override { return m_choice.note; }
    double outTime() const override { return m_choice.outTime; }
    double dueBack() const override { return m_choice.dueBack; }
    bool addToOutlook() const override { return m_choice.addToOutlook; }

private:
    QVector<Setup> &m_shown;
    Choice m_choice;
    Setup m_setup;
};

class RecordingCalendar : public CalendarLinkNotAvailable
{
public:
    void AddAppointmentToSchedule(double start, double end, const QString &note, const QString &status,
                                  const QString &attendees) override
    {
        added << QStringLiteral("%1|%2|%3|%4|%5")
                     .arg(DateUtil::fromDays(start).toString(QStringLiteral("HH:mm")),
                          DateUtil::fromDays(end).toString(QStringLiteral("HH:mm")), note, status, attendees);
    }
    QStringList added;
};

// A database at the current schema with three users, the signed-in user 1
// among them, and the engine's globals set for him; each world starts afresh.
class StatusWorld
{
public:
    static constexpr qint32 kMe = 1;

    explicit StatusWorld(bool postgres, const QString &pgName = QStringLiteral("status_engine"))
    {
        if (postgres) {
            m_pgName = pgName;
            env.usePostgresDatabase(PgServer::createDatabase(pgName));
            upgradeSchema();
        } else {
            // The schema is built once per test program and copied after.
            static QTemporaryDir templates;
            const QString schema = templates.path() + QStringLiteral("/schema.db");
            const QString file = env.useSqliteDatabase();
            if (QFile::exists(schema)) {
                QFile::copy(schema, file);
            } else {
                upgradeSchema();
                ConnectionPool::closeLocal(); // the last close folds the log into the file
                QFile::copy(file, schema);
            }
        }
        DbHandle connection = OpenADOConnection();
        for (qint32 id = 1; id <= 3; ++id)
            Update(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, RealName, IsIn, LastUpdated, IsActive) "
                                  "VALUES (?, ?, 'INN', ?, 1)"),
                   connection, {id, QStringLiteral("User %1").arg(id), id + 4});
        resetGlobals();
    }
    ~StatusWorld()
    {
        g_oClientHnd.reset();
        g_frmMain.reset();
        g_frmSysTray.reset();
        g_uiFactory.checkInPopup = nullptr;
        g_uiFactory.statusChangeDialog = nullptr;
        g_calendarLink = m_savedCalendar;
        if (!m_pgName.isEmpty())
            PgServer::dropDatabase(m_pgName);
    }

    FakeMainWindow &withMainWindow()
    {
        auto window = std::make_unique<FakeMainWindow>();
        main = window.get();
        g_frmMain = std::move(window);
        return *main;
    }

    void answerDialog(const FakeStatusDialog::Choice &choice)
    {
        g_uiFactory.statusChangeDialog = [this, choice] {
            return std::unique_ptr<IStatusChangeDialog>(std::make_unique<FakeStatusDialog>(dialogs, choice));
        };
    }

    // One row of STAFF_STATUS as "IsIn|Note|LastUpdated|ETA|ETD" (null dates as "null").
    QString statusRow(qint32 userId)
    {
        DbHandle connection;
        const RecordSet rs = OpenADORecordSet(
            connection, QStringLiteral("SELECT IsIn, Note, LastUpdated, ETA, ETD FROM STAFF_STATUS WHERE UserID = ?"),
            true, {userId});
        const auto day = [&](const char *f) {
            return rs.isNull(QLatin1String(f)) ? QStringLiteral("null") : DateUtil::numberText(rs.number(QLatin1String(f)));
        };
        return QStringList{rs.text("IsIn"), rs.text("Note"), QString::number(rs.integer("LastUpdated")), day("ETA"),
                           day("ETD")}
            .join(u'|');
    }

    // The rows of STATUS_HISTORY in insertion order as "UserID|Status|Note|ETA|ETD".
    QStringList history()
    {
        DbHandle connection;
        QStringList rows;
        for (RecordSet rs = OpenADORecordSet(connection, QStringLiteral("SELECT * FROM STATUS_HISTORY")); !rs.eof();
             rs.moveNext()) {
            const auto when = [&](const char *field) {
                const QVariant v = rs.value(QLatin1String(field));
                return (v.typeId() == QMetaType::QString ? QDateTime::fromString(v.toString(), "yyyy-MM-dd HH:mm:ss")
                                                          : v.toDateTime())
                    .toString("yyyy-MM-dd HH:mm:ss");
            };
            rows << QStringList{QString::number(rs.integer("UserID")), rs.text("Status"), rs.text("Note"), when("ETA"),
                                when("ETD")}
                        .join(u'|');
        }
        return rows;
    }

    TestEnvironment env;
    FakeTray *tray = nullptr;
    FakeMainWindow *main = nullptr;
    QStringList popups;
    QVector<FakeStatusDialog::Setup> dialogs;
    RecordingCalendar calendar;

private:
    static void upgradeSchema()
    {
        DbHandle connection = OpenADOConnection();
        CUpdateDatabase().checkDatabaseVersion(connection);
    }

    void resetGlobals()
    {
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
        g_frmMain.reset();
        auto trayWindow = std::make_unique<FakeTray>();
        tray = trayWindow.get();
        g_frmSysTray = std::move(trayWindow);
        g_oClientHnd = std::make_unique<CClientHnd>();
        g_uiFactory.checkInPopup = [this] {
            return std::unique_ptr<ICheckInPopup>(std::make_unique<FakeCheckInPopup>(popups));
        };
        g_uiFactory.statusChangeDialog = nullptr;
        m_savedCalendar = g_calendarLink;
        g_calendarLink = &calendar;
    }

    QString m_pgName;
    ICalendarLink *m_savedCalendar = nullptr;
};
