#include "OptionsRegistry.h"

#include "StatusComboItems.h"
#include "foundation/MCIFunctions.h"
#include "platform/Registry.h"
#include "status/UserListColumns.h"

namespace {

const char *const kCalendarValues[StatusComboItems::Combos] = {"OutlookFree", "OutlookBusy", "OutlookTentative",
                                                               "OutlookOutOfOffice"};
const char *const kColumnKeys[OptionsValues::OptionalColumns] = {"MOBILE", "MOBILEPH", "PHONENUMBER", "OUT",
                                                                  "DUEBACK"};

QString value(const char *name)
{
    return GetRegistryValue(QLatin1String(name), OptionsRegistry::settingsKey());
}

bool flagOrMissing(const char *name)
{
    const QString stored = value(name);
    return stored == Registry::missingText() || TextIsTrue(stored);
}

void writeText(const char *name, const QString &text)
{
    SetRegistryValue(QLatin1String(name), RegString, text, OptionsRegistry::settingsKey());
}

QString trueFalse(bool flag)
{
    return flag ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace

QString OptionsRegistry::settingsKey()
{
    return AppRegistryKey() + QStringLiteral("\\Settings");
}

void OptionsRegistry::read(OptionsValues &values)
{
    values.LargeIcons = value("IconSize") == QLatin1String("32");
    for (int i = 0; i < OptionsValues::OptionalColumns; ++i)
        values.ShowColumn[i] = !UserListColumns::isHidden(QLatin1String(kColumnKeys[i]));
    values.TreeByStatus = flagOrMissing("TreeByStatus");
    for (int i = 0; i < StatusComboItems::Combos; ++i) {
        const QString code = value(kCalendarValues[i]);
        if (StatusComboItems::isCode(code))
            values.CalendarStatus[i] = code;
    }
    for (auto [name, path] : {std::pair{"CalendarPath", &values.CalendarPath}, {"ContactsPath", &values.ContactsPath}}) {
        const QString stored = value(name);
        *path = stored == Registry::missingText() ? QString() : stored;
    }
}

void OptionsRegistry::write(const OptionsValues &values)
{
    for (int i = 0; i < StatusComboItems::Combos; ++i)
        writeText(kCalendarValues[i], values.CalendarStatus[i]);
    writeText("CalendarPath", values.CalendarPath.trimmed());
    writeText("ContactsPath", values.ContactsPath.trimmed());
    SetRegistryValue(QStringLiteral("IconSize"), RegDword, values.LargeIcons ? 32 : 16, settingsKey());
    writeText("TreeByStatus", trueFalse(values.TreeByStatus));
    for (int i = 0; i < OptionsValues::OptionalColumns; ++i)
        UserListColumns::setHidden(QLatin1String(kColumnKeys[i]), !values.ShowColumn[i]);
}

void OptionsRegistry::storeDefaultBranch(const QString &nodeKey)
{
    writeText("DefaultBranch", nodeKey);
}
