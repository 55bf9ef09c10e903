#include "OptionsValues.h"

#include <limits>

std::optional<qint16> OptionsValues::parseMinutes(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    for (const QChar c : trimmed) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    bool ok = false;
    const uint value = trimmed.toUInt(&ok);
    if (!ok || value > uint(std::numeric_limits<qint16>::max()))
        return std::nullopt;
    return qint16(value);
}

void OptionsValues::takeRecord(const UserRecord &user)
{
    RealName = user.RealName;
    MobilePh = user.MobilePh.trimmed();
    PhExtension = user.PhExtension;
    Email = user.Email;
    LoginName = user.LoginName;
    LunchText = QString::number(user.LunchTimePeriod);
    WorkStartTime = user.WorkStartTime;
    Admin = user.Admin;
    OnClose = user.OnClose;
    OnListDblClick = user.OnListDblClick;
    Outlook = user.Outlook;
    BreakText = QString::number(user.BreakPeriod);
    Language = user.Language;
    RefreshPeriod = user.RefreshPeriod;
    StartMin = user.StartMin;
    OutlookOOP = user.OutlookOOP;
}

UserRecord OptionsValues::toRecord() const
{
    UserRecord user;
    user.RealName = RealName;
    user.MobilePh = MobilePh;
    user.PhExtension = PhExtension;
    user.Email = Email;
    user.LoginName = trimmedLoginName();
    user.LunchTimePeriod = parseMinutes(LunchText).value_or(0);
    user.WorkStartTime = WorkStartTime;
    user.Admin = Admin;
    user.OnClose = onCloseChoice();
    user.OnListDblClick = onListDblClickChoice();
    user.Outlook = Outlook;
    user.BreakPeriod = parseMinutes(BreakText).value_or(0);
    user.Language = Language;
    user.RefreshPeriod = RefreshPeriod;
    user.StartMin = StartMin;
    user.OutlookOOP = OutlookOOP;
    return user;
}

UserOptions OptionsValues::toOptions() const
{
    UserOptions options;
    options.LoginName = trimmedLoginName();
    options.OnClose = onCloseChoice();
    options.OnListDblClick = onListDblClickChoice();
    options.Admin = Admin;
    options.WorkStartTime = WorkStartTime;
    options.LunchTimePeriod = parseMinutes(LunchText).value_or(0);
    options.Outlook = Outlook;
    options.BreakPeriod = parseMinutes(BreakText).value_or(0);
    options.Language = Language;
    options.StartMin = StartMin;
    options.RefreshPeriod = RefreshPeriod;
    options.OutlookOOP = OutlookOOP;
    return options;
}
