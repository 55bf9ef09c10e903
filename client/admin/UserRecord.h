#pragma once

#include <QString>

// One user's complete record: his presence row (STAFF_STATUS) and his options
// and rights (STAFF_OPTIONS). The defaults are what a null column reads as.
struct UserRecord
{
    // From STAFF_STATUS
    qint32 UserID = 0;
    QString RealName;
    QString MobilePh;
    QString PhExtension;
    QString Email;

    // From STAFF_OPTIONS
    QString LoginName;                  // upper case
    qint16 LunchTimePeriod = 60;        // minutes
    double WorkStartTime = 8.5 / 24.0;  // time of day as a day fraction; 8:30
    bool ChangeStatus = false;          // may change other users' status
    bool FastUpdates = false;
    bool Admin = false;
    quint8 OnClose = 0;                 // on-exit action: 0 none, 1 Out, 2 Gone Home, 3 ask
    quint8 OnListDblClick = 0;          // list double-click: 0 status, 1 e-mail, 2 phone message
    bool Outlook = false;               // calendar link enabled
    bool Timesheet = false;
    qint16 BreakPeriod = 15;            // minutes
    QString Language = QStringLiteral("ENU");
    qint16 RefreshPeriod = 30;
    bool StartMin = false;
    bool OutlookOOP = false;            // calendar checked by the separate watcher process
};
