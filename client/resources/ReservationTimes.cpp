#include "ReservationTimes.h"

#include "platform/DateUtil.h"

#include <QDateTime>
#include <cmath>

namespace {

constexpr double kHour = 1.0 / 24;

double toMinute(double day)
{
    return std::round(day * 24 * 60) / (24 * 60);
}

} // namespace

ReservationTimes ReservationTimes::startingAt(double now)
{
    // Cut to the minute on the clock's own reading: a floor of the day number
    // times 1440 falls a minute short wherever the product rounds down.
    const QDateTime moment = DateUtil::fromDays(now);
    ReservationTimes times;
    times.from = DateUtil::toDays(moment.date(), QTime(moment.time().hour(), moment.time().minute()));
    times.until = toMinute(times.from + kHour);
    return times;
}

void ReservationTimes::startDateChanged(double newDate)
{
    from = DateUtil::datePart(newDate) + DateUtil::timePart(from);
    if (DateUtil::datePart(until) < DateUtil::datePart(newDate))
        until = DateUtil::datePart(newDate) + DateUtil::timePart(until);
}

void ReservationTimes::startTimeChanged(double newTime)
{
    const double time = DateUtil::timePart(newTime);
    from = DateUtil::datePart(from) + time;
    if (DateUtil::minutesBetween(time, DateUtil::timePart(until)) >= 0)
        return;
    double endTime = time + kHour;
    double endDate = DateUtil::datePart(until);
    if (endTime >= 1) {
        endTime -= 1;
        endDate += 1;
    }
    until = toMinute(endDate + endTime);
}

bool ReservationTimes::endsAfterStart() const
{
    return DateUtil::minutesBetween(from, until) > 0;
}
