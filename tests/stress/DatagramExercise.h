#pragma once

// Hands one datagram, as it came off the wire, to every reader of the codec
// and to two running copies' protocols (one that has polled, one that has
// not), each drawing through the program's own receiver into a board the
// poll read from a database, and checks what must hold whatever arrives.
// Shared by the seeded fuzz test and the libFuzzer target of the benchmarks.

#include "../messaging/MCastTestPeer.h"
#include "StaffRows.h"
#include "StubMainWindow.h"
#include "TestSupport.h"
#include "foundation/CUpdateDatabase.h"
#include "foundation/Globals.h"
#include "messaging/IMCastTransport.h"
#include "messaging/MCastCodec.h"
#include "platform/StatusCode.h"
#include "platform/TextLimit.h"
#include "status/CClientHnd.h"
#include "status/StatusMCastReceiver.h"
#include "status/UserListModel.h"
#include "status/UserListPoll.h"

#include <QByteArray>
#include <QString>
#include <cmath>

class DatagramExercise
{
public:
    // The users on the board, ids 1 up; the last one's change counter is the
    // highest the poll reads.
    static constexpr qint32 BoardUsers = 8;
    static constexpr qint32 PolledMark = 5000;

    // Builds the board in a new database of the environment.
    explicit DatagramExercise(TestEnvironment &env)
    {
        env.useSqliteDatabase();
        CUpdateDatabase::checkAtStartUp();
        addStaff(BoardUsers);
        DbHandle connection;
        Update(QStringLiteral("UPDATE STAFF_STATUS SET LastUpdated = ? WHERE UserID = ?"), connection,
               {PolledMark, BoardUsers});
        CloseADOConnection(connection);
        g_frmMain = std::make_unique<StubMainWindow>();
        g_oClientHnd = std::make_unique<CClientHnd>();
        g_lLastUpdated = -1;
        g_lUserID = m_polled.userId;
        QString query, node = QStringLiteral("GRP0");
        g_oClientHnd->RefreshUserList(false, true, query, node);
        m_polled.mark = g_lLastUpdated;
        for (Copy *copy : {&m_fresh, &m_polled}) {
            copy->receiver.chat.room = QStringLiteral("Room");
            // Updates of its own, so that resend requests find some to answer.
            for (qint32 seq : {1, 2, 3, 4998, 4999, 5000})
                copy->protocol.sendUpdatePulse({seq, copy->userId, QStringLiteral("OUT"), {}, 0, 0, copy->userId});
        }
    }
    ~DatagramExercise()
    {
        g_oClientHnd.reset();
        g_frmMain.reset();
    }

    // Gives what went wrong, or an empty text.
    QString feed(const QByteArray &bytes)
    {
        const QString text = MCastCodec::fromWire(bytes);
        if (QString failure = checkReaders(text); !failure.isEmpty())
            return failure;
        for (Copy *copy : {&m_fresh, &m_polled}) {
            if (QString failure = checkProtocol(*copy, bytes, text); !failure.isEmpty())
                return failure;
            if (QString failure = checkBoard(); !failure.isEmpty())
                return failure;
        }
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

    // The program's receiver; chat lines go to a window with a room open.
    class Receiver : public StatusMCastReceiver
    {
    public:
        IChatWindow &chatWindow() override { return chat; }
        RecordingChatWindow chat;
    };

    struct Copy
    {
        explicit Copy(qint32 id) : userId(id), protocol(window, lastSeq, link, receiver) {}
        qint32 userId;
        qint64 mark = -1; // the poll's mark while this copy is the one running
        CountingTransport link;
        Receiver receiver;
        CMCastWindow window;
        qint32 lastSeq = 0;
        MCastProtocol protocol;
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

    static QString checkProtocol(Copy &copy, const QByteArray &bytes, const QString &text)
    {
        g_lUserID = copy.userId;
        g_lLastUpdated = qint32(copy.mark);
        const qint32 markBefore = copy.lastSeq;
        const int sentBefore = copy.link.sent;
        copy.protocol.dataArrival(bytes, QStringLiteral("10.9.9.9"));
        const int sent = copy.link.sent - sentBefore;
        if (copy.window.count() > CMCastWindow::Capacity)
            return QStringLiteral("the window holds %1 updates").arg(copy.window.count());
        const QChar type = text.isEmpty() ? QChar() : text.front();
        const int mostSent = type == u's' ? 4 : type == u'r' ? 1 : 0;
        if (sent > mostSent)
            return QStringLiteral("one datagram made the copy send %1").arg(sent);
        if (markBefore != 0 && copy.lastSeq < markBefore)
            return QStringLiteral("the sequence mark went back from %1 to %2").arg(markBefore).arg(copy.lastSeq);
        return QString();
    }

    // Every row still shows a status a copy could have set, and a note no
    // longer than one a copy sends.
    static QString checkBoard()
    {
        const UserListModel &model = g_oClientHnd->userList().model();
        if (model.rowCount() != BoardUsers)
            return QStringLiteral("the board shows %1 rows").arg(model.rowCount());
        for (int row = 0; row < model.rowCount(); ++row) {
            const UserListItem &item = *model.item(row);
            const QString user = QString::number(item.UserID);
            if (!StatusCode::isValid(item.IconKey))
                return QStringLiteral("user %1 is drawn with the status [%2]").arg(user, item.IconKey.left(40));
            if (item.Note.size() > TextLimit::StatusNoteLength)
                return QStringLiteral("user %1 is drawn with a note of %2 characters").arg(user).arg(item.Note.size());
        }
        return QString();
    }

    Copy m_fresh{3};
    Copy m_polled{4};
};
