#pragma once

#include "CalendarAppointment.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QStringList>
#include <memory>

// One iCalendar file, parsed once. Gives the occurrences of its events that
// overlap a window, with repeating events expanded: excluded dates dropped,
// moved occurrences taken from their own entry, cancelled ones left out.
class IcsReader
{
public:
    IcsReader(const QByteArray &text, const QString &fileName);
    ~IcsReader();
    IcsReader(const IcsReader &) = delete;
    IcsReader &operator=(const IcsReader &) = delete;

    bool isValid() const;
    QList<CalendarAppointment> occurrences(const QDateTime &from, const QDateTime &to, QStringList &warnings) const;

    // Whether a text is an iCalendar the reader understands.
    static bool parses(const QByteArray &text);

    // A repeating rule gets this many steps to reach the window; past it the
    // event is logged and left out, so a rule with a tiny step never stalls
    // the check.
    static constexpr int kMaxRuleSteps = 100000;

private:
    struct Calendar;
    std::unique_ptr<Calendar> m_calendar;
    QString m_fileName;
};
