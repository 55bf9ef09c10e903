#include "MCastTestPeer.h"
#include "TestSupport.h"
#include "foundation/LogFile.h"
#include "foundation/MErrorHandler.h"
#include "messaging/MCastBus.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/TextLimit.h"

#include <QtTest>
#include <memory>

namespace {

class FailingTransport : public IMCastTransport
{
public:
    void send(const QByteArray &) override { throw AppError(10, "MCastUdpTransport.send", "Network is unreachable"); }
    void setReceiveHandler(ReceiveHandler) override {}
};

class FailingViewReceiver : public RecordingReceiver
{
public:
    void updateView(qint32, const QString &, const QString &, double, double) override
    {
        throw AppError(91, "CClientHnd.updateView", "Object variable not set");
    }
};

} // namespace

class tst_MCastBus : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_bus = std::make_unique<MCastBus>();
        Clock::pin(QDateTime(QDate(2025, 12, 9), QTime(10, 0, 0, 0)));
    }

    void cleanup()
    {
        m_peers.clear();
        m_bus.reset();
        m_stranger = nullptr;
        CloseDebugLog();
        m_env.reset();
        Clock::unpin();
        LogFile::limits = {};
    }

    void ownUpdateAnsweredOnlyByOriginator()
    {
        MCastTestPeer &ann = peer(1, "Ann");
        MCastTestPeer &bob = peer(2, "Bob");
        MCastTestPeer &cy = peer(3, "Cy");
        ann.changeStatus(200, "OUT");
        m_bus->deliverAll();
        QCOMPARE(ann.window.Find("200")->OriginatorID, 1); // the loop-back did not replace it

        // Both others ask at once: one answer serves them all; two seconds on, one more.
        for (const int wait : {0, 2000}) {
            Clock::advance(wait);
            bob.protocol.sendUpdatePulseResend(200);
            cy.protocol.sendUpdatePulseResend(200);
            m_bus->deliverAll();
        }
        QCOMPARE(m_bus->sent().count("s200#!1#!OUT#!#!0#!0#!"), 3);

        // Bob holds an update Cy sent; Bob never answers for it.
        cy.changeStatus(201, "LNC");
        m_bus->deliverAll();
        ann.protocol.sendUpdatePulseResend(201);
        m_bus->deliverAll();
        QCOMPARE(m_bus->sent().count("s201#!3#!LNC#!#!0#!0#!"), 2);
    }

    void staleRepeatedAndPassedUpdates()
    {
        MCastTestPeer &bob = peer(2, "Bob");
        // The older update of user 5 is stored, not drawn; another user's is drawn.
        fromStranger({"s210#!5#!OUT#!#!0#!0#!", "s205#!5#!INN#!#!0#!0#!", "s204#!6#!LNC#!#!0#!0#!"});
        QCOMPARE(bob.receiver.rows.value(5).status + bob.receiver.rows.value(6).status, QStringLiteral("OUTLNC"));
        QVERIFY(bob.receiver.viewUpdates == 2 && bob.window.contains("205"));
        fromStranger({"s210#!5#!OUT#!#!0#!0#!"}); // the same again: drawn again, stored once
        QCOMPARE(bob.receiver.viewUpdates, 3);
        QCOMPARE(bob.window.count(), 3);

        // The poll has read up to counter 240: an update numbered 239 (counter
        // 240) or below is what the list already shows, or older.
        bob.receiver.mark = bob.lastSeq = 240;
        bob.receiver.viewUpdates = 0;
        bob.receiver.checkIns.clear();
        fromStranger({"s239#!7#!OUT#!late#!0#!0#!", "s212#!8#!OUT#!later#!0#!0#!"});
        QVERIFY(bob.receiver.viewUpdates == 0 && bob.receiver.checkIns.isEmpty());
        QVERIFY(bob.window.contains("239")); // still kept for the gap check
        fromStranger({"s240#!7#!INN#!fresh#!0#!0#!"});
        QCOMPARE(bob.receiver.rows.value(7).note, QStringLiteral("fresh"));
        QCOMPARE(bob.receiver.checkIns, QVector<qint32>{7});
    }

    void malformedForgedAndFloodingUpdates()
    {
        MCastTestPeer &bob = peer(2, "Bob");
        bob.receiver.mark = 500;
        fromStranger({"s12#!x#!OUT#!n#!0#!0#!", "s12#!7#!OUT#!n#!0#!", "s10501#!7#!OUT#!forged#!0#!0#!",
                      "s510#!7#!<b>BOLD</b>#!forged#!0#!0#!", "s511#!7#!out#!" + QByteArray(20000, 'z') + "#!0#!0#!",
                      "s512#!7#!OUT#!" + QByteArray(60000, 'x') + "#!0#!0#!", "r#!", "x12#!", ""});
        QVERIFY(bob.receiver.viewUpdates == 0 && bob.window.count() == 0 && bob.lastSeq == 0);

        fromStranger({"s10500#!7#!OUT#!real#!0#!0#!", "s600#!8#!OUT#!" + QByteArray(300, 'y') + "#!0#!0#!"});
        QCOMPARE(bob.receiver.rows.value(7).note, QStringLiteral("real"));
        QCOMPARE(bob.receiver.rows.value(8).note, QString(TextLimit::StatusNoteLength, u'y'));
        CloseDebugLog();
        const QString log = readTextFile(m_env->path("logs/debug.log"));
        QVERIFY(log.size() < 5000);
        QVERIFY(log.contains("MCast dropped update with an invalid status code [s510#!7#!<b>BOLD</b>#!"));
        QVERIFY(log.contains("MCast dropped malformed datagram [s12#!x#!OUT#!n#!0#!0#!]"));
        QVERIFY(log.contains("MCast ignored update far above the poll's mark [s10501#!"));

        // A flood keeps the debug log under its cap.
        LogFile::limits.maxBytes = 16 * 1024;
        for (int i = 0; i < 100000; ++i)
            bob.protocol.dataArrival(QStringLiteral("s%1#!7#!%2#!flood %3#!0#!0#!")
                                         .arg(1000 + i).arg(i % 10 ? "bad" : "OUT").arg(i).toLatin1(),
                                     "10.6.6.6");
        CloseDebugLog();
        for (const char *name : {"logs/debug.log", "logs/debug.log.1"})
            QVERIFY(QFileInfo(m_env->path(name)).size() <= LogFile::limits.maxBytes);
        QVERIFY(!QFileInfo::exists(m_env->path("logs/debug.log.2")));
    }

    void instantMessageRecipients()
    {
        MCastTestPeer &five = peer(5, "Eve");
        MCastTestPeer &seventeen = peer(17, "Sam");
        MCastTestPeer &other = peer(117, "Ole");
        five.protocol.sendInstantMessage("Eve", "/5/17/", "Lunch?");
        five.protocol.sendInstantMessage("Eve", "/117/", "Hi");
        five.protocol.sendInstantMessage("Eve", "*", "Cake #! in the kitchen " + QString(5000, u'b'));
        m_bus->deliverAll();
        QCOMPARE(noticeCounts(), (QList<qsizetype>{2, 2, 2})); // the sender is among the recipients
        QCOMPARE(seventeen.receiver.notices.first().message + other.receiver.notices.first().message, QStringLiteral("Lunch?Hi"));
        for (MCastTestPeer *p : {&five, &seventeen, &other}) // a long text is cut to the longest any copy sends
            QCOMPARE(p->receiver.notices.last().message,
                     ("Cake #! in the kitchen " + QString(5000, u'b')).left(MCastProtocol::MaxTextLength));
    }

    void chatInvitationOpensRoom()
    {
        MCastTestPeer &ann = peer(1, "Ann Lee");
        MCastTestPeer &bob = peer(2, "Bob");
        MCastTestPeer &cy = peer(3, "Cy");
        QString room;
        ann.protocol.sendChatInvitation("Ann Lee", "2", room);
        QCOMPARE(room, "Ann Lee" + DateUtil::numberText(Clock::nowDays()));
        QVERIFY(ann.receiver.chat.visible && ann.receiver.chat.room == room);

        // A second invitation from the open room keeps the room.
        Clock::advance(10);
        QString same = room;
        ann.protocol.sendChatInvitation("Ann Lee", "3", same);
        QCOMPARE(same, room);
        m_bus->deliverAll();
        QCOMPARE(noticeCounts(), (QList<qsizetype>{0, 1, 1}));
        QCOMPARE(bob.receiver.notices.first().from + bob.receiver.notices.first().joinRoomId, "Ann Lee" + room);

        // Bob accepts: his own "j" reaches his own window too.
        bob.receiver.chat.openRoom(room);
        bob.protocol.sendJoinChat("Bob", room);
        bob.protocol.sendLeaveChat("Bob", room);
        m_bus->deliverAll();
        QCOMPARE((QList<QStringList>{ann.receiver.chat.joined, bob.receiver.chat.joined, cy.receiver.chat.joined,
                                     ann.receiver.chat.left}),
                 (QList<QStringList>{{"Bob"}, {"Bob"}, {}, {"Bob"}}));
    }

    void chatLinesStayInTheirRoomAndAreNeverShownTwice()
    {
        MCastTestPeer &ann = peer(1, "Ann");
        MCastTestPeer &bob = peer(2, "Bob");
        MCastTestPeer &cy = peer(3, "Cy");
        MCastTestPeer &dan = peer(4, "Dan");
        m_bus->reorder = true;
        m_bus->repeatRate = 0.5;
        for (MCastTestPeer *p : {&ann, &bob})
            p->receiver.chat.openRoom("Ann46000.5");
        cy.receiver.chat.openRoom("Cy46000.7");
        // Both type within the same second, a few milliseconds apart.
        const QString longLine = QString(3999, u'a') + QStringLiteral("\U0001F600") + QStringLiteral("tail");
        ann.protocol.sendInstantChatMessage("Ann", "Ann46000.5", "one");
        Clock::advance(3);
        bob.protocol.sendInstantChatMessage("Bob", "Ann46000.5", "hi");
        Clock::advance(3);
        ann.protocol.sendInstantChatMessage("Ann", "Ann46000.5", longLine);
        ann.protocol.sendChatWriting("Ann", "Ann46000.5");
        // No room open: even a datagram with an empty room id is not shown.
        fromStranger({"c46000.1#!Eve#!#!psst#!"});
        QCOMPARE(ann.receiver.chat.lines, QStringList{"Bob: hi"}); // never his own line, never twice
        QCOMPARE(bob.receiver.chat.lines.size(), 2); // in any order, but once each
        QVERIFY(bob.receiver.chat.lines.contains("Ann: one"));
        QVERIFY(bob.receiver.chat.lines.contains("Ann: " + QString(3999, u'a'))); // the emoji is not cut in half
        QVERIFY(bob.receiver.chat.infos.contains("Ann is writing a message"));
        QVERIFY(cy.receiver.chat.lines.isEmpty() && cy.receiver.chat.infos.isEmpty() && dan.receiver.chat.lines.isEmpty());
    }

    void failuresLoggedAndPassedOver()
    {
        FailingTransport transport;
        MCastTestPeer ann(transport, 1, "Ann");
        ann.changeStatus(7, "OUT");
        QString room;
        ann.protocol.sendChatInvitation("Ann", "2", room); // passed over quietly
        ann.protocol.sendInstantMessage("Ann", "*", "x");
        QVERIFY(ann.window.contains("7")); // kept for resend requests all the same

        MCastTestPeer &bob = peer(2, "Bob");
        FailingViewReceiver failing;
        failing.userId = 2;
        bob.protocol.setReceiver(failing);
        bob.lastSeq = 100;
        fromStranger({"s103#!5#!OUT#!#!0#!0#!"});
        QCOMPARE(failing.checkIns, QVector<qint32>{5}); // the next step still ran
        QVERIFY(bob.window.contains("103"));
        QCOMPARE(m_bus->sent().count("r101#!"), 1);
        const QString log = readTextFile(m_env->path("logs/error.log"));
        QCOMPARE(log.count("Network is unreachable"), 2);
        for (const char *logged : {"Systray sendUpdatePulse", "Systray sendInstantMessage",
                                   "frmSysTray.insockListener_DataArrival\\x0d\\x0aCClientHnd.updateView", "Object variable not set"})
            QVERIFY2(log.contains(QLatin1String(logged)), logged);
    }

private:
    MCastTestPeer &peer(qint32 userId, const QString &name)
    {
        m_peers.push_back(std::make_unique<MCastTestPeer>(m_bus->attach(), userId, name));
        return *m_peers.back();
    }

    // Sends the datagrams from a copy that has no peer of its own, then delivers everything.
    void fromStranger(std::initializer_list<QByteArray> datagrams)
    {
        if (!m_stranger)
            m_stranger = &m_bus->attach();
        for (const QByteArray &datagram : datagrams)
            m_stranger->send(datagram);
        m_bus->deliverAll();
    }

    // How many notices each peer has shown, in the order the peers were made.
    QList<qsizetype> noticeCounts() const
    {
        QList<qsizetype> counts;
        for (const auto &p : m_peers)
            counts << p->receiver.notices.size();
        return counts;
    }

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<MCastBus> m_bus;
    std::vector<std::unique_ptr<MCastTestPeer>> m_peers;
    MCastBus::Endpoint *m_stranger = nullptr;
};

QTEST_GUILESS_MAIN(tst_MCastBus)
#include "tst_MCastBus.moc"
