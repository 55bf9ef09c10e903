#include "platform/DateUtil.h"

#include <QtTest>

class tst_DateUtil : public QObject
{
    Q_OBJECT
private slots:
    void dayNumbersPartsAndBoundaries()
    {
        QCOMPARE(DateUtil::toDays(QDate(2004, 3, 5), QTime(18, 0)), 38051.75);
        const QDateTime moment(QDate(2026, 12, 6), QTime(14, 7, 9));
        QCOMPARE(DateUtil::fromDays(DateUtil::toDays(moment)), moment);
        // Before the epoch the fraction still counts forward from midnight.
        QCOMPARE(DateUtil::fromDays(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
        QCOMPARE(DateUtil::toDays(QDate(1899, 12, 29), QTime(6, 0)), -1.25);
        const double d = DateUtil::toDays(QDate(2026, 12, 4), QTime(8, 30));
        QCOMPARE(DateUtil::datePart(d), DateUtil::toDays(QDate(2026, 12, 4)));
        QCOMPARE(DateUtil::timePart(d), 8.5 / 24);
        QCOMPARE(DateUtil::timeOf(d), QTime(8, 30));
        // Nonsense day numbers give the epoch rather than undefined dates.
        QCOMPARE(DateUtil::dateOf(std::numeric_limits<double>::infinity()), DateUtil::epoch());
        QCOMPARE(DateUtil::dateOf(1e300), DateUtil::epoch());

        // Differences count boundaries crossed, not durations.
        const double a = DateUtil::toDays(QDate(2026, 12, 4), QTime(13, 59, 59));
        const double b = DateUtil::toDays(QDate(2026, 12, 4), QTime(14, 0, 0));
        QCOMPARE(DateUtil::minutesBetween(a, b), qint64(1));
        QCOMPARE(DateUtil::minutesBetween(b, b + 59.0 / 86400), qint64(0));
        QCOMPARE(DateUtil::minutesBetween(b, a), qint64(-1));
        const double lateNight = DateUtil::toDays(QDate(2026, 12, 4), QTime(23, 59, 59));
        QCOMPARE(DateUtil::daysBetween(lateNight, lateNight + 2.0 / 86400), qint64(1));
        QCOMPARE(DateUtil::daysBetween(b, a), qint64(0));
        QCOMPARE(DateUtil::secondsBetween(a, b), qint64(1));
    }

    void val_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("leading blanks and trailing junk") << "  12abc" << 12.0;
        QTest::newRow("inner blanks skipped") << "1 2 3" << 123.0;
        QTest::newRow("decimal") << "1.30" << 1.3;
        QTest::newRow("hex") << "&H1F" << 31.0;
        QTest::newRow("octal") << "&O17" << 15.0;
        QTest::newRow("exponent") << "1e3" << 1000.0;
        QTest::newRow("huge exponent") << "1e999" << std::numeric_limits<double>::infinity();
        QTest::newRow("huge negative") << "-1e999" << -std::numeric_limits<double>::infinity();
        QTest::newRow("not a number") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
    }
    void val()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(DateUtil::val(text), expected);
    }

    void fixedTextsOfNumbersAndDates()
    {
        QCOMPARE(DateUtil::roundHalfEven(2.5), 2.0);
        QCOMPARE(DateUtil::roundHalfEven(3.5), 4.0);
        QCOMPARE(DateUtil::roundHalfEven(-2.5), -2.0);
        QCOMPARE(DateUtil::numberText(38051.75), QStringLiteral("38051.75"));
        QCOMPARE(DateUtil::numberText(1.0 / 3), QStringLiteral("0.333333333333333"));
        QCOMPARE(DateUtil::numberText(0), QStringLiteral("0"));
        QCOMPARE(DateUtil::numberText(-12), QStringLiteral("-12"));
        const QDateTime moment(QDate(2004, 3, 5), QTime(14, 7, 9));
        QCOMPARE(DateUtil::mediumDate(moment), QStringLiteral("05-Mar-04"));
        QCOMPARE(DateUtil::shortTime(moment), QStringLiteral("2:07 PM"));
        QCOMPARE(DateUtil::shortDate(moment.date()), QStringLiteral("05/03/2004"));
        for (const char *text : {"05/03/2004", "2004-03-05", "05-Mar-04"})
            QCOMPARE(DateUtil::parseDate(QString::fromLatin1(text)), QDate(2004, 3, 5));
        QVERIFY(!DateUtil::parseDate(QStringLiteral("31/02/2004")).isValid());
    }

    void parsesTimesLiberally_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QTime>("expected");
        QTest::newRow("h:mm") << "8:30" << QTime(8, 30);
        QTest::newRow("hh:mm:ss") << "08:30:00" << QTime(8, 30);
        QTest::newRow("pm") << "2:07 pm" << QTime(14, 7);
        QTest::newRow("midnight") << "12:00 AM" << QTime(0, 0);
        QTest::newRow("noon") << "12:00 PM" << QTime(12, 0);
        QTest::newRow("fraction") << "0.5" << QTime(12, 0);
        QTest::newRow("junk") << "half past" << QTime();
        QTest::newRow("bad hour") << "25:00" << QTime();
        QTest::newRow("13 pm") << "13:00 PM" << QTime();
    }
    void parsesTimesLiberally()
    {
        QFETCH(QString, text);
        QFETCH(QTime, expected);
        QCOMPARE(DateUtil::parseTime(text), expected);
    }
};

QTEST_GUILESS_MAIN(tst_DateUtil)
#include "tst_DateUtil.moc"
