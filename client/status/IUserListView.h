#pragma once

#include "UserListColumns.h"
#include "foundation/Globals.h"
#include "foundation/IMainWindow.h"

#include <QString>

// What the user-list poll asks of the main window beyond IMainWindow. The main
// window implements it next to IMainWindow; the poll finds it there.
class IUserListView
{
public:
    virtual ~IUserListView() = default;

    // The main window's side of the list; none while the window is unloaded
    // or when it does not show a user list.
    static IUserListView *ofMainWindow() { return dynamic_cast<IUserListView *>(g_frmMain.get()); }

    // Selects a node of the navigation tree; false when there is none.
    virtual bool selectTreeNode(const QString &nodeKey) = 0;
    // The progress bar under the list: 0 to 100, or -1 to hide it.
    virtual void setProgress(int percent) = 0;
    // Shows the user view with these columns (width in twips; 0 hides one):
    // the list as tall as the tree, the reservations list and the resource
    // bar hidden.
    virtual void showUserColumns(const QList<UserListColumns::Column> &columns) = 0;
    // Shows another view's lists in place of the user list: upper over
    // lower, or upper alone as tall as the tree when lower is none. Column
    // widths come from the settings of the header keys (Qt::UserRole).
    virtual void showListView(QAbstractItemModel *upper, QAbstractItemModel *lower)
    {
        Q_UNUSED(upper) Q_UNUSED(lower)
    }
    // The heading above the lower list of the resource view.
    virtual void setResourceCaption(const QString &text) { Q_UNUSED(text) }
    // Stores the widths of the columns now shown in the user's settings.
    virtual void saveColumnSettings() = 0;
    // Brings the selected row into view after the list was refreshed.
    virtual void scrollToSelection() = 0;
};
