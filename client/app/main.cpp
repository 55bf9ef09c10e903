#include "ApplicationSetUp.h"
#include "DisplayLoss.h"
#include "MStartUp.h"
#include "SessionEndSignals.h"
#include "admin/COptionsEditor.h"
#include "admin/frmStatusChange.h"
#include "dialogs/QtErrorWindow.h"
#include "dialogs/QtPrompt.h"
#include "dialogs/frmFileDialog.h"
#include "foundation/Globals.h"
#include "foundation/IMainWindow.h"
#include "foundation/MErrorHandler.h"
#include "foundation/QtShell.h"
#include "frmSplash.h"
#include "frmSplashClose.h"
#include "mail/CClientEmail.h"
#include "mail/CalendarWatcherFactory.h"
#include "mail/frmPhHistory.h"
#include "mail/frmPhMsgWizard.h"
#include "mainwindow/frmMain.h"
#include "platform/Clock.h"
#include "resources/ResourceLists.h"
#include "tray/MessageWindows.h"
#include "tray/frmSysTray.h"

#include <QApplication>
#include <cstdlib>

namespace {

void installForms(MessageWindows &messages)
{
    static QtPrompt prompt;
    g_prompt = &prompt;
    static QtErrorWindow errorWindow;
    g_errorWindow = &errorWindow;
    g_uiFactory.mainWindow = [] { return std::make_unique<frmMain>(); };
    g_uiFactory.trayWindow = [&messages] {
        auto tray = std::make_unique<frmSysTray>();
        tray->setMCastReceiver(messages);
        return tray;
    };
    g_uiFactory.splash = [] { return std::make_unique<frmSplash>(); };
    g_uiFactory.closeProgress = [] { return std::make_unique<frmSplashClose>(); };
    g_uiFactory.statusChangeDialog = []() -> std::unique_ptr<IStatusChangeDialog> {
        return std::make_unique<frmStatusChange>(dynamic_cast<QWidget *>(g_frmMain.get()));
    };
    static COptionsEditor optionsEditor;
    g_userEditor = &optionsEditor;
    g_chooseDatabase = &frmFileDialog::ask;
    static CClientOutlook calendarLink;
    g_calendarLink = &calendarLink;
    static CalendarWatcherFactory calendarWatchers;
    g_calendarWatcherFactory = &calendarWatchers;
    CClientEmail::phoneMessageForm = [] { return std::make_unique<frmPhMsgWizard>(); };
    g_uiFactory.phoneMessage = [](qint32 userId, const QString &name) { CClientEmail().PhMessage(userId, name); };
    g_uiFactory.showPhoneHistory = [](CClientHnd &) {
        auto *journal = new frmPhHistory;
        journal->setAttribute(Qt::WA_DeleteOnClose);
        journal->show();
    };
    messages.install(g_uiFactory);
    static ResourceLists resourceLists;
    g_resourceLists = &resourceLists;
}

// Qt ends the program through exit() when it cannot go on, as when the
// display goes away. Nothing of the program is then torn down: a window
// destroyed there may find the toolkit's statics gone or free a dialog that
// lives on a stack, and the globals would go in no set order. It ends as the
// close-down ends it, with the code Qt gave, its child processes with it.
void endWithoutTearDown(int status, void *)
{
    if (!QCoreApplication::instance())
        return; // main has returned: everything was released in order
    LeaveAtOnce(status);
}

QStringList argumentsOf(const QCoreApplication &app)
{
    QStringList arguments = app.arguments();
    if (!arguments.isEmpty())
        arguments.removeFirst();
    return arguments;
}

} // namespace

int main(int argc, char *argv[])
{
    Clock::settleTimeZone();
    // The nightly mark-out runs from a scheduler, where there is no display.
    if (argc == 2 && QString::fromLocal8Bit(argv[1]).trimmed() == QLatin1String("-domarkout")) {
        QCoreApplication app(argc, argv);
        app.setApplicationName(QStringLiteral("tessaly"));
        Main(argumentsOf(app));
        return 0;
    }
    PrepareApplication();
    QApplication app(argc, argv);
    SetUpApplication(app);
    QtShell::askDesktopForMail();
    // Made after the application and gone before it, as its windows must be.
    MessageWindows messages;
    installForms(messages);
    // Set after the forms, so it runs before they would be destroyed.
    on_exit(endWithoutTearDown, nullptr);
    int code = 0;
    if (Main(argumentsOf(app))) {
        // Once the board is up: the session's end closes it down as the
        // system's shutdown does, the user's status set as he chose; so does
        // the display's end, which comes with the session's, without the
        // windows.
        const SessionEndSignals sessionEnd([](int) { CloseDownApplication(2); });
        DisplayLoss::install(CloseDownWithoutDisplay);
        code = app.exec();
    }
    // The windows held by globals go in order, while the application stands.
    ReleaseUserInterface();
    return code;
}
