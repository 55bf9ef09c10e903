#pragma once

#include "frmChat.h"
#include "status/IUserNotification.h"
#include "status/StatusMCastReceiver.h"

#include <memory>

class frmInstantMessage;
struct UiFactory;

// The message windows of the run: the notices, the instant-message dialog
// and the chat room. It is what the datagrams reach besides the status
// engine, and the notifier the user list uses.
class MessageWindows : public StatusMCastReceiver, public IUserNotification
{
public:
    // The tray window's senders, when the program's tray window is there.
    static MCastProtocol *trayMCast();

    explicit MessageWindows(MCastSenderLookup sender = &MessageWindows::trayMCast);
    ~MessageWindows() override;
    MessageWindows(const MessageWindows &) = delete;
    MessageWindows &operator=(const MessageWindows &) = delete;

    // Installs the makers of the notices and windows.
    void install(UiFactory &factory);

    void showNotification(const QString &title, const QString &from, const QString &message,
                          const QString &joinRoomId) override;
    IChatWindow &chatWindow() override { return chat(); }
    void notify(const QString &title, const QString &message, bool alwaysOnTop) override;

    frmChat &chat();
    frmInstantMessage &instantMessage();

private:
    MCastSenderLookup m_sender;
    std::unique_ptr<frmChat> m_chat;
    std::unique_ptr<frmInstantMessage> m_instantMessage;
};
