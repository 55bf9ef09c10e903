#pragma once

// A running copy as the multicast tests see it: its own window, mark and
// protocol, and a receiver that records what the datagrams asked for.

#include "messaging/CMCastWindow.h"
#include "messaging/IMCastReceiver.h"
#include "messaging/MCastProtocol.h"

#include <QMap>
#include <QStringList>
#include <QVector>

class RecordingChatWindow : public IChatWindow
{
public:
    QString room;
    bool visible = false;
    QStringList lines, infos, joined, left; // lines as "name: text"

    QString roomId() const override { return room; }
    bool isVisible() const override { return visible; }
    void openRoom(const QString &roomId) override { room = roomId; lines.clear(); visible = true; }
    void appendMessage(const QString &name, const QString &text) override { lines.append(name + QStringLiteral(": ") + text); }
    void setInfo(const QString &info) override { infos.append(info); }
    void join(const QString &name) override { joined.append(name); }
    void leave(const QString &name) override { left.append(name); }
};

class RecordingReceiver : public IMCastReceiver
{
public:
    struct Row { QString status; QString note; double etd = 0; double eta = 0; };
    struct Notice { QString title; QString from; QString message; QString joinRoomId; };

    qint32 userId = 0;
    QString userName;
    qint64 mark = 0;
    QMap<qint32, Row> rows; // what the user list shows, by user id
    int viewUpdates = 0;
    QVector<qint32> checkIns;
    QVector<Notice> notices;
    RecordingChatWindow chat;

    qint32 signedInUserId() const override { return userId; }
    QString signedInUserName() const override { return userName; }
    qint64 polledMark() const override { return mark; }
    void updateView(qint32 id, const QString &status, const QString &note, double etd, double eta) override
    {
        rows[id] = {status, note, etd, eta};
        ++viewUpdates;
    }
    void showCheckInDialog(qint32 id, const QString &, double) override { checkIns.append(id); }
    void showNotification(const QString &title, const QString &from, const QString &message, const QString &room) override
    {
        notices.append({title, from, message, room});
    }
    IChatWindow &chatWindow() override { return chat; }
};

class MCastTestPeer
{
public:
    MCastTestPeer(IMCastTransport &transport, qint32 userId, const QString &userName)
        : protocol(window, lastSeq, transport, receiver)
    {
        receiver.userId = userId;
        receiver.userName = userName;
    }

    // Announces a status change of this copy's own user, as a status change does.
    void changeStatus(qint32 seq, const QString &status)
    {
        protocol.sendUpdatePulse({seq, receiver.userId, status, QString(), 0, 0, receiver.userId});
    }

    CMCastWindow window;
    qint32 lastSeq = 0;
    RecordingReceiver receiver;
    MCastProtocol protocol;
};
