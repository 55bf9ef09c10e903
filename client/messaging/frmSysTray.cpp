#include "frmSysTray.h"

#include "CMCastWindow.h"
#include "Globals.h"

#include <QApplication>
#include <QStyle>

frmSysTray::frmSysTray()
{
    setWindowTitle(QStringLiteral("Qel"));
    if (!g_oMCastWindow)
        g_oMCastWindow = std::make_unique<CMCastWindow>();
    m_mcast = std::make_unique<MCastProtocol>(*g_oMCastWindow, g_lLastSeq, m_transport, m_basicReceiver);
    tmUpdateTimer.setInterval(5000);
    // Sockets that could not be opened at start (no network yet) are tried again.
    connect(&tmUpdateTimer, &QTimer::timeout, &m_transport, &MCastUdpTransport::retry);
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_trayIcon = new QSystemTrayIcon(QApplication::style()->standardIcon(QStyle::SP_ComputerIcon), this);
        m_trayIcon->setToolTip(QStringLiteral("Qel"));
        m_trayIcon->show();
    }
}

void frmSysTray::showOffscreen()
{
    // The window exists only to own the icon, the timer and the sockets; it is
    // never seen. The sockets open here rather than at construction, so that
    // a window made for a test joins no multicast group.
    openMulticast();
}

void frmSysTray::openMulticast()
{
    m_transport.open(MCastPorts::read());
}

void frmSysTray::setUpdateTimerEnabled(bool enabled)
{
    if (enabled)
        tmUpdateTimer.start();
    else
        tmUpdateTimer.stop();
}

bool frmSysTray::isUpdateTimerEnabled() const
{
    return tmUpdateTimer.isActive();
}

void frmSysTray::removeTrayIcon()
{
    if (m_trayIcon)
        m_trayIcon->hide();
}

void frmSysTray::hideWindow()
{
    hide();
}
