#pragma once

#include <QString>
#include <functional>

class CEntity;
class NavigationTree;
class QAbstractItemModel;

// What the rest of the program asks of the main window. The window itself
// implements it; until a service has work to do here its default does nothing.
class IMainWindow
{
public:
    enum WindowState { Normal = 0, Minimised = 1, Maximised = 2 };

    virtual ~IMainWindow() = default;

    // The window proper.
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
    virtual bool isWindowVisible() const = 0;
    virtual int windowStateCode() const = 0;
    virtual void setWindowStateCode(int state) = 0;
    virtual QString caption() const = 0;
    virtual void setCaption(const QString &caption) = 0;

    // Raised when the user closes the window from its title bar while no
    // close-down is under way; the argument is the unload mode.
    std::function<void(int &)> onDoExit;

    // Services used by start-up, the status engine and the tray.
    virtual void populateMenuStrings() {}
    virtual void loadCustomStatusToolbarMenus() {}
    virtual void ResizeNow() {}
    virtual void DisableAdminMenu() {}
    virtual void refreshEnableChat() {}
    virtual void treeViewClick(const QString &nodeKey, bool force) { Q_UNUSED(nodeKey) Q_UNUSED(force) }
    virtual void setStatusText(const QString &text) { Q_UNUSED(text) }
    virtual void setCurrentViewMsg() {}
    virtual void hideWebPage() {}
    virtual void displayWebPage(const QString &url) { Q_UNUSED(url) }
    virtual void displayWebText(const QString &text) { Q_UNUSED(text) }
    virtual void SetSelectUserFunctions(bool enable) { Q_UNUSED(enable) }
    virtual void DisplaySearch(bool show) { Q_UNUSED(show) }
    virtual void DisplayInfoBar(bool show) { Q_UNUSED(show) }
    virtual void DisplayToolbar() {}
    virtual void ChangeView(int mode) { Q_UNUSED(mode) }
    virtual void selectUserItem(const QString &key) { Q_UNUSED(key) }
    // The selected item of the list on the right (a resource in the resource
    // view); false when nothing is selected.
    virtual bool selectedListItem(CEntity &item) const { Q_UNUSED(item) return false; }
    // Brings the window in front of the others, as the tray's restore does.
    virtual void bringToFront() {}
    virtual bool isUserListVisible() const { return false; }
    // Writes one column of the user list's row with that key; false when the
    // list has no such row.
    virtual bool setUserItemText(const QString &key, int subItem, const QString &text)
    {
        Q_UNUSED(key) Q_UNUSED(subItem) Q_UNUSED(text) return false;
    }
    // The progress bar under the list (0 to 100).
    virtual void setProgressValue(int value) { Q_UNUSED(value) }
    virtual void setProgressVisible(bool visible) { Q_UNUSED(visible) }
    // The navigation tree: shown from the model built at start-up; images
    // looked up in the window's image list.
    virtual void loadNavigationTree(const NavigationTree &tree) { Q_UNUSED(tree) }
    virtual bool hasTreeImage(const QString &imageKey) const { Q_UNUSED(imageKey) return true; }
    // Selects the node without opening its view; false when the tree has no such node.
    virtual bool selectTreeNode(const QString &nodeKey) { Q_UNUSED(nodeKey) return false; }
    // The pop-up menu's item on the menu bar (mnuPopup), its sub-items
    // (mnuPopupSub, by index) and the tool-bar buttons by key.
    virtual void hidePopupMenu() {}
    virtual void setPopupItemEnabled(int index, bool enabled) { Q_UNUSED(index) Q_UNUSED(enabled) }
    virtual void setToolbarButtonVisible(const QString &key, bool visible) { Q_UNUSED(key) Q_UNUSED(visible) }
    // The models the two lists on the right show. Column 0 of a row holds
    // its key ("USR" + id, ...) under Qt::UserRole; rows and column headers
    // name their pictures by image key under Qt::UserRole + 1.
    virtual void setUserListModel(QAbstractItemModel *model) { Q_UNUSED(model) }
    virtual void setReservationsModel(QAbstractItemModel *model) { Q_UNUSED(model) }
    // The tag of the navigation tree's node with that key ("GRP", "RSG", ...);
    // empty when there is no such node.
    virtual QString treeNodeTag(const QString &nodeKey) const { Q_UNUSED(nodeKey) return QString(); }
};
