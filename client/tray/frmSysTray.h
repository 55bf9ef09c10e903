#pragma once

#include "TrayMenu.h"
#include "UpdateTimer.h"
#include "UpdateTimerActions.h"
#include "foundation/ITrayWindow.h"
#include "messaging/MCastBasicReceiver.h"
#include "messaging/MCastProtocol.h"
#include "messaging/MCastUdpTransport.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

// The hidden tray window: the tray icon with its menu, the update timer and
// the multicast link to the other running copies.
class frmSysTray : public QWidget, public ITrayWindow
{
    Q_OBJECT
public:
    frmSysTray();
    ~frmSysTray() override;

    void showOffscreen() override;
    void setUpdateTimerEnabled(bool enabled) override;
    bool isUpdateTimerEnabled() const override;
    void removeTrayIcon() override;
    void hideWindow() override;
    void sendUpdatePulse(const CMCastUpdate &update) override { m_mcast->sendUpdatePulse(update); }
    void RefreshIcon(const QString &status) override;
    void setPollThreshold(qint16 threshold) override { m_updateTimer.PollThreshold = threshold; }
    void loadCustomStatusMenus() override;
    bool hasTrayIcon() const override;
    void sendChatInvitation(const QString &inviterName, const QString &inviteeId, QString &roomId) override
    {
        m_mcast->sendChatInvitation(inviterName, inviteeId, roomId);
    }
    // Where the icon sits on the screen; invalid when the desktop does not say.
    QRect trayIconGeometry() const;

    qint16 pollThreshold() const { return m_updateTimer.PollThreshold; }
    QMenu *mnuSysTray() { return &m_popup; }
    QString trayToolTip() const;

    QTimer tmUpdateTimer;
    // What a status entry of the menu does; tests replace it.
    std::function<void(const QString &code)> changeStatus;

    // The datagram senders. Usable from the start; nothing goes out until
    // showOffscreen() has opened the sockets.
    MCastProtocol &mcast() { return *m_mcast; }
    // Connects the datagrams to the status engine and the message windows.
    void setMCastReceiver(IMCastReceiver &receiver) { m_mcast->setReceiver(receiver); }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void populateMenuStrings();
    void rebuildMenu();
    void addStatusEntries(QMenu &menu, const QList<TrayMenuItem> &items);
    void statusClicked(const QString &tag);
    void restoreMainWindow();
    void exitClicked();
    void iconActivated(QSystemTrayIcon::ActivationReason reason);
    void tmUpdateTimer_Timer();
    void queryUnload(int unloadMode);
    void setIcon(const QIcon &icon);

    TrayMenu m_menu;
    QMenu m_popup;
    QList<QMenu *> m_subMenus;
    qint32 m_menuLanguage = -1;
    UpdateTimerActions m_timerActions;
    UpdateTimer m_updateTimer{m_timerActions};
    QSystemTrayIcon *m_trayIcon = nullptr;
    MCastBasicReceiver m_basicReceiver;
    MCastUdpTransport m_transport;
    std::unique_ptr<MCastProtocol> m_mcast;
};
