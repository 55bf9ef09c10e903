#include "MailMessage.h"

#include <QLocale>
#include <QSysInfo>
#include <QUrl>
#include <QUuid>

namespace {
QByteArray encodedWord(const QString &text)
{
    bool plain = true;
    for (const QChar c : text)
        plain = plain && c.unicode() >= 0x20 && c.unicode() < 0x7F;
    if (plain)
        return text.toLatin1();
    // One encoded word per short piece, so no header line grows too long.
    QByteArray out;
    const QByteArray utf8 = text.toUtf8();
    for (qsizetype at = 0; at < utf8.size();) {
        qsizetype n = qMin<qsizetype>(45, utf8.size() - at);
        while (at + n < utf8.size() && (utf8[at + n] & 0xC0) == 0x80)
            --n; // never cut a character in two
        if (!out.isEmpty())
            out += "\n ";
        out += "=?UTF-8?B?" + utf8.mid(at, n).toBase64() + "?=";
        at += n;
    }
    return out;
}

QString percent(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text, "@"));
}
} // namespace

bool MailMessage::hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

QByteArray MailMessage::compose(const QString &from, const QStringList &to, const QString &subject,
                                const QString &body, const QDateTime &now)
{
    QByteArray text;
    if (!from.isEmpty())
        text += "From: " + from.toUtf8() + '\n';
    text += "To: " + to.join(QStringLiteral(", ")).toUtf8() + '\n';
    text += "Subject: " + encodedWord(subject) + '\n';
    text += "Date: " + QLocale::c().toString(now, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss ")).toLatin1() +
            now.toString(QStringLiteral("t")).toLatin1() + '\n';
    text += "Message-ID: <" + QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1() + '@' +
            QSysInfo::machineHostName().toLatin1() + ">\n";
    text += "MIME-Version: 1.0\nContent-Type: text/plain; charset=UTF-8\nContent-Transfer-Encoding: 8bit\n\n";
    QString lines = body;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text + lines.toUtf8();
}

QUrl MailMessage::mailto(const QStringList &to, const QStringList &bcc, const QString &subject, const QString &body)
{
    QStringList addresses;
    for (const QString &a : to)
        addresses << percent(a.trimmed());
    QStringList fields;
    if (!bcc.isEmpty()) {
        QStringList hidden;
        for (const QString &a : bcc)
            hidden << percent(a.trimmed());
        fields << QStringLiteral("bcc=") + hidden.join(QLatin1Char(','));
    }
    if (!subject.isEmpty())
        fields << QStringLiteral("subject=") + percent(subject);
    if (!body.isEmpty()) {
        QString lines = body;
        lines.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        fields << QStringLiteral("body=") + percent(lines);
    }
    QString link = QStringLiteral("mailto:") + addresses.join(QLatin1Char(','));
    if (!fields.isEmpty())
        link += QLatin1Char('?') + fields.join(QLatin1Char('&'));
    return QUrl::fromEncoded(link.toLatin1(), QUrl::StrictMode);
}
