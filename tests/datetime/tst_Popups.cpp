#include "DateTimeTestValues.h"
#include "datetime/frmCalendar.h"
#include "datetime/frmTimeList.h"
#include "datetime/PropertyBag.h"
#include "datetime/ucDateTime.h"
#include "platform/Clock.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

namespace {
QString caption(const QDialog &form)
{
    return form.findChild<QLabel *>("Label1")->text();
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
    if (!QTest::qWaitForWindowExposed(&form))
        qWarning("drop-down not exposed");
    return form;
}
// Clicks the cell that shows a day late in the month on view: the grid may
// show the same number once more, from the month before, only above it.
void clickLateDay(QDialog &form, int dayOfMonth)
{
    QVERIFY(dayOfMonth > 14);
    auto *view = static_cast<QTableView *>(calendarView(form));
    const QAbstractItemModel *model = view->model();
    QModelIndex cell;
    for (int row = 0; row < model->rowCount(); ++row)
        for (int column = 0; column < model->columnCount(); ++column)
            if (model->data(model->index(row, column)).toString() == QString::number(dayOfMonth))
                cell = model->index(row, column);
    QVERIFY(cell.isValid());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(cell).center());
}
void clickRow(QListWidget *list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}
} // namespace

class tst_Popups : public QObject
{
    Q_OBJECT
private slots:
    void init() { Clock::pin(QDateTime(QDate(2024, 1, 31), QTime(10, 40))); }

    // From 31 January to the last day of a short month, and on from there
    // (the control's case goes on to 29 March in a leap year).
    void calendarStepsMonthsFrom31January()
    {
        Clock::pin(QDateTime(QDate(2023, 1, 31), QTime(9, 0)));
        frmCalendar form;
        shown(form);
        QCOMPARE(caption(form), QStringLiteral("January 2023"));
        clickButton(form, "cmdIncrease");
        QCOMPARE(form.selectedDate(), QDate(2023, 2, 28));
        clickButton(form, "cmdDecrease");
        clickButton(form, "cmdDecrease");
        QCOMPARE(form.selectedDate(), QDate(2022, 12, 28));
        QCOMPARE(caption(form), QStringLiteral("December 2022"));
        QCOMPARE(form.dtDate(), day(2022, 12, 28));
        QCOMPARE(form.findChild<QCalendarWidget *>()->monthShown(), 12);

        // Arrow keys move the day, across the month too, and keep it open.
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(calendarView(form), Qt::Key_Right);
        QVERIFY(form.isVisible());
        QCOMPARE(form.selectedDate(), QDate(2023, 1, 1));
        QCOMPARE(caption(form), QStringLiteral("January 2023"));
    }

    void calendarClickAcceptsDay()
    {
        // Another day, or the day already selected.
        for (int dayOfMonth : {20, 31}) {
            frmCalendar form;
            shown(form);
            clickLateDay(form, dayOfMonth);
            QVERIFY(!form.isVisible());
            QVERIFY(!form.Cancel());
            QCOMPARE(form.selectedDate(), QDate(2024, 1, dayOfMonth));
        }
    }

    void timeListPicksByArrowOrClose()
    {
        const auto run = [](const std::function<void(frmTimeList &)> &action) {
            auto form = std::make_unique<frmTimeList>();
            form->addEntries({"1:05 PM (5 Mins)", "1:15 PM (15 Mins)", "12:35 PM (5 Mins)"});
            shown(*form);
            action(*form);
            return form;
        };
        auto arrowed = run([](frmTimeList &f) {
            f.List1()->setFocus();
            QTest::keyClick(f.List1(), Qt::Key_Down);
        });
        QVERIFY(!arrowed->isVisible());
        QVERIFY(!arrowed->Cancel());
        QCOMPARE(arrowed->dtTime(), timeOfDay(13, 5));

        // The window closed some other way counts as a cancel.
        QVERIFY(run([](frmTimeList &f) { f.close(); })->Cancel());
    }

    void controlCalendarAcceptAndCancel()
    {
        WatchedControl watched(day(2024, 5, 5), timeOfDay(9, 0));
        auto &[ctl, dates, times] = watched;
        std::function<void(QDialog &)> action;
        ctl.setPopupRunner([&](QDialog &d) { action(shown(d)); });
        auto *calendarButton = ctl.findChild<QToolButton *>("Command1");

        const QList<std::function<void(QDialog &)>> dismissals = {
            [](QDialog &d) { QTest::keyClick(calendarView(d), Qt::Key_Escape); },
            [](QDialog &d) { clickButton(d, "Image1"); }};
        for (const auto &dismiss : dismissals) {
            action = dismiss;
            calendarButton->click();
            QCOMPARE(ctl.findChild<QLineEdit *>("Text1")->text(), QStringLiteral("05/05/2024"));
            QCOMPARE(ctl.DateTimeValue(), day(2024, 5, 5, 9, 0));
            QCOMPARE(dates.count() + times.count(), 0);
        }

        // Two months on from 31 January and Enter: the date box changes, so the
        // container hears DateChange from the box and again from the drop-down.
        action = [](QDialog &d) {
            clickButton(d, "cmdIncrease");
            clickButton(d, "cmdIncrease");
            QTest::keyClick(calendarView(d), Qt::Key_Enter);
        };
        calendarButton->click();
        QCOMPARE(ctl.findChild<QLineEdit *>("Text1")->text(), QStringLiteral("29/03/2024"));
        QCOMPARE(values(dates), QList<double>({day(2024, 3, 29), day(2024, 3, 29)}));
        QCOMPARE(ctl.DateTimeValue(), day(2024, 3, 29, 9, 0));

        // The calendar opens on today's month whatever the box holds; accepting
        // the date the box already shows raises DateChange once.
        ctl.setDateValue(day(2024, 1, 31));
        dates.clear();
        action = [](QDialog &d) { QTest::keyClick(calendarView(d), Qt::Key_Space); };
        calendarButton->click();
        QCOMPARE(values(dates), QList<double>({day(2024, 1, 31)}));
        QCOMPARE(times.count(), 0);
    }

    void controlTimeListAcceptAndCancel()
    {
        ucDateTime ctl;
        QSignalSpy times(&ctl, &ucDateTime::TimeChange);
        QStringList entries;
        std::function<void(frmTimeList &)> action;
        ctl.setPopupRunner([&](QDialog &d) {
            auto &form = static_cast<frmTimeList &>(shown(d));
            entries.clear();
            for (int row = 0; row < form.List1()->count(); ++row)
                entries << form.List1()->item(row)->text();
            action(form);
        });
        auto *timeButton = ctl.findChild<QToolButton *>("Command2");
        auto *timeBox = ctl.findChild<QLineEdit *>("Text2");

        action = [](frmTimeList &form) { QTest::keyClick(form.List1(), Qt::Key_Escape); };
        timeButton->click();
        QCOMPARE(entries.first(), QStringLiteral("10:00 AM")); // the pinned clock's hour
        QCOMPARE(timeBox->text(), QString());
        QCOMPARE(times.count(), 0);
        QCOMPARE(ctl.DateTimeValue(), 0.0);

        action = [](frmTimeList &form) { clickRow(form.List1(), 1); };
        timeButton->click();
        QCOMPARE(timeBox->text(), QStringLiteral("10:30 AM"));
        QCOMPARE(values(times), QList<double>({timeOfDay(10, 30), timeOfDay(10, 30)}));
        QCOMPARE(ctl.DateTimeValue(), day(2024, 1, 31, 10, 30)); // no date: today

        // The relative list, and Enter with nothing picked: midnight.
        ctl.setTimeStyle("1");
        ctl.setRelativeTimeValue(day(2024, 1, 31, 13, 0));
        times.clear();
        action = [](frmTimeList &form) { QTest::keyClick(form.List1(), Qt::Key_Return); };
        timeButton->click();
        QCOMPARE(entries.first(), QStringLiteral("1:05 PM (5 Mins)")); // the relative list
        QCOMPARE(timeBox->text(), QStringLiteral("12:00 AM"));
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
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        QRect opened;
        ctl->setPopupRunner([&](QDialog &d) {
            opened = shown(d).frameGeometry();
            d.reject();
        });
        const QLineEdit *timeBox = ctl->findChild<QLineEdit *>("Text2");
        ctl->findChild<QToolButton *>("Command2")->click();
        QCOMPARE(opened.topLeft(), timeBox->mapToGlobal(QPoint(0, timeBox->height()))); // just below the box

        const QRect screen = form.screen()->availableGeometry();
        form.move(screen.right() - 250, screen.bottom() - 200);
        ctl->findChild<QToolButton *>("Command1")->click();
        QVERIFY(screen.contains(opened));
        QCOMPARE(opened.right(), screen.right()); // pushed back from the right edge
        QCOMPARE(opened.bottom() + 1, ctl->findChild<QLineEdit *>("Text1")->mapToGlobal(QPoint(0, 0)).y()); // above
    }
};

QTEST_MAIN(tst_Popups)
#include "tst_Popups.moc"
