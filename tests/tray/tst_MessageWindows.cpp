#include "TestDatabase.h"
#include "foundation/Globals.h"
#include "messaging/CMCastWindow.h"
#include "messaging/MCastBus.h"
#include "messaging/MCastProtocol.h"
#include "status/CClientHnd.h"
#include "tray/CheckInPopup.h"
#include "tray/MessageWindows.h"
#include "tray/NoticePlacement.h"
#include "tray/NoticeStack.h"
#include "tray/frmInstantMessage.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

namespace {

const QString kMarkup = QStringLiteral("<b>5 < 6</b> & #!");

// A copy's senders on an in-memory group; what it sent is read back decoded.
struct Sender
{
    MCastBus bus;
    CMCastWindow window;
    qint32 lastSeq = 0;
    MessageWindows windows{[this] { return protocol.get(); }};
    std::unique_ptr<MCastProtocol> protocol =
        std::make_unique<MCastProtocol>(window, lastSeq, bus.attach(), windows);

    QStringList sent() const
    {
        QStringList result;
        for (const QByteArray &datagram : bus.sent())
            result << QString::fromUtf8(datagram.left(1));
        return result;
    }
};

QList<frmDialog *> notices()
{
    QList<frmDialog *> result;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *notice = qobject_cast<frmDialog *>(widget); notice && !notice->isLeaving())
            result << notice;
    return result;
}

} // namespace

class tst_MessageWindows : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        NoticeStack::instance().availableGeometry = [] { return QRect(0, 0, 1280, 994); };
        g_oCurrentUser.RealName = QStringLiteral("Ada");
    }
    void cleanup() { qDeleteAll(notices()); }

    void placement_data()
    {
        QTest::addColumn<QRect>("tray");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        // Work area 1280 x 994 at the top of the screen; the notice 230 x 152.
        QTest::newRow("no icon: bottom right") << QRect() << 0 << QPoint(1024, 994) << QPoint(1024, 842);
        QTest::newRow("third slot stacks up") << QRect() << 2 << QPoint(1024, 994) << QPoint(1024, 538);
        QTest::newRow("icon top left") << QRect(4, 4, 22, 22) << 1 << QPoint(26, -152) << QPoint(26, 152);
    }
    void placement()
    {
        QFETCH(QRect, tray);
        QFETCH(int, slot);
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        const auto path = NoticePlacement::path(QRect(0, 0, 1280, 994), tray, QSize(230, 152), slot);
        QCOMPARE(path.from, from);
        QCOMPARE(path.to, to);
        QCOMPARE(NoticePlacement::capacity(QRect(0, 0, 1280, 994), QSize(230, 152)), 5);
        QCOMPARE(NoticePlacement::capacity(QRect(0, 0, 800, 400), QSize(230, 152)), 2);
    }

    void eightNoticesLeaveFiveApart()
    {
        MessageWindows windows([] { return nullptr; });
        for (int i = 1; i <= 8; ++i)
            windows.notify(QStringLiteral("Qel"), QStringLiteral("Notice %1").arg(i), true);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTest::qWait(600); // the slides end
        QStringList texts;
        for (QWidget *widget : NoticeStack::instance().shown())
            texts << widget->findChild<QLabel *>("lblMessage")->text() + ' ' + QString::number(widget->y());
        QCOMPARE(texts, QStringList({"Notice 6 842", "Notice 7 690", "Notice 8 538", "Notice 4 386", "Notice 5 234"}));
        QCOMPARE(notices().size(), 5);
    }

    void textsFromTheNetworkStayText()
    {
        MessageWindows windows([] { return nullptr; });
        windows.showNotification(kMarkup, kMarkup, kMarkup, QStringLiteral("room"));
        frmDialog *notice = notices().value(0);
        QVERIFY(notice);
        for (const char *name : {"lblTitle", "lblFrom", "lblMessage"}) {
            QCOMPARE(notice->findChild<QLabel *>(name)->text(), kMarkup);
            QCOMPARE(notice->findChild<QLabel *>(name)->textFormat(), Qt::PlainText);
        }
        QVERIFY(notice->findChild<QPushButton *>("imgJoinChat")->isVisibleTo(notice));
        QVERIFY(!notice->findChild<QPushButton *>("imgCheckIn")->isVisibleTo(notice));
        frmChat &chat = windows.chat();
        chat.appendMessage(kMarkup, kMarkup);
        chat.join(kMarkup);
        QCOMPARE(chat.findChild<QTextEdit *>("RichTextBox1")->toPlainText(), "\n" + kMarkup + " writes...\n" + kMarkup + "\n");
        QCOMPARE(chat.findChild<QListWidget *>("lstMembers")->item(0)->text(), kMarkup);
    }

    void droppedMidSlideOrFromItsOwnClick()
    {
        QPointer<frmDialog> mid;
        {
            CheckInPopup popup;
            mid = popup.notice();
            popup.display();
            QTest::qWait(50);
            popup.undisplay();
        }
        QTRY_VERIFY(!mid);
        auto *notice = new frmDialog;
        QPointer<frmDialog> clicked = notice;
        notice->display();
        notice->findChild<QPushButton *>("imgClose")->click();
        notice->undisplay();
        QTRY_VERIFY(!clicked);
    }

    void checkInThatFailsKeepsTheNotice()
    {
        TestDatabase db(false, QStringLiteral("checkin"), false); // no tables: the change fails
        g_oClientHnd = std::make_unique<CClientHnd>();
        CheckInPopup popup;
        popup.setCheckIn();
        popup.display();
        popup.notice()->findChild<QPushButton *>("imgCheckIn")->click();
        QVERIFY(!popup.notice()->isLeaving());
        QVERIFY(readTextFile(db.env.path("logs/error.log")).contains("frmDialog.imgCheckIn_Click"));
        g_oClientHnd.reset();
    }

    void joinLeaveAndTheCloseBox()
    {
        Sender ada;
        frmChat &chat = ada.windows.chat();
        chat.joinRoom(QString());
        QVERIFY(chat.roomId().isEmpty());
        chat.joinRoom(QStringLiteral("Bruno1"));
        chat.joinRoom(QStringLiteral("Bruno1"));
        QCOMPARE(ada.sent(), QStringList({"j"}));
        chat.appendMessage("Bruno", "hello");
        chat.joinRoom(QStringLiteral("Chiara2"));
        QCOMPARE(ada.sent(), QStringList({"j", "l", "j"}));
        QCOMPARE(chat.findChild<QTextEdit *>("RichTextBox1")->toPlainText(), QString());
        chat.close();
        QCOMPARE(ada.sent(), QStringList({"j", "l", "j", "l"}));
        QVERIFY(chat.roomId().isEmpty());
        chat.openRoom(QStringLiteral("Ada9"));
        chat.findChild<QPushButton *>("cmdLeave")->click();
        QCOMPARE(ada.sent().last(), QStringLiteral("l"));
        QVERIFY(chat.roomId().isEmpty() && !chat.isVisible());
    }

    void membersAndTheHeldStatusLine()
    {
        frmChat chat([] { return nullptr; });
        auto *members = chat.findChild<QListWidget *>("lstMembers");
        auto *status = chat.findChild<QLabel *>("lblStatus");
        chat.join("Bruno");
        chat.join("Bruno");
        chat.join("bruno");
        QCOMPARE(members->count(), 2);
        chat.Timer1_Timer();
        QCOMPARE(status->text(), QStringLiteral("bruno has joined the Chat Room"));
        chat.Timer1_Timer();
        QCOMPARE(status->text(), QStringLiteral("Qel Chat Room"));
        members->addItem("Bruno");
        chat.leave("Bruno");
        QCOMPARE(members->count(), 1);
        QCOMPARE(status->text(), QStringLiteral("Bruno has left the Chat Room"));
    }

    void keyPressesTellTheOthers()
    {
        Sender ada;
        ada.windows.chat().openRoom(QStringLiteral("Ada1"));
        auto *line = ada.windows.chat().findChild<QLineEdit *>("txtMessage");
        QTest::keyClicks(line, QString(14, u'x'));
        QCOMPARE(ada.sent().count("w"), 0);
        QTest::keyClick(line, 'x');
        QCOMPARE(ada.sent().count("w"), 1);
        QTest::keyClicks(line, QString(15, u'x'));
        QCOMPARE(ada.sent().count("w"), 2);
    }

    void instantMessage()
    {
        TestEnvironment env;
        Sender ada;
        frmInstantMessage &dialog = ada.windows.instantMessage();
        dialog.setRecipientList(QStringLiteral("/5/17/"));
        QCOMPARE(dialog.findChild<QLabel *>("lblTo")->text(), QStringLiteral("Send to 2 Qel users"));
        dialog.findChild<QPlainTextEdit *>("txtMessage")->setPlainText("   ");
        dialog.cmdOK_Click();
        QCOMPARE(env.prompt.asked.value(0).text, QStringLiteral("Please enter your message."));
        QVERIFY(ada.sent().isEmpty());
        dialog.findChild<QPlainTextEdit *>("txtMessage")->setPlainText(QString(4100, u'a'));
        QCOMPARE(dialog.findChild<QPlainTextEdit *>("txtMessage")->toPlainText().size(), 4000);
        dialog.cmdOK_Click();
        QCOMPARE(ada.sent(), QStringList({"m"}));
        QCOMPARE(env.prompt.asked.value(1).text, QStringLiteral("Your instant message has been sent."));
    }
};

QTEST_MAIN(tst_MessageWindows)
#include "tst_MessageWindows.moc"
