#include "BookingDisplay.h"

#include "CReservation.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"

QString BookingDisplay::timeText(double day)
{
    if (day == 0)
        return QString();
    const QDateTime moment = DateUtil::fromDays(day);
    const QString time = DateUtil::shortTime(moment).toLower();
    if (DateUtil::daysBetween(Clock::nowDays(), day) == 0)
        return time;
    return DateUtil::mediumDate(moment) + u' ' + time;
}

BookingDisplay::State BookingDisplay::state(const CReservation &booking)
{
    const QColor grey = greyColour();
    if (!booking.fAutoCheckIn && booking.fReturned)
        return {grey, QStringLiteral("Resource is has been returned")};
    const double now = Clock::nowDays();
    const qint64 toStart = DateUtil::minutesBetween(now, booking.dReservedFrom);
    const qint64 toEnd = DateUtil::minutesBetween(now, booking.dReservedUntil);
    if (toStart <= 0 && toEnd >= 1)
        return {QColor(0, 0, 255), QStringLiteral("Resource is currently booked out")};
    if (toEnd < 0) {
        if (booking.fAutoCheckIn)
            return {grey, std::nullopt};
        return {QColor(255, 0, 0), QStringLiteral("Resource is currently overdue")};
    }
    return {QColor(), std::nullopt};
}
