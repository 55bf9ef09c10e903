#include "MailSettings.h"

#include "foundation/MCIFunctions.h"
#include "platform/Registry.h"
#include "platform/SettingsKeys.h"

#include <QStandardPaths>

namespace {
QString value(const SettingKey &key, const QString &fallback)
{
    const QString stored = GetRegistryValue(key);
    return stored == Registry::missingText() ? fallback : stored.trimmed();
}

QString value(const SettingKey &key)
{
    return value(key, key.defaultValue());
}
} // namespace

MailSettings MailSettings::read()
{
    MailSettings s;
    s.calendarPath = value(SettingsKeys::CalendarPath);
    s.contactsPath = value(SettingsKeys::ContactsPath);
    s.journalPath = value(SettingsKeys::JournalPath, QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                                             QStringLiteral("/tessaly/journal.ics"));
    s.sendmailCommand = value(SettingsKeys::SendmailCommand);
    s.mailProgram = value(SettingsKeys::MailProgram);
    s.supportMailbox = value(SettingsKeys::SupportMailbox);
    return s;
}
