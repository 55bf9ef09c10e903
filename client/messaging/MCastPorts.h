#pragma once

#include <QString>

// The two UDP ports of the multicast link, as the Properties table sets them.
class MCastPorts
{
public:
    static constexpr quint16 DefaultListen = 13909;
    static constexpr quint16 DefaultSend = 13905;

    quint16 listen = DefaultListen; // the group's port: every copy listens here
    quint16 send = DefaultSend;     // the port datagrams are sent from

    // When either text is not a port from 1 to 32767, both fall back to the
    // defaults: the pair is configured together.
    static MCastPorts fromTexts(const QString &sendText, const QString &listenText);
    // Reads port_send and port_lstn; a database, table or row that cannot be
    // read gives the defaults.
    static MCastPorts read();
};
