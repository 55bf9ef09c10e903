#include "MailSettings.h"

#include "platform/SettingsKeys.h"

#include <QStandardPaths>

MailSettings MailSettings::read()
{
    MailSettings s;
    s.contactsPath = SettingsKeys::ContactsPath.readOrDefault().trimmed();
    const auto journal = SettingsKeys::JournalPath.stored();
    s.journalPath = journal ? journal->trimmed()
                            : QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                                  QStringLiteral("/tessaly/journal.ics");
    s.sendmailCommand = SettingsKeys::SendmailCommand.readOrDefault().trimmed();
    s.mailProgram = SettingsKeys::MailProgram.readOrDefault().trimmed();
    s.supportMailbox = SettingsKeys::SupportMailbox.readOrDefault().trimmed();
    return s;
}
