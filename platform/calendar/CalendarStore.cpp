#include "CalendarStore.h"

#include "BoundedFile.h"
#include "FolderFiles.h"

#include <QFileInfo>

#include <algorithm>

void CalendarStore::setPath(const QString &path)
{
    if (path != m_path)
        m_cache.clear();
    m_path = path;
}

void CalendarStore::reportOnce(Entry &entry, const QString &text, QStringList &warnings)
{
    if (!entry.reported.contains(text))
        warnings << text;
    entry.reported.insert(text);
}

std::shared_ptr<IcsReader> CalendarStore::reader(const FolderFiles::File &listed, QStringList &warnings)
{
    const QString &file = listed.path;
    Entry &entry = m_cache[file];
    if (entry.stamp == listed.stamp)
        return entry.reader;
    entry = Entry();
    entry.stamp = listed.stamp;
    QString problem;
    const std::optional<QByteArray> bytes = BoundedFile::read(file, &problem, listed.allowance);
    if (!bytes) {
        reportOnce(entry, file + QStringLiteral(": ") + problem, warnings);
        return nullptr;
    }
    entry.reader = std::make_shared<IcsReader>(*bytes, QFileInfo(file).fileName(), m_cancelled);
    if (entry.reader->wasCancelled()) {
        m_cache.remove(file); // read again by the next check
        return nullptr;
    }
    if (!entry.reader->isValid())
        reportOnce(entry, QStringLiteral("%1: not a calendar file; left out").arg(file), warnings);
    for (const QString &found : entry.reader->problems())
        reportOnce(entry, found, warnings);
    return entry.reader;
}

QList<CalendarAppointment> CalendarStore::between(const QDateTime &from, const QDateTime &to, QStringList &warnings,
                                                  CheckBudget &budget, RecurrenceSet::Walk walk)
{
    QList<Calendar> calendars;
    const FolderFiles::Listing listing = FolderFiles::list(m_path, {QStringLiteral("*.ics")});
    for (const QString &w : listing.leftOut)
        if (!m_folderWarnings.contains(w))
            warnings << w;
    m_folderWarnings = listing.leftOut;
    QSet<QString> names;
    for (const FolderFiles::File &file : listing.files)
        names.insert(file.path);
    for (auto it = m_cache.begin(); it != m_cache.end();)
        it = names.contains(it.key()) ? std::next(it) : m_cache.erase(it);
    m_cancelled = budget.cancelFlag();
    for (const FolderFiles::File &listed : listing.files) {
        if (budget.cancelled())
            return {};
        const std::shared_ptr<IcsReader> r = reader(listed, warnings);
        if (!r || !r->isValid())
            continue;
        calendars.append({listed.path, listed.stamp, r});
    }
    QList<CalendarAppointment> found = expand(calendars, from, to, walk, warnings, budget);
    std::stable_sort(found.begin(), found.end(), [](const CalendarAppointment &a, const CalendarAppointment &b) {
        if (a.start != b.start)
            return a.start < b.start;
        if (a.fileName != b.fileName)
            return a.fileName < b.fileName;
        return a.position < b.position;
    });
    return found;
}

// Every series of every file is given what it costs, where what is left
// holds it, else an equal share of what is left; the cheapest first, so
// what costly series cost is left to them. Those a share was not enough for
// are expanded again, sharing what is left. Those still cut count by what
// was found of them, and are named. Of series that cost alike the next check
// begins with the first this one's budget did not reach, so each is reached
// in turn.
QList<CalendarAppointment> CalendarStore::expand(const QList<Calendar> &calendars, const QDateTime &from,
                                                 const QDateTime &to, RecurrenceSet::Walk walk, QStringList &warnings,
                                                 CheckBudget &budget)
{
    QList<Part> parts;
    for (int c = 0; c < calendars.size(); ++c)
        for (int s = 0; s < calendars[c].reader->seriesCount(); ++s)
            parts.append({c, s, calendars[c].reader->cost(s, from, to, walk), 0});
    // Of series that cost alike, the first is the one the last check did not reach.
    parts = inTurn(parts, calendars);
    std::optional<Part> firstCut;
    std::stable_sort(parts.begin(), parts.end(), [](const Part &a, const Part &b) { return a.cost < b.cost; });
    budget.startClock();
    QList<CalendarAppointment> found;
    QList<Part> costly;
    for (const bool last : {false, true}) {
        const QList<Part> &round = last ? costly : parts;
        for (qsizetype i = 0; i < round.size(); ++i) {
            if (budget.cancelled())
                return {};
            const Part &part = round[i];
            budget.beginShare(round.size() - i, part.cost);
            const Calendar &calendar = calendars[part.calendar];
            if (m_guard && !m_guard({calendar.file, calendar.stamp, part.series, *calendar.reader}))
                continue;
            QStringList problems;
            // A series that costs more than all that is left is not begun:
            // it could not reach the window.
            const IcsReader::Expansion e = part.cost > budget.stepsLeft()
                                               ? calendar.reader->notExpanded(part.series)
                                               : calendar.reader->expand(part.series, from, to, walk, budget, problems);
            if (e.cut && !last && !budget.spent()) {
                costly.append(part);
                continue;
            }
            found += e.found;
            if (e.cut && (!firstCut || part.turn < firstCut->turn))
                firstCut = part;
            if (e.cut)
                problems << QStringLiteral("%1: the check ran out of time for the repeats of \"%2\"; "
                                           "the later ones were left out")
                                .arg(calendar.file, e.subject);
            for (const QString &problem : problems)
                reportOnce(m_cache[calendar.file], problem, warnings);
        }
    }
    if (firstCut)
        m_nextInTurn = {calendars[firstCut->calendar].file, firstCut->series};
    return found;
}

// The series in the order of the files and of each file, from the one the
// last check's budget did not reach.
QList<CalendarStore::Part> CalendarStore::inTurn(QList<Part> parts, const QList<Calendar> &calendars)
{
    const auto key = [&](const Part &p) { return std::pair{calendars[p.calendar].file, p.series}; };
    std::sort(parts.begin(), parts.end(), [&](const Part &a, const Part &b) { return key(a) < key(b); });
    const auto first = std::lower_bound(parts.begin(), parts.end(), m_nextInTurn,
                                        [&](const Part &p, const std::pair<QString, int> &k) { return key(p) < k; });
    std::rotate(parts.begin(), first, parts.end());
    for (qsizetype i = 0; i < parts.size(); ++i)
        parts[i].turn = int(i);
    m_nextInTurn = {};
    return parts;
}

QList<CalendarAppointment> CalendarStore::day(const QDate &date, QStringList &warnings)
{
    // The faster roads are measured against this listing, so a busy machine
    // must not cut it short: its steps bound it, and its time only a walk
    // whose steps stall.
    CheckBudget budget(CheckBudget::DefaultSteps, ListingMs);
    return between(QDateTime(date, QTime(0, 0)), QDateTime(date.addDays(1), QTime(0, 0)), warnings, budget,
                   RecurrenceSet::Walk::FromStart);
}

const CalendarAppointment *CalendarStore::running(const QList<CalendarAppointment> &day, const QDateTime &now)
{
    for (const CalendarAppointment &a : day) {
        if (a.ownStatusChange || (a.allDay && a.busy != BusyStatus::OutOfOffice))
            continue;
        if (a.runsAt(now))
            return &a;
    }
    return nullptr;
}

std::optional<CalendarAppointment> CalendarStore::runningAt(const QDateTime &now, QStringList &warnings,
                                                            CheckBudget &budget)
{
    // Running is counted in whole minutes: what runs now overlaps this minute.
    const QDateTime minute = QDateTime::fromSecsSinceEpoch(now.toSecsSinceEpoch() / 60 * 60);
    const QList<CalendarAppointment> found = between(minute, minute.addSecs(60), warnings, budget);
    if (const CalendarAppointment *a = running(found, now))
        return *a;
    return std::nullopt;
}
