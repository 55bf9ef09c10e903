#include "DateTimeText.h"

#include "platform/DateUtil.h"

#include <QRegularExpression>

std::optional<double> DateTimeText::parse(const QString &text)
{
    const QString s = text.trimmed();
    if (s.isEmpty())
        return std::nullopt;
    const QDate date = DateUtil::parseDate(s);
    if (date.isValid())
        return DateUtil::toDays(date);
    if (const auto time = parseTime(s))
        return time;
    // A date and a time joined by blanks.
    for (qsizetype blank = s.indexOf(u' '); blank > 0; blank = s.indexOf(u' ', blank + 1)) {
        const QDate day = DateUtil::parseDate(s.left(blank));
        const auto time = parseTime(s.mid(blank + 1));
        if (day.isValid() && time)
            return DateUtil::toDays(day, DateUtil::timeOf(*time));
    }
    return std::nullopt;
}

QString DateTimeText::formatDate(double days)
{
    return DateUtil::shortDate(DateUtil::dateOf(days));
}

QString DateTimeText::formatTime(double days)
{
    return DateUtil::shortTime(DateUtil::fromDays(days));
}

std::optional<double> DateTimeText::parseTime(const QString &text)
{
    // Clock forms only: a colon or an AM/PM mark makes a number a time.
    static const QRegularExpression clock(QStringLiteral(
        "^\\d{1,2}(?::\\d{1,2}){0,2}\\s*(?:[AaPp][Mm]?)?$"));
    const QString s = text.trimmed();
    if (!clock.match(s).hasMatch() || !(s.contains(u':') || s.back().isLetter()))
        return std::nullopt;
    const QTime time = DateUtil::parseTime(s);
    if (!time.isValid())
        return std::nullopt;
    return DateUtil::fromTime(time);
}
