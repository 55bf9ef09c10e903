#pragma once

#include <functional>
#include <memory>

class IMainWindow;
class ITrayWindow;
class ISplash;

// Makes the program's long-lived windows. The program installs the real forms;
// tests install stand-ins, so start-up and close-down run without a display.
struct UiFactory
{
    std::function<std::unique_ptr<IMainWindow>()> mainWindow;
    std::function<std::unique_ptr<ITrayWindow>()> trayWindow;
    std::function<std::unique_ptr<ISplash>()> splash;
    std::function<std::unique_ptr<ISplash>()> closeProgress;
};
