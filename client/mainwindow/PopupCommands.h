#pragma once

#include "foundation/CEntity.h"
#include "admin/IconSelector.h"

#include <QList>
#include <QString>
#include <functional>

class KeyedTreeWidget;
class ListViewPane;
class MainMenus;
class PopupMenus;
class QDialog;
class QObject;
class QWidget;

// What the context menu's entries do: messages, status changes and the watch
// list for the people selected; add, edit and delete of the user, resource,
// booking or tree node the menu was built for; check-in and booking history.
class PopupCommands
{
public:
    PopupCommands(const PopupMenus &menus, KeyedTreeWidget *tree, ListViewPane *users, ListViewPane *reservations,
                  QWidget *window);

    // Connects the menu's entries and the user list's double-click, for as
    // long as context lives.
    void connectTo(const MainMenus &menus, QObject *context);

    void mnuPopupSub_Click(int index);
    void mnuPopupIM_Click(int index);
    void mnuPopupSubMail_Click(int index);
    void mnuPopupSubSub_Click(int index);
    // A double-click on a row of the user list, as the user's option says.
    void lvwUserList_DblClick(int row);

    // The window's services the commands use.
    std::function<void()> refreshCurrentView;
    std::function<void(int row)> userListItemClick;
    std::function<void(int row)> editStatusOfRow;
    std::function<QList<IconSelector::Picture>()> iconPictures;
    // A picture of the large list by its key.
    std::function<QIcon(const QString &key)> largePicture;
    // Shows a dialog modally; tests replace it to drive the dialog.
    static std::function<void(QDialog &)> runDialog;

private:
    // What add, edit or delete works on: a kind ("USR", "RES", "RSV" or a
    // node's tag), an id and a caption.
    struct Item
    {
        QString kind;
        qint32 id = 0;
        QString text;
    };
    bool addItem(int index, Item &item) const;
    bool selectedItem(Item &item) const;
    void add(int index);
    void edit();
    void remove();
    void nodeDialog(qint32 id, bool newNode);
    void deleteNode(const Item &item);
    void addResource(qint32 groupId);
    void makeBooking(qint32 resourceId);
    void deleteItem(const Item &item);
    void changeStatus();
    void notify();
    void phoneMessage();
    void checkIn();
    void emailSelectedUsers(int mode);
    QList<CEntity> selectedEntities(bool contactNames = false) const;
    QList<qint32> selectedUserIds() const;
    void informDeleted(const QString &text);

    const PopupMenus &m_menus;
    KeyedTreeWidget *m_tree;
    ListViewPane *m_users;
    ListViewPane *m_reservations;
    QWidget *m_window;
};
