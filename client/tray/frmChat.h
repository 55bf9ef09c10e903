#pragma once

#include "messaging/IChatWindow.h"

#include <QTimer>
#include <QWidget>
#include <functional>

class MCastProtocol;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTextEdit;

// The datagram senders as the message windows reach them: those of the tray
// window, or none while it is not there.
using MCastSenderLookup = std::function<MCastProtocol *()>;

// The chat room: the conversation, its members and a status line. One room
// at a time; leaving it, by Leave Chat or the close box, tells the others and
// forgets the room, so lines still arriving for it are not taken in.
class frmChat : public QWidget, public IChatWindow
{
    Q_OBJECT
public:
    // Others are told of a key press once in this many.
    static constexpr int KeysPerWritingNotice = 15;

    explicit frmChat(MCastSenderLookup sender);

    QString roomId() const override { return RoomID; }
    bool isVisible() const override { return QWidget::isVisible(); }
    void openRoom(const QString &roomId) override;
    void appendMessage(const QString &name, const QString &text) override;
    void setInfo(const QString &info) override;
    void join(const QString &name) override;
    void leave(const QString &name) override;

    // Enters the room of an invitation, leaving the one open before.
    void joinRoom(const QString &roomId);
    void appendMyMessage(const QString &text);
    void cmdSend_Click();
    void cmdLeave_Click();
    void Timer1_Timer();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void append(const QString &header, const QString &text, const QColor &textColour);
    void clearRoom(const QString &roomId);
    void txtMessage_KeyPress();

    MCastSenderLookup m_sender;
    QString RoomID;
    int m_iKeyCount = 0;
    bool m_fStatusHeld = false;
    QTextEdit *RichTextBox1;
    QListWidget *lstMembers;
    QLineEdit *txtMessage;
    QPushButton *cmdSend;
    QPushButton *cmdLeave;
    QLabel *lblStatus;
    QTimer Timer1;
};
