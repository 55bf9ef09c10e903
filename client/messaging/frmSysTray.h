#pragma once

#include "ITrayWindow.h"
#include "MCastBasicReceiver.h"
#include "MCastProtocol.h"
#include "MCastUdpTransport.h"

#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <memory>

// The hidden tray window: the tray icon, the update timer and the multicast
// link to the other running copies.
class frmSysTray : public QWidget, public ITrayWindow
{
    Q_OBJECT
public:
    frmSysTray();

    void showOffscreen() override;
    void setUpdateTimerEnabled(bool enabled) override;
    bool isUpdateTimerEnabled() const override;
    void removeTrayIcon() override;
    void hideWindow() override;

    QTimer tmUpdateTimer;

    // The datagram senders. Usable from the start; nothing goes out until
    // showOffscreen() has opened the sockets.
    MCastProtocol &mcast() { return *m_mcast; }
    // Connects the datagrams to the status engine and the message windows.
    void setMCastReceiver(IMCastReceiver &receiver) { m_mcast->setReceiver(receiver); }

private:
    void openMulticast();

    QSystemTrayIcon *m_trayIcon = nullptr;
    MCastBasicReceiver m_basicReceiver;
    MCastUdpTransport m_transport;
    std::unique_ptr<MCastProtocol> m_mcast;
};
