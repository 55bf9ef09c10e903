#include "MainMenus.h"

#include <QMenu>
#include <QMenuBar>

namespace {

QString indexed(const QString &name, int index)
{
    return name + u'(' + QString::number(index) + u')';
}

} // namespace

MainMenus::MainMenus(QMenuBar *bar)
    : m_bar(bar)
{
    createFileMenu();
    createViewMenu();
    createPopupMenu();
    createAdminMenu();
    createReportsMenu();
    createHelpMenu();
}

QAction *MainMenus::item(const QString &name) const
{
    return m_items.value(name);
}

QMenu *MainMenus::addMenu(QMenu *parent, const QString &name, const QString &text)
{
    QMenu *menu = parent ? parent->addMenu(text) : m_bar->addMenu(text);
    menu->menuAction()->setObjectName(name);
    m_items.insert(name, menu->menuAction());
    return menu;
}

QAction *MainMenus::addItem(QMenu *menu, const QString &name, const QString &text)
{
    QAction *action = menu->addAction(text);
    action->setObjectName(name);
    m_items.insert(name, action);
    return action;
}

void MainMenus::addIndexedItems(QMenu *menu, const QString &name, int first, const QStringList &texts)
{
    for (int i = 0; i < texts.size(); ++i) {
        const QString control = indexed(name, first + i);
        QAction *item = texts.at(i) == QLatin1String("-") ? menu->addSeparator() : addItem(menu, control, texts.at(i));
        // Separators too: the context menu's builders show and hide them.
        item->setObjectName(control);
        m_items.insert(control, item);
    }
}

void MainMenus::createFileMenu()
{
    QMenu *file = addMenu(nullptr, QStringLiteral("mnuFile"), QString());
    addItem(file, QStringLiteral("mnuFileClose"), QString());
    file->addSeparator();
    addItem(file, QStringLiteral("mnuFileExit"), QString());
}

void MainMenus::createViewMenu()
{
    QMenu *view = addMenu(nullptr, QStringLiteral("mnuView"), QString());
    addIndexedItems(view, QStringLiteral("mnuViewSub"), 0,
                    {QString(), QStringLiteral("-"), QStringLiteral("Hide Status Toolbar"),
                     QStringLiteral("Hide Refresh/Nav Toolbar"), QString(), QStringLiteral("-"), QString(),
                     QStringLiteral("-"), QString(), QString(), QString(), QString(), QStringLiteral("-"), QString()});
    // Search, the two tool bars, the info bar and the four list styles.
    for (int i : {0, 2, 3, 4, 8, 9, 10, 11})
        item(indexed(QStringLiteral("mnuViewSub"), i))->setCheckable(true);
    for (int i : {2, 3, 4, 11})
        item(indexed(QStringLiteral("mnuViewSub"), i))->setChecked(true);
}

// The context menu of the tree and the lists; its builders show it.
void MainMenus::createPopupMenu()
{
    QMenu *popup = addMenu(nullptr, QStringLiteral("mnuPopup"), QString());
    QMenu *mail = addMenu(popup, indexed(QStringLiteral("mnuPopupSub"), 1), QString());
    for (int i = 0; i < 3; ++i)
        addItem(mail, indexed(QStringLiteral("mnuPopupSubMail"), i), QString());
    QMenu *im = addMenu(popup, indexed(QStringLiteral("mnuPopupSub"), 2), QStringLiteral("Instant Message"));
    addItem(im, indexed(QStringLiteral("mnuPopupIM"), 1), QStringLiteral("Send Instant Message"));
    addItem(im, indexed(QStringLiteral("mnuPopupIM"), 2), QStringLiteral("Invite to Chat Room"));
    addIndexedItems(popup, QStringLiteral("mnuPopupSub"), 3,
                    {QString(), QString(), QStringLiteral("-"), QString(), QString(), QStringLiteral("-"),
                     QStringLiteral("Add"), QStringLiteral("Properties"), QStringLiteral("Delete"), QStringLiteral("-"),
                     QStringLiteral("Make Booking"), QStringLiteral("Check In Booking")});
    QMenu *history = addMenu(popup, indexed(QStringLiteral("mnuPopupSub"), 15), QStringLiteral("Booking History"));
    addIndexedItems(history, QStringLiteral("mnuPopupSubSub"), 0,
                    {QStringLiteral("1 Day"), QStringLiteral("5 Days"), QStringLiteral("10 Days"),
                     QStringLiteral("1 Month"), QStringLiteral("3 Months"), QStringLiteral("6 Months"),
                     QStringLiteral("1 Year"), QStringLiteral("All")});
    popup->menuAction()->setVisible(false);
}

void MainMenus::createAdminMenu()
{
    QMenu *config = addMenu(nullptr, QStringLiteral("mnuPopupAdmin"), QString());
    addItem(config, QStringLiteral("mnuAdminUserOptions"), QString());
    QMenu *admin = addMenu(config, indexed(QStringLiteral("mnuPopupAdminSub"), 1), QString());
    for (const char *name : {"mnuAdminOptions", "mnuAdminAddUser", "mnuAdminAddResource", "mnuAdminCustomStatus"})
        addItem(admin, QLatin1String(name), QString());
}

void MainMenus::createReportsMenu()
{
    QMenu *reports = addMenu(nullptr, QStringLiteral("mnuReports"), QString());
    QMenu *timeSheet = addMenu(reports, QStringLiteral("mnuTimeSheet"), QString());
    addItem(timeSheet, QStringLiteral("mnuTimeSheetReport"), QString());
}

void MainMenus::createHelpMenu()
{
    QMenu *help = addMenu(nullptr, QStringLiteral("mnuHelp"), QString());
    for (int i : {0, 3, 5}) {
        if (i > 0)
            help->addSeparator();
        addItem(help, indexed(QStringLiteral("mnuHelpSub"), i), QString());
    }
}
