#include "MCastTestPeer.h"
#include "TestSupport.h"
#include "foundation/LogFile.h"
#include "foundation/MErrorHandler.h"
#include "foundation/TextLimit.h"
#include "messaging/MCastBus.h"
#include "messaging/MCastCodec.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"

#include <QtTest>
#include <memory>

namespace {

int countStartingWith(const MCastBus &bus, const QByteArray &prefix, qsizetype from = 0)
{
    int count = 0;
    for (qsizetype i = from; i < bus.sent().size(); ++i)
        count += bus.sent().at(i).startsWith(prefix) ? 1 : 0;
    return count;
}

QString shown(const RecordingReceiver::Notice &notice)
{
    return QStringList{notice.title, notice.from, notice.message, notice.joinRoomId}.join(u'|');
}

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
        QCOMPARE(bob.window.Find("200")->OriginatorID, -1);

        // Both others ask at once: one answer serves them all.
        bob.protocol.sendUpdatePulseResend(200);
        cy.protocol.sendUpdatePulseResend(200);
        m_bus->deliverAll();
        QCOMPARE(m_bus->sent().count("s200#!1#!OUT#!#!0#!0#!"), 2);

        Clock::advance(2000);
        cy.protocol.sendUpdatePulseResend(200);
        m_bus->deliverAll();
        QCOMPARE(m_bus->sent().count("s200#!1#!OUT#!#!0#!0#!"), 3);

        // Bob holds an update Cy sent; Bob never answers for it.
        cy.changeStatus(201, "LNC");
        m_bus->deliverAll();
        const qsizetype before = m_bus->sent().size();
        ann.protocol.sendUpdatePulseResend(201);
        m_bus->deliverAll();
        QCOMPARE(countStartingWith(*m_bus, "s201#!", before), 1);
        QCOMPARE(cy.window.Find("201")->OriginatorID, 3);
    }

    void staleAndRepeatedUpdates()
    {
        MCastTestPeer &bob = peer(2, "Bob");
        MCastBus::Endpoint &other = m_bus->attach();
        other.send("s210#!5#!OUT#!#!0#!0#!");
        other.send("s205#!5#!INN#!#!0#!0#!"); // older: stored, not drawn
        m_bus->deliverAll();
        QCOMPARE(bob.receiver.rows.value(5).status, QStringLiteral("OUT"));
        QCOMPARE(bob.receiver.viewUpdates, 1);
        QCOMPARE(bob.receiver.checkIns.size(), 1);
        QVERIFY(bob.window.contains("205"));

        other.send("s210#!5#!OUT#!#!0#!0#!"); // the same again: drawn again, stored once
        m_bus->deliverAll();
        QCOMPARE(bob.receiver.viewUpdates, 2);
        QCOMPARE(bob.window.count(), 2);
    }

    void malformedAndForgedUpdatesIgnored()
    {
        MCastTestPeer &bob = peer(2, "Bob");
        bob.receiver.mark = 500;
        MCastBus::Endpoint &other = m_bus->attach();
        other.send("s12#!x#!OUT#!n#!0#!0#!");
        other.send("s12#!7#!OUT#!n#!0#!");
        other.send("s10501#!7#!OUT#!forged#!0#!0#!");
        other.send("s510#!7#!<b>BOLD</b>#!forged#!0#!0#!");
        other.send("s511#!7#!out#!" + QByteArray(20000, 'z') + "#!0#!0#!");
        other.send("s512#!7#!OUT#!" + QByteArray(60000, 'x') + "#!0#!0#!");
        other.send("r#!");
        other.send("x12#!");
        other.send("");
        m_bus->deliverAll();
        QCOMPARE(bob.receiver.viewUpdates, 0);
        QCOMPARE(bob.window.count(), 0);
        QCOMPARE(bob.lastSeq, 0);

        other.send("s10500#!7#!OUT#!real#!0#!0#!");
        other.send("s600#!8#!OUT#!" + QByteArray(300, 'y') + "#!0#!0#!");
        m_bus->deliverAll();
        QCOMPARE(bob.receiver.rows.value(7).note, QStringLiteral("real"));
        QCOMPARE(bob.receiver.rows.value(8).note, QString(TextLimit::StatusNoteLength, u'y'));
        CloseDebugLog();
        const QString log = readTextFile(m_env->path("logs/debug.log"));
        QVERIFY(log.size() < 5000);
        QVERIFY(log.contains("MCast dropped update with an invalid status code [s510#!7#!<b>BOLD</b>#!"));
        QVERIFY(log.contains("MCast dropped malformed datagram [s12#!x#!OUT#!n#!0#!0#!]"));
        QVERIFY(log.contains("MCast ignored update far above the poll's mark [s10501#!"));
        QVERIFY(log.contains("Mcast listener received [x12#!] from [10.0.0.2]"));
        QVERIFY(log.contains("Status Change Alert: Seq=10500, UserID=7, Status=OUT, Note=real, "
                             "ETD=12:00:00 AM, ETA=12:00:00 AM"));
    }

    void floodKeepsTheDebugLogUnderItsCap()
    {
        LogFile::limits.maxBytes = 16 * 1024;
        MCastTestPeer &bob = peer(2, "Bob");
        for (int i = 0; i < 100000; ++i) {
            const QByteArray status = i % 10 ? "bad" : "OUT";
            bob.protocol.dataArrival("s" + QByteArray::number(1000 + i) + "#!7#!" + status + "#!flood "
                                         + QByteArray::number(i) + "#!0#!0#!",
                                     "10.6.6.6");
        }
        CloseDebugLog();
        for (const char *name : {"logs/debug.log", "logs/debug.log.1"})
            QVERIFY(QFileInfo(m_env->path(name)).size() <= LogFile::limits.maxBytes);
        QVERIFY(!QFileInfo::exists(m_env->path("logs/debug.log.2")));
    }

    void updateTheReaderHasPassedNotDrawn()
    {
        // The poll has read up to counter 40: an update numbered 39 (counter 40)
        // or below is what the list already shows, or older.
        MCastTestPeer &bob = peer(2, "Bob");
        bob.receiver.mark = 40;
        bob.lastSeq = 40;
        MCastBus::Endpoint &other = m_bus->attach();
        other.send("s39#!7#!OUT#!late#!0#!0#!");
        other.send("s12#!8#!OUT#!later#!0#!0#!");
        m_bus->deliverAll();
        QCOMPARE(bob.receiver.viewUpdates, 0);
        QVERIFY(bob.receiver.checkIns.isEmpty());
        QVERIFY(bob.window.contains("39")); // still kept for the gap check
        other.send("s40#!7#!INN#!fresh#!0#!0#!");
        m_bus->deliverAll();
        QCOMPARE(bob.receiver.rows.value(7).note, QStringLiteral("fresh"));
        QCOMPARE(bob.receiver.checkIns, QVector<qint32>{7});
    }

    void instantMessageRecipients()
    {
        MCastTestPeer &five = peer(5, "Eve");
        MCastTestPeer &seventeen = peer(17, "Sam");
        MCastTestPeer &other = peer(117, "Ole");
        five.protocol.sendInstantMessage("Eve", "/5/17/", "Lunch?");
        m_bus->deliverAll();
        QCOMPARE(five.receiver.notices.size(), 1); // the sender is among the recipients
        QCOMPARE(seventeen.receiver.notices.size(), 1);
        QCOMPARE(other.receiver.notices.size(), 0);
        QCOMPARE(shown(seventeen.receiver.notices.first()), QStringLiteral("Qel Instant Message|Message from Eve...|Lunch?|"));

        five.protocol.sendInstantMessage("Eve", "/117/", "Hi");
        m_bus->deliverAll();
        QCOMPARE(seventeen.receiver.notices.size(), 1);
        QCOMPARE(other.receiver.notices.size(), 1);

        five.protocol.sendInstantMessage("Eve", "*", "Cake #! in the kitchen");
        m_bus->deliverAll();
        for (MCastTestPeer *p : {&five, &seventeen, &other})
            QCOMPARE(p->receiver.notices.last().message, QStringLiteral("Cake #! in the kitchen"));
    }

    void chatInvitationOpensRoom()
    {
        MCastTestPeer &ann = peer(1, "Ann Lee");
        MCastTestPeer &bob = peer(2, "Bob");
        MCastTestPeer &cy = peer(3, "Cy");
        QString room;
        ann.protocol.sendChatInvitation("Ann Lee", "2", room);
        const QString id = DateUtil::numberText(Clock::nowDays());
        QCOMPARE(room, "Ann Lee" + id);
        QCOMPARE(ann.receiver.chat.room, room);
        QVERIFY(ann.receiver.chat.visible);
        QCOMPARE(ann.protocol.lastMsgId(), id);
        QCOMPARE(m_bus->sent().count(("i" + id + "#!Ann Lee#!2#!" + room + "#!").toUtf8()), 1);

        // A second invitation from the open room keeps the room.
        Clock::advance(10);
        QString same = room;
        ann.protocol.sendChatInvitation("Ann Lee", "3", same);
        QCOMPARE(same, room);
        m_bus->deliverAll();

        QCOMPARE(ann.receiver.notices.size(), 0);
        QCOMPARE(bob.receiver.notices.size(), 1);
        QCOMPARE(cy.receiver.notices.size(), 1);
        QCOMPARE(shown(bob.receiver.notices.first()),
                 "Qel Chat Room Invite|Ann Lee|Invites you to chat... Do you accept?|" + room);

        // Bob accepts: his own "j" reaches his own window too.
        bob.receiver.chat.openRoom(room);
        bob.protocol.sendJoinChat("Bob", room);
        m_bus->deliverAll();
        QCOMPARE(ann.receiver.chat.joined, QStringList{"Bob"});
        QCOMPARE(bob.receiver.chat.joined, QStringList{"Bob"});
        QVERIFY(cy.receiver.chat.joined.isEmpty());
        bob.protocol.sendLeaveChat("Bob", room);
        m_bus->deliverAll();
        QCOMPARE(ann.receiver.chat.left, QStringList{"Bob"});
    }

    void chatLinesStayInTheirRoom()
    {
        MCastTestPeer &ann = peer(1, "Ann");
        MCastTestPeer &bob = peer(2, "Bob");
        MCastTestPeer &cy = peer(3, "Cy");
        ann.receiver.chat.openRoom("Ann46000.5");
        bob.receiver.chat.openRoom("Ann46000.5");
        cy.receiver.chat.openRoom("Cy46000.7");
        ann.protocol.sendInstantChatMessage("Ann", "Ann46000.5", "hello");
        ann.protocol.sendChatWriting("Ann", "Ann46000.5");
        m_bus->deliverAll();
        QCOMPARE(bob.receiver.chat.lines, QStringList{"Ann: hello"});
        QCOMPARE(bob.receiver.chat.infos, QStringList{"Ann is writing a message"});
        QVERIFY(cy.receiver.chat.lines.isEmpty() && cy.receiver.chat.infos.isEmpty());

        // No room open: even a datagram with an empty room id is not shown.
        MCastTestPeer &dan = peer(4, "Dan");
        m_bus->attach().send("c46000.1#!Eve#!#!psst#!");
        m_bus->deliverAll();
        QVERIFY(dan.receiver.chat.lines.isEmpty());
    }

    void ownLinesNeverShownTwice()
    {
        MCastTestPeer &ann = peer(1, "Ann");
        MCastTestPeer &bob = peer(2, "Bob");
        m_bus->reorder = true;
        m_bus->repeatRate = 0.5;
        for (MCastTestPeer *p : {&ann, &bob})
            p->receiver.chat.openRoom("Ann46000.5");
        // Both type within the same second, a few milliseconds apart.
        ann.protocol.sendInstantChatMessage("Ann", "Ann46000.5", "one");
        Clock::advance(3);
        bob.protocol.sendInstantChatMessage("Bob", "Ann46000.5", "hi");
        Clock::advance(3);
        ann.protocol.sendInstantChatMessage("Ann", "Ann46000.5", "two");
        m_bus->deliverAll();
        QVERIFY(!ann.receiver.chat.lines.filter("Ann: ").size());
        QVERIFY(!bob.receiver.chat.lines.filter("Bob: ").size());
        QVERIFY(ann.receiver.chat.lines.contains("Bob: hi"));
        QVERIFY(bob.receiver.chat.lines.contains("Ann: one"));
        QVERIFY(bob.receiver.chat.lines.contains("Ann: two"));
    }

    void longTextCapped()
    {
        MCastTestPeer &ann = peer(1, "Ann");
        MCastTestPeer &bob = peer(2, "Bob");
        bob.receiver.chat.openRoom("r");
        const QString text = QString(3999, u'a') + QStringLiteral("\U0001F600") + QStringLiteral("tail");
        ann.protocol.sendInstantChatMessage("Ann", "r", text);
        ann.protocol.sendInstantMessage("Ann", "*", QString(5000, u'b'));
        m_bus->deliverAll();
        QCOMPARE(bob.receiver.chat.lines.first(), "Ann: " + QString(3999, u'a')); // the emoji is not cut in half
        QCOMPARE(bob.receiver.notices.first().message.size(), MCastProtocol::MaxTextLength);
    }

    void sendFailureLogged()
    {
        FailingTransport transport;
        MCastTestPeer ann(transport, 1, "Ann");
        ann.changeStatus(7, "OUT");
        QString room;
        ann.protocol.sendChatInvitation("Ann", "2", room); // passed over quietly
        ann.protocol.sendInstantMessage("Ann", "*", "x");
        QVERIFY(ann.window.contains("7")); // kept for resend requests all the same
        const QString log = readTextFile(m_env->path("logs/error.log"));
        QCOMPARE(log.count("Network is unreachable"), 2);
        QVERIFY(log.contains("Systray sendUpdatePulse"));
        QVERIFY(log.contains("Systray sendInstantMessage"));
    }

    void receiverFailureLoggedAndPassedOver()
    {
        MCastTestPeer &bob = peer(2, "Bob");
        FailingViewReceiver failing;
        failing.userId = 2;
        bob.protocol.setReceiver(failing);
        bob.lastSeq = 100;
        m_bus->attach().send("s103#!5#!OUT#!#!0#!0#!");
        m_bus->deliverAll();
        QCOMPARE(failing.checkIns, QVector<qint32>{5}); // the next step still ran
        QVERIFY(bob.window.contains("103"));
        QCOMPARE(m_bus->sent().count("r101#!"), 1);
        const QString log = readTextFile(m_env->path("logs/error.log"));
        QVERIFY(log.contains("frmSysTray.insockListener_DataArrival\nCClientHnd.updateView"));
        QVERIFY(log.contains("Object variable not set"));
    }

    void threePeersConverge()
    {
        const QStringList codes{"INN", "OUT", "LNC", "MTG", "HME", "BRK"};
        int divergedBeforeRecovery = 0;
        for (quint32 seed = 1; seed <= 25; ++seed) {
            m_peers.clear();
            m_bus = std::make_unique<MCastBus>(seed);
            m_bus->dropRate = 0.25;
            m_bus->repeatRate = 0.15;
            m_bus->reorder = true;
            QRandomGenerator random(seed);
            for (qint32 user = 1; user <= 3; ++user)
                peer(user, QStringLiteral("User %1").arg(user));

            qint32 counter = 1000; // the database's change counter
            QMap<qint32, QString> truth;
            for (int i = 0; i < 30; ++i) {
                MCastTestPeer &sender = *m_peers[size_t(i % 3)];
                const QString status = codes.at(int(random.bounded(quint32(codes.size()))));
                sender.changeStatus(counter++, status);
                truth[sender.receiver.userId] = status;
                for (quint32 n = random.bounded(4u); n > 0; --n)
                    m_bus->deliverOne();
                Clock::advance(200);
            }
            m_bus->deliverAll();
            bool diverged = false;
            for (const auto &p : m_peers) {
                for (qint32 user = 1; user <= 3; ++user)
                    diverged |= p->receiver.rows.value(user).status != truth[user];
            }
            divergedBeforeRecovery += diverged ? 1 : 0;

            // The network settles; the next update exposes what each copy missed.
            Clock::advance(3000);
            m_bus->dropRate = 0;
            m_bus->repeatRate = 0;
            const qsizetype before = m_bus->sent().size();
            m_peers[0]->changeStatusOf(9, counter, "INN");
            m_bus->deliverAll();
            QSet<QByteArray> requested;
            for (qsizetype i = before; i < m_bus->sent().size(); ++i) {
                if (m_bus->sent().at(i).startsWith('r'))
                    requested.insert(m_bus->sent().at(i));
            }
            const int answers = countStartingWith(*m_bus, "s", before) - 1;
            QCOMPARE(answers, int(requested.size())); // one answer per number, however many asked
            for (const auto &p : m_peers) {
                for (qint32 user = 1; user <= 3; ++user)
                    QCOMPARE(p->receiver.rows.value(user).status, truth[user]);
                QCOMPARE(p->lastSeq, counter);
            }
        }
        QVERIFY(divergedBeforeRecovery > 0); // the losses did bite
    }

private:
    MCastTestPeer &peer(qint32 userId, const QString &name)
    {
        m_peers.push_back(std::make_unique<MCastTestPeer>(m_bus->attach(), userId, name));
        return *m_peers.back();
    }

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<MCastBus> m_bus;
    std::vector<std::unique_ptr<MCastTestPeer>> m_peers;
};

QTEST_GUILESS_MAIN(tst_MCastBus)
#include "tst_MCastBus.moc"
