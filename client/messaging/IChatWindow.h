#pragma once

#include <QString>

// The chat window as the datagram handlers use it. There is one; reaching it
// creates it without showing it.
class IChatWindow
{
public:
    virtual ~IChatWindow() = default;

    virtual QString roomId() const = 0;         // empty while no room is open
    virtual bool isVisible() const = 0;
    // Opens a new room: sets its id, clears the conversation, shows the window.
    virtual void openRoom(const QString &roomId) = 0;
    virtual void appendMessage(const QString &name, const QString &text) = 0;
    virtual void setInfo(const QString &info) = 0;
    virtual void join(const QString &name) = 0;
    virtual void leave(const QString &name) = 0;
};

// Until the chat window exists: no room is ever open.
class NoChatWindow : public IChatWindow
{
public:
    QString roomId() const override { return QString(); }
    bool isVisible() const override { return false; }
    void openRoom(const QString &) override {}
    void appendMessage(const QString &, const QString &) override {}
    void setInfo(const QString &) override {}
    void join(const QString &) override {}
    void leave(const QString &) override {}
};
