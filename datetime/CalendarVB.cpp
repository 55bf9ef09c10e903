#include "CalendarVB.h"

#include <QCalendarWidget>
#include <QVBoxLayout>

CalendarVB::CalendarVB(QWidget *parent)
    : QWidget(parent), m_calendar(new QCalendarWidget(this))
{
    // The drop-down draws its own month caption and month buttons.
    m_calendar->setNavigationBarVisible(false);
    m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_calendar->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_calendar);
    setFocusProxy(m_calendar);

    connect(m_calendar, &QCalendarWidget::selectionChanged, this, [this] {
        if (!m_setting)
            emit DateChange(value());
    });
    connect(m_calendar, &QCalendarWidget::clicked, this, [this] { emit Click(); });
}

QDate CalendarVB::value() const
{
    return m_calendar->selectedDate();
}

void CalendarVB::setValue(const QDate &date)
{
    m_setting = true;
    m_calendar->setSelectedDate(date);
    m_calendar->setCurrentPage(date.year(), date.month());
    m_setting = false;
    emit DateChange(value());
}
