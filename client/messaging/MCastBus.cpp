#include "MCastBus.h"

MCastBus::Endpoint &MCastBus::attach()
{
    const QString address = QStringLiteral("10.0.0.%1").arg(m_endpoints.size() + 1);
    m_endpoints.push_back(std::make_unique<Endpoint>(*this, address));
    return *m_endpoints.back();
}

bool MCastBus::deliverOne()
{
    if (m_queue.isEmpty())
        return false;
    const qsizetype index = reorder ? qsizetype(m_random.bounded(quint32(m_queue.size()))) : 0;
    const Delivery delivery = m_queue.takeAt(index);
    if (delivery.to->m_handler)
        delivery.to->m_handler(delivery.datagram, delivery.from);
    return true;
}

int MCastBus::deliverAll()
{
    int count = 0;
    while (deliverOne())
        ++count;
    return count;
}

void MCastBus::post(const QByteArray &datagram, const QString &from)
{
    m_sent.append(datagram);
    for (const auto &endpoint : m_endpoints) {
        // A copy always hears itself: loopback never leaves the machine.
        const bool own = endpoint->m_address == from;
        if (!own && chance(dropRate))
            continue;
        m_queue.append({endpoint.get(), datagram, from});
        if (chance(repeatRate))
            m_queue.append({endpoint.get(), datagram, from});
    }
}

bool MCastBus::chance(double rate)
{
    return rate > 0 && m_random.generateDouble() < rate;
}
