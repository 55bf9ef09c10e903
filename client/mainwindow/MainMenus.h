#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

class QAction;
class QMenu;
class QMenuBar;

// The main window's menus: File, View, the context menu the tree and the
// lists share, the administration menu, Reports and Help. Every item carries
// its control name ("mnuFileExit", "mnuViewSub(4)") as its object name; the
// window connects the items it acts on and gives them their captions.
class MainMenus
{
public:
    explicit MainMenus(QMenuBar *bar);

    // An item by its control name; null for a name no item has.
    QAction *item(const QString &name) const;

private:
    // A menu on the bar, or under parent when there is one.
    QMenu *addMenu(QMenu *parent, const QString &name, const QString &text);
    QAction *addItem(QMenu *menu, const QString &name, const QString &text);
    // Items named name(first), name(first + 1), ...; "-" is a separator.
    void addIndexedItems(QMenu *menu, const QString &name, int first, const QStringList &texts);
    void createFileMenu();
    void createViewMenu();
    void createPopupMenu();
    void createAdminMenu();
    void createReportsMenu();
    void createHelpMenu();

    QMenuBar *m_bar;
    QHash<QString, QAction *> m_items;
};
