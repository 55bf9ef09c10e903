#pragma once

#include "IMCastTransport.h"
#include "MCastPorts.h"

#include <QHostAddress>
#include <QObject>
#include <QUdpSocket>

// The multicast link over UDP: a sender socket that sends to the group and a
// listener bound to the group's port and joined to it. Several copies on one
// machine share the listen port; a sender whose port is taken sends from
// another. What fails at open (no network yet) is tried again by retry(),
// which the tray window's timer calls; each failure is logged once.
class MCastUdpTransport : public QObject, public IMCastTransport
{
    Q_OBJECT
public:
    static QHostAddress groupAddress(); // 224.168.100.139

    explicit MCastUdpTransport(QObject *parent = nullptr);

    void open(const MCastPorts &ports);
    void retry();

    bool isListening() const { return m_joined; }
    quint16 senderPort() const { return m_sender.localPort(); }

    void send(const QByteArray &datagram) override;
    void setReceiveHandler(ReceiveHandler handler) override { m_handler = std::move(handler); }

private:
    enum Step { BindSender, BindListener, JoinGroup, StepCount };

    bool bindSender();
    bool bindListener();
    bool joinGroup();
    void failed(Step step, const QUdpSocket &socket);
    void readPending();
    void socketError(const QUdpSocket &socket, const QString &who);

    MCastPorts m_ports;
    bool m_opened = false;
    bool m_senderBound = false;
    bool m_listenerBound = false;
    bool m_joined = false;
    bool m_reported[StepCount] = {};
    bool m_settingUp = false; // set-up failures are logged once, not per attempt
    QUdpSocket m_sender;
    QUdpSocket m_listener;
    ReceiveHandler m_handler;
};
