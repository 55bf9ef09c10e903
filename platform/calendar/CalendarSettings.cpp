#include "CalendarSettings.h"

#include "platform/Registry.h"
#include "platform/StatusCode.h"

#include <array>

QString CalendarSettings::key()
{
    return QStringLiteral("Software\\Halvard Software\\Qel\\4.0\\App\\Settings");
}

QString CalendarSettings::calendarPath()
{
    const QString stored = Registry::queryValue(Registry::CurrentUser, key(), QStringLiteral("CalendarPath"));
    return stored == Registry::missingText() ? QString() : stored.trimmed();
}

QString CalendarSettings::statusFor(BusyStatus busy, QString *problem)
{
    static const std::array<const char *, 4> names = {"OutlookFree", "OutlookTentative", "OutlookBusy",
                                                      "OutlookOutOfOffice"};
    static const std::array<const char *, 4> fallback = {"MTA", "MTT", "MTG", "MTO"};
    const auto i = static_cast<size_t>(busy);
    const QString name = QString::fromLatin1(names[i]);
    const QString stored = Registry::queryValue(Registry::CurrentUser, key(), name);
    if (stored == Registry::missingText())
        return QString::fromLatin1(fallback[i]);
    if (!StatusCode::isValid(stored)) {
        if (problem)
            *problem = QStringLiteral("The setting %1 holds \"%2\", not a status code; %3 is used")
                           .arg(name, stored, QLatin1String(fallback[i]));
        return QString::fromLatin1(fallback[i]);
    }
    return stored;
}
