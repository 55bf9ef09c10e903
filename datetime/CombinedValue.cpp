#include "CombinedValue.h"

#include "DateTimeText.h"
#include "platform/DateUtil.h"

double CombinedValue::afterDateBoxChange(const QString &dateText, const QString &timeText)
{
    const auto date = DateTimeText::parse(dateText);
    const auto time = DateTimeText::parse(timeText);
    if (!date)
        return time.value_or(0.0);
    return time ? join(dateText, timeText, *date, *time) : *date;
}

double CombinedValue::afterTimeBoxChange(const QString &dateText, const QString &timeText, double today)
{
    const auto date = DateTimeText::parse(dateText);
    const auto time = DateTimeText::parse(timeText);
    if (!time)
        return date.value_or(0.0);
    if (date)
        return join(dateText, timeText, *date, *time);
    const double day = DateUtil::datePart(today);
    return join(DateTimeText::formatDate(day), timeText, day, *time);
}

double CombinedValue::join(const QString &dateText, const QString &timeText, double date, double time)
{
    if (const auto both = DateTimeText::parse(dateText.trimmed() + u' ' + timeText.trimmed()))
        return *both;
    // Texts that do not read as one moment (a date box holding a time, say):
    // the date's day with the time's time of day.
    return DateUtil::toDays(DateUtil::dateOf(date), DateUtil::timeOf(time));
}
