#include "VCardReader.h"

#include "BoundedFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {

struct Line
{
    QString name;
    QStringList params; // upper case, "TYPE=" dropped
    QString value;
};

// Joins folded lines: a line starting with a blank continues the one before,
// and a quoted-printable value ending in "=" continues on the next line.
QStringList unfolded(const QString &text)
{
    QStringList lines;
    for (QString raw : text.split(QLatin1Char('\n'))) {
        if (raw.endsWith(QLatin1Char('\r')))
            raw.chop(1);
        const bool continues = !lines.isEmpty() && (raw.startsWith(QLatin1Char(' ')) || raw.startsWith(QLatin1Char('\t')));
        const bool softBreak = !lines.isEmpty() && lines.last().contains(QLatin1String("QUOTED-PRINTABLE"), Qt::CaseInsensitive) &&
                               lines.last().endsWith(QLatin1Char('='));
        if (softBreak) {
            lines.last().chop(1);
            lines.last() += raw.trimmed();
        } else if (continues) {
            lines.last() += raw.mid(1);
        } else if (!raw.isEmpty()) {
            lines << raw;
        }
    }
    return lines;
}

QString quotedPrintable(const QString &value)
{
    QByteArray out;
    const QByteArray in = value.toLatin1();
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] == '=' && i + 2 < in.size()) {
            out += char(in.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else {
            out += in[i];
        }
    }
    return QString::fromUtf8(out);
}

QString unescaped(const QString &value)
{
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar next = value[++i];
            out += (next == QLatin1Char('n') || next == QLatin1Char('N')) ? QLatin1Char(' ') : next;
        } else {
            out += value[i];
        }
    }
    return out;
}

// Splits a structured value at its unescaped ";".
QStringList components(const QString &value)
{
    QStringList parts{QString()};
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == QLatin1Char('\\') && i + 1 < value.size()) {
            parts.last() += value.mid(i, 2);
            ++i;
        } else if (value[i] == QLatin1Char(';')) {
            parts << QString();
        } else {
            parts.last() += value[i];
        }
    }
    for (QString &part : parts)
        part = unescaped(part).trimmed();
    return parts;
}

Line lineOf(const QString &text)
{
    Line line;
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    QStringList head = text.left(colon).split(QLatin1Char(';'));
    line.name = head.takeFirst().section(QLatin1Char('.'), -1).toUpper(); // "item1.EMAIL" is EMAIL
    for (const QString &param : head)
        for (const QString &p : param.section(QLatin1Char('='), -1).split(QLatin1Char(',')))
            line.params << p.toUpper().remove(QLatin1Char('"'));
    line.value = colon < 0 ? QString() : text.mid(colon + 1);
    if (line.params.contains(QLatin1String("QUOTED-PRINTABLE")))
        line.value = quotedPrintable(line.value);
    return line;
}

void take(VCardContact &card, const Line &line)
{
    const QStringList parts = components(line.value);
    if (line.name == QLatin1String("N")) {
        card.lastName = parts.value(0);
        card.firstName = parts.value(1);
    } else if (line.name == QLatin1String("FN")) {
        card.fullName = parts.join(QLatin1Char(' '));
    } else if (line.name == QLatin1String("ORG")) {
        card.company = parts.value(0);
    } else if (line.name == QLatin1String("UID")) {
        card.entryId = unescaped(line.value).trimmed();
    } else if (line.name == QLatin1String("EMAIL") && card.email.isEmpty()) {
        card.email = unescaped(line.value).trimmed();
    } else if (line.name == QLatin1String("TEL")) {
        QString number = unescaped(line.value).trimmed();
        number.remove(QLatin1String("tel:"));
        if (line.params.contains(QLatin1String("CELL")) && card.mobilePhone.isEmpty())
            card.mobilePhone = number;
        else if (line.params.contains(QLatin1String("WORK")) && card.workPhone.isEmpty())
            card.workPhone = number;
    }
}

} // namespace

QList<VCardContact> VCardReader::parse(const QByteArray &bytes, const QString &fileName)
{
    QList<VCardContact> cards;
    VCardContact card;
    bool inCard = false;
    for (const QString &text : unfolded(QString::fromUtf8(bytes))) {
        const Line line = lineOf(text);
        if (line.name == QLatin1String("BEGIN") && line.value.trimmed().compare(QLatin1String("VCARD"), Qt::CaseInsensitive) == 0) {
            card = VCardContact();
            inCard = true;
        } else if (line.name == QLatin1String("END") && inCard) {
            if (card.entryId.isEmpty())
                card.entryId = fileName + QLatin1Char('#') + QString::number(cards.size());
            if (card.firstName.isEmpty() && card.lastName.isEmpty())
                card.firstName = card.fullName;
            cards << card;
            inCard = false;
        } else if (inCard) {
            take(card, line);
        }
    }
    return cards;
}

QList<VCardContact> VCardReader::readPath(const QString &path, QStringList *warnings)
{
    const QFileInfo info(path);
    QList<QFileInfo> files;
    if (info.isDir())
        files = QDir(path).entryInfoList({QStringLiteral("*.vcf"), QStringLiteral("*.vcard")},
                                        QDir::Files | QDir::System, QDir::Name);
    else if (info.exists())
        files << info;
    QList<VCardContact> cards;
    for (const QFileInfo &file : files) {
        QString problem;
        if (const std::optional<QByteArray> bytes = BoundedFile::read(file.absoluteFilePath(), &problem))
            cards += parse(*bytes, file.fileName());
        else if (warnings)
            *warnings << file.absoluteFilePath() + QStringLiteral(": ") + problem;
    }
    return cards;
}

QByteArray VCardReader::cardText(const QString &uid, const QString &first, const QString &last, const QString &company)
{
    auto escaped = [](QString value) {
        return value.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
            .replace(QLatin1Char(';'), QLatin1String("\\;"))
            .replace(QLatin1Char(','), QLatin1String("\\,"))
            .replace(QLatin1Char('\n'), QLatin1String("\\n"));
    };
    const QString full = QStringList{first, last}.join(QLatin1Char(' ')).trimmed();
    QString card = QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:%1\r\nN:%2;%3;;;\r\nFN:%4\r\n")
                       .arg(uid, escaped(last), escaped(first), escaped(full));
    if (!company.isEmpty())
        card += QStringLiteral("ORG:%1\r\n").arg(escaped(company));
    card += QStringLiteral("END:VCARD\r\n");
    return card.toUtf8();
}
