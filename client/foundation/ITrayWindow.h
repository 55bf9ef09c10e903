#pragma once

// What start-up and close-down ask of the hidden tray window.
class ITrayWindow
{
public:
    virtual ~ITrayWindow() = default;

    virtual void showOffscreen() = 0;     // loaded and shown off the screen
    virtual void setUpdateTimerEnabled(bool enabled) = 0;
    virtual bool isUpdateTimerEnabled() const = 0;
    virtual void removeTrayIcon() = 0;
    virtual void hideWindow() = 0;
};
