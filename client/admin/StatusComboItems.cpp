#include "StatusComboItems.h"

#include "foundation/BuiltInStatus.h"
#include "platform/SettingsKeys.h"

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
    static const SettingKey *const settings[Combos] = {&SettingsKeys::OutlookFree, &SettingsKeys::OutlookBusy,
                                                       &SettingsKeys::OutlookTentative,
                                                       &SettingsKeys::OutlookOutOfOffice};
    return *settings[std::clamp(combo, 0, Combos - 1)];
}

QString StatusComboItems::defaultCode(int combo)
{
    return combo >= 0 && combo < Combos ? settingOf(combo).defaultValue() : QString();
}

bool StatusComboItems::isCode(const QString &code)
{
    return codes().contains(code);
}
