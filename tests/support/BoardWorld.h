#pragma once

#include "app/CClientInitialise.h"
#include "foundation/Globals.h"
#include "foundation/ITrayWindow.h"
#include "foundation/MADOFunctions.h"
#include "foundation/MCIFunctions.h"
#include "mainwindow/frmMain.h"
#include "platform/DateUtil.h"
#include "platform/SettingsKeys.h"
#include "status/CClientHnd.h"

#include <QAction>
#include <QtTest>

// A control or menu item of the window, found by its object name as the
// window names it ("cboNote", "mnuViewSub(4)", the tool-bar key "INN").
template <typename T = QWidget>
T *control(const QObject *window, const QString &name)
{
    return window->findChild<T *>(name);
}

inline QAction *action(const QObject *window, const QString &name)
{
    return control<QAction>(window, name);
}

// The board's users, all in the "Staff Members" group (node 3): Ada (log-in
// ADA) is In, Bruno (BRUNO) is Out, Chiara has no log-in and is in a meeting.
inline void insertBoardUsers()
{
    DbHandle db = OpenADOConnection();
    const double now = DateUtil::toDays(QDateTime::currentDateTime());
    const QList<std::tuple<int, const char *, const char *, const char *>> users = {
        {1, "Ada Lindqvist", "INN", ""}, {2, "Bruno Ferrand", "OUT", "At the bank"}, {3, "Chiara Russo", "MTG", ""}};
    for (const auto &[id, name, status, note] : users) {
        Update(QStringLiteral("INSERT INTO STAFF_STATUS (UserID, RealName, IsIn, Note, MobileOn, LastUpdated, "
                              "LastStatusChange, IsActive) VALUES (?, ?, ?, ?, 0, ?, ?, 1)"),
               db, {id, QLatin1String(name), QLatin1String(status), QLatin1String(note), id, now});
        Update(QStringLiteral("INSERT INTO UserGroup (UserID, GroupID) VALUES (?, 3)"), db, {id});
    }
    for (const auto &[id, login] : {std::pair{1, "ADA"}, std::pair{2, "BRUNO"}})
        Update(QStringLiteral("INSERT INTO STAFF_OPTIONS (UserID, LoginName, Outlook, ChangeStatus, Timesheet, Admin, "
                              "FastUpdates, WorkStartTime, LunchTimePeriod, OnClose, OnListDblClick, WorkDays, "
                              "Language, StartMin, RefreshPeriod, BreakPeriod, OutlookOOP) "
                              "VALUES (?, ?, 0, 1, 0, 0, 0, '08:30:00', 60, 0, 0, '', 'ENU', 0, 30, 15, 0)"),
               db, {id, QLatin1String(login)});
    SettingsKeys::DefaultBranch.write(QStringLiteral("NOD3"));
}

// Runs the program's start-up with the real main window for a desktop user,
// as the program does after its single-copy check. Gives the window.
inline frmMain *startBoard(const QString &login)
{
    g_frmMain.reset();
    g_oCurrentUser = CUser();
    g_oUserProperties = CUserProperties();
    g_lUserID = 0;
    g_sCurrentNodeKey.clear();
    g_sViewType.clear();
    g_lLastUpdated = -1;
    g_systemUserName = [login] { return login; };
    g_oClientHnd = std::make_unique<CClientHnd>();
    g_uiFactory.mainWindow = [] { return std::make_unique<frmMain>(); };
    if (!CClientInitialise().Initialise(false, true))
        return nullptr;
    return static_cast<frmMain *>(g_frmMain.get());
}

// Lets go of what startBoard made.
inline void stopBoard()
{
    g_frmMain.reset();
    g_frmSysTray.reset();
    g_oClientHnd.reset();
    g_uiFactory = UiFactory();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
