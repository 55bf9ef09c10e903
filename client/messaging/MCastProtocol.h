#pragma once

#include "CMCastUpdate.h"
#include "MCastOwnIds.h"
#include "MCastResendThrottle.h"

#include <QByteArray>
#include <QString>

class CMCastWindow;
class IChatWindow;
class IMCastReceiver;
class IMCastTransport;

// The conversation between the running copies: builds and sends every
// datagram, reads every datagram that arrives and acts on it. It owns no
// socket and no window; the transport carries the datagrams and the receiver
// is the rest of the program.
class MCastProtocol
{
public:
    // Longest message or chat line sent, so that a datagram stays well within
    // what one UDP datagram carries.
    static constexpr int MaxTextLength = 4000;
    // A status update numbered this far above what the poll has read is taken
    // for a forgery: kept, it would hide the user's real updates.
    static constexpr qint64 MaxSeqAboveMark = 10000;
    // More than any copy sends, even a message of MaxTextLength characters to
    // many recipients: a longer datagram is dropped unread.
    static constexpr qsizetype MaxDatagramBytes = 32 * 1024;
    // How much of a datagram the debug log quotes.
    static constexpr qsizetype MaxQuotedLength = 300;

    MCastProtocol(CMCastWindow &window, qint32 &lastSeq, IMCastTransport &transport, IMCastReceiver &receiver);
    ~MCastProtocol();
    MCastProtocol(const MCastProtocol &) = delete;
    MCastProtocol &operator=(const MCastProtocol &) = delete;

    void setReceiver(IMCastReceiver &receiver) { m_receiver = &receiver; }

    void sendUpdatePulse(const CMCastUpdate &update);
    void sendUpdatePulseResend(qint32 seq);
    void sendInstantMessage(const QString &senderName, const QString &recipients, const QString &text);
    void sendInstantChatMessage(const QString &senderName, const QString &roomId, const QString &text);
    // Opens a new room first when the chat window is not showing; roomId
    // then comes back as the new room's id.
    void sendChatInvitation(const QString &inviterName, const QString &inviteeId, QString &roomId);
    void sendJoinChat(const QString &userName, const QString &roomId);
    void sendLeaveChat(const QString &userName, const QString &roomId);
    void sendChatWriting(const QString &userName, const QString &roomId);

    // The listener: one datagram as it arrived.
    void dataArrival(const QByteArray &bytes, const QString &fromAddress);

    // Id of the last chat datagram this copy sent.
    QString lastMsgId() const { return m_ownIds.last(); }

private:
    void dispatch(const QString &datagram);
    void gotStatusUpdate(const QString &datagram);
    void gotResendRequest(const QString &datagram);
    void gotInstantMessage(const QString &datagram);
    void gotChatMessage(const QString &datagram);
    void gotChatInvitation(const QString &datagram);
    void gotJoinChat(const QString &datagram);
    void gotLeaveChat(const QString &datagram);
    void gotChatWriting(const QString &datagram);
    void gotRoomEvent(const QString &datagram, void (IChatWindow::*apply)(const QString &));

    void transmit(const QString &datagram, const QString &logText);
    void sendLogged(const QString &datagram, const QString &logText, const QString &place);
    void sendQuietly(const QString &datagram, const QString &logText);
    bool farAboveMark(qint32 seq) const;
    bool belowMark(qint32 seq) const;
    bool isOpenRoom(const QString &roomId) const;
    static void dropped(const QString &datagram);

    CMCastWindow &m_window;
    qint32 &m_lastSeq;
    IMCastTransport &m_transport;
    IMCastReceiver *m_receiver;
    MCastOwnIds m_ownIds;
    MCastResendThrottle m_throttle;
};
