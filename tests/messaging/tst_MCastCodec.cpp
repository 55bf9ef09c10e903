#include "messaging/MCastCodec.h"

#include <QtTest>

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

} // namespace

class tst_MCastCodec : public QObject
{
    Q_OBJECT
private slots:
    void everyTypeOnTheWire_data()
    {
        QTest::addColumn<QString>("built");
        QTest::addColumn<QString>("expected");
        CMCastUpdate update{1041, 17, QStringLiteral("OUT"), QStringLiteral("Dentist"), 46000.5, 46000.625, -1};
        QTest::newRow("s") << MCastCodec::statusUpdate(update) << "s1041#!17#!OUT#!Dentist#!46000.5#!46000.625#!";
        QTest::newRow("s no dates") << MCastCodec::statusUpdate({7, -3, QStringLiteral("INN"), {}, 0, 0, -1}) << "s7#!-3#!INN#!#!0#!0#!";
        update.ETD = 46000.6234953704;
        update.ETA = 46001;
        QTest::newRow("s 15 digits") << MCastCodec::statusUpdate(update)
                                     << "s1041#!17#!OUT#!Dentist#!46000.6234953704#!46001#!";
        QTest::newRow("r") << MCastCodec::resendRequest(1041) << "r1041#!";
        QTest::newRow("m") << MCastCodec::instantMessage("Ann Lee", "/5/17/", "Lunch?") << "m#!Ann Lee#!/5/17/#!Lunch?#!";
        QTest::newRow("c") << MCastCodec::chatMessage("46000.6234953704", "Ann Lee", "Ann Lee46000.5", "hi")
                           << "c46000.6234953704#!Ann Lee#!Ann Lee46000.5#!hi#!";
        QTest::newRow("i") << MCastCodec::chatInvitation("46000.62", "Ann Lee", "17", "Ann Lee46000.62")
                           << "i46000.62#!Ann Lee#!17#!Ann Lee46000.62#!";
        QTest::newRow("j") << MCastCodec::joinChat("Bob", "Ann Lee46000.62") << "j#!Bob#!Ann Lee46000.62#!";
        QTest::newRow("l") << MCastCodec::leaveChat("Bob", "Ann Lee46000.62") << "l#!Bob#!Ann Lee46000.62#!";
        QTest::newRow("w") << MCastCodec::chatWriting("46000.7", "Bob", "Ann Lee46000.62")
                           << "w46000.7#!Bob#!Ann Lee46000.62#!";
    }
    void everyTypeOnTheWire()
    {
        QFETCH(QString, built);
        QFETCH(QString, expected);
        QCOMPARE(built, expected);
        QCOMPARE(MCastCodec::toWire(built), expected.toLatin1());
    }

    void reading_data()
    {
        QTest::addColumn<char>("type");
        QTest::addColumn<QString>("datagram");
        QTest::addColumn<QString>("read");
        const auto row = [](const char *name, char type, const char *datagram, const char *read) {
            QTest::newRow(name) << type << QString::fromUtf8(datagram) << QString::fromUtf8(read);
        };
        row("s 6 pieces", 's', "s5#!17#!OUT#!note#!46000#!", "-");
        row("s 7 pieces", 's', "s5#!17#!OUT#!note#!46000#!46001#!", "5|17|OUT|note|46000|46001|-1");
        row("s #! in the note", 's', "s5#!17#!OUT#!a#!b#!46000#!46001#!", "5|17|OUT|a#!b|46000|46001|-1");
        row("s note of separators", 's', "s5#!17#!OUT#!#!#!#!46000#!46001#!", "5|17|OUT|#!#!|46000|46001|-1");
        row("s bad user id", 's', "s5#!x#!OUT#!a#!b#!46000#!46001#!", "-");
        row("s bad sequence", 's', "s5a#!17#!OUT#!note#!46000#!46001#!", "-");
        row("s empty sequence", 's', "s#!17#!OUT#!note#!46000#!46001#!", "-");
        row("s sequence past 32 bits", 's', "s2147483648#!17#!OUT#!n#!0#!0#!", "-");
        row("s another type", 's', "r5#!17#!OUT#!note#!46000#!46001#!", "-");
        row("r negative", 'r', "r-12#!", "-12");
        row("r without end", 'r', "r12", "-");
        row("r without number", 'r', "r#!", "-");
        row("m #! in the text", 'm', "m#!Ann#!*#!a #! b #!#!", "|Ann|*|a #! b #!|0");
        row("m 4 pieces", 'm', "m#!Ann#!*#!", "-");
        row("m bare", 'm', "m", "-");
        row("c #! in the text", 'c', "c46000.1#!Ann#!Ann46000#!x#!y#!", "46000.1|Ann|Ann46000|x#!y|0");
        row("c 4 pieces", 'c', "c1#!Ann#!room#!", "-");
        row("i", 'i', "i46000.6#!Ann#!17#!Ann46000.6#!", "46000.6|Ann||Ann46000.6|17");
        row("i room split", 'i', "i46000.6#!Ann#!17#!Ann#!46000.6#!", "-");
        row("i bad invitee", 'i', "i46000.6#!Ann#!17x#!Ann46000.6#!", "-");
        row("w", 'w', "w46000.7#!Bob#!room#!", "46000.7|Bob|room||0");
        row("w a piece too many", 'w', "w46000.7#!Bob#!room#!x#!", "-");
        row("w a piece short", 'w', "w46000.7#!Bob#!", "-");
        row("l extra piece", 'l', "l#!Bob#!Ann46000.6#!extra#!", "|Bob|Ann46000.6||0");
        row("l room unended", 'l', "l#!Bob#!room", "-");
        row("j 3 pieces", 'j', "j#!Bob#!", "-");
        row("w as a room event", 'l', "w#!Bob#!Ann46000.6#!", "-");
    }
    void reading()
    {
        QFETCH(char, type);
        QFETCH(QString, datagram);
        QFETCH(QString, read);
        QCOMPARE(readAs(type, datagram), read);
    }

    void integersStrict_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("value"); // "-": refused
        for (const char *valid : {"-17", "2147483647", "-2147483648"})
            QTest::addRow("\"%s\"", valid) << valid << valid;
        for (const char *refused : {"2147483648", "00000000017", "17x", " 17", "+17", "", "-"})
            QTest::addRow("\"%s\"", refused) << refused << "-";
    }
    void integersStrict()
    {
        QFETCH(QString, text);
        QFETCH(QString, value);
        const auto parsed = MCastCodec::parseInt32(text);
        QCOMPARE(parsed ? QString::number(*parsed) : "-", value);
    }

    void dayNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("days");
        QTest::newRow("date and time") << "46000.6234953704" << 46000.6234953704;
        QTest::newRow("before 1900") << "-1.25" << -1.25;
        QTest::newRow("31 Dec 9999") << "2958465.5" << 2958465.5;
        for (const char *none : {"0", "2958466", "-657435", "inf", "nan", "46000,5", ""})
            QTest::addRow("\"%s\"", none) << none << 0.0;
    }
    void dayNumbers()
    {
        QFETCH(QString, text);
        QFETCH(double, days);
        QCOMPARE(MCastCodec::parseDays(text), days);
    }

    void textEncoding()
    {
        const QByteArray wire = MCastCodec::toWire(MCastCodec::joinChat(QStringLiteral("Zoë Müller €"), "r"));
        QCOMPARE(wire, QByteArray("j#!Zo\xC3\xAB M\xC3\xBCller \xE2\x82\xAC#!r#!"));
        QCOMPARE(MCastCodec::fromWire(wire), QStringLiteral("j#!Zoë Müller €#!r#!"));
        // An older copy writing its code page: not UTF-8, read as Latin-1.
        QCOMPARE(MCastCodec::fromWire(QByteArray("j#!Zo\xEB M\xFCller#!r#!")), QStringLiteral("j#!Zoë Müller#!r#!"));
    }
};

QTEST_GUILESS_MAIN(tst_MCastCodec)
#include "tst_MCastCodec.moc"
