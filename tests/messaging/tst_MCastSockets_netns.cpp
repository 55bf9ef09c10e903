#include "TestSupport.h"
#include "foundation/Globals.h"
#include "foundation/MErrorHandler.h"
#include "messaging/CMCastWindow.h"
#include "messaging/MCastUdpTransport.h"
#include "messaging/tray/frmSysTray.h"

#include <QtTest>
#include <memory>

namespace {

// Gathers what one transport hears.
struct Heard
{
    QList<QByteArray> datagrams;
    QStringList senders;
    void listenTo(MCastUdpTransport &transport)
    {
        transport.setReceiveHandler([this](const QByteArray &datagram, const QString &from) {
            datagrams.append(datagram);
            senders.append(from);
        });
    }
};

MCastPorts testPorts()
{
    return MCastPorts::fromTexts(QStringLiteral("14005"), QStringLiteral("14009"));
}

} // namespace

class tst_MCastSockets_netns : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        REQUIRE_PRIVATE_NETWORK();
    }
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup()
    {
        CloseDebugLog();
        m_env.reset();
    }

    void threeListenersHearEveryDatagram()
    {
        MCastUdpTransport copies[3];
        Heard heard[3];
        for (int i = 0; i < 3; ++i) {
            heard[i].listenTo(copies[i]);
            copies[i].open(testPorts());
            QVERIFY(copies[i].isListening());
        }
        for (int i = 0; i < 3; ++i)
            copies[i].send("r" + QByteArray::number(i) + "#!");
        for (int i = 0; i < 3; ++i) {
            QTRY_COMPARE(heard[i].datagrams.size(), 3);
            QCOMPARE(QSet<QByteArray>(heard[i].datagrams.begin(), heard[i].datagrams.end()),
                     (QSet<QByteArray>{"r0#!", "r1#!", "r2#!"}));
            QVERIFY(!QHostAddress(heard[i].senders.first()).isNull());
        }
        QTest::qWait(100); // and nothing more
        QCOMPARE(heard[0].datagrams.size() + heard[1].datagrams.size() + heard[2].datagrams.size(), 9);
    }

    void takenPortsFallBackOrRetried()
    {
        // Other programs keep both ports to themselves: any port will do for
        // sending; the listener tries again until its port comes free.
        QUdpSocket sendHolder;
        auto listenHolder = std::make_unique<QUdpSocket>();
        QVERIFY(sendHolder.bind(QHostAddress::AnyIPv4, testPorts().send, QAbstractSocket::DontShareAddress));
        QVERIFY(listenHolder->bind(QHostAddress::AnyIPv4, testPorts().listen, QAbstractSocket::DontShareAddress));
        MCastUdpTransport transport;
        Heard heard;
        heard.listenTo(transport);
        transport.open(testPorts());
        transport.retry();
        transport.retry();
        QVERIFY(!transport.isListening());
        QVERIFY(transport.senderPort() != 0 && transport.senderPort() != testPorts().send);

        listenHolder.reset(); // as a network coming up would allow
        transport.retry();
        QVERIFY(transport.isListening());
        transport.send("r8#!");
        QTRY_COMPARE(heard.datagrams, QList<QByteArray>{"r8#!"});
        QCOMPARE(readTextFile(m_env->path("logs/error.log")).count("Systray Startup"), 1); // the listener's, once
        CloseDebugLog();
        QVERIFY(!readTextFile(m_env->path("logs/debug.log")).contains("MCast Listener got error"));
    }

    void trayWindowOpensTheLink()
    {
        m_env->useSqliteDatabase(); // no Properties table: the default ports
        g_lUserID = 42;
        MCastUdpTransport other;
        Heard heard;
        heard.listenTo(other);
        other.open(MCastPorts());
        {
            frmSysTray tray;
            QVERIFY(g_oMCastWindow);
            tray.showOffscreen();
            tray.mcast().sendUpdatePulse({77, 42, QStringLiteral("HME"), {}, 0, 0, 42});
            QTRY_COMPARE(heard.datagrams, QList<QByteArray>{"s77#!42#!HME#!#!0#!0#!"});
            // The tray's own copy came back and is answered for by this copy.
            other.send("r77#!");
            QTRY_COMPARE(heard.datagrams.size(), 3);
            QCOMPARE(heard.datagrams.last(), QByteArray("s77#!42#!HME#!#!0#!0#!"));
            QCOMPARE(g_oMCastWindow->Find("77")->OriginatorID, 42);
        }
        g_lUserID = 0;
    }

private:
    std::unique_ptr<TestEnvironment> m_env;
};

QTEST_MAIN(tst_MCastSockets_netns)
#include "tst_MCastSockets_netns.moc"
