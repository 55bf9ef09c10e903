#pragma once

#include "StubMainWindow.h"
#include "foundation/IMainWindow.h"
#include "status/IUserListView.h"
#include "status/IUserNotification.h"

#include <QSet>
#include <QStringList>

// A main window without widgets that records what the user-list code asks of it.
class UserListTestWindow : public StubMainWindow, public IUserListView
{
public:
    void setStatusText(const QString &text) override { statusTexts.append(text); }
    void hideWebPage() override { ++webPageHidden; }

    bool selectTreeNode(const QString &nodeKey) override
    {
        selectedNode = nodeKey;
        return treeNodes.contains(nodeKey);
    }
    void setProgress(int percent) override { progress.append(percent); }
    void showUserColumns(const QList<UserListColumns::Column> &shown) override { columns = shown; ++columnsShown; }
    void saveColumnSettings() override { ++columnSettingsSaved; }
    void scrollToSelection() override {}

    QStringList statusTexts;
    int webPageHidden = 0;
    QSet<QString> treeNodes;
    QString selectedNode;
    QList<int> progress;
    QList<UserListColumns::Column> columns;
    int columnsShown = 0;
    int columnSettingsSaved = 0;
};

// Remembers the notifications instead of showing them.
class RecordingNotification : public IUserNotification
{
public:
    struct Shown { QString title; QString message; bool alwaysOnTop; };
    void notify(const QString &title, const QString &message, bool alwaysOnTop) override
    {
        shown.append({title, message, alwaysOnTop});
    }
    QList<Shown> shown;
};
