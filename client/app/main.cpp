#include "frmSplash.h"
#include "frmSplashClose.h"
#include "MStartUp.h"
#include "admin/COptionsEditor.h"
#include "dialogs/frmFileDialog.h"
#include "foundation/Globals.h"
#include "mail/CClientEmail.h"
#include "mail/frmPhHistory.h"
#include "mail/frmPhMsgWizard.h"
#include "mainwindow/frmMain.h"
#include "messaging/tray/frmSysTray.h"
#include "platform/Clock.h"
#include "resources/ResourceLists.h"
#include "status/StatusMCastReceiver.h"

#include <QApplication>

namespace {

void installForms()
{
    g_uiFactory.mainWindow = [] { return std::make_unique<frmMain>(); };
    g_uiFactory.trayWindow = [] {
        static StatusMCastReceiver statusReceiver;
        auto tray = std::make_unique<frmSysTray>();
        tray->setMCastReceiver(statusReceiver);
        return tray;
    };
    g_uiFactory.splash = [] { return std::make_unique<frmSplash>(); };
    g_uiFactory.closeProgress = [] { return std::make_unique<frmSplashClose>(); };
    static COptionsEditor optionsEditor;
    g_userEditor = &optionsEditor;
    g_chooseDatabase = &frmFileDialog::ask;
    static CClientOutlook calendarLink;
    g_calendarLink = &calendarLink;
    CClientEmail::phoneMessageForm = [] { return std::make_unique<frmPhMsgWizard>(); };
    g_uiFactory.phoneMessage = [](qint32 userId, const QString &name) { CClientEmail().PhMessage(userId, name); };
    g_uiFactory.showPhoneHistory = [](CClientHnd &) {
        auto *journal = new frmPhHistory;
        journal->setAttribute(Qt::WA_DeleteOnClose);
        journal->show();
    };
    static ResourceLists resourceLists;
    g_resourceLists = &resourceLists;
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
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("tessaly"));
    app.setQuitOnLastWindowClosed(false);
    installForms();
    if (!Main(argumentsOf(app)))
        return 0;
    return app.exec();
}
