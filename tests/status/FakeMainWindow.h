#pragma once

#include "foundation/IMainWindow.h"
#include "status/IUserListView.h"
#include "status/IUserNotification.h"

#include <QSet>
#include <QStringList>

// A main window without widgets that records what the status engine and the
// user-list code ask of it.
class FakeMainWindow : public IMainWindow, public IUserListView
{
public:
    void showWindow() override { visible = true; }
    void hideWindow() override { visible = false; }
    bool isWindowVisible() const override { return visible; }
    int windowStateCode() const override { return state; }
    void setWindowStateCode(int s) override { state = s; }
    QString caption() const override { return text; }
    void setCaption(const QString &c) override { text = c; }
    void treeViewClick(const QString &key, bool force) override { clicked << key + (force ? "!" : ""); }
    bool setUserItemText(const QString &key, int subItem, const QString &t) override
    {
        cells << QStringLiteral("%1/%2=%3").arg(key).arg(subItem).arg(t);
        return rowKeys.contains(key);
    }
    void setProgressValue(int value) override { progress << value; }
    void setProgressVisible(bool on) override { progressShown = on; }
    void setStatusText(const QString &t) override { statusTexts << t; }
    void hideWebPage() override { ++webPageHidden; }
    bool selectTreeNode(const QString &nodeKey) override
    {
        selectedNode = nodeKey;
        return treeNodes.contains(nodeKey);
    }
    void setProgress(int percent) override { progress << percent; }
    void showUserColumns(const QList<UserListColumns::Column> &shown) override { columns = shown, ++columnsShown; }
    void saveColumnSettings() override { ++columnSettingsSaved; }
    void scrollToSelection() override {}

    bool visible = true, progressShown = false;
    int state = Normal, webPageHidden = 0, columnsShown = 0, columnSettingsSaved = 0;
    QString text, selectedNode;
    QStringList clicked, rowKeys, cells, statusTexts;
    QSet<QString> treeNodes;
    QVector<int> progress;
    QList<UserListColumns::Column> columns;
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
