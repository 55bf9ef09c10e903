#pragma once

#include <QString>
#include <functional>
#include <memory>

class CClientHnd;
class IChatWindow;
class ICheckInPopup;
class IMainWindow;
class IStatusChangeDialog;
class ITrayWindow;
class ISplash;

// Makes the program's windows. The program installs the real forms; tests
// install stand-ins, so start-up, close-down and status changes run without a
// display. A window with no maker is not shown: a dialog counts as cancelled.
struct UiFactory
{
    std::function<std::unique_ptr<IMainWindow>()> mainWindow;
    std::function<std::unique_ptr<ITrayWindow>()> trayWindow;
    std::function<std::unique_ptr<ISplash>()> splash;
    std::function<std::unique_ptr<ISplash>()> closeProgress;
    std::function<std::unique_ptr<ICheckInPopup>()> checkInPopup;
    std::function<std::unique_ptr<IStatusChangeDialog>()> statusChangeDialog;
    // Shows the call journal, modeless; the window keeps the controller.
    std::function<void(CClientHnd &)> showPhoneHistory;
    // The phone-message form for one colleague, shown modally.
    std::function<void(qint32 userId, const QString &name)> phoneMessage;
    // The instant-message window for its recipients ("/" + id + "/" ..., or
    // "*" for everyone), shown modally.
    std::function<void(const QString &recipients)> instantMessage;
    // The run's one chat window, made on first use.
    std::function<IChatWindow *()> chatWindow;
};
