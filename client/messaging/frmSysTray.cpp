#include "frmSysTray.h"

#include <QApplication>
#include <QStyle>

frmSysTray::frmSysTray()
{
    setWindowTitle(QStringLiteral("Qel"));
    tmUpdateTimer.setInterval(5000);
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_trayIcon = new QSystemTrayIcon(QApplication::style()->standardIcon(QStyle::SP_ComputerIcon), this);
        m_trayIcon->setToolTip(QStringLiteral("Qel"));
        m_trayIcon->show();
    }
}

void frmSysTray::showOffscreen()
{
    // The window exists only to own the icon and the timer; it is never seen.
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
