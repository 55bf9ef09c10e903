#pragma once

#include <QString>

class CMCastUpdate;

// What start-up, close-down, the log-in and the status engine ask of the
// hidden tray window.
class ITrayWindow
{
public:
    virtual ~ITrayWindow() = default;

    virtual void showOffscreen() = 0;     // loaded and shown off the screen
    virtual void setUpdateTimerEnabled(bool enabled) = 0;
    virtual bool isUpdateTimerEnabled() const = 0;
    virtual void removeTrayIcon() = 0;
    virtual void hideWindow() = 0;

    // Announces a status change to every running copy.
    virtual void sendUpdatePulse(const CMCastUpdate &update) { Q_UNUSED(update) }
    // Shows the signed-in user's status on the tray icon.
    virtual void RefreshIcon(const QString &status) { Q_UNUSED(status) }
    // Services of the log-in and initialisation; until the tray window has
    // work to do here they do nothing.
    // The poll runs after every threshold + 1 ticks of the update timer.
    virtual void setPollThreshold(qint16 threshold) { Q_UNUSED(threshold) }
    virtual void loadCustomStatusMenus() {}
    // True while the icon sits in the notification area, so that the main
    // window can be unloaded to it and brought back from it. Without one,
    // File > To Sys-Tray minimises the main window instead.
    virtual bool hasTrayIcon() const { return false; }
    // Invites a colleague to the chat room; opens a room (and sets roomId)
    // while none is open.
    virtual void sendChatInvitation(const QString &inviterName, const QString &inviteeId, QString &roomId)
    {
        Q_UNUSED(inviterName) Q_UNUSED(inviteeId) Q_UNUSED(roomId)
    }
};
