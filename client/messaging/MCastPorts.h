#pragma once

#include <QString>
#include <optional>

// The two UDP ports of the multicast link, as the Properties table sets them.
class MCastPorts
{
public:
    static constexpr quint16 DefaultListen = 13909;
    static constexpr quint16 DefaultSend = 13905;

    quint16 listen = DefaultListen; // the group's port: every copy listens here
    quint16 send = DefaultSend;     // the port datagrams are sent from

    // A port an ordinary user may bind (from 1024 to 65535), written as digits
    // alone with blanks around them allowed; empty for anything else.
    static std::optional<quint16> portOf(const QString &text);
    // When either text is not such a port, both fall back to the defaults:
    // the pair is configured together.
    static MCastPorts fromTexts(const QString &sendText, const QString &listenText);
    // Reads port_send and port_lstn; a database, table or row that cannot be
    // read gives the defaults.
    static MCastPorts read();
};
