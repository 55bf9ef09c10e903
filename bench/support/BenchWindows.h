#pragma once

#include "StubMainWindow.h"
#include "status/IUserListView.h"

// A main window that shows the user list and nothing else, doing nothing, so
// that a benchmark measures the road to the list itself.
class BoardWindow : public StubMainWindow, public IUserListView
{
public:
    bool selectTreeNode(const QString &) override { return true; }
    void setProgress(int) override {}
    void showUserColumns(const QList<UserListColumns::Column> &) override {}
    void saveColumnSettings() override {}
    void scrollToSelection() override {}
};
