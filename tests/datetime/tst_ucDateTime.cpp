#include "TestSupport.h"
#include "datetime/DateTimeText.h"
#include "datetime/DropDownPlacement.h"
#include "datetime/frmCalendar.h"
#include "datetime/frmTimeList.h"
#include "datetime/PropertyBag.h"
#include "datetime/TimeListEntries.h"
#include "datetime/ucDateTime.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"

#include <QtTest>
#include <QtWidgets>

namespace {

double day(int year, int month, int dayOfMonth, int hour = 0, int minute = 0)
{
    return DateUtil::toDays(QDate(year, month, dayOfMonth), QTime(hour, minute));
}

double timeOfDay(int hour, int minute)
{
    return DateUtil::fromTime(QTime(hour, minute));
}

// The first argument of every signal a spy caught, as day numbers.
QList<double> values(const QSignalSpy &spy)
{
    QList<double> result;
    for (const auto &args : spy)
        result.append(args.at(0).toDouble());
    return result;
}

// A control with spies on its two change events.
struct WatchedControl
{
    ucDateTime ctl;
    QSignalSpy dates{&ctl, &ucDateTime::DateChange};
    QSignalSpy times{&ctl, &ucDateTime::TimeChange};
};

QLineEdit *box(ucDateTime &ctl, const char *name)
{
    return ctl.findChild<QLineEdit *>(name);
}
void clickButton(QDialog &form, const char *name)
{
    QTest::mouseClick(form.findChild<QToolButton *>(name), Qt::LeftButton);
}
QWidget *calendarView(QDialog &form)
{
    return form.findChild<QCalendarWidget *>()->findChild<QTableView *>();
}
QDialog &shown(QDialog &form)
{
    form.show();
    if (!QTest::qWaitForWindowExposed(&form, stretched(5000)))
        qWarning("drop-down not exposed");
    return form;
}
} // namespace

class tst_ucDateTime : public QObject
{
    Q_OBJECT
private slots:
    void init() { Clock::pin(QDateTime(QDate(2024, 1, 31), QTime(10, 40))); }

    void parsesDatesTimesAndBoth()
    {
        // the text, its value (0: not valid)
        const std::pair<const char *, double> rows[] = {
            {"01/02/24", day(2024, 2, 1)}, {"9:30 PM", timeOfDay(21, 30)},
            {" 01/02/2024  9:30 AM ", day(2024, 2, 1, 9, 30)}, {"14", 0}, {"32/01/2024", 0}, {"13:00 PM", 0},
            {"9:00 AM 10:00 AM", 0}};
        for (const auto &[text, value] : rows) {
            QVERIFY2(DateTimeText::isValid(QLatin1String(text)) == (value != 0.0), text);
            QVERIFY2(DateTimeText::value(QLatin1String(text)) == value, text);
        }
    }

    void timeListsByStyle()
    {
        // Style "0": 48 half hours from the current hour round the clock.
        QCOMPARE(TimeListEntries::build("0", 0, QTime(10, 40)).mid(27, 2), QStringList({"11:30 PM", "12:00 AM"}));

        // Any other style: 51 steps on from the base time.
        const QStringList relative = TimeListEntries::relativeTimes(day(2024, 3, 15, 13, 0));
        QCOMPARE(relative.size(), 51);
        QCOMPARE(relative.at(5), QStringLiteral("2:30 PM (1.5 Hours)"));
        for (const QString style : {"", " 0"})
            QCOMPARE(TimeListEntries::build(style, 0, QTime(10, 40)).first(), QStringLiteral("12:05 AM (5 Mins)"));
    }

    void typingDateThenTime()
    {
        WatchedControl watched;
        auto &[ctl, dates, times] = watched;

        // Every keystroke that leaves a valid date raises DateChange: "01/02/20"
        // already reads as a date in 2020. A date alone sits on day 0's time.
        QTest::keyClicks(box(ctl, "Text1"), "01/02/2024");
        QCOMPARE(values(dates), QList<double>({day(2020, 2, 1), day(2024, 2, 1)}));
        QCOMPARE(ctl.DateTimeValue(), day(2024, 2, 1));

        QTest::keyClicks(box(ctl, "Text2"), "9:30 AM");
        QCOMPARE(values(times), QList<double>({timeOfDay(9, 3), timeOfDay(9, 30), timeOfDay(9, 30), timeOfDay(9, 30), timeOfDay(9, 30)}));
        QCOMPARE(ctl.DateTimeValue(), day(2024, 2, 1, 9, 30));

        // Taking the date away leaves the time on day 0 until the date is valid again.
        QTest::keyClick(box(ctl, "Text1"), Qt::Key_Backspace);
        QCOMPARE(ctl.DateTimeValue(), timeOfDay(9, 30));
        QTest::keyClicks(box(ctl, "Text1"), "5");
        QCOMPARE(ctl.DateTimeValue(), day(2025, 2, 1, 9, 30));
    }

    // Typed text that reads as no date or time is named, never taken for 0;
    // an empty box only when a value is required.
    void checkEntry()
    {
        const struct { const char *date; bool required; const char *message; } cases[] = {
            {"07/12/202026", false, "Start: \"07/12/202026\" is not a valid date."},
            {"07/12/2026", true, "Start: please enter a time."},
            {"", false, ""}};
        for (const auto &c : cases) {
            ucDateTime ctl;
            QTest::keyClicks(box(ctl, "Text1"), c.date);
            QCOMPARE(ctl.checkEntry("Start", c.required), QString::fromLatin1(c.message));
        }
    }

    void putsRaiseOneEventSeenBeforeTheChange()
    {
        WatchedControl watched;
        auto &[ctl, dates, times] = watched;
        ctl.setDateValue(day(2024, 2, 1, 17, 0));
        QList<double> seen;
        connect(&ctl, &ucDateTime::TimeChange, this, [&] { seen << ctl.DateTimeValue() << ctl.TimeValue(); });
        ctl.setTimeValue(day(2024, 2, 1, 17, 5));
        QCOMPARE(values(dates), QList<double>({day(2024, 2, 1)}));
        QCOMPARE(values(times), QList<double>({timeOfDay(17, 5)}));
        // The handler sees the combined value of before the change.
        QCOMPARE(seen, QList<double>({day(2024, 2, 1), timeOfDay(17, 5)}));
        QCOMPARE(ctl.DateTimeValue(), day(2024, 2, 1, 17, 5));

        // Clearing ends at 0 without events.
        dates.clear();
        times.clear();
        ctl.clear();
        QCOMPARE(ctl.DateTimeValue(), 0.0);
        QCOMPARE(dates.count() + times.count(), 0);
    }

    void bagRoundTripAndDisabling()
    {
        ucDateTime design;
        design.setAmbientUserMode(false);
        design.setStyle(2);
        design.setTopPosition(1740);
        design.setTimeStyle("1");
        PropertyBag bag;
        design.writeProperties(bag);
        QCOMPARE(bag.names(), QStringList({"TimeStyle", "TopPosition", "Style"}));
        ucDateTime loaded; // a form loads at run time: positions come in from the bag
        loaded.readProperties(bag);
        QCOMPARE(loaded.TopPosition(), 1740);

        // Colours go to the date box only.
        bag.writeProperty("ForeColor", QColor(Qt::red));
        ucDateTime ctl;
        ctl.readProperties(bag);
        QVERIFY(box(ctl, "Text2")->palette().color(QPalette::Text) != QColor(Qt::red));
    }

    void controlCalendarAcceptAndCancel()
    {
        WatchedControl watched;
        auto &[ctl, dates, times] = watched;
        ctl.setDateValue(day(2024, 5, 5));
        ctl.setTimeValue(timeOfDay(9, 0));
        dates.clear();
        times.clear();
        std::function<void(QDialog &)> action;
        ctl.setPopupRunner([&](QDialog &d) { action(shown(d)); });
        auto *calendarButton = ctl.findChild<QToolButton *>("Command1");

        action = [](QDialog &d) { clickButton(d, "Image1"); }; // the close button
        calendarButton->click();
        QCOMPARE(ctl.DateTimeValue(), day(2024, 5, 5, 9, 0));
        QCOMPARE(dates.count() + times.count(), 0);

        // From 31 January a month at a time: the last day of a short month, and
        // on from there (a leap year's 29th, back a month); arrow keys move the
        // day, across the month too, and keep it open. Enter: the date box
        // changes, so the container hears DateChange from the box and again
        // from the drop-down.
        action = [](QDialog &d) {
            for (const char *step : {"cmdIncrease", "cmdIncrease", "cmdIncrease", "cmdDecrease"})
                clickButton(d, step);
            QCOMPARE(d.findChild<QLabel *>("Label1")->text(), QStringLiteral("March 2024"));
            for (int i = 0; i < 3; ++i)
                QTest::keyClick(calendarView(d), Qt::Key_Right);
            QVERIFY(d.isVisible());
            QTest::keyClick(calendarView(d), Qt::Key_Enter);
        };
        calendarButton->click();
        QCOMPARE(box(ctl, "Text1")->text(), QStringLiteral("01/04/2024"));
        QCOMPARE(values(dates), QList<double>({day(2024, 4, 1), day(2024, 4, 1)}));
        QCOMPARE(ctl.DateTimeValue(), day(2024, 4, 1, 9, 0));

        // The calendar opens on today's month whatever the box holds; accepting
        // the date the box already shows raises DateChange once.
        ctl.setDateValue(day(2024, 1, 31));
        dates.clear();
        action = [](QDialog &d) { QTest::keyClick(calendarView(d), Qt::Key_Space); };
        calendarButton->click();
        QCOMPARE(values(dates), QList<double>({day(2024, 1, 31)}));
    }

    void controlTimeListAcceptAndCancel()
    {
        ucDateTime ctl;
        QSignalSpy times(&ctl, &ucDateTime::TimeChange);
        QString firstEntry;
        std::function<void(frmTimeList &)> action;
        ctl.setPopupRunner([&](QDialog &d) {
            auto &form = static_cast<frmTimeList &>(shown(d));
            firstEntry = form.List1()->item(0)->text();
            action(form);
        });
        auto *timeButton = ctl.findChild<QToolButton *>("Command2");

        // Escape, or a click beside the list, closes it with nothing changed.
        action = [](frmTimeList &form) { QTest::keyClick(form.List1(), Qt::Key_Escape); };
        timeButton->click();
        action = [](frmTimeList &form) { QTest::mouseClick(&form, Qt::LeftButton, {}, QPoint(-5, -5)); };
        timeButton->click();
        QCOMPARE(firstEntry, QStringLiteral("10:00 AM")); // the pinned clock's hour
        QCOMPARE(times.count(), 0);

        action = [](frmTimeList &form) {
            QListWidget *list = form.List1();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
        };
        timeButton->click();
        QCOMPARE(box(ctl, "Text2")->text(), QStringLiteral("10:30 AM"));
        QCOMPARE(values(times), QList<double>({timeOfDay(10, 30), timeOfDay(10, 30)}));
        QCOMPARE(ctl.DateTimeValue(), day(2024, 1, 31, 10, 30)); // no date: today

        // The relative list, and Enter with nothing picked: midnight.
        ctl.setTimeStyle("1");
        ctl.setRelativeTimeValue(day(2024, 1, 31, 13, 0));
        times.clear();
        action = [](frmTimeList &form) { QTest::keyClick(form.List1(), Qt::Key_Return); };
        timeButton->click();
        QCOMPARE(firstEntry, QStringLiteral("1:05 PM (5 Mins)"));
        QCOMPARE(values(times), QList<double>({0.0, 0.0}));
        QCOMPARE(ctl.DateTimeValue(), day(2024, 1, 31));
    }

    void dropDownsOpenAtPositionsOnScreen()
    {
        QWidget form;
        form.setGeometry(50, 40, 600, 300);
        auto *ctl = new ucDateTime(&form);
        ctl->move(200, 150);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form, stretched(5000)));

        QRect opened;
        ctl->setPopupRunner([&](QDialog &d) {
            opened = shown(d).frameGeometry();
            // A pop-up: no frame, no button in the task bar.
            QCOMPARE(d.windowType(), Qt::Popup);
            d.reject();
        });
        const QLineEdit *timeBox = box(*ctl, "Text2");
        ctl->findChild<QToolButton *>("Command2")->click();
        QCOMPARE(opened.topLeft(), timeBox->mapToGlobal(QPoint(0, timeBox->height()))); // just below the box

        const QRect screen = form.screen()->availableGeometry();
        form.move(screen.right() - 250, screen.bottom() - 200);
        ctl->findChild<QToolButton *>("Command1")->click();
        QVERIFY(screen.contains(opened));
        QCOMPARE(opened.right(), screen.right()); // pushed back from the right edge
        QCOMPARE(opened.bottom() + 1, box(*ctl, "Text1")->mapToGlobal(QPoint(0, 0)).y()); // above
        // A second screen to the right: no push back from the first one's edge.
        QCOMPARE(DropDownPlacement::place({900, 0, 95, 21}, {100, 100}, QRect(800, 0, 1024, 768)), QPoint(900, 21));
    }
};

QTEST_MAIN(tst_ucDateTime)
#include "tst_ucDateTime.moc"
