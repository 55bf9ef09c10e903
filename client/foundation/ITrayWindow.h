#pragma once

#include <QString>

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

    // Services of the log-in and initialisation; until the tray window has
    // work to do here they do nothing.
    // The poll runs after every threshold + 1 ticks of the update timer.
    virtual void setPollThreshold(qint16 threshold) { Q_UNUSED(threshold) }
    virtual void loadCustomStatusMenus() {}
    virtual void RefreshIcon(const QString &statusCode) { Q_UNUSED(statusCode) }
};
