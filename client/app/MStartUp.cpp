#include "MStartUp.h"

#include "CClientInitialise.h"
#include "ClientApplication.h"
#include "CStartUp.h"
#include "ISplash.h"
#include "SessionEndSignals.h"
#include "admin/CClientAdmin.h"
#include "foundation/BoxesToLog.h"
#include "foundation/Globals.h"
#include "mainwindow/CClientSettings.h"
#include "foundation/IMainWindow.h"
#include "foundation/IPrompt.h"
#include "foundation/ITrayWindow.h"
#include "foundation/MADOFunctions.h"
#include "foundation/MCIFunctions.h"
#include "foundation/MErrorHandler.h"
#include "foundation/Steps.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/SingleInstance.h"
#include "status/CClientHnd.h"

#include <QThread>
#include <utility>

namespace {

bool g_closeDownRan = false;
int g_closeDownMode = 0;
bool g_statusStepRan = false;
bool g_calendarStepRan = false;
std::unique_ptr<SingleInstance> g_instance;
// The close-down's database work (the on-exit status) gives up in this time,
// well inside the bound after which the session's end ends the program, so
// the close-down says what became of it.
constexpr int kCloseDownDatabaseMs = 6000;

void writeBanner()
{
    const QString dashes(71, u'-');
    WriteDebugLog(dashes);
    WriteDebugLog(QStringLiteral("-- Qel started at ") + DateUtil::shortTime(Clock::now()).toLower());
    WriteDebugLog(dashes);
}

// The nightly mark-out has nobody to ask where the database is: a user with
// none that works is left as he is.
bool refuseDatabaseChoice(DatabaseChoice &)
{
    WriteErrorLog(ErrNo::ConnectFailed, QStringLiteral("No working database is registered for this user."),
                  QStringLiteral("Main -domarkout"));
    EndProgram(1);
}

void createGlobals()
{
    g_oCurrentUser = CUser();
    g_oUserProperties = CUserProperties();
    g_oClientHnd = std::make_unique<CClientHnd>();
}

void beginCloseDown(int unloadMode)
{
    g_closeDownRan = true;
    g_closeDownMode = unloadMode;
    m_fClosingDown = true;
    BoxesToLog::install();
    BoundDatabaseRetries(kCloseDownDatabaseMs);
    WriteDebugLog(QStringLiteral("Closing down (unload mode %1)").arg(unloadMode));
}

// Each runs once, whether the close-down reaches it or the display's end
// finishes what the close-down began.
void setStatusOnExit()
{
    if (g_statusStepRan || !g_oClientHnd)
        return;
    g_statusStepRan = true;
    // Its pauses between tries run no events: an event (the display's end, a
    // timer's box) could otherwise end the program in the middle of the write.
    const auto pumpingWait = std::exchange(g_busyWait, [](int milliseconds) { QThread::msleep(milliseconds); });
    bool settled = false;
    Steps::skip([&] { settled = g_oClientHnd->CloseDown(g_closeDownMode); });
    g_busyWait = pumpingWait;
    if (settled)
        SessionEndSignals::recordStatusSettled();
    WriteDebugLog(settled ? QStringLiteral("The on-exit status is set")
                          : QStringLiteral("The on-exit status could not be set"));
}

void closeCalendarLink()
{
    if (g_calendarStepRan || !g_fOutlook || !g_oClientHnd)
        return;
    g_calendarStepRan = true;
    Steps::skip([] { g_oClientHnd->CloseDownOutlook(g_closeDownMode); });
}

[[noreturn]] void endCloseDown()
{
    if (g_instance)
        g_instance->release();
    EndProgram(0);
}

} // namespace

CommandLine CommandLine::parse(const QStringList &arguments)
{
    const QString line = arguments.join(u' ').trimmed();
    CommandLine result;
    result.admin = line == QLatin1String("-admin");
    result.doMarkOut = line == QLatin1String("-domarkout");
    return result;
}

bool Main(const QStringList &arguments)
{
    g_application = &ClientApplication::instance();
    TellWhenSettingsUnsaved();
    Steps::skip(writeBanner);
    Steps::skip(createGlobals);
    const CommandLine commandLine = CommandLine::parse(arguments);
    g_oCurrentUser.Admin = commandLine.admin;

    if (commandLine.doMarkOut) {
        // Run from a scheduler: nobody sees a message, so a failure goes to
        // the error log and the exit code.
        g_chooseDatabase = refuseDatabaseChoice;
        try {
            CClientAdmin().MarkAllUsersOut();
        } catch (const AppError &e) {
            WriteErrorLog(e.number(), e.description(), e.source());
            EndProgram(1);
        }
        EndProgram(0);
    }

    g_instance = std::make_unique<SingleInstance>(QStringLiteral("tessaly"));
    if (!g_instance->tryAcquire()) {
        WriteDebugLog(QStringLiteral("Another copy is running: ") + g_instance->lockPath());
        g_prompt->message(QStringLiteral("A copy of ") + ApplicationTitle() + QStringLiteral(" is already running."),
                          IPrompt::Ok, IPrompt::Exclamation, QStringLiteral("Loading.."));
        EndProgram(0);
    }

    if (!CClientInitialise().Initialise(true, true))
        EndProgram(1);

    Steps::skip([] {
        if (g_fMyRowLoaded && g_frmMain)
            g_frmMain->selectUserItem(QStringLiteral("USR") + QString::number(g_lUserID));
    });
    Steps::skip([] {
        if (g_frmSysTray)
            g_frmSysTray->setUpdateTimerEnabled(true);
    });
    Steps::skip([] {
        if (!(g_fOutlook && g_fOutlookOOP) || !g_oClientHnd)
            return;
        g_oClientHnd->setOutLookClient(g_calendarWatcherFactory->create());
        if (!g_oClientHnd->m_OutLookClient)
            return;
        // A refresh period of 0 or less would make the watcher check without pause.
        const qint32 period = g_oUserProperties.RefreshPeriod > 0 ? g_oUserProperties.RefreshPeriod * 10000 : 30 * 10000;
        g_oClientHnd->m_OutLookClient->Start(period);
    });
    return true;
}

void StartUserInterface()
{
    g_oStartUp->Init();
    CClientSettings().LoadSettings();
}

void ShowMainWindow()
{
    Steps::skip([] {
        if (!g_frmMain)
            StartUserInterface();
        if (!g_frmMain)
            return;
        g_frmMain->populateMenuStrings();
        if (g_oUserProperties.StartMin)
            g_frmMain->setWindowStateCode(IMainWindow::Minimised);
        else
            g_frmMain->showWindow();
    });
}

void ReleaseUserInterface()
{
    Steps::skip([] {
        if (g_frmMain) {
            g_frmMain->hideWindow();
            g_frmMain.reset();
        }
    });
    Steps::skip([] { g_oStartUp->CloseDown(); });
    Steps::skip([] { g_oClientHnd.reset(); });
}

void CloseDownApplication(int unloadMode)
{
    if (g_closeDownRan)
        return;
    beginCloseDown(unloadMode);

    Steps::skip([] {
        CClientSettings settings;
        settings.SaveSettings();
        settings.SaveColumnSettings();
    });
    Steps::skip([] {
        if (g_frmMain) {
            g_frmMain->hideWindow();
            if (g_frmSysTray)
                g_frmSysTray->setUpdateTimerEnabled(false);
        }
    });
    std::unique_ptr<ISplash> progress;
    Steps::skip([&] {
        if (g_uiFactory.closeProgress)
            progress = g_uiFactory.closeProgress();
        if (progress)
            progress->showWindow();
    });
    const auto step = [&](const QString &text) {
        Steps::skip([&] {
            if (progress)
                progress->setStatusText(text);
        });
    };

    step(QStringLiteral("Updating Status..."));
    setStatusOnExit();
    if (g_fOutlook) {
        step(QStringLiteral("Closing Calendar Reference..."));
        closeCalendarLink();
    }
    step(QStringLiteral("Closing Core..."));
    Steps::skip([] { g_oClientHnd.reset(); });
    step(QStringLiteral("Unloading User Interfaces..."));
    ReleaseUserInterface();
    step(QStringLiteral("Close Down Complete"));
    WriteDebugLog(QStringLiteral("Close Down Complete"));
    Steps::skip([&] {
        if (progress)
            progress->hideWindow();
        progress.reset();
    });
    endCloseDown();
}

void CloseDownWithoutDisplay()
{
    static bool ran = false;
    if (ran)
        return;
    ran = true;
    WriteDebugLog(QStringLiteral("The display has gone: the close-down goes on without windows"));
    SessionEndSignals::watchCloseDown();
    // Taken down, the main window would talk to a display that is gone; the
    // program ends without its teardown. The tray window stays: its socket
    // announces the status.
    static_cast<void>(g_frmMain.release());
    g_uiFactory = UiFactory();
    if (!g_closeDownRan)
        beginCloseDown(2); // the session has ended under the program
    setStatusOnExit();
    closeCalendarLink();
    WriteDebugLog(QStringLiteral("Close Down Complete (the display gone)"));
    endCloseDown();
}

void ResetCloseDownForTests()
{
    g_closeDownRan = false;
    g_closeDownMode = 0;
    g_statusStepRan = false;
    g_calendarStepRan = false;
    BoundDatabaseRetries(-1);
    BoxesToLog::remove();
    m_fClosingDown = false;
    g_instance.reset();
}
