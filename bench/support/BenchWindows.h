#pragma once

// Stand-ins for the windows the status road talks to, doing nothing, so that
// a benchmark measures the road itself.

#include "IMainWindow.h"
#include "ITrayWindow.h"
#include "IUserListView.h"

class QuietTray : public ITrayWindow
{
public:
    void showOffscreen() override {}
    void setUpdateTimerEnabled(bool) override {}
    bool isUpdateTimerEnabled() const override { return false; }
    void removeTrayIcon() override {}
    void hideWindow() override {}
};

// A main window that shows the user list and nothing else.
class BoardWindow : public IMainWindow, public IUserListView
{
public:
    void showWindow() override {}
    void hideWindow() override {}
    bool isWindowVisible() const override { return true; }
    int windowStateCode() const override { return Normal; }
    void setWindowStateCode(int) override {}
    QString caption() const override { return QString(); }
    void setCaption(const QString &) override {}

    bool selectTreeNode(const QString &) override { return true; }
    void setProgress(int) override {}
    void showUserColumns(const QList<UserListColumns::Column> &) override {}
    void saveColumnSettings() override {}
    void scrollToSelection() override {}
};
