#include "messaging/CMCastWindow.h"
#include "messaging/MCastGapCheck.h"
#include "messaging/MCastOwnIds.h"
#include "messaging/MCastResendThrottle.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"

#include <QtTest>
#include <limits>

namespace {

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

class tst_MCastWindow : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { Clock::unpin(); }

    void fullWindowDropsTheOldest()
    {
        CMCastWindow window;
        window.Add(update(7, 3, 3)); // own update, stored before it was sent
        window.Add(update(7, 3, -1)); // the same one coming back
        QCOMPARE(window.count(), 1);
        QCOMPARE(window.Find("7")->OriginatorID, 3);
        for (qint32 seq = 8; seq <= 107; ++seq)
            window.Add(update(seq));
        QCOMPARE(window.count(), 100);
        QVERIFY(!window.contains("7") && window.contains("8") && window.contains("107"));
        // When full, the oldest goes first even though nothing is added.
        window.Add(update(50, 9, -1));
        QCOMPARE(window.count(), 99);
        QCOMPARE(window.Find("50")->UserID, 1);
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
        QTest::newRow("next in line") << 100 << V{} << 101 << 101 << V{};
        QTest::newRow("repeat") << 100 << V{} << 100 << 100 << V{};
        QTest::newRow("older") << 100 << V{} << 90 << 100 << V{};
        QTest::newRow("two missing") << 100 << V{} << 103 << 100 << V{101, 102};
        QTest::newRow("one of them held") << 100 << V{102} << 103 << 100 << V{101};
        QTest::newRow("far ahead is clamped") << 100 << V{} << 120 << 115 << V{116, 117, 118, 119};
        QTest::newRow("clamped, one held") << 100 << V{117} << 120 << 115 << V{116, 118, 119};
        QTest::newRow("mark passes held numbers") << 100 << V{101, 102} << 104 << 102 << V{103};
        QTest::newRow("all held, mark reaches seq") << 100 << V{101, 102, 103} << 104 << 104 << V{};
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
        QFETCH(int, markAfter);
        QFETCH(QVector<qint32>, requested);

        CMCastWindow window;
        for (qint32 n : held)
            window.Add(update(n));
        window.Add(update(seq)); // stored before the check, as on receipt
        qint32 lastSeq = mark;
        QCOMPARE(MCastGapCheck::check(seq, lastSeq, window), requested);
        QCOMPARE(lastSeq, markAfter);
    }

    void resendAnsweredOnceInTwoSeconds()
    {
        Clock::pin(QDateTime(QDate(2025, 3, 4), QTime(9, 0)));
        MCastResendThrottle throttle;
        QVERIFY(throttle.mayAnswer(5));
        QVERIFY(!throttle.mayAnswer(5));
        QVERIFY(throttle.mayAnswer(6));
        Clock::advance(1999);
        QVERIFY(!throttle.mayAnswer(5));
        Clock::advance(1);
        QVERIFY(throttle.mayAnswer(5));
        QVERIFY(!throttle.mayAnswer(5));
        Clock::advance(-60000); // the clock set back does not block answers
        QVERIFY(throttle.mayAnswer(5));
    }

    void ownIdsToTheMillisecond()
    {
        const QDateTime start(QDate(2025, 12, 9), QTime(14, 57, 50, 0));
        Clock::pin(start);
        MCastOwnIds ids;
        const QString first = ids.next();
        QCOMPARE(first, DateUtil::numberText(DateUtil::toDays(start)));
        Clock::advance(1);
        const QString second = ids.next();
        QVERIFY(second != first);
        QVERIFY(ids.isOwn(first));
        QVERIFY(!ids.isOwn(DateUtil::numberText(DateUtil::toDays(start.addMSecs(2)))));

        for (int i = 0; i < MCastOwnIds::Remembered - 1; ++i) {
            Clock::advance(1);
            ids.next();
        }
        QVERIFY(!ids.isOwn(first)); // 33 ids on, the first is forgotten
        QVERIFY(ids.isOwn(second));
    }
};

QTEST_GUILESS_MAIN(tst_MCastWindow)
#include "tst_MCastWindow.moc"
