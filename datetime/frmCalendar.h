#pragma once

#include "ZorDateTimeExport.h"

#include <QDate>
#include <QDialog>

class CalendarVB;
class QLabel;
class QToolButton;

// The calendar drop-down: opens on today's month, accepts a clicked day,
// Enter or Space, and is dismissed by Esc or its close picture. The control
// that shows it reads Cancel and the calendar's date once it has hidden.
class ZORDATETIME_EXPORT frmCalendar : public QDialog
{
    Q_OBJECT
public:
    explicit frmCalendar(QWidget *parent = nullptr);

    bool Cancel() const { return m_cancel; }
    double dtDate() const { return m_dtDate; } // the date the calendar last reported
    QDate selectedDate() const;

    void reject() override; // closing the window counts as cancelling

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildCaptionRow();
    void onDateChange(const QDate &newDate);
    void stepMonths(int months);
    bool handleKey(int key);
    void finish(bool cancel);

    CalendarVB *CalendarVB1;
    QLabel *Label1;
    QToolButton *cmdDecrease;
    QToolButton *cmdIncrease;
    QToolButton *Image1;
    bool m_cancel = false;
    double m_dtDate = 0;
};
