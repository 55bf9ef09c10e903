#include "IcsReader.h"

#include "IcsEvent.h"
#include "IcsTime.h"
#include "MovedOccurrences.h"
#include "RulePlan.h"

#include <QHash>
#include <cstring>
#include <thread>
#include <utility>

// An event of the file (null: its entries' event is not in the file), the
// entries with its UID that move or cancel occurrences, and whether their
// own occurrences count with it (with the first event of the UID only).
struct IcsReader::Series
{
    icalcomponent *event = nullptr;
    int position = 0;
    QList<std::pair<icalcomponent *, int>> entries{};
    bool ownsEntries = true;
    icaltimetype start{}; // the event's DTSTART, its zone looked up once
    CalendarAppointment master{}; // the event as one occurrence at its own start
    qint64 before = 0; // how long before a window an occurrence may start and reach into it
    qint64 after = 0;  // and how long after it one may start that is moved into it
    // What its rules cost, worked out at the first check that asks, as the
    // file stays as it is while the reader is kept.
    mutable RecurrenceSet::KnownCosts costs{};
};

struct IcsReader::Calendar
{
    icalcomponent *root = nullptr;
    QList<Series> series;
    ~Calendar()
    {
        if (root)
            icalcomponent_free(root);
    }
};

namespace {

bool overlaps(const CalendarAppointment &a, const QDateTime &from, const QDateTime &to)
{
    return a.start < to && (a.end > from || (a.end == a.start && a.start >= from));
}

bool isCancelled(icalcomponent *c)
{
    return icalcomponent_get_status(c) == ICAL_STATUS_CANCELLED;
}

QDateTime originalStart(icalcomponent *c)
{
    icalproperty *rid = icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY);
    return rid ? IcsTime::momentOf(icalproperty_get_datetime_with_component(rid, c)) : QDateTime();
}

bool thisAndFuture(icalcomponent *c)
{
    icalproperty *rid = icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY);
    icalparameter *range = rid ? icalproperty_get_first_parameter(rid, ICAL_RANGE_PARAMETER) : nullptr;
    return range && icalparameter_get_range(range) == ICAL_RANGE_THISANDFUTURE;
}

// What expanding an event in a window costs at most: its added and
// excluded dates, and the library's walk of each rule as it will be walked.
qint64 costOf(icalcomponent *event, const icaltimetype &dtstart, const QDateTime &from, const QDateTime &to,
              RecurrenceSet::Walk walk, RecurrenceSet::KnownCosts &known)
{
    qint64 cost = 4; // its reading, its start, what is kept
    int rule = 0;
    for (icalproperty *p = icalcomponent_get_first_property(event, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_ANY_PROPERTY)) {
        const icalproperty_kind kind = icalproperty_isa(p);
        if (kind == ICAL_RDATE_PROPERTY || kind == ICAL_EXDATE_PROPERTY)
            cost += icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER) ? 2 : 1;
        if (kind != ICAL_RRULE_PROPERTY)
            continue;
        if (known.size() <= rule)
            known.resize(rule + 1);
        cost += RulePlan::of(icalproperty_get_rrule(p), dtstart, from, to, walk == RecurrenceSet::Walk::FromStart,
                             &known[rule++])
                    .charge;
    }
    return cost;
}

bool cancelledNow(const std::atomic_bool *cancelled)
{
    return cancelled && cancelled->load(std::memory_order_relaxed);
}

// The text for the parser a line at a time (at most size - 1 bytes, up to
// the first NUL), as the library's own string reader gives it, and nothing
// more once the check is cancelled.
struct Lines
{
    const char *at;
    const char *end;
    const std::atomic_bool *cancelled;
};

char *nextLine(char *out, size_t size, void *data)
{
    auto *lines = static_cast<Lines *>(data);
    if (lines->at >= lines->end || size < 2 || cancelledNow(lines->cancelled))
        return nullptr;
    size_t n = std::min(size_t(lines->end - lines->at), size - 1);
    if (const void *newline = std::memchr(lines->at, '\n', n))
        n = size_t(static_cast<const char *>(newline) - lines->at) + 1;
    std::memcpy(out, lines->at, n);
    out[n] = '\0';
    lines->at += n;
    return out;
}

// What a cancelled check parsed is freed on a thread of its own: freeing
// the many parts of a large file takes longer than a stop may wait.
void freeAside(icalparser *parser, icalcomponent *root)
{
    std::thread([parser, root] {
        if (root)
            icalcomponent_free(root);
        if (parser)
            icalparser_free(parser);
    }).detach();
}

icalcomponent *parse(const QByteArray &bytes, const std::atomic_bool *cancelled)
{
    Lines lines{bytes.constData(), bytes.constData() + qstrnlen(bytes.constData(), size_t(bytes.size())), cancelled};
    icalparser *parser = icalparser_new();
    icalparser_set_gen_data(parser, &lines);
    icalcomponent *root = icalparser_parse(parser, nextLine);
    if (cancelledNow(cancelled)) {
        freeAside(parser, root);
        return nullptr;
    }
    icalparser_free(parser);
    if (root && icalcomponent_isa(root) != ICAL_VCALENDAR_COMPONENT) {
        icalcomponent_free(root);
        root = nullptr;
    }
    return root;
}

} // namespace

IcsReader::IcsReader(const QByteArray &bytes, const QString &fileName, const std::atomic_bool *cancelled)
    : m_calendar(std::make_unique<Calendar>()), m_fileName(fileName)
{
    IcsTime::loadZones();
    m_calendar->root = parse(bytes, cancelled);
    if (m_calendar->root)
        IcsTime::settleZones(m_calendar->root, fileName, m_problems, cancelled);
    if (m_calendar->root)
        gatherSeries(cancelled);
    m_cancelled = cancelledNow(cancelled);
    if (m_cancelled)
        freeAside(nullptr, std::exchange(m_calendar->root, nullptr));
}

IcsReader::~IcsReader() = default;

// Each event with its entries, in the order of the file.
void IcsReader::gatherSeries(const std::atomic_bool *cancelled)
{
    QHash<QString, int> byUid; // the series that holds a UID's entries
    QList<std::pair<icalcomponent *, int>> entries;
    int position = 0;
    for (icalcomponent *c = icalcomponent_get_first_component(m_calendar->root, ICAL_VEVENT_COMPONENT);
         c && !cancelledNow(cancelled); c = icalcomponent_get_next_component(m_calendar->root, ICAL_VEVENT_COMPONENT),
                      ++position) {
        if (icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY)) {
            entries.append({c, position});
            continue;
        }
        const QString uid = QString::fromUtf8(icalcomponent_get_uid(c));
        m_calendar->series.append({.event = c, .position = position, .ownsEntries = !byUid.contains(uid)});
        byUid.insert(uid, byUid.value(uid, int(m_calendar->series.size() - 1)));
    }
    for (const auto &[entry, at] : entries) {
        if (cancelledNow(cancelled))
            return;
        const QString uid = QString::fromUtf8(icalcomponent_get_uid(entry));
        if (!byUid.contains(uid)) {
            byUid.insert(uid, int(m_calendar->series.size()));
            m_calendar->series.append({.event = nullptr, .position = at});
        }
        m_calendar->series[byUid.value(uid)].entries.append({entry, at});
    }
    // Other events of a UID move and cancel by the same entries, read once.
    QHash<int, MovedOccurrences> moves;
    for (Series &s : m_calendar->series) {
        if (cancelledNow(cancelled))
            return;
        if (!s.event)
            continue;
        const int owner = byUid.value(QString::fromUtf8(icalcomponent_get_uid(s.event)));
        if (!s.ownsEntries)
            s.entries = m_calendar->series[owner].entries;
        if (!moves.contains(owner))
            moves.insert(owner, movesOf(s));
        s.start = icalcomponent_get_dtstart(s.event);
        s.master = IcsEvent::appointmentOf(s.event, m_fileName, s.position);
        if (s.master.start.isValid() && s.master.end.isValid())
            std::tie(s.before, s.after) = moves[owner].reach(s.master);
    }
}

bool IcsReader::isValid() const
{
    return m_calendar->root != nullptr;
}

bool IcsReader::parses(const QByteArray &bytes)
{
    return IcsReader(bytes, QString()).isValid();
}

int IcsReader::seriesCount() const
{
    return int(m_calendar->series.size());
}

qint64 IcsReader::cost(int index, const QDateTime &from, const QDateTime &to, RecurrenceSet::Walk walk) const
{
    const Series &series = m_calendar->series.at(index);
    const qint64 entries = series.entries.size() * 2;
    if (!series.event)
        return entries + 1;
    return entries + costOf(series.event, series.start, from.addSecs(-series.before), to.addSecs(series.after), walk,
                            series.costs);
}

// The moves of a series' entries, which tell how far from a window its
// occurrences may start and still be in it.
MovedOccurrences IcsReader::movesOf(const Series &series) const
{
    MovedOccurrences moved;
    for (const auto &[c, position] : series.entries)
        moved.add(originalStart(c), IcsEvent::appointmentOf(c, m_fileName, position), isCancelled(c), thisAndFuture(c));
    return moved;
}

// The series' entries, a step each; those that count as they stand and
// overlap the window are found. False when the budget ran out.
bool IcsReader::readEntries(const Series &series, MovedOccurrences &moved, Expansion &result, CheckBudget &budget,
                            QStringList &warnings, const QDateTime &from, const QDateTime &to) const
{
    const bool andLaterCount = !series.event; // their event is not in the file
    for (const auto &[c, position] : series.entries) {
        if (!budget.spend())
            return false;
        const CalendarAppointment a = IcsEvent::appointmentOf(c, m_fileName, position);
        const bool cancelled = isCancelled(c), andLater = thisAndFuture(c);
        if (IcsEvent::hasEndAndLength(c))
            warnings << QStringLiteral("%1: a change of \"%2\" gives both an end and a length; its end is taken")
                            .arg(m_fileName, a.subject);
        if (!a.end.isValid())
            warnings << QStringLiteral("%1: a change of \"%2\" has a length no calendar can hold; left out")
                            .arg(m_fileName, a.subject);
        moved.add(originalStart(c), a, cancelled, andLater);
        if (series.ownsEntries && !cancelled && (!andLater || andLaterCount) && a.end.isValid() && overlaps(a, from, to))
            result.found.append(a);
    }
    moved.settle();
    return true;
}

const char *IcsReader::subjectOf(int index) const
{
    const Series &series = m_calendar->series.at(index);
    icalcomponent *named = series.event ? series.event : series.entries.value(0).first;
    return named ? icalcomponent_get_summary(named) : nullptr;
}

IcsReader::Expansion IcsReader::notExpanded(int index) const
{
    Expansion result;
    result.subject = QString::fromUtf8(subjectOf(index));
    result.cut = true;
    return result;
}

IcsReader::Expansion IcsReader::expand(int index, const QDateTime &from, const QDateTime &to, RecurrenceSet::Walk walk,
                                       CheckBudget &budget, QStringList &warnings) const
{
    Expansion result = notExpanded(index);
    result.cut = false;
    const Series &series = m_calendar->series.at(index);
    if (!budget.spend()) { // the series' own reading
        result.cut = true;
        return result;
    }
    MovedOccurrences moved;
    if (!readEntries(series, moved, result, budget, warnings, from, to))
        result.cut = true;
    if (result.cut || !series.event || isCancelled(series.event))
        return result;
    const CalendarAppointment &master = series.master;
    if (!master.start.isValid())
        return result;
    if (IcsEvent::hasEndAndLength(series.event))
        warnings << QStringLiteral("%1: \"%2\" gives both an end and a length; its end is taken")
                        .arg(m_fileName, master.subject);
    if (!master.end.isValid()) {
        warnings << QStringLiteral("%1: \"%2\" has a length no calendar can hold; left out")
                        .arg(m_fileName, master.subject);
        return result;
    }
    const RecurrenceSet::Result set = RecurrenceSet::between(series.event, series.start, m_calendar->root,
                                                             from.addSecs(-series.before), to.addSecs(series.after), walk,
                                                             budget, &series.costs);
    if (set.unreadableRule)
        warnings << QStringLiteral("%1: a repeat rule of \"%2\" cannot be read").arg(m_fileName, master.subject);
    for (const QString &rule : set.refusedRules)
        warnings << QStringLiteral("%1: the repeats of \"%2\" by the rule %3 are left out: the calendar library "
                                   "finds none of them")
                        .arg(m_fileName, master.subject, rule);
    result.cut = set.cut;
    for (const RecurrenceSet::Start &s : set.starts) {
        if (!budget.spend()) {
            result.cut = true;
            break;
        }
        const std::optional<CalendarAppointment> a = moved.occurrence(master, s.start, s.end);
        if (a && overlaps(*a, from, to))
            result.found.append(*a);
    }
    return result;
}
