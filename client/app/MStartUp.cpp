#include "MStartUp.h"

#include "CClientInitialise.h"
#include "ClientApplication.h"
#include "CStartUp.h"
#include "ISplash.h"
#include "admin/CClientAdmin.h"
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

namespace {

bool g_closeDownRan = false;
std::unique_ptr<SingleInstance> g_instance;

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
    g_closeDownRan = true;
    m_fClosingDown = true;
    WriteDebugLog(QStringLiteral("Closing down (unload mode %1)").arg(unloadMode));

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
    Steps::skip([&] {
        if (g_oClientHnd)
            g_oClientHnd->CloseDown(unloadMode);
    });
    if (g_fOutlook) {
        step(QStringLiteral("Closing Calendar Reference..."));
        Steps::skip([&] {
            if (g_oClientHnd)
                g_oClientHnd->CloseDownOutlook(unloadMode);
        });
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
    if (g_instance)
        g_instance->release();
    EndProgram(0);
}

void ResetCloseDownForTests()
{
    g_closeDownRan = false;
    m_fClosingDown = false;
    g_instance.reset();
}
