#include "TestSupport.h"
#include "foundation/MADOFunctions.h"
#include "messaging/CMCastWindow.h"
#include "messaging/MCastCodec.h"
#include "messaging/MCastGapCheck.h"
#include "messaging/MCastPorts.h"
#include "messaging/MCastResendThrottle.h"
#include "platform/Clock.h"

#include <QtTest>
#include <limits>

namespace {

QString joined(const std::optional<MCastCodec::Message> &m)
{
    return m ? QStringList{m->msgId, m->name, m->target, m->text, QString::number(m->inviteeId)}.join(u'|') : "-";
}

// A datagram as the reader of the given type reads it, its fields joined by
// "|"; "-" when the reader refuses it.
QString readAs(char type, const QString &datagram)
{
    switch (type) {
    case 's': {
        const auto u = MCastCodec::readStatusUpdate(datagram);
        return u ? QStringLiteral("%1|%2|%3|%4|%5|%6|%7").arg(u->Seq).arg(u->UserID).arg(u->Status, u->Note)
                       .arg(u->ETD).arg(u->ETA).arg(u->OriginatorID)
                 : "-";
    }
    case 'r': {
        const auto seq = MCastCodec::readResendRequest(datagram);
        return seq ? QString::number(*seq) : "-";
    }
    case 'm': return joined(MCastCodec::readInstantMessage(datagram));
    case 'c': return joined(MCastCodec::readChatMessage(datagram));
    case 'i': return joined(MCastCodec::readChatInvitation(datagram));
    case 'w': return joined(MCastCodec::readChatWriting(datagram));
    default: return joined(MCastCodec::readRoomEvent(datagram));
    }
}

CMCastUpdate update(qint32 seq, qint32 userId = 1, qint32 originator = -1)
{
    CMCastUpdate u;
    u.Seq = seq;
    u.UserID = userId;
    u.Status = QStringLiteral("OUT");
    u.OriginatorID = originator;
    return u;
}

constexpr qint32 kTop = std::numeric_limits<qint32>::max();
constexpr qint32 kBottom = std::numeric_limits<qint32>::min();

} // namespace

class tst_MCastRules : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { Clock::unpin(); }

    void reading_data()
    {
        QTest::addColumn<char>("type");
        QTest::addColumn<QString>("datagram");
        QTest::addColumn<QString>("read");
        const auto row = [](const char *name, char type, const char *datagram, const char *read) {
            QTest::newRow(name) << type << QString::fromUtf8(datagram) << QString::fromUtf8(read);
        };
        row("s 6 pieces", 's', "s5#!17#!OUT#!note#!46000#!", "-");
        row("s #! in the note", 's', "s5#!17#!OUT#!a#!b#!46000#!46001#!", "5|17|OUT|a#!b|46000|46001|-1");
        row("s bad user id", 's', "s5#!x#!OUT#!a#!b#!46000#!46001#!", "-");
        row("s sequence past 32 bits", 's', "s2147483648#!17#!OUT#!n#!0#!0#!", "-");
        row("r negative", 'r', "r-12#!", "-12");
        row("r without end", 'r', "r12", "-");
        row("m #! in the text", 'm', "m#!Ann#!*#!a #! b #!#!", "|Ann|*|a #! b #!|0");
        row("i", 'i', "i46000.6#!Ann#!17#!Ann46000.6#!", "46000.6|Ann||Ann46000.6|17");
        row("i bad invitee", 'i', "i46000.6#!Ann#!17x#!Ann46000.6#!", "-");
        row("w", 'w', "w46000.7#!Bob#!room#!", "46000.7|Bob|room||0");
        row("l extra piece", 'l', "l#!Bob#!Ann46000.6#!extra#!", "|Bob|Ann46000.6||0");
        row("w as a room event", 'l', "w#!Bob#!Ann46000.6#!", "-");
    }
    void reading()
    {
        QFETCH(char, type);
        QFETCH(QString, datagram);
        QTEST(readAs(type, datagram), "read");
    }

    void numbersStrictAndTheWireFormat()
    {
        for (const char *valid : {"-17", "2147483647", "-2147483648"})
            QCOMPARE(MCastCodec::parseInt32(valid), std::optional<qint32>(QByteArray(valid).toInt()));
        for (const char *refused : {"2147483648", "00000000017", " 17", "+17", ""})
            QVERIFY2(!MCastCodec::parseInt32(refused), refused);
        // Plain digits are read without the locale's reader, to the same double, from before
        // 1900 to 31 Dec 9999; the fuzz test's readers refuse a day outside that range.
        QLocale c = QLocale::c();
        c.setNumberOptions(QLocale::RejectGroupSeparator);
        for (const char *text : {"46000.6234953704", "-0.000011574074", "0046001", "46000.62349537037037037", "1e3",
                                 " 7.5", "+7.5", "7.", ".5", "7.5.5", "-", "-1.25", "2958465.5", "46000,5"})
            QVERIFY2(MCastCodec::parseDays(text) == c.toDouble(QString::fromLatin1(text)), text);

        const CMCastUpdate update{1041, 17, QStringLiteral("OUT"), QStringLiteral("Dentist"), 46000.6234953704, 46001, -1};
        QCOMPARE(MCastCodec::statusUpdate(update), QStringLiteral("s1041#!17#!OUT#!Dentist#!46000.6234953704#!46001#!"));
        const QByteArray wire = MCastCodec::toWire(MCastCodec::joinChat(QStringLiteral("Zoë Müller €"), "r"));
        QCOMPARE(wire, QByteArray("j#!Zo\xC3\xAB M\xC3\xBCller \xE2\x82\xAC#!r#!"));
        QCOMPARE(MCastCodec::fromWire(wire), QStringLiteral("j#!Zoë Müller €#!r#!"));
        // An older copy writing its code page: not UTF-8, read as Latin-1.
        QCOMPARE(MCastCodec::fromWire(QByteArray("j#!Zo\xEB M\xFCller#!r#!")), QStringLiteral("j#!Zoë Müller#!r#!"));
    }

    void fullWindowDropsTheOldestAndResendsAreThrottled()
    {
        CMCastWindow window;
        window.Add(update(7, 3, 3)); // own update, stored before it was sent
        window.Add(update(7, 3, -1)); // the same one coming back
        QVERIFY(window.count() == 1 && window.Find("7")->OriginatorID == 3);
        for (qint32 seq = 8; seq <= 107; ++seq)
            window.Add(update(seq));
        QCOMPARE(window.count(), 100);
        QVERIFY(!window.contains("7") && window.contains("8") && window.contains("107") && !window.contains("0107"));
        // When full, the oldest goes first even though nothing is added.
        window.Add(update(50, 9, -1));
        QCOMPARE(window.count(), 99);
        QCOMPARE(window.Find("50")->UserID, 1);

        // A resend request is answered once in two seconds.
        Clock::pin(QDateTime(QDate(2025, 3, 4), QTime(9, 0)));
        MCastResendThrottle throttle;
        QVERIFY(throttle.mayAnswer(5) && !throttle.mayAnswer(5) && throttle.mayAnswer(6));
        Clock::advance(1999);
        QVERIFY(!throttle.mayAnswer(5));
        Clock::advance(1);
        QVERIFY(throttle.mayAnswer(5) && !throttle.mayAnswer(5));
        Clock::advance(-60000); // the clock set back does not block answers
        QVERIFY(throttle.mayAnswer(5));
    }

    void gapCheck_data()
    {
        QTest::addColumn<int>("mark");
        QTest::addColumn<QVector<qint32>>("held");
        QTest::addColumn<int>("seq");
        QTest::addColumn<int>("markAfter");
        QTest::addColumn<QVector<qint32>>("requested");

        using V = QVector<qint32>;
        QTest::newRow("first update sets the mark") << 0 << V{} << 500 << 500 << V{};
        QTest::newRow("older") << 100 << V{} << 90 << 100 << V{};
        QTest::newRow("two missing") << 100 << V{} << 103 << 100 << V{101, 102};
        QTest::newRow("one of them held") << 100 << V{102} << 103 << 100 << V{101};
        QTest::newRow("far ahead is clamped") << 100 << V{} << 120 << 115 << V{116, 117, 118, 119};
        QTest::newRow("mark passes held numbers") << 100 << V{101, 102} << 104 << 102 << V{103};
        QTest::newRow("gap filled, mark catches up") << 100 << V{101, 103} << 102 << 103 << V{};
        // The distance is taken in 64 bits: no wrap-around at the ends of the range.
        QTest::newRow("lowest to highest") << kBottom + 1 << V{} << kTop << kTop - 5
                                           << V{kTop - 4, kTop - 3, kTop - 2, kTop - 1};
        QTest::newRow("highest to lowest") << kTop << V{} << kBottom << kTop << V{};
    }
    void gapCheck()
    {
        QFETCH(int, mark);
        QFETCH(QVector<qint32>, held);
        QFETCH(int, seq);

        CMCastWindow window;
        for (qint32 n : held)
            window.Add(update(n));
        window.Add(update(seq)); // stored before the check, as on receipt
        qint32 lastSeq = mark;
        QTEST(MCastGapCheck::check(seq, lastSeq, window), "requested");
        QTEST(int(lastSeq), "markAfter");
    }

    void portsFromTextsAndTheDatabase()
    {
        const auto ports = [](const MCastPorts &p) { return QStringLiteral("%1 %2").arg(p.send).arg(p.listen); };
        QCOMPARE(ports(MCastPorts::fromTexts(" 2001 ", "2002\t")), QStringLiteral("2001 2002"));
        QCOMPARE(ports(MCastPorts::fromTexts("65535", "40000")), QStringLiteral("65535 40000"));
        for (const auto &[send, listen] : {std::pair{"2001", "65536"}, {"", "2002"}, {"1023", "2002"}, {"+2001", "2002"}})
            QCOMPARE(ports(MCastPorts::fromTexts(send, listen)), QStringLiteral("13905 13909"));

        TestEnvironment env;
        env.useSqliteDatabase();
        QCOMPARE(ports(MCastPorts::read()), QStringLiteral("13905 13909")); // no Properties table yet
        DbHandle db = OpenADOConnection();
        Update(QStringLiteral("CREATE TABLE Properties (pkey varchar(50), pvalue varchar(255))"), db);
        Update(QStringLiteral("INSERT INTO Properties (pkey, pvalue) VALUES ('port_send', '14005'), ('port_lstn', '14009 ')"), db);
        QCOMPARE(ports(MCastPorts::read()), QStringLiteral("14005 14009"));
        Update(QStringLiteral("UPDATE Properties SET pvalue = NULL WHERE pkey = 'port_lstn'"), db);
        QCOMPARE(ports(MCastPorts::read()), QStringLiteral("13905 13909"));
    }
};

QTEST_GUILESS_MAIN(tst_MCastRules)
#include "tst_MCastRules.moc"
