#include "CalendarSettings.h"

#include "platform/SettingsKeys.h"
#include "platform/StatusCode.h"

#include <array>

QString CalendarSettings::calendarPath()
{
    return SettingsKeys::CalendarPath.readOrDefault().trimmed();
}

const SettingKey &CalendarSettings::settingFor(BusyStatus busy)
{
    static const std::array<const SettingKey *, 4> keys = {&SettingsKeys::OutlookFree, &SettingsKeys::OutlookTentative,
                                                           &SettingsKeys::OutlookBusy, &SettingsKeys::OutlookOutOfOffice};
    return *keys[static_cast<size_t>(busy)];
}

QString CalendarSettings::statusFor(BusyStatus busy, QString *problem)
{
    const SettingKey &key = settingFor(busy);
    const auto stored = key.stored();
    if (!stored)
        return key.defaultValue();
    if (!StatusCode::isValid(*stored)) {
        if (problem)
            *problem = QStringLiteral("The setting %1 holds \"%2\", not a status code; %3 is used")
                           .arg(key.valueName(), *stored, key.defaultValue());
        return key.defaultValue();
    }
    return *stored;
}
