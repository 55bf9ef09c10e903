#include "DateTimeTestValues.h"
#include "datetime/CombinedValue.h"
#include "datetime/DateTimeText.h"
#include "datetime/DropDownPlacement.h"
#include "datetime/PropertyBag.h"
#include "datetime/TimeListEntries.h"

#include <QtTest>

class tst_DateTimeRules : public QObject
{
    Q_OBJECT
private slots:
    void parsesDatesTimesAndBoth_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value"); // 0: not valid
        QTest::newRow("short date") << "01/02/2024" << day(2024, 2, 1);
        QTest::newRow("two-digit year") << "01/02/24" << day(2024, 2, 1);
        QTest::newRow("medium date") << "05-Mar-04" << day(2004, 3, 5);
        QTest::newRow("time") << "9:30 PM" << timeOfDay(21, 30);
        QTest::newRow("24-hour time") << "14:05" << timeOfDay(14, 5);
        QTest::newRow("date and time") << " 01/02/2024  9:30 AM " << day(2024, 2, 1, 9, 30);
        for (const char *bad : {"14", "0.5", "9:", "32/01/2024", "13:00 PM", "9:00 AM 10:00 AM", ""})
            QTest::newRow(*bad ? bad : "empty") << QString::fromLatin1(bad) << 0.0;
    }

    void parsesDatesTimesAndBoth()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(DateTimeText::isValid(text), value != 0.0);
        QCOMPARE(DateTimeText::value(text), value);
    }

    void combinesBoxesThatDoNotJoin()
    {
        // The date's day with the time's time of day.
        QCOMPARE(CombinedValue::afterDateBoxChange("01/02/2024 8:00", "9:30 AM"), day(2024, 2, 1, 9, 30));
        QCOMPARE(CombinedValue::afterDateBoxChange("8:00 AM", "9:30 AM"), timeOfDay(9, 30));
        // A date typed into the time box joins today's date with no time.
        QCOMPARE(CombinedValue::afterTimeBoxChange("", "01/02/2024", day(2024, 3, 15, 10, 40)), day(2024, 3, 15));
    }

    void timeListsByStyle()
    {
        // Style "0": 48 half hours from the current hour round the clock.
        const QStringList clock = TimeListEntries::build("0", 0, QTime(10, 40));
        QCOMPARE(clock.size(), 48);
        QCOMPARE(clock.mid(0, 2), QStringList({"10:00 AM", "10:30 AM"}));
        QCOMPARE(clock.mid(27, 2), QStringList({"11:30 PM", "12:00 AM"}));
        QCOMPARE(clock.last(), QStringLiteral("9:30 AM"));
        QCOMPARE(TimeListEntries::build("0", 0, QTime(0, 15)).last(), QStringLiteral("11:30 PM"));

        // Any other style: 51 steps on from the base time.
        const QStringList relative = TimeListEntries::relativeTimes(day(2024, 3, 15, 13, 0));
        QCOMPARE(relative.size(), 51);
        QCOMPARE(relative.mid(0, 7), QStringList({"1:05 PM (5 Mins)", "1:15 PM (15 Mins)", "1:30 PM (30 Mins)",
                                                  "1:45 PM (45 Mins)", "2:00 PM (1.0 Hour)", "2:30 PM (1.5 Hours)",
                                                  "3:00 PM (2.0 Hours)"}));
        QCOMPARE(relative.mid(49), QStringList({"12:30 PM (23.5 Hours)", "1:00 PM (24.0 Hours)"}));
        for (const QString style : {"1", "", "00", " 0"})
            QCOMPARE(TimeListEntries::build(style, 0, QTime(10, 40)).first(), QStringLiteral("12:05 AM (5 Mins)"));
    }

    void dropDownStaysOnScreen()
    {
        const QRect screen(0, 0, 800, 600);
        QCOMPARE(DropDownPlacement::place({100, 100, 95, 21}, {140, 130}, screen), QPoint(100, 121));
        QCOMPARE(DropDownPlacement::place({750, 100, 95, 21}, {107, 116}, screen), QPoint(693, 121));
        QCOMPARE(DropDownPlacement::place({100, 560, 95, 21}, {107, 116}, screen), QPoint(100, 444));
        QCOMPARE(DropDownPlacement::place({0, 0, 95, 21}, {900, 700}, screen), QPoint(0, 0));
        QCOMPARE(DropDownPlacement::place({900, 0, 95, 21}, {100, 100}, QRect(800, 0, 1024, 768)), QPoint(900, 21));
    }

    void bagKeepsOnlyWhatDiffersInOrder()
    {
        PropertyBag bag;
        bag.writeProperty("TimeStyle", "1", "0");
        bag.writeProperty("TopPosition", 0, 0);
        bag.writeProperty("Style", 2, 0);
        QCOMPARE(bag.names(), QStringList({"TimeStyle", "Style"}));
        QCOMPARE(bag.readProperty("TopPosition", 7).toInt(), 7);
        // Writing the default again drops the old value.
        bag.writeProperty("TimeStyle", "0", "0");
        QCOMPARE(bag.names(), QStringList({"Style"}));
    }
};

QTEST_GUILESS_MAIN(tst_DateTimeRules)
#include "tst_DateTimeRules.moc"
