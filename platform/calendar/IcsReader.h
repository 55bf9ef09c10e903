#pragma once

#include "CalendarAppointment.h"
#include "CheckBudget.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QStringList>
#include <memory>

// One iCalendar file, parsed once. Gives the occurrences of its events that
// overlap a window, with repeating events expanded: excluded dates dropped,
// moved occurrences taken from their own entry (one, or all later ones),
// cancelled ones left out, an event of a broken length left out.
class IcsReader
{
public:
    IcsReader(const QByteArray &text, const QString &fileName);
    ~IcsReader();
    IcsReader(const IcsReader &) = delete;
    IcsReader &operator=(const IcsReader &) = delete;

    bool isValid() const;
    // What was found wrong while reading the file (zones it cannot use).
    const QStringList &problems() const { return m_problems; }
    // Events the budget did not reach are counted in leftOut.
    QList<CalendarAppointment> occurrences(const QDateTime &from, const QDateTime &to, QStringList &warnings,
                                           CheckBudget &budget, int &leftOut) const;

    // Whether a text is an iCalendar the reader understands.
    static bool parses(const QByteArray &text);

private:
    struct Calendar;
    struct Moved;
    QHash<QString, QList<Moved>> movedEntries(const QDateTime &from, const QDateTime &to,
                                              QList<CalendarAppointment> &found) const;
    static std::pair<qint64, qint64> reach(const CalendarAppointment &master, const QList<Moved> &moved);
    std::optional<CalendarAppointment> occurrence(const CalendarAppointment &master, const QDateTime &start,
                                                  const QDateTime &end, const QList<Moved> &moved) const;

    std::unique_ptr<Calendar> m_calendar;
    QString m_fileName;
    QStringList m_problems;
};
