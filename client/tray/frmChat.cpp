#include "frmChat.h"

#include "foundation/Globals.h"
#include "messaging/MCastProtocol.h"
#include "status/IconArt.h"
#include "dialogs/OutsideText.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>

namespace {

const QString kWelcome = QStringLiteral("Welcome to the Qel Chat Room");
const QColor kHeaderColour(153, 51, 0);
const QColor kTheirTextColour(0, 0, 153);
const QColor kMyTextColour(51, 0, 51);

} // namespace

frmChat::frmChat(MCastSenderLookup sender)
    : m_sender(std::move(sender)), RichTextBox1(new QTextEdit), lstMembers(new QListWidget), txtMessage(new QLineEdit),
      cmdSend(new QPushButton(QStringLiteral("Send"))), cmdLeave(new QPushButton(QStringLiteral("Leave Chat"))),
      lblStatus(OutsideText::label(kWelcome))
{
    setObjectName(QStringLiteral("frmChat"));
    setWindowTitle(QStringLiteral("Qel Instant Messenger Chat Room"));
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1->setReadOnly(true);
    RichTextBox1->setAcceptRichText(false);
    lstMembers->setObjectName(QStringLiteral("lstMembers"));
    lstMembers->setToolTip(QStringLiteral("To invite another user(s) to join the chat room use the "
                                          "  main Qel user list menu popup on a selected user "
                                          "  and choose Instant Message > Invite to Chat"));
    txtMessage->setObjectName(QStringLiteral("txtMessage"));
    txtMessage->setToolTip(QStringLiteral("Type in here to send a message to the other chat room members"));
    txtMessage->setMaxLength(MCastProtocol::MaxTextLength);
    txtMessage->installEventFilter(this);
    cmdSend->setObjectName(QStringLiteral("cmdSend"));
    cmdSend->setDefault(true);
    cmdLeave->setObjectName(QStringLiteral("cmdLeave"));
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    auto *icon = new QLabel;
    icon->setPixmap(IconArt::picture(QStringLiteral("CHT"), 16));
    auto *members = new QLabel(QStringLiteral("Members..."));

    auto *status = new QHBoxLayout;
    status->addWidget(icon);
    status->addWidget(lblStatus, 1);
    auto *layout = new QGridLayout(this);
    layout->addLayout(status, 0, 0, 1, 3);
    layout->addWidget(RichTextBox1, 1, 0, 2, 1);
    layout->addWidget(members, 1, 1, 1, 2);
    layout->addWidget(lstMembers, 2, 1, 1, 2);
    layout->addWidget(txtMessage, 3, 0);
    layout->addWidget(cmdSend, 3, 1);
    layout->addWidget(cmdLeave, 3, 2);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 1);
    resize(560, 360);

    Timer1.setInterval(10000);
    connect(&Timer1, &QTimer::timeout, this, &frmChat::Timer1_Timer);
    connect(cmdSend, &QPushButton::clicked, this, &frmChat::cmdSend_Click);
    connect(txtMessage, &QLineEdit::returnPressed, this, &frmChat::cmdSend_Click);
    connect(cmdLeave, &QPushButton::clicked, this, &frmChat::cmdLeave_Click);
}

void frmChat::openRoom(const QString &roomId)
{
    clearRoom(roomId);
    show();
    raise();
    activateWindow();
}

void frmChat::joinRoom(const QString &roomId)
{
    if (roomId.isEmpty())
        return;
    if (roomId != RoomID) {
        // One room at a time: the others in the old one see this user go.
        if (!RoomID.isEmpty())
            cmdLeave_Click();
        clearRoom(roomId);
        // Own "j" comes back to this window and lists the user.
        if (MCastProtocol *sender = m_sender())
            sender->sendJoinChat(g_oCurrentUser.RealName, RoomID);
    }
    show();
    raise();
    activateWindow();
}

void frmChat::clearRoom(const QString &roomId)
{
    RoomID = roomId;
    RichTextBox1->clear();
    lstMembers->clear();
    lblStatus->setText(kWelcome);
    m_fStatusHeld = false;
}

void frmChat::append(const QString &header, const QString &text, const QColor &textColour)
{
    // Plain text with a character format: nothing a member types is read as markup.
    QTextCharFormat format;
    format.setFontFamilies({QStringLiteral("Arial")});
    format.setForeground(kHeaderColour);
    QTextCursor cursor(RichTextBox1->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("\n") + header, format);
    format.setForeground(textColour);
    cursor.insertText(QStringLiteral("\n") + text + QStringLiteral("\n"), format);
    RichTextBox1->setTextCursor(cursor);
    RichTextBox1->ensureCursorVisible();
}

void frmChat::appendMessage(const QString &name, const QString &text)
{
    append(name + QStringLiteral(" writes..."), text, kTheirTextColour);
}

void frmChat::appendMyMessage(const QString &text)
{
    append(QStringLiteral("You wrote..."), text, kMyTextColour);
}

void frmChat::setInfo(const QString &info)
{
    lblStatus->setText(info);
    m_fStatusHeld = true;
}

void frmChat::join(const QString &name)
{
    if (!lstMembers->findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive).isEmpty())
        return;
    lstMembers->addItem(name);
    setInfo(name + QStringLiteral(" has joined the Chat Room"));
}

void frmChat::leave(const QString &name)
{
    const QList<QListWidgetItem *> found = lstMembers->findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found.isEmpty())
        return;
    qDeleteAll(found);
    setInfo(name + QStringLiteral(" has left the Chat Room"));
}

void frmChat::cmdSend_Click()
{
    // An empty line says nothing; the box is emptied for the next line.
    const QString text = txtMessage->text().trimmed();
    if (text.isEmpty() || RoomID.isEmpty())
        return;
    appendMyMessage(text);
    txtMessage->clear();
    if (MCastProtocol *sender = m_sender())
        sender->sendInstantChatMessage(g_oCurrentUser.RealName, RoomID, text);
}

void frmChat::cmdLeave_Click()
{
    const QString room = RoomID;
    RoomID.clear();
    Timer1.stop();
    hide();
    RichTextBox1->clear();
    lstMembers->clear();
    lblStatus->setText(kWelcome);
    if (MCastProtocol *sender = m_sender(); sender && !room.isEmpty())
        sender->sendLeaveChat(g_oCurrentUser.RealName, room);
}

void frmChat::Timer1_Timer()
{
    if (!m_fStatusHeld)
        lblStatus->setText(QStringLiteral("Qel Chat Room"));
    m_fStatusHeld = false;
}

void frmChat::txtMessage_KeyPress()
{
    ++m_iKeyCount;
    if (m_iKeyCount % KeysPerWritingNotice != 0 || RoomID.isEmpty())
        return;
    if (MCastProtocol *sender = m_sender())
        sender->sendChatWriting(g_oCurrentUser.RealName, RoomID);
}

bool frmChat::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtMessage && event->type() == QEvent::KeyPress
        && !static_cast<QKeyEvent *>(event)->text().isEmpty())
        txtMessage_KeyPress();
    return QWidget::eventFilter(watched, event);
}

void frmChat::closeEvent(QCloseEvent *event)
{
    // The close box leaves the room as Leave Chat does.
    if (!RoomID.isEmpty())
        cmdLeave_Click();
    QWidget::closeEvent(event);
}

void frmChat::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow())
            Timer1.start();
        else
            Timer1.stop();
    }
    QWidget::changeEvent(event);
}
