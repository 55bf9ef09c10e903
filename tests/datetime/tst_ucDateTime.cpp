#include "DateTimeTestValues.h"
#include "TestSupport.h"
#include "datetime/PropertyBag.h"
#include "datetime/ucDateTime.h"
#include "platform/AppError.h"
#include "platform/Clock.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

class tst_ucDateTime : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Clock::pin(QDateTime(QDate(2024, 3, 15), QTime(10, 40))); }

    void typingDateThenTime()
    {
        WatchedControl watched;
        auto &[ctl, dates, times] = watched;

        // Every keystroke that leaves a valid date raises DateChange: "01/02/20"
        // already reads as a date in 2020. A date alone sits on day 0's time.
        QTest::keyClicks(box(ctl, "Text1"), "01/02/2024");
        QCOMPARE(values(dates), QList<double>({day(2020, 2, 1), day(2024, 2, 1)}));
        QCOMPARE(times.count(), 0);
        QCOMPARE(ctl.DateTimeValue(), day(2024, 2, 1));

        QTest::keyClicks(box(ctl, "Text2"), "9:30 AM");
        QCOMPARE(values(times), QList<double>({timeOfDay(9, 3), timeOfDay(9, 30), timeOfDay(9, 30), timeOfDay(9, 30), timeOfDay(9, 30)}));
        QCOMPARE(dates.count(), 2);
        QCOMPARE(ctl.DateTimeValue(), day(2024, 2, 1, 9, 30));
    }

    void timeWithoutDateCountsForToday()
    {
        ucDateTime ctl;
        QSignalSpy dates(&ctl, &ucDateTime::DateChange);
        QTest::keyClicks(box(ctl, "Text2"), "2:15 PM");
        QCOMPARE(ctl.DateTimeValue(), day(2024, 3, 15, 14, 15));

        QTest::keyClicks(box(ctl, "Text1"), "01/02/2024");
        QCOMPARE(ctl.DateTimeValue(), day(2024, 2, 1, 14, 15));

        // Taking the date away leaves the time on day 0 until the date is valid again.
        QTest::keyClick(box(ctl, "Text1"), Qt::Key_Backspace);
        QCOMPARE(ctl.DateTimeValue(), timeOfDay(14, 15));
        QTest::keyClicks(box(ctl, "Text1"), "5");
        QCOMPARE(ctl.DateTimeValue(), day(2025, 2, 1, 14, 15));
        QCOMPARE(dates.count(), 3);
    }

    void putsRaiseOneEventSeenBeforeTheChange()
    {
        WatchedControl watched;
        auto &[ctl, dates, times] = watched;
        ctl.setDateValue(day(2024, 2, 1, 17, 0));
        QList<double> seen;
        connect(&ctl, &ucDateTime::TimeChange, this, [&] { seen << ctl.DateTimeValue() << ctl.TimeValue(); });
        ctl.setTimeValue(day(2024, 2, 1, 17, 5));
        QCOMPARE(box(ctl, "Text1")->text(), QStringLiteral("01/02/2024"));
        QCOMPARE(box(ctl, "Text2")->text(), QStringLiteral("5:05 PM"));
        QCOMPARE(values(dates), QList<double>({day(2024, 2, 1)}));
        QCOMPARE(values(times), QList<double>({timeOfDay(17, 5)}));
        // The handler sees the combined value of before the change.
        QCOMPARE(seen, QList<double>({day(2024, 2, 1), timeOfDay(17, 5)}));
        QCOMPARE(ctl.DateTimeValue(), day(2024, 2, 1, 17, 5));

        // The combined value can be overwritten; the boxes stay, and the next
        // change of a box works it out again.
        ctl.setDateTimeValue(day(2030, 1, 1));
        QCOMPARE(ctl.DateTimeValue(), day(2030, 1, 1));
        QCOMPARE(box(ctl, "Text1")->text(), QStringLiteral("01/02/2024"));
        ctl.setTimeValue(timeOfDay(8, 0));
        QCOMPARE(ctl.DateTimeValue(), day(2024, 2, 1, 8, 0));
    }

    void clearEndsAtZeroWithoutEvents()
    {
        WatchedControl watched(day(2024, 2, 1), timeOfDay(9, 30));
        auto &[ctl, dates, times] = watched;
        ctl.clear();
        QCOMPARE(ctl.DateTimeValue(), 0.0);
        QCOMPARE(box(ctl, "Text1")->text() + box(ctl, "Text2")->text(), QString());
        QCOMPARE(dates.count() + times.count(), 0);

        // Empty boxes give no change to react to; the value still goes to 0.
        ctl.setDateTimeValue(day(2024, 5, 5));
        ctl.clear();
        QCOMPARE(ctl.DateTimeValue(), 0.0);
    }

    // Values, styles and positions by dispatch id; positions at design time only.
    void propertiesByDispatchIdAndDesignTimePositions()
    {
        ucDateTime ctl;
        QSignalSpy changed(&ctl, &ucDateTime::PropertyChanged);
        ctl.setPropertyById(0x6803001E, day(2024, 2, 1));
        ctl.setPropertyById(0x6803001D, timeOfDay(9, 30));
        QCOMPARE(ctl.propertyById(0x6803001F).toDouble(), day(2024, 2, 1, 9, 30));
        ctl.setPropertyById(0x68030011, "1");
        ctl.setPropertyById(0x68030019, 2);
        QCOMPARE(ctl.TimeStyle(), QStringLiteral("1"));
        QCOMPARE(ctl.propertyById(0x68030019).toInt(), 2);
        // Value puts tell the container nothing; the others name themselves.
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.last().at(0).toString(), QStringLiteral("Style"));
        QVERIFY_THROWS_EXCEPTION(AppError, ctl.propertyById(0x6803001C)); // write-only
        QVERIFY_THROWS_EXCEPTION(AppError, ctl.propertyById(0x12345));

        QCOMPARE(raisedBy([&] { ctl.setTopPosition(1560); }).number(), 382);
        QVERIFY_THROWS_EXCEPTION(AppError, ctl.setPropertyById(qint32(ucDateTime::DispId::LeftPosition), 1410));
        QCOMPARE(ctl.TopPosition() + ctl.LeftPosition(), 0);
        ctl.setAmbientUserMode(false);
        ctl.setTopPosition(1560);
        ctl.setLeftPosition(-75);
        QCOMPARE(ctl.TopPosition(), 1560);
        QCOMPARE(ctl.LeftPosition(), -75);
        QCOMPARE(changed.count(), 4);
    }

    void styleLaysOutAtResize()
    {
        QWidget form;
        auto *ctl = new ucDateTime(&form);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const int bothWide = ctl->width();
        ctl->setStyle(2);
        QCOMPARE(ctl->width(), bothWide); // nothing moves before the next resize
        ctl->resize(300, 25);
        // The time pair alone, from the left edge; the control as narrow as the pair, not as asked.
        QCOMPARE(box(*ctl, "Text2")->x(), 0);
        const int pairEnd = ctl->findChild<QToolButton *>("Command2")->geometry().right();
        QVERIFY(ctl->width() > pairEnd && ctl->width() < bothWide);
        QCOMPARE(ctl->height(), 25);
        QVERIFY(!box(*ctl, "Text1")->isVisible());
        // The hidden box takes no focus.
        box(*ctl, "Text2")->setFocus();
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QVERIFY(!box(*ctl, "Text1")->hasFocus());
        }

        ctl->setStyle(1);
        ctl->resize(200, 22);
        QVERIFY(box(*ctl, "Text1")->isVisible());
        QVERIFY(!box(*ctl, "Text2")->isVisible());
    }

    void bagRoundTrip()
    {
        ucDateTime fresh;
        PropertyBag empty;
        fresh.writeProperties(empty);
        QCOMPARE(empty.names(), QStringList());

        ucDateTime design;
        design.setAmbientUserMode(false);
        design.setStyle(2);
        design.setTopPosition(1740);
        design.setLeftPosition(-75);
        design.setTimeStyle("1");
        design.setBorderStyle(1);
        PropertyBag bag;
        design.writeProperties(bag);
        QCOMPARE(bag.names(), QStringList({"BorderStyle", "TimeStyle", "TopPosition", "LeftPosition", "Style"}));

        ucDateTime loaded; // a form loads at run time: positions come in from the bag
        loaded.readProperties(bag);
        QCOMPARE(loaded.Style(), quint8(2));
        QCOMPARE(loaded.TopPosition(), 1740);
        QCOMPARE(loaded.LeftPosition(), -75);
        QCOMPARE(loaded.TimeStyle(), QStringLiteral("1"));
        QCOMPARE(loaded.BorderStyle(), qint16(1));
    }

    void bagAppliesToDateBoxButDisablesWholeControl()
    {
        PropertyBag bag;
        bag.writeProperty("ForeColor", QColor(Qt::red));
        bag.writeProperty("Enabled", false);
        bag.writeProperty("ToolTipText", "When");
        ucDateTime ctl;
        ctl.readProperties(bag);
        QCOMPARE(ctl.ForeColor(), QColor(Qt::red));
        QVERIFY(box(ctl, "Text2")->palette().color(QPalette::Text) != QColor(Qt::red));
        QCOMPARE(box(ctl, "Text2")->toolTip(), QString());
        QCOMPARE(ctl.ToolTipText(), QStringLiteral("When"));
        const QList<const char *> parts = {"Text1", "Text2", "Command1", "Command2"};
        for (const char *name : parts)
            QVERIFY2(!ctl.findChild<QWidget *>(name)->isEnabledTo(&ctl), name);

        PropertyBag saved;
        ctl.writeProperties(saved);
        QCOMPARE(saved.names(), QStringList({"ForeColor", "Enabled", "ToolTipText"}));

        ctl.setEnabled(true);
        for (const char *name : parts)
            QVERIFY2(ctl.findChild<QWidget *>(name)->isEnabledTo(&ctl), name);
    }

private:
    QLineEdit *box(ucDateTime &ctl, const char *name) { return ctl.findChild<QLineEdit *>(name); }
};

QTEST_MAIN(tst_ucDateTime)
#include "tst_ucDateTime.moc"
