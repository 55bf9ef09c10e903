#include "MCastUdpTransport.h"

#include "foundation/MErrorHandler.h"
#include "platform/AppError.h"

#include <QNetworkDatagram>

namespace {

constexpr auto kShared = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;

} // namespace

QHostAddress MCastUdpTransport::groupAddress()
{
    return QHostAddress(QStringLiteral("224.168.100.139"));
}

MCastUdpTransport::MCastUdpTransport(QObject *parent)
    : QObject(parent)
{
    connect(&m_listener, &QUdpSocket::readyRead, this, &MCastUdpTransport::readPending);
    connect(&m_listener, &QUdpSocket::errorOccurred, this,
            [this] { socketError(m_listener, QStringLiteral("Listener")); });
    connect(&m_sender, &QUdpSocket::errorOccurred, this, [this] { socketError(m_sender, QStringLiteral("Sender")); });
}

void MCastUdpTransport::open(const MCastPorts &ports)
{
    m_ports = ports;
    m_opened = true;
    retry();
}

void MCastUdpTransport::retry()
{
    if (!m_opened)
        return;
    m_settingUp = true;
    if (!m_senderBound)
        m_senderBound = bindSender();
    if (!m_listenerBound)
        m_listenerBound = bindListener();
    if (m_listenerBound && !m_joined)
        m_joined = joinGroup();
    m_settingUp = false;
}

bool MCastUdpTransport::bindSender()
{
    if (m_sender.bind(QHostAddress::AnyIPv4, m_ports.send, kShared))
        return true;
    // Another program holds the port alone; any port will do for sending.
    if (m_sender.bind(QHostAddress::AnyIPv4, 0, kShared)) {
        WriteDebugLog(QStringLiteral("MCast Sender port %1 is taken, sending from port %2")
                          .arg(m_ports.send)
                          .arg(m_sender.localPort()));
        return true;
    }
    failed(BindSender, m_sender);
    return false;
}

bool MCastUdpTransport::bindListener()
{
    if (m_listener.bind(QHostAddress::AnyIPv4, m_ports.listen, kShared))
        return true;
    failed(BindListener, m_listener);
    return false;
}

bool MCastUdpTransport::joinGroup()
{
    if (m_listener.joinMulticastGroup(groupAddress()))
        return true;
    failed(JoinGroup, m_listener);
    return false;
}

void MCastUdpTransport::failed(Step step, const QUdpSocket &socket)
{
    if (m_reported[step])
        return;
    m_reported[step] = true;
    WriteErrorLog(qint32(socket.error()), socket.errorString(), QStringLiteral("Systray Startup"));
}

void MCastUdpTransport::send(const QByteArray &datagram)
{
    if (!m_opened)
        throw AppError(qint32(QAbstractSocket::UnknownSocketError), QStringLiteral("MCastUdpTransport.send"),
                       QStringLiteral("The multicast link is not open"));
    if (m_sender.writeDatagram(datagram, groupAddress(), m_ports.listen) < 0)
        throw AppError(qint32(m_sender.error()), QStringLiteral("MCastUdpTransport.send"), m_sender.errorString());
}

void MCastUdpTransport::readPending()
{
    while (m_listener.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_listener.receiveDatagram();
        if (datagram.isValid() && m_handler)
            m_handler(datagram.data(), datagram.senderAddress().toString());
    }
}

void MCastUdpTransport::socketError(const QUdpSocket &socket, const QString &who)
{
    if (m_settingUp)
        return;
    WriteDebugLog(QStringLiteral("MCast %1 got error %2 %3 from %4")
                      .arg(who, QString::number(int(socket.error())), socket.errorString(),
                           QStringLiteral("MCastUdpTransport")));
}
