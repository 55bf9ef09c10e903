#pragma once

#include "IMCastTransport.h"

#include <QList>
#include <QRandomGenerator>
#include <QVector>
#include <memory>
#include <vector>

// An in-memory stand-in for the multicast group, for exercising the protocol
// without sockets. Every datagram sent goes to every endpoint, the sender's
// included, as the network does; the bus can lose, repeat and reorder them.
// Deliveries wait in a queue until deliverOne() or deliverAll() hands them
// over, so datagrams sent by a handler do not re-enter it.
class MCastBus
{
public:
    class Endpoint : public IMCastTransport
    {
    public:
        Endpoint(MCastBus &bus, QString address) : m_bus(bus), m_address(std::move(address)) {}
        void send(const QByteArray &datagram) override { m_bus.post(datagram, m_address); }
        void setReceiveHandler(ReceiveHandler handler) override { m_handler = std::move(handler); }

    private:
        friend class MCastBus;
        MCastBus &m_bus;
        QString m_address;
        ReceiveHandler m_handler;
    };

    explicit MCastBus(quint32 seed = 1) : m_random(seed) {}

    // A new endpoint with its own address ("10.0.0.1", "10.0.0.2", ...).
    Endpoint &attach();

    double dropRate = 0;   // chance that one delivery to another endpoint is lost
    double repeatRate = 0; // chance that one delivery arrives twice
    bool reorder = false;  // deliveries leave the queue in random order

    // Hands over one queued delivery; false when the queue is empty.
    bool deliverOne();
    // Hands over deliveries until the queue stays empty; gives how many.
    int deliverAll();

    int pending() const { return int(m_queue.size()); }
    // Every datagram sent since the bus was made, in order.
    const QList<QByteArray> &sent() const { return m_sent; }

private:
    struct Delivery { Endpoint *to; QByteArray datagram; QString from; };

    void post(const QByteArray &datagram, const QString &from);
    bool chance(double rate);

    QRandomGenerator m_random;
    std::vector<std::unique_ptr<Endpoint>> m_endpoints;
    QVector<Delivery> m_queue;
    QList<QByteArray> m_sent;
};
