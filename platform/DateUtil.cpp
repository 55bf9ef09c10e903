#include "DateUtil.h"

#include <QLocale>
#include <QRegularExpression>
#include <charconv>
#include <cmath>
#include <limits>

namespace {
constexpr double kMsPerDay = 86400000.0;
}

double DateUtil::toDays(const QDateTime &moment)
{
    if (!moment.isValid())
        return 0;
    return toDays(moment.date(), moment.time());
}

double DateUtil::toDays(const QDate &date, const QTime &time)
{
    if (!date.isValid())
        return 0;
    const double day = double(epoch().daysTo(date));
    const double fraction = time.isValid() ? time.msecsSinceStartOfDay() / kMsPerDay : 0.0;
    // Before the epoch the whole part counts back while the fraction still
    // counts forward from midnight: -1.25 is 29 December 1899, 06:00.
    return day < 0 ? day - fraction : day + fraction;
}

QDateTime DateUtil::fromDays(double days)
{
    return QDateTime(dateOf(days), timeOf(days));
}

QDate DateUtil::dateOf(double days)
{
    if (!std::isfinite(days) || std::fabs(days) > 3e6)
        return epoch();
    qint64 whole = qint64(std::trunc(days));
    qint64 ms = qint64(std::llround(std::fabs(days - double(whole)) * kMsPerDay));
    if (ms >= qint64(kMsPerDay))
        whole += days < 0 ? -1 : 1;
    return epoch().addDays(whole);
}

QTime DateUtil::timeOf(double days)
{
    if (!std::isfinite(days) || std::fabs(days) > 3e6)
        return QTime(0, 0);
    const double whole = std::trunc(days);
    qint64 ms = qint64(std::llround(std::fabs(days - whole) * kMsPerDay));
    if (ms >= qint64(kMsPerDay))
        ms = 0;
    return QTime::fromMSecsSinceStartOfDay(int(ms));
}

double DateUtil::datePart(double days)
{
    return toDays(dateOf(days));
}

double DateUtil::timePart(double days)
{
    return fromTime(timeOf(days));
}

double DateUtil::fromTime(const QTime &time)
{
    return time.isValid() ? time.msecsSinceStartOfDay() / kMsPerDay : 0.0;
}

qint64 DateUtil::minutesBetween(double from, double to)
{
    // Counted on the day numbers' own dates and times, as the boundaries
    // fall on them: no local time is looked up (a list of thousands of rows
    // asks this twice a row).
    const auto minuteIndex = [](double days) {
        const QTime time = timeOf(days);
        return epoch().daysTo(dateOf(days)) * 1440 + time.hour() * 60 + time.minute();
    };
    return minuteIndex(to) - minuteIndex(from);
}

qint64 DateUtil::daysBetween(double from, double to)
{
    return dateOf(from).daysTo(dateOf(to));
}

qint64 DateUtil::secondsBetween(double from, double to)
{
    const QDateTime a = fromDays(from);
    const QDateTime b = fromDays(to);
    const auto secondIndex = [](const QDateTime &m) {
        return epoch().daysTo(m.date()) * 86400 + m.time().msecsSinceStartOfDay() / 1000;
    };
    return secondIndex(b) - secondIndex(a);
}

double DateUtil::val(const QString &text)
{
    // Keys are mostly letters and a whole number, read on every list refresh.
    if (const std::optional<double> whole = plainWholeNumber(text))
        return *whole;
    QString s;
    s.reserve(text.size());
    for (QChar c : text)
        if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r')
            s.append(c);
    if (s.startsWith(u"&H", Qt::CaseInsensitive) || s.startsWith(u"&O", Qt::CaseInsensitive)) {
        const int base = s[1].toUpper() == u'H' ? 16 : 8;
        qint64 value = 0;
        for (int i = 2; i < s.size(); ++i) {
            const QChar c = s[i].toUpper();
            int digit = -1;
            if (c.isDigit())
                digit = c.digitValue();
            else if (c >= u'A' && c <= u'F')
                digit = 10 + (c.unicode() - u'A');
            if (digit < 0 || digit >= base || value > (qint64(1) << 40))
                break;
            value = value * base + digit;
        }
        return double(value);
    }
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eEdD][+-]?\\d+)?"));
    const auto match = number.match(s);
    if (!match.hasMatch())
        return 0;
    QString found = match.captured(0);
    found.replace(u'd', u'e').replace(u'D', u'e');
    bool ok = false;
    const double value = found.toDouble(&ok);
    if (ok)
        return value;
    // Too large for a double: callers check std::isfinite before using it.
    return found.startsWith(u'-') ? -std::numeric_limits<double>::infinity()
                                  : std::numeric_limits<double>::infinity();
}

std::optional<double> DateUtil::plainWholeNumber(const QString &text)
{
    // Fifteen digits at most: every such number is a double exactly.
    if (text.isEmpty() || text.size() > 15)
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return double(value);
}

double DateUtil::roundHalfEven(double value)
{
    return std::nearbyint(value); // the default rounding mode is to nearest, ties to even
}

QString DateUtil::numberText(double value)
{
    // printf's "%.15g" in the C locale, whatever locale the process has, and
    // without reading a format: every update sent writes two of these.
    char buffer[64];
    const std::to_chars_result written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return QString::fromLatin1(buffer, qsizetype(written.ptr - buffer));
}

QString DateUtil::mediumDate(const QDateTime &moment)
{
    return QLocale::c().toString(moment.date(), QStringLiteral("dd-MMM-yy"));
}

QString DateUtil::shortTime(const QDateTime &moment)
{
    return QLocale::c().toString(moment.time(), QStringLiteral("h:mm AP"));
}

QString DateUtil::longTime(const QDateTime &moment)
{
    return QLocale::c().toString(moment.time(), QStringLiteral("h:mm:ss AP"));
}

QString DateUtil::shortDate(const QDate &date)
{
    return QLocale::c().toString(date, QStringLiteral("dd/MM/yyyy"));
}

QString DateUtil::generalDate(double days)
{
    const QDateTime moment = fromDays(days);
    if (timePart(days) == 0 && days != 0)
        return shortDate(moment.date());
    if (datePart(days) == 0)
        return longTime(moment);
    return shortDate(moment.date()) + u' ' + longTime(moment);
}

QTime DateUtil::parseTime(const QString &text)
{
    const QString s = text.trimmed();
    if (s.isEmpty())
        return QTime();
    static const QRegularExpression clock(QStringLiteral(
        "^(\\d{1,2})(?::(\\d{1,2}))?(?::(\\d{1,2}))?\\s*([AaPp][Mm]?)?$"));
    const auto m = clock.match(s);
    if (m.hasMatch()) {
        int hour = m.captured(1).toInt();
        const int minute = m.captured(2).isEmpty() ? 0 : m.captured(2).toInt();
        const int second = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
        const QString half = m.captured(4).toUpper();
        if (!half.isEmpty()) {
            if (hour < 1 || hour > 12)
                return QTime();
            if (half.startsWith(u'P') && hour != 12)
                hour += 12;
            if (half.startsWith(u'A') && hour == 12)
                hour = 0;
        }
        // A bare number is an hour only when it has no decimal part.
        if (m.captured(2).isEmpty() && half.isEmpty() && s.contains(u'.'))
            return QTime();
        return QTime(hour, minute, second);
    }
    bool ok = false;
    const double fraction = s.toDouble(&ok);
    if (ok && fraction >= 0 && fraction < 1)
        return timeOf(fraction);
    const QDateTime full = QDateTime::fromString(s, Qt::ISODate);
    if (full.isValid())
        return full.time();
    return QTime();
}

QDate DateUtil::parseDate(const QString &text)
{
    const QString s = text.trimmed();
    for (const char *format : {"dd/MM/yyyy", "d/M/yyyy", "yyyy-MM-dd", "dd-MMM-yy", "d-MMM-yyyy", "dd-MMM-yyyy", "d/M/yy"}) {
        QDate date = QLocale::c().toDate(s, QString::fromLatin1(format));
        if (date.isValid()) {
            if (QString::fromLatin1(format).endsWith(QLatin1String("yy")) && !QString::fromLatin1(format).endsWith(QLatin1String("yyyy")) && date.year() < 1930)
                date = date.addYears(100);
            return date;
        }
    }
    return QDate();
}
