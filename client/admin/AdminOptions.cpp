#include "AdminOptions.h"

#include "CClientAdmin.h"
#include "foundation/ConnectionScope.h"
#include "foundation/CounterAllocator.h"
#include "foundation/MCIFunctions.h"
#include "messaging/MCastPorts.h"
#include "platform/StoredText.h"
#include "platform/TextLimit.h"

namespace {

constexpr int kPropertyLength = 254;

QString switchText(bool on)
{
    return on ? QStringLiteral("true") : QStringLiteral("false");
}

// SetSystemProperty writes only a key that is there; here a lost key comes back.
void storeProperty(DbConnection &c, const QString &key, const QString &value)
{
    const QString stored = EncodeQuotes(TextLimit::left(value.trimmed(), kPropertyLength));
    if (c.execute(QStringLiteral("UPDATE Properties SET pvalue = ? WHERE pkey = ?"), {stored, key}) == 0)
        c.execute(QStringLiteral("INSERT INTO Properties (pkey, pvalue) VALUES (?, ?)"), {key, stored});
}

void storePort(DbConnection &c, const QString &key, const QString &text, const QString &stored)
{
    // Each copy reads the ports at its start; an unchanged one is left alone.
    if (MCastPorts::portOf(text) && text.trimmed() != stored)
        storeProperty(c, key, text);
}

} // namespace

void AdminOptions::read()
{
    DbHandle connection;
    ConnectionScope scope(connection);
    CClientAdmin().GetAdminOptions(markOutOnClose, enableTimeSheets, scope.handle());
    const auto property = [&](const char *key) { return GetSystemProperty(QLatin1String(key), scope.handle()); };
    helpUrl = property("help_url");
    iconFolder = property("icon_home");
    sendPort = property("port_send");
    listenPort = property("port_lstn");
    // Calendar integration is allowed unless switched off; the others are off unless switched on.
    enableOutlook = property("enb_olk") != QLatin1String("false");
    secureOutlook = property("sec_olk") == QLatin1String("true");
    enableChat = property("enb_cht") == QLatin1String("true");
}

void AdminOptions::save(const AdminOptions &stored) const
{
    DbHandle connection;
    CounterAllocator::inWriteTransaction(connection, [&](DbConnection &c) {
        const QVariantList flags = {markOutOnClose ? 1 : 0, enableTimeSheets ? 1 : 0};
        if (c.execute(QStringLiteral("UPDATE ADMIN SET MarkOutOnClose = ?, EnableTimeSheets = ? WHERE ID = 1"), flags) == 0)
            c.execute(QStringLiteral("INSERT INTO ADMIN (MarkOutOnClose, EnableTimeSheets, ID) VALUES (?, ?, 1)"), flags);
        storeProperty(c, QStringLiteral("help_url"), helpUrl);
        storeProperty(c, QStringLiteral("icon_home"), iconFolder);
        storePort(c, QStringLiteral("port_send"), sendPort, stored.sendPort);
        storePort(c, QStringLiteral("port_lstn"), listenPort, stored.listenPort);
        storeProperty(c, QStringLiteral("enb_olk"), switchText(enableOutlook));
        storeProperty(c, QStringLiteral("sec_olk"), switchText(secureOutlook));
        storeProperty(c, QStringLiteral("enb_cht"), switchText(enableChat));
    });
}
