#include "MCastPorts.h"

#include "foundation/MADOFunctions.h"

#include <algorithm>

std::optional<quint16> MCastPorts::portOf(const QString &text)
{
    const QString digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > 5
        || !std::all_of(digits.cbegin(), digits.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    const int value = digits.toInt();
    if (value < 1024 || value > 65535)
        return std::nullopt;
    return quint16(value);
}

MCastPorts MCastPorts::fromTexts(const QString &sendText, const QString &listenText)
{
    const auto send = portOf(sendText);
    const auto listen = portOf(listenText);
    MCastPorts ports;
    if (send && listen) {
        ports.send = *send;
        ports.listen = *listen;
    }
    return ports;
}

MCastPorts MCastPorts::read()
{
    QString sendText;
    QString listenText;
    try {
        DbHandle connection;
        RecordSet rs = OpenADORecordSet(connection, QStringLiteral("SELECT pkey, pvalue FROM Properties WHERE pkey = ? OR pkey = ?"),
                                        true, {QStringLiteral("port_send"), QStringLiteral("port_lstn")});
        for (; !rs.eof(); rs.moveNext()) {
            const QString key = rs.text(QStringLiteral("pkey"));
            if (key == QLatin1String("port_send"))
                sendText = rs.text(QStringLiteral("pvalue"));
            else if (key == QLatin1String("port_lstn"))
                listenText = rs.text(QStringLiteral("pvalue"));
        }
    } catch (const std::exception &) {
        // No database or no Properties table yet: the defaults serve.
    }
    return fromTexts(sendText, listenText);
}
