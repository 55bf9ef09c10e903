#include "OptionsRegistry.h"

#include "StatusComboItems.h"
#include "foundation/MCIFunctions.h"
#include "platform/SettingsKeys.h"
#include "status/UserListColumns.h"

namespace {

const char *const kColumnKeys[OptionsValues::OptionalColumns] = {"MOBILE", "MOBILEPH", "PHONENUMBER", "OUT",
                                                                  "DUEBACK"};

} // namespace

void OptionsRegistry::read(OptionsValues &values)
{
    values.LargeIcons = GetRegistryValue(SettingsKeys::IconSize) == QLatin1String("32");
    for (int i = 0; i < OptionsValues::OptionalColumns; ++i)
        values.ShowColumn[i] = !UserListColumns::isHidden(QLatin1String(kColumnKeys[i]));
    values.TreeByStatus = TextIsTrue(SettingsKeys::TreeByStatus.readOrDefault());
    for (int i = 0; i < StatusComboItems::Combos; ++i) {
        const QString code = GetRegistryValue(StatusComboItems::settingOf(i));
        values.CalendarStatus[i] = StatusComboItems::isCode(code) ? code : StatusComboItems::defaultCode(i);
    }
    values.CalendarPath = SettingsKeys::CalendarPath.readOrDefault();
    values.ContactsPath = SettingsKeys::ContactsPath.readOrDefault();
}

void OptionsRegistry::write(const OptionsValues &values)
{
    for (int i = 0; i < StatusComboItems::Combos; ++i)
        SetRegistryValue(StatusComboItems::settingOf(i), values.CalendarStatus[i]);
    SetRegistryValue(SettingsKeys::CalendarPath, values.CalendarPath.trimmed());
    SetRegistryValue(SettingsKeys::ContactsPath, values.ContactsPath.trimmed());
    SetRegistryValue(SettingsKeys::IconSize, values.LargeIcons ? 32 : 16);
    SetRegistryValue(SettingsKeys::TreeByStatus, values.TreeByStatus);
    for (int i = 0; i < OptionsValues::OptionalColumns; ++i)
        UserListColumns::setHidden(QLatin1String(kColumnKeys[i]), !values.ShowColumn[i]);
}

void OptionsRegistry::storeDefaultBranch(const QString &nodeKey)
{
    SetRegistryValue(SettingsKeys::DefaultBranch, nodeKey);
}
