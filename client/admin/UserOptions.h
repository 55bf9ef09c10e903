#pragma once

#include <QString>

// The options a user edits for himself, as written back to STAFF_OPTIONS. The
// fields with a "no change" value are left as stored when they hold it.
struct UserOptions
{
    static constexpr qint16 NoChange = -1;
    static constexpr quint8 NoChoice = 255;

    QString LoginName;
    bool Admin = false;
    bool Outlook = false;
    bool OutlookOOP = false;
    bool StartMin = false;
    QString Language = QStringLiteral("ENU");
    double WorkStartTime = 8.5 / 24.0;       // time of day as a day fraction
    qint16 LunchTimePeriod = NoChange;
    qint16 BreakPeriod = NoChange;
    qint16 RefreshPeriod = NoChange;
    QString WorkDays = QStringLiteral("-");  // "-" leaves the stored value
    quint8 OnClose = NoChoice;
    quint8 OnListDblClick = NoChoice;
};
