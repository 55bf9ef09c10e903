#pragma once

#include "StatusComboItems.h"
#include "UserOptions.h"
#include "UserRecord.h"

#include <QString>
#include <array>
#include <optional>

// Everything the options dialog shows, as plain data: the user's record
// fields as typed and this machine's display and calendar settings. The
// defaults are what the dialog holds before anything fills it.
struct OptionsValues
{
    static constexpr int OptionalColumns = 5; // mobile on/off, mobile, phone, out, due back
    static constexpr int NoChoice = -1;

    QString RealName;
    QString Email;
    QString MobilePh;
    QString PhExtension;
    QString LoginName;
    QString LunchText = QStringLiteral("60");
    QString BreakText = QStringLiteral("15");
    double WorkStartTime = 8.5 / 24.0;
    bool Admin = false;
    int OnClose = NoChoice;        // 0 no change, 1 Out, 2 Gone Home, 3 ask
    int OnListDblClick = NoChoice; // 0 change status, 1 e-mail, 2 phone message
    bool Outlook = true;
    bool OutlookOOP = true;
    QString Language = QStringLiteral("ENU");
    qint16 RefreshPeriod = 30;
    bool StartMin = false;

    // Settings of this machine, not of the user's record.
    std::array<QString, StatusComboItems::Combos> CalendarStatus = {
        StatusComboItems::defaultCode(0), StatusComboItems::defaultCode(1), StatusComboItems::defaultCode(2),
        StatusComboItems::defaultCode(3)};
    QString CalendarPath; // an .ics file or a folder of them
    QString ContactsPath; // a .vcf file or a folder of them
    bool LargeIcons = false;
    std::array<bool, OptionalColumns> ShowColumn = {true, true, true, true, true};
    bool TreeByStatus = true;

    // Minutes as whole numbers from 0 to 32767, blanks around allowed.
    static std::optional<qint16> parseMinutes(const QString &text);

    void takeRecord(const UserRecord &user);
    // The record a new user is created from. The minutes must be valid.
    UserRecord toRecord() const;
    // The options written back for an existing user. The minutes must be valid.
    UserOptions toOptions() const;
    QString trimmedLoginName() const { return LoginName.trimmed().toUpper(); }
    // An action left unchosen is stored as the first one.
    quint8 onCloseChoice() const { return quint8(qMax(0, OnClose)); }
    quint8 onListDblClickChoice() const { return quint8(qMax(0, OnListDblClick)); }
};
