#include "messaging/MCastCodec.h"

#include <QtTest>
#include <cmath>

class tst_MCastCodec : public QObject
{
    Q_OBJECT
private slots:
    void everyTypeOnTheWire_data()
    {
        QTest::addColumn<QString>("built");
        QTest::addColumn<QString>("expected");

        CMCastUpdate update;
        update.Seq = 1041;
        update.UserID = 17;
        update.Status = QStringLiteral("OUT");
        update.Note = QStringLiteral("Dentist");
        update.ETD = 46000.5;
        update.ETA = 46000.625;
        QTest::newRow("s") << MCastCodec::statusUpdate(update) << "s1041#!17#!OUT#!Dentist#!46000.5#!46000.625#!";
        CMCastUpdate back;
        back.Seq = 7;
        back.UserID = -3;
        back.Status = QStringLiteral("INN");
        QTest::newRow("s no dates") << MCastCodec::statusUpdate(back) << "s7#!-3#!INN#!#!0#!0#!";
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

    void statusUpdatePieces_data()
    {
        QTest::addColumn<QString>("datagram");
        QTest::addColumn<bool>("read");
        QTest::addColumn<QString>("note");

        QTest::newRow("6 pieces") << "s5#!17#!OUT#!note#!46000#!" << false << QString();
        QTest::newRow("7 pieces") << "s5#!17#!OUT#!note#!46000#!46001#!" << true << "note";
        QTest::newRow("8 pieces, #! in the note") << "s5#!17#!OUT#!a#!b#!46000#!46001#!" << true << "a#!b";
        QTest::newRow("note of separators") << "s5#!17#!OUT#!#!#!#!46000#!46001#!" << true << "#!#!";
        QTest::newRow("8 pieces, bad user id") << "s5#!x#!OUT#!a#!b#!46000#!46001#!" << false << QString();
        QTest::newRow("bad sequence") << "s5a#!17#!OUT#!note#!46000#!46001#!" << false << QString();
        QTest::newRow("empty sequence") << "s#!17#!OUT#!note#!46000#!46001#!" << false << QString();
        QTest::newRow("sequence past 32 bits") << "s2147483648#!17#!OUT#!n#!0#!0#!" << false << QString();
        QTest::newRow("another type") << "r5#!17#!OUT#!note#!46000#!46001#!" << false << QString();
    }

    void statusUpdatePieces()
    {
        QFETCH(QString, datagram);
        QFETCH(bool, read);
        QFETCH(QString, note);
        const auto update = MCastCodec::readStatusUpdate(datagram);
        QCOMPARE(bool(update), read);
        if (update) {
            QCOMPARE(update->Seq, 5);
            QCOMPARE(update->UserID, 17);
            QCOMPARE(update->Status, QStringLiteral("OUT"));
            QCOMPARE(update->Note, note);
            QCOMPARE(update->ETD, 46000.0);
            QCOMPARE(update->ETA, 46001.0);
            QCOMPARE(update->OriginatorID, -1);
        }
    }

    void freeTextKeepsItsSeparator()
    {
        const auto message = MCastCodec::readInstantMessage(MCastCodec::instantMessage("Ann", "*", "a #! b #!"));
        QVERIFY(message);
        QCOMPARE(message->name + '|' + message->target + '|' + message->text, QStringLiteral("Ann|*|a #! b #!"));
        const auto line = MCastCodec::readChatMessage(MCastCodec::chatMessage("46000.1", "Ann", "Ann46000", "x#!y"));
        QVERIFY(line);
        QCOMPARE(line->msgId + '|' + line->target + '|' + line->text, QStringLiteral("46000.1|Ann46000|x#!y"));
    }

    void tooShortDropped_data()
    {
        QTest::addColumn<QString>("datagram");
        QTest::newRow("r without end") << "r12";
        QTest::newRow("r without number") << "r#!";
        QTest::newRow("m 4 pieces") << "m#!Ann#!*#!";
        QTest::newRow("m bare") << "m";
        QTest::newRow("j 3 pieces") << "j#!Bob#!";
        QTest::newRow("l room unended") << "l#!Bob#!room";
        QTest::newRow("c 4 pieces") << "c1#!Ann#!room#!";
    }

    void tooShortDropped()
    {
        QFETCH(QString, datagram);
        QVERIFY(!MCastCodec::readResendRequest(datagram));
        QVERIFY(!MCastCodec::readInstantMessage(datagram));
        QVERIFY(!MCastCodec::readRoomEvent(datagram));
        QVERIFY(!MCastCodec::readChatMessage(datagram));
    }

    void otherReaders()
    {
        const auto invitation = MCastCodec::readChatInvitation(QStringLiteral("i46000.6#!Ann#!17#!Ann46000.6#!"));
        QVERIFY(invitation);
        QCOMPARE(invitation->msgId + '|' + invitation->name + '|' + invitation->text, QStringLiteral("46000.6|Ann|Ann46000.6"));
        QCOMPARE(invitation->inviteeId, 17);
        QVERIFY(!MCastCodec::readChatInvitation(QStringLiteral("i46000.6#!Ann#!17#!Ann#!46000.6#!")));
        QVERIFY(!MCastCodec::readChatInvitation(QStringLiteral("i46000.6#!Ann#!17x#!Ann46000.6#!")));

        const auto writing = MCastCodec::readChatWriting(QStringLiteral("w46000.7#!Bob#!room#!"));
        QVERIFY(writing);
        QCOMPARE(writing->msgId + '|' + writing->name + '|' + writing->target, QStringLiteral("46000.7|Bob|room"));
        QVERIFY(!MCastCodec::readChatWriting(QStringLiteral("w46000.7#!Bob#!room#!x#!")));
        QVERIFY(!MCastCodec::readChatWriting(QStringLiteral("w46000.7#!Bob#!")));

        const auto leave = MCastCodec::readRoomEvent(QStringLiteral("l#!Bob#!Ann46000.6#!extra#!"));
        QVERIFY(leave);
        QCOMPARE(leave->name + '|' + leave->target, QStringLiteral("Bob|Ann46000.6"));
        QVERIFY(!MCastCodec::readRoomEvent(QStringLiteral("w#!Bob#!Ann46000.6#!")));
        QCOMPARE(MCastCodec::readResendRequest(QStringLiteral("r-12#!")), std::optional<qint32>(-12));
    }

    void integersStrict_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("negative") << "-17" << true << -17;
        QTest::newRow("largest") << "2147483647" << true << 2147483647;
        QTest::newRow("smallest") << "-2147483648" << true << int(-2147483647 - 1);
        QTest::newRow("too large") << "2147483648" << false << 0;
        QTest::newRow("eleven digits") << "00000000017" << false << 0;
        QTest::newRow("trailing letter") << "17x" << false << 0;
        QTest::newRow("blank first") << " 17" << false << 0;
        QTest::newRow("plus sign") << "+17" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("minus alone") << "-" << false << 0;
    }

    void integersStrict()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        const auto parsed = MCastCodec::parseInt32(text);
        QCOMPARE(bool(parsed), valid);
        if (parsed)
            QCOMPARE(*parsed, value);
    }

    void dayNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("days");
        QTest::newRow("date and time") << "46000.6234953704" << 46000.6234953704;
        QTest::newRow("no date") << "0" << 0.0;
        QTest::newRow("before 1900") << "-1.25" << -1.25;
        QTest::newRow("31 Dec 9999") << "2958465.5" << 2958465.5;
        QTest::newRow("past 9999") << "2958466" << 0.0;
        QTest::newRow("before year 100") << "-657435" << 0.0;
        QTest::newRow("infinity") << "inf" << 0.0;
        QTest::newRow("not a number") << "nan" << 0.0;
        QTest::newRow("comma") << "46000,5" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
    }

    void dayNumbers()
    {
        QFETCH(QString, text);
        QFETCH(double, days);
        QCOMPARE(MCastCodec::parseDays(text), days);
    }

    void textEncoding()
    {
        const QString name = QStringLiteral("Zoë Müller €");
        const QByteArray wire = MCastCodec::toWire(MCastCodec::joinChat(name, QStringLiteral("r")));
        QCOMPARE(wire, QByteArray("j#!Zo\xC3\xAB M\xC3\xBCller \xE2\x82\xAC#!r#!"));
        QCOMPARE(MCastCodec::fromWire(wire), QStringLiteral("j#!Zoë Müller €#!r#!"));
        // An older copy writing its code page: not UTF-8, read as Latin-1.
        QCOMPARE(MCastCodec::fromWire(QByteArray("j#!Zo\xEB M\xFCller#!r#!")), QStringLiteral("j#!Zoë Müller#!r#!"));
    }
};

QTEST_GUILESS_MAIN(tst_MCastCodec)
#include "tst_MCastCodec.moc"
