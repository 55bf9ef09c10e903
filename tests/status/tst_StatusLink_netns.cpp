#include "StatusFakes.h"
#include "foundation/MErrorHandler.h"
#include "messaging/CMCastWindow.h"
#include "messaging/MCastUdpTransport.h"
#include "messaging/tray/frmSysTray.h"
#include "platform/Clock.h"
#include "status/StatusMCastReceiver.h"

#include <QtTest>

// A status change travels through the real tray window and sockets and comes
// back to the status engine, as it does between running copies.
class tst_StatusLink_netns : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        REQUIRE_PRIVATE_NETWORK();
    }
    void cleanup() { CloseDebugLog(); }

    void changeGoesOutAndComesBack()
    {
        StatusWorld w(false);
        StatusMCastReceiver receiver;
        auto window = std::make_unique<frmSysTray>();
        frmSysTray *tray = window.get();
        tray->setMCastReceiver(receiver);
        tray->showOffscreen();
        g_frmSysTray = std::move(window);

        MCastUdpTransport otherCopy;
        QList<QByteArray> heard;
        otherCopy.setReceiveHandler([&](const QByteArray &datagram, const QString &) { heard << datagram; });
        otherCopy.open(MCastPorts());
        QVERIFY(otherCopy.isListening());

        // Not interactive: the offer to check in can only come from the
        // datagram looped back to this copy.
        Clock::pin(QDateTime(QDate(2004, 8, 1), QTime(12, 0)));
        double outAt = 0;
        double dueBack = DateUtil::toDays(QDateTime(QDate(2004, 8, 1), QTime(13, 0)));
        g_oClientHnd->UpdateStatus(StatusWorld::kMe, QStringLiteral("OUT"), QStringLiteral("Bob's"), outAt, dueBack,
                                   false, false);
        QTRY_COMPARE(heard, QList<QByteArray>{"s7#!1#!OUT#!Bob's#!38200.5#!38200.5416666667#!"});
        QTRY_COMPARE(w.popups.count(QStringLiteral("new")), 1);
        QCOMPARE(g_oMCastWindow->Find(QStringLiteral("7"))->OriginatorID, StatusWorld::kMe);

        // Another copy sets this user back in: the offer goes away.
        DbHandle connection;
        Update(QStringLiteral("UPDATE STAFF_STATUS SET IsIn = 'INN', ETA = NULL WHERE UserID = 1"), connection);
        otherCopy.send("s8#!1#!INN#!#!38200.51#!0#!");
        QTRY_COMPARE(w.popups.count(QStringLiteral("gone")), 1);
        // A colleague's change raises nothing here.
        otherCopy.send("s9#!2#!OUT#!#!38200.51#!38200.6#!");
        QTRY_VERIFY(g_oMCastWindow->contains(QStringLiteral("9")));
        QCOMPARE(w.popups.count(QStringLiteral("new")), 1);
        g_frmSysTray.reset();
    }
};

QTEST_MAIN(tst_StatusLink_netns)
#include "tst_StatusLink_netns.moc"
