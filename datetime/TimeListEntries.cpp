#include "TimeListEntries.h"

#include "platform/DateUtil.h"

namespace {
QString timeText(const QTime &time)
{
    return DateUtil::shortTime(QDateTime(DateUtil::epoch(), time));
}
} // namespace

QStringList TimeListEntries::build(const QString &timeStyle, double baseTime, const QTime &now)
{
    if (timeStyle == u"0")
        return clockTimes(now.hour());
    return relativeTimes(baseTime);
}

QStringList TimeListEntries::clockTimes(int fromHour)
{
    QStringList entries;
    for (int i = 0; i < 24; ++i) {
        const int hour = (fromHour + i) % 24;
        entries << timeText(QTime(hour, 0)) << timeText(QTime(hour, 30));
    }
    return entries;
}

QStringList TimeListEntries::relativeTimes(double baseTime)
{
    QStringList entries;
    QTime time = DateUtil::timeOf(baseTime);
    const auto add = [&](int minutes, const QString &distance) {
        time = time.addSecs(minutes * 60);
        entries << timeText(time) + QStringLiteral(" (") + distance + u')';
    };
    add(5, QStringLiteral("5 Mins"));
    add(10, QStringLiteral("15 Mins"));
    add(15, QStringLiteral("30 Mins"));
    add(15, QStringLiteral("45 Mins"));
    add(15, QStringLiteral("1.0 Hour"));
    for (int k = 2; k <= 24; ++k) {
        add(30, QString::number(k - 1) + QStringLiteral(".5 Hours"));
        add(30, QString::number(k) + QStringLiteral(".0 Hours"));
    }
    return entries;
}

double TimeListEntries::pickedTime(const QString &entry)
{
    return DateUtil::fromTime(DateUtil::parseTime(entry.left(8)));
}
