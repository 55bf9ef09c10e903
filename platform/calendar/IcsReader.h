#pragma once

#include "CalendarAppointment.h"
#include "CheckBudget.h"
#include "RecurrenceSet.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QStringList>
#include <atomic>
#include <memory>

class MovedOccurrences;

// One iCalendar file, parsed once. Its events are taken as series: an event
// with the entries that move or cancel its occurrences (one, or all later
// ones), or such entries whose event the file does not hold, which count as
// they stand. A series gives the occurrences that overlap a window, with its
// repeats expanded: excluded dates dropped, moved occurrences taken from
// their own entry, cancelled ones left out, an event of a broken length left
// out.
class IcsReader
{
public:
    // Parsing stops when cancelled is set; the reader is then not valid.
    IcsReader(const QByteArray &text, const QString &fileName, const std::atomic_bool *cancelled = nullptr);
    ~IcsReader();
    IcsReader(const IcsReader &) = delete;
    IcsReader &operator=(const IcsReader &) = delete;

    bool isValid() const;
    bool wasCancelled() const { return m_cancelled; }
    // What was found wrong while reading the file (zones it cannot use).
    const QStringList &problems() const { return m_problems; }

    struct Expansion
    {
        QList<CalendarAppointment> found;
        bool cut = false; // the budget ended first: only part was found
        QString subject;
    };
    int seriesCount() const;
    // What expanding a series in a window costs at most, in the budget's
    // steps, told before it is expanded.
    qint64 cost(int series, const QDateTime &from, const QDateTime &to, RecurrenceSet::Walk walk) const;
    // The summary of a series, as the file gives it (null: none).
    const char *subjectOf(int series) const;
    // A series left out whole, as cut.
    Expansion notExpanded(int series) const;
    Expansion expand(int series, const QDateTime &from, const QDateTime &to, RecurrenceSet::Walk walk,
                     CheckBudget &budget, QStringList &warnings) const;

    // Whether a text is an iCalendar the reader understands.
    static bool parses(const QByteArray &text);

private:
    struct Calendar;
    struct Series;
    void gatherSeries(const std::atomic_bool *cancelled);
    MovedOccurrences movesOf(const Series &series) const;
    bool readEntries(const Series &series, MovedOccurrences &moved, Expansion &result, CheckBudget &budget,
                     QStringList &warnings, const QDateTime &from, const QDateTime &to) const;

    std::unique_ptr<Calendar> m_calendar;
    QString m_fileName;
    QStringList m_problems;
    bool m_cancelled = false;
};
