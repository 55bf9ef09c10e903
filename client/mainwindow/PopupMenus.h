#pragma once

#include "PopupMenuRules.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <functional>
#include <optional>

class KeyedTreeWidget;
class ListViewPane;
class MainMenus;
class QMenu;
class QObject;
class QWidget;

// Builds the context menu the tree and the two lists share (mnuPopup on the
// menu bar) from the selection and the user's rights, and pops it up: at the
// pointer, or from the keyboard at the selected node or row. The menu bar's
// entry is shown only while the selection offers a command. It also remembers
// which control the menu was last built for, which the commands act on.
class PopupMenus
{
public:
    enum Context { NoContext = 0, TreeContext = 1, UserContext = 2, ResourceContext = 3, ReservationContext = 4 };
    enum Show { Refresh, AtPointer, FromKeyboard };

    PopupMenus(MainMenus &menus, KeyedTreeWidget *tree, ListViewPane *users, ListViewPane *reservations);

    // The pointer's global position is asked of the desktop when not given.
    void BuildTreePopupMenu(const QString &nodeKey, Show show, std::optional<QPoint> pointer = std::nullopt);
    void BuildListPopupMenu(const QString &itemKey, Show show, std::optional<QPoint> pointer = std::nullopt);
    // Works on the reservations list's selected row.
    void BuildReservationPopupMenu(Show show, std::optional<QPoint> pointer = std::nullopt);

    // Builds the menu as the lists' mouse-ups and the menu keys of the lists
    // and the tree ask, for as long as context lives.
    void connectControls(QObject *context);

    Context context() const { return m_context; }
    QMenu *menu() const;
    // Pops the menu up at a global position; the window shows it without
    // waiting for the choice.
    std::function<void(QMenu &, const QPoint &)> popup;

private:
    void listMenu(Show show, std::optional<QPoint> pointer);
    struct Where
    {
        Show show;
        std::optional<QPoint> pointer;
        QWidget *control;
        QRect selected; // the selected node or row, in control's coordinates
    };
    void apply(const PopupMenuRules::Entries &entries, const Where &where);

    MainMenus &m_menus;
    KeyedTreeWidget *m_tree;
    ListViewPane *m_users;
    ListViewPane *m_reservations;
    Context m_context = NoContext;
};
