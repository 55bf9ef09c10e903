#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// Carries datagrams to every running copy (this one included) and hands over
// those that arrive. The program uses UDP multicast; tests use an in-memory bus.
class IMCastTransport
{
public:
    using ReceiveHandler = std::function<void(const QByteArray &datagram, const QString &fromAddress)>;

    virtual ~IMCastTransport() = default;

    // Sends one datagram to the group; raises AppError when it cannot.
    virtual void send(const QByteArray &datagram) = 0;
    virtual void setReceiveHandler(ReceiveHandler handler) = 0;
};
