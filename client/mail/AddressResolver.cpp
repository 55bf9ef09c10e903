#include "AddressResolver.h"

#include "MailSettings.h"

#include "foundation/Globals.h"
#include "foundation/MErrorHandler.h"
#include "platform/calendar/AddressBook.h"

#include <algorithm>

QString AddressResolver::fullName(const VCardContact &c)
{
    if (!c.fullName.isEmpty())
        return c.fullName;
    return QStringList{c.firstName, c.lastName}.join(QLatin1Char(' ')).trimmed();
}

QString AddressResolver::resolveAddress(const QString &nameOrAddress, const QList<VCardContact> &contacts)
{
    const QString name = nameOrAddress.trimmed();
    if (name.contains(QLatin1Char('@')))
        return name;
    for (const CUser &user : g_vUserList)
        if (user.RealName.trimmed().compare(name, Qt::CaseInsensitive) == 0 && user.Email.contains(QLatin1Char('@')))
            return user.Email.trimmed();
    for (const VCardContact &c : contacts)
        if (fullName(c).compare(name, Qt::CaseInsensitive) == 0 && !c.email.isEmpty())
            return c.email;
    return QString();
}

void AddressResolver::forNames(const QStringList &names, Done done)
{
    const bool needsContacts = std::any_of(names.begin(), names.end(), [](const QString &name) {
        return !name.trimmed().isEmpty() && resolveAddress(name, {}).isEmpty();
    });
    if (needsContacts)
        withContacts(nullptr, done);
    else
        done({});
}

void AddressResolver::withContacts(QObject *context, Done done)
{
    AddressBook::fetch(MailSettings::read().contactsPath, context, [done](const AddressBook::Cards &read) {
        for (const QString &w : read.warnings)
            WriteDebugLog(QStringLiteral("Contacts: ") + w);
        done(read.cards);
    });
}
