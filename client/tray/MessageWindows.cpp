#include "MessageWindows.h"

#include "CheckInPopup.h"
#include "frmDialog.h"
#include "frmInstantMessage.h"
#include "frmSysTray.h"
#include "NoticeStack.h"
#include "foundation/Globals.h"
#include "foundation/UiFactory.h"

MCastProtocol *MessageWindows::trayMCast()
{
    auto *tray = dynamic_cast<frmSysTray *>(g_frmSysTray.get());
    return tray ? &tray->mcast() : nullptr;
}

MessageWindows::MessageWindows(MCastSenderLookup sender) : m_sender(std::move(sender)) {}

MessageWindows::~MessageWindows() = default;

void MessageWindows::install(UiFactory &factory)
{
    factory.checkInPopup = [] { return std::make_unique<CheckInPopup>(); };
    factory.instantMessage = [this](const QString &recipients) {
        frmInstantMessage &dialog = instantMessage();
        dialog.setRecipientList(recipients);
        dialog.exec();
    };
    factory.chatWindow = [this] { return static_cast<IChatWindow *>(&chat()); };
    g_userNotification = this;
    NoticeStack::instance().trayIconGeometry = [] {
        auto *tray = dynamic_cast<frmSysTray *>(g_frmSysTray.get());
        return tray ? tray->trayIconGeometry() : QRect();
    };
}

void MessageWindows::showNotification(const QString &title, const QString &from, const QString &message,
                                      const QString &joinRoomId)
{
    auto *notice = new frmDialog;
    notice->setTitle(title);
    notice->setFrom(from);
    notice->setMessage(message);
    if (!joinRoomId.isEmpty())
        notice->setJoinChat(joinRoomId, [this](const QString &room) { chat().joinRoom(room); });
    notice->setAlwaysOnTop();
    notice->display();
}

void MessageWindows::notify(const QString &title, const QString &message, bool alwaysOnTop)
{
    auto *notice = new frmDialog;
    notice->setTitle(title);
    notice->setMessage(message);
    if (alwaysOnTop)
        notice->setAlwaysOnTop();
    notice->display();
}

frmChat &MessageWindows::chat()
{
    if (!m_chat)
        m_chat = std::make_unique<frmChat>(m_sender);
    return *m_chat;
}

frmInstantMessage &MessageWindows::instantMessage()
{
    if (!m_instantMessage)
        m_instantMessage = std::make_unique<frmInstantMessage>(m_sender);
    return *m_instantMessage;
}
