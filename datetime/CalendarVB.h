#pragma once

#include "ZorDateTimeExport.h"

#include <QDate>
#include <QWidget>

class QCalendarWidget;

// The month calendar of the calendar drop-down, reduced to what the
// drop-down needs of it: the selected date, a day click and a date change.
class ZORDATETIME_EXPORT CalendarVB : public QWidget
{
    Q_OBJECT
public:
    explicit CalendarVB(QWidget *parent = nullptr);

    QDate value() const;
    // Setting the date always reports DateChange, even when it stays the same,
    // so that whatever follows the date is brought up to date.
    void setValue(const QDate &date);

    QCalendarWidget *calendar() const { return m_calendar; }

signals:
    // A day was clicked; raised once the selection has moved to that day.
    void Click();
    void DateChange(const QDate &newDate);

private:
    QCalendarWidget *m_calendar;
    bool m_setting = false;
};
