#include "MailSettings.h"

#include "foundation/MCIFunctions.h"
#include "platform/Registry.h"

#include <QStandardPaths>

namespace {
QString value(const char *name, const QString &fallback = QString())
{
    const QString stored = GetRegistryValue(QString::fromLatin1(name), MailSettings::settingsKey());
    return stored == Registry::missingText() ? fallback : stored.trimmed();
}
} // namespace

QString MailSettings::settingsKey()
{
    return AppRegistryKey() + QStringLiteral("\\Settings");
}

MailSettings MailSettings::read()
{
    MailSettings s;
    s.calendarPath = value("CalendarPath");
    s.contactsPath = value("ContactsPath");
    s.journalPath = value("JournalPath", QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                                             QStringLiteral("/tessaly/journal.ics"));
    s.sendmailCommand = value("SendmailCommand", QStringLiteral("sendmail -t -i"));
    s.mailProgram = value("MailProgram");
    s.supportMailbox = value("SupportMailbox");
    return s;
}
