#include "frmSysTray.h"

#include "TrayCommands.h"
#include "TrayIconLoader.h"
#include "TrayIconRules.h"
#include "foundation/CStatus.h"
#include "foundation/Globals.h"
#include "foundation/IApplication.h"
#include "foundation/MCIFunctions.h"
#include "foundation/MErrorHandler.h"
#include "messaging/CMCastWindow.h"
#include "platform/AppError.h"
#include "dialogs/OutsideText.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>

frmSysTray::frmSysTray()
    : changeStatus(&TrayCommands::changeStatusFromTray)
{
    setWindowTitle(ApplicationTitle());
    if (!g_oMCastWindow)
        g_oMCastWindow = std::make_unique<CMCastWindow>();
    m_mcast = std::make_unique<MCastProtocol>(*g_oMCastWindow, g_lLastSeq, m_transport, m_basicReceiver);
    populateMenuStrings();
    // Captions follow the language the log-in chose after this window loaded.
    connect(&m_popup, &QMenu::aboutToShow, this, [this] {
        if (m_menuLanguage != g_lLanguageOffset)
            populateMenuStrings();
    });

    tmUpdateTimer.setInterval(UpdateTimer::kIntervalMs);
    connect(&tmUpdateTimer, &QTimer::timeout, this, &frmSysTray::tmUpdateTimer_Timer);
    // Sockets that could not be opened at start (no network yet) are tried again.
    connect(&tmUpdateTimer, &QTimer::timeout, &m_transport, &MCastUdpTransport::retry);

    // Made even when no tray is there yet: the icon docks when one appears.
    m_trayIcon = new QSystemTrayIcon(this);
    setIcon(TrayIconLoader::load(QStringLiteral("Qel"), QString(), QString()));
    m_trayIcon->setToolTip(ApplicationTitle());
    m_trayIcon->setContextMenu(&m_popup);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, &frmSysTray::iconActivated);
    m_trayIcon->show();

    // The end of the desktop session closes the program down like the
    // system's shutdown: no questions asked.
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, [this] { queryUnload(2); });
    connect(qGuiApp, &QCoreApplication::aboutToQuit, this, [this] { queryUnload(2); });
}

frmSysTray::~frmSysTray()
{
    removeTrayIcon();
    // Before the menu it points at goes.
    delete m_trayIcon;
    m_trayIcon = nullptr;
}

void frmSysTray::showOffscreen()
{
    // The window exists only to own the icon, the timer and the sockets; it is
    // never seen. The sockets open here rather than at construction, so that
    // a window made for a test joins no multicast group.
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

bool frmSysTray::hasTrayIcon() const
{
    return m_trayIcon && m_trayIcon->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

QRect frmSysTray::trayIconGeometry() const
{
    return hasTrayIcon() ? m_trayIcon->geometry() : QRect();
}

QString frmSysTray::trayToolTip() const
{
    return m_trayIcon ? m_trayIcon->toolTip() : QString();
}

void frmSysTray::RefreshIcon(const QString &status)
{
    // A picture that cannot be loaded leaves the one shown; the tip still
    // follows the status.
    try {
        const QString name = TrayIconRules::iconName(status);
        const QString iconHome =
            TrayIconRules::isIconFile(name) ? GetSystemProperty(QStringLiteral("icon_home")) : QString();
        const QIcon icon = TrayIconLoader::load(name, iconHome, QCoreApplication::applicationDirPath());
        if (icon.isNull())
            WriteDebugLog(QStringLiteral("Tray icon not loaded: ") + name);
        else
            setIcon(icon);
    } catch (const AppError &e) {
        WriteErrorLog(e.number(), e.description(), QStringLiteral("frmSysTray.RefreshIcon\r\n") + e.source());
    }
    if (m_trayIcon)
        m_trayIcon->setToolTip(OutsideText::toolTip(TrayIconRules::toolTip(status)));
}

void frmSysTray::setIcon(const QIcon &icon)
{
    setWindowIcon(icon);
    if (m_trayIcon)
        m_trayIcon->setIcon(icon);
}

void frmSysTray::populateMenuStrings()
{
    m_menu.populateMenuStrings();
    m_menuLanguage = g_lLanguageOffset;
    rebuildMenu();
}

void frmSysTray::loadCustomStatusMenus()
{
    m_menu.loadCustomStatusMenus(g_colCustomStatus);
    rebuildMenu();
}

void frmSysTray::rebuildMenu()
{
    m_popup.clear();
    qDeleteAll(m_subMenus);
    m_subMenus.clear();
    connect(m_popup.addAction(m_menu.restoreCaption()), &QAction::triggered, this, &frmSysTray::restoreMainWindow);
    m_popup.addSeparator();
    const QList<TrayMenuItem> &items = m_menu.statusItems();
    for (int i = 0; i < items.size(); ++i) {
        const TrayMenuItem &item = items[i];
        QAction *action = nullptr;
        if (const QList<TrayMenuItem> *subItems = m_menu.subMenu(i)) {
            auto *subMenu = new QMenu(item.caption, &m_popup);
            m_subMenus.append(subMenu);
            addStatusEntries(*subMenu, *subItems);
            action = m_popup.addMenu(subMenu);
        } else {
            action = m_popup.addAction(item.caption);
        }
        action->setData(item.tag);
        action->setVisible(item.visible);
        connect(action, &QAction::triggered, this, [this, tag = item.tag] { statusClicked(tag); });
    }
    m_popup.addSeparator();
    connect(m_popup.addAction(m_menu.exitCaption()), &QAction::triggered, this, &frmSysTray::exitClicked);
}

void frmSysTray::addStatusEntries(QMenu &menu, const QList<TrayMenuItem> &items)
{
    for (const TrayMenuItem &item : items) {
        QAction *action = menu.addAction(item.caption);
        action->setData(item.tag);
        connect(action, &QAction::triggered, this, [this, tag = item.tag] { statusClicked(tag); });
    }
}

void frmSysTray::statusClicked(const QString &tag)
{
    const QString code = TrayMenu::statusForClick(tag);
    if (!code.isEmpty() && changeStatus)
        changeStatus(code);
}

void frmSysTray::restoreMainWindow()
{
    TrayCommands::restoreMainWindow(*this);
}

void frmSysTray::exitClicked()
{
    try {
        if (g_application)
            g_application->closeDownApplication(1);
    } catch (const AppError &) {
    }
}

void frmSysTray::iconActivated(QSystemTrayIcon::ActivationReason reason)
{
    // The context menu shows itself on the right button.
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
        restoreMainWindow();
}

void frmSysTray::tmUpdateTimer_Timer()
{
    // Without an icon to click the user could not bring back a main window
    // that was unloaded to the tray, so it comes back at once.
    if (!m_fClosingDown && !g_frmMain && !hasTrayIcon()) {
        restoreMainWindow();
        return;
    }
    m_updateTimer.tick();
}

void frmSysTray::closeEvent(QCloseEvent *event)
{
    event->accept();
    queryUnload(event->spontaneous() ? 0 : 1);
}

void frmSysTray::queryUnload(int unloadMode)
{
    removeTrayIcon();
    // The close-down unloads this window itself; it must not start again then.
    if (!m_fClosingDown && g_application)
        g_application->closeDownApplication(unloadMode);
}
