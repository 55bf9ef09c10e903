#include "platform/calendar/CalendarStore.h"
#include "platform/calendar/IcsReader.h"
#include "platform/calendar/IcsTime.h"
#include "platform/calendar/RuleCost.h"

#include "CalendarText.h"

#include <QRandomGenerator>
#include <QtTest>


using CalendarText::calendar;
using CalendarText::vevent;

// The roads a check takes to a series' starts, the one near the asked minute
// and the one through the whole day, against the library walking each rule
// from its first start, on generated rules of every kind; and rules the
// library finds no start for, though RFC 5545 gives them some, against a
// second implementation.
namespace {
constexpr int kMeetingMinutes = 30;
// The most starts the library is walked through for one case, and the most
// its walk may cost by the check's own measure: cases past either are left.
constexpr int kMostStarts = 4000;
constexpr qint64 kMostCost = 300000;

QString pick(QRandomGenerator &random, const QStringList &from)
{
    return from.at(random.bounded(int(from.size())));
}

// Some distinct numbers of [low, high], not zero, as a rule lists them.
QString numbers(QRandomGenerator &random, int low, int high, int most)
{
    QList<int> picked;
    for (int n = 1 + random.bounded(most); picked.size() < n;)
        if (const int v = low + random.bounded(high - low + 1); v != 0 && !picked.contains(v))
            picked << v;
    QStringList text;
    for (int v : picked)
        text << QString::number(v);
    return text.join(',');
}

QString weekdays(QRandomGenerator &random, bool ordinals)
{
    static const QStringList days{"MO", "TU", "WE", "TH", "FR", "SA", "SU"};
    QStringList text;
    for (int n = 1 + random.bounded(3); text.size() < n;) {
        const int ordinal = ordinals && random.bounded(2) ? (random.bounded(2) ? 1 : -1) * (1 + random.bounded(4)) : 0;
        text << (ordinal ? QString::number(ordinal) : QString()) + pick(random, days);
    }
    text.removeDuplicates();
    return text.join(',');
}

// A rule of the given frequency with some of the parts RFC 5545 allows it;
// in a zone whose clocks move by half an hour, steps shorter than a day with
// parts of days hold one call of the library for minutes, and are not made.
QString ruleOf(QRandomGenerator &random, const QString &freq, bool halfHourZone)
{
    const bool shortSteps = freq == "SECONDLY" || freq == "MINUTELY" || freq == "HOURLY";
    const bool days = shortSteps || freq == "DAILY";
    const bool dayParts = !(shortSteps && halfHourZone);
    QString rule = "FREQ=" + freq;
    if (random.bounded(2))
        rule += ";INTERVAL=" + pick(random, {"2", "3", "7", "15", "60"});
    if (random.bounded(3) == 0)
        rule += ";BYSECOND=" + numbers(random, 0, 59, 2);
    if (random.bounded(2))
        rule += ";BYMINUTE=" + numbers(random, 0, 59, 2);
    if (random.bounded(3) == 0)
        rule += ";BYHOUR=" + numbers(random, 0, 23, 2);
    if (random.bounded(4) == 0 && dayParts)
        rule += ";BYMONTHDAY=" + numbers(random, -31, 31, 2);
    if (random.bounded(4) == 0 && dayParts && freq != "DAILY" && freq != "WEEKLY" && freq != "MONTHLY")
        rule += ";BYYEARDAY=" + numbers(random, -366, 366, 2);
    if (random.bounded(3) == 0 && dayParts)
        rule += ";BYDAY=" + weekdays(random, !days || random.bounded(3) == 0);
    if (random.bounded(4) == 0 && dayParts)
        rule += ";BYMONTH=" + numbers(random, 1, 12, 3);
    if (random.bounded(3) == 0)
        rule += ";COUNT=" + QString::number(1 + random.bounded(300));
    else if (random.bounded(3) == 0)
        rule += ";UNTIL=" + QDate(2020 + random.bounded(8), 1 + random.bounded(12), 1).toString("yyyyMMdd") + "T000000Z";
    return rule;
}

// A list of times as a set, in order: the library, given one out of order,
// passes over some of its times.
void asSet(short *byPart, int capacity)
{
    short *end = std::find(byPart, byPart + capacity, short(ICAL_RECURRENCE_ARRAY_MAX));
    std::sort(byPart, end);
    std::fill(std::unique(byPart, end), end, short(ICAL_RECURRENCE_ARRAY_MAX));
}

// The library's starts of the event's rule from its first start, as
// moments, until one after last; nullopt where the walk is too long to wait for.
std::optional<QList<QDateTime>> libraryStarts(const QByteArray &text, const QDateTime &last)
{
    icalcomponent *root = icalparser_parse_string(text.constData());
    QStringList ignored;
    IcsTime::settleZones(root, "r.ics", ignored);
    icalcomponent *event = icalcomponent_get_first_component(root, ICAL_VEVENT_COMPONENT);
    const icaltimetype dtstart = icalcomponent_get_dtstart(event);
    icalrecurrencetype rule = icalproperty_get_rrule(icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY));
    asSet(rule.by_second, ICAL_BY_SECOND_SIZE);
    asSet(rule.by_minute, ICAL_BY_MINUTE_SIZE);
    asSet(rule.by_hour, ICAL_BY_HOUR_SIZE);
    const RuleCost cost = RuleCost::of(rule);
    const qint64 span = IcsTime::momentOf(dtstart).secsTo(last);
    std::optional<QList<QDateTime>> starts;
    if (!cost.never && cost.worstCall() <= kMostCost && cost.walk(span, rule.count) <= kMostCost) {
        // The first start is one, whether the rule gives it or not (RFC 5545 3.8.5.3).
        starts.emplace(QList<QDateTime>{IcsTime::momentOf(dtstart)});
        QSet<qint64> seen{starts->first().toSecsSinceEpoch()}; // the library gives some twice
        icalrecur_iterator *it = icalrecur_iterator_new(rule, dtstart);
        int calls = 0;
        for (icaltimetype t = icalrecur_iterator_next(it); !icaltime_is_null_time(t); t = icalrecur_iterator_next(it)) {
            t.zone = dtstart.zone;
            const QDateTime at = IcsTime::momentOf(t);
            if (at > last)
                break;
            if (++calls > kMostStarts) {
                starts.reset();
                break;
            }
            if (!seen.contains(at.toSecsSinceEpoch()))
                starts->append(at);
            seen.insert(at.toSecsSinceEpoch());
        }
        icalrecur_iterator_free(it);
    }
    icalcomponent_free(root);
    return starts;
}

qsizetype lastBy(const QList<QDateTime> &starts, const QDateTime &at)
{
    qsizetype last = -1;
    for (qsizetype i = 0; i < starts.size() && starts[i] <= at; ++i)
        last = i;
    return last;
}

QString startsOf(const QList<CalendarAppointment> &found, const QDateTime &now)
{
    QStringList starts;
    for (const CalendarAppointment &a : found)
        if (a.runsAt(now))
            starts << a.start.toUTC().toString(Qt::ISODate);
    starts.sort();
    return starts.join(' ');
}

QString startsOf(const QList<QDateTime> &library, const QDateTime &now)
{
    QStringList starts;
    CalendarAppointment meeting;
    for (const QDateTime &s : library) {
        meeting.start = s;
        meeting.end = s.addSecs(kMeetingMinutes * 60);
        if (meeting.runsAt(now))
            starts << s.toUTC().toString(Qt::ISODate);
    }
    starts.sort();
    return starts.join(' ');
}
} // namespace

class tst_CalendarRules : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("TZ", "Europe/Berlin");
        tzset();
    }

    // Generated rules of every frequency and part, their first start in UTC,
    // floating or in a zone (one whose clocks move by half an hour), asked
    // minutes after one of the library's starts, days to years after the
    // first: the roads find every start the library gives, and no other.
    void theRoadsMissNoStartOfTheLibrary()
    {
        QRandomGenerator random(20261207);
        const QStringList freqs{"SECONDLY", "MINUTELY", "HOURLY", "DAILY", "WEEKLY", "MONTHLY", "YEARLY"};
        // UTC and floating time twice: steps shorter than a day are sought
        // near the window only there.
        const QStringList zones{":%1Z", ":%1", ":%1Z", ":%1", ";TZID=Europe/Berlin:%1", ";TZID=Australia/Lord_Howe:%1",
                                ";TZID=America/New_York:%1"};
        QStringList differences;
        int compared = 0, running = 0;
        for (int i = 0; i < 1400; ++i) {
            const int f = int(i % freqs.size());
            // The first start, far enough back for some periods of the rule.
            const qint64 back = f <= 1 ? 3600 * (24 + random.bounded(72)) : f == 2 ? 86400 * (1 + random.bounded(60))
                                                                                   : 86400 * (2 + random.bounded(3000));
            const QDateTime asked(QDate(2026, 1, 1).addDays(random.bounded(365)), QTime(random.bounded(24), random.bounded(60)));
            const QDateTime first = asked.addSecs(-back);
            const QString start = first.toString("yyyyMMdd'T'HH") + pick(random, {"4527", "0000", first.toString("mmss")});
            const QString zone = pick(random, zones);
            const QString lines = QString("DTSTART%1\r\nDURATION:PT%2M\r\nRRULE:%3\r\n")
                                      .arg(zone.arg(start))
                                      .arg(kMeetingMinutes)
                                      .arg(ruleOf(random, freqs.at(f), zone.contains("Lord_Howe")));
            const QByteArray text = calendar(vevent("R", lines));
            const std::optional<QList<QDateTime>> library = libraryStarts(text, asked.addSecs(kMeetingMinutes * 60));
            // Minutes after the last start the library gives by then, not its first.
            const qsizetype last = library ? lastBy(*library, asked) : -1;
            if (last < 1)
                continue;
            const QDateTime now = library->at(last).addSecs(60 * random.bounded(kMeetingMinutes));
            const QDateTime minute = QDateTime::fromSecsSinceEpoch(now.toSecsSinceEpoch() / 60 * 60);
            const QDateTime midnight(now.toLocalTime().date(), QTime(0, 0));
            const IcsReader reader(text, "r.ics");
            QStringList warnings;
            CheckBudget near(CheckBudget::DefaultSteps, 600000), day(CheckBudget::DefaultSteps, 600000);
            const IcsReader::Expansion sought =
                reader.expand(0, minute, minute.addSecs(60), RecurrenceSet::Walk::Near, near, warnings);
            const IcsReader::Expansion listed =
                reader.expand(0, midnight, midnight.addDays(1), RecurrenceSet::Walk::FromStart, day, warnings);
            const QString want = startsOf(*library, now);
            for (const auto &[road, got] : {std::pair{"near", startsOf(sought.found, now)},
                                            std::pair{"day", startsOf(listed.found, now)}})
                if (got != want)
                    differences << QString("%1 road, %2 at %3: %4, the library: %5")
                                       .arg(road, QString(lines).replace("\r\n", " "), now.toUTC().toString(Qt::ISODate),
                                            got, want);
            ++compared;
            running += !want.isEmpty();
        }
        QVERIFY2(differences.isEmpty(), qPrintable(QString::number(differences.size()) + " differ:\n" +
                                                   differences.mid(0, 12).join('\n')));
        QVERIFY2(compared > 400 && running > 350, qPrintable(QString("%1 %2").arg(compared).arg(running)));
    }
};

QTEST_GUILESS_MAIN(tst_CalendarRules)
#include "tst_CalendarRules.moc"
