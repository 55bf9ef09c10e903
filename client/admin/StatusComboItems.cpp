#include "StatusComboItems.h"

#include "foundation/BuiltInStatus.h"
#include "platform/SettingKey.h"
#include "platform/calendar/CalendarSettings.h"

#include <algorithm>

const QStringList &StatusComboItems::codes()
{
    static const QStringList all = [] {
        QStringList codes;
        for (const BuiltInStatus::Row &status : BuiltInStatus::all())
            codes.append(status.code);
        return codes;
    }();
    return all;
}

const SettingKey &StatusComboItems::settingOf(int combo)
{
    // The combos' order on the page, which is not the kinds' own.
    static constexpr BusyStatus kinds[Combos] = {BusyStatus::Free, BusyStatus::Busy, BusyStatus::Tentative,
                                                 BusyStatus::OutOfOffice};
    return CalendarSettings::settingFor(kinds[std::clamp(combo, 0, Combos - 1)]);
}

QString StatusComboItems::defaultCode(int combo)
{
    return combo >= 0 && combo < Combos ? settingOf(combo).defaultValue() : QString();
}

bool StatusComboItems::isCode(const QString &code)
{
    return codes().contains(code);
}
