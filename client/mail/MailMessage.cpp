#include "MailMessage.h"

#include "platform/TextLimit.h"

#include <QLocale>
#include <QRegularExpression>
#include <QSysInfo>
#include <QUrl>
#include <QUuid>

namespace {
// RFC 5322 wants lines under 78 characters; 998 is the hard limit.
constexpr qsizetype kLineRoom = 76;
// 39 bytes make 52 base64 characters: a whole encoded word fits one line.
constexpr qsizetype kWordBytes = 39;

bool isPlainText(const QString &text, qsizetype room)
{
    if (text.size() > room || text != text.trimmed() || text.contains(QLatin1String("=?")))
        return false;
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() >= 0x7F)
            return false;
    return true;
}

// Readers join adjacent encoded words without the folding between them, so
// the text comes back exactly, however it was cut.
QByteArray encodedWords(const QString &text)
{
    QByteArray out;
    const QByteArray utf8 = text.toUtf8();
    for (qsizetype at = 0; at < utf8.size();) {
        const qsizetype n = TextLimit::utf8Left(utf8.mid(at), kWordBytes).size();
        if (!out.isEmpty())
            out += "\n ";
        out += "=?UTF-8?B?" + utf8.mid(at, n).toBase64() + "?=";
        at += n;
    }
    return out;
}

QByteArray subjectText(const QString &subject)
{
    const qsizetype room = kLineRoom - qsizetype(sizeof "Subject: ");
    return isPlainText(subject, room) ? subject.toLatin1() : encodedWords(subject);
}

QByteArray twoDigits(int n)
{
    return QByteArray::number(n).rightJustified(2, '0');
}

// A zone name is read as an unknown zone (-0000); only an offset says the hour.
QByteArray dateText(const QDateTime &now)
{
    const int offset = now.offsetFromUtc() / 60;
    const int minutes = qAbs(offset);
    return QLocale::c().toString(now, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss ")).toLatin1() +
           (offset < 0 ? '-' : '+') + twoDigits(minutes / 60) + twoDigits(minutes % 60);
}

QByteArray hostName()
{
    const QByteArray host = QSysInfo::machineHostName().toLatin1();
    for (const char c : host)
        if (uchar(c) >= 0x80 || (!QChar::isLetterOrNumber(uchar(c)) && c != '-' && c != '.'))
            return "localhost";
    return host.isEmpty() ? QByteArray("localhost") : host;
}

QByteArray quotedPrintableLine(const QByteArray &line)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    qsizetype used = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (used + 3 >= kLineRoom) {
            out += "=\n";
            used = 0;
        }
        const uchar c = uchar(line[i]);
        const bool blank = (c == ' ' || c == '\t') && i + 1 < line.size();
        // A dot opening a line could end the message for a reader of dot-ended input.
        const bool literal = ((c > ' ' && c < 0x7F && c != '=') || blank) && !(c == '.' && used == 0);
        if (literal) {
            out += char(c);
            used += 1;
        } else {
            out += '=';
            out += hex[c >> 4];
            out += hex[c & 0x0F];
            used += 3;
        }
    }
    return out;
}

QByteArray quotedPrintable(QString body)
{
    body.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QByteArrayList lines;
    for (const QByteArray &line : body.toUtf8().split('\n'))
        lines << quotedPrintableLine(line);
    return lines.join('\n');
}

QString percent(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text, "@"));
}

bool isLocalChar(QChar c)
{
    return (c.unicode() < 0x80 && c.isLetterOrNumber()) || QStringView(u"!#$%&'*+-/=?^_`{|}~").contains(c);
}

bool isDomainChar(QChar c)
{
    return (c.unicode() < 0x80 && c.isLetterOrNumber()) || c == QLatin1Char('-');
}

// Non-empty runs of allowed characters joined by single dots.
bool isDotted(QStringView text, bool (*allowed)(QChar))
{
    if (text.isEmpty() || text.startsWith(u'.') || text.endsWith(u'.') || text.contains(u".."))
        return false;
    for (const QChar c : text)
        if (c != QLatin1Char('.') && !allowed(c))
            return false;
    return true;
}
} // namespace

bool MailMessage::hasControl(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u < 0xA0) || u == 0x2028 || u == 0x2029)
            return true;
    }
    return false;
}

bool MailMessage::isAddress(const QString &text)
{
    const qsizetype at = text.indexOf(QLatin1Char('@'));
    if (text.size() > 254 || at < 0 || at != text.lastIndexOf(QLatin1Char('@')))
        return false;
    // An encoded word in the local part is decoded by mail programs into
    // whatever it hides, a line break and a header included; a lone "=?" is
    // an ordinary part of an address.
    static const QRegularExpression encodedWord(QStringLiteral("=\\?[^?]+\\?[bBqQ]\\?[^?]*\\?="));
    if (encodedWord.match(QStringView(text).left(at)).hasMatch())
        return false;
    return isDotted(QStringView(text).left(at), isLocalChar) && isDotted(QStringView(text).mid(at + 1), isDomainChar);
}

QByteArray MailMessage::compose(const QString &from, const QStringList &to, const QString &subject,
                                const QString &body, const QDateTime &now)
{
    QByteArray text;
    if (!from.isEmpty())
        text += "From: " + from.toUtf8() + '\n';
    text += "To: " + to.join(QStringLiteral(",\n ")).toUtf8() + '\n';
    text += "Subject: " + subjectText(subject) + '\n';
    text += "Date: " + dateText(now) + '\n';
    text += "Message-ID: <" + QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1() + '@' + hostName() +
            ">\n";
    text += "MIME-Version: 1.0\nContent-Type: text/plain; charset=UTF-8\n"
            "Content-Transfer-Encoding: quoted-printable\n\n";
    return text + quotedPrintable(body);
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
