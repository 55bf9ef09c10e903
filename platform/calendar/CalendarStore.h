#pragma once

#include "CalendarAppointment.h"
#include "CheckBudget.h"
#include "FolderFiles.h"
#include "IcsReader.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

// The user's calendar: one .ics file, or every .ics file of a folder, read
// up to one size together. A file is parsed again only when it changed; a
// file that does not parse, is not a regular file or is too large is
// reported and left out, the others still count. What is wrong with a file
// is reported once while it stays as it is.
class CalendarStore
{
public:
    // A series about to be expanded, as the guard is told of it.
    struct SeriesAhead
    {
        const QString &file;
        const QString &stamp; // the file's version
        int series;
        const IcsReader &reader;
    };
    // Told of each series before it is expanded; a series it refuses is
    // left out.
    using Guard = std::function<bool(const SeriesAhead &)>;
    void setGuard(Guard guard) { m_guard = std::move(guard); }

    void setPath(const QString &path);
    const QString &path() const { return m_path; }

    // The occurrences overlapping [from, to), in start order (ties: file
    // name, then place in the file). Problems go to warnings. The files are
    // read first, and the budget's clock runs from when they are read.
    QList<CalendarAppointment> between(const QDateTime &from, const QDateTime &to, QStringList &warnings,
                                       CheckBudget &budget, RecurrenceSet::Walk walk = RecurrenceSet::Walk::Near);
    // The occurrences overlapping the given local day, every repeat walked
    // from its event's start: the plain expansion the faster roads must
    // agree with.
    QList<CalendarAppointment> day(const QDate &date, QStringList &warnings);
    static constexpr qint64 ListingMs = 60000;

    // The appointment running now that may set a status: whole-day events
    // only when marked out of office, never one this program wrote.
    static const CalendarAppointment *running(const QList<CalendarAppointment> &day, const QDateTime &now);
    // The same, found among the occurrences that reach into the minute of
    // now only, so repeats are sought near that minute alone.
    std::optional<CalendarAppointment> runningAt(const QDateTime &now, QStringList &warnings, CheckBudget &budget);

private:
    struct Entry
    {
        QString stamp; // the file as it was read
        std::shared_ptr<IcsReader> reader;
        QSet<QString> reported;
    };

    struct Calendar
    {
        QString file;
        QString stamp;
        std::shared_ptr<IcsReader> reader;
    };
    struct Part
    {
        int calendar;
        int series;
        qint64 cost;
        int turn; // its place, the one the last check did not reach first
    };

    std::shared_ptr<IcsReader> reader(const FolderFiles::File &listed, QStringList &warnings);
    static void reportOnce(Entry &entry, const QString &text, QStringList &warnings);
    QList<Part> inTurn(QList<Part> parts, const QList<Calendar> &calendars);
    QList<CalendarAppointment> expand(const QList<Calendar> &calendars, const QDateTime &from, const QDateTime &to,
                                      RecurrenceSet::Walk walk, QStringList &warnings, CheckBudget &budget);

    QString m_path;
    QHash<QString, Entry> m_cache;
    QStringList m_folderWarnings; // the folder's files left out, as last told
    std::pair<QString, int> m_nextInTurn; // file and series the last check's budget did not reach
    Guard m_guard;
    const std::atomic_bool *m_cancelled = nullptr; // of the check under way: reading stops with it
};
