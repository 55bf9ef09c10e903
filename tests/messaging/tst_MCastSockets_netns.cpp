#include "TestSupport.h"
#include "foundation/MErrorHandler.h"
#include "messaging/MCastUdpTransport.h"

#include <QtTest>
#include <memory>

class tst_MCastSockets_netns : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_PRIVATE_NETWORK();
    }

    void takenPortsFallBackOrRetried()
    {
        TestEnvironment env;
        const MCastPorts ports = MCastPorts::fromTexts(QStringLiteral("40005"), QStringLiteral("40009"));
        // Other programs keep both ports to themselves: any port will do for
        // sending; the listener tries again until its port comes free.
        QUdpSocket sendHolder;
        auto listenHolder = std::make_unique<QUdpSocket>();
        QVERIFY(sendHolder.bind(QHostAddress::AnyIPv4, ports.send, QAbstractSocket::DontShareAddress));
        QVERIFY(listenHolder->bind(QHostAddress::AnyIPv4, ports.listen, QAbstractSocket::DontShareAddress));
        MCastUdpTransport transport;
        QList<QByteArray> heard;
        transport.setReceiveHandler([&](const QByteArray &datagram, const QString &) { heard << datagram; });
        transport.open(ports);
        transport.retry();
        transport.retry();
        QVERIFY(!transport.isListening());
        QVERIFY(transport.senderPort() != 0 && transport.senderPort() != ports.send);

        listenHolder.reset(); // as a network coming up would allow
        transport.retry();
        QVERIFY(transport.isListening());
        transport.send("r8#!");
        QTRY_COMPARE_WITH_TIMEOUT(heard, QList<QByteArray>{"r8#!"}, stretched(5000));
        QCOMPARE(readTextFile(env.path("logs/error.log")).count("Systray Startup"), 1); // the listener's, once
        CloseDebugLog();
        QVERIFY(!readTextFile(env.path("logs/debug.log")).contains("MCast Listener got error"));
    }
};

QTEST_MAIN(tst_MCastSockets_netns)
#include "tst_MCastSockets_netns.moc"
