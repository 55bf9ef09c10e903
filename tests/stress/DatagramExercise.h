#pragma once

// Hands one datagram, as it came off the wire, to every reader of the codec
// and to two running copies' protocols (one that has polled, one that has
// not), and checks what must hold whatever arrives. Shared by the seeded
// fuzz test and the libFuzzer target of the benchmarks.

#include "../messaging/MCastTestPeer.h"
#include "messaging/IMCastTransport.h"
#include "messaging/MCastCodec.h"

#include <QByteArray>
#include <QString>
#include <cmath>

class DatagramExercise
{
public:
    DatagramExercise()
    {
        m_polled.peer.receiver.mark = 5000;
        for (Copy *copy : {&m_fresh, &m_polled}) {
            copy->peer.receiver.chat.room = QStringLiteral("Room");
            // Updates of its own, so that resend requests find some to answer.
            for (qint32 seq : {1, 2, 3, 4998, 4999, 5000})
                copy->peer.changeStatus(seq, QStringLiteral("OUT"), QStringLiteral("own"));
        }
    }

    // Gives what went wrong, or an empty text.
    QString feed(const QByteArray &bytes)
    {
        const QString text = MCastCodec::fromWire(bytes);
        if (QString failure = checkReaders(text); !failure.isEmpty())
            return failure;
        for (Copy *copy : {&m_fresh, &m_polled})
            if (QString failure = checkProtocol(*copy, bytes, text); !failure.isEmpty())
                return failure;
        return QString();
    }

private:
    // Keeps count of what a protocol sends and drops it.
    class CountingTransport : public IMCastTransport
    {
    public:
        void send(const QByteArray &) override { ++sent; }
        void setReceiveHandler(ReceiveHandler) override {}
        int sent = 0;
    };

    static bool inDateRange(double days) { return std::isfinite(days) && days > -657435.0 && days < 2958466.0; }

    static QString checkReaders(const QString &text)
    {
        MCastCodec::readInstantMessage(text);
        MCastCodec::readChatMessage(text);
        MCastCodec::readChatInvitation(text);
        MCastCodec::readRoomEvent(text);
        MCastCodec::readChatWriting(text);
        if (const auto seq = MCastCodec::readResendRequest(text)) {
            if (MCastCodec::readResendRequest(MCastCodec::resendRequest(*seq)) != seq)
                return QStringLiteral("resend request %1 does not read back").arg(*seq);
        }
        const auto update = MCastCodec::readStatusUpdate(text);
        if (!update)
            return QString();
        if (!inDateRange(update->ETD) || !inDateRange(update->ETA))
            return QStringLiteral("a date outside the stored range was read");
        // Sent on, the update must read back as it was.
        const auto again = MCastCodec::readStatusUpdate(MCastCodec::statusUpdate(*update));
        if (!again || again->Seq != update->Seq || again->UserID != update->UserID
            || again->Status != update->Status || again->Note != update->Note)
            return QStringLiteral("a status update does not read back as sent");
        return QString();
    }

    struct Copy
    {
        Copy(qint32 userId, const QString &name) : peer(link, userId, name) {}
        CountingTransport link;
        MCastTestPeer peer;
    };

    static QString checkProtocol(Copy &copy, const QByteArray &bytes, const QString &text)
    {
        MCastTestPeer &peer = copy.peer;
        const qint32 markBefore = peer.lastSeq;
        const int sentBefore = copy.link.sent;
        peer.protocol.dataArrival(bytes, QStringLiteral("10.9.9.9"));
        const int sent = copy.link.sent - sentBefore;
        if (peer.window.count() > CMCastWindow::Capacity)
            return QStringLiteral("the window holds %1 updates").arg(peer.window.count());
        const QChar type = text.isEmpty() ? QChar() : text.front();
        const int mostSent = type == u's' ? 4 : type == u'r' ? 1 : 0;
        if (sent > mostSent)
            return QStringLiteral("one datagram made the copy send %1").arg(sent);
        if (markBefore != 0 && peer.lastSeq < markBefore)
            return QStringLiteral("the sequence mark went back from %1 to %2").arg(markBefore).arg(peer.lastSeq);
        return QString();
    }

    Copy m_fresh{3, QStringLiteral("Fresh Copy")};
    Copy m_polled{4, QStringLiteral("Polled Copy")};
};
