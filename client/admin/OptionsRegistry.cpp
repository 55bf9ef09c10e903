#include "OptionsRegistry.h"

#include "StatusComboItems.h"
#include "foundation/MCIFunctions.h"
#include "platform/SettingsKeys.h"
#include "platform/calendar/CalendarSettings.h"
#include "status/UserListColumns.h"

namespace {

const char *const kColumnKeys[OptionsValues::OptionalColumns] = {"MOBILE", "MOBILEPH", "PHONENUMBER", "OUT",
                                                                  "DUEBACK"};

} // namespace

void OptionsRegistry::read(OptionsValues &values)
{
    values.LargeIcons = SettingsKeys::IconSize.read() == QLatin1String("32");
    for (int i = 0; i < OptionsValues::OptionalColumns; ++i)
        values.ShowColumn[i] = !UserListColumns::isHidden(QLatin1String(kColumnKeys[i]));
    values.TreeByStatus = TextIsTrue(SettingsKeys::TreeByStatus.readOrDefault());
    for (int i = 0; i < StatusComboItems::Combos; ++i) {
        const QString code = StatusComboItems::settingOf(i).read();
        values.CalendarStatus[i] = StatusComboItems::isCode(code) ? code : StatusComboItems::defaultCode(i);
    }
    values.CalendarPath = CalendarSettings::calendarPath();
    values.ContactsPath = SettingsKeys::ContactsPath.readOrDefault();
}

void OptionsRegistry::write(const OptionsValues &values)
{
    for (int i = 0; i < StatusComboItems::Combos; ++i)
        StatusComboItems::settingOf(i).write(values.CalendarStatus[i]);
    SettingsKeys::CalendarPath.write(values.CalendarPath.trimmed());
    SettingsKeys::ContactsPath.write(values.ContactsPath.trimmed());
    SettingsKeys::IconSize.write(values.LargeIcons ? 32 : 16);
    SettingsKeys::TreeByStatus.write(values.TreeByStatus);
    for (int i = 0; i < OptionsValues::OptionalColumns; ++i)
        UserListColumns::setHidden(QLatin1String(kColumnKeys[i]), !values.ShowColumn[i]);
}

void OptionsRegistry::storeDefaultBranch(const QString &nodeKey)
{
    SettingsKeys::DefaultBranch.write(nodeKey);
}
