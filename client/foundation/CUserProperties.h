#pragma once

#include <QString>

// The signed-in user's personal options.
class CUserProperties
{
public:
    qint16 RefreshPeriod = 30;   // poll threshold in timer ticks; calendar period in 10 s units
    qint16 LunchTimePeriod = 0;  // minutes
    qint16 BreakPeriod = 0;      // minutes
    bool StartMin = false;
    double WorkStartTime = 0;    // the time part counts
    QString Language = QStringLiteral("ENU");
};
