#include "CStatus.h"
#include "Clock.h"
#include "DateUtil.h"
#include "Globals.h"
#include "TestSupport.h"
#include "UserListItem.h"
#include "UserListRows.h"

#include <QtTest>

namespace {
const QDate kToday(2026, 12, 4);

double at(const QDate &date, int hour, int minute, int second = 0)
{
    return DateUtil::toDays(date, QTime(hour, minute, second));
}

void pinAt(int hour, int minute, int second = 0)
{
    Clock::pin(QDateTime(kToday, QTime(hour, minute, second)));
}

// Writes a row as the list does and gives it; the values passed in are
// adjusted as the caller would see them.
UserListItem written(QString status, double &outTime, double &dueBack, QString note = QString())
{
    UserListItem item;
    UserListRows::SetListItemStatus(item, outTime, dueBack, note, status);
    return item;
}
} // namespace

class tst_UserListRows : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestEnvironment> m_env;

private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup()
    {
        Clock::unpin();
        m_env.reset();
    }

    void emptyStatus_showsInWithoutTimes()
    {
        pinAt(10, 0);
        double out = at(kToday, 9, 0);
        double due = at(kToday, 11, 0);
        QString status = QStringLiteral("  ");
        QString note = QStringLiteral("  back soon ");
        UserListItem item;
        UserListRows::SetListItemStatus(item, out, due, note, status);
        QCOMPARE(status, QStringLiteral("INN"));
        QCOMPARE(out, 0.0);
        QCOMPARE(due, 0.0);
        QCOMPARE(item.IconKey, QStringLiteral("INN"));
        QCOMPARE(item.StatusText, QStringLiteral("In"));
        QCOMPARE(item.Note, QStringLiteral("back soon"));
        QVERIFY(item.OutText.isEmpty());
        QVERIFY(item.DueBackText.isEmpty());
        QVERIFY(!item.Pending);
    }

    // A meeting from 14:00 drawn at 13:30 is still ahead; drawn again at 14:00
    // it has begun.
    void outLaterThenMeeting()
    {
        pinAt(13, 30);
        double out = at(kToday, 14, 0);
        double due = at(kToday, 15, 0);
        UserListItem item = written(QStringLiteral("MTG"), out, due, QStringLiteral("Board"));
        QCOMPARE(item.StatusText, QStringLiteral("In (Out Later)"));
        QCOMPARE(item.IconKey, QStringLiteral("INN"));
        QCOMPARE(item.NoteColour, UserListRows::grey());
        QCOMPARE(item.OutText, QStringLiteral("2:00 pm"));
        QCOMPARE(item.DueBackText, QStringLiteral("3:00 pm"));
        QCOMPARE(item.DueBackColour, QColor(Qt::black));
        QVERIFY(item.Pending);

        pinAt(14, 0);
        item = written(QStringLiteral("MTG"), out, due, QStringLiteral("Board"));
        QCOMPARE(item.StatusText, QStringLiteral("Meeting"));
        QCOMPARE(item.IconKey, QStringLiteral("MTG"));
        QCOMPARE(item.NoteColour, QColor(Qt::black));
        QVERIFY(!item.Pending);
    }

    // Times are compared by the minute boundaries between them, not by
    // elapsed time: a second before 14:00 is a minute before it.
    void minuteBoundaries_data()
    {
        QTest::addColumn<QTime>("now");
        QTest::addColumn<QTime>("outTime");
        QTest::addColumn<bool>("pending");
        QTest::newRow("a second before the minute") << QTime(13, 59, 59) << QTime(14, 0) << true;
        QTest::newRow("on the minute") << QTime(14, 0, 0) << QTime(14, 0) << false;
        QTest::newRow("later in the same minute") << QTime(14, 0, 0) << QTime(14, 0, 50) << false;
        QTest::newRow("next minute") << QTime(14, 0, 59) << QTime(14, 1, 0) << true;
    }
    void minuteBoundaries()
    {
        QFETCH(QTime, now);
        QFETCH(QTime, outTime);
        QFETCH(bool, pending);
        Clock::pin(QDateTime(kToday, now));
        double out = DateUtil::toDays(kToday, outTime);
        double due = 0;
        QCOMPARE(written(QStringLiteral("OUT"), out, due).Pending, pending);
    }

    void dueBack_redOnceTheMinuteHasPassed_data()
    {
        QTest::addColumn<QTime>("now");
        QTest::addColumn<bool>("red");
        QTest::newRow("in its minute") << QTime(17, 0, 59) << false;
        QTest::newRow("the minute after") << QTime(17, 1, 0) << true;
    }
    void dueBack_redOnceTheMinuteHasPassed()
    {
        QFETCH(QTime, now);
        QFETCH(bool, red);
        Clock::pin(QDateTime(kToday, now));
        double out = at(kToday, 9, 0);
        double due = at(kToday, 17, 0);
        const UserListItem item = written(QStringLiteral("OUT"), out, due);
        QCOMPARE(item.DueBackColour, red ? QColor(Qt::red) : QColor(Qt::black));
        QCOMPARE(item.DueBackText, QStringLiteral("5:00 pm"));
    }

    void yesterdaysDueBack_redWithItsDate()
    {
        pinAt(9, 15);
        double out = at(kToday.addDays(-1), 8, 5);
        double due = at(kToday.addDays(-1), 17, 0);
        const UserListItem item = written(QStringLiteral("OUT"), out, due);
        QCOMPARE(item.DueBackText, QStringLiteral("03-Dec-26 5:00 pm"));
        QCOMPARE(item.DueBackColour, QColor(Qt::red));
        QCOMPARE(item.OutText, QStringLiteral("03-Dec-26 8:05 am"));
        QCOMPARE(item.StatusText, QStringLiteral("Out"));
        QCOMPARE(item.IconKey, QStringLiteral("OUT"));
    }

    void customStatus_showsItsOwnIcon()
    {
        pinAt(9, 0);
        g_colCustomStatus = {CStatus{QStringLiteral("Training"), QStringLiteral("XTR"), QStringLiteral("O"),
                                     QStringLiteral("ICOschool")}};
        double out = 0;
        double due = at(kToday.addDays(3), 12, 0);
        const UserListItem item = written(QStringLiteral("XTR"), out, due);
        QCOMPARE(item.IconKey, QStringLiteral("ICOschool"));
        QCOMPARE(item.StatusText, QStringLiteral("Training"));
        QCOMPARE(item.DueBackText, QStringLiteral("07-Dec-26 12:00 pm"));
        QCOMPARE(item.DueBackColour, QColor(Qt::black));
    }

    // Going In after a pending status leaves nothing grey behind.
    void backIn_clearsTheGreyOfAPendingStatus()
    {
        pinAt(13, 30);
        double out = at(kToday, 14, 0);
        double due = 0;
        UserListItem item;
        QString note = QStringLiteral("later");
        QString status = QStringLiteral("OUT");
        UserListRows::SetListItemStatus(item, out, due, note, status);
        QVERIFY(item.Pending);
        status = QStringLiteral("INN");
        UserListRows::SetListItemStatus(item, out, due, note, status);
        QVERIFY(!item.Pending);
        QCOMPARE(item.NoteColour, QColor(Qt::black));
        QCOMPARE(item.StatusText, QStringLiteral("In"));
        QVERIFY(item.OutText.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_UserListRows)
#include "tst_UserListRows.moc"
