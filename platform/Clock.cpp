#include "Clock.h"
#include "DateUtil.h"

#include <ctime>

namespace {
QDateTime g_pinned;
}

QDateTime Clock::now()
{
    return g_pinned.isValid() ? g_pinned : QDateTime::currentDateTime();
}

qint64 Clock::nowMs()
{
    return g_pinned.isValid() ? g_pinned.toMSecsSinceEpoch() : QDateTime::currentMSecsSinceEpoch();
}

double Clock::nowDays()
{
    return DateUtil::toDays(now());
}

void Clock::pin(const QDateTime &moment)
{
    g_pinned = moment;
}

void Clock::advance(qint64 msecs)
{
    if (g_pinned.isValid())
        g_pinned = g_pinned.addMSecs(msecs);
}

void Clock::unpin()
{
    g_pinned = QDateTime();
}

void Clock::settleTimeZone()
{
    if (!qEnvironmentVariableIsSet("TZ")) {
        qputenv("TZ", ":/etc/localtime");
        tzset();
    }
}

bool Clock::isPinned()
{
    return g_pinned.isValid();
}
