#include "MCastProtocol.h"

#include "CMCastWindow.h"
#include "IMCastReceiver.h"
#include "IMCastTransport.h"
#include "MCastCodec.h"
#include "MCastGapCheck.h"
#include "foundation/MErrorHandler.h"
#include "platform/AppError.h"
#include "platform/DateUtil.h"
#include "platform/StatusCode.h"
#include "platform/TextLimit.h"

namespace {

const QString kListenerPlace = QStringLiteral("frmSysTray.insockListener_DataArrival");

// Runs a step and writes what it raises to the error log under the place;
// the listener's entries also name where the error came from.
template <typename Step>
void logErrors(const QString &place, bool withSource, Step &&step)
{
    try {
        step();
    } catch (const AppError &e) {
        WriteErrorLog(e.number(), e.description(), withSource ? place + QStringLiteral("\r\n") + e.source() : place);
    } catch (const std::exception &e) {
        WriteErrorLog(0, QString::fromLocal8Bit(e.what()), place);
    }
}

template <typename Step>
void logListenerErrors(Step &&step)
{
    logErrors(kListenerPlace, true, std::forward<Step>(step));
}

QString capped(const QString &text)
{
    return TextLimit::left(text, MCastProtocol::MaxTextLength);
}

// A datagram as the debug log quotes it: its beginning and its length. A
// flood of long datagrams must not fill the disk.
QString quoted(const QString &datagram)
{
    if (datagram.size() <= MCastProtocol::MaxQuotedLength)
        return datagram;
    return TextLimit::left(datagram, MCastProtocol::MaxQuotedLength)
        + QStringLiteral("... (%1 characters)").arg(datagram.size());
}

} // namespace

MCastProtocol::MCastProtocol(CMCastWindow &window, qint32 &lastSeq, IMCastTransport &transport,
                             IMCastReceiver &receiver)
    : m_window(window), m_lastSeq(lastSeq), m_transport(transport), m_receiver(&receiver)
{
    m_transport.setReceiveHandler(
        [this](const QByteArray &bytes, const QString &from) { dataArrival(bytes, from); });
}

MCastProtocol::~MCastProtocol()
{
    m_transport.setReceiveHandler({});
}

// --- Senders ---------------------------------------------------------------

void MCastProtocol::sendUpdatePulse(const CMCastUpdate &update)
{
    // Stored before it is sent, so the copy keeps its own OriginatorID and is
    // the one that answers resend requests for it.
    m_window.Add(update);
    const QString datagram = MCastCodec::statusUpdate(update);
    sendLogged(datagram, QStringLiteral("MCast Sending [%1]"), QStringLiteral("Systray sendUpdatePulse"));
}

void MCastProtocol::sendUpdatePulseResend(qint32 seq)
{
    sendLogged(MCastCodec::resendRequest(seq), QStringLiteral("MCast Sending [%1]"),
               QStringLiteral("Systray sendUpdatePulseResend"));
}

void MCastProtocol::sendInstantMessage(const QString &senderName, const QString &recipients, const QString &text)
{
    sendLogged(MCastCodec::instantMessage(senderName, recipients, capped(text)),
               QStringLiteral("MCast Sending Instant Message [%1]"), QStringLiteral("Systray sendInstantMessage"));
}

void MCastProtocol::sendInstantChatMessage(const QString &senderName, const QString &roomId, const QString &text)
{
    const QString msgId = m_ownIds.next();
    sendLogged(MCastCodec::chatMessage(msgId, senderName, roomId, capped(text)),
               QStringLiteral("MCast Sending Chat Message [%1]"), QStringLiteral("Systray sendInstantChatMessage"));
}

void MCastProtocol::sendChatInvitation(const QString &inviterName, const QString &inviteeId, QString &roomId)
{
    const QString msgId = m_ownIds.next();
    try {
        IChatWindow &chat = m_receiver->chatWindow();
        if (!chat.isVisible()) {
            roomId = m_receiver->signedInUserName() + msgId;
            chat.openRoom(roomId);
        }
    } catch (const std::exception &) {
        // As with the other chat senders, a failure is passed over.
    }
    sendQuietly(MCastCodec::chatInvitation(msgId, inviterName, inviteeId, roomId),
                QStringLiteral("MCast Sending Chat invitation [%1]"));
}

void MCastProtocol::sendJoinChat(const QString &userName, const QString &roomId)
{
    sendQuietly(MCastCodec::joinChat(userName, roomId), QStringLiteral("MCast Sending Join Chat [%1]"));
}

void MCastProtocol::sendLeaveChat(const QString &userName, const QString &roomId)
{
    sendQuietly(MCastCodec::leaveChat(userName, roomId), QStringLiteral("MCast Sending Leave Chat [%1]"));
}

void MCastProtocol::sendChatWriting(const QString &userName, const QString &roomId)
{
    const QString msgId = m_ownIds.next();
    sendQuietly(MCastCodec::chatWriting(msgId, userName, roomId), QStringLiteral("MCast Sending Chat Writing [%1]"));
}

void MCastProtocol::transmit(const QString &datagram, const QString &logText)
{
    WriteDebugLog([&]() -> QString { return logText.arg(quoted(datagram)); });
    m_transport.send(MCastCodec::toWire(datagram));
}

void MCastProtocol::sendLogged(const QString &datagram, const QString &logText, const QString &place)
{
    logErrors(place, false, [&] { transmit(datagram, logText); });
}

void MCastProtocol::sendQuietly(const QString &datagram, const QString &logText)
{
    try {
        transmit(datagram, logText);
    } catch (const std::exception &) {
        // These senders let a failed send pass; the chat goes on without it.
    }
}

// --- Listener --------------------------------------------------------------

void MCastProtocol::dataArrival(const QByteArray &bytes, const QString &fromAddress)
{
    if (bytes.size() > MaxDatagramBytes) {
        WriteDebugLog([&]() -> QString {
            return QStringLiteral("MCast dropped a datagram of %1 bytes from [%2]").arg(bytes.size()).arg(fromAddress);
        });
        return;
    }
    const QString datagram = MCastCodec::fromWire(bytes);
    WriteDebugLog([&]() -> QString {
        return QStringLiteral("Mcast listener received [") + quoted(datagram) + QStringLiteral("] from [")
            + fromAddress + u']';
    });
    logListenerErrors([&] { dispatch(datagram); });
}

void MCastProtocol::dispatch(const QString &datagram)
{
    if (datagram.isEmpty())
        return;
    switch (datagram.front().unicode()) {
    case MCastCodec::StatusUpdate: gotStatusUpdate(datagram); break;
    case MCastCodec::ChatWriting: gotChatWriting(datagram); break;
    case MCastCodec::ChatMessage: gotChatMessage(datagram); break;
    case MCastCodec::InstantMessage: gotInstantMessage(datagram); break;
    case MCastCodec::JoinChat: gotJoinChat(datagram); break;
    case MCastCodec::ChatInvitation: gotChatInvitation(datagram); break;
    case MCastCodec::LeaveChat: gotLeaveChat(datagram); break;
    case MCastCodec::ResendRequest: gotResendRequest(datagram); break;
    default: break; // not ours
    }
}

void MCastProtocol::gotStatusUpdate(const QString &datagram)
{
    auto update = MCastCodec::readStatusUpdate(datagram);
    if (!update) {
        dropped(datagram);
        return;
    }
    // The checks the sender makes: a code it would refuse, drawn, blanks the
    // row until the user's next change, as the poll sees no change to read.
    if (!StatusCode::isValid(update->Status)) {
        WriteDebugLog([&]() -> QString {
            return QStringLiteral("MCast dropped update with an invalid status code [%1]").arg(quoted(datagram));
        });
        return;
    }
    update->Note = TextLimit::statusNote(update->Note);
    WriteDebugLog([&]() -> QString {
        return QStringLiteral("Status Change Alert: Seq=%1, UserID=%2, Status=%3, Note=%4, ETD=%5, ETA=%6")
            .arg(QString::number(update->Seq), QString::number(update->UserID), update->Status, update->Note,
                 DateUtil::generalDate(update->ETD), DateUtil::generalDate(update->ETA));
    });
    if (farAboveMark(update->Seq)) {
        WriteDebugLog([&]() -> QString {
            return QStringLiteral("MCast ignored update far above the poll's mark [%1]").arg(quoted(datagram));
        });
        return;
    }
    // Asked before this update is stored: is it older than one already held,
    // or than what the poll has read? The row the poll read holds this change
    // or a later one; drawn now, a late datagram would put back an old status
    // that no later poll reads again.
    if (!m_window.NewerUpdateExist(update->Seq, update->UserID) && !belowMark(update->Seq)) {
        // A failure to draw must not keep the update from the window or the
        // gap check: each step is logged and the next one runs.
        logListenerErrors([&] {
            m_receiver->updateView(update->UserID, update->Status, update->Note, update->ETD, update->ETA);
        });
        logListenerErrors([&] { m_receiver->showCheckInDialog(update->UserID, update->Status, update->ETA); });
    }
    m_window.Add(*update);
    const QVector<qint32> missing = MCastGapCheck::check(update->Seq, m_lastSeq, m_window);
    for (qint32 seq : missing)
        sendUpdatePulseResend(seq);
}

void MCastProtocol::gotResendRequest(const QString &datagram)
{
    const auto seq = MCastCodec::readResendRequest(datagram);
    if (!seq) {
        dropped(datagram);
        return;
    }
    const auto update = m_window.Find(*seq);
    if (!update || update->OriginatorID != m_receiver->signedInUserId())
        return; // only the copy that sent it answers
    if (m_throttle.mayAnswer(*seq))
        sendUpdatePulse(*update);
}

void MCastProtocol::gotInstantMessage(const QString &datagram)
{
    const auto message = MCastCodec::readInstantMessage(datagram);
    if (!message) {
        dropped(datagram);
        return;
    }
    const QString ownKey = u'/' + QString::number(m_receiver->signedInUserId()) + u'/';
    if (message->target != QLatin1String("*") && !message->target.contains(ownKey))
        return;
    m_receiver->showNotification(QStringLiteral("Qel Instant Message"),
                                 QStringLiteral("Message from ") + message->name + QStringLiteral("..."),
                                 message->text, QString());
}

void MCastProtocol::gotChatMessage(const QString &datagram)
{
    const auto message = MCastCodec::readChatMessage(datagram);
    if (!message) {
        dropped(datagram);
        return;
    }
    if (m_ownIds.isOwn(message->msgId) || !isOpenRoom(message->target))
        return;
    m_receiver->chatWindow().appendMessage(message->name, message->text);
}

void MCastProtocol::gotChatInvitation(const QString &datagram)
{
    const auto message = MCastCodec::readChatInvitation(datagram);
    if (!message) {
        dropped(datagram);
        return;
    }
    if (m_ownIds.isOwn(message->msgId) || message->inviteeId != m_receiver->signedInUserId())
        return;
    m_receiver->showNotification(QStringLiteral("Qel Chat Room Invite"), message->name,
                                 QStringLiteral("Invites you to chat... Do you accept?"), message->text);
}

void MCastProtocol::gotJoinChat(const QString &datagram)
{
    gotRoomEvent(datagram, &IChatWindow::join);
}

void MCastProtocol::gotLeaveChat(const QString &datagram)
{
    gotRoomEvent(datagram, &IChatWindow::leave);
}

void MCastProtocol::gotRoomEvent(const QString &datagram, void (IChatWindow::*apply)(const QString &))
{
    // No message id here: a copy's own "j" and "l" reach its own window too.
    const auto message = MCastCodec::readRoomEvent(datagram);
    if (!message) {
        dropped(datagram);
        return;
    }
    if (isOpenRoom(message->target))
        (m_receiver->chatWindow().*apply)(message->name);
}

void MCastProtocol::gotChatWriting(const QString &datagram)
{
    const auto message = MCastCodec::readChatWriting(datagram);
    if (!message) {
        dropped(datagram);
        return;
    }
    if (m_ownIds.isOwn(message->msgId) || !isOpenRoom(message->target))
        return;
    m_receiver->chatWindow().setInfo(message->name + QStringLiteral(" is writing a message"));
}

bool MCastProtocol::farAboveMark(qint32 seq) const
{
    const qint64 mark = m_receiver->polledMark();
    return mark > 0 && qint64(seq) - mark > MaxSeqAboveMark;
}

bool MCastProtocol::belowMark(qint32 seq) const
{
    // The update's change counter is its number + 1; the poll has read every
    // change up to its mark, since counters are handed out one writer at a time.
    const qint64 mark = m_receiver->polledMark();
    return mark > 0 && qint64(seq) + 1 <= mark;
}

bool MCastProtocol::isOpenRoom(const QString &roomId) const
{
    // No room is open while the chat window's room id is empty.
    const QString open = m_receiver->chatWindow().roomId();
    return !open.isEmpty() && roomId == open;
}

void MCastProtocol::dropped(const QString &datagram)
{
    WriteDebugLog([&]() -> QString { return QStringLiteral("MCast dropped malformed datagram [%1]").arg(quoted(datagram)); });
}
