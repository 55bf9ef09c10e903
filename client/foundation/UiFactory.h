#pragma once

#include <functional>
#include <memory>

class CClientHnd;
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
};
